#include <Zentar/App/ConfirmationAlertBox.h>
#include <Zentar/Settings/SettingsManager.h>

#include "ModalAnswer.h"

#include <QCheckBox>
#include <QtTest>

using Zentar::App::ConfirmationAlertBox;
using Zentar::App::SettingsManager;
using Zentar::Util::AlertBox;
using Buttons = QMessageBox::StandardButtons;

namespace
{

std::shared_ptr<SettingsManager> OpenStore()
{
    return std::make_shared<SettingsManager>(QStringLiteral("ConfirmProduct"), QStringLiteral("Zentar"));
}

// Runs the box; when it is shown, ticks "Don't show this again" if asked and
// clicks `click`. `shown` tells whether the box appeared at all.
QMessageBox::StandardButton Answer(
    ConfirmationAlertBox& box, bool tick, QMessageBox::StandardButton click, bool& shown)
{
    shown = false;
    OnNextModalBox([&shown, tick, click](QMessageBox* shownBox) {
        if (!shownBox)
            return;
        shown = true;
        if (tick)
            QTest::mouseClick(shownBox->checkBox(), Qt::LeftButton);
        ClickButton(shownBox, click);
    });
    const auto result = box.Exec();
    // Lets the answering timer run when Exec returned without showing.
    QCoreApplication::processEvents();
    return result;
}

} // namespace

Q_DECLARE_METATYPE(QMessageBox::StandardButton)
Q_DECLARE_METATYPE(QMessageBox::StandardButtons)

class TestConfirmationAlertBox : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void remembering_data()
    {
        QTest::addColumn<Buttons>("buttons");
        QTest::addColumn<bool>("rememberOnReject");
        QTest::addColumn<Buttons>("rememberOnly");
        QTest::addColumn<int>("forced"); // -1: none
        QTest::addColumn<QString>("id");
        QTest::addColumn<QMessageBox::StandardButton>("click");
        QTest::addColumn<int>("stored"); // -1: nothing stored

        const auto Ok = QMessageBox::Ok, Cancel = QMessageBox::Cancel, Yes = QMessageBox::Yes,
                   No = QMessageBox::No;
        const Buttons okCancel = Ok | Cancel, yesNo = Yes | No, any;
        const QString id = QStringLiteral("delete.item");
        QTest::newRow("accepted") << okCancel << false << any << -1 << id << Ok << int(Ok);
        QTest::newRow("reject role") << okCancel << false << any << -1 << id << Cancel << -1;
        QTest::newRow("remember on reject") << okCancel << true << any << -1 << id << Cancel << int(Cancel);
        QTest::newRow("remember only Yes, No pressed")
            << yesNo << false << Buttons(Yes) << -1 << id << No << -1;
        QTest::newRow("remember only Yes, Yes pressed")
            << yesNo << false << Buttons(Yes) << -1 << id << Yes << int(Yes);
        QTest::newRow("forced answer") << yesNo << false << any << int(Ok) << id << Yes << int(Ok);
        // Boxes without an id share one key; No is not a reject role.
        QTest::newRow("empty id") << yesNo << false << any << -1 << QString() << No << int(No);
    }

    void remembering()
    {
        QFETCH(Buttons, buttons);
        QFETCH(bool, rememberOnReject);
        QFETCH(Buttons, rememberOnly);
        QFETCH(int, forced);
        QFETCH(QString, id);
        QFETCH(QMessageBox::StandardButton, click);
        QFETCH(int, stored);
        OpenStore()->Remove("confirm");
        const std::string key = "confirm/" + id.toStdString();
        bool shown = false;
        {
            ConfirmationAlertBox box(
                OpenStore(), AlertBox::Question, QString(), QStringLiteral("Sure?"), buttons);
            box.SetConfirmationId(id);
            box.SetRememberOnReject(rememberOnReject);
            box.SetRememberOnly(rememberOnly);
            if (forced >= 0)
                box.SetForceSaveAnswer(forced);
            QCOMPARE(Answer(box, true, click, shown), click);
            QVERIFY(shown);
        }

        // A store opened afresh sees exactly what was remembered.
        QCOMPARE(OpenStore()->GetBool(key + "_dont_confirm", false), stored >= 0);
        QCOMPARE(OpenStore()->GetInt(key + "_answer", -1), stored);

        // Another box of the same id is shown again only when nothing was
        // remembered; otherwise it answers at once with the stored button.
        ConfirmationAlertBox next(
            OpenStore(), AlertBox::Warning, QString(), QStringLiteral("Other?"), buttons);
        next.SetConfirmationId(id);
        QCOMPARE(int(Answer(next, false, click, shown)), stored >= 0 ? stored : int(click));
        QCOMPARE(shown, stored < 0);

        // Reset forgets "don't show" but not the answer; the box shows again.
        next.Reset();
        QCOMPARE(OpenStore()->GetBool(key + "_dont_confirm", true), false);
        QCOMPARE(OpenStore()->GetInt(key + "_answer", -1), stored);
        QCOMPARE(Answer(next, false, click, shown), click);
        QVERIFY(shown);
    }

    // The window a box belongs to may close while the box runs, taking the
    // box with it: nothing was answered, so nothing is remembered.
    void goesWithItsParentWhileRunning()
    {
        OpenStore()->Remove("confirm");
        auto* parent = new QWidget;
        const QPointer<ConfirmationAlertBox> box = new ConfirmationAlertBox(OpenStore(), AlertBox::Question,
            QString(), QStringLiteral("Sure?"), QMessageBox::Yes | QMessageBox::No, parent);
        box->SetConfirmationId(QStringLiteral("closing.parent"));
        box->SetRememberOnReject(true);
        bool shown = false;
        OnNextModalBox([&shown, parent](QMessageBox* shownBox) {
            shown = shownBox != nullptr;
            if (shownBox)
                QTest::mouseClick(shownBox->checkBox(), Qt::LeftButton);
            delete parent;
        });
        QCOMPARE(box->Exec(), QMessageBox::NoButton);
        QVERIFY(shown);
        QVERIFY(box.isNull());
        QVERIFY(!OpenStore()->Contains("confirm/closing.parent_dont_confirm"));
        QVERIFY(!OpenStore()->Contains("confirm/closing.parent_answer"));
    }
};

QTEST_MAIN(TestConfirmationAlertBox)
#include "tst_confirmationalertbox.moc"
