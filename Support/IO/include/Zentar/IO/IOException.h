#pragma once

#include <Zentar/Core/Exception.h>

namespace Zentar::Core
{

/// Raised by the I/O library when a source or sink fails: a pipe that cannot
/// be created or opened, a peer that went away, a broken or silent channel.
class IOException : public Zentar::Exception
{
public:
    using Zentar::Exception::Exception;
};

} // namespace Zentar::Core
