// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "board/clsBoardCollection.h"
#include "controls/CellPainter.h"

#include <QPointF>
#include <QWidget>

#include <cstdint>
#include <memory>
#include <utility>
#include <vector>

class BoardScrollBar;
class CellEditor;
class QMouseEvent;
class QScrollBar;
class usrBoard;

// The board view: the elements that show the boards in view, the scroll bar, the one
// line edit that edits a cell, the painter every cell is drawn with, and the keyboard
// through the whole list. The cell being edited is a board and a cell index; elements
// are reused for other boards at every step, and the editor is placed again over
// whichever element shows its board, or kept out of sight (with the keyboard) while
// none does.
class BoardView : public QWidget {
    Q_OBJECT

public:
    explicit BoardView(QWidget* parent = nullptr);
    ~BoardView() override;

    QScrollBar* ScrollBar() const;
    CellEditor* Editor() const { return m_editor; }
    CellPainter& Painter() { return m_painter; }
    // Element 0 is the design element, never destroyed; the others follow its size.
    const std::vector<usrBoard*>& Elements() const { return m_elements; }
    // List positions per scroll step in the last refresh.
    std::int32_t ScrollStep() const { return m_scrollStep; }

    // Rebuilds the view for `boards` in a container of `container` pixels. Elements are
    // reused, not destroyed and created. May run nested: a lowered maximum moves the
    // scroll position, whose handler refreshes again. Never throws.
    void Refresh(const BoardsRef& boards, QSize container);

    // The list position an element shows, 0 for none.
    std::int32_t PositionOf(const usrBoard* element) const;
    // Rows of boards wholly inside the view, at least one.
    int RowsWhollyInView() const;
    // Scrolls so that the board at `position` is wholly in view, where the view is tall enough.
    void ScrollIntoView(std::int32_t position);
    // The keyboard to cell `part` (CellCount: "X") of the board at `position`,
    // brought into view first.
    bool FocusBoard(std::int32_t position, int part, Qt::FocusReason reason);
    // Starts (or goes on with) the edit of cell `cell` of the board `element` shows.
    // False when the cell holds no number. By keyboard the number is selected.
    bool EditCell(usrBoard* element, int cell, Qt::FocusReason reason);

    // The cell being edited: its board's position (0: none), its index, and the
    // element that shows it now (none while it is out of view).
    std::int32_t EditedPosition() const;
    int EditedCell() const { return m_edit.Cell; }
    usrBoard* EditedElement() const { return m_editElement; }

Q_SIGNALS:
    // The "X" of element Index was pressed.
    void DeleteRequested(int Index);
    // The scroll position changed, by the user or by the view.
    void Scrolled();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    bool focusNextPrevChild(bool next) override;
    void changeEvent(QEvent* event) override;

private:
    struct Edit {
        std::weak_ptr<clsBoard> Board;
        std::int32_t Position = 0; // where it stood at the last look; checked before use
        int Cell = -1;
    };
    usrBoard* newElement();
    std::int32_t locate(const std::shared_ptr<clsBoard>& board, std::int32_t hint) const;
    std::int32_t cellsOf(std::int32_t position) const;
    void placeEditor(usrBoard* element);
    void endVisit();
    void endEdit();
    void bringEditIntoView();
    // Where the keyboard is in the list: a board's position and its part, or {0, -1}.
    std::pair<std::int32_t, int> focusedPart() const;
    bool listTab(bool next);
    bool tabFrom(bool next);
    bool listKey(QKeyEvent* event);
    bool cellKey(QKeyEvent* event);
    void leaveBoard(std::int32_t position, int cell, int key);
    bool elementMouse(usrBoard* element, QEvent* event);
    void forwardMouse(QMouseEvent* event);

    // The list of the last refresh; its owner keeps it alive, the view does not.
    BoardsRef list() const;
    std::weak_ptr<clsBoardCollection> m_boards;
    std::vector<usrBoard*> m_elements;
    std::vector<usrBoard*> m_spares; // hidden, without a board, kept for reuse
    std::int32_t m_scrollStep = 3;
    BoardScrollBar* m_bar = nullptr;
    CellPainter m_painter;
    CellEditor* m_editor = nullptr;
    Edit m_edit;
    usrBoard* m_editElement = nullptr;
    // After the board whose "X" had the keyboard went away: where Tab goes on from the view.
    std::int32_t m_resume = 0;
    bool m_forwardingMouse = false;
    // The last press that put the editor on a cell, so that a second one makes a double-click.
    qint64 m_pressTime = 0;
    QPointF m_pressAt;
};
