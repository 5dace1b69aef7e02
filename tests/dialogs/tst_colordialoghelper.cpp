#include "ApplicationTestMain.h"
#include <Zentar/App/Application.h>
#include <Zentar/App/ColorDialogHelper.h>
#include <Zentar/Settings/SettingsManager.h>

#include <QColorDialog>
#include <QProcess>
#include <QtTest>

using Zentar::App::Application;
using Zentar::App::ColorDialogHelper;
using Zentar::App::SettingsManager;

namespace
{

const std::string kGroup = "Zentar::App::ColorDialogHelper";

QString StoredColor(const SettingsManager& store, int i)
{
    return QString::fromStdString(store.GetString(kGroup + "/Color" + std::to_string(i), "missing"));
}

// Runs the helper program once; returns the colours it loaded.
QStringList RunProduct(const QStringList& args)
{
    QProcess process;
    process.start(QStringLiteral(ZENTAR_HELPER_DIR "/zentar_color_app"), args);
    if (!process.waitForFinished(60000) || process.exitStatus() != QProcess::NormalExit
        || process.exitCode() != 0)
        return { QStringLiteral("helper failed") };
    return QString::fromLatin1(process.readAllStandardOutput()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

SettingsManager ProductStore()
{
    return SettingsManager(QStringLiteral("ColorProduct"), QStringLiteral("Zentar"));
}

} // namespace

class TestColorDialogHelper : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void persistsAcrossRuns()
    {
        ProductStore().Remove(kGroup);
        QStringList defaults;
        for (int i = 0; i < QColorDialog::customCount(); ++i)
            defaults << QColorDialog::customColor(i).name();
        QCOMPARE(defaults.size(), 16);

        // First run: nothing stored, nothing loaded; all 16 colours saved.
        QCOMPARE(RunProduct({ QStringLiteral("0=#102030"), QStringLiteral("15=#abcdef") }), defaults);
        QStringList expected = defaults;
        expected[0] = QStringLiteral("#102030");
        expected[15] = QStringLiteral("#abcdef");
        SettingsManager reread = ProductStore();
        QCOMPARE(reread.GetInt(kGroup + "/ColorsCount", -1), 16);
        QCOMPARE(reread.GetGroupKeys(kGroup).size(), size_t(17));
        for (int i = 0; i < 16; ++i)
            QCOMPARE(StoredColor(reread, i), expected.at(i));

        // Second run: the colours come back.
        QCOMPARE(RunProduct({}), expected);

        // A stored count of 3 loads three colours; the others stay Qt's.
        SettingsManager edited = ProductStore();
        edited.SetInt(kGroup + "/ColorsCount", 3);
        const QStringList stored { QStringLiteral("#ff0000"), QStringLiteral("#00ff00"),
            QStringLiteral("#0000ff") };
        for (int i = 0; i < 3; ++i)
            edited.SetString(kGroup + "/Color" + std::to_string(i), stored.at(i).toStdString());
        QCOMPARE(RunProduct({}), stored + defaults.mid(3));
    }

    void lastHelperDestroyedWins()
    {
        const auto store
            = std::make_shared<SettingsManager>(QStringLiteral("ColorTest"), QStringLiteral("Zentar"));
        static_cast<Application*>(QCoreApplication::instance())->SetSettingsManager(store);
        store->Remove(kGroup);
        {
            ColorDialogHelper outer;
            QColorDialog::setCustomColor(0, QColor(Qt::red));
            {
                ColorDialogHelper inner;
                QColorDialog::setCustomColor(1, QColor(Qt::green));
            }
            QCOMPARE(StoredColor(*store, 0), QStringLiteral("#ff0000"));
            QColorDialog::setCustomColor(0, QColor(Qt::blue));
        }
        QCOMPARE(StoredColor(*store, 0), QStringLiteral("#0000ff"));
        QCOMPARE(StoredColor(*store, 1), QStringLiteral("#00ff00"));
    }
};

ZENTAR_APPLICATION_TEST_MAIN(TestColorDialogHelper)

#include "tst_colordialoghelper.moc"
