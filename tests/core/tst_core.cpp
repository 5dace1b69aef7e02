#include <Zentar/Core/AppLocations.h>
#include <Zentar/Core/DyLib.h>
#include <Zentar/Core/Exception.h>
#include <Zentar/Core/NamedLock.h>
#include <Zentar/Core/RefCountable.h>
#include <Zentar/Core/StringConv.h>
#include <Zentar/Core/Version.h>
#include <Zentar/Core/ioPath.h>

#include <QCoreApplication>
#include <QProcess>
#include <QtTest>

#include <boost/intrusive_ptr.hpp>

using namespace Zentar;

class TestCore : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void pathJoining_data()
    {
        QTest::addColumn<QString>("left");
        QTest::addColumn<QString>("right");
        QTest::addColumn<QString>("joined");
        QTest::newRow("plain") << "a" << "b" << "a/b";
        QTest::newRow("trailing slash") << "a/" << "b" << "a/b";
        QTest::newRow("absolute right wins") << "a" << "/b" << "/b";
        QTest::newRow("empty left") << "" << "b" << "b";
        QTest::newRow("empty right") << "a" << "" << "a";
        QTest::newRow("utf8") << "Thèmes" << "Тёмная" << "Thèmes/Тёмная";
    }
    void pathJoining()
    {
        QFETCH(QString, left);
        QFETCH(QString, right);
        QFETCH(QString, joined);
        const ioPath p = ioPath(left.toStdString()) / ioPath(right.toStdString());
        QCOMPARE(QString::fromStdString(p.utf8string()), joined);
    }

    void pathParts()
    {
        const ioPath p("/opt/product/bin/app");
        QCOMPARE(p.filename(), std::string("app"));
        QCOMPARE(p.parent_path().utf8string(), std::string("/opt/product/bin"));
        QCOMPARE(ioPath("/app").parent_path().utf8string(), std::string("/"));
        QVERIFY(ioPath("app").parent_path().empty());
    }

    void versionFromString_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QList<uint>>("fields");
        QTest::newRow("full") << "20.4.0.1234" << QList<uint>{20, 4, 0, 1234};
        QTest::newRow("short") << "2.5" << QList<uint>{2, 5, 0, 0};
        QTest::newRow("garbage field") << "3.x.1" << QList<uint>{3, 0, 1, 0};
        QTest::newRow("empty") << "" << QList<uint>{0, 0, 0, 0};
    }
    void versionFromString()
    {
        QFETCH(QString, text);
        QFETCH(QList<uint>, fields);
        const auto v = Core::Version::FromString(text.toStdString());
        QCOMPARE((QList<uint>{v.major, v.minor, v.patch, v.build}), fields);
    }

    void wideStringRoundTrip()
    {
        const std::string text = "Zentar ✓ Ελληνικά 😀";
        const std::wstring wide = Core::WstringFromUtf8(text);
        QCOMPARE(wide, QString::fromUtf8(text.c_str()).toStdWString());
        QCOMPARE(Core::Utf8FromWstring(wide), text);
    }

    void wideStringFromInvalidUtf8()
    {
        // A lone continuation byte and a truncated sequence each become U+FFFD.
        const std::wstring wide = Core::WstringFromUtf8(std::string("a\x80z\xE2\x82", 5));
        QCOMPARE(wide, std::wstring(L"a\uFFFDz\uFFFD\uFFFD"));
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

    void refCounting()
    {
        struct Counted : IRefCountable
        {
            explicit Counted(bool* flag) : destroyed(flag) {}
            ~Counted() override { *destroyed = true; }
            bool* destroyed;
        };
        bool destroyed = false;
        {
            boost::intrusive_ptr<Core::RefCountImpl<Counted>> a(new Core::RefCountImpl<Counted>(&destroyed));
            auto b = a;
            QCOMPARE(a->RefCount(), 2L);
            a.reset();
            QVERIFY(!destroyed);
        }
        QVERIFY(destroyed);
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

    void appLocations()
    {
        const auto& locations = Core::AppLocations::GetLocations();
        QCOMPARE(QString::fromStdString(locations.GetExecutableDir().utf8string()),
                 QCoreApplication::applicationDirPath());
        QCOMPARE(QString::fromStdString(locations.GetResourcesPath().utf8string()),
                 QCoreApplication::applicationDirPath() + QStringLiteral("/resources"));
        QVERIFY(QString::fromStdString(locations.GetFontConfigPath().utf8string())
                    .endsWith(QStringLiteral("/resources/fonts/fonts.conf")));
    }

    void namedLockInProcess()
    {
        Core::NamedLock first("{11111111-2222-3333-4444-555555555555}");
        Core::NamedLock second("{11111111-2222-3333-4444-555555555555}");
        QVERIFY(first.TryLock());
        QVERIFY(first.TryLock()); // already held by this object
        QVERIFY(!second.TryLock());
        first.Unlock();
        QVERIFY(second.TryLock());
    }

    void namedLockAcrossProcesses()
    {
        const QString name = QStringLiteral("{AAAAAAAA-BBBB-CCCC-DDDD-EEEEEEEEEEEE}");
        QProcess holder;
        holder.start(QStringLiteral(ZENTAR_HELPER_DIR "/zentar_lock_holder"), {name});
        QVERIFY(holder.waitForReadyRead(10000));
        QCOMPARE(holder.readAllStandardOutput().trimmed(), QByteArray("locked"));

        Core::NamedLock lock(name.toStdString());
        QVERIFY(!lock.TryLock());

        // A killed holder leaves no stale lock behind.
        holder.kill();
        QVERIFY(holder.waitForFinished(10000));
        QVERIFY(lock.TryLock());

        QProcess second;
        second.start(QStringLiteral(ZENTAR_HELPER_DIR "/zentar_lock_holder"), {name});
        QVERIFY(second.waitForReadyRead(10000));
        QCOMPARE(second.readAllStandardOutput().trimmed(), QByteArray("busy"));
        second.closeWriteChannel();
        QVERIFY(second.waitForFinished(10000));
        QCOMPARE(second.exitCode(), 1);
    }
};

QTEST_GUILESS_MAIN(TestCore)
#include "tst_core.moc"
