// SPDX-License-Identifier: GPL-3.0-or-later
#include "BoardView.h"

#include "BoardLayout.h"
#include "BoardScrollBar.h"
#include "board/CellFormat.h"
#include "controls/BoardAccessible.h"
#include "controls/CellEditor.h"
#include "controls/usrBoard.h"

#include <QAccessible>
#include <QApplication>
#include <QDateTime>
#include <QGuiApplication>
#include <QInputMethod>
#include <QKeyEvent>
#include <QPainter>
#include <QPushButton>
#include <QSignalBlocker>
#include <QStyleHints>
#include <QWheelEvent>

#include <algorithm>

namespace {

// The refresh never reports an error: a step that fails is skipped and the rest runs.
template <class F>
void skipOnFailure(F step) noexcept
{
    try {
        step();
    } catch (...) {
    }
}

// A key handled by the view: a list that changed under it ends the key, not the program.
template <class F>
bool takenOrNot(F handle) noexcept
{
    try {
        return handle();
    } catch (...) {
        return true;
    }
}

// Spare elements kept beyond this are released; a screenful of elements is far less.
constexpr std::size_t MaxSpareBoards = 64;
constexpr int DeletePart = usrBoard::CellCount;

QColor colourOf(std::uint32_t rgb)
{
    return QColor::fromRgb(static_cast<QRgb>(rgb));
}

Qt::KeyboardModifiers modifiersOf(const QKeyEvent* key)
{
    return key->modifiers() & ~Qt::KeypadModifier;
}

// The widget its window gives the keyboard to, whether that window is active or not.
bool holdsKeyboard(const QWidget* widget)
{
    return widget->window()->focusWidget() == widget;
}

bool isModifier(int key)
{
    return key == Qt::Key_Shift || key == Qt::Key_Control || key == Qt::Key_Alt || key == Qt::Key_Meta
        || key == Qt::Key_AltGr;
}

bool byKeyboard(Qt::FocusReason reason)
{
    return reason == Qt::TabFocusReason || reason == Qt::BacktabFocusReason || reason == Qt::ShortcutFocusReason;
}

} // namespace

BoardView::BoardView(QWidget* parent) : QWidget(parent)
{
    InstallBoardAccessibility(); // before anything here is asked for its interface
    setObjectName(QStringLiteral("picClient"));
    setAccessibleName(QStringLiteral("Boards"));
    // By Tab, never by a click: a click beside a cell or on an "X" leaves the keyboard
    // in the cell being typed into.
    setFocusPolicy(Qt::TabFocus);

    m_bar = new BoardScrollBar(Qt::Vertical, this);
    m_bar->setObjectName(QStringLiteral("vScroll"));
    m_bar->setAccessibleName(QStringLiteral("Boards"));
    m_bar->setGeometry(531, 0, 17, 417);
    m_bar->setRange(0, 32767);
    m_bar->setSingleStep(1);
    m_bar->setPageStep(1);
    m_bar->setValue(0);
    m_bar->setFocusPolicy(Qt::TabFocus); // keyboard users reach it; a click leaves the focus where it is
    m_bar->installEventFilter(this);
    connect(m_bar, &QScrollBar::valueChanged, this, [this](int) { Q_EMIT Scrolled(); });

    m_editor = new CellEditor(this);
    m_editor->UsePainter(&m_painter);
    m_editor->installEventFilter(this);
    connect(m_editor, &QLineEdit::textChanged, this, [this](const QString& text) {
        if (m_editElement && m_edit.Cell >= 0)
            m_editElement->EditorTextChanged(m_edit.Cell, text);
        if (m_editElement)
            placeEditor(m_editElement); // an overflow changes the ink
    });
    WatchCellEditor(m_editor);

    usrBoard* first = newElement();
    first->setObjectName(QStringLiteral("usrBoard0"));
    first->setGeometry(8, 8, 177, 209);
    m_elements.push_back(first);
}

BoardView::~BoardView()
{
    m_editor->removeEventFilter(this);
}

QScrollBar* BoardView::ScrollBar() const
{
    return m_bar;
}

usrBoard* BoardView::newElement()
{
    auto* element = new usrBoard(this);
    element->hide();
    element->UsePainter(&m_painter);
    element->installEventFilter(this);
    element->cmdDelete->installEventFilter(this);
    // Elements are reused at other indexes, so the index is the one it has when pressed.
    connect(element, &usrBoard::DeleteBoard, this, [this, element] {
        const auto it = std::find(m_elements.begin(), m_elements.end(), element);
        if (it != m_elements.end())
            Q_EMIT DeleteRequested(static_cast<int>(it - m_elements.begin()));
    });
    // Above every board: the editor over its cell, then the bar, which overlaps the last
    // column's margin and must stay clickable. Raised only here: a raise repaints, and
    // the bar draws itself anew after any event.
    m_editor->raise();
    m_bar->raise();
    return element;
}

std::int32_t BoardView::PositionOf(const usrBoard* element) const
{
    const auto it = std::find(m_elements.begin(), m_elements.end(), element);
    if (it == m_elements.end() || !element->Board)
        return 0;
    std::int32_t p = 0;
    skipOnFailure([&] { p = BoardPosition(static_cast<std::int32_t>(it - m_elements.begin()), m_bar->value(), m_scrollStep); });
    return p;
}

BoardsRef BoardView::list() const
{
    if (BoardsRef boards = m_boards.lock())
        return boards;
    static const BoardsRef none = std::make_shared<clsBoardCollection>();
    return none;
}

std::int32_t BoardView::locate(const std::shared_ptr<clsBoard>& board, std::int32_t hint) const
{
    if (!board)
        return 0;
    const BoardsRef boards = list();
    const std::int32_t count = boards->Count();
    // A delete or an add moves it by one at most between two looks.
    for (const std::int32_t p : {hint, hint - 1, hint + 1})
        if (p >= 1 && p <= count && boards->Item(p) == board)
            return p;
    const auto it = std::find(boards->begin(), boards->end(), board);
    return it == boards->end() ? 0 : static_cast<std::int32_t>(it - boards->begin()) + 1;
}

std::int32_t BoardView::cellsOf(std::int32_t position) const
{
    return std::min<std::int32_t>(list()->Item(position)->NumberCount() + 1, usrBoard::CellCount);
}

std::int32_t BoardView::EditedPosition() const
{
    return m_edit.Cell >= 0 ? m_edit.Position : 0;
}

int BoardView::RowsWhollyInView() const
{
    const usrBoard* first = m_elements.front();
    if (first->height() <= 0)
        return 1;
    return std::max(1, (height() - first->y()) / first->height());
}

void BoardView::ScrollIntoView(std::int32_t position)
{
    if (m_scrollStep <= 0 || position < 1)
        return;
    const std::int32_t row = (position - 1) / m_scrollStep;
    std::int32_t v = m_bar->value();
    const int rows = RowsWhollyInView();
    if (row < v)
        v = row;
    else if (row >= v + rows)
        v = row - rows + 1;
    v = std::clamp<std::int32_t>(v, 0, m_bar->maximum());
    if (v != m_bar->value())
        m_bar->setValue(v); // refreshes; the editor follows its board
}

bool BoardView::FocusBoard(std::int32_t position, int part, Qt::FocusReason reason)
{
    if (position < 1 || position > list()->Count())
        return false;
    m_resume = 0;
    ScrollIntoView(position);
    usrBoard* element = nullptr;
    for (usrBoard* e : m_elements)
        if (e->isVisible() && PositionOf(e) == position)
            element = e;
    if (!element)
        return false;
    if (part >= 0 && part < usrBoard::CellCount && EditCell(element, part, reason))
        return true;
    element->cmdDelete->setFocus(reason);
    return true;
}

bool BoardView::EditCell(usrBoard* element, int cell, Qt::FocusReason reason)
{
    if (!element || !element->Board || !element->HoldsNumber(cell))
        return false;
    const bool again = m_edit.Cell == cell && m_edit.Board.lock() == element->Board;
    const bool focused = m_editor->hasFocus();
    if (!again) {
        endVisit();
        m_edit = Edit{element->Board, PositionOf(element), cell};
        element->SetEditedCell(cell);
        m_editElement = element;
        // A new visit: its own text, undo history and accessible object.
        const QuietEditor quiet(m_editor);
        NewCellVisit(m_editor);
        m_editor->StartVisit(element->CellText(cell));
        if (byKeyboard(reason))
            m_editor->selectAll();
        placeEditor(element);
    } else if (focused && byKeyboard(reason)) {
        const QuietEditor quiet(m_editor);
        m_editor->selectAll();
    }
    if (!focused)
        m_editor->setFocus(reason); // Qt tells screen readers
    else if (!again && QAccessible::isActive()) {
        QAccessibleEvent focus(m_editor, QAccessible::Focus);
        QAccessible::updateAccessibility(&focus);
    }
    if (reason == Qt::MouseFocusReason) // after the click: the board comes wholly into view
        QMetaObject::invokeMethod(this, [this] { ScrollIntoView(EditedPosition()); }, Qt::QueuedConnection);
    return true;
}

void BoardView::placeEditor(usrBoard* element)
{
    m_editElement = element;
    m_editor->SetCell(element, m_edit.Cell);
    if (!element) {
        // Out of view, but still the keyboard's: the next key brings it back.
        m_editor->move(-m_editor->width() - 100, -m_editor->height() - 100);
        return;
    }
    const int cell = m_edit.Cell;
    if (element->CellText(cell) != m_editor->text())
        element->EditorTextChanged(cell, m_editor->text()); // an element new to the board
    const QRect rect = element->CellRect(cell);
    m_editor->setGeometry(QRect(element->mapTo(this, rect.topLeft()), rect.size()));
    if (m_editor->font() != element->CellFont())
        m_editor->setFont(element->CellFont());
    // The text follows the cell's own background, not the desktop's text colour.
    m_editor->SetColours(colourOf(CellRgb(element->CellColour(cell))), colourOf(element->CellInk(cell)));
    const QString name = element->CellName(cell);
    if (m_editor->accessibleName() != name)
        m_editor->setAccessibleName(name);
    const QString tip = element->Overflowed(cell) ? element->CellTip(cell) : QString();
    if (m_editor->toolTip() != tip)
        m_editor->setToolTip(tip);
    if (m_editor->isHidden())
        m_editor->show();
}

void BoardView::endVisit()
{
    if (m_edit.Cell < 0)
        return;
    if (m_editor->hasFocus()) {
        // Text still being composed belongs to the cell it was typed in; what is left
        // of it (a dead key) is dropped, never carried on to the next cell.
        QGuiApplication::inputMethod()->commit();
        QGuiApplication::inputMethod()->reset();
    }
    if (m_editElement)
        m_editElement->SetEditedCell(-1);
    m_edit = Edit{};
    m_editElement = nullptr;
    m_editor->SetCell(nullptr, -1);
}

void BoardView::endEdit()
{
    endVisit();
    // Hiding a focused widget lets Qt move the focus wherever it likes.
    if (holdsKeyboard(m_editor))
        setFocus(Qt::OtherFocusReason);
    m_editor->hide();
}

void BoardView::bringEditIntoView()
{
    if (m_edit.Cell >= 0 && !m_editElement)
        ScrollIntoView(EditedPosition());
}

void BoardView::Refresh(const BoardsRef& boardsIn, QSize container)
{
    const BoardsRef boards = boardsIn; // this refresh's list, even if a nested one changes it
    m_boards = boards;
    const std::int32_t count = boards->Count();
    usrBoard* const first = m_elements.front();

    BoardLayoutInput in;
    in.ContainerWidth = static_cast<float>(container.width());
    in.ContainerHeight = static_cast<float>(container.height());
    in.FirstLeft = static_cast<float>(first->x());
    in.FirstTop = static_cast<float>(first->y());
    in.ElementWidth = static_cast<float>(first->width());
    in.ElementHeight = static_cast<float>(first->height());
    in.Count = count;

    BoardLayout layout;
    skipOnFailure([&] { layout = LayoutBoards(in); });
    if (layout.Elements.empty())
        return; // could not even be computed; the view stays as it was
    const std::int32_t step = RowCapacity(in);

    int v = m_bar->value();
    if (step != m_scrollStep) {
        // The row length changed (a resize): the board that was first in view stays
        // first, in the row of the new length that holds it. Position and maximum are
        // set quietly, as this refresh already builds for them.
        std::int32_t firstShown = 1;
        skipOnFailure([&] { firstShown = BoardPosition(0, v, m_scrollStep); });
        v = PositionHolding(firstShown, step, layout.RowLength > 0 ? layout.Maximum : 0);
        const QSignalBlocker quiet(m_bar);
        m_bar->setMaximum(std::max(m_bar->maximum(), v));
        m_bar->setValue(v);
    }
    m_scrollStep = step;

    // An "X" with the keyboard follows its board, as the editor does.
    std::shared_ptr<clsBoard> deleteFocus;
    std::int32_t deletePosition = 0;
    for (const usrBoard* element : m_elements)
        if (holdsKeyboard(element->cmdDelete)) {
            deleteFocus = element->Board;
            deletePosition = PositionOf(element);
        }
    const std::shared_ptr<clsBoard> edited = m_edit.Board.lock();
    usrBoard* editElement = nullptr;
    usrBoard* deleteElement = nullptr;

    // Elements 1.. that are not needed go to the spares, hidden and without a board.
    const std::size_t n = layout.Elements.size();
    while (m_elements.size() > n) {
        usrBoard* spare = m_elements.back();
        m_elements.pop_back();
        spare->SetEditedCell(-1);
        spare->hide();
        spare->Board.reset();
        if (m_spares.size() < MaxSpareBoards)
            m_spares.push_back(spare);
        else
            spare->deleteLater(); // it may be the one whose "X" is still being handled
    }
    while (m_elements.size() < n) {
        usrBoard* element = nullptr;
        if (!m_spares.empty()) {
            element = m_spares.back();
            m_spares.pop_back();
        } else {
            skipOnFailure([&] { element = newElement(); });
            if (!element)
                break;
        }
        m_elements.push_back(element);
    }

    for (std::size_t i = 0; i < m_elements.size(); ++i) {
        usrBoard* element = m_elements[i];
        const auto index = static_cast<std::int32_t>(i);
        std::int32_t p = 0;
        std::shared_ptr<clsBoard> board;
        skipOnFailure([&] {
            p = BoardPosition(index, v, step);
            if (p >= 1 && p <= count)
                board = boards->Item(p);
        });

        if (element->Board != board)
            element->SetEditedCell(-1); // while it still shows the board that cell belongs to
        // An element left without a board is hidden, so what its cells show does not
        // matter until a later refresh gives it a board and recycles it then.
        if (i > 0 && board)
            element->Recycle();
        element->Board = board;
        if (board && board == edited && !editElement) {
            editElement = element;
            m_edit.Position = p;
            element->SetEditedCell(m_edit.Cell);
        }
        if (board && board == deleteFocus && !deleteElement)
            deleteElement = element;
        if (element->Board) {
            // The caption first: with a screen reader running, each changes the cells'
            // names, and in this order Update renames only the cells it recolours.
            skipOnFailure([&] { element->Caption(QStringLiteral("Brett %1").arg(p)); });
            skipOnFailure([&] { element->Update(); });
        }
        if (element->isHidden() == static_cast<bool>(element->Board))
            element->setVisible(static_cast<bool>(element->Board));

        // Element 0 keeps its own place; the others take its size.
        const BoardPlacement& place = layout.Elements[i];
        if (i > 0)
            element->setGeometry(static_cast<int>(place.Left), static_cast<int>(place.Top), first->width(),
                                 first->height());
        element->Tag = QString::number(static_cast<double>(place.Top));
    }

    if (m_edit.Cell >= 0) {
        if (editElement) {
            placeEditor(editElement);
        } else if (const std::int32_t p = locate(edited, m_edit.Position); p > 0) {
            m_edit.Position = p;
            placeEditor(nullptr);
        } else {
            endEdit(); // its board is gone
        }
    }
    if (deleteFocus || deletePosition > 0) {
        if (deleteElement) {
            if (!holdsKeyboard(deleteElement->cmdDelete))
                deleteElement->cmdDelete->setFocus(Qt::OtherFocusReason);
        } else {
            // Its board is gone or out of view. No key may go on to another board's
            // "X" or cells unasked; Tab goes on from where it stood.
            const std::int32_t p = locate(deleteFocus, deletePosition);
            m_resume = p > 0 ? p : deletePosition;
            setFocus(Qt::OtherFocusReason);
        }
    }

    if (layout.RowLength > 0) {
        // Lowering the maximum below the position moves the position and runs a nested
        // refresh from here.
        m_bar->setMaximum(layout.Maximum);
        m_bar->setVisible(m_bar->maximum() > 0);
    } else {
        m_bar->setMaximum(0);
        m_bar->hide();
    }
    // Screen readers get the scroll bar's value as a bare number (of rows), so the
    // boards it stands for go in its description, which they read out as well.
    std::int64_t firstShown = std::int64_t{m_bar->value()} * m_scrollStep + 1;
    const std::int64_t lastShown = std::min<std::int64_t>(count, firstShown + std::max(layout.WholeElements, 1) - 1);
    firstShown = std::min<std::int64_t>(firstShown, lastShown);
    QString text = QStringLiteral("Boards %1 to %2 of %3").arg(firstShown).arg(lastShown).arg(count);
    if (count == 0)
        text = QStringLiteral("No boards");
    else if (firstShown == lastShown)
        text = QStringLiteral("Board %1 of %2").arg(firstShown).arg(count);
    if (m_bar->accessibleDescription() != text)
        m_bar->setAccessibleDescription(text);
}

std::pair<std::int32_t, int> BoardView::focusedPart() const
{
    const QWidget* focus = window()->focusWidget();
    if (focus == m_editor && m_edit.Cell >= 0)
        return {EditedPosition(), m_edit.Cell};
    for (const usrBoard* element : m_elements)
        if (focus == element->cmdDelete)
            return {PositionOf(element), DeletePart};
    return {0, -1};
}

bool BoardView::listTab(bool next)
{
    const auto [p, part] = focusedPart();
    if (p < 1)
        return false;
    // Cells that hold numbers, then "X", board after board through the whole list.
    const int cells = cellsOf(p);
    if (next) {
        if (part < cells - 1)
            return FocusBoard(p, part + 1, Qt::TabFocusReason);
        if (part < DeletePart)
            return FocusBoard(p, DeletePart, Qt::TabFocusReason);
        return p < list()->Count() && FocusBoard(p + 1, cellsOf(p + 1) > 0 ? 0 : DeletePart, Qt::TabFocusReason);
    }
    if (part == DeletePart && cells > 0)
        return FocusBoard(p, cells - 1, Qt::BacktabFocusReason);
    if (part > 0 && part < DeletePart)
        return FocusBoard(p, part - 1, Qt::BacktabFocusReason);
    return p > 1 && FocusBoard(p - 1, DeletePart, Qt::BacktabFocusReason);
}

bool BoardView::focusNextPrevChild(bool next)
{
    return takenOrNot([&] { return tabFrom(next); });
}

bool BoardView::tabFrom(bool next)
{
    if (listTab(next))
        return true;
    const QWidget* focus = window()->focusWidget();
    const Qt::FocusReason reason = next ? Qt::TabFocusReason : Qt::BacktabFocusReason;
    const bool bar = m_bar->isVisibleTo(this);
    // The boards wholly in view, in list order.
    std::int32_t firstSeen = 0;
    std::int32_t lastSeen = 0;
    for (const usrBoard* element : m_elements) {
        if (!element->isVisibleTo(this) || !rect().contains(element->geometry()))
            continue;
        const std::int32_t p = PositionOf(element);
        firstSeen = firstSeen == 0 ? p : std::min(firstSeen, p);
        lastSeen = std::max(lastSeen, p);
    }
    const auto firstPart = [&](std::int32_t p) { return cellsOf(p) > 0 ? 0 : DeletePart; };
    if (focus == this) {
        const std::int32_t resume = std::min(m_resume, list()->Count());
        if (resume > 0)
            return next ? FocusBoard(resume, firstPart(resume), reason)
                        : (resume > 1 ? FocusBoard(resume - 1, DeletePart, reason) : (setFocus(reason), true));
        if (next && firstSeen > 0)
            return FocusBoard(firstSeen, firstPart(firstSeen), reason);
        if (!next && bar) {
            m_bar->setFocus(reason);
            return true;
        }
        if (!next && lastSeen > 0)
            return FocusBoard(lastSeen, DeletePart, reason);
        return true;
    }
    if (focus == m_bar) {
        if (!next && lastSeen > 0)
            return FocusBoard(lastSeen, DeletePart, reason);
        setFocus(reason);
        return true;
    }
    // Past the last board's "X", or before the first cell of board 1.
    if (next && bar)
        m_bar->setFocus(reason);
    else
        setFocus(reason);
    return true;
}

bool BoardView::listKey(QKeyEvent* event)
{
    const Qt::KeyboardModifiers modifiers = modifiersOf(event);
    const int key = event->key();
    if (modifiers == Qt::ControlModifier && (key == Qt::Key_Home || key == Qt::Key_End)) {
        if (list()->Count() == 0) {
            m_bar->triggerAction(key == Qt::Key_Home ? QAbstractSlider::SliderToMinimum : QAbstractSlider::SliderToMaximum);
            return true;
        }
        const std::int32_t p = key == Qt::Key_Home ? 1 : list()->Count();
        return FocusBoard(p, cellsOf(p) > 0 ? 0 : DeletePart, Qt::TabFocusReason);
    }
    if (modifiers != Qt::NoModifier || (key != Qt::Key_PageDown && key != Qt::Key_PageUp))
        return false;
    // A page is the rows wholly in view; the focus keeps its place on the screen.
    const auto [p, part] = focusedPart();
    const int rows = RowsWhollyInView();
    const int index = p > 0 ? static_cast<int>(p - 1 - static_cast<std::int64_t>(m_scrollStep) * m_bar->value()) : -1;
    const int v = std::clamp(m_bar->value() + (key == Qt::Key_PageDown ? rows : -rows), 0, m_bar->maximum());
    m_bar->setValue(v);
    if (p < 1)
        return true;
    std::int32_t target = 0;
    skipOnFailure([&] { target = BoardPosition(index, v, m_scrollStep); });
    target = std::clamp<std::int32_t>(target, 1, list()->Count());
    // The keyboard keeps its place on the screen and in the text: typing goes on.
    FocusBoard(target, part, Qt::OtherFocusReason);
    return true;
}

void BoardView::leaveBoard(std::int32_t p, int cell, int key)
{
    const std::int32_t row = std::max<std::int32_t>(1, m_scrollStep);
    std::int32_t target = p;
    switch (key) {
    case Qt::Key_Up: target = p - row; break;
    case Qt::Key_Down: target = p + row; break;
    case Qt::Key_Left: target = p - 1; break;
    default: target = p + 1; break;
    }
    if (target < 1 || target > list()->Count())
        return;
    // The cell of the same column (Up, Down), or the board's first or last (Left, Right).
    const std::int32_t count = cellsOf(target);
    int part = DeletePart; // "X" when the board has no number
    const int column = cell % 5;
    if (count > 0) {
        if (key == Qt::Key_Up)
            part = column < count ? column + 5 * ((count - 1 - column) / 5) : count - 1;
        else if (key == Qt::Key_Down)
            part = std::min(column, count - 1);
        else if (key == Qt::Key_Left)
            part = count - 1;
        else
            part = 0;
    }
    FocusBoard(target, part, Qt::TabFocusReason);
}

// The keys of the cell being edited that move the keyboard; true when taken.
bool BoardView::cellKey(QKeyEvent* event)
{
    const Qt::KeyboardModifiers modifiers = modifiersOf(event);
    const int key = event->key();
    if (listKey(event))
        return true;
    if ((key == Qt::Key_Return || key == Qt::Key_Enter) && modifiers == Qt::NoModifier)
        return focusNextPrevChild(true); // a board typed from the number pad alone
    if (modifiers != Qt::NoModifier)
        return false;
    const std::int32_t p = EditedPosition();
    const int cell = m_edit.Cell;
    if (p < 1 || cell < 0)
        return false;
    const int cells = cellsOf(p);
    if (key == Qt::Key_Up || key == Qt::Key_Down) {
        const int target = cell + (key == Qt::Key_Up ? -5 : 5);
        if (target >= 0 && target < cells)
            FocusBoard(p, target, Qt::TabFocusReason);
        else
            leaveBoard(p, cell, key);
        return true;
    }
    if (key == Qt::Key_Left || key == Qt::Key_Right) {
        const bool back = key == Qt::Key_Left;
        // At the start or the end of the text the caret goes on to the next cell.
        if (m_editor->hasSelectedText() || m_editor->cursorPosition() != (back ? 0 : int(m_editor->text().size())))
            return false;
        const int target = cell + (back ? -1 : 1);
        if (target >= 0 && target < cells)
            FocusBoard(p, target, Qt::TabFocusReason);
        else
            leaveBoard(p, cell, key);
        return true;
    }
    return false;
}

bool BoardView::eventFilter(QObject* watched, QEvent* event)
{
    const QEvent::Type type = event->type();
    if (watched == m_bar) {
        if (type == QEvent::FocusIn || type == QEvent::FocusOut)
            update(); // the styles draw no focus on a scroll bar; the mark is drawn here
        return false;
    }
    if (watched == m_editor) {
        switch (type) {
        case QEvent::KeyPress: {
            auto* key = static_cast<QKeyEvent*>(event);
            if (key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab)
                return false; // Qt hands Tab to focusNextPrevChild
            return takenOrNot([&] {
                if (!isModifier(key->key()))
                    bringEditIntoView(); // a key typed into a cell out of view brings it back
                return cellKey(key);
            });
        }
        case QEvent::InputMethod:
            bringEditIntoView();
            return false;
        case QEvent::MouseButtonPress: {
            // The second press of a double-click on a cell that had no editor yet: the
            // first went to the board.
            const auto* mouse = static_cast<QMouseEvent*>(event);
            const qint64 now = QDateTime::currentMSecsSinceEpoch();
            const bool twice = m_pressTime > 0 && now - m_pressTime <= QGuiApplication::styleHints()->mouseDoubleClickInterval()
                && (mouse->globalPosition() - m_pressAt).manhattanLength() <= QGuiApplication::styleHints()->startDragDistance();
            m_pressTime = 0;
            if (twice && mouse->button() == Qt::LeftButton) {
                m_editor->selectAll();
                return true;
            }
            return false;
        }
        case QEvent::FocusOut: {
            // A menu, a context menu or another window only borrow the keyboard.
            const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
            if (reason != Qt::PopupFocusReason && reason != Qt::ActiveWindowFocusReason && reason != Qt::MenuBarFocusReason
                && m_edit.Cell >= 0) {
                endVisit();
                m_editor->hide();
            }
            return false;
        }
        default:
            return false;
        }
    }
    if (type == QEvent::KeyPress) {
        // An "X": the list's keys.
        auto* key = static_cast<QKeyEvent*>(event);
        return qobject_cast<QPushButton*>(watched) && takenOrNot([&] { return listKey(key); });
    }
    if (auto* element = qobject_cast<usrBoard*>(watched))
        return elementMouse(element, event);
    return false;
}

void BoardView::forwardMouse(QMouseEvent* event)
{
    if (!m_editor->isVisible())
        return;
    QMouseEvent forwarded(event->type(), m_editor->mapFromGlobal(event->globalPosition()), event->globalPosition(),
                          event->button(), event->buttons(), event->modifiers(), event->pointingDevice());
    QCoreApplication::sendEvent(m_editor, &forwarded);
}

bool BoardView::elementMouse(usrBoard* element, QEvent* event)
{
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick: {
        auto* mouse = static_cast<QMouseEvent*>(event);
        const int index = element->CellAt(mouse->position().toPoint());
        if (index < 0 || !EditCell(element, index, Qt::MouseFocusReason))
            return false;
        // The editor now lies under the mouse, but the board holds the grab: the press,
        // the moves of a drag and the release go on to the editor from here.
        m_forwardingMouse = true;
        m_pressTime = 0;
        forwardMouse(mouse);
        m_pressTime = QDateTime::currentMSecsSinceEpoch();
        m_pressAt = mouse->globalPosition();
        return true;
    }
    case QEvent::MouseMove:
        if (!m_forwardingMouse)
            return false;
        forwardMouse(static_cast<QMouseEvent*>(event));
        return true;
    case QEvent::MouseButtonRelease:
        if (!m_forwardingMouse)
            return false;
        m_forwardingMouse = false;
        forwardMouse(static_cast<QMouseEvent*>(event));
        return true;
    case QEvent::ContextMenu: {
        // The press that opened it put the editor on the cell; the line edit's own menu.
        auto* menu = static_cast<QContextMenuEvent*>(event);
        const int index = element->CellAt(menu->pos());
        if (index < 0 || m_editElement != element || m_edit.Cell != index)
            return false;
        QContextMenuEvent forwarded(menu->reason(), m_editor->mapFromGlobal(menu->globalPos()), menu->globalPos(),
                                    menu->modifiers());
        QCoreApplication::sendEvent(m_editor, &forwarded);
        return true;
    }
    default:
        return false;
    }
}

void BoardView::keyPressEvent(QKeyEvent* event)
{
    if (takenOrNot([&] { return listKey(event); }))
        return;
    const bool plain = modifiersOf(event) == Qt::NoModifier;
    if (plain && (event->key() == Qt::Key_PageDown || event->key() == Qt::Key_PageUp))
        m_bar->triggerAction(event->key() == Qt::Key_PageDown ? QAbstractSlider::SliderPageStepAdd
                                                              : QAbstractSlider::SliderPageStepSub);
    else
        QWidget::keyPressEvent(event);
}

void BoardView::wheelEvent(QWheelEvent* event)
{
    // A wheel turned over the boards pages the list, as over the scroll bar.
    if (m_bar->isVisible())
        QCoreApplication::sendEvent(m_bar, event);
    else
        event->ignore();
}

void BoardView::paintEvent(QPaintEvent* /*event*/)
{
    const bool barFocus = m_bar->hasFocus() && m_bar->isVisible();
    if (!hasFocus() && !barFocus)
        return;
    // The marks lie in the margins around the boards, so they show whatever the boards cover.
    QPainter painter(this);
    painter.setPen(QPen(palette().color(QPalette::Highlight), 2));
    if (hasFocus())
        painter.drawRect(QRectF(rect()).adjusted(1, 1, -1, -1));
    else
        painter.drawLine(QPointF(m_bar->x() - 3, 0), QPointF(m_bar->x() - 3, m_bar->geometry().bottom()));
}

void BoardView::focusInEvent(QFocusEvent* event)
{
    update();
    QWidget::focusInEvent(event);
}

void BoardView::focusOutEvent(QFocusEvent* event)
{
    update();
    QWidget::focusOutEvent(event);
}

void BoardView::changeEvent(QEvent* event)
{
    switch (event->type()) {
    case QEvent::StyleChange:
    case QEvent::PaletteChange:
    case QEvent::FontChange:
        // Before the boards repaint with them: they come after their parent.
        m_painter.Invalidate();
        update();
        break;
    default:
        break;
    }
    QWidget::changeEvent(event);
}
