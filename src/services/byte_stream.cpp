#include "services/byte_stream.h"

#include <cstring>

namespace dovrante {

void ByteStream::append(std::string_view part)
{
    {
        const std::lock_guard lock(m_mutex);
        m_bytes.append(part);
    }
    m_changed.notify_one();
}

void ByteStream::end()
{
    {
        const std::lock_guard lock(m_mutex);
        m_ended = true;
    }
    m_changed.notify_one();
}

bool ByteStream::read(unsigned char *out, std::size_t length)
{
    std::unique_lock lock(m_mutex);
    m_changed.wait(lock, [&] { return m_ended || m_bytes.size() - m_read >= length; });
    if (m_bytes.size() - m_read < length)
        return false;
    std::memcpy(out, m_bytes.data() + m_read, length);
    m_read += length;
    return true;
}

std::string ByteStream::takeAll()
{
    const std::lock_guard lock(m_mutex);
    return std::move(m_bytes);
}

} // namespace dovrante
