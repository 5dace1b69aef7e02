#include <Zentar/QtUtil/SpontaneousDialog.h>
#include <Zentar/QtUtil/Utf8.h>
#include <Zentar/QtUtil/Version.h>

#include <QWidget>
#include <QtTest>

using namespace Zentar;

class TestQtUtilHelpers : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void versionToString_data()
    {
        QTest::addColumn<int>("format");
        QTest::addColumn<QString>("separator");
        QTest::addColumn<QString>("expected");
        QTest::newRow("default") << int(Util::VersionFormat_MajorMinorPatch) << "."
                                 << "20.4.7";
        QTest::newRow("full") << int(Util::VersionFormat_Full) << "."
                              << "20.4.7.1234";
        QTest::newRow("major minor") << int(Util::VersionFormat_MajorMinor) << "."
                                     << "20.4";
        QTest::newRow("dash") << int(Util::VersionFormat_MajorMinorPatch) << "-"
                              << "20-4-7";
        QTest::newRow("long separator") << int(Util::VersionFormat_Full) << " / "
                                        << "20 / 4 / 7 / 1234";
        QTest::newRow("unknown format") << 17 << "."
                                        << "20.4.7";
    }
    void versionToString()
    {
        QFETCH(int, format);
        QFETCH(QString, separator);
        QFETCH(QString, expected);
        const Core::Version v(20, 4, 7, 1234);
        QCOMPARE(Util::VersionToString(v, Util::VersionFormat(format), separator), expected);
    }

    void utf8RoundTrip()
    {
        const std::string text = "Zentar ✓ Ελληνικά 😀 \t\n";
        const QString q = Util::Utf8ToQString(text);
        QCOMPARE(q, QString::fromUtf8("Zentar ✓ Ελληνικά 😀 \t\n"));
        QCOMPARE(Util::QStringToUtf8(q), text);
        // Embedded NUL characters survive both ways.
        const std::string withNul("a\0b", 3);
        QCOMPARE(Util::Utf8ToQString(withNul).size(), 3);
        QCOMPARE(Util::QStringToUtf8(Util::Utf8ToQString(withNul)), withNul);
        QCOMPARE(Util::Utf8ToQString(std::string("a\xFFz", 3)), QString::fromUtf8("a\xEF\xBF\xBDz"));
    }

    void mainWindowIsGuarded()
    {
        QCOMPARE(Util::SpontaneousDialog::GetMainWindow(), nullptr);
        auto window = new QWidget;
        Util::SpontaneousDialog::SetMainWindow(window);
        QCOMPARE(Util::SpontaneousDialog::GetMainWindow(), window);
        delete window;
        QCOMPARE(Util::SpontaneousDialog::GetMainWindow(), nullptr);
    }
};

QTEST_MAIN(TestQtUtilHelpers)
#include "tst_qtutilhelpers.moc"
