// SPDX-License-Identifier: GPL-3.0-or-later
#include "NumberReading.h"

#include "ZanvoError.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <system_error>


namespace {

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

bool isBlank(char c)
{
    return c == ' ' || c == '\t';
}

// Decimal exponent of the leading significant digit, used only to tell an overflow
// from an underflow when from_chars reports the value out of range.
long long magnitude(std::string_view intPart, std::string_view fracPart, std::string_view expPart)
{
    long long eff = 0;
    std::size_t z = 0;
    while (z < intPart.size() && intPart[z] == '0')
        ++z;
    if (z < intPart.size()) {
        eff = static_cast<long long>(intPart.size() - z);
    } else {
        std::size_t f = 0;
        while (f < fracPart.size() && fracPart[f] == '0')
            ++f;
        eff = -static_cast<long long>(f);
    }
    bool negative = false;
    std::size_t i = 0;
    if (i < expPart.size() && (expPart[i] == '+' || expPart[i] == '-'))
        negative = expPart[i++] == '-';
    long long e = 0;
    for (; i < expPart.size(); ++i) {
        e = e * 10 + (expPart[i] - '0');
        if (e > 1'000'000'000)
            break; // far beyond any double either way
    }
    return negative ? eff - e : eff + e;
}

} // namespace

double ScanNumber(std::string_view text)
{
    std::size_t i = 0;
    const std::size_t n = text.size();
    while (i < n && isBlank(text[i]))
        ++i;

    bool negative = false;
    if (i < n && (text[i] == '+' || text[i] == '-'))
        negative = text[i++] == '-';

    const std::size_t intStart = i;
    while (i < n && isDigit(text[i]))
        ++i;
    const std::string_view intPart = text.substr(intStart, i - intStart);

    std::string_view fracPart;
    if (i < n && text[i] == '.') {
        std::size_t j = i + 1;
        while (j < n && isDigit(text[j]))
            ++j;
        fracPart = text.substr(i + 1, j - i - 1);
        if (!intPart.empty() || !fracPart.empty())
            i = j;
    }
    if (intPart.empty() && fracPart.empty())
        return 0.0;

    std::string_view expPart;
    if (i < n && (text[i] == 'e' || text[i] == 'E')) {
        std::size_t j = i + 1;
        if (j < n && (text[j] == '+' || text[j] == '-'))
            ++j;
        const std::size_t digits = j;
        while (j < n && isDigit(text[j]))
            ++j;
        if (j > digits) { // an exponent needs at least one digit
            expPart = text.substr(i + 1, j - i - 1);
            i = j;
        }
    }

    // from_chars takes no '+' sign; the sign is applied afterwards.
    const char* first = text.data() + intStart;
    const char* last = text.data() + i;
    double value = 0.0;
    const auto [ptr, ec] = std::from_chars(first, last, value, std::chars_format::general);
    if (ec == std::errc::result_out_of_range) {
        if (magnitude(intPart, fracPart, expPart) > 0)
            throw ZanvoError::Overflow();
        value = 0.0; // too small to tell from zero
    } else if (ec != std::errc() || ptr != last) {
        return 0.0; // cannot happen for the scanned pattern; read as no number
    }
    return negative ? -value : value;
}

std::int32_t ReadNumber(std::string_view text)
{
    return RoundToInt32(ScanNumber(text));
}

std::optional<std::int32_t> ReadNumberInRange(std::string_view text)
{
    try {
        return ReadNumber(text);
    } catch (const ZanvoError& e) {
        if (e.Number() != ErrorNumber::Overflow)
            throw;
        return std::nullopt;
    }
}

std::int32_t RoundToInt32(double value)
{
    // Nearest whole number, a tie going to the even neighbour; independent of the
    // floating-point rounding mode.
    double whole = std::floor(value);
    const double rest = value - whole;
    if (rest > 0.5 || (rest == 0.5 && std::fmod(whole, 2.0) != 0.0))
        whole += 1.0;
    constexpr double lowest = std::numeric_limits<std::int32_t>::min();
    constexpr double highest = std::numeric_limits<std::int32_t>::max();
    if (!(whole >= lowest && whole <= highest))
        throw ZanvoError::Overflow();
    return static_cast<std::int32_t>(whole);
}


