// SPDX-License-Identifier: GPL-3.0-or-later
#include "board/RandomBoard.h"

#include <QTest>

#include <array>
#include <set>

class tst_RandomBoard : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void boardProperties();
    void distribution();
    void redrawsDuplicatesInOrder();
    void clockSeedsDiffer();
};

void tst_RandomBoard::boardProperties()
{
    const UniformSource uniform = SeededUniform(1);
    for (int b = 0; b < 200; ++b) {
        const auto board = MakeRandomBoard(uniform);
        QCOMPARE(board->NumberCount(), 24);
        std::set<int> seen;
        for (int i = 0; i <= 24; ++i) {
            QVERIFY(board->Numbers(i) >= 0 && board->Numbers(i) <= 99);
            QCOMPARE(board->zanvo(i), CellWhite);
            seen.insert(board->Numbers(i));
        }
        QCOMPARE(seen.size(), std::size_t(25));
    }
}

void tst_RandomBoard::distribution()
{
    // 0 and 99 come from half-width intervals of r * 99, so half as often as 1..98.
    const UniformSource uniform = SeededUniform(20261207);
    std::array<int, 100> counts{};
    constexpr int boards = 8000;
    for (int b = 0; b < boards; ++b) {
        const auto board = MakeRandomBoard(uniform);
        for (int i = 0; i <= 24; ++i)
            ++counts[std::size_t(board->Numbers(i))];
    }
    double middle = 0;
    for (int v = 1; v <= 98; ++v)
        middle += counts[std::size_t(v)];
    middle /= 98.0;
    for (int v = 1; v <= 98; ++v)
        QVERIFY2(counts[std::size_t(v)] > middle * 0.9 && counts[std::size_t(v)] < middle * 1.1, qPrintable(QString::number(v)));
    for (int v : {0, 99}) {
        const double ratio = counts[std::size_t(v)] / middle;
        QVERIFY2(ratio > 0.4 && ratio < 0.6, qPrintable(QStringLiteral("%1: %2").arg(v).arg(ratio)));
    }
}

void tst_RandomBoard::redrawsDuplicatesInOrder()
{
    // A scripted source: r * 99 gives 5, 5 (redrawn), 2, 99, then a sweep.
    std::vector<float> script{5.0f / 99, 5.0f / 99, 2.0f / 99, 0.999f};
    for (int v = 0; v < 99; ++v)
        script.push_back((float(v) + 0.2f) / 99.0f);
    std::size_t next = 0;
    const auto board = MakeRandomBoard([&] { return script.at(next++); });
    QCOMPARE(board->Numbers(0), 5);
    QCOMPARE(board->Numbers(1), 2);
    QCOMPARE(board->Numbers(2), 99);
    QCOMPARE(board->Numbers(3), 0); // the sweep skips 2 and 5, already drawn
    QCOMPARE(board->Numbers(4), 1);
    QCOMPARE(board->Numbers(5), 3);
    QCOMPARE(board->Numbers(6), 4);
    QCOMPARE(board->Numbers(7), 6);
}

void tst_RandomBoard::clockSeedsDiffer()
{
    // Two boards made in quick succession never share their numbers' order.
    std::set<std::vector<int>> boards;
    for (int b = 0; b < 50; ++b) {
        const auto board = MakeRandomBoard(ClockSeededUniform());
        std::vector<int> numbers;
        for (int i = 0; i <= 24; ++i)
            numbers.push_back(board->Numbers(i));
        boards.insert(numbers);
    }
    QCOMPARE(boards.size(), std::size_t(50));
}

QTEST_APPLESS_MAIN(tst_RandomBoard)
#include "tst_RandomBoard.moc"
