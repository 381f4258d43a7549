#pragma once

#include <cstdint>
#include <string>
#include <string_view>

class QIODevice;

// Output gathered in a buffer and handed to the device in large writes: a million
// boards make tens of millions of small pieces. A failed write throws ZanvoError
// (57) instead of being lost, so a full disk never looks like success.
class TextSink {
public:
    explicit TextSink(QIODevice& device);
    TextSink(const TextSink&) = delete;
    TextSink& operator=(const TextSink&) = delete;
    // Does not flush: a flush can fail, and that must be reported by the caller.
    ~TextSink() = default;

    void Append(std::string_view text)
    {
        m_buffer.append(text);
        flushIfFull();
    }
    void Append(char c)
    {
        m_buffer.push_back(c);
        flushIfFull();
    }
    void AppendNumber(std::int64_t value);

    // Hands everything buffered to the device.
    void Flush();

private:
    void flushIfFull()
    {
        if (m_buffer.size() >= FlushAt)
            Flush();
    }

    static constexpr std::size_t FlushAt = 256 * 1024;
    QIODevice& m_device;
    std::string m_buffer;
};
