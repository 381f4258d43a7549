#include "app/ZanvoApplication.h"
#include "app/frmMain.h"
#include "board/RandomBoard.h"
#include "controls/usrBoard.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>

namespace {

void addEmpty(frmMain& w, int count)
{
    for (int i = 0; i < count; ++i)
        w.mnuEmpty->trigger();
}

// Captions of the visible elements, in element order.
QStringList shown(const frmMain& w)
{
    QStringList out;
    for (const usrBoard* e : w.usrBoards)
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

} // namespace

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

private:
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
    QVERIFY(w->usrBoards[0]->isHidden());
    QVERIFY(w->vScroll->isHidden());
    QCOMPARE(w->vScroll->maximum(), 0);
}

void tst_BoardView::tenBoardsScroll()
{
    addEmpty(*w, 10);
    QCOMPARE(w->usrBoards.size(), std::size_t(9));
    QCOMPARE(shown(*w), captions(1, 9));
    QCOMPARE(w->usrBoards[3]->pos(), QPoint(8, 217));
    QCOMPARE(w->vScroll->maximum(), 1);
    QVERIFY(w->vScroll->isVisible());
    w->vScroll->setValue(1);
    QCOMPARE(shown(*w), captions(4, 10));
    QVERIFY(w->usrBoards[7]->isHidden());
    QCOMPARE(w->usrBoards[0]->txtCell[0]->text(), QStringLiteral("00"));
}

void tst_BoardView::deleteWhileScrolled()
{
    addEmpty(*w, 13);
    for (int p = 1; p <= 13; ++p)
        w->Boards()->Item(p)->Numbers(0, p);
    w->vScroll->setValue(2);
    QCOMPARE(shown(*w).first(), QStringLiteral("Brett 7"));
    // The element's own "X": it must survive the refresh its click starts.
    QTest::mouseClick(w->usrBoards[0]->cmdDelete, Qt::LeftButton);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCOMPARE(w->Boards()->Count(), 12);
    QCOMPARE(w->Boards()->Item(1)->Numbers(0), 1);
    QCOMPARE(w->Boards()->Item(7)->Numbers(0), 8); // board 7 is gone
}

void tst_BoardView::deleteRecaptions()
{
    addEmpty(*w, 4);
    w->Boards()->Item(3)->Numbers(0, 33);
    QTest::mouseClick(w->usrBoards[1]->cmdDelete, Qt::LeftButton);
    QCOMPARE(shown(*w), captions(1, 3));
    QCOMPARE(w->usrBoards[1]->txtCell[0]->text(), QStringLiteral("33"));
    QTest::mouseClick(w->usrBoards[0]->cmdDelete, Qt::LeftButton);
    QTest::mouseClick(w->usrBoards[0]->cmdDelete, Qt::LeftButton);
    QTest::mouseClick(w->usrBoards[0]->cmdDelete, Qt::LeftButton);
    QCOMPARE(w->Boards()->Count(), 0);
    QVERIFY(w->usrBoards[0]->isHidden());
    QVERIFY(w->vScroll->isHidden());
}

void tst_BoardView::shrinkingListScrollsBack()
{
    addEmpty(*w, 16);
    w->vScroll->setValue(3);
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
    QVERIFY(w->usrBoards[0]->isHidden());
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
    QCOMPARE(w->usrBoards[0]->txtCell[24]->text(), usrBoard::FormatNumber(board.Numbers(24)));
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
    // A short board where element 4 was: cells beyond it look as on a new element.
    auto shortBoard = std::make_shared<clsBoard>();
    shortBoard->AppendNumber(42, CellWhite);
    auto list = std::make_shared<clsBoardCollection>();
    for (int p = 1; p <= 4; ++p)
        list->Add(w->Boards()->Item(p));
    list->Add(shortBoard);
    w->SetBoards(list);
    w->UpdateControls();
    usrBoard* e = w->usrBoards[4];
    const usrBoard fresh;
    QCOMPARE(e->Caption(), QStringLiteral("Brett 5"));
    QCOMPARE(e->txtCell[0]->text(), QStringLiteral("42"));
    QCOMPARE(e->txtCell[1]->text(), QStringLiteral("01"));
    QCOMPARE(e->txtCell[1]->palette().color(QPalette::Base), fresh.txtCell[1]->palette().color(QPalette::Base));
}

void tst_BoardView::typedNumberLandsInTheList()
{
    addEmpty(*w, 2);
    QLineEdit* cell = w->usrBoards[1]->txtCell[3];
    cell->selectAll();
    QTest::keyClicks(cell, QStringLiteral("17"));
    QCOMPARE(w->Boards()->Item(2)->Numbers(3), 17);
}

int main(int argc, char** argv)
{
    ZanvoApplication app(argc, argv);
    tst_BoardView test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_BoardView.moc"
