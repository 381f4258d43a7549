// SPDX-License-Identifier: GPL-3.0-or-later
#include "board/Contrast.h"
#include "board/clsBoard.h"
#include "controls/usrBoard.h"

#include <QAccessible>
#include <QApplication>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

namespace {

std::shared_ptr<clsBoard> boardOf(std::initializer_list<int> numbers, int colour = CellWhite)
{
    auto b = std::make_shared<clsBoard>();
    for (int n : numbers)
        b->AppendNumber(n, colour);
    return b;
}

QColor background(const QLineEdit* cell)
{
    return cell->palette().color(QPalette::Base);
}

// The best contrast between the cell's background and any pixel of its text, as drawn.
// The font is drawn without smoothing, so every text pixel has the text colour.
double drawnContrast(QLineEdit* cell, QRgb* textPixel = nullptr)
{
    QFont font = cell->font();
    font.setStyleStrategy(QFont::NoAntialias);
    cell->setFont(font);
    cell->clearFocus(); // no caret or focus frame among the measured pixels
    const QImage image = cell->grab().toImage();
    const QRect inside = cell->rect().adjusted(4, 4, -4, -4); // within the frame
    const std::uint32_t background = image.pixel(inside.topLeft()) & 0xFFFFFFu;
    double best = 1.0;
    for (int y = inside.top(); y <= inside.bottom(); ++y)
        for (int x = inside.left(); x <= inside.right(); ++x) {
            const double ratio = ContrastRatio(image.pixel(x, y) & 0xFFFFFFu, background);
            if (ratio > best) {
                best = ratio;
                if (textPixel)
                    *textPixel = image.pixel(x, y);
            }
        }
    return best;
}

} // namespace

class tst_usrBoard : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void newControl();
    void gridPositions_data();
    void gridPositions();
    void format_data();
    void format();
    void paintsFromBoard();
    void typedText_data();
    void typedText();
    void typingBeyondTheBoardStoresNothing();
    void thirtyNumbersShowTheFirst25();
    void updateTwiceChangesNothing();
    void deleteButtonRaisesOnce();
    void keyboardWalksTheCells();
    void readableOnADarkDesktop_data();
    void readableOnADarkDesktop();
    void screenReaderNames_data();
    void screenReaderNames();
};

void tst_usrBoard::newControl()
{
    usrBoard c;
    QCOMPARE(c.Caption(), QStringLiteral("Brett 1:"));
    QVERIFY(!c.Board);
    QVERIFY(c.lblHeader->font().bold());
    QCOMPARE(c.cmdDelete->text(), QStringLiteral("X"));
    QCOMPARE(c.cmdDelete->geometry(), QRect(144, 8, 17, 17));
    const QColor plain = background(c.txtCell[0]);
    for (QLineEdit* cell : c.txtCell) {
        QCOMPARE(cell->text(), QStringLiteral("01"));
        QCOMPARE(background(cell), plain);
    }
    c.Update(); // no board: nothing changes
    QCOMPARE(c.txtCell[0]->text(), QStringLiteral("01"));
    c.Caption(QStringLiteral("Brett 12"));
    QCOMPARE(c.Caption(), QStringLiteral("Brett 12"));
    QCOMPARE(c.lblHeader->text(), QStringLiteral("Brett 12"));
}

void tst_usrBoard::gridPositions_data()
{
    QTest::addColumn<int>("cell");
    QTest::addColumn<QRect>("geometry");
    QTest::newRow("0") << 0 << QRect(8, 40, 28, 28);
    QTest::newRow("4") << 4 << QRect(136, 40, 28, 28);
    QTest::newRow("5 wraps") << 5 << QRect(8, 72, 28, 28);
    QTest::newRow("12") << 12 << QRect(72, 104, 28, 28);
    QTest::newRow("20") << 20 << QRect(8, 168, 28, 28);
    QTest::newRow("24") << 24 << QRect(136, 168, 28, 28);
}

void tst_usrBoard::gridPositions()
{
    QFETCH(int, cell);
    QFETCH(QRect, geometry);
    usrBoard c;
    QCOMPARE(c.txtCell[std::size_t(cell)]->geometry(), geometry);
}

// A number wider than its cell shows its beginning and whole in the tooltip.
void tst_usrBoard::format_data()
{
    QTest::addColumn<int>("number");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("fits");
    QTest::newRow("0") << 0 << QStringLiteral("00") << true;
    QTest::newRow("7") << 7 << QStringLiteral("07") << true;
    QTest::newRow("45") << 45 << QStringLiteral("45") << true;
    QTest::newRow("120") << 120 << QStringLiteral("120") << false;
    QTest::newRow("-5") << -5 << QStringLiteral("-05") << true;
    QTest::newRow("-12") << -12 << QStringLiteral("-12") << true;
    QTest::newRow("89992") << 89992 << QStringLiteral("89992") << false;
    QTest::newRow("int max") << 2147483647 << QStringLiteral("2147483647") << false;
    QTest::newRow("int min") << int(-2147483647 - 1) << QStringLiteral("-2147483648") << false;
}

void tst_usrBoard::format()
{
    QFETCH(int, number);
    QFETCH(QString, text);
    QFETCH(bool, fits);
    QCOMPARE(usrBoard::FormatNumber(number), text);
    usrBoard c;
    c.show();
    QVERIFY(QTest::qWaitForWindowExposed(&c));
    c.Board = boardOf({number});
    c.Update();
    QLineEdit* cell = c.txtCell[0];
    QCOMPARE(cell->text(), text);
    QCOMPARE(cell->cursorPosition(), 0); // the caret, and so the view, at the start
    QCOMPARE(cell->toolTip(), fits ? QString() : text);
}

void tst_usrBoard::paintsFromBoard()
{
    usrBoard c;
    const QColor plain = background(c.txtCell[5]);
    auto board = boardOf({3, 45, 7, 120, -5});
    board->zanvo(1, CellGreen);
    board->zanvo(2, 0x0000FF); // red in the low byte
    c.Board = board;
    c.Update();
    const QStringList expected{QStringLiteral("03"), QStringLiteral("45"), QStringLiteral("07"), QStringLiteral("120"), QStringLiteral("-05")};
    for (int i = 0; i < 5; ++i)
        QCOMPARE(c.txtCell[std::size_t(i)]->text(), expected[i]);
    QCOMPARE(background(c.txtCell[0]), QColor(255, 255, 255));
    QCOMPARE(background(c.txtCell[1]), QColor(0, 255, 0));
    QCOMPARE(background(c.txtCell[2]), QColor(255, 0, 0));
    QCOMPARE(c.txtCell[5]->text(), QStringLiteral("01")); // beyond the board: untouched
    QCOMPARE(background(c.txtCell[5]), plain);
    QCOMPARE(board->Numbers(3), 120); // painting wrote back what it read
    c.Board = std::make_shared<clsBoard>(); // empty board: nothing painted
    c.Update();
    QCOMPARE(c.txtCell[0]->text(), QStringLiteral("03"));
}

void tst_usrBoard::typedText_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("stored");
    QTest::newRow("12abc") << QStringLiteral("12abc") << 12;
    QTest::newRow("letters") << QStringLiteral("xy") << 0;
    QTest::newRow("2.5") << QStringLiteral("2.5") << 2;
    QTest::newRow("3.5") << QStringLiteral("3.5") << 4;
    QTest::newRow("1e2") << QStringLiteral("1e2") << 100;
    QTest::newRow("-3") << QStringLiteral("-3") << -3;
    QTest::newRow("too large keeps the number") << QStringLiteral("3000000000") << 300000000; // the last keystroke overflows
    QTest::newRow("exponent too large") << QStringLiteral("1e400") << 10000;
}

void tst_usrBoard::typedText()
{
    QFETCH(QString, typed);
    QFETCH(int, stored);
    usrBoard c;
    auto board = boardOf({9, 9});
    c.Board = board;
    c.Update();
    c.txtCell[1]->clear();
    QCOMPARE(board->Numbers(1), 0); // an emptied cell stores 0
    QTest::keyClicks(c.txtCell[1], typed);
    QCOMPARE(board->Numbers(1), stored);
    QCOMPARE(c.txtCell[1]->text(), typed); // the cell keeps what was typed
    QCOMPARE(board->Numbers(0), 9);
    // Text that was not taken is marked, and the tooltip says what the board holds.
    const bool notTaken = QString::number(stored) != typed && typed.toDouble() > 2147483647.0;
    QCOMPARE(c.Overflowed(1), notTaken);
    QCOMPARE(c.txtCell[1]->toolTip().contains(QStringLiteral("keeps %1").arg(stored)), notTaken);
    QCOMPARE(c.txtCell[1]->palette().color(QPalette::Text) != c.txtCell[0]->palette().color(QPalette::Text), notTaken);
    c.txtCell[1]->selectAll();
    QTest::keyClicks(c.txtCell[1], QStringLiteral("5")); // the next valid text clears the mark
    QVERIFY(!c.Overflowed(1));
    QCOMPARE(c.txtCell[1]->palette().color(QPalette::Text), c.txtCell[0]->palette().color(QPalette::Text));
    QVERIFY(c.txtCell[1]->toolTip().isEmpty());
}

void tst_usrBoard::typingBeyondTheBoardStoresNothing()
{
    usrBoard c;
    auto board = boardOf({1, 2, 3, 4, 5, 6, 7, 8, 9, 10});
    c.Board = board;
    c.Update();
    QTest::keyClicks(c.txtCell[20], QStringLiteral("55"));
    QCOMPARE(board->NumberCount(), 9);
    QCOMPARE(board->FindNumber(55), -1);
    c.Board.reset(); // no board attached: nothing to write to, nothing breaks
    QTest::keyClicks(c.txtCell[0], QStringLiteral("4"));
}

void tst_usrBoard::thirtyNumbersShowTheFirst25()
{
    usrBoard c;
    auto board = std::make_shared<clsBoard>();
    for (int i = 0; i < 30; ++i)
        board->AppendNumber(i + 10, CellWhite);
    c.Board = board;
    QVERIFY_THROWS_EXCEPTION(std::exception, c.Update());
    QCOMPARE(c.txtCell[24]->text(), QStringLiteral("34"));
    QCOMPARE(board->Numbers(29), 39);
}

void tst_usrBoard::updateTwiceChangesNothing()
{
    usrBoard c;
    auto board = boardOf({5, 66, -1});
    c.Board = board;
    c.Update();
    const clsBoard before = *board;
    c.Update();
    QVERIFY(*board == before);
    QCOMPARE(c.txtCell[2]->text(), QStringLiteral("-01"));
}

void tst_usrBoard::deleteButtonRaisesOnce()
{
    usrBoard c;
    c.show();
    QSignalSpy spy(&c, &usrBoard::DeleteBoard);
    QTest::mouseClick(c.cmdDelete, Qt::LeftButton);
    QCOMPARE(spy.count(), 1);
    QTest::mouseClick(c.cmdDelete, Qt::LeftButton);
    QCOMPARE(spy.count(), 2);
}

void tst_usrBoard::keyboardWalksTheCells()
{
    usrBoard c;
    c.show();
    QApplication::setActiveWindow(&c);
    QVERIFY(QTest::qWaitForWindowActive(&c));
    c.txtCell[0]->setFocus();
    for (int i = 1; i < 25; ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), c.txtCell[std::size_t(i)]);
    }
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), c.cmdDelete);
    // Up and Down move within the board's grid; Home, End, Left, Right stay in the text.
    const auto key = [](QLineEdit* cell, Qt::Key k) { QTest::keyClick(cell, k); return QApplication::focusWidget(); };
    QCOMPARE(key(c.txtCell[7], Qt::Key_Up), c.txtCell[2]);
    QCOMPARE(key(c.txtCell[2], Qt::Key_Up), c.txtCell[2]); // the top row
    QCOMPARE(key(c.txtCell[2], Qt::Key_Down), c.txtCell[7]);
    QCOMPARE(key(c.txtCell[7], Qt::Key_End), c.txtCell[7]);
    QCOMPARE(key(c.txtCell[7], Qt::Key_Left), c.txtCell[7]);
    QCOMPARE(key(c.txtCell[7], Qt::Key_Home), c.txtCell[7]);
    QCOMPARE(key(c.txtCell[7], Qt::Key_Right), c.txtCell[7]);
    QCOMPARE(c.txtCell[7]->cursorPosition(), 1);
}

void tst_usrBoard::readableOnADarkDesktop_data()
{
    QTest::addColumn<int>("colour"); // 0x00BBGGRR; -1 leaves the cell unpainted
    QTest::addColumn<QString>("typed");
    const std::pair<const char*, int> colours[] = {
        {"white", CellWhite}, {"green", CellGreen}, {"dark red", 0x000080}, {"unpainted", -1}};
    for (const char* typed : {"", "9999999999"})
        for (const auto& [name, colour] : colours)
            QTest::addRow("%s%s", *typed ? "overflow on " : "", name) << colour << QString::fromLatin1(typed);
}

void tst_usrBoard::readableOnADarkDesktop()
{
    QFETCH(int, colour);
    QFETCH(QString, typed);
    // A dark desktop: light text on dark fields, as a dark style gives.
    const QPalette before = QApplication::palette();
    QPalette dark = before;
    dark.setColor(QPalette::Window, QColor(0x35, 0x35, 0x35));
    dark.setColor(QPalette::WindowText, QColor(0xEE, 0xEE, 0xEC));
    dark.setColor(QPalette::Base, QColor(0x2D, 0x2D, 0x2D));
    dark.setColor(QPalette::Text, QColor(0xEE, 0xEE, 0xEC));
    QApplication::setPalette(dark);
    auto restore = qScopeGuard([&] { QApplication::setPalette(before); });

    usrBoard c;
    auto board = boardOf({7}, colour < 0 ? CellWhite : colour);
    c.Board = board;
    if (colour >= 0)
        c.Update();
    QLineEdit* cell = c.txtCell[0];
    if (!typed.isEmpty()) {
        cell->selectAll();
        QTest::keyClicks(cell, typed);
        cell->setCursorPosition(0);
    }
    c.show();
    QVERIFY(QTest::qWaitForWindowExposed(&c));
    QRgb text = 0;
    QVERIFY2(drawnContrast(cell, &text) >= 4.5, qPrintable(QString::number(drawnContrast(cell))));
    if (!typed.isEmpty()) // the warning is a red, not the plain text colour
        QVERIFY(qRed(text) > qGreen(text) + 40 && qRed(text) > qBlue(text) + 40);
}

void tst_usrBoard::screenReaderNames_data()
{
    QTest::addColumn<int>("part"); // a cell, or 25 for "X"
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("value");
    QTest::newRow("cell 7") << 6 << QStringLiteral("Brett 3, number 7 of 25") << QStringLiteral("06");
    QTest::newRow("green cell") << 1 << QStringLiteral("Brett 3, number 2 of 25, drawn") << QStringLiteral("01");
    QTest::newRow("X") << 25 << QStringLiteral("Delete Brett 3") << QString();
}

void tst_usrBoard::screenReaderNames()
{
    QFETCH(int, part);
    QFETCH(QString, name);
    QFETCH(QString, value);
    usrBoard c;
    auto board = std::make_shared<clsBoard>();
    board->AllocateNumbers(24);
    for (int i = 0; i < 25; ++i)
        board->Numbers(i, i);
    board->zanvo(1, CellGreen);
    c.Board = board;
    c.Update();
    c.Caption(QStringLiteral("Brett 3"));
    // Named when a screen reader starts, and renamed with the board while it runs.
    QAccessible::setActive(true);
    auto inactive = qScopeGuard([] { QAccessible::setActive(false); });
    QWidget* widget = part == 25 ? static_cast<QWidget*>(c.cmdDelete) : c.txtCell[std::size_t(part)];
    QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(widget);
    QVERIFY(accessible);
    QCOMPARE(accessible->text(QAccessible::Name), name);
    if (!value.isNull())
        QCOMPARE(accessible->text(QAccessible::Value), value);
    c.Caption(QStringLiteral("Brett 4"));
    QCOMPARE(accessible->text(QAccessible::Name), QString(name).replace(u'3', u'4'));
}

QTEST_MAIN(tst_usrBoard)
#include "tst_usrBoard.moc"
