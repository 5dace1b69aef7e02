#include <Zentar/QtUtil/RemoveDir.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <fcntl.h>
#include <sys/stat.h>

using Zentar::Util::RemoveDir;

namespace
{

// Sets the entry's own modification time (a link's, not its target's).
bool SetAge(const QString& path, int days)
{
    struct timespec times[2] = {};
    times[0].tv_sec = times[1].tv_sec = time(nullptr) - time_t(days) * 24 * 60 * 60;
    return utimensat(AT_FDCWD, QFile::encodeName(path).constData(), times, AT_SYMLINK_NOFOLLOW) == 0;
}

bool Present(const QString& path)
{
    struct stat st;
    return lstat(QFile::encodeName(path).constData(), &st) == 0;
}

// Makes `path` under `root`, `days` old: a file, a directory when it ends in
// '/', or a link to `target`.
bool Make(const QString& root, const QString& path, int days, const QString& target = QString())
{
    const QString full = root + QLatin1Char('/') + path;
    QDir().mkpath(QFileInfo(full).path());
    QFile file(full);
    const bool made = !target.isEmpty()   ? QFile::link(target, full)
        : path.endsWith(QLatin1Char('/')) ? QDir().mkpath(full)
                                          : file.open(QIODevice::WriteOnly) && file.write("data") == 4;
    file.close();
    return made && SetAge(full, days);
}

} // namespace

class TestRemoveDir : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void ageRuleLinksAndSelf()
    {
        QTemporaryDir temp;
        const QString root = temp.filePath(QStringLiteral("clean"));
        const QString out = temp.filePath(QStringLiteral("outside"));
        QVERIFY(Make(out, QStringLiteral("dir/inside.txt"), 30) && Make(out, QStringLiteral("dir/"), 30));
        // path, age in days, survives (directories are made after their files so they keep their age)
        const struct {
            const char* path;
            int days;
            bool survives;
        } entries[] = { { "old.txt", 20, false }, { "almost.txt", 9, true }, { "oldsub/old.txt", 20, false },
            { "oldsub/", 20, false }, { "mixed/old.txt", 20, false }, { "mixed/new.txt", 0, true },
            { "freshEmpty/", 0, true }, { "oldEmpty/", 20, false }, { "emptiedNow/old.txt", 20, false },
            { "deep/a/b/old.txt", 20, false } };
        for (const auto& e : entries)
            QVERIFY(Make(root, QString::fromUtf8(e.path), e.days));
        QVERIFY(Make(root, QStringLiteral("linkNew"), 0, out + QStringLiteral("/dir")));
        QVERIFY(Make(root, QStringLiteral("linkOld"), 20, out + QStringLiteral("/dir")));

        QVERIFY(RemoveDir(root, 10, false));
        QVERIFY(Present(root));
        for (const auto& e : entries)
            QVERIFY2(Present(root + QLatin1Char('/') + QString::fromUtf8(e.path)) == e.survives, e.path);
        QVERIFY(!Present(root + QStringLiteral("/emptiedNow")) && !Present(root + QStringLiteral("/deep")));
        QVERIFY(Present(root + QStringLiteral("/linkNew")) && !Present(root + QStringLiteral("/linkOld")));
        QVERIFY(Present(out + QStringLiteral("/dir/inside.txt")));

        // removeSelf keeps a directory that still holds new entries, else removes it.
        QVERIFY(RemoveDir(root, 10, true));
        QVERIFY(Present(root + QStringLiteral("/mixed/new.txt")));
        QVERIFY(RemoveDir(root, 0, true));
        QVERIFY(!Present(root));
        QVERIFY(Present(out + QStringLiteral("/dir/inside.txt")));
    }
};

QTEST_GUILESS_MAIN(TestRemoveDir)
#include "tst_removedir.moc"
