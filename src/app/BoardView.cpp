// SPDX-License-Identifier: GPL-3.0-or-later
#include "BoardView.h"

#include "BoardLayout.h"
#include "controls/CellEditor.h"
#include "controls/usrBoard.h"
#include "frmMain.h"

#include <QApplication>
#include <QFrame>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QScrollBar>
#include <QStyleOptionSlider>

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

// Spare elements kept beyond this are released; a screenful of elements is far less.
constexpr std::size_t MaxSpareBoards = 64;

} // namespace

BoardScrollBar::BoardScrollBar(Qt::Orientation orientation, QWidget* parent) : QScrollBar(orientation, parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent); // its picture covers it
}

bool BoardScrollBar::event(QEvent* event)
{
    // Focus, a new style, palette or size, a press: the bar draws itself anew. Only a
    // change of value, which comes without an event, reuses the picture.
    if (event->type() != QEvent::Paint) {
        forget();
        m_thumbAlone = Unknown;
    }
    return QScrollBar::event(event);
}

QPixmap BoardScrollBar::drawn(const QStyleOptionSlider& option, const QRect& part) const
{
    // A picture of this part alone: a style may set clips of its own, but it cannot
    // draw beyond the picture's edges.
    QPixmap picture(part.size() * devicePixelRatio());
    picture.setDevicePixelRatio(devicePixelRatio());
    // On the window's colour, as the bar is drawn in place: semi-transparent strokes
    // blend as they would there, and the picture is copied, not blended.
    picture.fill(palette().color(QPalette::Window));
    QPainter onPicture(&picture);
    onPicture.translate(-part.topLeft());
    style()->drawComplexControl(QStyle::CC_ScrollBar, &option, &onPicture, this);
    return picture;
}

void BoardScrollBar::paintEvent(QPaintEvent* event)
{
    // Under the mouse a part may be lit or pressed, which only the bar itself knows.
    if (underMouse() || isSliderDown()) {
        forget();
        QPainter(this).fillRect(rect(), palette().window()); // as under a picture
        QScrollBar::paintEvent(event);
        return;
    }
    QStyleOptionSlider option;
    initStyleOption(&option);
    option.subControls = QStyle::SC_All;
    option.activeSubControls = QStyle::SC_None;
    const Look look{style()->subControlRect(QStyle::CC_ScrollBar, &option, QStyle::SC_ScrollBarSlider, this), size(),
                    devicePixelRatio(), value() == minimum(), value() == maximum()};
    // A short list has a few places, each kept; a long one moves the thumb by less than
    // a pixel a step, or else from the last picture.
    auto kept = std::find_if(m_kept.begin(), m_kept.end(),
                             [&](const Kept& k) { return !k.Picture.isNull() && k.Shown == look; });
    if (kept == m_kept.end()) {
        QPixmap picture = moved(option, look);
        kept = std::min_element(m_kept.begin(), m_kept.end(),
                                [](const Kept& a, const Kept& b) { return a.Used < b.Used; });
        kept->Shown = look;
        kept->Picture = picture;
    }
    kept->Used = ++m_uses;
    m_last = &*kept;
    QPainter painter(this);
    painter.drawPixmap(0, 0, kept->Picture);
}

void BoardScrollBar::forget()
{
    m_kept = {};
    m_last = nullptr;
}

QPixmap BoardScrollBar::moved(const QStyleOptionSlider& option, const Look& look)
{
    if (!m_last || m_thumbAlone == No)
        return drawn(option, rect());
    const Look& last = m_last->Shown;
    if (last.Size != look.Size || last.Ratio != look.Ratio)
        return drawn(option, rect());
    // Most styles draw the thumb and the arrows over a groove that does not depend on
    // them; then only they are drawn again. Whether this style does is checked once
    // against the whole bar. A style may draw an outline a pixel or two beyond a part.
    const auto around = [](const QRect& part) { return part.adjusted(-3, -3, 3, 3); };
    QRegion changed = QRegion(around(last.Thumb)) + QRegion(around(look.Thumb));
    const auto arrow = [&](QStyle::SubControl part) {
        return around(style()->subControlRect(QStyle::CC_ScrollBar, &option, part, this));
    };
    if (look.AtStart != last.AtStart)
        changed += arrow(QStyle::SC_ScrollBarSubLine);
    if (look.AtEnd != last.AtEnd)
        changed += arrow(QStyle::SC_ScrollBarAddLine);
    QPixmap picture = m_last->Picture;
    QPainter onPicture(&picture);
    for (const QRect& part : changed & rect())
        onPicture.drawPixmap(part.topLeft(), drawn(option, part));
    onPicture.end();
    if (m_thumbAlone == Unknown) {
        QPixmap whole = drawn(option, rect());
        m_thumbAlone = picture.toImage() == whole.toImage() ? Yes : No;
        return whole;
    }
    return picture;
}

BoardViewClient::BoardViewClient(QWidget* parent) : QWidget(parent)
{
    setFocusPolicy(Qt::StrongFocus);
}

void BoardViewClient::SetScrollBar(QScrollBar* bar)
{
    ScrollBar = bar;
    bar->installEventFilter(this);
}

bool BoardViewClient::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == ScrollBar && (event->type() == QEvent::FocusIn || event->type() == QEvent::FocusOut))
        update(); // the styles draw no focus on a scroll bar; the mark is drawn here
    return QWidget::eventFilter(watched, event);
}

void BoardViewClient::keyPressEvent(QKeyEvent* event)
{
    if (ListKey && ListKey(event))
        return;
    // Also reached from a cell or "X" of a board, which pass these keys on.
    const bool control = (event->modifiers() & ~Qt::KeypadModifier) == Qt::ControlModifier;
    const bool plain = (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
    QAbstractSlider::SliderAction action = QAbstractSlider::SliderNoAction;
    if (plain && event->key() == Qt::Key_PageDown)
        action = QAbstractSlider::SliderPageStepAdd;
    else if (plain && event->key() == Qt::Key_PageUp)
        action = QAbstractSlider::SliderPageStepSub;
    else if (control && event->key() == Qt::Key_End)
        action = QAbstractSlider::SliderToMaximum;
    else if (control && event->key() == Qt::Key_Home)
        action = QAbstractSlider::SliderToMinimum;
    if (action == QAbstractSlider::SliderNoAction || !ScrollBar) {
        QWidget::keyPressEvent(event);
        return;
    }
    ScrollBar->triggerAction(action);
}

void BoardViewClient::wheelEvent(QWheelEvent* event)
{
    // A wheel turned over the boards pages the list, as over the scroll bar.
    if (ScrollBar && ScrollBar->isVisible())
        QCoreApplication::sendEvent(ScrollBar, event);
    else
        event->ignore();
}

void BoardViewClient::paintEvent(QPaintEvent* /*event*/)
{
    const bool barFocus = ScrollBar && ScrollBar->hasFocus() && ScrollBar->isVisible();
    if (!hasFocus() && !barFocus)
        return;
    // The marks lie in the margins around the boards, so they show whatever the boards cover.
    QPainter painter(this);
    painter.setPen(QPen(palette().color(QPalette::Highlight), 2));
    if (hasFocus())
        painter.drawRect(QRectF(rect()).adjusted(1, 1, -1, -1));
    else
        painter.drawLine(QPointF(ScrollBar->x() - 3, 0), QPointF(ScrollBar->x() - 3, ScrollBar->geometry().bottom()));
}

void BoardViewClient::focusInEvent(QFocusEvent* event)
{
    update();
    QWidget::focusInEvent(event);
}

void BoardViewClient::focusOutEvent(QFocusEvent* event)
{
    update();
    QWidget::focusOutEvent(event);
}

bool BoardViewClient::focusNextPrevChild(bool next)
{
    if (ListTab && ListTab(next))
        return true;
    // Reached for Tab from this view and from everything inside it. The elements are
    // reused in any order, so the order is taken from where they stand: reading order.
    std::vector<const usrBoard*> shown;
    for (const QObject* child : children()) {
        const auto* element = qobject_cast<const usrBoard*>(child);
        if (element && element->isVisibleTo(this))
            shown.push_back(element);
    }
    std::sort(shown.begin(), shown.end(), [](const usrBoard* a, const usrBoard* b) {
        return a->y() != b->y() ? a->y() < b->y() : a->x() < b->x();
    });

    QRect seen = rect();
    if (ScrollBar && ScrollBar->isVisibleTo(this))
        seen.setRight(ScrollBar->x() - 1);
    // A stop is a cell of a board (element and index) or a widget.
    struct Stop {
        usrBoard* element;
        int cell;
        QWidget* widget;
        bool reachable;
    };
    std::vector<Stop> stops{{nullptr, -1, this, true}};
    auto inView = [&](const QWidget* widget, const QRect& place) {
        return widget->isVisibleTo(this) && seen.contains(QRect(widget->mapTo(this, place.topLeft()), place.size()));
    };
    for (const usrBoard* shownElement : shown) {
        auto* element = const_cast<usrBoard*>(shownElement);
        for (int i = 0; i < usrBoard::CellCount; ++i)
            if (element->HoldsNumber(i))
                stops.push_back({element, i, nullptr, inView(element, element->CellRect(i))});
        stops.push_back({nullptr, -1, element->cmdDelete, inView(element->cmdDelete, element->cmdDelete->rect())});
    }
    if (ScrollBar && ScrollBar->isVisibleTo(this))
        stops.push_back({nullptr, -1, ScrollBar, true});

    const QWidget* focus = window()->focusWidget();
    const auto* editor = qobject_cast<const CellEditor*>(focus);
    std::size_t at = 0;
    for (std::size_t i = 0; i < stops.size(); ++i) {
        const Stop& stop = stops[i];
        if (stop.widget ? stop.widget == focus : editor && editor->Edits(stop.element, stop.cell))
            at = i;
    }
    const std::size_t n = stops.size();
    const Qt::FocusReason reason = next ? Qt::TabFocusReason : Qt::BacktabFocusReason;
    for (std::size_t k = 1; k <= n; ++k) {
        const Stop& stop = stops[(next ? at + k : at + n - k) % n];
        if (!stop.reachable)
            continue;
        if (stop.widget)
            stop.widget->setFocus(reason);
        else
            stop.element->EditCell(stop.cell, reason);
        return true;
    }
    return false;
}

std::int32_t frmMain::PositionOf(const usrBoard* element) const
{
    const auto it = std::find(usrBoards.begin(), usrBoards.end(), element);
    if (it == usrBoards.end() || !element->Board)
        return 0;
    std::int32_t p = 0;
    skipOnFailure([&] { p = BoardPosition(static_cast<std::int32_t>(it - usrBoards.begin()), vScroll->value(), m_scrollStep); });
    return p;
}

int frmMain::RowsWhollyInView() const
{
    const usrBoard* first = usrBoards.front();
    if (first->height() <= 0)
        return 1;
    return std::max(1, (picClient->height() - first->y()) / first->height());
}

void frmMain::ScrollIntoView(std::int32_t position)
{
    if (m_scrollStep <= 0 || position < 1)
        return;
    const std::int32_t row = (position - 1) / m_scrollStep;
    std::int32_t v = vScroll->value();
    const int rows = RowsWhollyInView();
    if (row < v)
        v = row;
    else if (row >= v + rows)
        v = row - rows + 1;
    v = std::clamp<std::int32_t>(v, 0, vScroll->maximum());
    if (v != vScroll->value())
        vScroll->setValue(v); // refreshes; the focus follows its board
}

bool frmMain::FocusBoard(std::int32_t position, int part, Qt::FocusReason reason)
{
    const BoardsRef boards = Boards();
    if (position < 1 || position > boards->Count())
        return false;
    ScrollIntoView(position);
    usrBoard* element = nullptr;
    for (usrBoard* e : usrBoards)
        if (e->isVisible() && PositionOf(e) == position)
            element = e;
    if (!element)
        return false;
    if (part >= 0 && part < usrBoard::CellCount && element->EditCell(part, reason))
        return true;
    element->cmdDelete->setFocus(reason);
    return true;
}

void frmMain::usrBoard_FocusLeaving(usrBoard* element, int Index, int key)
{
    const std::int32_t p = PositionOf(element);
    if (p < 1)
        return;
    const BoardsRef boards = Boards();
    const std::int32_t row = std::max<std::int32_t>(1, m_scrollStep);
    std::int32_t target = p;
    switch (key) {
    case Qt::Key_Up: target = p - row; break;
    case Qt::Key_Down: target = p + row; break;
    case Qt::Key_Left: target = p - 1; break;
    default: target = p + 1; break;
    }
    if (target < 1 || target > boards->Count())
        return;
    // The cell of the same column (Up, Down), or the board's first or last (Left, Right).
    const std::int32_t count = std::min<std::int32_t>(boards->Item(target)->NumberCount() + 1, usrBoard::CellCount);
    int part = usrBoard::CellCount; // "X" when the board has no number
    const int column = Index % 5;
    if (count > 0) {
        if (key == Qt::Key_Up) {
            part = column < count ? column + 5 * ((count - 1 - column) / 5) : count - 1;
        } else if (key == Qt::Key_Down) {
            part = std::min(column, count - 1);
        } else if (key == Qt::Key_Left) {
            part = count - 1;
        } else {
            part = 0;
        }
    }
    FocusBoard(target, part, Qt::TabFocusReason);
}

// Where the focus sits in the list: the board's position and its cell, or
// CellCount for its "X"; position 0 when the focus is not on a board.
std::pair<std::int32_t, int> frmMain::focusedPart() const
{
    const QWidget* focus = window()->focusWidget();
    for (const usrBoard* element : usrBoards) {
        const usrBoard::FocusSpot spot = element->FocusOf(focus);
        if (spot.Part >= 0)
            return {PositionOf(element), spot.Part};
    }
    return {0, -1};
}

bool frmMain::listTab(bool next)
{
    const auto [p, part] = focusedPart();
    if (p < 1)
        return false;
    // Cells that hold numbers, then "X", board after board through the whole list.
    const BoardsRef boards = Boards();
    const auto cellsOf = [&](std::int32_t position) {
        return std::min<std::int32_t>(boards->Item(position)->NumberCount() + 1, usrBoard::CellCount);
    };
    const int cells = static_cast<int>(cellsOf(p));
    if (next) {
        if (part < cells - 1)
            return FocusBoard(p, part + 1, Qt::TabFocusReason);
        if (part < usrBoard::CellCount)
            return FocusBoard(p, usrBoard::CellCount, Qt::TabFocusReason);
        return p < boards->Count() && FocusBoard(p + 1, cellsOf(p + 1) > 0 ? 0 : usrBoard::CellCount, Qt::TabFocusReason);
    }
    if (part == usrBoard::CellCount && cells > 0)
        return FocusBoard(p, cells - 1, Qt::BacktabFocusReason);
    if (part > 0 && part < usrBoard::CellCount)
        return FocusBoard(p, part - 1, Qt::BacktabFocusReason);
    return p > 1 && FocusBoard(p - 1, usrBoard::CellCount, Qt::BacktabFocusReason);
}

bool frmMain::listKey(QKeyEvent* event)
{
    const Qt::KeyboardModifiers modifiers = event->modifiers() & ~Qt::KeypadModifier;
    const int key = event->key();
    const BoardsRef boards = Boards();
    if (modifiers == Qt::ControlModifier && (key == Qt::Key_Home || key == Qt::Key_End)) {
        if (boards->Count() == 0)
            return false;
        return FocusBoard(key == Qt::Key_Home ? 1 : boards->Count(), 0, Qt::TabFocusReason);
    }
    if (modifiers != Qt::NoModifier || (key != Qt::Key_PageDown && key != Qt::Key_PageUp))
        return false;
    // A page is the rows wholly in view; the focus keeps its place on the screen.
    const auto [p, part] = focusedPart();
    const int rows = RowsWhollyInView();
    const int index = p > 0 ? static_cast<int>(p - 1 - static_cast<std::int64_t>(m_scrollStep) * vScroll->value()) : -1;
    const int v = std::clamp(vScroll->value() + (key == Qt::Key_PageDown ? rows : -rows), 0, vScroll->maximum());
    vScroll->setValue(v);
    if (p < 1)
        return true;
    std::int32_t target = 0;
    skipOnFailure([&] { target = BoardPosition(index, v, m_scrollStep); });
    target = std::clamp<std::int32_t>(target, 1, boards->Count());
    FocusBoard(target, part, Qt::TabFocusReason);
    return true;
}

void frmMain::Form_Resize()
{
    const QSize inner = centralWidget()->size();
    // A minimized or tiny window would give the container or the bar a negative size;
    // the layout stays as it was until the window is usable again.
    if (inner.width() < 16 || inner.height() < 16 + 4)
        return;
    picContainer->resize(inner.width() - 16, inner.height() - 16);
    picClient->setGeometry(picContainer->contentsRect());
    vScroll->setGeometry(picContainer->width() - vScroll->width() - 4, vScroll->y(), vScroll->width(),
                         picContainer->height() - 4);
    UpdateControls();
}

void frmMain::vScroll_Change()
{
    UpdateControls();
}

void frmMain::vScroll_Scroll()
{
    vScroll_Change();
}

// Rebuilds the board view. Elements are reused rather than destroyed and created, and
// a reused one first becomes what a new one is (hidden, no board, "Brett 1:", cells
// "01" on the default background), so the result is the same. Nothing is drawn until
// control returns to the event loop, so no half-built grid is ever seen. May run
// nested: a lowered maximum moves the scroll position, whose handler refreshes again.
void frmMain::UpdateControls()
{
    const BoardsRef boards = Boards(); // this refresh's list, even if a nested one changes it
    const std::int32_t count = boards->Count();
    usrBoard* const first = usrBoards.front();

    BoardLayoutInput in;
    in.ContainerWidth = static_cast<float>(picContainer->width());
    in.ContainerHeight = static_cast<float>(picContainer->height());
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

    int v = vScroll->value();
    if (step != m_scrollStep) {
        // The row length changed (a resize): the board that was first in view stays
        // first, in the row of the new length that holds it. Position and maximum are
        // set quietly, as this refresh already builds for them.
        std::int32_t firstShown = 1;
        skipOnFailure([&] { firstShown = BoardPosition(0, v, m_scrollStep); });
        v = PositionHolding(firstShown, step, layout.RowLength > 0 ? layout.Maximum : 0);
        const QSignalBlocker quiet(vScroll);
        vScroll->setMaximum(std::max(vScroll->maximum(), v));
        vScroll->setValue(v);
    }
    m_scrollStep = step;

    // The focused board, so the focus follows it to whichever element shows it now
    // and never stays in an element that shows another board.
    QWidget* const focus = window()->focusWidget();
    usrBoard::FocusSpot focusSpot;
    std::shared_ptr<clsBoard> focusBoard;
    for (const usrBoard* element : usrBoards) {
        focusSpot = element->FocusOf(focus);
        if (focusSpot.Part >= 0) {
            focusBoard = element->Board;
            break;
        }
    }
    usrBoard* focusElement = nullptr;

    // Elements 1.. that are not needed go to the spares, hidden and without a board.
    const std::size_t n = layout.Elements.size();
    while (usrBoards.size() > n) {
        usrBoard* spare = usrBoards.back();
        usrBoards.pop_back();
        spare->hide();
        spare->Board.reset();
        if (m_spareBoards.size() < MaxSpareBoards)
            m_spareBoards.push_back(spare);
        else
            spare->deleteLater(); // it may be the one whose "X" is still being handled
    }
    while (usrBoards.size() < n) {
        usrBoard* element = nullptr;
        if (!m_spareBoards.empty()) {
            element = m_spareBoards.back();
            m_spareBoards.pop_back();
        } else {
            skipOnFailure([&] { element = newBoardElement(); });
            if (!element)
                break;
        }
        usrBoards.push_back(element);
    }

    for (std::size_t i = 0; i < usrBoards.size(); ++i) {
        usrBoard* element = usrBoards[i];
        const auto index = static_cast<std::int32_t>(i);
        std::int32_t p = 0;
        std::shared_ptr<clsBoard> board;
        skipOnFailure([&] {
            p = BoardPosition(index, v, step);
            if (p >= 1 && p <= count)
                board = boards->Item(p);
        });

        // An element left without a board is hidden, so what its cells show does not
        // matter until a later refresh gives it a board and recycles it then.
        if (i > 0 && board)
            element->Recycle();
        element->Board = board;
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
        if (focusBoard && element->Board == focusBoard && !focusElement)
            focusElement = element;
    }

    if (focusElement)
        focusElement->Focus(focusSpot);
    else if (focusSpot.Part >= 0)
        picClient->setFocus(Qt::OtherFocusReason); // its board is gone or out of view
    // The editor never stays on a board that lost the focus or on an element reused for another.
    if (m_cellEditor->Element() && m_cellEditor->Element() != focusElement)
        m_cellEditor->Detach();

    if (layout.RowLength > 0) {
        // Lowering the maximum below the position moves the position and runs a nested
        // refresh from here.
        vScroll->setMaximum(layout.Maximum);
        vScroll->setVisible(vScroll->maximum() > 0);
    } else {
        vScroll->setMaximum(0);
        vScroll->hide();
    }
    describeBoardsInView(layout.WholeElements);
    Q_EMIT ControlsUpdated();
}
