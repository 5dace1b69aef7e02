#include <Zentar/QtUtil/AlertBox.h>

#include <QApplication>
#include <QDialogButtonBox>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

#include <functional>

using Zentar::Util::AlertBox;

Q_DECLARE_METATYPE(QMessageBox::StandardButtons)
Q_DECLARE_METATYPE(QMessageBox::StandardButton)

namespace
{

// Runs `action` on the box once it shows modally, then clicks `answer`. A box
// that never became the modal widget is rejected so that the test cannot hang.
QMessageBox::StandardButton ExecAnswering(
    AlertBox& box, QMessageBox::StandardButton answer, std::function<void(AlertBox&)> action = {})
{
    bool seen = false;
    QTimer::singleShot(0, &box, [&] {
        seen = QApplication::activeModalWidget() == &box;
        if (!seen)
            return box.reject();
        QCoreApplication::sendPostedEvents(&box);
        if (action)
            action(box);
        QTest::mouseClick(box.button(answer), Qt::LeftButton);
    });
    const auto result = box.Exec();
    return seen ? result : QMessageBox::StandardButton(-1);
}

QLabel* LabelWithText(const AlertBox& box, const QString& part)
{
    const auto labels = box.findChildren<QLabel*>();
    for (QLabel* label : labels)
        if (label->text().contains(part))
            return label;
    return nullptr;
}

} // namespace

class TestAlertBox : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void exactButtonsAndAnswer_data()
    {
        QTest::addColumn<QMessageBox::StandardButtons>("buttons");
        QTest::addColumn<QMessageBox::StandardButton>("click");
        QTest::newRow("ok") << QMessageBox::StandardButtons(QMessageBox::Ok) << QMessageBox::Ok;
        QTest::newRow("yes no, no") << (QMessageBox::Yes | QMessageBox::No) << QMessageBox::No;
        QTest::newRow("three, help") << (QMessageBox::Ok | QMessageBox::Cancel | QMessageBox::Help)
                                     << QMessageBox::Help;
    }
    void exactButtonsAndAnswer()
    {
        QFETCH(QMessageBox::StandardButtons, buttons);
        QFETCH(QMessageBox::StandardButton, click);
        AlertBox box(AlertBox::Question, QStringLiteral("Title"), QStringLiteral("Text"), buttons);
        QMessageBox::StandardButtons shown;
        QCOMPARE(ExecAnswering(box, click,
                     [&](AlertBox& b) {
                         const auto all = b.findChild<QDialogButtonBox*>()->buttons();
                         for (QAbstractButton* button : all)
                             shown |= b.standardButton(button);
                     }),
            click);
        QCOMPARE(shown, buttons);
        QVERIFY(!box.isVisible());
    }

    void goesWithItsParentWhileRunning()
    {
        auto* parent = new QWidget;
        const QPointer<AlertBox> box = new AlertBox(AlertBox::Warning, QStringLiteral("Title"),
            QStringLiteral("Text"), QMessageBox::Ok | QMessageBox::Cancel, parent);
        QTimer::singleShot(0, [parent] { delete parent; });
        QCOMPARE(box->Exec(), QMessageBox::NoButton);
        QVERIFY(box.isNull());
    }

    void fixedWidthWrapsText()
    {
        const QString text
            = QStringLiteral("A long sentence that would make the box much wider. ").repeated(12);
        AlertBox box(AlertBox::Information, QString(), text, QMessageBox::Ok);
        box.SetWidth(450);
        box.setIconPixmap(QPixmap(16, 16)); // a later layout change must not undo the width
        int width = 0;
        int labelRight = 0;
        ExecAnswering(box, QMessageBox::Ok, [&](AlertBox& b) {
            width = b.width();
            labelRight = LabelWithText(b, text.left(10))->geometry().right();
        });
        QCOMPARE(width, 450);
        QVERIFY(labelRight < 450); // the text wraps inside the box
    }

    void learnMoreLink()
    {
        AlertBox box(AlertBox::Information, QString(), QStringLiteral("Text"), QMessageBox::Ok);
        box.SetLearnMoreLink(QStringLiteral("https://example.com/more?a=1&b=2"));
        box.setIconPixmap(QPixmap(32, 32)); // rebuilds the layout; the link has to stay
        bool visible = false;
        QString linkText;
        ExecAnswering(box, QMessageBox::Ok, [&](AlertBox& b) {
            QLabel* label = LabelWithText(b, QStringLiteral("href="));
            visible = label && label->isVisible();
            linkText = label ? label->text() : QString();
        });
        QVERIFY(visible);
        QVERIFY(linkText.contains(QStringLiteral("href=\"https://example.com/more?a=1&amp;b=2\"")));
        QVERIFY(linkText.contains(QStringLiteral("Learn more")));

        box.SetLearnMoreLink(QString());
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!LabelWithText(box, QStringLiteral("href=")));
    }
};

QTEST_MAIN(TestAlertBox)
#include "tst_alertbox.moc"
