// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "board/clsBoard.h"
#include "board/clsBoardCollection.h"

#include <algorithm>
#include <cstdint>
#include <vector>

// The drawn numbers made ready to check boards: each cell is asked once whether its
// number was drawn, so a board costs the same however many numbers were drawn.
// Build it once for many boards.
class MatchCheck {
public:
    explicit MatchCheck(const clsBoard& drawn);

    // Every cell CellWhite, except the first cell holding each drawn number, which
    // turns CellGreen; a later cell with the same number stays white. Only colours
    // change. Returns the board's hits: the cells turned green.
    int Check(clsBoard& board);

    // The same hits without colouring, for a board read in runs of numbers: StartBoard,
    // then AddNumbers for each run (numberAt(i) its i-th number), then Hits.
    void StartBoard() noexcept
    {
        m_found = 0;
        m_hits = 0;
        ++m_board;
    }
    template <typename NumberAt>
    void AddNumbers(std::size_t size, NumberAt numberAt);
    int Hits() const noexcept;

private:
    // Up to 64 drawn numbers within a short range: one bit per drawn number in a
    // table over that range; the bits a board has shown so far stay in a register.
    bool m_dense = false;
    std::int64_t m_lowest = 0;
    std::vector<std::uint64_t> m_bits;
    // Otherwise: the drawn numbers sorted, and per drawn number the last board it was found on.
    std::vector<std::int32_t> m_sorted;
    std::vector<std::uint64_t> m_foundOnBoard;
    std::uint64_t m_board = 0;
    std::uint64_t m_found = 0; // dense: the drawn numbers a board has shown so far
    int m_hits = 0;            // otherwise: their count
};

template <typename NumberAt>
void MatchCheck::AddNumbers(std::size_t size, NumberAt numberAt)
{
    if (m_dense) {
        // Locals: the numbers may alias anything, members would be reloaded.
        const std::uint64_t* bits = m_bits.data();
        const std::uint64_t outside = m_bits.size() - 1;
        const std::int64_t lowest = m_lowest;
        std::uint64_t found = m_found;
        for (std::size_t i = 0; i < size; ++i) {
            const auto at = static_cast<std::uint64_t>(std::int64_t{numberAt(i)} - lowest);
            found |= bits[std::min(at, outside)];
        }
        m_found = found;
        return;
    }
    for (std::size_t i = 0; i < size; ++i) {
        const std::int32_t number = numberAt(i);
        const auto it = std::lower_bound(m_sorted.begin(), m_sorted.end(), number);
        if (it == m_sorted.end() || *it != number)
            continue;
        std::uint64_t& foundOn = m_foundOnBoard[static_cast<std::size_t>(it - m_sorted.begin())];
        m_hits += foundOn != m_board ? 1 : 0;
        foundOn = m_board;
    }
}

// MatchCheck of one board.
void CheckBoard(clsBoard& board, const clsBoard& drawn);

// The check of every board of the list, each complete before the next.
void CheckBoards(const clsBoardCollection& boards, const clsBoard& drawn);
