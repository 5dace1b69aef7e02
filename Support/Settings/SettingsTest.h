#pragma once

#include <cstdint>

// What the settings tests look at inside the library.
namespace Zentar::App::SettingsTest
{

// How many times the stores of this process have looked at their files (one
// stat, and a read when the file changed).
std::uint64_t FileChecks();

} // namespace Zentar::App::SettingsTest
