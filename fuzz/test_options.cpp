#include "FuzzSupport.h"

#include "Application/AppTest_p.h"

#include <Zentar/App/AppTest.h>
#include <Zentar/App/Application.h>
#include <Zentar/App/LookAndFeelManager.h>
#include <Zentar/Core/Exception.h>

#include <QDialog>
#include <QMetaObject>

#include <algorithm>

namespace
{

Zentar::App::Application* g_app = nullptr;

// Answers the help box the way a tester would, by closing it.
class DialogCloser : public QObject
{
public:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Show)
            if (auto* dialog = qobject_cast<QDialog*>(watched))
                QMetaObject::invokeMethod(dialog, &QDialog::reject, Qt::QueuedConnection);
        return false;
    }
};

// These would end the process, start a browser or create a file wherever
// the input names: outside what a fuzzer may do, so they are taken out.
bool Unsafe(const QString& argument)
{
    for (const char* option : { "crash-after", "open-urls", "log-urls" })
        if (argument.contains(QLatin1String(option)))
            return true;
    return false;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    Fuzz::PrepareEnvironment();
    static int argc = 1;
    static char name[] = "zentar-fuzz";
    static char* argv[] = { name, nullptr };
    Zentar::App::Application::AppContext context;
    context.createRunningMutex = false;
    g_app = new Zentar::App::Application(argc, argv, context);
    Fuzz::PrepareEnvironment();
    g_app->installEventFilter(new DialogCloser);

    const QString root = Fuzz::Scratch() + QStringLiteral("/product");
    for (const char* locale : { "en_US", "de_DE", "ru_RU", "zh_CN" })
        QDir().mkpath(root + QStringLiteral("/resources/locales/") + QLatin1String(locale));
    g_app->SetLookAndFeel(std::make_shared<Zentar::App::LookAndFeelManager>(
        Zentar::ioPath(root.toStdString()), "theme.json", std::list<std::string>()));
    return 0;
}

// Input: one argument a line.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    QStringList arguments { QStringLiteral("zentar-fuzz") };
    const QStringList lines = QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<int>(size))
                                  .split(QLatin1Char('\n'));
    for (const QString& line : lines)
        if (!Unsafe(line))
            arguments.append(line);

    try {
        Zentar::App::AppTest::HandleGlobalTestOptions(arguments);
    } catch (const Zentar::Exception&) {
    }
    Zentar::App::AppTest::HandleTestOptions(arguments, {}, g_app);

    const auto& offered = g_app->GetLookAndFeel()->GetLocales();
    for (const std::string& locale : Zentar::App::AppTest::Detail::TestLocales())
        if (std::find(offered.begin(), offered.end(), locale) == offered.end())
            Fuzz::Fail("test language " + locale + " is not offered by the product");
    return 0;
}
