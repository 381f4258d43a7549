// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/BoardLayout.h"
#include "board/ZanvoError.h"

#include <QTest>

#include <limits>

namespace {

BoardLayoutInput container(float width, float height, std::int32_t count)
{
    BoardLayoutInput in;
    in.ContainerWidth = width;
    in.ContainerHeight = height;
    in.Count = count;
    return in;
}

QList<int> lefts(const BoardLayout& l)
{
    QList<int> out;
    for (const auto& p : l.Elements)
        out << int(p.Left);
    return out;
}

QList<int> tops(const BoardLayout& l)
{
    QList<int> out;
    for (const auto& p : l.Elements)
        out << int(p.Top);
    return out;
}

} // namespace

class tst_BoardLayout : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void layout_data();
    void layout();
    void ceiling_data();
    void ceiling();
    void rowCapacity_data();
    void rowCapacity();
    void everyBoardReachable_data();
    void everyBoardReachable();
    void positionOverflow();
};

void tst_BoardLayout::layout_data()
{
    QTest::addColumn<float>("width");
    QTest::addColumn<float>("height");
    QTest::addColumn<int>("count");
    QTest::addColumn<QList<int>>("lefts");
    QTest::addColumn<QList<int>>("tops");
    QTest::addColumn<int>("rowLength");
    QTest::addColumn<int>("maximum");

    // The container of a window with an inner area of 568 x 494.
    QTest::newRow("no boards") << 552.f << 478.f << 0 << QList<int>{8} << QList<int>{8} << 0 << 0;
    QTest::newRow("one") << 552.f << 478.f << 1 << QList<int>{8} << QList<int>{8} << 0 << 0;
    QTest::newRow("three in a row") << 552.f << 478.f << 3 << QList<int>{8, 185, 362} << QList<int>{8, 8, 8} << 0 << 0;
    QTest::newRow("fourth starts row two")
        << 552.f << 478.f << 4 << QList<int>{8, 185, 362, 8} << QList<int>{8, 8, 8, 217} << 3 << 0;
    // Two rows lie wholly inside; the third is cut by the bottom edge, shown, and
    // counted as still to scroll to.
    QTest::newRow("seven: the cut row needs a step")
        << 552.f << 478.f << 7 << QList<int>{8, 185, 362, 8, 185, 362, 8} << QList<int>{8, 8, 8, 217, 217, 217, 426} << 3 << 1;
    QTest::newRow("nine, third row cut: one step")
        << 552.f << 478.f << 9 << QList<int>{8, 185, 362, 8, 185, 362, 8, 185, 362}
        << QList<int>{8, 8, 8, 217, 217, 217, 426, 426, 426} << 3 << 1;
    QTest::newRow("ten: n = 9, two steps")
        << 552.f << 478.f << 10 << QList<int>{8, 185, 362, 8, 185, 362, 8, 185, 362}
        << QList<int>{8, 8, 8, 217, 217, 217, 426, 426, 426} << 3 << 2;
    QTest::newRow("exactly 539 wide holds three") << 539.f << 478.f << 3 << QList<int>{8, 185, 362} << QList<int>{8, 8, 8} << 0 << 0;
    QTest::newRow("538 wide holds two") << 538.f << 478.f << 3 << QList<int>{8, 185, 8} << QList<int>{8, 8, 217} << 2 << 0;
    QTest::newRow("361 wide holds one") << 361.f << 478.f << 3 << QList<int>{8, 8, 8} << QList<int>{8, 217, 426} << 1 << 1;
    QTest::newRow("row top equal to the height is shown")
        << 552.f << 426.f << 7 << QList<int>{8, 185, 362, 8, 185, 362, 8} << QList<int>{8, 8, 8, 217, 217, 217, 426} << 3 << 1;
    QTest::newRow("element 0 stays however small") << 10.f << 5.f << 2 << QList<int>{8} << QList<int>{8} << 0 << 0;
    QTest::newRow("wide 1904: ten a row")
        << 1904.f << 300.f << 25 << QList<int>{8, 185, 362, 539, 716, 893, 1070, 1247, 1424, 1601, 8, 185, 362, 539, 716, 893, 1070, 1247, 1424, 1601}
        << QList<int>{8, 8, 8, 8, 8, 8, 8, 8, 8, 8, 217, 217, 217, 217, 217, 217, 217, 217, 217, 217} << 10 << 2;
    // Beyond 32767 rows off screen the maximum still counts every row.
    QTest::newRow("largest list of 16-bit rows") << 552.f << 478.f << 6 + 3 * 32767 << QList<int>{8, 185, 362, 8, 185, 362, 8, 185, 362}
        << QList<int>{8, 8, 8, 217, 217, 217, 426, 426, 426} << 3 << 32767;
    QTest::newRow("one row more") << 552.f << 478.f << 6 + 3 * 32767 + 1 << QList<int>{8, 185, 362, 8, 185, 362, 8, 185, 362}
        << QList<int>{8, 8, 8, 217, 217, 217, 426, 426, 426} << 3 << 32768;
    QTest::newRow("a million, one per row") << 300.f << 478.f << 1'000'000 << QList<int>{8, 8, 8}
        << QList<int>{8, 217, 426} << 1 << 999'998;
}

void tst_BoardLayout::layout()
{
    QFETCH(float, width);
    QFETCH(float, height);
    QFETCH(int, count);
    QFETCH(QList<int>, lefts);
    QFETCH(QList<int>, tops);
    QFETCH(int, rowLength);
    QFETCH(int, maximum);
    const BoardLayout l = LayoutBoards(container(width, height, count));
    QCOMPARE(::lefts(l), lefts);
    QCOMPARE(::tops(l), tops);
    QCOMPARE(l.RowLength, rowLength);
    QCOMPARE(l.Maximum, maximum);
}

void tst_BoardLayout::ceiling_data()
{
    QTest::addColumn<double>("x");
    QTest::addColumn<int>("expected");
    QTest::newRow("zero") << 0.0 << 0;
    QTest::newRow("whole") << 3.0 << 3;
    QTest::newRow("a third") << 1.0 / 3.0 << 1;
    QTest::newRow("just above whole") << 2.000001 << 3;
    QTest::newRow("negative fraction truncates then adds") << -0.5 << 1;
}

void tst_BoardLayout::ceiling()
{
    QFETCH(double, x);
    QFETCH(int, expected);
    QCOMPARE(Ceiling(x), expected);
}

void tst_BoardLayout::rowCapacity_data()
{
    QTest::addColumn<float>("width");
    QTest::addColumn<int>("capacity");
    QTest::newRow("initial") << 552.f << 3;
    QTest::newRow("539") << 539.f << 3;
    QTest::newRow("538") << 538.f << 2;
    QTest::newRow("361") << 361.f << 1;
    QTest::newRow("tiny") << 20.f << 1;
    QTest::newRow("1904") << 1904.f << 10;
}

void tst_BoardLayout::rowCapacity()
{
    QFETCH(float, width);
    QFETCH(int, capacity);
    QCOMPARE(RowCapacity(container(width, 478.f, 0)), capacity);
    // The step and the layout's row length agree whenever a second row exists.
    QCOMPARE(LayoutBoards(container(width, 5000.f, 40)).RowLength, capacity);
}

void tst_BoardLayout::everyBoardReachable_data()
{
    QTest::addColumn<float>("width");
    QTest::addColumn<float>("height");
    QTest::addColumn<int>("count");
    QTest::newRow("one per row") << 300.f << 478.f << 17;
    QTest::newRow("two per row") << 450.f << 478.f << 23;
    QTest::newRow("three per row") << 552.f << 478.f << 100;
    QTest::newRow("three per row, seven") << 552.f << 478.f << 7;
    QTest::newRow("ten per row") << 1904.f << 478.f << 101;
    QTest::newRow("a million, one per row") << 300.f << 478.f << 1'000'000;
    QTest::newRow("a million, ten per row") << 1904.f << 478.f << 1'000'000;
    QTest::newRow("a million, maximised") << 1904.f << 990.f << 1'000'000;
    QTest::newRow("exactly one element tall") << 552.f << 217.f << 10;
}

void tst_BoardLayout::everyBoardReachable()
{
    // At the last scroll position the last board's element lies wholly inside the
    // container, at any width.
    QFETCH(float, width);
    QFETCH(float, height);
    QFETCH(int, count);
    const BoardLayoutInput in = container(width, height, count);
    const BoardLayout l = LayoutBoards(in);
    const int step = RowCapacity(in);
    const int maximum = l.Maximum;
    const int lastElement = count - BoardPosition(0, maximum, step);
    QVERIFY(lastElement >= 0 && lastElement < int(l.Elements.size()));
    QVERIFY(l.Elements[std::size_t(lastElement)].Top + in.ElementHeight <= height);
    QVERIFY(BoardPosition(0, maximum, step) <= count); // and the view is not past the end
    QCOMPARE(BoardPosition(0, maximum, step) % step, 1 % step); // rows start on row boundaries
}

void tst_BoardLayout::positionOverflow()
{
    QCOMPARE(BoardPosition(0, 2, 3), 7);
    try {
        BoardPosition(5, 32767, std::numeric_limits<std::int32_t>::max());
        QFAIL("no overflow");
    } catch (const ZanvoError& e) {
        QCOMPARE(e.Number(), ErrorNumber::Overflow);
    }
}

QTEST_APPLESS_MAIN(tst_BoardLayout)
#include "tst_BoardLayout.moc"
