// SPDX-License-Identifier: GPL-3.0-or-later
#include "frmMain.h"

#include "BoardLayout.h"
#include "BoardView.h"

#include <QScrollBar>

void frmMain::mnuEmpty_Click()
{
    auto board = std::make_shared<clsBoard>();
    board->AllocateNumbers(24); // 25 zeros on white
    Boards()->Add(std::move(board));
    UpdateControls();
}

void frmMain::mnuRandom_Click()
{
    // A generator seeded anew for every board.
    const UniformSource uniform = RandomSource ? RandomSource() : ClockSeededUniform();
    Boards()->Add(MakeRandomBoard(uniform));
    UpdateControls();
}

void frmMain::mnuClearAll_Click()
{
    SetBoards(std::make_shared<clsBoardCollection>());
    UpdateControls();
}

void frmMain::usrBoard_DeleteBoard(int Index)
{
    // The board that element Index shows, with the step the view was built with.
    const std::int32_t p = BoardPosition(Index, vScroll->value(), picClient->ScrollStep());
    Boards()->Remove(p);
    UpdateControls();
}
