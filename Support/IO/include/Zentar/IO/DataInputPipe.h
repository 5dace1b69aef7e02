#pragma once

#include <Zentar/IO/IByteDataInput.h>

#include <boost/intrusive_ptr.hpp>

#include <functional>
#include <string>

namespace Zentar::Core
{

/// The reading end of a named pipe.
///
/// `create` true: this side makes the pipe (it fails with IOException when
/// the name is in use) and never waits for the peer here; the peer then has
/// `timeoutMs` (default 30 s) to connect before reads give up. `create`
/// false: this side opens the pipe another process made, waiting up to
/// `timeoutMs` (default 10 s) for it to appear, so the two sides may start in
/// either order. A pipe that exists but whose maker is gone is removed.
///
/// The pipe file is removed as soon as both ends are connected, and at the
/// latest when its maker releases it. Once connected, a writer that closes or
/// dies turns a pending or later Read into an IOException.
class DataInputPipe
{
public:
    /// Makes or opens the pipe `name` as DataInputPipe says; a negative `timeoutMs` takes the default. Throws
    /// IOException when it cannot.
    static boost::intrusive_ptr<IByteDataInputEx> Create(
        const std::string& name, bool create, int timeoutMs = -1);
    /// For a maker that knows which process is to connect: while
    /// `peerAlive` says it lives, a peer that has not connected yet is late,
    /// not missing, whatever `timeoutMs`; once it has ended without
    /// connecting, waits end with IOException. Called from the thread that
    /// reads or writes.
    static boost::intrusive_ptr<IByteDataInputEx> Create(
        const std::string& name, bool create, int timeoutMs, std::function<bool()> peerAlive);
};

} // namespace Zentar::Core
