#include <Zentar/IO/CommunicationChannel.h>
#include <Zentar/IO/DataInputPipe.h>
#include <Zentar/IO/DataOutputPipe.h>

#include "LogCapture.h"
#include "PipeTestSupport.h"

#include <QProcess>

#include <future>
#include <memory>
#include <thread>
#include <vector>

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

// One frame of the channel's wire format, optionally with a wrong check value.
QByteArray Frame(const QByteArray& payload, bool damaged = false)
{
    const quint32 length = quint32(payload.size());
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

// The master's side of a pipe pair, talking to a zentar_pipe_peer.
struct MasterSide {
    std::string toPeer = UniqueName("In");
    std::string fromPeer = UniqueName("Out");
    boost::intrusive_ptr<IDataChannel> channel;

    void Create()
    {
        channel = CommunicationChannel::Create(
            DataInputPipe::Create(fromPeer, true), DataOutputPipe::Create(toPeer, true), true);
    }
    QStringList PeerArgs(const QString& mode) const
    {
        return { mode, QString::fromStdString(toPeer), QString::fromStdString(fromPeer) };
    }
};

// The error of a read into a buffer large enough for any message of these
// tests, on another thread so that a hang shows as a failure.
QString ErrorOfLargeRead(IDataChannel* channel)
{
    auto result = std::make_shared<std::promise<QString>>();
    std::future<QString> error = result->get_future();
    std::thread([channel, result] {
        std::vector<char> buffer(1 << 20);
        try {
            result->set_value(
                QStringLiteral("message of %1 bytes").arg(channel->Read(buffer.data(), buffer.size())));
        } catch (const IOException& e) {
            result->set_value(QString::fromUtf8(e.what()));
        }
    }).detach();
    return error.wait_for(std::chrono::seconds(10)) == std::future_status::ready
        ? error.get()
        : QStringLiteral("still waiting");
}

} // namespace

class TestPipes : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // Echoes messages through a peer process, whichever end opens first.
    void echoInEitherOrder_data()
    {
        QTest::addColumn<bool>("peerFirst");
        QTest::newRow("peer opens first") << true;
        QTest::newRow("maker first") << false;
    }
    void echoInEitherOrder()
    {
        QFETCH(bool, peerFirst);
        MasterSide link;
        QProcess peer;
        if (peerFirst) {
            peer.start(kPeer, link.PeerArgs(QStringLiteral("echo")));
            QVERIFY(peer.waitForReadyRead(10000)); // it says so before opening
        }
        link.Create();
        if (!peerFirst)
            peer.start(kPeer, link.PeerArgs(QStringLiteral("echo")));
        for (const QByteArray& message : { QByteArray("applicationClosed"), QByteArray(),
                 QByteArray("a\0b\0", 4), Pattern(64 * 1024 + 1), Pattern(3 << 20) }) {
            link.channel->Write(message.constData(), size_t(message.size()));
            QCOMPARE(link.channel->GetMessageLength(), size_t(message.size()));
            QByteArray echoed(message.size() + 1, '\x7f');
            QCOMPARE(link.channel->Read(echoed.data(), size_t(echoed.size())), size_t(message.size()));
            echoed.chop(1);
            QCOMPARE(echoed, message);
        }
        // Once both ends are open the names are free for the next pair.
        QVERIFY(!NamedPipeExists(link.toPeer));
        QVERIFY(!NamedPipeExists(link.fromPeer));
        link.channel->WriteText("quit");
        QVERIFY(peer.waitForFinished(10000));
        QCOMPARE(peer.exitCode(), 0);
        link.channel.reset();
        QCOMPARE(PipeFiles(), QStringList());
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
        QCOMPARE(errors.size(), size_t(loggedError.isEmpty() ? 0 : 1));
        if (!loggedError.isEmpty())
            QVERIFY2(QString::fromStdString(errors.front()).contains(loggedError), errors.front().c_str());
    }

    // Big messages go from the pipe straight into a reader's buffer that
    // holds them; the messages after them, and a torn one, come out as usual.
    void bigMessagesIntoALargeBuffer_data()
    {
        QTest::addColumn<QList<QByteArray>>("frames");
        QTest::addColumn<QList<QByteArray>>("messages");
        QTest::addColumn<QString>("loggedError");
        const QByteArray big = Pattern(70000);
        QTest::newRow("in a row") << QList<QByteArray> { Frame(big), Frame(big.left(64 * 1024)),
            Frame("small") } << QList<QByteArray> { big, big.left(64 * 1024), "small" }
                                  << QString();
        QTest::newRow("torn") << QList<QByteArray> { Frame("first"), Frame(Pattern(200000)).left(90000) }
                              << QList<QByteArray> { "first" }
                              << "Dropped 90000 bytes of an incomplete message";
    }
    void bigMessagesIntoALargeBuffer()
    {
        QFETCH(QList<QByteArray>, frames);
        QFETCH(QList<QByteArray>, messages);
        QFETCH(QString, loggedError);
        LogCapture log;
        MasterSide link;
        link.Create();
        const QByteArray stream = frames.join();
        QStringList args = link.PeerArgs(QStringLiteral("raw"));
        for (int at = 0; at < stream.size(); at += 30000) // one argument holds at most 128 KiB
            args << QString::fromLatin1(stream.mid(at, 30000).toHex());
        QProcess peer;
        peer.start(kPeer, args);

        for (const QByteArray& expected : messages) {
            QByteArray received(1 << 20, '\x7f');
            received.truncate(int(link.channel->Read(received.data(), size_t(received.size()))));
            QCOMPARE(received, expected);
        }
        QVERIFY(ErrorOfLargeRead(link.channel.get()).contains(QStringLiteral("has closed")));
        QVERIFY(peer.waitForFinished(10000));
        QCOMPARE(peer.exitCode(), 0);
        const auto errors = log.Texts(google::GLOG_ERROR);
        QCOMPARE(errors.size(), size_t(loggedError.isEmpty() ? 0 : 1));
        if (!loggedError.isEmpty())
            QVERIFY2(QString::fromStdString(errors.front()).contains(loggedError), errors.front().c_str());
    }
};

QTEST_GUILESS_MAIN(TestPipes)
#include "tst_pipes.moc"
