// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

class usrBoard;

// Screen readers see each board as a group named by its caption, holding its 25 cells
// (editable text with a name and the number as text; the cell being edited is the
// line edit itself) and its "X", although the cells are only painted.
void InstallBoardAccessibility();
// The control is going away: its cells' interfaces go with it.
void ForgetBoardAccessibility(usrBoard* board);
// The caption changed: the group and its cells have new names.
void BoardRenamed(usrBoard* board);
