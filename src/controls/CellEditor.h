// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QLineEdit>

class usrBoard;

// The one live line edit of a board view. Every other cell is painted; this one lies
// over the cell that has the focus, and what is typed into it goes to that cell.
class CellEditor : public QLineEdit {
    Q_OBJECT

public:
    explicit CellEditor(QWidget* parent);
    ~CellEditor() override;

    usrBoard* Element() const { return m_element; }
    int Cell() const { return m_cell; }
    bool Edits(const usrBoard* element, int cell) const { return m_element == element && m_cell == cell; }

    // Lies over cell `cell` of `element` with its text and colours. The caller gives
    // the focus. Composed input is committed to the cell it was typed in first.
    void Attach(usrBoard* element, int cell);
    // Gives the cell back to its element's painting.
    void Detach();
    // The element's text, colours and place again, after a refresh or a move.
    void Reload();
    // The element is going away: no repaint, no focus dance.
    void Release(const usrBoard* element);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    void commitComposition();

    usrBoard* m_element = nullptr; // a board going away detaches the editor first
    int m_cell = -1;
};
