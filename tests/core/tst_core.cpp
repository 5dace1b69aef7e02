#include <Zentar/Core/DyLib.h>
#include <Zentar/Core/Exception.h>
#include <Zentar/Core/FileLock.h>
#include <Zentar/Core/NamedLock.h>
#include <Zentar/Core/RefCountable.h>
#include <Zentar/Core/StringConv.h>
#include <Zentar/Core/ioPath.h>

#include <QProcess>
#include <QtTest>

#include "VirtualSlot.h"

using namespace Zentar;

namespace
{

class Counted final : public Core::RefCountImpl<IRefCountable>
{
public:
    explicit Counted(bool* destroyed)
        : m_destroyed(destroyed)
    {
    }
    ~Counted() override { *m_destroyed = true; }

private:
    bool* m_destroyed;
};

} // namespace

class TestCore : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void refCounting()
    {
        bool destroyed = false;
        const IRefCountable* object = new Counted(&destroyed);
        QCOMPARE(object->GetRefCount(), 0u);
        QCOMPARE(object->AddRef(), 1u);
        QCOMPARE(object->AddRef(), 2u);
        QCOMPARE(object->Release(), 1u);
        {
            const boost::intrusive_ptr<const IRefCountable> held(object);
            QCOMPARE(object->GetRefCount(), 2u);
        }
        QCOMPARE(object->GetRefCount(), 1u);
        QVERIFY(!destroyed);
        QCOMPARE(object->Release(), 0u);
        QVERIFY(destroyed);
    }

    // Objects cross library boundaries: the slots are part of the interface.
    void refCountSlots()
    {
        if (VirtualSlot(&IRefCountable::AddRef) < 0)
            QSKIP("Pointers to virtual member functions are not laid out as on the Itanium C++ ABI");
        // The destructor's two slots come first.
        QCOMPARE(VirtualSlot(&IRefCountable::AddRef), 2LL);
        QCOMPARE(VirtualSlot(&IRefCountable::GetRefCount), 3LL);
        QCOMPARE(VirtualSlot(&IRefCountable::Release), 4LL);
    }

    void pathJoining_data()
    {
        QTest::addColumn<QString>("left");
        QTest::addColumn<QString>("right");
        QTest::addColumn<QString>("joined");
        QTest::newRow("plain") << "a"
                               << "b"
                               << "a/b";
        QTest::newRow("trailing slash") << "a/"
                                        << "b"
                                        << "a/b";
        QTest::newRow("absolute right wins") << "a"
                                             << "/b"
                                             << "/b";
        QTest::newRow("empty left") << ""
                                    << "b"
                                    << "b";
        QTest::newRow("empty right") << "a"
                                     << ""
                                     << "a";
        QTest::newRow("utf8") << "Thèmes"
                              << "Тёмная"
                              << "Thèmes/Тёмная";
    }
    void pathJoining()
    {
        QFETCH(QString, left);
        QFETCH(QString, right);
        QFETCH(QString, joined);
        const ioPath p = ioPath(left.toStdString()) / ioPath(right.toStdString());
        QCOMPARE(QString::fromStdString(p.utf8string()), joined);
    }

    void wideStrings()
    {
        const std::string text = "Zentar ✓ Ελληνικά 😀";
        const std::wstring wide = Core::WstringFromUtf8(text);
        QCOMPARE(wide, QString::fromUtf8(text.c_str()).toStdWString());
        QCOMPARE(Core::Utf8FromWstring(wide), text);
        // A lone continuation byte and a truncated sequence each become U+FFFD.
        QCOMPARE(
            Core::WstringFromUtf8(std::string("a\x80z\xE2\x82", 5)), std::wstring(L"a\uFFFDz\uFFFD\uFFFD"));
    }

    void exceptionCarriesLocation()
    {
        try {
            ZENTAR_THROW(Exception, "boom");
            QFAIL("no exception");
        } catch (const Exception& e) {
            QCOMPARE(std::string(e.what()), std::string("boom"));
            QCOMPARE(std::string(e.Function()), std::string("exceptionCarriesLocation"));
            QVERIFY(std::string(e.File()).find("tst_core.cpp") != std::string::npos);
            QVERIFY(e.Line() > 0);
        }
    }

    void dyLib()
    {
        Core::DyLib lib;
        QVERIFY(!lib.Open("Shcore.dll"));
        QVERIFY(lib.GetProc("SetProcessDpiAwareness") == nullptr);
        QVERIFY(lib.Open("libc.so.6"));
        QVERIFY(lib.GetProc("strlen") != nullptr);
        QVERIFY(lib.GetProc("NoSuchFunctionHere") == nullptr);
    }

    void namedLockAcrossProcesses()
    {
        const QString name = QStringLiteral("{AAAAAAAA-BBBB-CCCC-DDDD-EEEEEEEEEEEE}");
        const auto start = [&](QProcess& p) {
            p.start(QStringLiteral(ZENTAR_HELPER_DIR "/zentar_lock_holder"), { name });
            return p.waitForReadyRead(10000) ? p.readAllStandardOutput().trimmed() : QByteArray();
        };
        QProcess holder;
        QCOMPARE(start(holder), QByteArray("locked"));
        Core::NamedLock lock(name.toStdString());
        QVERIFY(!lock.TryLock());

        // A killed holder leaves no stale lock behind.
        holder.kill();
        QVERIFY(holder.waitForFinished(10000));
        QVERIFY(lock.TryLock());
        QProcess second;
        QCOMPARE(start(second), QByteArray("busy"));
        second.closeWriteChannel();
        QVERIFY(second.waitForFinished(10000));
    }

    void fileLockWaitIsBounded()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("file.guard"));
        QProcess holder;
        holder.start(
            QStringLiteral(ZENTAR_HELPER_DIR "/zentar_lock_holder"), { QStringLiteral("--file"), path });
        QVERIFY(holder.waitForReadyRead(10000));
        QCOMPARE(holder.readAllStandardOutput().trimmed(), QByteArray("locked"));

        using Attempt = Core::FileLock::Attempt;
        Core::FileLock lock(path.toStdString());
        QCOMPARE(lock.TryLock(), Attempt::Busy);
        QCOMPARE(lock.TryLockFor(std::chrono::milliseconds(50)), Attempt::Busy);
        QVERIFY(!lock.IsLocked());
        // The holder lets go while this one waits.
        holder.closeWriteChannel();
        QCOMPARE(lock.TryLockFor(std::chrono::seconds(30)), Attempt::Locked);
        QVERIFY(holder.waitForFinished(10000));
        QProcess second;
        second.start(
            QStringLiteral(ZENTAR_HELPER_DIR "/zentar_lock_holder"), { QStringLiteral("--file"), path });
        QVERIFY(second.waitForReadyRead(10000));
        QCOMPARE(second.readAllStandardOutput().trimmed(), QByteArray("busy"));
        second.closeWriteChannel();
        QVERIFY(second.waitForFinished(10000));

        Core::FileLock nowhere(dir.filePath(QStringLiteral("no/such/folder/file.guard")).toStdString());
        QCOMPARE(nowhere.TryLockFor(std::chrono::milliseconds(50)), Attempt::Unavailable);
    }
};

QTEST_GUILESS_MAIN(TestCore)
#include "tst_core.moc"
