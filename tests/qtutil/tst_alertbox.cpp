#include <Zentar/QtUtil/AlertBox.h>

#include <QApplication>
#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QtTest>

#include <functional>

using Zentar::Util::AlertBox;

Q_DECLARE_METATYPE(QMessageBox::StandardButtons)
Q_DECLARE_METATYPE(QMessageBox::StandardButton)

namespace
{

// Runs `action` on the box once it shows modally; a box that never became
// the modal widget is rejected so that the test cannot hang.
QMessageBox::StandardButton ExecAnswering(AlertBox& box, std::function<void(AlertBox&)> action)
{
    bool seen = false;
    QTimer::singleShot(0, &box, [&] {
        seen = QApplication::activeModalWidget() == &box;
        if (seen)
            action(box);
        if (box.isVisible() && !seen)
            box.reject();
    });
    const auto result = box.Exec();
    return seen ? result : QMessageBox::StandardButton(-1);
}

QMessageBox::StandardButtons ShownButtons(const AlertBox& box)
{
    QMessageBox::StandardButtons shown;
    const auto buttonBox = box.findChild<QDialogButtonBox*>();
    for (QAbstractButton* button : buttonBox->buttons())
        shown |= box.standardButton(button);
    return shown;
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
        QTest::newRow("save discard, discard")
            << (QMessageBox::Save | QMessageBox::Discard) << QMessageBox::Discard;
    }
    void exactButtonsAndAnswer()
    {
        QFETCH(QMessageBox::StandardButtons, buttons);
        QFETCH(QMessageBox::StandardButton, click);
        AlertBox box(AlertBox::Question, QStringLiteral("Title"), QStringLiteral("Text"), buttons);
        QMessageBox::StandardButtons shown;
        const auto result = ExecAnswering(box, [&](AlertBox& b) {
            shown = ShownButtons(b);
            QTest::mouseClick(b.button(click), Qt::LeftButton);
        });
        QCOMPARE(shown, buttons);
        QCOMPARE(result, click);
        QCOMPARE(box.clickedButton(), static_cast<QAbstractButton*>(box.button(click)));
        QVERIFY(!box.isVisible());
    }

    void boxWithoutButtons()
    {
        AlertBox box(
            AlertBox::Information, QString(), QStringLiteral("Nothing to press"), QMessageBox::NoButton);
        int shown = -1;
        const auto result = ExecAnswering(box, [&](AlertBox& b) {
            shown = b.findChild<QDialogButtonBox*>()->buttons().size();
            QTest::keyClick(&b, Qt::Key_Escape);
        });
        QCOMPARE(shown, 0);
        QCOMPARE(result, QMessageBox::NoButton);
    }

    void escapeKey_data()
    {
        QTest::addColumn<QMessageBox::StandardButtons>("buttons");
        QTest::addColumn<QMessageBox::StandardButton>("expected");
        QTest::newRow("cancel") << (QMessageBox::Ok | QMessageBox::Cancel) << QMessageBox::Cancel;
        QTest::newRow("no") << (QMessageBox::Yes | QMessageBox::No) << QMessageBox::No;
        QTest::newRow("single") << QMessageBox::StandardButtons(QMessageBox::Ok) << QMessageBox::Ok;
        // Nothing to escape to: the box stays until a button is pressed.
        QTest::newRow("no escape button")
            << (QMessageBox::Save | QMessageBox::Discard) << QMessageBox::NoButton;
    }
    void escapeKey()
    {
        QFETCH(QMessageBox::StandardButtons, buttons);
        QFETCH(QMessageBox::StandardButton, expected);
        AlertBox box(AlertBox::Warning, QString(), QStringLiteral("Text"), buttons);
        bool openAfterEscape = false;
        const auto result = ExecAnswering(box, [&](AlertBox& b) {
            QTest::keyClick(&b, Qt::Key_Escape);
            openAfterEscape = b.isVisible();
            if (openAfterEscape)
                QTest::mouseClick(b.button(QMessageBox::Save), Qt::LeftButton);
        });
        if (expected == QMessageBox::NoButton) {
            QVERIFY(openAfterEscape);
            QCOMPARE(result, QMessageBox::Save);
        } else {
            QVERIFY(!openAfterEscape);
            QCOMPARE(result, expected);
        }
    }

    void closeFromCode_data()
    {
        QTest::addColumn<QMessageBox::StandardButtons>("buttons");
        QTest::addColumn<QMessageBox::StandardButton>("expected");
        QTest::newRow("escape button") << (QMessageBox::Ok | QMessageBox::Cancel) << QMessageBox::Cancel;
        QTest::newRow("no escape button")
            << (QMessageBox::Save | QMessageBox::Discard) << QMessageBox::NoButton;
    }
    void closeFromCode()
    {
        QFETCH(QMessageBox::StandardButtons, buttons);
        QFETCH(QMessageBox::StandardButton, expected);
        AlertBox box(AlertBox::Warning, QString(), QStringLiteral("Text"), buttons);
        bool closed = false;
        const auto result = ExecAnswering(box, [&](AlertBox& b) { closed = b.close(); });
        QVERIFY(closed);
        QCOMPARE(result, expected);
    }

    void titleTextAndLevel_data()
    {
        QTest::addColumn<int>("level");
        QTest::addColumn<int>("icon");
        QTest::newRow("information") << int(AlertBox::Information) << int(QMessageBox::Information);
        QTest::newRow("warning") << int(AlertBox::Warning) << int(QMessageBox::Warning);
        QTest::newRow("critical") << int(AlertBox::Critical) << int(QMessageBox::Critical);
        QTest::newRow("question") << int(AlertBox::Question) << int(QMessageBox::Question);
    }
    void titleTextAndLevel()
    {
        QFETCH(int, level);
        QFETCH(int, icon);
        const QString text = QStringLiteral("Read <a href=\"https://example.com/help\">the help</a> first.");
        AlertBox box(AlertBox::Level(level), QStringLiteral("Heads up"), text, QMessageBox::Ok);
        QCOMPARE(box.GetLevel(), AlertBox::Level(level));
        QCOMPARE(int(box.icon()), icon);
        QVERIFY(!box.iconPixmap().isNull());
        QCOMPARE(box.windowTitle(), QStringLiteral("Heads up"));
        QLabel* label = LabelWithText(box, QStringLiteral("href=\"https://example.com/help\""));
        QVERIFY(label);
        QCOMPARE(label->text(), text);
    }

    void fixedWidth_data()
    {
        QTest::addColumn<QString>("text");
        QTest::newRow("short") << QStringLiteral("Short.");
        QTest::newRow("long")
            << QStringLiteral("A long sentence that would make the box much wider. ").repeated(12);
    }
    void fixedWidth()
    {
        QFETCH(QString, text);
        AlertBox box(AlertBox::Information, QString(), text, QMessageBox::Ok);
        box.SetWidth(450);
        // A later change of the layout must not undo the width.
        box.setIconPixmap(QPixmap(16, 16));
        QSize size;
        QRect labelGeometry;
        int labelHeightForWidth = 0;
        ExecAnswering(box, [&](AlertBox& b) {
            QCoreApplication::sendPostedEvents(&b);
            size = b.size();
            QLabel* label = LabelWithText(b, text.left(10));
            labelGeometry = label->geometry();
            labelHeightForWidth = label->heightForWidth(label->width());
            QTest::mouseClick(b.button(QMessageBox::Ok), Qt::LeftButton);
        });
        QCOMPARE(size.width(), 450);
        // The text wraps inside the box and gets the height it needs.
        QVERIFY(labelGeometry.right() < 450);
        QVERIFY(labelGeometry.height() >= labelHeightForWidth);
        QVERIFY(size.height() > 0);
    }

    void learnMoreLink()
    {
        AlertBox box(AlertBox::Information, QString(), QStringLiteral("Text"), QMessageBox::Ok);
        const QString url = QStringLiteral("https://example.com/more?a=1&b=2");
        box.SetLearnMoreLink(url);
        QCOMPARE(box.GetLearnMoreLink(), url);
        // Setting an icon rebuilds the box's layout; the link has to stay.
        box.setIconPixmap(QPixmap(32, 32));
        bool visible = false;
        QString linkText;
        ExecAnswering(box, [&](AlertBox& b) {
            QLabel* label = LabelWithText(b, QStringLiteral("href="));
            visible = label && label->isVisible();
            linkText = label ? label->text() : QString();
            QTest::mouseClick(b.button(QMessageBox::Ok), Qt::LeftButton);
        });
        QVERIFY(visible);
        QVERIFY(linkText.contains(QStringLiteral("href=\"https://example.com/more?a=1&amp;b=2\"")));
        QVERIFY(linkText.contains(QStringLiteral("Learn more")));

        box.SetLearnMoreLink(QString());
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!LabelWithText(box, QStringLiteral("href=")));
    }

    void showIsNonBlocking()
    {
        AlertBox box(
            AlertBox::Question, QString(), QStringLiteral("Text"), QMessageBox::Yes | QMessageBox::No);
        QSignalSpy finished(&box, &QDialog::finished);
        box.Show(false);
        QVERIFY(box.isVisible());
        QCOMPARE(box.windowModality(), Qt::NonModal);
        QTest::mouseClick(box.button(QMessageBox::Yes), Qt::LeftButton);
        QCOMPARE(finished.count(), 1);
        QCOMPARE(finished.first().first().toInt(), int(QMessageBox::Yes));
        QCOMPARE(box.clickedButton(), static_cast<QAbstractButton*>(box.button(QMessageBox::Yes)));
        QVERIFY(!box.isVisible());

        box.Show(true);
        QCOMPARE(box.windowModality(), Qt::ApplicationModal);
        QTRY_COMPARE(QApplication::activeModalWidget(), static_cast<QWidget*>(&box));
        QTest::mouseClick(box.button(QMessageBox::No), Qt::LeftButton);
        QCOMPARE(finished.count(), 2);
        QCOMPARE(finished.last().first().toInt(), int(QMessageBox::No));
    }
};

QTEST_MAIN(TestAlertBox)
#include "tst_alertbox.moc"
