#pragma once

#include "board/ZanvoError.h"
#include "board/clsBoard.h"
#include "board/clsBoardCollection.h"

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

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

// Reads CSV into a new list; throws CsvError at the first bad value, so a caller
// that writes only after this returns never writes from bad CSV.
// Accepted besides what EncodeBoardsCsv writes: LF or CR line ends, a UTF-8 byte
// order mark, quoted fields, blanks around values, empty trailing fields (the
// padding spreadsheets add), rows with no values at all (skipped), "colors",
// the word in any case, and numbers written with a fraction or exponent as long as
// they are whole ("7.0", "1e2").
BoardsRef DecodeBoardsCsv(std::string_view text);

// Reads one number field: the whole text (blanks around it aside) must be a whole
// number within the 32-bit range. Throws CsvError for (row, field).
std::int32_t ReadCsvNumber(std::string_view text, std::int64_t row, std::int64_t field);
