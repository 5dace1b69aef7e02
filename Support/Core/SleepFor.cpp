#include <Zentar/Core/SleepFor.h>

#include <chrono>
#include <thread>

namespace Zentar::Core
{

void SleepFor(unsigned milliseconds)
{
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

} // namespace Zentar::Core
