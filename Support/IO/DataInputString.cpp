#include <Zentar/IO/DataInputString.h>

#include <algorithm>
#include <cstring>

namespace Zentar::Core
{

DataInputString::DataInputString(const std::string* data)
    : m_data(data)
{
}

boost::intrusive_ptr<IDataInput> DataInputString::Create(const std::string* data)
{
    return boost::intrusive_ptr<IDataInput>(new DataInputString(data));
}

std::size_t DataInputString::Read(void* buffer, std::size_t size)
{
    if (!m_data || m_position >= m_data->size())
        return 0;
    const std::size_t n = std::min(size, m_data->size() - m_position);
    std::memcpy(buffer, m_data->data() + m_position, n);
    m_position += n;
    return n;
}

bool DataInputString::AtEnd() const
{
    return !m_data || m_position >= m_data->size();
}

} // namespace Zentar::Core
