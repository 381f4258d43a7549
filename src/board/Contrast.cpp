// SPDX-License-Identifier: GPL-3.0-or-later
#include "Contrast.h"

#include <cmath>

namespace {

constexpr std::uint32_t Black = 0x000000u;
constexpr std::uint32_t White = 0xFFFFFFu;

double linear(std::uint32_t channel)
{
    const double c = static_cast<double>(channel) / 255.0;
    return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}

// `from` moved toward `to` by t (0..1), channel by channel.
std::uint32_t mix(std::uint32_t from, std::uint32_t to, double t)
{
    std::uint32_t out = 0;
    for (int shift = 0; shift <= 16; shift += 8) {
        const double a = static_cast<double>((from >> shift) & 0xFFu);
        const double b = static_cast<double>((to >> shift) & 0xFFu);
        out |= static_cast<std::uint32_t>(std::lround(a + (b - a) * t)) << shift;
    }
    return out;
}

} // namespace

double RelativeLuminance(std::uint32_t rgb)
{
    return 0.2126 * linear((rgb >> 16) & 0xFFu) + 0.7152 * linear((rgb >> 8) & 0xFFu) + 0.0722 * linear(rgb & 0xFFu);
}

double ContrastRatio(std::uint32_t a, std::uint32_t b)
{
    const double la = RelativeLuminance(a);
    const double lb = RelativeLuminance(b);
    return la > lb ? (la + 0.05) / (lb + 0.05) : (lb + 0.05) / (la + 0.05);
}

std::uint32_t ReadableTextColour(std::uint32_t background)
{
    // One of the two always reaches 4.58:1, whatever the background.
    return ContrastRatio(Black, background) >= ContrastRatio(White, background) ? Black : White;
}

std::uint32_t ReadableWarningColour(std::uint32_t background)
{
    const std::uint32_t toward = ReadableTextColour(background);
    const std::uint32_t red = toward == Black ? 0xC00000u : 0xFF8080u;
    // The end point is plain black or white, which is readable, so this ends.
    for (int step = 0; step <= 20; ++step) {
        const std::uint32_t candidate = mix(red, toward, step / 20.0);
        if (ContrastRatio(candidate, background) >= ReadableContrast)
            return candidate;
    }
    return toward;
}
