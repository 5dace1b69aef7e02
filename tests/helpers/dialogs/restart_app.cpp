// A product that restarts itself.
//   --wait            prints "ready" and runs until it is killed
//   --restart TEXT    calls RestartApplication with TEXT as the new arguments,
//                     unattended, or asking when --answer ok|cancel|vanish is
//                     given (vanish: the active window that the question
//                     belongs to is destroyed while it is asked);
//                     then prints "crashed N" (crashed sessions still known)
//                     and exits 3 unless the application is quitting
//   --refuse-quit     the application refuses to quit
// Any other run appends {"program", "arguments", "crashed"} as a JSON line to
// the file named by ZENTAR_RESTART_RECORD. The restart command line goes to
// the log on standard error.
#include <Zentar/App/Application.h>
#include <Zentar/App/RestartApplication.h>

#include <QAbstractButton>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMessageBox>
#include <QTest>
#include <QTimer>
#include <QWidget>

#include <glog/logging.h>

#include <cstdio>

namespace
{

class Product : public Zentar::App::Application
{
public:
    using Application::Application;
    bool refuseQuit = false;

private:
    bool TryToQuitImpl() override
    {
        if (!refuseQuit)
            QCoreApplication::quit();
        return !refuseQuit;
    }
};

} // namespace

int main(int argc, char** argv)
{
    FLAGS_logtostderr = true;
    google::InitGoogleLogging(argv[0]);
    Zentar::App::Application::AppContext context;
    context.createRunningMutex = false;
    Product app(argc, argv, context);
    const QStringList args = QCoreApplication::arguments();
    const int restart = args.indexOf(QStringLiteral("--restart"));

    if (args.contains(QStringLiteral("--wait"))) {
        std::printf("ready\n");
        std::fflush(stdout);
        return app.exec();
    }
    if (restart < 0) {
        QFile file(QString::fromLocal8Bit(qgetenv("ZENTAR_RESTART_RECORD")));
        const QJsonObject record { { QStringLiteral("program"), QCoreApplication::applicationFilePath() },
            { QStringLiteral("arguments"), QJsonArray::fromStringList(args.mid(1)) },
            { QStringLiteral("crashed"), int(app.GetCrashedSessions().size()) } };
        const bool written = file.open(QIODevice::Append)
            && file.write(QJsonDocument(record).toJson(QJsonDocument::Compact) + '\n') > 0;
        return written ? 0 : 1;
    }

    app.refuseQuit = args.contains(QStringLiteral("--refuse-quit"));
    const int answerAt = args.indexOf(QStringLiteral("--answer"));
    const QString answer = answerAt > 0 ? args.value(answerAt + 1) : QString();
    // The window the question is asked over.
    auto* window = new QWidget;
    window->show();
    QApplication::setActiveWindow(window);
    QTimer::singleShot(0, &app, [&] {
        if (!answer.isEmpty()) {
            QTimer::singleShot(0, &app, [answer, window] {
                auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
                if (!box)
                    return;
                if (answer == QLatin1String("vanish")) {
                    if (box->parentWidget() == window) {
                        delete window;
                        return;
                    }
                    std::printf("the question is not asked over the active window\n");
                }
                const auto button = answer == QLatin1String("ok") ? QMessageBox::Ok : QMessageBox::Cancel;
                QTest::mouseClick(box->button(button), Qt::LeftButton);
            });
        }
        Zentar::App::RestartApplication(answer.isEmpty() ? Zentar::Enums::WorkingMode::Unattended
                                                         : Zentar::Enums::WorkingMode::Interactive,
            QPixmap(), args.value(restart + 1));
        std::printf("crashed %d\n", int(app.GetCrashedSessions().size()));
        std::fflush(stdout);
        if (!app.IsQuitting())
            QCoreApplication::exit(3);
    });
    return app.exec();
}
