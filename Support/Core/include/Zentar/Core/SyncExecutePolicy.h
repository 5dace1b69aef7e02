#pragma once

#include <functional>

namespace Zentar::Core
{

// Execute policy of EventHandlerList: runs each call at once, on the
// notifying thread.
class SyncExecutePolicy
{
public:
    void Execute(const std::function<void()>& call) const { call(); }
};

} // namespace Zentar::Core
