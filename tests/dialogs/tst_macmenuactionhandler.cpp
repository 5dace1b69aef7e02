#include <Zentar/App/MacMenuActionHandler.h>

#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QtTest>

using Zentar::App::MacMenuActionHandler;

namespace
{

// Every action starts with a shortcut of its own, so that a shortcut the
// handler sets, or leaves alone, shows.
QAction* AddAction(QMenu* menu, const char* name, const char* preset)
{
    QAction* action = menu->addAction(QString::fromLatin1(name));
    action->setObjectName(QString::fromLatin1(name));
    action->setShortcut(QKeySequence(QString::fromLatin1(preset)));
    return action;
}

bool Activate(QWidget* window)
{
    window->show();
    QApplication::setActiveWindow(window);
    window->activateWindow();
    return QTest::qWaitForWindowActive(window);
}

} // namespace

class TestMacMenuActionHandler : public QObject
{
    Q_OBJECT

private:
    QMainWindow m_window;
    QMenu* m_appMenu = nullptr;
    QAction* m_zoom = nullptr;
    QAction* m_minimize = nullptr;
    QAction* m_nestedZoom = nullptr;

private Q_SLOTS:
    void initTestCase()
    {
        m_appMenu = m_window.menuBar()->addMenu(QStringLiteral("App"));
        m_appMenu->setObjectName(QStringLiteral("menuMacOSMenu"));
        AddAction(m_appMenu, "action_Hide", "F1");
        AddAction(m_appMenu, "action_Hide", "F2");
        AddAction(m_appMenu, "action_Hide_Others", "F3");
        AddAction(m_appMenu, "action_Preferences", "F4");
        AddAction(m_appMenu->addMenu(QStringLiteral("More")), "action_Hide_Others", "F5");
        AddAction(m_appMenu, "action_Leave", "F6");
        QMenu* windowMenu = m_window.menuBar()->addMenu(QStringLiteral("Window"));
        windowMenu->setObjectName(QStringLiteral("menuWindow"));
        m_minimize = AddAction(windowMenu, "actionMinimize", "F7");
        m_zoom = AddAction(windowMenu, "actionZoom", "F8");
        m_nestedZoom = AddAction(windowMenu->addMenu(QStringLiteral("Nested")), "actionZoom", "F10");
        m_window.resize(400, 300);
    }

    void shortcuts()
    {
        const MacMenuActionHandler handler(m_window.menuBar(), {});
        QCOMPARE(handler.parent(), m_window.menuBar());

        const QList<QAction*> appActions = m_appMenu->actions();
        QCOMPARE(appActions.at(0)->shortcut(), QKeySequence(Qt::CTRL + Qt::Key_H));
        QCOMPARE(appActions.at(1)->shortcut(), QKeySequence(QStringLiteral("F2"))); // second of the name
        QCOMPARE(appActions.at(2)->shortcut(), QKeySequence(Qt::CTRL + Qt::ALT + Qt::Key_H));
        QCOMPARE(appActions.at(3)->shortcut(), QKeySequence(QKeySequence::Preferences));
        QCOMPARE(appActions.at(4)->menu()->actions().first()->shortcut(), QKeySequence(QStringLiteral("F5")));
        QCOMPARE(appActions.last()->shortcut(), QKeySequence(QKeySequence::Quit));
        QCOMPARE(m_zoom->shortcut(), QKeySequence(QStringLiteral("F8"))); // the window menu keeps its own
    }

    void windowActions()
    {
        QWidget tool(nullptr, Qt::Tool);
        tool.resize(200, 100);
        QList<QWidget*> asked;
        MacMenuActionHandler handler(m_window.menuBar(), [&](QWidget* widget) {
            asked << widget;
            return widget != &tool;
        });

        // The refused window is left as it is.
        QVERIFY(Activate(&tool));
        m_zoom->trigger();
        m_minimize->trigger();
        QCOMPARE(asked, (QList<QWidget*> { &tool, &tool }));
        QCOMPARE(tool.windowState(), Qt::WindowNoState);

        QVERIFY(Activate(&m_window));
        m_zoom->trigger();
        QVERIFY(m_window.isMaximized());
        m_zoom->trigger();
        QVERIFY(!m_window.isMaximized());
        m_nestedZoom->trigger(); // the same name in a submenu is not wired
        QVERIFY(!m_window.isMaximized());
        m_minimize->trigger();
        QVERIFY(m_window.isMinimized());
        QCOMPARE(asked.mid(2), (QList<QWidget*> { &m_window, &m_window, &m_window }));
    }
};

QTEST_MAIN(TestMacMenuActionHandler)
#include "tst_macmenuactionhandler.moc"
