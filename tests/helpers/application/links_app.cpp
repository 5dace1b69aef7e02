// A product for the start-up page tests: it starts, shows what the library
// did, and quits (or stays until it is killed or crashes).
//   --store NAME          its settings store; the installer's is NAME-Installer
//   --root PATH           look-and-feel root (languages in resources/locales)
//   --links PATH          its links table
//   --version X.Y.Z       its version (default 20.4.0.17)
//   --email ADDRESS       answer the e-mail dialog with this address (default:
//                         decline it)
//   --no-email-dialog     a build without the e-mail dialog
//   --no-email-impl       the product's e-mail dialog factory makes nothing
//   --gateway-runs N      start-up pages go to a gateway that runs them N times
//   --main-window         the product has a main window, the e-mail dialog's
//                         parent
//   --lose-main-window    ... which is destroyed while the e-mail dialog runs
//   --product-email-dialog  the product's factory makes its own e-mail dialog
//   --stay                keep running
// The library's test options pass through. Output lines: "launch <type>",
// "session <id>", "crashed <id>", "before-email", "dialog", "after-email",
// "started", "stimulus <name>"; "error <text>" when the application refuses to
// start.
#include <Zentar/App/Application.h>
#include <Zentar/App/IGateway.h>
#include <Zentar/App/LookAndFeelManager.h>
#include <Zentar/Core/Exception.h>
#include <Zentar/EmailDialog/EmailDialogCreator.h>
#include <Zentar/Links/LinksManager.h>
#include <Zentar/Settings/SettingsManager.h>

#include "TestCustomization.h"

#include <QtTest>
#include <QtWidgets>

#include <cstdio>

static void Say(const QString& line)
{
    std::printf("%s\n", qPrintable(line));
    std::fflush(stdout);
}

// A product's own e-mail dialog: a QDialog the caller owns, like the library's.
class ProductEmailDialog : public QDialog, public Zentar::EmailDialog::AbstractEmailDialog
{
public:
    explicit ProductEmailDialog(QWidget* parent)
        : QDialog(parent)
    {
        auto* layout = new QVBoxLayout(this);
        layout->addWidget(new QLineEdit(this));
        layout->itemAt(0)->widget()->setObjectName("emailEdit");
        auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
        layout->addWidget(buttons);
        connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
        connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    }
    bool Exec() override { return exec() == QDialog::Accepted; }
};

struct HoldingGateway : Zentar::ExternalStimulus::IGateway {
    std::vector<Zentar::ExternalStimulus::Stimulus> stimuli;
    bool IsEnabled() const override { return true; }
    void AddStimulus(const Zentar::ExternalStimulus::Stimulus& stimulus) override
    {
        stimuli.push_back(stimulus);
    }
};

int main(int argc, char** argv)
{
    try {
        Zentar::App::Application::AppContext context;
        context.createRunningMutex = false;
        Zentar::App::Application app(argc, argv, context);
        QCommandLineParser parser;
        for (const char* name : { "store", "root", "links", "version", "email", "gateway-runs" })
            parser.addOption(QCommandLineOption(name, QString(), "value"));
        for (const char* name : { "no-email-dialog", "no-email-impl", "stay", "main-window",
                 "lose-main-window", "product-email-dialog" })
            parser.addOption(QCommandLineOption(name));
        parser.parse(app.arguments());
        const auto value = [&](const char* name) { return parser.value(name); };
        const auto isSet = [&](const char* name) { return parser.isSet(name); };

        auto customization = std::make_shared<TestCustomization>();
        if (isSet("version"))
            customization->version = Zentar::Core::Version::FromString(value("version").toStdString());
        customization->installerProductName = (value("store") + "-Installer").toStdString();
        customization->allowsEmailDialog = !isSet("no-email-dialog");
        app.SetCustomizationManager(customization, false);
        app.SetSettingsManager(std::make_shared<Zentar::App::SettingsManager>(value("store"), "Zentar"));
        auto lookAndFeel = std::make_shared<Zentar::App::LookAndFeelManager>(
            value("root").toStdString(), "theme.json", std::list<std::string> {});
        lookAndFeel->SetLocale("en_US");
        app.SetLookAndFeel(lookAndFeel);
        Zentar::Links::LinksManager::SetDefaultTableFile(value("links"));
        if (isSet("no-email-impl"))
            Zentar::EmailDialog::EmailDialogCreator::SetFactory([](auto&&...) { return nullptr; });
        if (isSet("product-email-dialog"))
            Zentar::EmailDialog::EmailDialogCreator::SetFactory(
                [](auto&&, auto&&, QWidget* parent) { return std::make_unique<ProductEmailDialog>(parent); });
        QPointer<QMainWindow> mainWindow;
        if (isSet("main-window") || isSet("lose-main-window")) {
            mainWindow = new QMainWindow;
            mainWindow->show();
            app.SetMainWindow(mainWindow);
        }
        auto gateway = std::make_shared<HoldingGateway>();
        if (isSet("gateway-runs"))
            app.SetExternalStimulusGateway(gateway);

        using Zentar::App::Application;
        QObject::connect(&app, &Application::BeforeShowEmailDialog, [] { Say("before-email"); });
        QObject::connect(&app, &Application::AfterShowEmailDialog, [] { Say("after-email"); });
        QObject::connect(&app, &Application::ApplicationStarted, [] { Say("started"); });

        // Answers the e-mail dialog the way a user does.
        QTimer answer;
        QObject::connect(&answer, &QTimer::timeout, [&] {
            auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
            auto* edit = dialog ? dialog->findChild<QLineEdit*>("emailEdit") : nullptr;
            if (!edit)
                return;
            Say("dialog");
            if (isSet("lose-main-window")) {
                if (dialog->parentWidget() != mainWindow)
                    Say("dialog-without-main-window");
                delete mainWindow;
                return;
            }
            auto* buttons = dialog->findChild<QDialogButtonBox*>();
            if (isSet("email"))
                QTest::keyClicks(edit, value("email"));
            QTest::mouseClick(
                buttons->button(isSet("email") ? QDialogButtonBox::Ok : QDialogButtonBox::Cancel),
                Qt::LeftButton);
        });
        answer.start(20);

        Say(QString("launch %1").arg(app.GetProductLaunchType()));
        Say(QString("session %1").arg(QString::fromStdString(app.SessionId())));
        for (const auto& id : app.GetCrashedSessions())
            Say(QString("crashed %1").arg(QString::fromStdString(id)));
        app.Start();
        for (const auto& stimulus : gateway->stimuli)
            Say(QString("stimulus %1").arg(QString::fromStdString(stimulus.name)));
        for (int run = 0; run < value("gateway-runs").toInt(); ++run)
            for (const auto& stimulus : gateway->stimuli)
                stimulus.action();
        if (!isSet("stay"))
            QTimer::singleShot(0, &app, &QCoreApplication::quit);
        return app.exec();
    } catch (const Zentar::Exception& e) {
        Say(QString("error %1").arg(e.what()));
        return 3;
    }
}
