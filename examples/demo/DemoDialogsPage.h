#pragma once

#include <Zentar/App/ColorDialogHelper.h>

#include <QWidget>

#include <utility>
#include <vector>

class QLabel;
class QMenuBar;
class QPushButton;

namespace Zentar::App
{
class Application;
}

// The dialog helpers of the library, one button each: a confirmation that
// can be answered once and for all, an informational box with links, a
// restart, a graphics-driver message, and a colour picker whose custom colours are kept between runs.
class DemoDialogsPage : public QWidget
{
    Q_OBJECT

public:
    explicit DemoDialogsPage(Zentar::App::Application& app, QWidget* parent = nullptr);

protected:
    void changeEvent(QEvent* event) override;

private:
    void Retranslate();
    void Confirm();
    void ResetConfirmation();
    void Restart();
    void Inform();
    void ShowDriverMessage();
    void PickColor();
    void ShowColor(const QColor& color);

    Zentar::App::Application& m_app;
    // Loads the stored custom colours now and saves them when the page goes.
    Zentar::App::ColorDialogHelper m_colors;
    QLabel* m_intro = nullptr;
    // Each with its untranslated text.
    std::vector<std::pair<QPushButton*, const char*>> m_buttons;
    QLabel* m_result = nullptr;
    QLabel* m_swatch = nullptr;
};

// Adds the application and window menus of macOS to `menuBar`, with the
// object names the library's MacMenuActionHandler wires, and the handler.
void AddMacStyleMenus(QMenuBar* menuBar, Zentar::App::Application& app);
