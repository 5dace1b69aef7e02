#pragma once

namespace Zentar::Enums
{

/// How an operation that may need the user's consent goes ahead.
enum class WorkingMode : int {
    Interactive = 0, // ask the user first
    Unattended = 1, // go ahead without asking
};

} // namespace Zentar::Enums
