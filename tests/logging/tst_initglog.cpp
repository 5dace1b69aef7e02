#include <Zentar/Logging/InitGlog.h>

#include <glog/logging.h>

#include <QCoreApplication>
#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <cstring>
#include <iostream>

using Zentar::Logging::InitGlog;

namespace
{

// This program started again as `--child <dir> <application name>`: sets up
// logging twice around an INFO and a WARNING line and prints the log directory.
int ChildMain(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QString::fromUtf8(argv[3]));
    InitGlog(argv[2]);
    LOG(INFO) << "info line";
    LOG(WARNING) << "warning line";
    InitGlog(argv[2]);
    LOG(INFO) << "after second setup";
    std::cout << Zentar::Logging::LogDirectory() << std::endl;
    return 0;
}

} // namespace

class TestInitGlog : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void fileNameAndStderr_data()
    {
        QTest::addColumn<QString>("productEnv");
        QTest::addColumn<QString>("base");
        QTest::newRow("environment") << "EnvProduct"
                                     << "EnvProduct";
        QTest::newRow("no environment") << QString() << "AppName";
    }
    void fileNameAndStderr()
    {
        QFETCH(QString, productEnv);
        QFETCH(QString, base);
        QTemporaryDir temp;
        const QString dir = temp.filePath(QStringLiteral("new/logs"));
        QProcess child;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.remove(QStringLiteral("GLOG_PRODUCT_NAME"));
        if (!productEnv.isNull())
            env.insert(QStringLiteral("GLOG_PRODUCT_NAME"), productEnv);
        child.setProcessEnvironment(env);
        child.start(QCoreApplication::applicationFilePath(),
            { QStringLiteral("--child"), dir, QStringLiteral("AppName") });
        QVERIFY(child.waitForFinished(30000));
        QCOMPARE(child.exitStatus(), QProcess::NormalExit);
        QCOMPARE(child.exitCode(), 0);
        QCOMPARE(QString::fromUtf8(child.readAllStandardOutput().trimmed()), dir);
        const QByteArray err = child.readAllStandardError();
        QVERIFY(err.contains("warning line") && !err.contains("info line"));

        const QFileInfoList files = QDir(dir).entryInfoList({ base + QStringLiteral(".log.*") }, QDir::Files);
        QCOMPARE(files.size(), 1);
        QFile file(files.first().filePath());
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray log = file.readAll();
        QVERIFY(
            log.contains("info line") && log.contains("warning line") && log.contains("after second setup"));
    }
};

int main(int argc, char** argv)
{
    if (argc > 3 && std::strcmp(argv[1], "--child") == 0)
        return ChildMain(argc, argv);
    QCoreApplication app(argc, argv);
    TestInitGlog test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_initglog.moc"
