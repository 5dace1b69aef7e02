#pragma once

namespace Zentar::Core
{

/// Blocks the calling thread for the given number of milliseconds.
void SleepFor(unsigned milliseconds);

} // namespace Zentar::Core
