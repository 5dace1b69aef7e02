#pragma once

#include <Zentar/IO/IDataInput.h>

#include <string>

namespace Zentar::Core
{

/// Reads the bytes of a string that the caller keeps alive, unchanged, for as
/// long as the input is read.
class DataInputString final : public Zentar::Core::RefCountImpl<IDataInput>
{
public:
    /// A null pointer gives an input that is at its end at once.
    static boost::intrusive_ptr<IDataInput> Create(const std::string* data);

    /// Copies the next bytes of the string, as IDataInput::Read says.
    std::size_t Read(void* buffer, std::size_t size) override;
    /// True once the whole string has been read.
    bool AtEnd() const override;

private:
    explicit DataInputString(const std::string* data);

    const std::string* m_data;
    std::size_t m_position = 0;
};

} // namespace Zentar::Core
