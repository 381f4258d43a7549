// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "board/ZanvoError.h"
#include "board/clsBoard.h"
#include "board/clsBoardCollection.h"

#include <QStringDecoder>

#include <cstdint>
#include <functional>
#include <optional>
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
// in CRLF. Colours are written as ColourText gives them. Commas unless a separator
// is given: spreadsheets in many locales open only semicolon or tab files in columns.

// Auto: decided by the text (see CsvBoardReader); writing, it is the comma.
enum class CsvSeparator { Auto, Comma, Semicolon, Tab };

// "comma", "semicolon" or "tab"; empty for anything else.
std::optional<CsvSeparator> CsvSeparatorNamed(std::string_view name);
char CsvSeparatorChar(CsvSeparator separator);

// Appends the row of one board, line end included.
void AppendCsvRow(std::span<const BoardEntry> board, std::string& out, char separator = ',');

// The same row for a board whose entries come in runs: the numbers run by run
// (`first` for the board's first run), then, unless every cell was white and the
// board has numbers, AppendCsvColourMarker and the colours run by run, then
// AppendCsvRowEnd.
bool AppendCsvNumbers(std::span<const BoardEntry> run, bool first, std::string& out,
                      char separator = ','); // true: all white
void AppendCsvColourMarker(bool hasNumbers, std::string& out, char separator = ',');
void AppendCsvColours(std::span<const BoardEntry> run, std::string& out, char separator = ',');
void AppendCsvRowEnd(std::string& out);
inline void AppendCsvRow(const clsBoard& board, std::string& out, char separator = ',')
{
    AppendCsvRow(board.Entries(), out, separator);
}

// The whole list as CSV.
std::string EncodeBoardsCsv(const clsBoardCollection& boards, char separator = ',');

// A bad value or malformed CSV, naming the cell as a spreadsheet shows it ("row 3,
// column B: ..."): Row() is the CSV record (the spreadsheet's row), Field() the
// field in it (column A is 1); Field() is 0 when the problem is the row as a whole.
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
// Accepted besides what EncodeBoardsCsv writes: LF or CR line ends; UTF-8 with or
// without a byte order mark, UTF-16 LE or BE with one; commas, semicolons or tabs
// between fields, decided once from the first row that holds one outside quotes
// (a tab if there is one, else a semicolon, else a comma) unless given; quoted
// fields; blanks around values (spaces, tabs that do not separate, U+00A0 and
// U+202F); empty trailing fields (the padding spreadsheets add); rows with no
// values at all (skipped); a first row without any number (a header, skipped);
// "colors", the word in any case; numbers written with a fraction or exponent as
// long as they are exactly whole ("7.0", "1e2"), in semicolon and tab files also
// with a decimal comma ("7,0").
class CsvBoardReader {
public:
    // Fills the start of the span and returns how many bytes it put there; 0 at the
    // end of the text. May throw.
    using Source = std::function<std::size_t(std::span<char>)>;

    explicit CsvBoardReader(Source source, CsvSeparator separator = CsvSeparator::Auto);

    // The next row's board; false at the end. Throws CsvError at the first bad value.
    bool Next(clsBoard& board);

    // The header row that was skipped, 0 if none (yet).
    std::int64_t HeaderRow() const noexcept { return m_headerRow; }

private:
    int peek()
    {
        if (m_pos == m_length && !more())
            return -1;
        return m_buffer[m_pos].unicode();
    }
    // The character k places ahead, read in if need be while the buffer has room;
    // -2 when it has none.
    int peekAhead(std::size_t k);
    bool more();
    std::size_t decode(QChar* into, std::size_t room);
    void decideSeparator();
    void readField(std::int64_t field);
    void keep(char c, std::int64_t field);
    void keepCharacter(std::int64_t field);

    Source m_source;
    std::vector<char> m_raw;  // the bytes as they come, a character cut off at the start
    std::size_t m_rawLength = 0;
    QStringConverter::Encoding m_encoding = QStringConverter::Utf8;
    QStringDecoder m_decoder; // made once the first bytes tell the encoding
    bool m_ended = false;
    std::vector<QChar> m_buffer; // the text as UTF-16
    std::size_t m_pos = 0;
    std::size_t m_length = 0;
    char m_separator = ',';
    bool m_decided = false;
    bool m_sawValues = false;
    std::int64_t m_headerRow = 0;
    std::int64_t m_row = 0;
    std::int32_t m_boards = 0;
    std::string m_field;  // the field being read, without leading blanks
    std::string m_blanks; // blanks read after it, kept only if more text follows
    std::vector<std::int32_t> m_numbers;
};

// Reads CSV into a new list; throws CsvError at the first bad value, so a caller
// that writes only after this returns never writes from bad CSV.
BoardsRef DecodeBoardsCsv(std::string_view text, CsvSeparator separator = CsvSeparator::Auto);

