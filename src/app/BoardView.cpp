#include "frmMain.h"

#include "BoardLayout.h"
#include "controls/usrBoard.h"

#include <QFrame>
#include <QScrollBar>

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
    m_scrollStep = step;

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

    const int v = vScroll->value();
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

        if (i > 0)
            element->Recycle(board.get());
        element->Board = board;
        if (element->Board) {
            skipOnFailure([&] { element->Update(); });
            skipOnFailure([&] { element->Caption(QStringLiteral("Brett %1").arg(p)); });
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

    if (layout.RowLength > 0) {
        // A maximum that does not fit 16 bits leaves the old one. Lowering it below the
        // position moves the position and runs a nested refresh from here.
        if (layout.Maximum)
            vScroll->setMaximum(*layout.Maximum);
        vScroll->setVisible(vScroll->maximum() > 0);
    } else {
        vScroll->setMaximum(0);
        vScroll->hide();
    }
}
