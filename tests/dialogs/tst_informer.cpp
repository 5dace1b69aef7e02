#include <Zentar/App/Informer.h>

#include "ModalAnswer.h"

#include <QClipboard>
#include <QLabel>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

using Zentar::App::Informer;
using Zentar::Util::AlertBox;

namespace {

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
                QMouseEvent move(QEvent::MouseMove, QPointF(x, y), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
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

private:
    QTemporaryDir m_dir;
    QString m_browserRecord;

    QStringList OpenedUrls() const
    {
        QFile file(m_browserRecord);
        if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
            return {};
        return QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        // Qt's desktop services start the program named by BROWSER.
        m_browserRecord = m_dir.filePath(QStringLiteral("opened.txt"));
        const QString browser = m_dir.filePath(QStringLiteral("browser.sh"));
        QFile script(browser);
        QVERIFY(script.open(QIODevice::WriteOnly));
        script.write("#!/bin/sh\nprintf '%s\\n' \"$1\" >> '" + m_browserRecord.toUtf8() + "'\n");
        script.close();
        QVERIFY(script.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
        qputenv("BROWSER", browser.toUtf8());
    }

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
                                                 {{QMessageBox::Ok, QString()},
                                                  {QMessageBox::Cancel, QStringLiteral("Not now")},
                                                  {QMessageBox::Help, QStringLiteral("Tell me more")}});
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
            QTRY_COMPARE_WITH_TIMEOUT(OpenedUrls(), QStringList{web}, 10000);
            QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("help@example.test"));
            checked = true;
        });
        informer.ExecDialog(QStringLiteral("Write to <a href=\"%1\">our support</a> any time.").arg(mail), web,
                            QString(), AlertBox::Information, {{QMessageBox::Ok, {}}});
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
                                                  AlertBox::Critical, {{QMessageBox::Yes, {}}, {QMessageBox::No, {}}});
        QCOMPARE(pressed, QMessageBox::StandardButtons(QMessageBox::No));
        QVERIFY(seen);
        QTRY_VERIFY(!seen);
    }
};

QTEST_MAIN(TestInformer)
#include "tst_informer.moc"
