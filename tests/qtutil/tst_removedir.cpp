#include <Zentar/QtUtil/RemoveDir.h>

#include "LogCapture.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using Zentar::Util::RemoveDir;

namespace
{

constexpr int Day = 24 * 60 * 60;

// Sets the entry's own modification time (a link's, not its target's).
bool SetAge(const QString& path, int days)
{
    struct timespec times[2];
    times[0].tv_sec = times[1].tv_sec = time(nullptr) - time_t(days) * Day;
    times[0].tv_nsec = times[1].tv_nsec = 0;
    return utimensat(AT_FDCWD, QFile::encodeName(path).constData(), times, AT_SYMLINK_NOFOLLOW) == 0;
}

bool Present(const QString& path)
{
    struct stat st;
    return lstat(QFile::encodeName(path).constData(), &st) == 0;
}

bool MakeFile(const QString& path, int ageDays)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write("data") == 4
        && (file.close(), SetAge(path, ageDays));
}

bool MakeLink(const QString& target, const QString& link, int ageDays)
{
    return QFile::link(target, link) && SetAge(link, ageDays);
}

} // namespace

class TestRemoveDir : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_temp;
    QString m_root;
    QString m_outside;

    QString In(const QString& relative) const { return m_root + QLatin1Char('/') + relative; }
    QString Out(const QString& relative) const { return m_outside + QLatin1Char('/') + relative; }

private Q_SLOTS:
    void init()
    {
        m_root = m_temp.filePath(QStringLiteral("clean"));
        m_outside = m_temp.filePath(QStringLiteral("outside"));
        QVERIFY(QDir(m_root).removeRecursively() && QDir(m_outside).removeRecursively());
        QVERIFY(QDir().mkpath(m_root) && QDir().mkpath(m_outside));
        QVERIFY(MakeFile(Out(QStringLiteral("target.txt")), 30));
        QVERIFY(MakeFile(Out(QStringLiteral("dir/inside.txt")), 30));
        QVERIFY(SetAge(Out(QStringLiteral("dir")), 30));
    }

    void ageRule_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<bool>("survives");
        const struct {
            const char* path;
            bool survives;
        } expectations[] = {
            { "old.txt", false },
            { "new.txt", true },
            { "almost.txt", true },
            { "oldsub", false },
            { "mixed/old.txt", false },
            { "mixed/new.txt", true },
            { "freshEmpty", true },
            { "oldEmpty", false },
            { "emptiedNow", false },
            { "deep", false },
            { "linkOldFile", false },
            { "linkNewDir", true },
            { "linkOldDir", false },
            { "dangling", false },
            { "$outside/target.txt", true },
            { "$outside/dir/inside.txt", true },
        };
        for (const auto& e : expectations)
            QTest::newRow(e.path) << QString::fromUtf8(e.path) << e.survives;
    }
    void ageRule()
    {
        QFETCH(QString, path);
        QFETCH(bool, survives);
        QVERIFY(MakeFile(In(QStringLiteral("old.txt")), 20));
        QVERIFY(MakeFile(In(QStringLiteral("new.txt")), 0));
        QVERIFY(MakeFile(In(QStringLiteral("almost.txt")), 9));
        QVERIFY(MakeFile(In(QStringLiteral("oldsub/old.txt")), 20));
        QVERIFY(SetAge(In(QStringLiteral("oldsub")), 20));
        QVERIFY(MakeFile(In(QStringLiteral("mixed/old.txt")), 20));
        QVERIFY(MakeFile(In(QStringLiteral("mixed/new.txt")), 0));
        QVERIFY(QDir().mkpath(In(QStringLiteral("freshEmpty"))));
        QVERIFY(QDir().mkpath(In(QStringLiteral("oldEmpty"))) && SetAge(In(QStringLiteral("oldEmpty")), 20));
        // A directory touched today whose files are all old: emptied, so removed.
        QVERIFY(MakeFile(In(QStringLiteral("emptiedNow/old.txt")), 20));
        QVERIFY(MakeFile(In(QStringLiteral("deep/a/b/old.txt")), 20));
        QVERIFY(MakeLink(Out(QStringLiteral("target.txt")), In(QStringLiteral("linkOldFile")), 20));
        QVERIFY(MakeLink(Out(QStringLiteral("dir")), In(QStringLiteral("linkNewDir")), 0));
        QVERIFY(MakeLink(Out(QStringLiteral("dir")), In(QStringLiteral("linkOldDir")), 20));
        QVERIFY(MakeLink(In(QStringLiteral("nowhere")), In(QStringLiteral("dangling")), 20));

        QVERIFY(RemoveDir(m_root, 10, false));
        QVERIFY(Present(m_root));
        const QString full = path.startsWith(QLatin1Char('$'))
            ? path.replace(QStringLiteral("$outside"), m_outside)
            : In(path);
        QCOMPARE(Present(full), survives);
    }

    void everythingAndSelf_data()
    {
        QTest::addColumn<int>("days");
        QTest::addColumn<bool>("removeSelf");
        QTest::addColumn<bool>("rootSurvives");
        QTest::addColumn<bool>("newFileSurvives");
        QTest::newRow("all, keep dir") << 0 << false << true << false;
        QTest::newRow("all, remove dir") << 0 << true << false << false;
        QTest::newRow("negative days") << -3 << true << false << false;
        QTest::newRow("old only, something left") << 10 << true << true << true;
    }
    void everythingAndSelf()
    {
        QFETCH(int, days);
        QFETCH(bool, removeSelf);
        QFETCH(bool, rootSurvives);
        QFETCH(bool, newFileSurvives);
        QVERIFY(MakeFile(In(QStringLiteral("new.txt")), 0));
        QVERIFY(MakeFile(In(QStringLiteral("sub/new.txt")), 0));
        QVERIFY(MakeFile(In(QStringLiteral("sub/old.txt")), 20));
        QVERIFY(MakeLink(m_outside, In(QStringLiteral("link")), 0));

        QVERIFY(RemoveDir(m_root, days, removeSelf));
        QCOMPARE(Present(m_root), rootSurvives);
        QCOMPARE(Present(In(QStringLiteral("new.txt"))), newFileSurvives);
        QCOMPARE(Present(In(QStringLiteral("sub/new.txt"))), newFileSurvives);
        QVERIFY(!Present(In(QStringLiteral("sub/old.txt"))));
        if (rootSurvives && !newFileSurvives)
            QVERIFY(
                QDir(m_root).isEmpty(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System));
        QVERIFY(Present(Out(QStringLiteral("target.txt"))));
        QVERIFY(Present(Out(QStringLiteral("dir/inside.txt"))));
    }

    void pathsThatAreNoDirectory()
    {
        QVERIFY(RemoveDir(m_temp.filePath(QStringLiteral("missing")), 0, true));

        LogCapture log;
        QVERIFY(MakeFile(In(QStringLiteral("file.txt")), 20));
        QVERIFY(!RemoveDir(In(QStringLiteral("file.txt")), 0, true));
        QVERIFY(Present(In(QStringLiteral("file.txt"))));
        // A link to a directory is not followed.
        QVERIFY(MakeLink(m_outside, In(QStringLiteral("linkedRoot")), 20));
        QVERIFY(!RemoveDir(In(QStringLiteral("linkedRoot")), 0, true));
        QVERIFY(Present(Out(QStringLiteral("target.txt"))));
        QCOMPARE(log.Texts(google::GLOG_ERROR).size(), size_t(2));
        QVERIFY(!RemoveDir(QString(), 0, false));
    }

    void failureIsReported()
    {
        if (geteuid() == 0)
            QSKIP("permissions do not stop the super-user");
        QVERIFY(MakeFile(In(QStringLiteral("locked/old.txt")), 20));
        QVERIFY(MakeFile(In(QStringLiteral("old.txt")), 20));
        QVERIFY(QFile::setPermissions(In(QStringLiteral("locked")), QFile::ReadOwner | QFile::ExeOwner));
        LogCapture log;
        const bool ok = RemoveDir(m_root, 10, true);
        QFile::setPermissions(
            In(QStringLiteral("locked")), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        QVERIFY(!ok);
        QVERIFY(log.Contains("locked/old.txt"));
        QVERIFY(Present(In(QStringLiteral("locked/old.txt"))));
        QVERIFY(!Present(In(QStringLiteral("old.txt"))));
        QVERIFY(Present(m_root));
    }
};

QTEST_GUILESS_MAIN(TestRemoveDir)
#include "tst_removedir.moc"
