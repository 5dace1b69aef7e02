#pragma once

#include <QMainWindow>

#include <utility>
#include <vector>

class QLabel;
class QListWidget;
class QPushButton;
class QTabWidget;

namespace Zentar::App
{
class Application;
}

// The demo's main window: an overview of what the library knows about this
// run, plus one tab per feature.
class DemoWindow : public QMainWindow
{
    Q_OBJECT

public:
    explicit DemoWindow(Zentar::App::Application& app);

    QTabWidget* Tabs() const { return m_tabs; }
    // A feature tab; `title` is marked with QT_TRANSLATE_NOOP("QObject", ...)
    // and translated again whenever the language changes.
    void AddPage(QWidget* page, const char* title);
    QMenu* FileMenu() const { return m_fileMenu; }

    // Texts shown in the window, rebuilt when the language changes.
    void Retranslate();

protected:
    void changeEvent(QEvent* event) override;

private:
    Zentar::App::Application& m_app;
    QTabWidget* m_tabs = nullptr;
    QMenu* m_fileMenu = nullptr;
    QAction* m_quitAction = nullptr;
    QLabel* m_launchLabel = nullptr;
    QLabel* m_sessionLabel = nullptr;
    QLabel* m_crashTitle = nullptr;
    QListWidget* m_crashList = nullptr;
    QPushButton* m_crashButton = nullptr;
    QPushButton* m_throwButton = nullptr;
    std::vector<std::pair<QWidget*, const char*>> m_pages;
};

// Name of a launch type as the window and the log show it.
QString LaunchTypeName(int type);
