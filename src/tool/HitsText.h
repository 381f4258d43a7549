// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <string>

// check's words, which the report repeats: "1 hit", "3 hits".
inline std::string HitsText(std::int64_t hits)
{
    return std::to_string(hits) + (hits == 1 ? " hit" : " hits");
}

// "1 board", "0 boards".
inline std::string BoardsText(std::int64_t boards)
{
    return std::to_string(boards) + (boards == 1 ? " board" : " boards");
}

// A summary line without its line end: "3 hits: 2 boards", "1 hit: 1 board".
inline std::string HitSummaryLine(std::int64_t hits, std::int64_t boards)
{
    return HitsText(hits) + ": " + BoardsText(boards);
}
