// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>

// Colour arithmetic for readable text, free of any window so the screen and the
// printed report pick the same colours. Colours here are 0xRRGGBB.

// Relative luminance, 0 for black to 1 for white (sRGB, as WCAG defines it).
double RelativeLuminance(std::uint32_t rgb);

// Contrast ratio of two colours, 1 (equal) to 21 (black on white).
double ContrastRatio(std::uint32_t a, std::uint32_t b);

// The least ratio that counts as readable for normal text.
inline constexpr double ReadableContrast = 4.5;

// Black or white, whichever reads better on `background`; always at least 4.5:1.
std::uint32_t ReadableTextColour(std::uint32_t background);

// A red that stands out as a warning and still reads at 4.5:1 on `background`:
// a deep red on light colours, a light red on dark ones, pushed toward black or
// white as far as the background needs.
std::uint32_t ReadableWarningColour(std::uint32_t background);
