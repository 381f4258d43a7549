// SPDX-License-Identifier: GPL-3.0-or-later
#include "TextSink.h"

#include "board/BoardFileSave.h"
#include "board/ZanvoError.h"

#include <QIODevice>

void TextSink::Flush()
{
    const std::size_t size = m_used;
    m_used = 0;
    write(m_buffer.get(), size);
}

void TextSink::write(const char* data, std::size_t size)
{
    auto left = static_cast<qint64>(size);
    if (m_file) {
        m_file->Write(data, left);
        return;
    }
    while (left > 0) {
        const qint64 written = m_device->write(data, left);
        if (written <= 0)
            throw ZanvoError(ErrorNumber::DeviceIO,
                             "Cannot write the output: " + m_device->errorString().toStdString());
        data += written;
        left -= written;
    }
}
