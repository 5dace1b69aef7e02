#pragma once

#include <string>

namespace Zentar::App
{

// The product's splash screen.
class ISplash
{
public:
    virtual ~ISplash() = default;
    virtual void ShowMessage(const std::string& message) = 0;
    // Called when the application starts, and when it is activated before.
    virtual void OnStartupEvent() = 0;
};

} // namespace Zentar::App
