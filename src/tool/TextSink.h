// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <charconv>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string_view>

class AtomicFileWrite;
class QIODevice;

// Writes value in decimal at `at` (20 characters at most); returns the end.
inline char* WriteNumber(char* at, std::int64_t value) noexcept
{
    // Board numbers are mostly 0..99: show writes 25 million of them.
    if (value >= 0 && value < 100) {
        if (value >= 10)
            *at++ = static_cast<char>('0' + value / 10);
        *at++ = static_cast<char>('0' + value % 10);
        return at;
    }
    return std::to_chars(at, at + 20, value).ptr;
}

// Output gathered in a buffer and handed to the device in large writes: a million
// boards make tens of millions of small pieces. A failed write throws ZanvoError
// (57) instead of being lost, so a full disk never looks like success; a file
// saved whole or not at all reports its own failures.
class TextSink {
public:
    explicit TextSink(QIODevice& device) : m_device(&device) {}
    explicit TextSink(AtomicFileWrite& file) : m_file(&file) {}
    TextSink(const TextSink&) = delete;
    TextSink& operator=(const TextSink&) = delete;
    // Does not flush: a flush can fail, and that must be reported by the caller.
    ~TextSink() = default;

    void Append(std::string_view text)
    {
        if (text.size() > Capacity - m_used) {
            Flush();
            if (text.size() > Capacity) {
                write(text.data(), text.size());
                return;
            }
        }
        std::memcpy(m_buffer.get() + m_used, text.data(), text.size());
        m_used += text.size();
        flushIfFull();
    }
    void Append(char c)
    {
        m_buffer[m_used++] = c;
        flushIfFull();
    }
    void AppendNumber(std::int64_t value) { Commit(WriteNumber(Reserve(24), value)); }

    // Room for up to MaxReserve characters written straight into the buffer, for
    // loops that would otherwise test for a flush at every character; Commit passes
    // the end of what was written.
    static constexpr std::size_t MaxReserve = 64 * 1024;
    char* Reserve(std::size_t size)
    {
        if (size > Capacity - m_used)
            Flush();
        return m_buffer.get() + m_used;
    }
    void Commit(const char* end)
    {
        m_used = static_cast<std::size_t>(end - m_buffer.get());
        flushIfFull();
    }

    // Hands everything buffered to the device.
    void Flush();

private:
    void flushIfFull()
    {
        if (m_used >= FlushAt)
            Flush();
    }
    void write(const char* data, std::size_t size);

    static constexpr std::size_t FlushAt = 256 * 1024;
    // Below FlushAt a single character or a reservation always fits.
    static constexpr std::size_t Capacity = FlushAt + MaxReserve;
    QIODevice* m_device = nullptr;
    AtomicFileWrite* m_file = nullptr;
    std::unique_ptr<char[]> m_buffer = std::make_unique<char[]>(Capacity);
    std::size_t m_used = 0;
};
