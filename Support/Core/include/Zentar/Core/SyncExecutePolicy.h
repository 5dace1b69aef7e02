#pragma once

namespace Zentar::Core
{

/// Execute policy of EventHandlerList: runs each call at once, on the
/// notifying thread.
class SyncExecutePolicy
{
public:
    /// Calls `call` now.
    template <class Call> void Execute(const Call& call) const { call(); }
};

} // namespace Zentar::Core
