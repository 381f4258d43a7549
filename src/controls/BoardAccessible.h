// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

class CellEditor;
class QObject;
class usrBoard;

// Screen readers see each board as a group named by its caption, holding its 25 cells
// (editable text with a name and the number as text; the cell being edited is the
// view's line edit) and its "X", although the cells are only painted.
void InstallBoardAccessibility();
// The control is going away: its cells' interfaces go with it.
void ForgetBoardAccessibility(usrBoard* board);
// The caption changed: the group and its cells have new names.
void BoardRenamed(usrBoard* board);

// The line edit of a view stands for the cell it edits, a child of its board's group.
void WatchCellEditor(CellEditor* editor);
// A new visit of a cell: the editor gets a new accessible object, so that the focus
// event for it is a screen reader's move to another object, never a rename.
void NewCellVisit(CellEditor* editor);

// While one lives, the text, caret and selection events of the object are not sent:
// what the view does to its text is not the user's doing.
class QuietEditor {
public:
    explicit QuietEditor(const QObject* object);
    ~QuietEditor();
    QuietEditor(const QuietEditor&) = delete;
    QuietEditor& operator=(const QuietEditor&) = delete;

private:
    const QObject* m_previous;
};
