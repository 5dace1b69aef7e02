#include "DemoSlave.h"

#include <Zentar/App/IIPCClient.h>
#include <Zentar/App/IPCFocusTransfererSlave.h>
#include <Zentar/App/IPCManager.h>
#include <Zentar/IO/IOException.h>

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QFileInfo>
#include <QLabel>
#include <QMainWindow>
#include <QMenu>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QStatusBar>
#include <QTimer>
#include <QVBoxLayout>

#include <glog/logging.h>

#include <memory>

using Zentar::App::IPCFocusTransfererSlave;

namespace
{

// The master's end of one slave's link. Messages are looked for on a timer,
// so the main window never waits for a slave.
class SlaveLink : public QObject, public Zentar::App::IIPCClient
{
    Q_OBJECT

public:
    SlaveLink(QMainWindow& mainWindow, QObject* parent)
        : QObject(parent)
        , m_mainWindow(&mainWindow)
    {
        m_poll.setInterval(50);
        connect(&m_poll, &QTimer::timeout, this, &SlaveLink::Poll);
    }

    void SetCommunicationChannel(boost::intrusive_ptr<Zentar::Core::IDataChannel> channel) override
    {
        m_channel = std::move(channel);
    }
    // The handle stays open for as long as the demo runs.
    void SetAppHandler(long long handle) override { m_slaveProcess = handle; }
    void ChannelClosed() override { m_channel.reset(); }

    void Start() { m_poll.start(); }

private:
    void Poll()
    {
        try {
            while (m_channel && m_channel->WaitForMessage(0))
                Answer(m_channel->ReadText());
        } catch (const Zentar::Core::IOException& e) {
            LOG(INFO) << "The link to slave process handle " << m_slaveProcess << " has ended: " << e.what();
            ChannelClosed();
        }
        if (!m_channel) {
            m_poll.stop();
            deleteLater();
        }
    }

    void Answer(const std::string& message)
    {
        if (message != IPCFocusTransfererSlave::APPLICATION_CLOSE_MESSAGE.toStdString()) {
            LOG(WARNING) << "The slave sent an unknown message of " << message.size() << " bytes";
            return;
        }
        const QString reply = m_mainWindow
            ? IPCFocusTransfererSlave::RETURN_YES + QLatin1Char('=') + QString::number(m_mainWindow->winId())
            : IPCFocusTransfererSlave::RETURN_NO;
        m_channel->WriteText(reply.toStdString());
        if (m_mainWindow)
            m_mainWindow->statusBar()->showMessage(QObject::tr("The slave window was closed"), 5000);
    }

    QPointer<QMainWindow> m_mainWindow;
    boost::intrusive_ptr<Zentar::Core::IDataChannel> m_channel;
    long long m_slaveProcess = 0;
    QTimer m_poll;
};

class SlaveWindow : public QWidget
{
    Q_OBJECT

public:
    SlaveWindow()
    {
        setWindowTitle(tr("Zentar Demo - slave window"));
        auto* layout = new QVBoxLayout(this);
        auto* text = new QLabel(tr("This window belongs to a second process, started by the demo's main "
                                   "window. Close it and the main window comes back to the front."));
        text->setWordWrap(true);
        layout->addWidget(text);
        auto* close = new QPushButton(tr("Close"));
        connect(close, &QPushButton::clicked, this, &QWidget::close);
        layout->addWidget(close);
        resize(360, 140);
    }

protected:
    void closeEvent(QCloseEvent* event) override
    {
        IPCFocusTransfererSlave::Instance().GiveFocusToParent();
        event->accept();
    }
};

void LaunchSlave(QMainWindow& mainWindow)
{
    auto* link = new SlaveLink(mainWindow, &mainWindow);
    const QString executable = QFileInfo(QCoreApplication::applicationFilePath()).fileName();
    if (!Zentar::App::IPCManager::LaunchSlave(*link, executable, QString(), true)) {
        delete link;
        QMessageBox::warning(
            &mainWindow, QObject::tr("Slave window"), QObject::tr("The slave window could not be opened."));
        return;
    }
    link->Start();
}

} // namespace

bool IsDemoSlave()
{
    return IPCFocusTransfererSlave::Instance().IsLinkEstablished();
}

int RunDemoSlave(QApplication& app)
{
    SlaveWindow window;
    window.show();
    window.activateWindow();
    return app.exec();
}

void InstallDemoSlaveLauncher(QMainWindow& mainWindow, QMenu* menu)
{
    auto* action = new QAction(QObject::tr("Open slave window"), menu);
    action->setObjectName(QStringLiteral("openSlaveWindowAction"));
    QObject::connect(action, &QAction::triggered, &mainWindow, [&mainWindow] { LaunchSlave(mainWindow); });
    // Above the quit action, which ends the menu.
    const auto actions = menu->actions();
    menu->insertAction(actions.isEmpty() ? nullptr : actions.last(), action);
}

#include "DemoSlave.moc"
