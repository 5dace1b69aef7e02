#include <Zentar/QtUtil/SpontaneousDialog.h>
#include <Zentar/QtUtil/Utf8.h>

#include <QWidget>
#include <QtTest>

using namespace Zentar;

class TestQtUtilHelpers : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void utf8KeepsNulAndReplacesBadBytes()
    {
        const std::string withNul("a\0✓", 5);
        QCOMPARE(Util::QStringToUtf8(Util::Utf8ToQString(withNul)), withNul);
        QCOMPARE(Util::Utf8ToQString(std::string("a\xFFz", 3)), QString::fromUtf8("a\xEF\xBF\xBDz"));
    }

    void mainWindowIsGuarded()
    {
        auto window = new QWidget;
        Util::SpontaneousDialog::SetMainWindow(window);
        QCOMPARE(Util::SpontaneousDialog::GetMainWindow(), window);
        delete window;
        QCOMPARE(Util::SpontaneousDialog::GetMainWindow(), nullptr);
    }
};

QTEST_MAIN(TestQtUtilHelpers)
#include "tst_qtutilhelpers.moc"
