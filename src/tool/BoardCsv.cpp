#include "BoardCsv.h"

#include "ColourText.h"

#include "board/NumberReading.h"

#include <charconv>
#include <cmath>
#include <limits>
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

// sign? digits* ('.' digits*)? (e sign? digits+)?, with at least one digit before the
// exponent: the form ScanNumber reads, here required to fill the whole field.
bool isDecimalNumber(std::string_view t)
{
    std::size_t i = 0;
    const std::size_t n = t.size();
    if (i < n && (t[i] == '+' || t[i] == '-'))
        ++i;
    std::size_t digits = 0;
    while (i < n && isDigit(t[i]))
        ++i, ++digits;
    if (i < n && t[i] == '.') {
        ++i;
        while (i < n && isDigit(t[i]))
            ++i, ++digits;
    }
    if (digits == 0)
        return false;
    if (i < n && (t[i] == 'e' || t[i] == 'E')) {
        ++i;
        if (i < n && (t[i] == '+' || t[i] == '-'))
            ++i;
        std::size_t expDigits = 0;
        while (i < n && isDigit(t[i]))
            ++i, ++expDigits;
        if (expDigits == 0)
            return false;
    }
    return i == n;
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
    constexpr std::int64_t lowest = std::numeric_limits<std::int32_t>::min();
    constexpr std::int64_t highest = std::numeric_limits<std::int32_t>::max();
    constexpr const char* outOfRange = " is outside the 32-bit range (-2147483648 to 2147483647)";

    // Plain integers, nearly every field, without going through floating point.
    std::size_t i = 0;
    const bool negative = t[0] == '-';
    if (t[0] == '+' || t[0] == '-')
        i = 1;
    std::size_t d = i;
    while (d < t.size() && isDigit(t[d]))
        ++d;
    if (d == t.size() && d > i) {
        std::int64_t value = 0;
        for (std::size_t k = i; k < t.size(); ++k) {
            value = value * 10 + (t[k] - '0');
            if (value > highest + 1)
                badNumber(t, row, field, outOfRange);
        }
        value = negative ? -value : value;
        if (value < lowest || value > highest)
            badNumber(t, row, field, outOfRange);
        return static_cast<std::int32_t>(value);
    }

    if (!isDecimalNumber(t))
        badNumber(t, row, field, " is not a number");
    double value = 0.0;
    try {
        value = ScanNumber(t);
    } catch (const ZanvoError&) {
        badNumber(t, row, field, outOfRange); // beyond any double
    }
    if (std::floor(value) != value)
        badNumber(t, row, field, " is not a whole number");
    if (value < static_cast<double>(lowest) || value > static_cast<double>(highest))
        badNumber(t, row, field, outOfRange);
    return static_cast<std::int32_t>(value);
}

BoardsRef DecodeBoardsCsv(std::string_view text)
{
    if (text.starts_with("\xEF\xBB\xBF"))
        text.remove_prefix(3);

    auto boards = std::make_shared<clsBoardCollection>();
    std::vector<std::string> fields;
    std::vector<std::int32_t> numbers;
    std::vector<std::int32_t> colours;
    const std::size_t n = text.size();
    std::size_t i = 0;
    std::int64_t row = 0;

    while (i < n) {
        ++row;
        std::size_t fieldCount = 0;
        for (;;) {
            if (fieldCount == fields.size())
                fields.emplace_back();
            std::string& f = fields[fieldCount++];
            f.clear();
            const auto field = static_cast<std::int64_t>(fieldCount);
            if (i < n && text[i] == '"') {
                ++i;
                for (;;) {
                    if (i >= n)
                        throw CsvError(row, field, "a quoted field is not closed");
                    const char c = text[i++];
                    if (c != '"') {
                        f += c;
                    } else if (i < n && text[i] == '"') {
                        f += '"';
                        ++i;
                    } else {
                        break;
                    }
                }
                if (i < n && text[i] != ',' && text[i] != '\r' && text[i] != '\n')
                    throw CsvError(row, field, "text follows the closing quote");
            } else {
                const std::size_t start = i;
                while (i < n && text[i] != ',' && text[i] != '\r' && text[i] != '\n') {
                    if (text[i] == '"')
                        throw CsvError(row, field, "a quote inside a field must be in a quoted field");
                    ++i;
                }
                f.assign(text.substr(start, i - start));
            }
            if (i < n && text[i] == ',') {
                ++i;
                continue;
            }
            if (i < n && text[i] == '\r')
                ++i;
            if (i < n && text[i] == '\n')
                ++i;
            break;
        }

        // Spreadsheets pad short rows with empty fields up to the widest one.
        while (fieldCount > 0 && TrimBlanks(fields[fieldCount - 1]).empty())
            --fieldCount;
        if (fieldCount == 0)
            continue;

        numbers.clear();
        colours.clear();
        bool inColours = false;
        for (std::size_t k = 0; k < fieldCount; ++k) {
            const auto field = static_cast<std::int64_t>(k + 1);
            if (!inColours && isMarker(fields[k])) {
                inColours = true;
            } else if (!inColours) {
                numbers.push_back(ReadCsvNumber(fields[k], row, field));
            } else if (const auto colour = ParseColourText(fields[k])) {
                colours.push_back(*colour);
            } else if (TrimBlanks(fields[k]).empty()) {
                throw CsvError(row, field, "the field is empty");
            } else {
                throw CsvError(row, field, shown(fields[k]) + " is not a colour (#RRGGBB)");
            }
        }
        if (inColours && colours.size() != numbers.size())
            throw CsvError(row, 0, std::to_string(numbers.size()) + " numbers but " + std::to_string(colours.size())
                               + " colours");
        if (numbers.size() > static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max()))
            throw CsvError(row, 0, "more numbers than a board can hold");
        if (boards->Count() == std::numeric_limits<std::int32_t>::max())
            throw CsvError(row, 0, "more boards than a board file can hold");

        auto board = std::make_shared<clsBoard>();
        if (!numbers.empty()) {
            board->AllocateNumbers(static_cast<std::int32_t>(numbers.size() - 1));
            auto entries = board->Entries();
            for (std::size_t k = 0; k < numbers.size(); ++k) {
                entries[k].Number = numbers[k];
                if (inColours)
                    entries[k].Colour = colours[k];
            }
        }
        boards->Add(std::move(board));
    }
    return boards;
}
