#include <Zentar/App/Informer.h>

#include "ModalAnswer.h"

#include <QClipboard>
#include <QDesktopServices>
#include <QLabel>
#include <QSignalSpy>
#include <QtTest>

using Zentar::App::Informer;
using Zentar::Util::AlertBox;

namespace
{

// QLabel does not tell where a link is drawn: hovering finds it.
bool ClickLink(QMessageBox* box, const QString& href)
{
    const QList<QLabel*> labels = box->findChildren<QLabel*>();
    for (QLabel* label : labels) {
        if (!label->isVisible() || !label->text().contains(href))
            continue;
        QSignalSpy hovered(label, &QLabel::linkHovered);
        for (int y = 1; y < label->height(); y += 2) {
            for (int x = 1; x < label->width(); x += 2) {
                QMouseEvent move(
                    QEvent::MouseMove, QPointF(x, y), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
                QApplication::sendEvent(label, &move);
                if (!hovered.isEmpty() && hovered.last().at(0).toString() == href) {
                    QTest::mouseClick(label, Qt::LeftButton, Qt::NoModifier, QPoint(x, y));
                    return true;
                }
            }
        }
    }
    return false;
}

} // namespace

class TestInformer : public QObject
{
    Q_OBJECT

public Q_SLOTS:
    // Web links go where QDesktopServices sends them; in a product that is
    // the preferred browser's handler. Here the test takes the scheme
    // itself, so no program of the machine (xdg-open, a browser) is started.
    void openUrl(const QUrl& url) { m_openedUrls << url.toString(); }

private:
    QStringList m_openedUrls;

private Q_SLOTS:
    void initTestCase() { QDesktopServices::setUrlHandler(QStringLiteral("https"), this, "openUrl"); }

    void cleanupTestCase() { QDesktopServices::unsetUrlHandler(QStringLiteral("https")); }

    void buttonsAndClose()
    {
        Informer informer;
        QVERIFY(informer.Close()); // nothing shown yet

        QMessageBox plain;
        plain.setStandardButtons(QMessageBox::Ok);
        bool closed = false;
        OnNextModalBox([&](QMessageBox* box) {
            if (!box)
                return;
            const auto keepFromHanging = qScopeGuard([box] {
                if (box->isVisible())
                    box->done(0);
            });
            QCOMPARE(box->objectName(), QStringLiteral("Informer_AlertBox"));
            QCOMPARE(box->button(QMessageBox::Ok)->text(), plain.button(QMessageBox::Ok)->text());
            QCOMPARE(box->button(QMessageBox::Cancel)->text(), QStringLiteral("Not now"));
            QCOMPARE(box->button(QMessageBox::Help)->text(), QStringLiteral("Tell me more"));
            closed = informer.Close();
        });
        const auto pressed = informer.ExecDialog(QStringLiteral("Something happened."), QString(), QString(),
            AlertBox::Information,
            { { QMessageBox::Ok, QString() }, { QMessageBox::Cancel, QStringLiteral("Not now") },
                { QMessageBox::Help, QStringLiteral("Tell me more") } });
        QVERIFY(closed);
        QCOMPARE(pressed, QMessageBox::StandardButtons(QMessageBox::Cancel)); // the escape button
        QVERIFY(informer.Close());
    }

    void links()
    {
        QGuiApplication::clipboard()->setText(QStringLiteral("untouched"));
        const QString mail = QStringLiteral("mailto:help@example.test");
        const QString web = QStringLiteral("https://example.test/help?topic=saving");
        Informer informer;
        bool checked = false;
        OnNextModalBox([&](QMessageBox* box) {
            if (!box)
                return;
            const auto answer = qScopeGuard([box] { ClickButton(box, QMessageBox::Ok); });
            QVERIFY(QTest::qWaitForWindowActive(box));
            QVERIFY(ClickLink(box, mail));
            QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("help@example.test"));
            // Only the web link reaches the browser, and it leaves the clipboard alone.
            QVERIFY(ClickLink(box, web));
            QCOMPARE(m_openedUrls, QStringList { web });
            QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("help@example.test"));
            checked = true;
        });
        informer.ExecDialog(QStringLiteral("Write to <a href=\"%1\">our support</a> any time.").arg(mail),
            web, QString(), AlertBox::Information, { { QMessageBox::Ok, {} } });
        QVERIFY(checked);
    }

    void destroyedWhileItsBoxRuns()
    {
        auto* informer = new Informer;
        QPointer<QMessageBox> seen;
        OnNextModalBox([&](QMessageBox* box) {
            seen = box;
            delete informer;
            ClickButton(box, QMessageBox::No);
        });
        const auto pressed = informer->ExecDialog(QStringLiteral("Going away"), QString(), QString(),
            AlertBox::Critical, { { QMessageBox::Yes, {} }, { QMessageBox::No, {} } });
        QCOMPARE(pressed, QMessageBox::StandardButtons(QMessageBox::No));
        QVERIFY(seen);
        QTRY_VERIFY(!seen);
    }
};

QTEST_MAIN(TestInformer)
#include "tst_informer.moc"
