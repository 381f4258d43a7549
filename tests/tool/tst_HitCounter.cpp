// SPDX-License-Identifier: GPL-3.0-or-later
#include "tool/HitCounter.h"

#include "board/RandomBoard.h"
#include "check/MatchCheck.h"

#include <QTest>

#include <algorithm>
#include <limits>
#include <vector>

namespace {

constexpr std::int32_t Lowest = std::numeric_limits<std::int32_t>::min();
constexpr std::int32_t Highest = std::numeric_limits<std::int32_t>::max();

clsBoard boardOf(const std::vector<std::int32_t>& numbers)
{
    clsBoard b;
    for (const std::int32_t n : numbers)
        b.AppendNumber(n, CellWhite);
    return b;
}

int greensAfterCheck(clsBoard board, const clsBoard& drawn)
{
    CheckBoard(board, drawn);
    int greens = 0;
    for (const BoardEntry& e : board.Entries())
        greens += e.Colour == CellGreen ? 1 : 0;
    return greens;
}

} // namespace

Q_DECLARE_METATYPE(std::vector<std::int32_t>)

class tst_HitCounter : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void countsWhatTheCheckColours_data();
    void countsWhatTheCheckColours();
};

void tst_HitCounter::countsWhatTheCheckColours_data()
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
    QTest::newRow("32-bit extremes") << std::vector<std::int32_t>{Lowest, 7, Highest};
    QTest::newRow("more than 64 numbers") << many;
}

void tst_HitCounter::countsWhatTheCheckColours()
{
    QFETCH(std::vector<std::int32_t>, drawn);
    const clsBoard drawnBoard = boardOf(drawn);
    const HitCounter counter(drawnBoard);

    std::vector<clsBoard> boards = {
        clsBoard(),
        boardOf({7, 7, 7}),                         // one hit however often it occurs
        boardOf({0, 0, 0, 0, 0}),                   // an "Empty" board
        boardOf({Lowest, Highest, -1, 1000000, 50}),
        boardOf({3, 14, 27, 41, 56, 88, 3, 14}),
        boardOf({-5, 100, 4096, 4097, 1000001}),    // just outside the numbers drawn
    };
    const UniformSource uniform = SeededUniform(81);
    for (int i = 0; i < 200; ++i)
        boards.push_back(*MakeRandomBoard(uniform));

    for (const clsBoard& board : boards) {
        const int expected = greensAfterCheck(board, drawnBoard);
        QCOMPARE(counter.Count(board.Entries()), expected);
        QCOMPARE(counter.Count(board.Entries()), expected); // no state left from the board before
    }
}

QTEST_GUILESS_MAIN(tst_HitCounter)
#include "tst_HitCounter.moc"
