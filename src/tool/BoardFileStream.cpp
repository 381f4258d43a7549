// SPDX-License-Identifier: GPL-3.0-or-later
#include "BoardFileStream.h"

#include "board/BoardFileIO.h"
#include "board/FileProblem.h"
#include "board/ZanvoError.h"


#include <algorithm>
#include <cerrno>
#include <cstring>

namespace {

// Small enough to stay in the cache between the read and the decoding; also the
// most a board's entries take at a time, however long the board.
constexpr std::size_t Chunk = 256 * 1024;

} // namespace

BoardFileStream::BoardFileStream(const QString& sFile) : m_file(sFile)
{
    // A pipe or device could block the open or never end: refused unopened.
    QString systemText;
    if (const std::optional<FileProblem> problem = OpenOrdinaryFile(m_device, sFile, systemText))
        FailBoardFileOpen(*problem, sFile, systemText);
    m_size = static_cast<std::uint64_t>(m_device.size());
    m_buffer.resize(Chunk);

    if (!ensure(4)) {
        if (available() == 0)
            return; // an empty file holds an empty list
        damaged("it is too short to hold a board count");
    }
    const std::int32_t count = BoardBlock::load(m_buffer.data() + m_begin);
    m_begin += 4;
    if (count <= 0)
        return; // nothing after a count below 1 is read
    // Every block takes at least 4 bytes.
    const std::uint64_t left = m_size - 4;
    if (static_cast<std::uint64_t>(count) > left / 4)
        damaged("it claims " + std::to_string(count) + " boards, more than the " + std::to_string(left)
                + " bytes after the count can hold");
    m_count = count;
}

std::string BoardFileStream::which() const
{
    return "board " + std::to_string(m_position) + " of " + std::to_string(m_count);
}

bool BoardFileStream::nextBoard()
{
    while (m_left > 0) { // the rest of a board the caller did not read
        BoardBlock skipped;
        NextEntries(skipped);
    }
    if (m_position >= m_count)
        return false;
    ++m_position;
    if (!ensure(4))
        damaged("it ends inside " + which());
    const std::int32_t last = BoardBlock::load(m_buffer.data() + m_begin);
    if (last < -1)
        damaged(which() + " has a negative number count (" + std::to_string(last) + ")");
    m_begin += 4;
    const auto entries = static_cast<std::uint64_t>(static_cast<std::int64_t>(last) + 1);
    // Checked against the file's size, never against what the count claims.
    const std::uint64_t left = m_size - std::min(m_size, offset());
    if (entries > left / 8)
        damaged(which() + " claims " + std::to_string(entries) + " numbers, more than the " + std::to_string(left)
                + " bytes left can hold");
    m_boardStart = offset();
    m_boardEntries = m_left = static_cast<std::size_t>(entries);
    return true;
}

void BoardFileStream::RewindBoard()
{
    errno = 0;
    if (!m_device.seek(static_cast<qint64>(m_boardStart)))
        readFailed();
    m_read = m_boardStart;
    m_begin = m_end = 0;
    m_atEnd = false;
    m_left = m_boardEntries;
}

bool BoardFileStream::Next(clsBoard& board)
{
    if (!NextBoard())
        return false;
    clsBoard fresh;
    if (m_boardEntries > 0)
        fresh.AllocateNumbers(static_cast<std::int32_t>(m_boardEntries - 1));
    std::span<BoardEntry> entries = fresh.Entries();
    BoardBlock run;
    for (std::size_t at = 0; NextEntries(run); at += run.Size()) {
        for (std::size_t i = 0; i < run.Size(); ++i)
            entries[at + i] = {run.Number(i), run.Colour(i)};
    }
    board = std::move(fresh);
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
        errno = 0;
        const qint64 got = m_device.read(reinterpret_cast<char*>(m_buffer.data() + m_end),
                                         static_cast<qint64>(m_buffer.size() - m_end));
        if (got < 0)
            readFailed();
        if (got == 0) {
            m_atEnd = true;
            break;
        }
        m_end += static_cast<std::size_t>(got);
        m_read += static_cast<std::uint64_t>(got);
    }
    return available() >= need;
}

void BoardFileStream::readFailed() const
{
    const int error = errno;
    const FileProblem problem = error != 0 ? ProblemFromErrno(error, m_file) : FileProblem::DeviceError;
    throw ZanvoError(ErrorNumberFor(problem), ProblemSentence(problem, m_file, m_device.errorString()).toStdString());
}

void BoardFileStream::damaged(const std::string& what) const
{
    // Lines before the damage may have been printed already.
    FailBoardFileDamaged(m_file, QString::fromStdString(what));
}
