// SPDX-License-Identifier: GPL-3.0-or-later
#include "MatchCheck.h"

void CheckBoard(clsBoard& board, const clsBoard& drawn)
{
    for (BoardEntry& e : board.Entries())
        e.Colour = CellWhite;
    for (const BoardEntry& d : drawn.Entries()) {
        const std::int32_t at = board.FindNumber(d.Number);
        if (board.IsNumber(at))
            board.zanvo(at, CellGreen);
    }
}

void CheckBoards(const clsBoardCollection& boards, const clsBoard& drawn)
{
    for (const auto& board : boards)
        CheckBoard(*board, drawn);
}
