#pragma once

#include <string>

namespace Zentar::App
{

/// The product's splash screen.
/// The application shares it (Application::SetSplash) and calls it on the GUI thread.
class ISplash
{
public:
    virtual ~ISplash() = default;
    /// Shows a line of progress text; the library does not call it.
    virtual void ShowMessage(const std::string& message) = 0;
    /// Called when the application starts, and when it is activated before.
    virtual void OnStartupEvent() = 0;
};

} // namespace Zentar::App
