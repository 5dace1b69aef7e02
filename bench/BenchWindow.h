#pragma once

#include <QMainWindow>
#include <QStringList>

#include <vector>

class QMenu;

// A main window of assorted widgets whose texts follow the interface
// language: every LanguageChange it receives sets them all again.
class BenchWindow : public QMainWindow
{
    Q_OBJECT

public:
    explicit BenchWindow(int widgetCount);

    // The widgets of the grid, in creation order.
    const std::vector<QWidget*>& Widgets() const { return m_widgets; }
    int Retranslations() const { return m_retranslations; }
    // A text of the grid as shown now, for checking the language in effect.
    QString SampleText() const;

protected:
    void changeEvent(QEvent* event) override;

private:
    void Retranslate();

    std::vector<QWidget*> m_widgets;
    QMenu* m_fileMenu = nullptr;
    QMenu* m_viewMenu = nullptr;
    int m_retranslations = 0;
};
