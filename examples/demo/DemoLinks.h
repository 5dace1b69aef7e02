#pragma once

#include <Zentar/App/IGateway.h>

#include <deque>
#include <memory>

class DemoWindow;

namespace Zentar::App
{
class Application;
}

// Runs the start-up pages (e-mail dialog, landing page) shortly after the
// event loop has started, when the main window is up, instead of in the
// middle of Start().
class DemoGateway : public Zentar::ExternalStimulus::IGateway
{
public:
    bool IsEnabled() const override { return true; }
    void AddStimulus(const Zentar::ExternalStimulus::Stimulus& stimulus) override;

private:
    void RunQueued();

    std::deque<Zentar::ExternalStimulus::Stimulus> m_queue;
    bool m_scheduled = false;
};

// The demo's web links: its links table (links.json beside the executable),
// the start-up pages through a DemoGateway, a "Links" tab, and a visible
// message when the application asks for an update check. Call before Start().
void InstallDemoLinks(Zentar::App::Application& app, DemoWindow& window);
