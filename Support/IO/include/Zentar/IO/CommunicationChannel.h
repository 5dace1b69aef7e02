#pragma once

#include <Zentar/IO/IByteDataInput.h>
#include <Zentar/IO/IByteDataOutput.h>
#include <Zentar/IO/IDataChannel.h>

#include <boost/intrusive_ptr.hpp>

#include <cstddef>

namespace Zentar::Core
{

/// A message channel over a byte input and a byte output (normally the two
/// pipes of a master-slave link).
///
/// Each message travels as a frame: a 12-byte header (magic, length, and a
/// check value of the length, all little-endian) and the payload. A reader
/// that meets bytes that do not start a valid header logs an error and skips
/// forward to the next valid header, so garbage on the line never turns into
/// a message; a frame cut short by a vanished peer is dropped, and the read
/// throws IOException.
///
/// `waitWithoutLimit` false bounds every wait for an incoming message by
/// BOUNDED_RECEIVE_TIMEOUT_MS, so that a peer that never answers cannot hang
/// the reader; true lets the reader wait as long as the peer lives. Reading
/// and writing may happen on two different threads.
class CommunicationChannel
{
public:
    /// The largest message, in bytes: Write refuses a longer one, and a reader skips a header
    /// that announces one as garbage.
    static constexpr size_t MAX_MESSAGE_SIZE = size_t(64) << 20;
    /// The receive time-out of a channel made with `waitWithoutLimit` false.
    static constexpr int BOUNDED_RECEIVE_TIMEOUT_MS = 5000;

    /// A channel that reads frames from `input` and writes them to `output`; it holds both.
    static boost::intrusive_ptr<IDataChannel> Create(boost::intrusive_ptr<IByteDataInput> input,
        boost::intrusive_ptr<IByteDataOutput> output, bool waitWithoutLimit);
};

} // namespace Zentar::Core
