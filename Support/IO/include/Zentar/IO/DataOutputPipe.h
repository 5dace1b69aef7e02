#pragma once

#include <Zentar/IO/IByteDataOutput.h>

#include <boost/intrusive_ptr.hpp>

#include <functional>
#include <string>

namespace Zentar::Core
{

/// The writing end of a named pipe; creation and opening as DataInputPipe.
/// Writes made before the reader has connected wait for it (up to the
/// connection time-out); a reader that closes or dies makes Write throw
/// IOException.
class DataOutputPipe
{
public:
    /// Makes or opens the pipe `name` as DataInputPipe::Create does; throws IOException when it cannot.
    static boost::intrusive_ptr<IByteDataOutputEx> Create(
        const std::string& name, bool create, int timeoutMs = -1);
    /// For a maker that knows which process is to connect: while
    /// `peerAlive` says it lives, a peer that has not connected yet is late,
    /// not missing, whatever `timeoutMs`; once it has ended without
    /// connecting, waits end with IOException. Called from the thread that
    /// reads or writes.
    static boost::intrusive_ptr<IByteDataOutputEx> Create(
        const std::string& name, bool create, int timeoutMs, std::function<bool()> peerAlive);
};

} // namespace Zentar::Core
