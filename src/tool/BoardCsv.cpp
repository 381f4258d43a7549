// SPDX-License-Identifier: GPL-3.0-or-later
#include "BoardCsv.h"

#include "ColourText.h"

#include <QByteArray>
#include <QLatin1StringView>
#include <QStringView>

#include <algorithm>
#include <charconv>
#include <limits>
#include <optional>
#include <vector>

namespace {

constexpr std::string_view Marker = "colours";
constexpr std::size_t ShownLength = 40;


bool isMarker(std::string_view text)
{
    text = TrimBlanks(text);
    const QLatin1StringView word(text.data(), static_cast<qsizetype>(text.size()));
    return word.compare(QLatin1StringView(Marker.data()), Qt::CaseInsensitive) == 0
        || word.compare(QLatin1StringView("colors"), Qt::CaseInsensitive) == 0;
}

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

// A value as the message shows it: quoted, on one line, not too long, never cut
// inside a character.
std::string shown(std::string_view text)
{
    std::size_t length = std::min(text.size(), ShownLength);
    while (length < text.size() && length > 0 && (static_cast<unsigned char>(text[length]) & 0xC0) == 0x80)
        --length;
    std::string out = "\"";
    for (std::size_t i = 0; i < length; ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        out += c < 0x20 || c == 0x7f ? '?' : static_cast<char>(c);
    }
    if (text.size() > length)
        out += "...";
    out += '"';
    return out;
}

// The blanks that may stand between digits: U+00A0 and U+202F come from formatted
// cells.
std::size_t groupMarkAt(std::string_view t, std::size_t i)
{
    for (const std::string_view mark : {",", ".", "'", " ", "\xC2\xA0", "\xE2\x80\xAF"}) {
        if (t.substr(i, mark.size()) == mark)
            return mark.size();
    }
    return 0;
}

// "1,000", "1.000.000", "12 345,5": digits grouped by threes, as cells formatted
// with thousands separators show them.
bool thousandsGrouped(std::string_view t)
{
    std::size_t i = t.starts_with('-') || t.starts_with('+') ? 1 : 0;
    std::size_t lead = 0;
    while (i < t.size() && isDigit(t[i]) && lead < 4)
        ++i, ++lead;
    if (lead == 0 || lead > 3)
        return false;
    int groups = 0;
    for (std::size_t mark = groupMarkAt(t, i); mark > 0; mark = groupMarkAt(t, i)) {
        std::size_t digits = 0;
        while (i + mark + digits < t.size() && isDigit(t[i + mark + digits]))
            ++digits;
        if (digits != 3)
            break;
        i += mark + 3;
        ++groups;
    }
    if (groups == 0)
        return false;
    // A decimal part may follow the groups.
    if (i < t.size() && (t[i] == '.' || t[i] == ','))
        for (++i; i < t.size() && isDigit(t[i]);)
            ++i;
    return i == t.size();
}

// What the user can do about a value that is no number, where its text tells.
std::string hintFor(std::string_view t, char separator)
{
    if (separator != '\t' && t.find('\t') != std::string_view::npos)
        return "; use --separator tab";
    if (separator != ';' && t.find(';') != std::string_view::npos)
        return "; use --separator semicolon";
    if (thousandsGrouped(t))
        return "; remove thousands separators";
    return {};
}

CsvError numberProblem(std::string_view text, std::int64_t row, std::int64_t field, const char* what, char separator)
{
    return CsvError(row, field, shown(text) + what + hintFor(text, separator));
}

// A longer field is no number or colour a spreadsheet writes; refusing it keeps a
// text that never ends (a device, a stream of zeros) from filling memory.
constexpr std::size_t LongestField = 1000;

// Reading [CSV] is more than the program's ScanNumber: a double rounds
// 0.99999999999999999999 to 1 and 1e-400 to 0, so the digits are looked at as
// digits. sign? digits* ('.' digits*)? (e sign? digits+)?, at least one digit
// before the exponent, filling the whole text; the mark may be a comma too.
struct DecimalText {
    bool negative = false;
    std::string digits;      // integer and fraction digits as written
    std::int64_t point = 0;  // how many of them stand before the decimal point, the exponent applied
};

std::optional<DecimalText> readDecimal(std::string_view t, bool decimalComma)
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
    if (i < n && (t[i] == '.' || (decimalComma && t[i] == ','))) {
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

bool readsAsNumber(std::string_view text, bool decimalComma)
{
    return readDecimal(TrimBlanks(text), decimalComma).has_value();
}

// Where a comma or a point may be either mark, "1.000" is 1 or a thousand: one to
// three digits, the mark, three digits.
bool eitherMark(std::string_view t)
{
    if (t.starts_with('-') || t.starts_with('+'))
        t.remove_prefix(1);
    const std::size_t mark = t.find_first_of(".,");
    if (mark < 1 || mark > 3 || t.size() != mark + 4 || t[0] == '0')
        return false;
    const auto digits = [](std::string_view part) { return std::all_of(part.begin(), part.end(), isDigit); };
    return digits(t.substr(0, mark)) && digits(t.substr(mark + 1));
}

// "A", "B", ... "Z", "AA": the column of field 1, 2, ... as a spreadsheet names it.
std::string columnName(std::int64_t field)
{
    std::string name;
    for (std::int64_t n = field; n > 0; n = (n - 1) / 26)
        name.insert(name.begin(), static_cast<char>('A' + (n - 1) % 26));
    return name;
}

std::string rowProblem(std::int64_t row, std::int64_t field, const std::string& problem)
{
    std::string out = "row " + std::to_string(row);
    if (field > 0)
        out += ", column " + columnName(field);
    return out + ": " + problem;
}

} // namespace

CsvError::CsvError(std::int64_t row, std::int64_t field, const std::string& problem)
    : ZanvoError(ErrorNumber::BadFileFormat, rowProblem(row, field, problem)), m_row(row), m_field(field)
{
}

std::optional<CsvSeparator> CsvSeparatorNamed(std::string_view name)
{
    if (name == "comma")
        return CsvSeparator::Comma;
    if (name == "semicolon")
        return CsvSeparator::Semicolon;
    if (name == "tab")
        return CsvSeparator::Tab;
    return std::nullopt;
}

char CsvSeparatorChar(CsvSeparator separator)
{
    return separator == CsvSeparator::Semicolon ? ';' : separator == CsvSeparator::Tab ? '\t' : ',';
}

bool AppendCsvNumbers(std::span<const BoardEntry> run, bool first, std::string& out, char separator)
{
    bool plain = true;
    char digits[16];
    for (const BoardEntry& e : run) {
        if (!first)
            out += separator;
        first = false;
        const auto result = std::to_chars(digits, digits + sizeof digits, e.Number);
        out.append(digits, result.ptr);
        plain = plain && e.Colour == CellWhite;
    }
    return plain;
}

void AppendCsvColourMarker(bool hasNumbers, std::string& out, char separator)
{
    // A board without numbers still needs a visible row: a blank one is skipped.
    if (hasNumbers)
        out += separator;
    out += Marker;
}

void AppendCsvColours(std::span<const BoardEntry> run, std::string& out, char separator)
{
    for (const BoardEntry& e : run) {
        out += separator;
        out += ColourText(e.Colour);
    }
}

void AppendCsvRowEnd(std::string& out)
{
    out += "\r\n";
}

void AppendCsvRow(std::span<const BoardEntry> entries, std::string& out, char separator)
{
    if (!AppendCsvNumbers(entries, true, out, separator) || entries.empty()) {
        AppendCsvColourMarker(!entries.empty(), out, separator);
        AppendCsvColours(entries, out, separator);
    }
    AppendCsvRowEnd(out);
}

std::string EncodeBoardsCsv(const clsBoardCollection& boards, char separator)
{
    std::string out;
    for (const auto& board : boards)
        AppendCsvRow(*board, out, separator);
    return out;
}

// The look ahead for the separator: 64 KB of the text as UTF-8.
constexpr std::size_t LookAhead = 64 * 1024;

CsvBoardReader::CsvBoardReader(Source source, CsvSeparator separator)
    : m_source(std::move(source)), m_raw(64 * 1024), m_buffer(LookAhead + 4)
{
    if (separator != CsvSeparator::Auto) {
        m_separator = CsvSeparatorChar(separator);
        m_decided = true;
    }
}

namespace {

// One number field: the whole text (blanks around it aside) must be exactly a whole
// number within the 32-bit range, with a decimal comma as well as a point when
// `decimalComma`. Throws CsvError for (row, field); `separator` only shapes the hint.
std::int32_t readCsvNumber(std::string_view text, std::int64_t row, std::int64_t field, bool decimalComma,
                           char separator)
{
    const std::string_view t = TrimBlanks(text);
    if (t.empty())
        throw CsvError(row, field, "the field is empty");
    if (decimalComma && eitherMark(t))
        throw CsvError(row, field, shown(t) + " may hold a thousands separator; remove thousands separators");
    constexpr const char* outOfRange = " is outside the 32-bit range (-2147483648 to 2147483647)";
    const std::optional<DecimalText> number = readDecimal(t, decimalComma);
    if (!number)
        throw numberProblem(t, row, field, " is not a number", separator);

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
        throw numberProblem(t, row, field, " is not a whole number", separator);
    if (point > 10)
        throw numberProblem(t, row, field, outOfRange, separator);
    std::int64_t value = 0;
    for (std::int64_t k = 0; k < point; ++k)
        value = value * 10 + (k < static_cast<std::int64_t>(digits.size()) ? digits[static_cast<std::size_t>(k)] - '0' : 0);
    value = number->negative ? -value : value;
    if (value < std::numeric_limits<std::int32_t>::min() || value > std::numeric_limits<std::int32_t>::max())
        throw numberProblem(t, row, field, outOfRange, separator);
    return static_cast<std::int32_t>(value);
}

// What cannot be text reaches the reader as a lone (high) surrogate, which it refuses
// with its row.
constexpr QChar NotText(0xD800);

// How many bytes at the end of `bytes` start a character they do not finish: those
// wait for the next piece, since Qt's decoder loses bytes after a bad character
// that is cut off.
std::size_t cutCharacter(QStringConverter::Encoding encoding, std::string_view bytes)
{
    if (encoding != QStringConverter::Utf8)
        return bytes.size() % 2;
    for (std::size_t back = 1; back <= std::min<std::size_t>(3, bytes.size()); ++back) {
        const auto c = static_cast<unsigned char>(bytes[bytes.size() - back]);
        if (c < 0x80 || c >= 0xC0)
            return c >= 0xC0 && std::size_t(c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : 2) > back ? back : 0;
    }
    return 0;
}

} // namespace

// The next piece of the text into `into` (room at least 4); 0 at its end.
std::size_t CsvBoardReader::decode(QChar* into, std::size_t room)
{
    const auto flags = QStringConverter::Flag::Stateless | QStringConverter::Flag::ConvertInitialBom;
    std::size_t skip = 0;
    if (!m_decoder.isValid()) {
        // The byte order mark, which may arrive split across reads. Three bytes tell
        // UTF-8's, and are too few for UTF-32's, which is no text here.
        for (std::size_t n = 1; m_rawLength < 3 && n > 0; m_rawLength += n)
            n = m_source(std::span<char>(m_raw.data() + m_rawLength, m_raw.size() - m_rawLength));
        const auto mark = QStringConverter::encodingForData(QByteArrayView(m_raw.data(), std::min<std::size_t>(m_rawLength, 3)));
        m_encoding = mark.value_or(QStringConverter::Utf8);
        skip = !mark ? 0 : m_encoding == QStringConverter::Utf8 ? 3 : 2;
        m_decoder = QStringDecoder(m_encoding, flags);
    } else if (!m_ended) {
        // After the character cut off before, as many bytes as there is room for
        // characters.
        const std::size_t got = m_source(std::span<char>(m_raw.data() + m_rawLength, std::min(m_raw.size(), room) - m_rawLength));
        m_ended = got == 0;
        m_rawLength += got;
    }
    const std::string_view raw(m_raw.data() + skip, m_rawLength - skip);
    const std::size_t cut = cutCharacter(m_encoding, raw);
    const QByteArrayView whole(raw.data(), static_cast<qsizetype>(raw.size() - cut));
    m_decoder.resetState();
    auto size = static_cast<std::size_t>(m_decoder.appendToBuffer(into, whole) - into);
    if (m_decoder.hasError()) {
        // Qt writes U+FFFD for what is no UTF-8, U+0000 when asked: where the two
        // differ, a U+FFFD or U+0000 of the text itself stays. Asked so, a decoder that
        // keeps state writes nothing for a bad character the piece ends in.
        std::vector<QChar> nulls(static_cast<std::size_t>(whole.size()) + 1);
        QStringDecoder check(m_encoding, QStringConverter::Flag::ConvertInitialBom | QStringConverter::Flag::ConvertInvalidToNull);
        const auto checked = static_cast<std::size_t>(check.appendToBuffer(nulls.data(), whole) - nulls.data());
        for (std::size_t i = 0; i < size; ++i)
            into[i] = i < checked && into[i] == nulls[i] ? into[i] : NotText;
    }
    std::copy(raw.end() - static_cast<std::ptrdiff_t>(cut), raw.end(), m_raw.begin());
    m_rawLength = cut;
    if (m_ended && cut > 0) {
        // The text ends before the last byte of its last character.
        into[size++] = NotText;
        m_rawLength = 0;
    }
    return size;
}

// More text after what the buffer holds; false at the end of the text or, for a
// look ahead, when the buffer is full.
bool CsvBoardReader::more()
{
    if (m_pos == m_length)
        m_pos = m_length = 0;
    if (m_buffer.size() - m_length < 4) {
        std::copy(m_buffer.begin() + static_cast<std::ptrdiff_t>(m_pos),
                  m_buffer.begin() + static_cast<std::ptrdiff_t>(m_length), m_buffer.begin());
        m_length -= m_pos;
        m_pos = 0;
        if (m_buffer.size() - m_length < 4)
            return false;
    }
    // A piece may be all of a character cut off, which waits for the next.
    for (;;) {
        const std::size_t got = decode(m_buffer.data() + m_length, m_buffer.size() - m_length);
        m_length += got;
        if (got > 0 || m_ended)
            return got > 0;
    }
}

int CsvBoardReader::peekAhead(std::size_t k)
{
    while (m_length - m_pos <= k) {
        if (!more())
            return m_buffer.size() - (m_length - m_pos) < 4 ? -2 : -1;
    }
    return m_buffer[m_pos + k].unicode();
}

// The separator, from the first row that holds one outside quotes: a tab if it has
// one, else a semicolon, else a comma. A row longer than LookAhead is judged by its
// start, so memory stays what it was.
void CsvBoardReader::decideSeparator()
{
    bool quoted = false;
    bool tab = false;
    bool semicolon = false;
    bool comma = false;
    std::size_t width = 0; // of the row so far as UTF-8
    for (std::size_t k = 0;; ++k) {
        const int c = width < LookAhead ? peekAhead(k) : -2;
        width += c < 0x80 ? 1 : c < 0x800 || QChar::isSurrogate(static_cast<char32_t>(c)) ? 2 : 3;
        if (c == -1)
            break;
        if (c == -2) {
            m_decided = true;
            break;
        }
        if (c == '"') {
            quoted = !quoted;
        } else if (!quoted) {
            if (c == '\r' || c == '\n')
                break;
            tab = tab || c == '\t';
            semicolon = semicolon || c == ';';
            comma = comma || c == ',';
        }
    }
    if (tab || semicolon || comma)
        m_decided = true;
    m_separator = tab ? '\t' : semicolon ? ';' : ',';
}

void CsvBoardReader::keep(char c, std::int64_t field)
{
    if (c == ' ' || c == '\t') {
        // More blanks than a field may hold are refused anyway if text follows.
        if (!m_field.empty() && m_blanks.size() <= LongestField)
            m_blanks += c;
        return;
    }
    m_field += m_blanks;
    m_blanks.clear();
    m_field += c;
    if (m_field.size() > LongestField)
        throw CsvError(m_row, field, shown(m_field) + " is too long for a number or a colour");
}

// One character beyond ASCII, kept as UTF-8. A surrogate without its partner is no
// text: bytes that are no UTF-8, or UTF-16 that cannot be; shown as it is it would be
// garbage.
void CsvBoardReader::keepCharacter(std::int64_t field)
{
    char16_t units[2] = {static_cast<char16_t>(peek())};
    ++m_pos;
    const bool pair = QChar::isHighSurrogate(units[0]) && QChar::isLowSurrogate(static_cast<char32_t>(peek()));
    if (pair)
        units[1] = static_cast<char16_t>(peek()), ++m_pos;
    else if (QChar::isSurrogate(units[0]))
        throw CsvError(m_row, field, "the bytes are not UTF-8 or UTF-16 text; save the file as UTF-8");
    const QByteArray bytes = QStringView(units, pair ? 2 : 1).toUtf8();
    const std::string_view character(bytes.data(), static_cast<std::size_t>(bytes.size()));
    if (character == "\xC2\xA0" || character == "\xE2\x80\xAF") {
        // No-break spaces: blanks, as formatted cells write them.
        if (!m_field.empty() && m_blanks.size() <= LongestField)
            m_blanks += character;
        return;
    }
    for (const char c : character)
        keep(c, field);
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
            if (c >= 0x80) {
                keepCharacter(field);
                continue;
            }
            ++m_pos;
            if (c == '"') {
                if (peek() != '"')
                    break;
                ++m_pos;
            }
            keep(static_cast<char>(c), field);
        }
        const int after = peek();
        if (after >= 0 && after != m_separator && after != '\r' && after != '\n') {
            const char c = static_cast<char>(after); // beyond ASCII, no hint
            throw CsvError(m_row, field,
                           "text follows the closing quote" + hintFor(std::string_view(&c, 1), m_separator));
        }
        return;
    }
    for (int c = peek(); c >= 0 && c != m_separator && c != '\r' && c != '\n'; c = peek()) {
        if (c == '"')
            throw CsvError(m_row, field, "a quote inside a field must be in a quoted field");
        if (c >= 0x80) {
            keepCharacter(field);
            continue;
        }
        ++m_pos;
        keep(static_cast<char>(c), field);
    }
}

bool CsvBoardReader::Next(clsBoard& board)
{
    while (peek() >= 0) {
        ++m_row;
        if (!m_decided)
            decideSeparator();
        const bool decimalComma = m_separator != ',';
        // The first row with values is a header when none of its fields holds a
        // number; until one does, its first problem waits here.
        const bool first = !m_sawValues;
        std::optional<CsvError> header;
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
            } else if (header) {
                if (readsAsNumber(m_field, decimalComma))
                    throw *header;
            } else if (first && values == 0 && !isMarker(m_field) && !readsAsNumber(m_field, decimalComma)
                       && hintFor(m_field, m_separator).find("--separator") == std::string::npos) {
                // No number, and no sign of another separator: perhaps a header.
                header = firstEmpty != 0 ? CsvError(m_row, firstEmpty, "the field is empty")
                                         : numberProblem(TrimBlanks(m_field), m_row, field, " is not a number",
                                                         m_separator);
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
                    m_numbers.push_back(readCsvNumber(m_field, m_row, field, decimalComma, m_separator));
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
            if (c == m_separator) {
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
        if (header) {
            m_sawValues = true;
            m_headerRow = m_row;
            continue;
        }
        if (values == 0)
            continue; // spreadsheets pad short rows with empty fields up to the widest one
        m_sawValues = true;
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

BoardsRef DecodeBoardsCsv(std::string_view text, CsvSeparator separator)
{
    CsvBoardReader reader(
        [&text](std::span<char> into) {
            const std::size_t n = std::min(into.size(), text.size());
            std::copy_n(text.data(), n, into.data());
            text.remove_prefix(n);
            return n;
        },
        separator);
    auto boards = std::make_shared<clsBoardCollection>();
    clsBoard board;
    while (reader.Next(board))
        boards->Add(std::make_shared<clsBoard>(std::move(board)));
    return boards;
}
