#pragma once

#include <condition_variable>
#include <cstddef>
#include <mutex>
#include <string>
#include <string_view>

namespace dovrante {

// Bytes that one thread appends as they come, part by part, while another reads them in order,
// waiting for those that are not there yet.
class ByteStream final {
public:
    void append(std::string_view part);
    // No more bytes will come: a reader waiting for more is told so.
    void end();
    // Copies the next `length` bytes to `out` once they are there; false when the stream ends
    // first.
    bool read(unsigned char *out, std::size_t length);
    // Every byte appended, whatever was read; for when the reading is over.
    std::string takeAll();

private:
    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::string m_bytes;
    std::size_t m_read = 0;
    bool m_ended = false;
};

} // namespace dovrante
