#include "TextSink.h"

#include "board/ZanvoError.h"

#include <QIODevice>

#include <charconv>

TextSink::TextSink(QIODevice& device) : m_device(device)
{
    m_buffer.reserve(FlushAt + 4096);
}

void TextSink::AppendNumber(std::int64_t value)
{
    char digits[24];
    const auto result = std::to_chars(digits, digits + sizeof digits, value);
    m_buffer.append(digits, result.ptr);
    flushIfFull();
}

void TextSink::Flush()
{
    const char* data = m_buffer.data();
    qint64 left = static_cast<qint64>(m_buffer.size());
    while (left > 0) {
        const qint64 written = m_device.write(data, left);
        if (written <= 0) {
            m_buffer.clear();
            throw ZanvoError(ErrorNumber::DeviceIO,
                             "Cannot write the output: " + m_device.errorString().toStdString());
        }
        data += written;
        left -= written;
    }
    m_buffer.clear();
}
