// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <string>

// check's words, which the report repeats: "1 hit", "3 hits".
std::string HitsText(std::int64_t hits);
// "1 board", "0 boards".
std::string BoardsText(std::int64_t boards);
// A summary line without its line end: "3 hits: 2 boards", "1 hit: 1 board".
std::string HitSummaryLine(std::int64_t hits, std::int64_t boards);
