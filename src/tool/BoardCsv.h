// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "board/ZanvoError.h"
#include "board/clsBoard.h"
#include "board/clsBoardCollection.h"

#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

// Boards as CSV (RFC 4180), one board per row:
//   7,12,33                      numbers only: every cell CellWhite
//   7,12,33,colours,#FFFFFF,#00FF00,#FFFFFF
//                                the numbers, the word "colours", one colour per number
//   colours                      a board without numbers
// A board with any cell other than CellWhite is written with its colours. Rows end
// in CRLF. Colours are written as ColourText gives them.

// Appends the row of one board, line end included.
void AppendCsvRow(std::span<const BoardEntry> board, std::string& out);

// The same row for a board whose entries come in runs: the numbers run by run
// (`first` for the board's first run), then, unless every cell was white and the
// board has numbers, AppendCsvColourMarker and the colours run by run, then
// AppendCsvRowEnd.
bool AppendCsvNumbers(std::span<const BoardEntry> run, bool first, std::string& out); // true: all white
void AppendCsvColourMarker(bool hasNumbers, std::string& out);
void AppendCsvColours(std::span<const BoardEntry> run, std::string& out);
void AppendCsvRowEnd(std::string& out);
inline void AppendCsvRow(const clsBoard& board, std::string& out)
{
    AppendCsvRow(board.Entries(), out);
}

// The whole list as CSV.
std::string EncodeBoardsCsv(const clsBoardCollection& boards);

// A bad value or malformed CSV, naming where: Row() is the CSV record (the
// spreadsheet's row), Field() the field in it, both from 1; Field() is 0 when the
// problem is the row as a whole.
class CsvError : public ZanvoError {
public:
    CsvError(std::int64_t row, std::int64_t field, const std::string& problem);

    std::int64_t Row() const noexcept { return m_row; }
    std::int64_t Field() const noexcept { return m_field; }

private:
    std::int64_t m_row;
    std::int64_t m_field;
};

// Reads CSV a piece at a time, a board at a time: memory follows the longest row's
// values, never the text's size, so a field that never ends is refused early.
// Accepted besides what EncodeBoardsCsv writes: LF or CR line ends, a UTF-8 byte
// order mark, quoted fields, blanks around values, empty trailing fields (the
// padding spreadsheets add), rows with no values at all (skipped), "colors",
// the word in any case, and numbers written with a fraction or exponent as long as
// they are exactly whole ("7.0", "1e2").
class CsvBoardReader {
public:
    // Fills the start of the span and returns how many bytes it put there; 0 at the
    // end of the text. May throw.
    using Source = std::function<std::size_t(std::span<char>)>;

    explicit CsvBoardReader(Source source);

    // The next row's board; false at the end. Throws CsvError at the first bad value.
    bool Next(clsBoard& board);

private:
    int peek()
    {
        if (m_pos == m_length && !refill())
            return -1;
        return static_cast<unsigned char>(m_buffer[m_pos]);
    }
    bool refill();
    void readField(std::int64_t field);
    void keep(char c, std::int64_t field);

    Source m_source;
    std::vector<char> m_buffer;
    std::size_t m_pos = 0;
    std::size_t m_length = 0;
    bool m_started = false;
    std::int64_t m_row = 0;
    std::int32_t m_boards = 0;
    std::string m_field;  // the field being read, without leading blanks
    std::string m_blanks; // blanks read after it, kept only if more text follows
    std::vector<std::int32_t> m_numbers;
};

// Reads CSV into a new list; throws CsvError at the first bad value, so a caller
// that writes only after this returns never writes from bad CSV.
BoardsRef DecodeBoardsCsv(std::string_view text);

// Reads one number field: the whole text (blanks around it aside) must be exactly a
// whole number within the 32-bit range. Throws CsvError for (row, field).
std::int32_t ReadCsvNumber(std::string_view text, std::int64_t row, std::int64_t field);
