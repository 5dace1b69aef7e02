#pragma once

// Shared pieces of the link tests: a master-side client, the slave's report
// file, and the pipe directory.
#include <Zentar/App/IIPCClient.h>
#include <Zentar/IO/IDataChannel.h>
#include <Zentar/IO/IOException.h>
#include <Zentar/IO/NamedPipe.h>

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QStringList>
#include <QTemporaryDir>
#include <QtConcurrent>
#include <QtTest>

#include <csignal>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

namespace IpcTest
{

inline const QString kHelperDir = QStringLiteral(ZENTAR_HELPER_DIR);
inline const QString kSlave = kHelperDir + QStringLiteral("/zentar_ipc_slave");

class MasterClient : public Zentar::App::IIPCClient
{
public:
    ~MasterClient() override
    {
        if (slave > 0)
            ::close(int(slave));
    }
    void SetCommunicationChannel(boost::intrusive_ptr<Zentar::Core::IDataChannel> c) override
    {
        channel = c;
        ++channelsReceived;
    }
    void SetAppHandler(long long handle) override { slave = handle; }
    void ChannelClosed() override { channel.reset(); }

    // Waits for the slave (our child) to end and collects it.
    bool WaitForSlaveExit(qint64 pid)
    {
        pollfd p { int(slave), POLLIN, 0 };
        if (slave <= 0 || ::poll(&p, 1, 20000) != 1)
            return false;
        ::waitpid(pid_t(pid), nullptr, WNOHANG);
        return true;
    }

    boost::intrusive_ptr<Zentar::Core::IDataChannel> channel;
    long long slave = 0;
    int channelsReceived = 0;
};

// The lines a helper appends to its report file.
class Report
{
public:
    Report()
        : m_path(m_dir.filePath(QStringLiteral("report.txt")))
    {
    }
    QString Option() const { return QStringLiteral("--report=") + m_path; }
    QStringList Lines() const
    {
        QFile file(m_path);
        if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
            return {};
        return QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    }
    bool Has(const QString& line) const { return Lines().contains(line); }
    // The rest of the first line that starts with `key` and a space.
    QString Value(const QString& key) const
    {
        for (const QString& line : Lines())
            if (line.startsWith(key + QLatin1Char(' ')))
                return line.mid(key.size() + 1);
        return QString();
    }
    QStringList Arguments() const
    {
        QStringList arguments;
        for (const QString& line : Lines())
            if (line.startsWith(QLatin1String("arg ")))
                arguments << line.mid(4);
        return arguments;
    }

private:
    QTemporaryDir m_dir;
    QString m_path;
};

inline QString PipeDirectory()
{
    return QFileInfo(QString::fromStdString(Zentar::Core::NamedPipePath("probe"))).absolutePath();
}

inline QStringList PipeFiles()
{
    return QDir(PipeDirectory()).entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot);
}

// A blocking channel read on another thread, so a hang shows as a failure.
inline QString ErrorOfRead(Zentar::Core::IDataChannel* channel)
{
    auto future = QtConcurrent::run([channel] {
        try {
            return QStringLiteral("message: ") + QString::fromStdString(channel->ReadText());
        } catch (const Zentar::Core::IOException& e) {
            return QString::fromUtf8(e.what());
        }
    });
    QElapsedTimer timer;
    timer.start();
    while (!future.isFinished() && timer.elapsed() < 5000)
        QTest::qWait(10);
    return future.isFinished() ? future.result() : QStringLiteral("still waiting");
}

} // namespace IpcTest
