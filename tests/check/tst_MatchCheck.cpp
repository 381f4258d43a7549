// SPDX-License-Identifier: GPL-3.0-or-later
#include "board/clsBoard.h"
#include "board/clsBoardCollection.h"
#include "board/RandomBoard.h"
#include "check/MatchCheck.h"

#include <QTest>

#include <algorithm>
#include <vector>

#include <limits>
#include <memory>

namespace {

constexpr int Int32Min = std::numeric_limits<std::int32_t>::min();
constexpr int Int32Max = std::numeric_limits<std::int32_t>::max();

// A board whose cells carry leftover colours, so a check must overwrite every one.
clsBoard boardOf(const QList<int>& numbers)
{
    const int leftovers[] = {CellGreen, 0, 123456, CellWhite};
    clsBoard b;
    for (qsizetype i = 0; i < numbers.size(); ++i)
        b.AppendNumber(numbers[i], leftovers[i % 4]);
    return b;
}

QList<int> numbersOf(const clsBoard& b)
{
    QList<int> out;
    for (const BoardEntry& e : b.Entries())
        out << e.Number;
    return out;
}

QList<int> greenIndexes(const clsBoard& b)
{
    QList<int> out;
    for (int i = 0; i <= b.NumberCount(); ++i) {
        if (b.zanvo(i) == CellGreen)
            out << i;
        else if (b.zanvo(i) != CellWhite)
            out << -1000 - i; // neither colour: shows up as a mismatch
    }
    return out;
}

QList<int> zeros(int count)
{
    return QList<int>(count, 0);
}

// The numbers 0, step, 2 * step, ... below end, leaving out the multiples of skip.
QList<int> steps(int end, int step, int skip = 0)
{
    QList<int> out;
    for (int n = 0; n < end; n += step) {
        if (skip == 0 || n % skip != 0)
            out << n;
    }
    return out;
}

} // namespace

class tst_MatchCheck : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void checkBoard_data();
    void checkBoard();
    void everyBoardOfTheList();
    void repeatedAndShrinkingDraws();
    void countsWhatItColours_data();
    void countsWhatItColours();
};

void tst_MatchCheck::checkBoard_data()
{
    QTest::addColumn<QList<int>>("board");
    QTest::addColumn<QList<int>>("drawn");
    QTest::addColumn<QList<int>>("greens");

    QTest::newRow("no drawn numbers: all white") << QList<int>{5, 6, 7, 8} << QList<int>{} << QList<int>{};
    QTest::newRow("one hit") << QList<int>{5, 6, 7} << QList<int>{6} << QList<int>{1};
    QTest::newRow("first occurrence only") << QList<int>{3, 7, 9, 7, 7} << QList<int>{7} << QList<int>{1};
    QTest::newRow("zeros board, 0 drawn") << zeros(25) << QList<int>{0} << QList<int>{0};
    QTest::newRow("zeros board, 0 not drawn") << zeros(25) << QList<int>{1, 2} << QList<int>{};
    QTest::newRow("nothing drawn is on the board") << QList<int>{1, 2, 3} << QList<int>{4, 99, -1} << QList<int>{};
    QTest::newRow("order of the draw does not matter") << QList<int>{10, 20, 30, 40} << QList<int>{40, 10} << QList<int>{0, 3};
    QTest::newRow("every cell drawn") << QList<int>{4, 2, 9} << QList<int>{9, 4, 2} << QList<int>{0, 1, 2};
    QTest::newRow("extremes and negatives") << QList<int>{-4, Int32Max, 8, Int32Min}
                                            << QList<int>{Int32Min, -4, Int32Max - 1} << QList<int>{0, 3};
    QTest::newRow("hit in the last cell") << QList<int>{1, 2, 3, 4, 5} << QList<int>{5} << QList<int>{4};
    QTest::newRow("60 drawn") << steps(75, 3) << steps(120, 2) << steps(25, 2);
    QTest::newRow("more than 64 drawn") << steps(75, 3) << steps(100, 1, 7) << steps(25, 1, 7);
    QTest::newRow("repeats of several drawn numbers") << QList<int>{7, 3, 7, 3, 9, 3} << QList<int>{3, 7} << QList<int>{0, 1};
    QTest::newRow("repeats, more than 64 drawn") << QList<int>{50, 50, 2, 2, 50} << steps(100, 1, 7) << QList<int>{0, 2};
    QTest::newRow("a drawn number given twice") << QList<int>{1, 2, 1} << QList<int>{1, 1} << QList<int>{0};
    QTest::newRow("next to the drawn range") << QList<int>{21, 9, 20, 10, 11} << QList<int>{10, 20} << QList<int>{2, 3};
    QTest::newRow("empty board stays empty") << QList<int>{} << QList<int>{0, 1} << QList<int>{};
}

void tst_MatchCheck::checkBoard()
{
    QFETCH(QList<int>, board);
    QFETCH(QList<int>, drawn);
    QFETCH(QList<int>, greens);

    clsBoard b = boardOf(board);
    clsBoard d;
    for (int n : drawn)
        d.AppendNumber(n, 0);

    QCOMPARE(MatchCheck(d).Check(b), int(greens.size()));

    QCOMPARE(greenIndexes(b), greens);
    QCOMPARE(numbersOf(b), board); // only colours change
    QCOMPARE(b.NumberCount(), int(board.size()) - 1);
}

void tst_MatchCheck::everyBoardOfTheList()
{
    auto first = std::make_shared<clsBoard>(boardOf({7, 1, 7}));
    auto second = std::make_shared<clsBoard>(boardOf(zeros(25)));
    auto third = std::make_shared<clsBoard>(boardOf({2, 3, 4}));
    clsBoardCollection boards;
    boards.Add(first);
    boards.Add(second);
    boards.Add(third);
    clsBoard d;
    d.AppendNumber(0, 0);
    d.AppendNumber(7, 0);

    CheckBoards(boards, d);

    QCOMPARE(greenIndexes(*first), (QList<int>{0}));
    QCOMPARE(greenIndexes(*second), (QList<int>{0}));
    QCOMPARE(greenIndexes(*third), QList<int>{});
    QCOMPARE(boards.Count(), 3);
    QCOMPARE(boards.Item(1).get(), first.get());
    QCOMPARE(boards.Item(3).get(), third.get());
}

void tst_MatchCheck::repeatedAndShrinkingDraws()
{
    clsBoard b = boardOf({5, 8, 13, 21, 8});
    clsBoard d;
    d.AppendNumber(8, 0);
    d.AppendNumber(21, 0);

    CheckBoard(b, d);
    const clsBoard once = b;
    CheckBoard(b, d);
    QVERIFY(b == once); // checking twice changes nothing
    QCOMPARE(greenIndexes(b), (QList<int>{1, 3}));

    d.RemoveNumber(0); // 8 no longer drawn: its cell turns back to white
    CheckBoard(b, d);
    QCOMPARE(greenIndexes(b), (QList<int>{3}));
}

Q_DECLARE_METATYPE(std::vector<std::int32_t>)

void tst_MatchCheck::countsWhatItColours_data()
{
    QTest::addColumn<std::vector<std::int32_t>>("drawn");
    std::vector<std::int32_t> many;
    for (std::int32_t n = 0; n < 70; ++n)
        many.push_back(n * 3 % 100);
    many.erase(std::unique(many.begin(), many.end()), many.end());
    QTest::newRow("no drawn numbers") << std::vector<std::int32_t>{};
    QTest::newRow("a draw of six") << std::vector<std::int32_t>{3, 14, 27, 41, 56, 88};
    QTest::newRow("one number") << std::vector<std::int32_t>{7};
    QTest::newRow("negative and zero") << std::vector<std::int32_t>{-4, 0, 99};
    QTest::newRow("far apart") << std::vector<std::int32_t>{0, 50, 1000000};
    QTest::newRow("32-bit extremes") << std::vector<std::int32_t>{Int32Min, 7, Int32Max};
    QTest::newRow("more than 64 numbers") << many;
}

// The hits counted run by run, as zanvo-tool check reads a board, are the cells the
// check colours.
void tst_MatchCheck::countsWhatItColours()
{
    QFETCH(std::vector<std::int32_t>, drawn);
    clsBoard drawnBoard;
    for (const std::int32_t n : drawn)
        drawnBoard.AppendNumber(n, CellWhite);
    MatchCheck counter(drawnBoard);

    std::vector<clsBoard> boards = {
        clsBoard(),
        boardOf({7, 7, 7}),        // one hit however often it occurs
        boardOf(zeros(5)),         // an "Empty" board
        boardOf({Int32Min, Int32Max, -1, 1000000, 50}),
        boardOf({3, 14, 27, 41, 56, 88, 3, 14}),
        boardOf({-5, 100, 4096, 4097, 1000001}), // just outside the numbers drawn
    };
    const UniformSource uniform = SeededUniform(81);
    for (int i = 0; i < 200; ++i)
        boards.push_back(*MakeRandomBoard(uniform));

    for (clsBoard& board : boards) {
        const std::span<const BoardEntry> entries = board.Entries();
        const std::size_t half = entries.size() / 2;
        const auto numberAt = [&](std::size_t from) { return [&, from](std::size_t i) { return entries[from + i].Number; }; };
        for (int twice = 0; twice < 2; ++twice) { // no state left from the board before
            counter.StartBoard();
            counter.AddNumbers(half, numberAt(0));
            counter.AddNumbers(entries.size() - half, numberAt(half));
            QCOMPARE(counter.Hits(), MatchCheck(drawnBoard).Check(board));
        }
    }
}

QTEST_APPLESS_MAIN(tst_MatchCheck)

#include "tst_MatchCheck.moc"
