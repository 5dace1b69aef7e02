#pragma once

#include <functional>
#include <string>

namespace Zentar::ExternalStimulus
{

/// A named action that the gateway runs when it sees fit.
struct Stimulus {
    /// The stimulus's name, which says what `action` does.
    std::string name;
    /// What to run.
    std::function<void()> action;
};

/// Receives start-up stimuli (landing page, e-mail dialog) instead of having
/// them run at once. Supplied by the product.
class IGateway
{
public:
    virtual ~IGateway() = default;
    /// Whether the gateway runs what it is given. The library hands it the stimuli whenever
    /// one is set, without asking.
    virtual bool IsEnabled() const = 0;
    /// Takes a stimulus to run later, on the GUI thread.
    virtual void AddStimulus(const Stimulus& stimulus) = 0;
};

} // namespace Zentar::ExternalStimulus
