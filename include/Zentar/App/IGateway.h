#pragma once

#include <functional>
#include <string>

namespace Zentar::ExternalStimulus
{

// A named action that the gateway runs when it sees fit.
struct Stimulus {
    std::string name;
    std::function<void()> action;
};

// Receives start-up stimuli (landing page, e-mail dialog) instead of having
// them run at once. Supplied by the product.
class IGateway
{
public:
    virtual ~IGateway() = default;
    virtual bool IsEnabled() const = 0;
    virtual void AddStimulus(const Stimulus& stimulus) = 0;
};

} // namespace Zentar::ExternalStimulus
