#include "BoardFileStream.h"

#include "board/BoardFile.h"
#include "board/ZanvoError.h"

#include <QFileInfo>

#include <algorithm>
#include <cstring>
#include <span>

namespace {

// Small enough to stay in the cache between the read and the decoding.
constexpr std::size_t Chunk = 256 * 1024;

std::int32_t littleInt32(const std::uint8_t* p) noexcept
{
    const std::uint32_t v = static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8)
        | (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
    return static_cast<std::int32_t>(v);
}

} // namespace

BoardFileStream::BoardFileStream(const QString& sFile) : m_file(sFile), m_device(sFile)
{
    const QFileInfo info(sFile);
    if (!info.exists())
        fail(ErrorNumber::FileNotFound, QStringLiteral("File not found"));
    if (info.isDir())
        fail(ErrorNumber::PathFileAccess, QStringLiteral("This is a folder, not a board file"));
    if (!m_device.open(QIODevice::ReadOnly | QIODevice::Unbuffered))
        fail(ErrorNumber::PermissionDenied, m_device.errorString());
    if (!m_device.isSequential()) {
        m_sizeKnown = true;
        m_unreadInFile = static_cast<std::uint64_t>(m_device.size());
    }

    if (!ensure(4)) {
        if (available() == 0)
            return; // an empty file holds an empty list
        damaged("it is too short to hold a board count");
    }
    const std::int32_t count = littleInt32(m_buffer.data() + m_begin);
    m_begin += 4;
    if (count <= 0)
        return; // nothing after a count below 1 is read
    // Every block takes at least 4 bytes.
    if (m_sizeKnown && static_cast<std::uint64_t>(count) > (available() + m_unreadInFile) / 4)
        damaged("it claims " + std::to_string(count) + " boards, more than the file holds");
    m_count = count;
}

std::size_t BoardFileStream::nextBlock()
{
    if (m_position >= m_count)
        return 0;
    const std::int32_t position = m_position + 1;
    if (!ensure(4))
        damaged("it ends inside board " + std::to_string(position) + " of " + std::to_string(m_count));
    const std::int32_t last = littleInt32(m_buffer.data() + m_begin);
    if (last < -1)
        damaged("a board has a negative number count (" + std::to_string(last) + ")");
    const std::uint64_t count = static_cast<std::uint64_t>(static_cast<std::int64_t>(last) + 1);
    const auto claims = [&] {
        damaged("a board claims " + std::to_string(count) + " numbers, more than the file holds");
    };
    // Checked against the file's size before any buffer grows for it.
    if (m_sizeKnown && count > (available() - 4 + m_unreadInFile) / 8)
        claims();
    const std::size_t block = 4 + 8 * static_cast<std::size_t>(count);
    if (!ensure(block))
        claims();
    m_position = position;
    return block;
}

bool BoardFileStream::Next(clsBoard& board)
{
    const std::size_t block = nextBlock();
    if (block == 0)
        return false;
    BoardFileReader reader(std::span<const std::uint8_t>(m_buffer.data() + m_begin, block));
    board.FileLoad(reader);
    m_begin += block;
    return true;
}

void BoardBlock::CopyTo(std::vector<BoardEntry>& entries) const
{
    entries.resize(m_size);
    for (std::size_t i = 0; i < m_size; ++i)
        entries[i] = {Number(i), Colour(i)};
}

bool BoardFileStream::ensure(std::size_t need)
{
    if (available() >= need)
        return true;
    if (m_begin > 0) {
        std::memmove(m_buffer.data(), m_buffer.data() + m_begin, available());
        m_end -= m_begin;
        m_begin = 0;
    }
    while (available() < need && !m_atEnd) {
        // A big board grows the buffer at most a chunk beyond the bytes that arrived,
        // so a pipe's count alone never sizes it.
        const std::size_t target = std::max(Chunk, std::min(need, m_end + Chunk));
        if (m_buffer.size() < target)
            m_buffer.resize(target);
        const qint64 got = m_device.read(reinterpret_cast<char*>(m_buffer.data() + m_end),
                                         static_cast<qint64>(m_buffer.size() - m_end));
        if (got < 0)
            fail(ErrorNumber::DeviceIO, m_device.errorString());
        if (got == 0) {
            m_atEnd = true;
            break;
        }
        m_end += static_cast<std::size_t>(got);
        if (m_sizeKnown)
            m_unreadInFile -= std::min<std::uint64_t>(m_unreadInFile, static_cast<std::uint64_t>(got));
    }
    return available() >= need;
}

void BoardFileStream::fail(int number, const QString& what) const
{
    throw ZanvoError(number, QStringLiteral("%1: %2").arg(m_file, what).toStdString());
}

void BoardFileStream::damaged(const std::string& what) const
{
    fail(ErrorNumber::BadFileFormat, QStringLiteral("The file is damaged: ") + QString::fromStdString(what));
}
