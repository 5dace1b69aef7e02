#include <Zentar/IO/CommunicationChannel.h>
#include <Zentar/IO/DataInputPipe.h>
#include <Zentar/IO/DataOutputPipe.h>
#include <Zentar/IO/IOException.h>
#include <Zentar/IO/NamedPipe.h>

#include "LogCapture.h"

#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QtConcurrent>
#include <QtTest>

#include <csignal>
#include <sys/stat.h>
#include <unistd.h>

using namespace Zentar::Core;

namespace
{

const QString kPeer = QStringLiteral(ZENTAR_HELPER_DIR "/zentar_pipe_peer");

std::string UniqueName(const char* tag)
{
    static int counter = 0;
    return std::string("\\\\.\\pipe\\ZentarTest") + tag + std::to_string(getpid()) + "_"
        + std::to_string(++counter);
}

QString Q(const std::string& s)
{
    return QString::fromStdString(s);
}

// One frame of the channel's wire format, optionally with a wrong check value.
QByteArray Frame(const QByteArray& payload, bool damaged = false, quint32 length = 0xFFFFFFFFu)
{
    if (length == 0xFFFFFFFFu)
        length = quint32(payload.size());
    QByteArray frame("ZMSG");
    for (quint32 v : { length, (length ^ 0xA5C3F00Fu) + (damaged ? 1u : 0u) })
        for (int i = 0; i < 4; ++i)
            frame.append(char((v >> (8 * i)) & 0xFF));
    return frame + payload;
}

QByteArray Pattern(int size)
{
    QByteArray bytes(size, Qt::Uninitialized);
    for (int i = 0; i < size; ++i)
        bytes[i] = char(i % 251);
    return bytes;
}

bool WaitForLine(QProcess& process, const QByteArray& wanted)
{
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < 10000) {
        while (process.canReadLine())
            if (process.readLine().trimmed() == wanted)
                return true;
        if (!process.waitForReadyRead(200) && process.state() == QProcess::NotRunning)
            return false;
    }
    return false;
}

// The master's side of a pipe pair: reads what the peer writes and writes
// what it reads.
struct MasterSide {
    std::string toPeer = UniqueName("In");
    std::string fromPeer = UniqueName("Out");
    boost::intrusive_ptr<IDataChannel> channel;

    void Create(bool waitWithoutLimit = true)
    {
        channel = CommunicationChannel::Create(
            DataInputPipe::Create(fromPeer, true), DataOutputPipe::Create(toPeer, true), waitWithoutLimit);
    }
    QStringList PeerArgs(const QString& mode) const { return { mode, Q(toPeer), Q(fromPeer) }; }
};

// Runs a blocking channel call on another thread, so that a hang shows as a
// failure rather than as a stuck test.
QString ErrorOfRead(IDataChannel* channel)
{
    auto future = QtConcurrent::run([channel] {
        try {
            channel->GetMessageLength();
            return QStringLiteral("no error");
        } catch (const IOException& e) {
            return QString::fromUtf8(e.what());
        }
    });
    QElapsedTimer timer;
    timer.start();
    while (!future.isFinished() && timer.elapsed() < 5000)
        QTest::qWait(10);
    return future.isFinished() ? future.result() : QStringLiteral("still waiting");
}

} // namespace

class TestPipes : public QObject
{
    Q_OBJECT

    MasterSide m_echoLink;
    QProcess m_echo;

private Q_SLOTS:
    void initTestCase()
    {
        m_echoLink.Create(false);
        m_echo.start(kPeer, m_echoLink.PeerArgs(QStringLiteral("echo")));
        QVERIFY(WaitForLine(m_echo, "ready"));
    }

    void cleanupTestCase()
    {
        m_echoLink.channel->WriteText("quit");
        QVERIFY(m_echo.waitForFinished(10000));
        QCOMPARE(m_echo.exitCode(), 0);
        m_echoLink.channel.reset();
        const QString dir = QFileInfo(Q(NamedPipePath(m_echoLink.toPeer))).absolutePath();
        QCOMPARE(QDir(dir).entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot), QStringList());
    }

    void messagesBothWays_data()
    {
        QTest::addColumn<QByteArray>("message");
        QTest::newRow("text") << QByteArray("applicationClosed");
        QTest::newRow("empty") << QByteArray();
        QTest::newRow("zero bytes inside") << QByteArray("a\0b\0", 4);
        QTest::newRow("largest single write") << Pattern(64 * 1024);
        QTest::newRow("just above it") << Pattern(64 * 1024 + 1);
        QTest::newRow("1 MiB") << Pattern(1 << 20);
        QTest::newRow("more than the pipe holds") << Pattern(3 << 20);
    }
    void messagesBothWays()
    {
        QFETCH(QByteArray, message);
        IDataChannel& channel = *m_echoLink.channel;
        channel.Write(message.constData(), size_t(message.size()));
        QCOMPARE(channel.GetMessageLength(), size_t(message.size()));
        QByteArray echoed(message.size() + 1, '\x7f');
        QCOMPARE(channel.Read(echoed.data(), size_t(echoed.size())), size_t(message.size()));
        echoed.chop(1);
        QCOMPARE(echoed, message);
    }

    void burstKeepsMessageBoundaries()
    {
        IDataChannel& channel = *m_echoLink.channel;
        QList<QByteArray> sent;
        for (int i = 0; i < 300; ++i) {
            sent << Pattern((i * 37) % 700).mid(i % 5);
            channel.Write(sent.last().constData(), size_t(sent.last().size()));
        }
        for (const QByteArray& expected : sent)
            QCOMPARE(QByteArray::fromStdString(channel.ReadText()), expected);
        QVERIFY(!channel.WaitForMessage(0));
    }

    void boundedReceiveWait()
    {
        IDataChannel& channel = *m_echoLink.channel;
        QCOMPARE(channel.GetReceiveTimeout(), CommunicationChannel::BOUNDED_RECEIVE_TIMEOUT_MS);
        channel.SetReceiveTimeout(100);
        QVERIFY_EXCEPTION_THROWN(channel.GetMessageLength(), IOException);
        // A silent peer is no broken link: the channel carries on.
        channel.WriteText("after the time-out");
        QCOMPARE(channel.ReadText(), std::string("after the time-out"));
        channel.SetReceiveTimeout(CommunicationChannel::BOUNDED_RECEIVE_TIMEOUT_MS);
    }

    void openingInEitherOrder_data()
    {
        QTest::addColumn<bool>("peerFirst");
        QTest::newRow("peer opens first") << true;
        QTest::newRow("maker first") << false;
    }
    void openingInEitherOrder()
    {
        QFETCH(bool, peerFirst);
        MasterSide link;
        QProcess peer;
        if (peerFirst) {
            peer.start(kPeer, link.PeerArgs(QStringLiteral("echo")));
            QVERIFY(WaitForLine(peer, "opening"));
        }
        link.Create();
        if (!peerFirst)
            peer.start(kPeer, link.PeerArgs(QStringLiteral("echo")));
        QVERIFY(WaitForLine(peer, "ready"));
        link.channel->WriteText("ping");
        QCOMPARE(link.channel->ReadText(), std::string("ping"));
        // Once both ends are open the names are free for the next pair.
        QVERIFY(!NamedPipeExists(link.toPeer));
        QVERIFY(!NamedPipeExists(link.fromPeer));
        link.channel->WriteText("quit");
        QVERIFY(peer.waitForFinished(10000));
        QCOMPARE(peer.exitCode(), 0);
    }

    void writeToVanishedPeer()
    {
        MasterSide link;
        link.Create();
        QProcess peer;
        peer.start(kPeer, link.PeerArgs(QStringLiteral("hold")));
        QVERIFY(WaitForLine(peer, "ready"));
        ::kill(pid_t(peer.processId()), SIGKILL);
        QVERIFY(peer.waitForFinished(10000));
        QVERIFY_EXCEPTION_THROWN(link.channel->WriteText("anyone there?"), IOException);
        QVERIFY(ErrorOfRead(link.channel.get()).contains(QStringLiteral("has closed")));
    }

    void rawInput_data()
    {
        QTest::addColumn<QList<QByteArray>>("chunks");
        QTest::addColumn<QStringList>("messages");
        QTest::addColumn<QString>("loggedError");
        QTest::newRow("split header") << QList<QByteArray> { Frame("split").left(5), Frame("split").mid(5) }
                                      << QStringList { "split" } << QString();
        QTest::newRow("garbage first")
            << QList<QByteArray> { "junk", Frame("hello") } << QStringList { "hello" } << "Skipped 4 bytes";
        QTest::newRow("damaged header") << QList<QByteArray> { Frame("one"), Frame("xx", true), Frame("two") }
                                        << QStringList { "one", "two" } << "Skipped 14 bytes";
        QTest::newRow("oversized length") << QList<QByteArray> { Frame("", false, 0x7FFFFFFF), Frame("ok") }
                                          << QStringList { "ok" } << "Skipped 12 bytes";
        QTest::newRow("torn last frame")
            << QList<QByteArray> { Frame("whole"), Frame(Pattern(100)).left(40) } << QStringList { "whole" }
            << "Dropped 40 bytes of an incomplete message";
    }
    void rawInput()
    {
        QFETCH(QList<QByteArray>, chunks);
        QFETCH(QStringList, messages);
        QFETCH(QString, loggedError);
        LogCapture log;
        MasterSide link;
        link.Create();
        QStringList args = link.PeerArgs(QStringLiteral("raw"));
        for (const QByteArray& chunk : chunks)
            args << QString::fromLatin1(chunk.toHex());
        QProcess peer;
        peer.start(kPeer, args);
        QVERIFY(peer.waitForFinished(10000));
        QCOMPARE(peer.exitCode(), 0);

        for (const QString& expected : messages)
            QCOMPARE(QString::fromStdString(link.channel->ReadText()), expected);
        QVERIFY(ErrorOfRead(link.channel.get()).contains(QStringLiteral("has closed")));
        const auto errors = log.Texts(google::GLOG_ERROR);
        if (loggedError.isEmpty()) {
            QCOMPARE(errors.size(), size_t(0));
        } else {
            QCOMPARE(errors.size(), size_t(1));
            QVERIFY2(Q(errors.front()).contains(loggedError), errors.front().c_str());
        }
    }

    void nameInUseAndRemoval()
    {
        const std::string name = UniqueName("Busy");
        auto first = DataInputPipe::Create(name, true);
        QVERIFY(NamedPipeExists(name));
        struct stat st {
        };
        QCOMPARE(stat(QFileInfo(Q(NamedPipePath(name))).absolutePath().toLocal8Bit().constData(), &st), 0);
        QCOMPARE(st.st_mode & 0777, mode_t(0700));
        QVERIFY_EXCEPTION_THROWN(DataOutputPipe::Create(name, true), IOException);
        QVERIFY(NamedPipeExists(name));
        first.reset();
        QVERIFY(!NamedPipeExists(name));
        auto second = DataOutputPipe::Create(name, true);
        QVERIFY(NamedPipeExists(name));
        second.reset();
        QVERIFY(!NamedPipeExists(name));
    }

    void withoutPeer_data()
    {
        QTest::addColumn<QString>("situation");
        QTest::addColumn<QString>("error");
        QTest::newRow("reader opens a missing pipe") << "missing-reader"
                                                     << "does not exist";
        QTest::newRow("writer opens a missing pipe") << "missing-writer"
                                                     << "does not exist";
        QTest::newRow("reader opens an abandoned pipe") << "abandoned-reader"
                                                        << "no process holds";
        QTest::newRow("writer opens an abandoned pipe") << "abandoned-writer"
                                                        << "no process holds";
        QTest::newRow("maker reads, nobody connects") << "lonely-reader"
                                                      << "no process connected";
        QTest::newRow("maker writes, nobody connects") << "lonely-writer"
                                                       << "no process connected";
        QTest::newRow("empty name") << "empty-name"
                                    << "unusable pipe name";
    }
    void withoutPeer()
    {
        QFETCH(QString, situation);
        QFETCH(QString, error);
        std::string name = UniqueName("Alone");
        if (situation.startsWith(QLatin1String("abandoned"))) {
            // A pipe whose maker died before anyone opened it (making and
            // releasing one first provides the directory).
            DataInputPipe::Create(name, true);
            QCOMPARE(mkfifo(NamedPipePath(name).c_str(), 0600), 0);
        }
        QString message;
        try {
            if (situation.endsWith(QLatin1String("-reader"))
                && !situation.startsWith(QLatin1String("lonely")))
                DataInputPipe::Create(name, false, 100);
            else if (situation.endsWith(QLatin1String("-writer"))
                && !situation.startsWith(QLatin1String("lonely")))
                DataOutputPipe::Create(name, false, 100);
            else if (situation == QLatin1String("lonely-reader")) {
                char byte;
                DataInputPipe::Create(name, true, 100)->Read(&byte, 1);
            } else if (situation == QLatin1String("lonely-writer"))
                DataOutputPipe::Create(name, true, 100)->Write("x", 1);
            else
                DataInputPipe::Create("\\\\.\\pipe\\", true);
        } catch (const IOException& e) {
            message = QString::fromUtf8(e.what());
        }
        QVERIFY2(message.contains(error), qPrintable(message));
        QVERIFY(!NamedPipeExists(name));
    }
};

QTEST_GUILESS_MAIN(TestPipes)
#include "tst_pipes.moc"
