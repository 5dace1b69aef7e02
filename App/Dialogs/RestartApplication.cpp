#include <Zentar/App/Application.h>
#include <Zentar/App/RestartApplication.h>
#include <Zentar/QtUtil/AlertBox.h>
#include <Zentar/QtUtil/Utf8.h>

#include <QPointer>
#include <QProcess>

#include <glog/logging.h>

namespace Zentar::App
{

void RestartApplication(Zentar::Enums::WorkingMode mode, const QPixmap& icon, const QString& arguments)
{
    auto* app = qobject_cast<Application*>(QCoreApplication::instance());
    if (!app) {
        LOG(ERROR) << "Cannot restart: there is no running Zentar::App::Application";
        return;
    }

    if (mode == Zentar::Enums::WorkingMode::Interactive) {
        // On the heap: the window it is asked over may close while it runs
        // and delete it as a child; the guard then sees it gone.
        const QPointer<Zentar::Util::AlertBox> box
            = new Zentar::Util::AlertBox(Zentar::Util::AlertBox::Information,
                QCoreApplication::translate("ApplicationRestarter", "Attention"),
                QCoreApplication::translate("ApplicationRestarter",
                    "<b>This will restart the application.</b><br>Do you want to continue?"),
                QMessageBox::Ok | QMessageBox::Cancel, QApplication::activeWindow(),
                Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint);
        if (!icon.isNull())
            box->setIconPixmap(icon);
        const QMessageBox::StandardButton answer = box->Exec();
        delete box.data();
        if (answer != QMessageBox::Ok)
            return;
    }

    // An orderly quit followed by a new start is not a crash.
    app->ClearCrashes();
    if (!app->TryToQuit()) {
        LOG(INFO) << "Restart abandoned: the application refused to quit";
        return;
    }

    QString commandLine = QLatin1Char('"') + QCoreApplication::applicationFilePath() + QLatin1Char('"');
    if (!arguments.isEmpty())
        commandLine += QLatin1Char(' ') + arguments;
    LOG(INFO) << "Restarting the application: " << Util::QStringToUtf8(commandLine);

    QStringList parts = QProcess::splitCommand(commandLine);
    const QString program = parts.takeFirst();
    QProcess::startDetached(program, parts);
}

} // namespace Zentar::App
