#pragma once

#include <Zentar/App/ISplash.h>

#include <QSplashScreen>

#include <memory>

// A splash drawn at run time, shown until the main window is up.
class DemoSplash : public Zentar::App::ISplash
{
public:
    DemoSplash();
    ~DemoSplash() override;

    void ShowMessage(const std::string& message) override;
    void OnStartupEvent() override;
    void Finish(QWidget* mainWindow);

private:
    std::unique_ptr<QSplashScreen> m_screen;
};
