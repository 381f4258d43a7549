// SPDX-License-Identifier: GPL-3.0-or-later
#include "ColourText.h"

#include <charconv>

namespace {

// XXBBGGRR and XXRRGGBB into each other: red and blue change places.
std::uint32_t swapRedBlue(std::uint32_t v)
{
    return (v & 0xff00ff00u) | ((v & 0xffu) << 16) | ((v >> 16) & 0xffu);
}

} // namespace

std::string ColourText(std::int32_t colour)
{
    constexpr char Hex[] = "0123456789ABCDEF";
    const std::uint32_t digits = swapRedBlue(static_cast<std::uint32_t>(colour));
    std::string out = "#";
    for (int shift = (digits >> 24) != 0 ? 28 : 20; shift >= 0; shift -= 4)
        out += Hex[(digits >> shift) & 0xfu];
    return out;
}

std::optional<std::int32_t> ParseColourText(std::string_view text)
{
    text = TrimBlanks(text);
    if ((text.size() != 7 && text.size() != 9) || text.front() != '#')
        return std::nullopt;
    // Hex digits only: from_chars takes no sign, blank or "0x" from an unsigned.
    std::uint32_t digits = 0;
    const char* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data() + 1, end, digits, 16);
    if (error != std::errc() || stop != end)
        return std::nullopt;
    return static_cast<std::int32_t>(swapRedBlue(digits));
}

std::string_view TrimBlanks(std::string_view text)
{
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
        text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t'))
        text.remove_suffix(1);
    return text;
}
