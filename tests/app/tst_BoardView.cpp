// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/BoardScrollBar.h"
#include "app/BoardView.h"
#include "app/ZanvoApplication.h"
#include "app/frmMain.h"
#include "board/BoardFileIO.h"
#include "check/frmCheck.h"
#include "board/RandomBoard.h"
#include "controls/CellEditor.h"
#include "controls/usrBoard.h"

#include <QAccessible>
#include <QAction>
#include <QLabel>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalSpy>
#include <QStyleFactory>
#include <QStyleOptionSlider>
#include <QTemporaryDir>
#include <QTest>
#include <QWheelEvent>

#include <functional>

namespace {

// Adds `count` empty boards and scrolls the view to `position`.
void addEmpty(frmMain& w, int count, int position = 0)
{
    for (int i = 0; i < count; ++i)
        w.mnuEmpty->trigger();
    if (position > 0)
        w.vScroll->setValue(position);
}

// Captions of the visible elements, in element order.
QStringList shown(const frmMain& w)
{
    QStringList out;
    for (const usrBoard* e : w.picClient->Elements())
        if (e->isVisible())
            out << e->Caption();
    return out;
}

QStringList captions(int from, int to)
{
    QStringList out;
    for (int p = from; p <= to; ++p)
        out << QStringLiteral("Brett %1").arg(p);
    return out;
}

usrBoard* elementCaptioned(const frmMain& w, int position)
{
    for (usrBoard* e : w.picClient->Elements())
        if (e->isVisible() && e->Caption() == QStringLiteral("Brett %1").arg(position))
            return e;
    return nullptr;
}

// A million boards sharing one, but for a last board of its own.
const clsBoardCollection& millionBoards()
{
    static const clsBoardCollection list = [] {
        clsBoardCollection out;
        out.Reserve(1'000'000);
        auto shared = std::make_shared<clsBoard>();
        shared->AllocateNumbers(24);
        for (int i = 1; i < 1'000'000; ++i)
            out.Add(shared);
        auto last = std::make_shared<clsBoard>();
        last->AllocateNumbers(24);
        out.Add(last);
        return out;
    }();
    return list;
}

void turnWheel(QWidget* target, int notches)
{
    const QPointF at(10, 10);
    QWheelEvent wheel(at, target->mapToGlobal(at), QPoint(), QPoint(0, -120 * notches), Qt::NoButton, Qt::NoModifier,
                      Qt::NoScrollPhase, false);
    QApplication::sendEvent(target, &wheel);
}

// Drags the scroll bar's thumb from the top down past the bar's end.
void dragThumbToBottom(QScrollBar* bar)
{
    QStyleOptionSlider opt;
    opt.initFrom(bar);
    opt.orientation = Qt::Vertical;
    opt.maximum = bar->maximum();
    const QPoint grip = bar->style()->subControlRect(QStyle::CC_ScrollBar, &opt, QStyle::SC_ScrollBarSlider, bar).center();
    const QPoint below(grip.x(), bar->height() + 40);
    QTest::mousePress(bar, Qt::LeftButton, {}, grip);
    QMouseEvent move(QEvent::MouseMove, below, bar->mapToGlobal(below), Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(bar, &move);
    QTest::mouseRelease(bar, Qt::LeftButton, {}, below);
}

} // namespace

using ViewAction = std::function<void(frmMain&)>;
Q_DECLARE_METATYPE(ViewAction)

class tst_BoardView : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init();
    void emptyList();
    void tenBoardsScroll();
    void deleteWhileScrolled();
    void deleteRecaptions();
    void shrinkingListScrollsBack();
    void clearAll();
    void randomBoard();
    void lastBoardReachableAtSeveralWidths_data();
    void lastBoardReachableAtSeveralWidths();
    void reusedElementLooksNew();
    void typedNumberLandsInTheList();
    void typingTable_data();
    void typingTable();
    void everyBoardOfAMillionReachable_data();
    void everyBoardOfAMillionReachable();
    void focusFollowsItsBoard_data();
    void focusFollowsItsBoard();
    void pageKeysFromAnywhereInTheView_data();
    void pageKeysFromAnywhereInTheView();
    void tabReachesWhatIsSeen();
    void resizeKeepsThePlace_data();
    void resizeKeepsThePlace();
    void scrollBarLooksAsDrawn_data();
    void scrollBarLooksAsDrawn();

private:
    void activate();

    std::unique_ptr<frmMain> w;
};

void tst_BoardView::init()
{
    w = std::make_unique<frmMain>();
    w->show();
    QVERIFY(QTest::qWaitForWindowExposed(w.get()));
}

void tst_BoardView::emptyList()
{
    QCOMPARE(w->picContainer->size(), QSize(552, 478));
    QVERIFY(w->picClient->Elements()[0]->isHidden());
    QVERIFY(w->vScroll->isHidden());
    QCOMPARE(w->vScroll->maximum(), 0);
}

void tst_BoardView::tenBoardsScroll()
{
    addEmpty(*w, 10);
    QCOMPARE(w->picClient->Elements().size(), std::size_t(9));
    QCOMPARE(shown(*w), captions(1, 9));
    QCOMPARE(w->picClient->Elements()[3]->pos(), QPoint(8, 217));
    QCOMPARE(w->vScroll->maximum(), 2); // the last step shows boards 7 to 10 wholly
    QVERIFY(w->vScroll->isVisible());
    w->vScroll->setValue(1);
    QCOMPARE(shown(*w), captions(4, 10));
    // A screen reader hears the boards wholly in view, not a row number.
    QAccessibleInterface* bar = QAccessible::queryAccessibleInterface(w->vScroll);
    QCOMPARE(bar->text(QAccessible::Name), QStringLiteral("Boards"));
    QCOMPARE(bar->text(QAccessible::Description), QStringLiteral("Boards 4 to 9 of 10"));
    QVERIFY(w->picClient->Elements()[7]->isHidden());
    QCOMPARE(w->picClient->Elements()[0]->CellText(0), QStringLiteral("00"));
}

void tst_BoardView::deleteWhileScrolled()
{
    addEmpty(*w, 13);
    for (int p = 1; p <= 13; ++p)
        w->Boards()->Item(p)->Numbers(0, p);
    w->vScroll->setValue(2);
    QCOMPARE(shown(*w).first(), QStringLiteral("Brett 7"));
    // The element's own "X": it must survive the refresh its click starts.
    QTest::mouseClick(w->picClient->Elements()[0]->cmdDelete, Qt::LeftButton);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCOMPARE(w->Boards()->Count(), 12);
    QCOMPARE(w->Boards()->Item(1)->Numbers(0), 1);
    QCOMPARE(w->Boards()->Item(7)->Numbers(0), 8); // board 7 is gone
}

void tst_BoardView::deleteRecaptions()
{
    addEmpty(*w, 4);
    w->Boards()->Item(3)->Numbers(0, 33);
    QTest::mouseClick(w->picClient->Elements()[1]->cmdDelete, Qt::LeftButton);
    QCOMPARE(shown(*w), captions(1, 3));
    QCOMPARE(w->picClient->Elements()[1]->CellText(0), QStringLiteral("33"));
    QTest::mouseClick(w->picClient->Elements()[0]->cmdDelete, Qt::LeftButton);
    QTest::mouseClick(w->picClient->Elements()[0]->cmdDelete, Qt::LeftButton);
    QTest::mouseClick(w->picClient->Elements()[0]->cmdDelete, Qt::LeftButton);
    QCOMPARE(w->Boards()->Count(), 0);
    QVERIFY(w->picClient->Elements()[0]->isHidden());
    QVERIFY(w->vScroll->isHidden());
}

void tst_BoardView::shrinkingListScrollsBack()
{
    addEmpty(*w, 16, 3);
    QCOMPARE(shown(*w).first(), QStringLiteral("Brett 10"));
    // Down to three boards: the maximum drops to 0 and the nested refresh shows board 1.
    auto smaller = std::make_shared<clsBoardCollection>();
    for (int p = 1; p <= 3; ++p)
        smaller->Add(w->Boards()->Item(p));
    w->SetBoards(smaller);
    w->UpdateControls();
    QCOMPARE(w->vScroll->value(), 0);
    QCOMPARE(shown(*w), captions(1, 3));
    QVERIFY(w->vScroll->isHidden());
}

void tst_BoardView::clearAll()
{
    addEmpty(*w, 5);
    const BoardsRef old = w->Boards();
    w->mnuClearAll->trigger();
    QVERIFY(w->Boards() != old);
    QCOMPARE(w->Boards()->Count(), 0);
    QVERIFY(w->picClient->Elements()[0]->isHidden());
    w->mnuClearAll->trigger(); // on an empty list as well
    QCOMPARE(w->Boards()->Count(), 0);
}

void tst_BoardView::randomBoard()
{
    w->RandomSource = [] { return SeededUniform(7); };
    w->mnuRandom->trigger();
    w->mnuEmpty->trigger();
    w->mnuRandom->trigger();
    QCOMPARE(w->Boards()->Count(), 3);
    QVERIFY(*w->Boards()->Item(1) == *w->Boards()->Item(3)); // same seed, same board
    QCOMPARE(shown(*w), captions(1, 3));
    const auto& board = *w->Boards()->Item(1);
    QCOMPARE(w->picClient->Elements()[0]->CellText(24), usrBoard::FormatNumber(board.Numbers(24)));
}

void tst_BoardView::lastBoardReachableAtSeveralWidths_data()
{
    QTest::addColumn<int>("width");
    QTest::newRow("one per row") << 300;
    QTest::newRow("two per row") << 450;
    QTest::newRow("initial") << 568;
    QTest::newRow("wide") << 1200;
}

void tst_BoardView::lastBoardReachableAtSeveralWidths()
{
    QFETCH(int, width);
    w->resize(width, w->height());
    addEmpty(*w, 40);
    w->vScroll->setValue(w->vScroll->maximum());
    QVERIFY(shown(*w).contains(QStringLiteral("Brett 40")));
    QVERIFY(!shown(*w).contains(QStringLiteral("Brett 41")));
}

void tst_BoardView::reusedElementLooksNew()
{
    addEmpty(*w, 6);
    w->Boards()->Item(5)->zanvo(0, CellGreen);
    w->UpdateControls();
    // A short board where element 4 was: cells beyond it hold nothing, nothing left over.
    auto shortBoard = std::make_shared<clsBoard>();
    shortBoard->AppendNumber(42, CellWhite);
    auto list = std::make_shared<clsBoardCollection>();
    for (int p = 1; p <= 4; ++p)
        list->Add(w->Boards()->Item(p));
    list->Add(shortBoard);
    w->SetBoards(list);
    w->UpdateControls();
    usrBoard* e = w->picClient->Elements()[4];
    QCOMPARE(e->Caption(), QStringLiteral("Brett 5"));
    QCOMPARE(e->CellText(0), QStringLiteral("42"));
    QVERIFY(!e->HoldsNumber(1));
    QVERIFY(e->CellText(1).isEmpty());
    QCOMPARE(e->CellColour(1), usrBoard::NoColour);
}

void tst_BoardView::typedNumberLandsInTheList()
{
    addEmpty(*w, 2);
    QVERIFY(w->picClient->EditCell(w->picClient->Elements()[1], 3, Qt::TabFocusReason));
    QTest::keyClicks(w->picClient->Editor(), QStringLiteral("17"));
    QCOMPARE(w->Boards()->Item(2)->Numbers(3), 17);
}

// Typed into cell 1 of Brett 1 of eight: "1", something, then "2" (or what `after`
// does). The board and the saved file hold what was typed into that cell; Brett 1's
// cell 2 holds only what was typed there.
void tst_BoardView::typingTable_data()
{
    QTest::addColumn<ViewAction>("between");
    QTest::addColumn<ViewAction>("after");
    QTest::addColumn<int>("cell");
    QTest::addColumn<int>("next");
    const ViewAction two = [](frmMain&) { QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("2")); };
    const auto row = [&](const char* name, ViewAction between) { QTest::newRow(name) << between << two << 12 << 0; };
    row("Random", [](frmMain& m) { m.mnuRandom->trigger(); });
    row("Empty", [](frmMain& m) { m.mnuEmpty->trigger(); });
    row("Ctrl+E", [](frmMain&) { QTest::keyClick(QApplication::focusWidget(), Qt::Key_E, Qt::ControlModifier); });
    row("resize", [](frmMain& m) { m.resize(m.width() + 200, m.height() + 100); });
    row("wheel step: out of view", [](frmMain& m) { turnWheel(m.picClient, 1); });
    row("scroll bar to the end", [](frmMain& m) { m.vScroll->setValue(m.vScroll->maximum()); });
    row("PageDown and back", [](frmMain&) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_PageDown);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_PageUp);
    });
    row("check from the dialog", [](frmMain& m) {
        m.mnuCheck->trigger();
        QTest::mouseClick(m.CheckDialog()->cmdCheck, Qt::LeftButton);
    });
    row("another board deleted", [](frmMain& m) { QTest::mouseClick(m.picClient->Elements()[1]->cmdDelete, Qt::LeftButton); });
    // Each visit is its own: undo never reaches into another cell's typing.
    QTest::newRow("undo after a visit elsewhere") << ViewAction([](frmMain&) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("34"));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("1"));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab, Qt::ShiftModifier);
    }) << ViewAction([](frmMain&) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Z, Qt::ControlModifier);
    }) << 1 << 1;
    // A dead key still pending when the editor moves stays behind.
    QTest::newRow("composition pending at Tab") << ViewAction([](frmMain&) {
        QInputMethodEvent accent(QStringLiteral("\u00b4"), {});
        QApplication::sendEvent(QApplication::focusWidget(), &accent);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    }) << ViewAction([](frmMain& m) {
        QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("57"));
        QCOMPARE(m.picClient->Editor()->text(), QStringLiteral("57"));
    }) << 1 << 57;
}

void tst_BoardView::typingTable()
{
    QFETCH(ViewAction, between);
    QFETCH(ViewAction, after);
    QFETCH(int, cell);
    QFETCH(int, next);
    addEmpty(*w, 8);
    activate();
    const auto board1 = w->Boards()->Item(1);
    QVERIFY(w->picClient->FocusBoard(1, 0, Qt::TabFocusReason));
    QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("1"));
    between(*w);
    after(*w);
    QCOMPARE(board1->Numbers(0), cell);
    QCOMPARE(board1->Numbers(1), next);
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("typed.dat"));
    w->SaveFile(file);
    QCOMPARE(ReadBoardFile(file)->Item(1)->Numbers(0), cell);
    // The keyboard stayed in the cell, which is in view again.
    QCOMPARE(QApplication::focusWidget(), w->picClient->Editor());
    QVERIFY(w->picClient->EditedElement());
}

void tst_BoardView::activate()
{
    QApplication::setActiveWindow(w.get());
    QVERIFY(QTest::qWaitForWindowActive(w.get()));
}

void tst_BoardView::everyBoardOfAMillionReachable_data()
{
    QTest::addColumn<int>("width");
    QTest::addColumn<ViewAction>("toTheEnd");
    const std::pair<const char*, ViewAction> ways[] = {
        {"thumb", [](frmMain& m) { dragThumbToBottom(m.vScroll); }},
        {"wheel", [](frmMain& m) { m.vScroll->setValue(m.vScroll->maximum() - 1); turnWheel(m.picClient, 1); }},
        {"keyboard", [](frmMain& m) {
             m.picClient->EditCell(m.picClient->Elements()[0], 0, Qt::TabFocusReason);
             QTest::keyClick(m.picClient->Editor(), Qt::Key_End, Qt::ControlModifier);
         }}};
    for (const int width : {300, 568, 1920})
        for (const auto& [how, toTheEnd] : ways)
            QTest::addRow("%d wide, %s", width, how) << width << toTheEnd;
}

void tst_BoardView::everyBoardOfAMillionReachable()
{
    QFETCH(int, width);
    QFETCH(ViewAction, toTheEnd);
    w->resize(width, w->height());
    auto list = std::make_shared<clsBoardCollection>(millionBoards());
    const auto last = list->Item(list->Count());
    w->SetBoards(list);
    w->UpdateControls();
    QScrollBar* bar = w->vScroll;
    QVERIFY(bar->isVisible());
    toTheEnd(*w);
    QCOMPARE(bar->value(), bar->maximum());
    usrBoard* shown = elementCaptioned(*w, 1'000'000);
    QVERIFY(shown);
    // Its cells and "X" work there too.
    QVERIFY(w->picClient->EditCell(shown, 0, Qt::TabFocusReason));
    QTest::keyClicks(w->picClient->Editor(), QStringLiteral("77"));
    QCOMPARE(last->Numbers(0), 77);
    QTest::mouseClick(shown->cmdDelete, Qt::LeftButton);
    QCOMPARE(w->Boards()->Count(), 999'999);
    QVERIFY(w->Boards()->Item(999'999) != last);
}

void tst_BoardView::focusFollowsItsBoard_data()
{
    // Brett 5 (element 1 at scroll position 1) has the focus, cell 3 with the caret
    // after its first digit, or its "X".
    QTest::addColumn<ViewAction>("action");
    QTest::addColumn<bool>("onDelete");
    // That has the focus afterwards; -1 the view itself, -2 the editor out of view.
    QTest::addColumn<int>("element");
    const auto row = [](const char* name, ViewAction action, bool onDelete, int element) {
        QTest::newRow(name) << action << onDelete << element;
    };
    row("wheel down: out of view", [](frmMain& m) { turnWheel(m.picClient, 1); }, false, -2);
    row("another board's X clicked", [](frmMain& m) {
        QTest::mouseClick(m.picClient->Elements()[0]->cmdDelete, Qt::LeftButton);
    }, false, 0);
    row("wheel up: follows", [](frmMain& m) { turnWheel(m.picClient, -1); }, false, 4);
    row("earlier board deleted", [](frmMain& m) { m.usrBoard_DeleteBoard(0); }, false, 0);
    row("resize to six a row", [](frmMain& m) { m.resize(1200, m.height()); }, false, 4);
    row("refresh in place, as after Check", [](frmMain& m) { m.UpdateControls(); }, false, 1);
    row("clear all", [](frmMain& m) { m.mnuClearAll->trigger(); }, false, -1);
    row("its own X", [](frmMain& m) { QTest::keyClick(m.picClient->Elements()[1]->cmdDelete, Qt::Key_Space); }, true, -1);
}

void tst_BoardView::focusFollowsItsBoard()
{
    QFETCH(ViewAction, action);
    QFETCH(bool, onDelete);
    QFETCH(int, element);
    addEmpty(*w, 30, 1);
    activate();
    QCOMPARE(w->picClient->Elements()[1]->Caption(), QStringLiteral("Brett 5"));
    const auto board5 = w->Boards()->Item(5);
    board5->Numbers(3, 45);
    w->UpdateControls();
    CellEditor* editor = w->picClient->Editor();
    if (onDelete) {
        w->picClient->Elements()[1]->cmdDelete->setFocus(Qt::MouseFocusReason);
    } else {
        QVERIFY(w->picClient->EditCell(w->picClient->Elements()[1], 3, Qt::MouseFocusReason));
        editor->setCursorPosition(1);
    }

    action(*w);
    QWidget* focus = QApplication::focusWidget();
    if (element == -2) {
        // Still the keyboard's; the next key brings the cell back and goes into it.
        QCOMPARE(focus, editor);
        QVERIFY(!w->picClient->EditedElement());
        QTest::keyClicks(editor, QStringLiteral("9"));
        QCOMPARE(board5->Numbers(3), 495);
        QVERIFY(w->picClient->EditedElement());
        QCOMPARE(w->picClient->EditedElement()->Board, board5);
        return;
    }
    if (element >= 0) {
        usrBoard* e = w->picClient->Elements()[std::size_t(element)];
        QCOMPARE(e->Board, board5);
        QCOMPARE(focus, onDelete ? static_cast<QWidget*>(e->cmdDelete) : editor);
        QCOMPARE(e->EditedCell(), onDelete ? -1 : 3);
        if (!onDelete)
            QCOMPARE(editor->cursorPosition(), 1);
        return;
    }
    // The view itself has the focus and shows it; typing and Space change nothing.
    QCOMPARE(focus, w->picClient);
    QVERIFY(editor->isHidden());
    const QImage view = w->picClient->grab().toImage();
    QCOMPARE(view.pixelColor(1, view.height() / 2), w->picClient->palette().color(QPalette::Highlight));
    const int count = w->Boards()->Count();
    QTest::keyClicks(focus, QStringLiteral("9 "));
    QTest::keyClick(focus, Qt::Key_Space);
    QCOMPARE(w->Boards()->Count(), count);
    for (const auto& board : *w->Boards())
        for (int k = 1; k < 25; ++k)
            QCOMPARE(board->Numbers(k), k == 3 && board == board5 ? 45 : 0);
    if (!onDelete)
        return;
    // Tab goes on with the board that took the deleted one's place.
    QTest::keyClick(focus, Qt::Key_Tab);
    QCOMPARE(w->picClient->EditedPosition(), 5);
    QCOMPARE(w->picClient->EditedCell(), 0);
}

void tst_BoardView::pageKeysFromAnywhereInTheView_data()
{
    QTest::addColumn<int>("from"); // a cell, 25 for "X", -1 the view itself
    QTest::addColumn<QKeySequence>("keys");
    QTest::addColumn<int>("position"); // from position 2 of 0..12
    QTest::newRow("cell, PageDown: the two whole rows") << 7 << QKeySequence(Qt::Key_PageDown) << 4;
    QTest::newRow("cell, Ctrl+End") << 7 << QKeySequence(Qt::CTRL | Qt::Key_End) << 12;
    QTest::newRow("cell, plain End stays in the text") << 7 << QKeySequence(Qt::Key_End) << 2;
    QTest::newRow("X, PageUp") << 25 << QKeySequence(Qt::Key_PageUp) << 0;
    QTest::newRow("view, Ctrl+Home") << -1 << QKeySequence(Qt::CTRL | Qt::Key_Home) << 0;
}

void tst_BoardView::pageKeysFromAnywhereInTheView()
{
    QFETCH(int, from);
    QFETCH(QKeySequence, keys);
    QFETCH(int, position);
    addEmpty(*w, 40, 2);
    usrBoard* e = w->picClient->Elements()[4];
    if (from >= 0 && from < 25)
        QVERIFY(w->picClient->EditCell(e, from, Qt::TabFocusReason));
    QWidget* target = from < 0 ? w->picClient : from == 25 ? static_cast<QWidget*>(e->cmdDelete) : w->picClient->Editor();
    QTest::keySequence(target, keys);
    QCOMPARE(w->vScroll->value(), position);
}

void tst_BoardView::tabReachesWhatIsSeen()
{
    addEmpty(*w, 30);
    activate();
    w->picClient->setFocus(Qt::TabFocusReason);
    // Once round: the view, every cell and "X" of every board in list order, each
    // board scrolled wholly into view as it is reached, the scroll bar, the view.
    QStringList stops;
    const QRect seen = w->picClient->rect();
    for (int i = 0; i < 1000 && (stops.isEmpty() || stops.back() != QStringLiteral("view")); ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QWidget* focus = QApplication::focusWidget();
        const usrBoard* element = qobject_cast<const usrBoard*>(focus->parentWidget());
        const CellEditor* editor = w->picClient->Editor();
        if (focus == editor)
            element = editor->Element();
        if (element) {
            QVERIFY(seen.contains(element->geometry()));
            stops << QStringLiteral("%1:%2").arg(w->picClient->PositionOf(element)).arg(focus == editor ? editor->Cell() : 25);
        } else {
            stops << (focus == w->vScroll ? QStringLiteral("bar") : focus == w->picClient ? QStringLiteral("view") : focus->objectName());
        }
    }
    QStringList expected;
    for (int p = 1; p <= 30; ++p)
        for (int part = 0; part <= 25; ++part)
            expected << QStringLiteral("%1:%2").arg(p).arg(part);
    expected << QStringLiteral("bar") << QStringLiteral("view");
    QCOMPARE(stops, expected);
}

void tst_BoardView::resizeKeepsThePlace_data()
{
    QTest::addColumn<int>("fromWidth");
    QTest::addColumn<int>("position");
    QTest::addColumn<int>("toWidth");
    QTest::addColumn<int>("toHeight");
    QTest::addColumn<int>("first"); // the board in view before, in the first row after
    QTest::newRow("ten a row to three") << 1920 << 7 << 568 << 0 << 71;
    QTest::newRow("three a row to ten") << 568 << 10 << 1920 << 0 << 31;
    QTest::newRow("initial width, taller") << 568 << 10 << 568 << 700 << 31;
}

void tst_BoardView::resizeKeepsThePlace()
{
    QFETCH(int, fromWidth);
    QFETCH(int, position);
    QFETCH(int, toWidth);
    QFETCH(int, toHeight);
    QFETCH(int, first);
    w->resize(fromWidth, w->height());
    addEmpty(*w, 100, position);
    QCOMPARE(w->picClient->Elements()[0]->Caption(), QStringLiteral("Brett %1").arg(first));
    const int height = toHeight ? toHeight : w->height();
    QSignalSpy refreshes(w.get(), &frmMain::ControlsUpdated);
    w->resize(toWidth, height);
    QCOMPARE(refreshes.count(), 1); // one refresh per resize
    usrBoard* e = elementCaptioned(*w, first);
    QVERIFY(e);
    QCOMPARE(e->y(), w->picClient->Elements()[0]->y());
    if (toWidth == fromWidth) // nothing changes at the same row length
        QCOMPARE(w->vScroll->value(), position);
}

void tst_BoardView::scrollBarLooksAsDrawn_data()
{
    QTest::addColumn<QString>("style");
    QTest::newRow("Fusion") << QStringLiteral("Fusion");
    QTest::newRow("Adwaita-Dark") << QStringLiteral("Adwaita-Dark");
}

// The view's bar keeps a picture of itself and redraws only its thumb and arrows; after
// any run of steps it must look as a bar drawn whole.
void tst_BoardView::scrollBarLooksAsDrawn()
{
    QFETCH(QString, style);
    std::unique_ptr<QStyle> theStyle(QStyleFactory::create(style));
    if (!theStyle)
        QSKIP("style not installed");
    QWidget window;
    BoardScrollBar kept(Qt::Vertical, &window);
    QScrollBar plain(Qt::Vertical, &window);
    for (QScrollBar* bar : {static_cast<QScrollBar*>(&kept), &plain}) {
        bar->setStyle(theStyle.get());
        bar->setGeometry(bar == &kept ? 40 : 80, 40, 17, 400); // away from the pointer
        bar->setRange(0, 1000);
        bar->setPageStep(10);
    }
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    // Less than a pixel, many pixels, to either end and back.
    for (int value : {0, 1, 2, 500, 1000, 999, 0, 3}) {
        kept.setValue(value);
        plain.setValue(value);
        QCOMPARE(kept.grab().toImage(), plain.grab().toImage());
    }
    // A new palette, then a place shown before it: nothing of the old colours stays.
    QPalette palette = window.palette();
    palette.setColor(QPalette::Button, Qt::darkGreen);
    palette.setColor(QPalette::Window, Qt::darkBlue);
    window.setPalette(palette);
    for (int value : {3, 0}) {
        kept.setValue(value);
        plain.setValue(value);
        QCOMPARE(kept.grab().toImage(), plain.grab().toImage());
    }
}

int main(int argc, char** argv)
{
    ZanvoApplication app(argc, argv);
    tst_BoardView test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_BoardView.moc"
