// SPDX-License-Identifier: GPL-3.0-or-later
#include "ColourText.h"

namespace {

constexpr char Hex[] = "0123456789ABCDEF";

void appendByte(std::string& out, std::uint32_t byte)
{
    out += Hex[(byte >> 4) & 0xfu];
    out += Hex[byte & 0xfu];
}

int hexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}


} // namespace

std::string ColourText(std::int32_t colour)
{
    const auto v = static_cast<std::uint32_t>(colour);
    std::string out = "#";
    if ((v >> 24) != 0)
        appendByte(out, v >> 24);
    appendByte(out, v);       // red
    appendByte(out, v >> 8);  // green
    appendByte(out, v >> 16); // blue
    return out;
}

std::optional<std::int32_t> ParseColourText(std::string_view text)
{
    text = TrimBlanks(text);
    if (text.size() != 7 && text.size() != 9)
        return std::nullopt;
    if (text.front() != '#')
        return std::nullopt;
    std::uint32_t digits = 0;
    for (const char c : text.substr(1)) {
        const int h = hexValue(c);
        if (h < 0)
            return std::nullopt;
        digits = (digits << 4) | static_cast<std::uint32_t>(h);
    }
    // digits now holds [XX]RRGGBB; the stored value is XXBBGGRR.
    const std::uint32_t top = digits & 0xff000000u;
    const std::uint32_t r = (digits >> 16) & 0xffu;
    const std::uint32_t g = (digits >> 8) & 0xffu;
    const std::uint32_t b = digits & 0xffu;
    return static_cast<std::int32_t>(top | (b << 16) | (g << 8) | r);
}

std::string_view TrimBlanks(std::string_view text)
{
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
        text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t'))
        text.remove_suffix(1);
    return text;
}
