// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "board/clsBoard.h"
#include "board/clsBoardCollection.h"

#include <cstdint>
#include <vector>

// The drawn numbers made ready to check boards: each cell is asked once whether its
// number was drawn, so a board costs the same however many numbers were drawn.
// Build it once for many boards.
class MatchCheck {
public:
    explicit MatchCheck(const clsBoard& drawn);

    // Every cell CellWhite, except the first cell holding each drawn number, which
    // turns CellGreen; a later cell with the same number stays white. Only colours change.
    void Check(clsBoard& board);

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
};

// MatchCheck of one board.
void CheckBoard(clsBoard& board, const clsBoard& drawn);

// The check of every board of the list, each complete before the next.
void CheckBoards(const clsBoardCollection& boards, const clsBoard& drawn);
