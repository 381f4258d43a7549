// SPDX-License-Identifier: GPL-3.0-or-later
#include "board/clsBoard.h"
#include "board/clsBoardCollection.h"
#include "board/ZanvoError.h"

#include <QTest>

#include <functional>
#include <limits>
#include <vector>

namespace {

clsBoard boardOf(const std::vector<int>& numbers, int colourBase = 100)
{
    clsBoard b;
    for (std::size_t i = 0; i < numbers.size(); ++i)
        b.AppendNumber(numbers[i], colourBase + static_cast<int>(i));
    return b;
}

std::vector<int> numbersOf(const clsBoard& b)
{
    std::vector<int> out;
    for (int i = 0; i <= b.NumberCount(); ++i)
        out.push_back(b.Numbers(i));
    return out;
}

int errorNumberOf(const std::function<void()>& f)
{
    try {
        f();
    } catch (const ZanvoError& e) {
        return e.Number();
    }
    return 0;
}

} // namespace

class tst_clsBoard : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void newBoardIsEmpty();
    void allocateNumbers();
    void appendNumber();
    void outOfRangeIndexes_data();
    void outOfRangeIndexes();
    void removeNumber();
    void removeOutOfRange();
    void findNumber_data();
    void findNumber();
    void findWritesBackEndLocOnly();
    void findOnEmptyBoard();
    void negativeArguments();
    void numberCountWriteKeepsStorageConsistent();
    void copyIsDeep();
    void collectionPositions();
};

void tst_clsBoard::newBoardIsEmpty()
{
    clsBoard b;
    QCOMPARE(b.NumberCount(), -1);
    QVERIFY(!b.IsNumber(0));
    QVERIFY(!b.IsNumber(-1));
    QCOMPARE(b.Numbers(0), 0);
    QCOMPARE(b.zanvo(0), 0);
    QCOMPARE(b.FindNumber(0), -1);
    QVERIFY(b.Entries().data() == nullptr); // no storage at all
    QCOMPARE(b.Entries().size(), std::size_t(0));
}

void tst_clsBoard::allocateNumbers()
{
    clsBoard b = boardOf({5, 6, 7});
    b.AllocateNumbers(24);
    QCOMPARE(b.NumberCount(), 24);
    QCOMPARE(b.Entries().size(), std::size_t(25));
    for (int i = 0; i <= 24; ++i) {
        QCOMPARE(b.Numbers(i), 0);
        QCOMPARE(b.zanvo(i), CellWhite);
    }
    QCOMPARE(CellWhite, 16777215);
    QCOMPARE(CellGreen, 65280);
    b.AllocateNumbers(0);
    QCOMPARE(b.NumberCount(), 0);
    QCOMPARE(b.Entries().size(), std::size_t(1));
}

void tst_clsBoard::appendNumber()
{
    clsBoard b;
    b.AppendNumber(7, 0);
    QCOMPARE(b.NumberCount(), 0);
    QCOMPARE(b.Numbers(0), 7);
    QCOMPARE(b.zanvo(0), 0);
    b.AppendNumber(-12, CellGreen);
    QCOMPARE(b.NumberCount(), 1);
    QCOMPARE(b.Entries().size(), std::size_t(2));
    QCOMPARE(b.Numbers(0), 7);
    QCOMPARE(b.Numbers(1), -12);
    QCOMPARE(b.zanvo(1), CellGreen);
}

void tst_clsBoard::outOfRangeIndexes_data()
{
    QTest::addColumn<int>("index");
    QTest::newRow("one past the end") << 3;
    QTest::newRow("minus one") << -1;
    QTest::newRow("int min") << std::numeric_limits<int>::min();
    QTest::newRow("int max") << std::numeric_limits<int>::max();
}

void tst_clsBoard::outOfRangeIndexes()
{
    QFETCH(int, index);
    clsBoard b = boardOf({1, 2, 3});
    const clsBoard before = b;
    b.Numbers(index, 5);
    b.zanvo(index, 5);
    QVERIFY(b == before);
    QCOMPARE(b.Numbers(index), 0);
    QCOMPARE(b.zanvo(index), 0);
    QVERIFY(!b.IsNumber(index));
}

void tst_clsBoard::removeNumber()
{
    clsBoard b = boardOf({3, 8, 9});
    b.RemoveNumber(0);
    QCOMPARE(numbersOf(b), (std::vector<int>{8, 9}));
    QCOMPARE(b.zanvo(0), 101); // each keeps its own colour
    QCOMPARE(b.zanvo(1), 102);
    QCOMPARE(b.Entries().size(), std::size_t(2));
    b.RemoveNumber(1);
    QCOMPARE(numbersOf(b), (std::vector<int>{8}));
    b.RemoveNumber(0);
    QCOMPARE(b.NumberCount(), -1);
    QVERIFY(b.Entries().data() == nullptr);
}

void tst_clsBoard::removeOutOfRange()
{
    clsBoard b = boardOf({3, 8, 9});
    const clsBoard before = b;
    QCOMPARE(errorNumberOf([&] { b.RemoveNumber(3); }), ErrorNumber::SubscriptOutOfRange);
    QCOMPARE(errorNumberOf([&] { b.RemoveNumber(-1); }), ErrorNumber::SubscriptOutOfRange);
    QVERIFY(b == before); // the last entry is not silently dropped
}

void tst_clsBoard::findNumber_data()
{
    QTest::addColumn<int>("value");
    QTest::addColumn<int>("startLoc");
    QTest::addColumn<int>("endLoc");
    QTest::addColumn<int>("expected");
    QTest::addColumn<int>("endLocAfter");

    // Board (3, 8, 8).
    QTest::newRow("first match") << 8 << 0 << -1 << 1 << 2;
    QTest::newRow("from the second") << 8 << 2 << -1 << 2 << 2;
    QTest::newRow("not there") << 4 << 0 << -1 << -1 << 2;
    QTest::newRow("end beyond the board") << 8 << 0 << 10 << 1 << 2;
    QTest::newRow("end inside") << 8 << 0 << 0 << -1 << 0;
    QTest::newRow("start beyond the board") << 3 << 5 << -1 << -1 << 2;
    QTest::newRow("start after end") << 3 << 2 << 1 << -1 << 1;
}

void tst_clsBoard::findNumber()
{
    QFETCH(int, value);
    QFETCH(int, startLoc);
    QFETCH(int, endLoc);
    QFETCH(int, expected);
    QFETCH(int, endLocAfter);
    const clsBoard b = boardOf({3, 8, 8});
    std::int32_t end = endLoc;
    QCOMPARE(b.FindNumber(value, startLoc, end), expected);
    QCOMPARE(end, endLocAfter);
}

void tst_clsBoard::findWritesBackEndLocOnly()
{
    const clsBoard b = boardOf({3, 8, 9});
    std::int32_t end = -1;
    const std::int32_t start = 0;
    QCOMPARE(b.FindNumber(9, start, end), 2);
    QCOMPARE(end, 2);
    QCOMPARE(b.FindNumber(8), 1);
    QCOMPARE(b.FindNumber(8, 2), -1);
}

void tst_clsBoard::findOnEmptyBoard()
{
    const clsBoard b;
    std::int32_t end = 0;
    QCOMPARE(b.FindNumber(0, 0, end), -1);
    QCOMPARE(end, -1);
}

void tst_clsBoard::negativeArguments()
{
    clsBoard b = boardOf({1, 2});
    std::int32_t end = -1;
    QCOMPARE(errorNumberOf([&] { b.FindNumber(1, -1, end); }), ErrorNumber::SubscriptOutOfRange);
    QCOMPARE(errorNumberOf([&] { b.AllocateNumbers(-2); }), ErrorNumber::SubscriptOutOfRange);
    QCOMPARE(numbersOf(b), (std::vector<int>{1, 2}));
}

void tst_clsBoard::numberCountWriteKeepsStorageConsistent()
{
    clsBoard b = boardOf({1, 2, 3});
    b.NumberCount(4);
    QCOMPARE(numbersOf(b), (std::vector<int>{1, 2, 3, 0, 0}));
    QCOMPARE(b.Entries().size(), std::size_t(5));
    b.NumberCount(0);
    QCOMPARE(numbersOf(b), (std::vector<int>{1}));
    b.NumberCount(-1);
    QVERIFY(b.Entries().data() == nullptr);
    QCOMPARE(errorNumberOf([&] { b.NumberCount(-2); }), ErrorNumber::SubscriptOutOfRange);
}

void tst_clsBoard::copyIsDeep()
{
    clsBoard a = boardOf({1, 2});
    clsBoard b = a;
    b.Numbers(0, 9);
    QCOMPARE(a.Numbers(0), 1);
    QVERIFY(a.Entries().data() != b.Entries().data());
    b = clsBoard();
    QCOMPARE(b.NumberCount(), -1);
}

void tst_clsBoard::collectionPositions()
{
    clsBoardCollection list;
    QCOMPARE(list.Count(), 0);
    auto first = std::make_shared<clsBoard>(boardOf({1}));
    auto second = std::make_shared<clsBoard>(boardOf({2}));
    list.Add(first);
    list.Add(second);
    QCOMPARE(list.Count(), 2);
    QCOMPARE(list.Item(1).get(), first.get());
    QCOMPARE(list.Item(2).get(), second.get());
    QCOMPARE(errorNumberOf([&] { list.Item(0); }), ErrorNumber::SubscriptOutOfRange);
    QCOMPARE(errorNumberOf([&] { list.Item(3); }), ErrorNumber::SubscriptOutOfRange);
    list.Remove(1);
    QCOMPARE(list.Count(), 1);
    QCOMPARE(list.Item(1).get(), second.get());
    QCOMPARE(errorNumberOf([&] { list.Remove(2); }), ErrorNumber::SubscriptOutOfRange);
    // The list shares the board: an edit through either reference is seen by both.
    second->Numbers(0, 77);
    QCOMPARE(list.Item(1)->Numbers(0), 77);
}

QTEST_APPLESS_MAIN(tst_clsBoard)
#include "tst_clsBoard.moc"
