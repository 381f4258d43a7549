// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include <cstdint>

// How a cell shows its number and its colour, for every place that draws boards:
// the editor control and the tool's printed report.

// The text "00" gives n: at least two digits, a minus sign in front (-5 -> "-05").
QString FormatCellNumber(std::int32_t n);

// A stored cell colour (0x00BBGGRR) as 0xRRGGBB, the order QColor and the web use.
// The top byte, which the program never sets, is ignored.
std::uint32_t CellRgb(std::uint32_t stored) noexcept;
