#pragma once

#include "board/clsBoard.h"

#include <QFile>
#include <QString>

#include <cstdint>
#include <vector>

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

private:
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
