// SPDX-License-Identifier: GPL-3.0-or-later
#include "BoardCsv.h"

#include "ColourText.h"

#include <algorithm>
#include <charconv>
#include <cstring>
#include <limits>
#include <optional>
#include <vector>

namespace {

constexpr std::string_view Marker = "colours";
constexpr std::size_t ShownLength = 40;


bool equalsIgnoringCase(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        char c = a[i];
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
        if (c != b[i])
            return false;
    }
    return true;
}

bool isMarker(std::string_view text)
{
    text = TrimBlanks(text);
    return equalsIgnoringCase(text, Marker) || equalsIgnoringCase(text, "colors");
}

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

// A value as the message shows it: quoted, on one line, not too long.
std::string shown(std::string_view text)
{
    std::string out = "\"";
    for (std::size_t i = 0; i < text.size() && i < ShownLength; ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        out += c < 0x20 || c == 0x7f ? '?' : static_cast<char>(c);
    }
    if (text.size() > ShownLength)
        out += "...";
    out += '"';
    return out;
}

[[noreturn]] void badNumber(std::string_view text, std::int64_t row, std::int64_t field, const char* what)
{
    std::string problem = shown(text) + what;
    // The usual cause: a spreadsheet set to a locale that separates with semicolons.
    if (text.find(';') != std::string_view::npos)
        problem += " (fields must be separated by commas)";
    throw CsvError(row, field, problem);
}

// A longer field is no number or colour a spreadsheet writes; refusing it keeps a
// text that never ends (a device, a stream of zeros) from filling memory.
constexpr std::size_t LongestField = 1000;

// Reading [CSV] is more than the program's ScanNumber: a double rounds
// 0.99999999999999999999 to 1 and 1e-400 to 0, so the digits are looked at as
// digits. sign? digits* ('.' digits*)? (e sign? digits+)?, at least one digit
// before the exponent, filling the whole text.
struct DecimalText {
    bool negative = false;
    std::string digits;      // integer and fraction digits as written
    std::int64_t point = 0;  // how many of them stand before the decimal point, the exponent applied
};

std::optional<DecimalText> readDecimal(std::string_view t)
{
    DecimalText out;
    std::size_t i = 0;
    const std::size_t n = t.size();
    if (i < n && (t[i] == '+' || t[i] == '-'))
        out.negative = t[i++] == '-';
    const std::size_t intStart = i;
    while (i < n && isDigit(t[i]))
        ++i;
    const std::size_t intDigits = i - intStart;
    std::size_t fracDigits = 0;
    std::size_t fracStart = i;
    if (i < n && t[i] == '.') {
        fracStart = ++i;
        while (i < n && isDigit(t[i]))
            ++i, ++fracDigits;
    }
    if (intDigits + fracDigits == 0)
        return std::nullopt;
    std::int64_t exponent = 0;
    if (i < n && (t[i] == 'e' || t[i] == 'E')) {
        ++i;
        bool negativeExponent = false;
        if (i < n && (t[i] == '+' || t[i] == '-'))
            negativeExponent = t[i++] == '-';
        std::size_t expDigits = 0;
        for (; i < n && isDigit(t[i]); ++i, ++expDigits)
            exponent = std::min<std::int64_t>(exponent * 10 + (t[i] - '0'), 1'000'000'000); // far past any value
        if (expDigits == 0)
            return std::nullopt;
        exponent = negativeExponent ? -exponent : exponent;
    }
    if (i != n)
        return std::nullopt;
    // Digits without the point between them: "12.50" is 1250 with the point after 2.
    out.digits.assign(t.substr(intStart, intDigits));
    out.digits.append(t.substr(fracStart, fracDigits));
    out.point = static_cast<std::int64_t>(intDigits) + exponent;
    return out;
}

std::string rowProblem(std::int64_t row, std::int64_t field, const std::string& problem)
{
    std::string out = "row " + std::to_string(row);
    if (field > 0)
        out += ", field " + std::to_string(field);
    return out + ": " + problem;
}

} // namespace

CsvError::CsvError(std::int64_t row, std::int64_t field, const std::string& problem)
    : ZanvoError(ErrorNumber::BadFileFormat, rowProblem(row, field, problem)), m_row(row), m_field(field)
{
}

bool AppendCsvNumbers(std::span<const BoardEntry> run, bool first, std::string& out)
{
    bool plain = true;
    char digits[16];
    for (const BoardEntry& e : run) {
        if (!first)
            out += ',';
        first = false;
        const auto result = std::to_chars(digits, digits + sizeof digits, e.Number);
        out.append(digits, result.ptr);
        plain = plain && e.Colour == CellWhite;
    }
    return plain;
}

void AppendCsvColourMarker(bool hasNumbers, std::string& out)
{
    // A board without numbers still needs a visible row: a blank one is skipped.
    if (hasNumbers)
        out += ',';
    out += Marker;
}

void AppendCsvColours(std::span<const BoardEntry> run, std::string& out)
{
    for (const BoardEntry& e : run) {
        out += ',';
        out += ColourText(e.Colour);
    }
}

void AppendCsvRowEnd(std::string& out)
{
    out += "\r\n";
}

void AppendCsvRow(std::span<const BoardEntry> entries, std::string& out)
{
    if (!AppendCsvNumbers(entries, true, out) || entries.empty()) {
        AppendCsvColourMarker(!entries.empty(), out);
        AppendCsvColours(entries, out);
    }
    AppendCsvRowEnd(out);
}

std::string EncodeBoardsCsv(const clsBoardCollection& boards)
{
    std::string out;
    for (const auto& board : boards)
        AppendCsvRow(*board, out);
    return out;
}

std::int32_t ReadCsvNumber(std::string_view text, std::int64_t row, std::int64_t field)
{
    const std::string_view t = TrimBlanks(text);
    if (t.empty())
        throw CsvError(row, field, "the field is empty");
    constexpr const char* outOfRange = " is outside the 32-bit range (-2147483648 to 2147483647)";
    const std::optional<DecimalText> number = readDecimal(t);
    if (!number)
        badNumber(t, row, field, " is not a number");

    // Leading and trailing zeros change nothing; what is left must all stand before
    // the point for the value to be whole.
    std::string_view digits = number->digits;
    std::int64_t point = number->point;
    while (!digits.empty() && digits.front() == '0') {
        digits.remove_prefix(1);
        --point;
    }
    while (!digits.empty() && digits.back() == '0')
        digits.remove_suffix(1);
    if (digits.empty())
        return 0;
    if (static_cast<std::int64_t>(digits.size()) > point)
        badNumber(t, row, field, " is not a whole number");
    if (point > 10)
        badNumber(t, row, field, outOfRange);
    std::int64_t value = 0;
    for (std::int64_t k = 0; k < point; ++k)
        value = value * 10 + (k < static_cast<std::int64_t>(digits.size()) ? digits[static_cast<std::size_t>(k)] - '0' : 0);
    value = number->negative ? -value : value;
    if (value < std::numeric_limits<std::int32_t>::min() || value > std::numeric_limits<std::int32_t>::max())
        badNumber(t, row, field, outOfRange);
    return static_cast<std::int32_t>(value);
}

CsvBoardReader::CsvBoardReader(Source source) : m_source(std::move(source)), m_buffer(64 * 1024)
{
}

bool CsvBoardReader::refill()
{
    m_pos = 0;
    m_length = m_source(std::span<char>(m_buffer.data(), m_buffer.size()));
    return m_length > 0;
}

void CsvBoardReader::keep(char c, std::int64_t field)
{
    if (c == ' ' || c == '\t') {
        if (!m_field.empty())
            m_blanks += c;
        return;
    }
    m_field += m_blanks;
    m_blanks.clear();
    m_field += c;
    if (m_field.size() > LongestField)
        throw CsvError(m_row, field, shown(m_field) + " is too long for a number or a colour");
}

// One field into m_field, blanks around it left out; stops before the separator.
void CsvBoardReader::readField(std::int64_t field)
{
    m_field.clear();
    m_blanks.clear();
    if (peek() == '"') {
        ++m_pos;
        for (;;) {
            const int c = peek();
            if (c < 0)
                throw CsvError(m_row, field, "a quoted field is not closed");
            ++m_pos;
            if (c == '"') {
                if (peek() != '"')
                    break;
                ++m_pos;
            }
            keep(static_cast<char>(c), field);
        }
        const int after = peek();
        if (after >= 0 && after != ',' && after != '\r' && after != '\n')
            throw CsvError(m_row, field, "text follows the closing quote");
        return;
    }
    for (int c = peek(); c >= 0 && c != ',' && c != '\r' && c != '\n'; c = peek()) {
        if (c == '"')
            throw CsvError(m_row, field, "a quote inside a field must be in a quoted field");
        ++m_pos;
        keep(static_cast<char>(c), field);
    }
}

bool CsvBoardReader::Next(clsBoard& board)
{
    if (!m_started) {
        m_started = true;
        // The byte order mark, which may arrive split across reads.
        for (const char mark : std::string_view("\xEF\xBB\xBF")) {
            if (peek() != static_cast<unsigned char>(mark))
                break;
            ++m_pos;
        }
    }
    while (peek() >= 0) {
        ++m_row;
        m_numbers.clear();
        clsBoard fresh;
        bool inColours = false;
        std::size_t colours = 0;
        std::int64_t values = 0;
        std::int64_t firstEmpty = 0; // an empty field is fine only when no value follows
        const auto takeNumbers = [&] {
            if (!m_numbers.empty())
                fresh.AllocateNumbers(static_cast<std::int32_t>(m_numbers.size() - 1));
            std::span<BoardEntry> entries = fresh.Entries();
            for (std::size_t k = 0; k < m_numbers.size(); ++k)
                entries[k].Number = m_numbers[k];
        };
        for (std::int64_t field = 1;; ++field) {
            readField(field);
            if (m_field.empty()) {
                if (firstEmpty == 0)
                    firstEmpty = field;
            } else {
                if (firstEmpty != 0)
                    throw CsvError(m_row, firstEmpty, "the field is empty");
                ++values;
                if (!inColours && isMarker(m_field)) {
                    // From here on the numbers are the board; the colours go straight in.
                    inColours = true;
                    takeNumbers();
                    std::vector<std::int32_t>().swap(m_numbers);
                } else if (!inColours) {
                    if (m_numbers.size() == static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max()))
                        throw CsvError(m_row, 0, "more numbers than a board can hold");
                    m_numbers.push_back(ReadCsvNumber(m_field, m_row, field));
                } else if (const auto colour = ParseColourText(m_field)) {
                    // Colours beyond the numbers are only counted, for the message.
                    if (colours < fresh.Entries().size())
                        fresh.Entries()[colours] = {fresh.Entries()[colours].Number, *colour};
                    ++colours;
                } else {
                    throw CsvError(m_row, field, shown(m_field) + " is not a colour (#RRGGBB)");
                }
            }
            const int c = peek();
            if (c == ',') {
                ++m_pos;
                continue;
            }
            if (c == '\r') {
                ++m_pos;
                if (peek() == '\n')
                    ++m_pos;
            } else if (c == '\n') {
                ++m_pos;
            }
            break;
        }
        if (values == 0)
            continue; // spreadsheets pad short rows with empty fields up to the widest one
        if (inColours && colours != fresh.Entries().size())
            throw CsvError(m_row, 0, std::to_string(fresh.Entries().size()) + " numbers but " + std::to_string(colours)
                               + " colours");
        if (m_boards == std::numeric_limits<std::int32_t>::max())
            throw CsvError(m_row, 0, "more boards than a board file can hold");
        if (!inColours)
            takeNumbers();
        // A long row's room is not kept for the short ones after it.
        if (m_numbers.capacity() > LongestField)
            std::vector<std::int32_t>().swap(m_numbers);
        ++m_boards;
        board = std::move(fresh);
        return true;
    }
    return false;
}

BoardsRef DecodeBoardsCsv(std::string_view text)
{
    CsvBoardReader reader([&text](std::span<char> into) {
        const std::size_t n = std::min(into.size(), text.size());
        if (n > 0)
            std::memcpy(into.data(), text.data(), n);
        text.remove_prefix(n);
        return n;
    });
    auto boards = std::make_shared<clsBoardCollection>();
    clsBoard board;
    while (reader.Next(board))
        boards->Add(std::make_shared<clsBoard>(std::move(board)));
    return boards;
}
