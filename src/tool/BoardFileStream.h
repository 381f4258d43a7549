#pragma once

#include "board/clsBoard.h"

#include <QFile>
#include <QString>

#include <cstdint>
#include <vector>

// One board's block as it lies in the file, read in place: no record is built, which
// is what lets check and show keep up with the disk. Valid until the stream's next
// read.
class BoardBlock {
public:
    // Entries 0..Size() - 1 (NumberCount + 1; up to 2^31, hence not 32-bit).
    std::size_t Size() const noexcept { return m_size; }
    std::int32_t Number(std::size_t i) const noexcept { return load(m_entries + 8 * i); }
    std::int32_t Colour(std::size_t i) const noexcept { return load(m_entries + 8 * i + 4); }
    // The entries copied out, for code that wants them as records.
    void CopyTo(std::vector<BoardEntry>& entries) const;

private:
    friend class BoardFileStream;
    static std::int32_t load(const std::uint8_t* p) noexcept
    {
        // Little-endian whatever the machine; compilers make this one load.
        return static_cast<std::int32_t>(static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8)
                                         | (static_cast<std::uint32_t>(p[2]) << 16)
                                         | (static_cast<std::uint32_t>(p[3]) << 24));
    }

    const std::uint8_t* m_entries = nullptr;
    std::size_t m_size = 0;
};

// Reads a board file one board at a time, so a million boards take no more memory
// than the largest single board. It accepts and refuses exactly what ReadBoardFile
// does, with the same kind of message naming the file; the difference is only that
// damage late in the file is found after the boards before it were handed out.
// Works on pipes too; then the size is learnt at the end.
class BoardFileStream {
public:
    // Opens the file and reads the board count. Throws ZanvoError.
    explicit BoardFileStream(const QString& sFile);

    // The number of boards the file holds (0 for a count of 0 or below).
    std::int32_t BoardCount() const noexcept { return m_count; }
    // The position (1-based) of the board last read, 0 before the first.
    std::int32_t Position() const noexcept { return m_position; }

    // Loads the next board into `board`; false after the last one. Throws ZanvoError
    // when the file is damaged or cannot be read.
    bool Next(clsBoard& board);
    // The same, in place.
    bool Next(BoardBlock& block)
    {
        // A whole block already in the buffer is the usual case; the rest, and every
        // check on damage, is nextBlock's.
        if (m_position < m_count && available() >= 4) {
            const std::int32_t last = BoardBlock::load(m_buffer.data() + m_begin);
            const std::size_t bytes = 4 + 8 * (static_cast<std::size_t>(last) + 1);
            if (last >= -1 && bytes <= available()) {
                ++m_position;
                take(block, bytes);
                return true;
            }
        }
        const std::size_t bytes = nextBlock();
        if (bytes == 0)
            return false;
        take(block, bytes);
        return true;
    }

private:
    // Checks the next block and makes all of it available at m_begin; its size in
    // bytes, or 0 after the last board.
    std::size_t nextBlock();
    void take(BoardBlock& block, std::size_t bytes) noexcept
    {
        block.m_entries = m_buffer.data() + m_begin + 4;
        block.m_size = (bytes - 4) / 8;
        m_begin += bytes;
    }
    [[noreturn]] void fail(int number, const QString& what) const;
    [[noreturn]] void damaged(const std::string& what) const;
    // Makes at least `need` unread bytes available; false when the file ends first.
    bool ensure(std::size_t need);
    std::size_t available() const noexcept { return m_end - m_begin; }

    QString m_file;
    QFile m_device;
    bool m_sizeKnown = false;
    std::uint64_t m_unreadInFile = 0; // bytes not yet taken into the buffer, when known
    bool m_atEnd = false;
    std::vector<std::uint8_t> m_buffer;
    std::size_t m_begin = 0;
    std::size_t m_end = 0;
    std::int32_t m_count = 0;
    std::int32_t m_position = 0;
};
