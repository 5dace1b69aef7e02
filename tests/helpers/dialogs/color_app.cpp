// A product that keeps the colour dialog's custom colours between runs.
// Prints every custom colour once the stored ones are loaded, then applies
// its INDEX=#rrggbb arguments; the colours are saved when the helper ends.
#include <Zentar/App/Application.h>
#include <Zentar/App/ColorDialogHelper.h>
#include <Zentar/Settings/SettingsManager.h>

#include <QColorDialog>

#include <cstdio>

int main(int argc, char** argv)
{
    Zentar::App::Application::AppContext context;
    context.createRunningMutex = false;
    Zentar::App::Application app(argc, argv, context);
    app.SetSettingsManager(std::make_shared<Zentar::App::SettingsManager>(
        QStringLiteral("ColorProduct"), QStringLiteral("Zentar")));

    Zentar::App::ColorDialogHelper helper;
    for (int i = 0; i < QColorDialog::customCount(); ++i)
        std::printf("%s\n", qPrintable(QColorDialog::customColor(i).name()));
    for (const QString& arg : QCoreApplication::arguments().mid(1)) {
        const QStringList parts = arg.split(QLatin1Char('='));
        QColorDialog::setCustomColor(parts.at(0).toInt(), QColor(parts.value(1)));
    }
    return 0;
}
