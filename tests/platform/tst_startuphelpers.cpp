#include <Zentar/App/StartupHelpers.h>

#include <QCoreApplication>
#include <QtTest>

// Runs before any application object exists, as a product's main() does.
class TestStartupHelpers : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init()
    {
        QCoreApplication::setAttribute(Qt::AA_EnableHighDpiScaling, false);
    }

    void dpiPolicy_data()
    {
        QTest::addColumn<QByteArray>("policy");
        QTest::addColumn<bool>("set");
        QTest::addColumn<bool>("qtScales");
        QTest::newRow("NOSCALE keeps the defaults") << QByteArray("NOSCALE") << true << false;
        QTest::newRow("other value") << QByteArray("SCALE") << true << true;
        QTest::newRow("unset") << QByteArray() << false << true;
    }
    void dpiPolicy()
    {
        QFETCH(QByteArray, policy);
        QFETCH(bool, set);
        QFETCH(bool, qtScales);
        if (set)
            qputenv("ZENTAR_DPI_POLICY", policy);
        else
            qunsetenv("ZENTAR_DPI_POLICY");
        // The system DPI library is not there, so Qt is asked to scale.
        Zentar::App::HighDpiFix();
        QCOMPARE(QCoreApplication::testAttribute(Qt::AA_EnableHighDpiScaling), qtScales);
    }

};

int main(int argc, char** argv)
{
    TestStartupHelpers test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_startuphelpers.moc"
