// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "board/clsBoard.h"

#include <QFile>
#include <QString>
#include <QtEndian>

#include <cstdint>
#include <vector>

// A run of one board's entries as it lies in the file, read in place: no record is
// built, which is what lets check and show keep up with the disk. Valid until the
// stream's next read.
class BoardBlock {
public:
    std::size_t Size() const noexcept { return m_size; }
    std::int32_t Number(std::size_t i) const noexcept { return load(m_entries + 8 * i); }
    std::int32_t Colour(std::size_t i) const noexcept { return load(m_entries + 8 * i + 4); }
    // The entries copied out, for code that wants them as records.
    void CopyTo(std::vector<BoardEntry>& entries) const;

private:
    friend class BoardFileStream;
    // Little-endian whatever the machine.
    static std::int32_t load(const std::uint8_t* p) noexcept { return qFromLittleEndian<std::int32_t>(p); }

    const std::uint8_t* m_entries = nullptr;
    std::size_t m_size = 0;
};

// Reads a board file a board at a time, and a long board a run of entries at a
// time, so memory stays at the buffer's size whatever the file holds. It accepts and
// refuses exactly what ReadBoardFile does, with the same words; the difference is
// only that damage late in the file is found after the boards before it were handed
// out. Like ReadBoardFile it reads only ordinary files, refused before opening.
class BoardFileStream {
public:
    // Checks the file, opens it and reads the board count. Throws ZanvoError.
    explicit BoardFileStream(const QString& sFile);

    // The number of boards the file holds (0 for a count of 0 or below).
    std::int32_t BoardCount() const noexcept { return m_count; }
    // The position (1-based) of the current board, 0 before the first.
    std::int32_t Position() const noexcept { return m_position; }

    // Moves to the next board (skipping what is left of the current one); false
    // after the last. Throws ZanvoError when the file is damaged or cannot be read.
    bool NextBoard()
    {
        // The usual case, a whole small block already in the buffer, stays inline.
        if (m_left == 0 && m_position < m_count && available() >= 4) {
            const std::int32_t last = BoardBlock::load(m_buffer.data() + m_begin);
            const std::size_t bytes = 8 * (static_cast<std::size_t>(last) + 1);
            if (last >= -1 && 4 + bytes <= available()) {
                ++m_position;
                m_begin += 4;
                m_boardStart = offset();
                m_boardEntries = m_left = bytes / 8;
                return true;
            }
        }
        return nextBoard();
    }
    // The current board's number of entries.
    std::size_t BoardSize() const noexcept { return m_boardEntries; }
    // The next run of the current board's entries; false once all were handed out.
    bool NextEntries(BoardBlock& run)
    {
        if (m_left == 0)
            return false;
        // A file cut short while it was read ends inside the board.
        if (available() < 8 && !ensure(8))
            damaged("it ends inside " + which());
        const std::size_t n = std::min(m_left, available() / 8);
        run.m_entries = m_buffer.data() + m_begin;
        run.m_size = n;
        m_begin += 8 * n;
        m_left -= n;
        return true;
    }
    // Hands out the current board's entries again from its first.
    void RewindBoard();

    // The next board as a record; false after the last.
    bool Next(clsBoard& board);

private:
    bool nextBoard();
    [[noreturn]] void damaged(const std::string& what) const;
    [[noreturn]] void readFailed() const;
    std::string which() const;
    // Makes at least `need` unread bytes available; false when the file ends first.
    bool ensure(std::size_t need);
    std::size_t available() const noexcept { return m_end - m_begin; }
    // The file offset of the first unread byte in the buffer.
    std::uint64_t offset() const noexcept { return m_read - available(); }

    QString m_file;
    QFile m_device;
    std::uint64_t m_size = 0; // the file's size when opened
    std::uint64_t m_read = 0; // bytes taken into the buffer so far
    bool m_atEnd = false;
    std::vector<std::uint8_t> m_buffer;
    std::size_t m_begin = 0;
    std::size_t m_end = 0;
    std::int32_t m_count = 0;
    std::int32_t m_position = 0;
    std::size_t m_boardEntries = 0;
    std::size_t m_left = 0; // entries of the current board not handed out yet
    std::uint64_t m_boardStart = 0;
};
