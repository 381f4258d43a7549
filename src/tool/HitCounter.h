// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "BoardFileStream.h"

#include "board/clsBoard.h"

#include <cstdint>
#include <span>
#include <string>
#include <vector>

// A board's hits under the match check without colouring it: CheckBoard greens the
// first cell of each drawn number the board holds, so the hits are the drawn numbers
// found on it, however often each occurs. Built once per draw; a million boards are
// then counted in about the time their file takes to read.
class HitCounter {
public:
    explicit HitCounter(const clsBoard& drawn);

    // A board's entries may come in runs: Start, then Add for each run, then Hits.
    void Start() const noexcept
    {
        m_found = 0;
        m_hits = 0;
        ++m_board;
    }
    void Add(const BoardBlock& run) const;
    int Hits() const noexcept;

    int Count(std::span<const BoardEntry> board) const;

private:
    template <typename NumberAt>
    void add(std::size_t size, NumberAt numberAt) const;

    // Up to 64 drawn numbers within a short range: one bit per drawn number in a
    // table over that range, so a board is a few loads and ORs.
    bool m_dense = false;
    std::int64_t m_lowest = 0;
    std::vector<std::uint64_t> m_bits;
    // Otherwise: the drawn numbers sorted, and a mark per drawn number and board.
    std::vector<std::int32_t> m_sorted;
    mutable std::vector<std::uint64_t> m_seenOnBoard;
    mutable std::uint64_t m_board = 0;
    mutable std::uint64_t m_found = 0; // dense: the drawn numbers found so far
    mutable int m_hits = 0;            // otherwise: their count
};

// check's words, which the report repeats: "1 hit", "3 hits".
std::string HitsText(std::int64_t hits);
// "1 board", "0 boards".
std::string BoardsText(std::int64_t boards);
// A summary line without its line end: "3 hits: 2 boards", "1 hit: 1 board".
std::string HitSummaryLine(std::int64_t hits, std::int64_t boards);
