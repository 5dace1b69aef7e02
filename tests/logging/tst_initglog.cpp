#include <Zentar/Logging/InitGlog.h>

#include <glog/logging.h>

#include <QCoreApplication>
#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <cstring>
#include <iostream>
#include <memory>

using Zentar::Logging::InitGlog;
using Zentar::Logging::LogDirectory;

namespace
{

// The test program started again as a separate process:
//   --child <dir> <application name or "-" for no application object> <tag> [hang]
// sets up logging twice, writes an INFO and a WARNING line, prints the log
// directory and exits; with "hang" it waits to be killed instead.
int ChildMain(int argc, char** argv)
{
    if (argc < 5)
        return 2;
    int appArgc = 1;
    std::unique_ptr<QCoreApplication> app;
    if (std::strcmp(argv[3], "-") != 0) {
        app = std::make_unique<QCoreApplication>(appArgc, argv);
        QCoreApplication::setApplicationName(QString::fromUtf8(argv[3]));
    }
    const std::string tag = argv[4];
    InitGlog(argv[2]);
    LOG(INFO) << "info " << tag;
    LOG(WARNING) << "warning " << tag;
    InitGlog(argv[2]);
    LOG(INFO) << "after second setup " << tag;
    std::cout << LogDirectory() << std::endl;
    if (argc > 5 && std::strcmp(argv[5], "hang") == 0) {
        std::string line;
        std::getline(std::cin, line);
    }
    return 0;
}

struct ChildResult {
    bool finished = false;
    int exitCode = -1;
    QString logDirectory;
    QByteArray standardError;
};

ChildResult RunChild(
    const QString& dir, const QString& appName, const QString& tag, const QString& productEnv)
{
    QProcess child;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove(QStringLiteral("GLOG_PRODUCT_NAME"));
    if (!productEnv.isNull())
        env.insert(QStringLiteral("GLOG_PRODUCT_NAME"), productEnv);
    child.setProcessEnvironment(env);
    child.start(QCoreApplication::applicationFilePath(), { QStringLiteral("--child"), dir, appName, tag });
    ChildResult result;
    result.finished = child.waitForFinished(30000) && child.exitStatus() == QProcess::NormalExit;
    result.exitCode = child.exitCode();
    result.logDirectory = QString::fromUtf8(child.readAllStandardOutput().trimmed());
    result.standardError = child.readAllStandardError();
    return result;
}

// The content of the log files in `dir` whose name starts with `base`.
QByteArray LogContent(const QString& dir, const QString& base, int* fileCount = nullptr)
{
    QByteArray content;
    const QFileInfoList files = QDir(dir).entryInfoList({ base + QStringLiteral(".log.*") }, QDir::Files);
    for (const QFileInfo& info : files) {
        QFile file(info.filePath());
        if (file.open(QIODevice::ReadOnly))
            content += file.readAll();
    }
    if (fileCount)
        *fileCount = files.size();
    return content;
}

} // namespace

class TestInitGlog : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void fileNameAndStderr_data()
    {
        QTest::addColumn<QString>("productEnv");
        QTest::addColumn<QString>("appName");
        QTest::addColumn<QString>("base");
        QTest::newRow("environment") << "EnvProduct"
                                     << "AppName"
                                     << "EnvProduct";
        QTest::newRow("application name") << QString() << "AppName"
                                          << "AppName";
        QTest::newRow("blank environment") << "  "
                                           << "AppName"
                                           << "AppName";
        QTest::newRow("no names") << QString() << "-"
                                  << "zentar";
        QTest::newRow("slash in name") << "Zentar/Beta"
                                       << "-"
                                       << "Zentar_Beta";
    }
    void fileNameAndStderr()
    {
        QFETCH(QString, productEnv);
        QFETCH(QString, appName);
        QFETCH(QString, base);
        QTemporaryDir temp;
        const QString dir = temp.filePath(QStringLiteral("new/logs"));
        const ChildResult child = RunChild(dir, appName, QStringLiteral("t1"), productEnv);
        QVERIFY(child.finished);
        QCOMPARE(child.exitCode, 0);
        QCOMPARE(child.logDirectory, dir);

        int files = 0;
        const QByteArray log = LogContent(dir, base, &files);
        QCOMPARE(files, 1);
        QVERIFY(log.contains("info t1"));
        QVERIFY(log.contains("warning t1"));
        QVERIFY(log.contains("after second setup t1"));
        QVERIFY(child.standardError.contains("warning t1"));
        QVERIFY(!child.standardError.contains("info t1"));
    }

    void defaultDirectory()
    {
        const ChildResult child
            = RunChild(QString(), QStringLiteral("LogApp"), QStringLiteral("t2"), QString());
        QVERIFY(child.finished);
        const QString expected = qEnvironmentVariable("XDG_DATA_HOME") + QStringLiteral("/LogApp/logs");
        QCOMPARE(child.logDirectory, expected);
        QVERIFY(LogContent(expected, QStringLiteral("LogApp")).contains("info t2"));
    }

    void linesSurviveAKill()
    {
        QTemporaryDir temp;
        QProcess child;
        child.start(QCoreApplication::applicationFilePath(),
            { QStringLiteral("--child"), temp.path(), QStringLiteral("Killed"), QStringLiteral("t3"),
                QStringLiteral("hang") });
        QVERIFY(child.waitForReadyRead(30000));
        child.kill();
        QVERIFY(child.waitForFinished(30000));
        QVERIFY(LogContent(temp.path(), QStringLiteral("Killed")).contains("after second setup t3"));
    }

    void setupInThisProcessMovesTheLog()
    {
        QCOMPARE(LogDirectory(), std::string());
        QTemporaryDir first;
        QTemporaryDir second;
        qputenv("GLOG_PRODUCT_NAME", "InProcess");
        InitGlog(first.path().toStdString());
        QCOMPARE(QString::fromStdString(LogDirectory()), first.path());
        LOG(INFO) << "first line";
        InitGlog(second.path().toStdString());
        QCOMPARE(QString::fromStdString(LogDirectory()), second.path());
        LOG(INFO) << "second line";
        QVERIFY(LogContent(first.path(), QStringLiteral("InProcess")).contains("first line"));
        QVERIFY(!LogContent(first.path(), QStringLiteral("InProcess")).contains("second line"));
        QVERIFY(LogContent(second.path(), QStringLiteral("InProcess")).contains("second line"));
    }
};

int main(int argc, char** argv)
{
    if (argc > 1 && std::strcmp(argv[1], "--child") == 0)
        return ChildMain(argc, argv);
    QCoreApplication app(argc, argv);
    TestInitGlog test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_initglog.moc"
