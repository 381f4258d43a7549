// SPDX-License-Identifier: GPL-3.0-or-later
#include "MatchCheck.h"

#include <algorithm>

namespace {

// The widest span of drawn numbers kept as a table: 32 KB, within the first-level cache.
constexpr std::int64_t DenseRange = 4096;

// std::popcount becomes a library call on the baseline x86-64 target.
int bitCount(std::uint64_t v) noexcept
{
    v = v - ((v >> 1) & 0x5555555555555555ull);
    v = (v & 0x3333333333333333ull) + ((v >> 2) & 0x3333333333333333ull);
    v = (v + (v >> 4)) & 0x0f0f0f0f0f0f0f0full;
    return static_cast<int>((v * 0x0101010101010101ull) >> 56);
}

} // namespace

MatchCheck::MatchCheck(const clsBoard& drawn)
{
    for (const BoardEntry& e : drawn.Entries())
        m_sorted.push_back(e.Number);
    std::sort(m_sorted.begin(), m_sorted.end());
    m_sorted.erase(std::unique(m_sorted.begin(), m_sorted.end()), m_sorted.end());
    if (m_sorted.empty() || m_sorted.size() > 64 || std::int64_t{m_sorted.back()} - m_sorted.front() >= DenseRange) {
        m_foundOnBoard.assign(m_sorted.size(), 0);
        return;
    }
    m_dense = true;
    m_lowest = m_sorted.front();
    // One entry past the range, left 0, for every number off the table.
    m_bits.assign(static_cast<std::size_t>(m_sorted.back() - m_lowest) + 2, 0);
    for (std::size_t k = 0; k < m_sorted.size(); ++k)
        m_bits[static_cast<std::size_t>(m_sorted[k] - m_lowest)] = std::uint64_t{1} << k;
}

int MatchCheck::Check(clsBoard& board)
{
    const std::span<BoardEntry> entries = board.Entries();
    if (m_dense) {
        // Locals, and no branch on the numbers: with 60 of 100 numbers drawn a branch
        // would be mispredicted about every other cell (a conditional expression
        // here compiles to one).
        const std::uint64_t* bits = m_bits.data();
        const std::uint64_t outside = m_bits.size() - 1;
        const std::int64_t lowest = m_lowest;
        std::uint64_t found = 0;
        for (BoardEntry& e : entries) {
            const auto at = static_cast<std::uint64_t>(std::int64_t{e.Number} - lowest);
            const std::uint64_t bit = bits[std::min(at, outside)];
            const std::int32_t green = -static_cast<std::int32_t>((bit & ~found) != 0); // all ones or 0
            e.Colour = CellWhite ^ (green & (CellWhite ^ CellGreen));
            found |= bit;
        }
        return bitCount(found);
    }
    ++m_board;
    int hits = 0;
    for (BoardEntry& e : entries) {
        std::int32_t colour = CellWhite;
        const auto it = std::lower_bound(m_sorted.begin(), m_sorted.end(), e.Number);
        if (it != m_sorted.end() && *it == e.Number) {
            std::uint64_t& foundOn = m_foundOnBoard[static_cast<std::size_t>(it - m_sorted.begin())];
            if (foundOn != m_board)
                colour = CellGreen, ++hits;
            foundOn = m_board;
        }
        e.Colour = colour;
    }
    return hits;
}

int MatchCheck::Hits() const noexcept
{
    return m_dense ? bitCount(m_found) : m_hits;
}

void CheckBoard(clsBoard& board, const clsBoard& drawn)
{
    MatchCheck(drawn).Check(board);
}

void CheckBoards(const clsBoardCollection& boards, const clsBoard& drawn)
{
    MatchCheck check(drawn);
    for (const auto& board : boards)
        check.Check(*board);
}
