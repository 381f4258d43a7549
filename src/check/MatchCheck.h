// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "board/clsBoard.h"
#include "board/clsBoardCollection.h"

// Colours one board: every cell CellWhite, then for each drawn number the first cell
// holding it CellGreen. Only colours change.
void CheckBoard(clsBoard& board, const clsBoard& drawn);

// CheckBoard for every board of the list, each complete before the next.
void CheckBoards(const clsBoardCollection& boards, const clsBoard& drawn);
