// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/BoardView.h"
#include "board/CellFormat.h"
#include "board/Contrast.h"
#include "board/clsBoard.h"
#include "controls/CellEditor.h"
#include "controls/usrBoard.h"

#include <QAccessible>
#include <QApplication>
#include <QImage>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QSignalSpy>
#include <QStyle>
#include <QStyleFactory>
#include <QTest>

namespace {

std::shared_ptr<clsBoard> boardOf(std::initializer_list<int> numbers, int colour = CellWhite)
{
    auto b = std::make_shared<clsBoard>();
    for (int n : numbers)
        b->AppendNumber(n, colour);
    return b;
}

std::shared_ptr<clsBoard> countingBoard(int count)
{
    auto b = std::make_shared<clsBoard>();
    for (int i = 0; i < count; ++i)
        b->AppendNumber(i, CellWhite);
    return b;
}

QPoint centre(const usrBoard& c, int cell)
{
    return c.CellRect(cell).center();
}

// The control as it paints itself, at a scale.
QImage rendered(QWidget& widget, qreal ratio)
{
    QImage image(widget.size() * ratio, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(ratio);
    image.fill(Qt::transparent);
    widget.render(&image);
    return image;
}

// The best contrast between the cell's background and any pixel of its text, as drawn.
double drawnContrast(const QImage& image, const QRect& cell, QRgb* textPixel)
{
    const QRect inside = cell.adjusted(4, 4, -4, -4); // within the frame
    const std::uint32_t background = image.pixel(inside.topLeft()) & 0xFFFFFFu;
    double best = 1.0;
    for (int y = inside.top(); y <= inside.bottom(); ++y)
        for (int x = inside.left(); x <= inside.right(); ++x) {
            const double ratio = ContrastRatio(image.pixel(x, y) & 0xFFFFFFu, background);
            if (ratio > best) {
                best = ratio;
                *textPixel = image.pixel(x, y);
            }
        }
    return best;
}

// Share of pixels whose colour differs by more than a rounding step.
double differing(const QImage& a, const QImage& b)
{
    if (a.size() != b.size())
        return 1.0;
    int off = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y);
            const QRgb q = b.pixel(x, y);
            if (std::abs(qRed(p) - qRed(q)) > 8 || std::abs(qGreen(p) - qGreen(q)) > 8 || std::abs(qBlue(p) - qBlue(q)) > 8)
                ++off;
        }
    return double(off) / double(a.width() * a.height());
}

// The application's style for one test, as a desktop sets it; the one before after it.
class AppStyle {
public:
    explicit AppStyle(const QString& name) : m_before(QApplication::style()->name())
    {
        if (QStyle* style = QStyleFactory::create(name)) {
            QApplication::setStyle(style);
            m_set = true;
        }
    }
    ~AppStyle()
    {
        if (m_set)
            QApplication::setStyle(m_before);
    }
    AppStyle(const AppStyle&) = delete;
    AppStyle& operator=(const AppStyle&) = delete;
    bool Installed() const { return m_set; }

private:
    QString m_before;
    bool m_set = false;
};

// A board in a view of its own, which edits its cells.
struct InView {
    BoardsRef list = std::make_shared<clsBoardCollection>();
    BoardView view;
    usrBoard& c;
    explicit InView(std::shared_ptr<clsBoard> board) : c(*view.Elements()[0])
    {
        list->Add(std::move(board));
        view.resize(560, 420);
        view.Refresh(list, view.size());
        view.show();
        QApplication::setActiveWindow(&view);
    }
    bool edit(int cell, Qt::FocusReason reason = Qt::TabFocusReason) { return view.EditCell(&c, cell, reason); }
    CellEditor* editor() const { return view.Editor(); }
};

} // namespace

class tst_usrBoard : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void newControl();
    void format_data();
    void format();
    void paintsFromBoard();
    void typedText_data();
    void typedText();
    void cellsWithoutANumber_data();
    void cellsWithoutANumber();
    void updateTwiceChangesNothing();
    void keyboardWalksTheCells();
    void mouseEditsLikeALineEdit();
    void looksLikeALineEdit_data();
    void looksLikeALineEdit();
    void editorShowsTheCellsDigits_data();
    void editorShowsTheCellsDigits();
    void inactiveWindowDrawsInactiveCells_data();
    void inactiveWindowDrawsInactiveCells();
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
    QVERIFY(c.HeaderFont().bold());
    QCOMPARE(c.cmdDelete->text(), QStringLiteral("X"));
    QCOMPARE(c.cmdDelete->geometry(), QRect(144, 8, 17, 17));
    for (int i = 0; i < usrBoard::CellCount; ++i)
        QVERIFY(!c.HoldsNumber(i));
    c.Update(); // no board: nothing changes
    QVERIFY(!c.HoldsNumber(0));
    c.Caption(QStringLiteral("Brett 12"));
    QCOMPARE(c.Caption(), QStringLiteral("Brett 12"));
}

// Without the focus a cell shows its whole number, smaller where it must; only a
// number too long even then is cut off, and whole in the tooltip.
void tst_usrBoard::format_data()
{
    QTest::addColumn<int>("number");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("whole");
    QTest::newRow("0") << 0 << QStringLiteral("00") << true;
    QTest::newRow("7") << 7 << QStringLiteral("07") << true;
    QTest::newRow("45") << 45 << QStringLiteral("45") << true;
    QTest::newRow("99") << 99 << QStringLiteral("99") << true;
    QTest::newRow("100") << 100 << QStringLiteral("100") << true;
    QTest::newRow("120, smaller") << 120 << QStringLiteral("120") << true;
    QTest::newRow("-5") << -5 << QStringLiteral("-05") << true;
    QTest::newRow("1000, smaller") << 1000 << QStringLiteral("1000") << true;
    QTest::newRow("int max") << 2147483647 << QStringLiteral("2147483647") << false;
    QTest::newRow("int min") << int(-2147483647 - 1) << QStringLiteral("-2147483648") << false;
}

void tst_usrBoard::format()
{
    QFETCH(int, number);
    QFETCH(QString, text);
    QFETCH(bool, whole);
    QCOMPARE(usrBoard::FormatNumber(number), text);
    usrBoard c;
    c.Board = boardOf({number});
    c.Update();
    QCOMPARE(c.CellText(0), text);
    QCOMPARE(c.ShowsWhole(0), whole);
    QCOMPARE(c.CellTip(0), whole ? QString() : text);
}

void tst_usrBoard::paintsFromBoard()
{
    usrBoard c;
    auto board = boardOf({3, 45, 7, 120, -5});
    board->zanvo(1, CellGreen);
    board->zanvo(2, 0x0000FF); // red in the low byte
    c.Board = board;
    c.Update();
    const QStringList expected{QStringLiteral("03"), QStringLiteral("45"), QStringLiteral("07"), QStringLiteral("120"), QStringLiteral("-05")};
    for (int i = 0; i < 5; ++i)
        QCOMPARE(c.CellText(i), expected[i]);
    QCOMPARE(c.CellColour(1), std::uint32_t(CellGreen));
    QCOMPARE(c.CellColour(2), std::uint32_t(0x0000FF));
    QCOMPARE(board->Numbers(3), 120); // painting wrote back what it read
    const QImage image = rendered(c, 1);
    QCOMPARE(image.pixelColor(c.CellRect(2).center() + QPoint(0, 9)), QColor(255, 0, 0));
    QCOMPARE(image.pixelColor(c.CellRect(1).center() + QPoint(0, 9)), QColor(0, 255, 0));
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
    auto board = boardOf({9, 9});
    InView v(board);
    usrBoard& c = v.c;
    QVERIFY(v.edit(1));
    CellEditor* editor = v.editor();
    QCOMPARE(editor->inputMethodHints(), Qt::ImhFormattedNumbersOnly | Qt::ImhNoPredictiveText); // number keypads
    editor->clear();
    QCOMPARE(board->Numbers(1), 0); // an emptied cell stores 0
    QTest::keyClicks(editor, typed);
    QCOMPARE(board->Numbers(1), stored);
    QCOMPARE(board->Numbers(0), 9);
    // Text that was not taken is marked, and the tooltip says what the board holds.
    const bool notTaken = QString::number(stored) != typed && typed.toDouble() > 2147483647.0;
    QCOMPARE(c.Overflowed(1), notTaken);
    QCOMPARE(editor->toolTip().contains(QStringLiteral("keeps %1").arg(stored)), notTaken);
    QCOMPARE(editor->palette().color(QPalette::Text) != QColor(Qt::black), notTaken);
    // Leaving the cell shows the number made of it; text that was not taken stays, marked.
    QVERIFY(v.edit(0));
    QCOMPARE(c.CellText(1), notTaken ? typed : usrBoard::FormatNumber(stored));
    QCOMPARE(c.CellTip(1).contains(QStringLiteral("keeps %1").arg(stored)), notTaken);
    QVERIFY(v.edit(1));
    QTest::keyClicks(editor, QStringLiteral("5")); // selected by Tab: replaced; the mark goes
    QVERIFY(!c.Overflowed(1));
    QCOMPARE(board->Numbers(1), 5);
    QCOMPARE(editor->palette().color(QPalette::Text), QColor(Qt::black));
}

// Cells beyond the board's numbers are drawn empty and take neither focus nor typing;
// a board of more than 25 shows its first 25 and says so in its header.
void tst_usrBoard::cellsWithoutANumber_data()
{
    QTest::addColumn<int>("count");
    QTest::addColumn<int>("holding"); // cells that hold a number
    QTest::addColumn<bool>("noted");  // the header's tooltip counts the numbers
    QTest::newRow("empty board") << 0 << 0 << false;
    QTest::newRow("10 numbers") << 10 << 10 << false;
    QTest::newRow("25 numbers") << 25 << 25 << false;
    QTest::newRow("30 numbers") << 30 << 25 << true;
}

void tst_usrBoard::cellsWithoutANumber()
{
    QFETCH(int, count);
    QFETCH(int, holding);
    QFETCH(bool, noted);
    // First a full board, so that leftovers would show.
    InView v(boardOf({1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20, 21, 22, 23, 24, 25}));
    usrBoard& c = v.c;
    auto board = countingBoard(count);
    const clsBoard before = *board;
    c.Board = board;
    if (count > usrBoard::CellCount)
        QVERIFY_THROWS_EXCEPTION(std::exception, c.Update());
    else
        c.Update();
    for (int i = 0; i < usrBoard::CellCount; ++i) {
        QCOMPARE(c.HoldsNumber(i), i < holding);
        QCOMPARE(c.CellText(i).isEmpty(), i >= holding);
    }
    QCOMPARE(c.HeaderTip().contains(QString::number(count)), noted);
    if (holding == usrBoard::CellCount)
        return;
    QVERIFY(!v.edit(holding));
    QTest::mouseClick(&c, Qt::LeftButton, {}, centre(c, holding));
    QCOMPARE(c.EditedCell(), -1);
    QTest::keyClicks(v.editor(), QStringLiteral("55"));
    QVERIFY(*board == before);
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
    QCOMPARE(c.CellText(2), QStringLiteral("-01"));
}

void tst_usrBoard::keyboardWalksTheCells()
{
    InView v(countingBoard(25));
    usrBoard& c = v.c;
    QVERIFY(QTest::qWaitForWindowActive(&v.view));
    QVERIFY(v.edit(0));
    CellEditor* editor = v.editor();
    for (int i = 1; i < 25; ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(c.EditedCell(), i);
        QCOMPARE(editor->selectedText(), c.CellText(i)); // typing replaces it
    }
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), c.cmdDelete);
    QCOMPARE(c.EditedCell(), -1); // exactly one cell shows a focus frame: none now
    // Up and Down move within the board's grid; Home, End, Left, Right stay in the text.
    const auto key = [&](int from, Qt::Key k) {
        v.edit(from, Qt::OtherFocusReason);
        QTest::keyClick(editor, k);
        return c.EditedCell();
    };
    QCOMPARE(key(7, Qt::Key_Up), 2);
    QCOMPARE(key(2, Qt::Key_Up), 2); // the top row
    QCOMPARE(key(2, Qt::Key_Down), 7);
    QCOMPARE(key(7, Qt::Key_End), 7);
    QCOMPARE(key(7, Qt::Key_Left), 7);
    QCOMPARE(key(7, Qt::Key_Home), 7);
    QCOMPARE(key(7, Qt::Key_Right), 7);
    QCOMPARE(editor->cursorPosition(), 1);
    // Enter, on the number pad too, goes on as Tab does: a board typed from the pad alone.
    QCOMPARE(key(7, Qt::Key_Return), 8);
    v.edit(8, Qt::OtherFocusReason);
    QTest::keyClick(editor, Qt::Key_Enter, Qt::KeypadModifier);
    QCOMPARE(c.EditedCell(), 9);
}

void tst_usrBoard::mouseEditsLikeALineEdit()
{
    auto board = boardOf({1234, 5});
    InView v(board);
    usrBoard& c = v.c;
    QVERIFY(QTest::qWaitForWindowActive(&v.view));
    CellEditor* editor = v.editor();
    // The caret lands where clicked: past the end of "05", so typing appends.
    const QRect second = c.CellRect(1);
    QTest::mouseClick(&c, Qt::LeftButton, {}, QPoint(second.right() - 3, second.center().y()));
    QCOMPARE(c.EditedCell(), 1);
    QVERIFY(editor->hasFocus());
    QCOMPARE(editor->cursorPosition(), 2);
    QTest::keyClicks(editor, QStringLiteral("3"));
    QCOMPARE(board->Numbers(1), 53);
    // Undo within the visit.
    QTest::keyClick(editor, Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(board->Numbers(1), 5);
    // A press and a drag across the first cell select from where it started.
    const QRect first = c.CellRect(0);
    QTest::mousePress(&c, Qt::LeftButton, {}, QPoint(first.left() + 3, first.center().y()));
    QCOMPARE(c.EditedCell(), 0);
    QMouseEvent drag(QEvent::MouseMove, QPointF(first.right() - 3, first.center().y()),
                     c.mapToGlobal(QPointF(first.right() - 3, first.center().y())), Qt::NoButton, Qt::LeftButton, {});
    QApplication::sendEvent(&c, &drag);
    QTest::mouseRelease(&c, Qt::LeftButton, {}, QPoint(first.right() - 3, first.center().y()));
    QVERIFY(editor->hasSelectedText());
    QCOMPARE(editor->selectionStart(), 0);
    // A double-click on a cell the editor is not on selects its number: the second
    // press meets the editor, which the first one brought there.
    QVERIFY(v.edit(1, Qt::MouseFocusReason));
    QTest::mouseDClick(v.view.windowHandle(), Qt::LeftButton, {}, c.mapTo(&v.view, centre(c, 0)));
    QCOMPARE(c.EditedCell(), 0);
    QCOMPARE(editor->selectedText(), QStringLiteral("1234"));
}

// A painted cell against a real line edit of the same size, font and colours.
void tst_usrBoard::looksLikeALineEdit_data()
{
    QTest::addColumn<QString>("style");
    QTest::addColumn<qreal>("ratio");
    QTest::addColumn<int>("colour");
    for (const QString& style : {QStringLiteral("Fusion"), QStringLiteral("Adwaita-Dark")})
        for (qreal ratio : {1.0, 1.5, 2.0})
            for (int colour : {int(CellWhite), int(CellGreen)})
                QTest::addRow("%s, scale %g, %06x", qPrintable(style), ratio, colour) << style << ratio << colour;
}

void tst_usrBoard::looksLikeALineEdit()
{
    QFETCH(QString, style);
    QFETCH(qreal, ratio);
    QFETCH(int, colour);
    std::unique_ptr<QStyle> theStyle(QStyleFactory::create(style));
    if (!theStyle)
        QSKIP("style not installed");
    usrBoard c;
    c.setStyle(theStyle.get());
    c.Board = boardOf({7}, colour);
    c.Update();
    QLineEdit real(QStringLiteral("07"));
    real.setStyle(theStyle.get());
    real.setFont(c.CellFont());
    real.resize(c.CellRect(0).size());
    QPalette colours = real.palette();
    const QColor base = QColor::fromRgb(CellRgb(std::uint32_t(colour)));
    colours.setColor(QPalette::Base, base);
    colours.setColor(QPalette::Text, QColor::fromRgb(ReadableTextColour(CellRgb(std::uint32_t(colour)))));
    real.setPalette(colours);
    real.setCursorPosition(0);
    const QImage painted = rendered(c, ratio).copy(QRectF(QRectF(c.CellRect(0)).topLeft() * ratio, QSizeF(c.CellRect(0).size()) * ratio).toRect());
    const QImage expected = rendered(real, ratio);


    // The caret is the one thing a line edit without the focus may still differ by.
    QVERIFY2(differing(painted, expected) < 0.02, qPrintable(QString::number(differing(painted, expected))));
}

// The cell being edited shows its digits whole, where and as large as the painted
// cell shows them, whatever room the style's line-edit margins leave.
void tst_usrBoard::editorShowsTheCellsDigits_data()
{
    QTest::addColumn<QString>("style");
    QTest::addColumn<qreal>("ratio");
    QTest::addColumn<bool>("active");
    for (const char* style : {"Fusion", "Windows", "Adwaita", "Adwaita-Dark"})
        for (qreal ratio : {1.0, 1.25, 1.5, 2.0})
            QTest::addRow("%s, scale %g", style, ratio) << QString::fromLatin1(style) << ratio << true;
    QTest::newRow("Fusion, inactive window") << QStringLiteral("Fusion") << 1.0 << false;
    QTest::newRow("Adwaita-Dark, inactive window, scale 1.5") << QStringLiteral("Adwaita-Dark") << 1.5 << false;
}

void tst_usrBoard::editorShowsTheCellsDigits()
{
    QFETCH(QString, style);
    QFETCH(qreal, ratio);
    QFETCH(bool, active);
    const AppStyle desktop(style);
    if (!desktop.Installed())
        QSKIP("style not installed");
    InView v(boardOf({7, 12}));
    const QRect cell(v.c.mapTo(&v.view, v.c.CellRect(1).topLeft()), v.c.CellRect(1).size());
    // The pixels of the digits: far from the cell's white, inside its frame.
    const auto digits = [&](const QImage& image) {
        const QRect inside = QRectF(QRectF(cell).adjusted(4, 4, -4, -4).topLeft() * ratio,
                                    QSizeF(cell.size() - QSize(8, 8)) * ratio).toRect();
        QRect box;
        for (int y = inside.top(); y <= inside.bottom(); ++y)
            for (int x = inside.left(); x <= inside.right(); ++x)
                if (qGray(image.pixel(x, y)) < 128)
                    box |= QRect(x, y, 1, 1);
        return box;
    };
    if (!active)
        QApplication::setActiveWindow(nullptr);
    QVERIFY(v.edit(1, Qt::MouseFocusReason));
    v.editor()->setReadOnly(true); // no caret, which would add a line to the digits
    const QRect edited = digits(rendered(v.view, ratio));
    v.editor()->setReadOnly(false);
    QVERIFY(v.edit(0, Qt::MouseFocusReason));
    const QRect painted = digits(rendered(v.view, ratio));
    QVERIFY(!painted.isEmpty());
    const auto near = [](int a, int b) { return std::abs(a - b) <= 1; };
    QVERIFY2(near(edited.left(), painted.left()) && near(edited.top(), painted.top()) && near(edited.right(), painted.right())
                 && near(edited.bottom(), painted.bottom()),
             qPrintable(QStringLiteral("edited %1,%2 %3x%4, painted %5,%6 %7x%8")
                            .arg(edited.x()).arg(edited.y()).arg(edited.width()).arg(edited.height())
                            .arg(painted.x()).arg(painted.y()).arg(painted.width()).arg(painted.height())));
}

// Pictures kept while the window was active are not shown once it is not.
void tst_usrBoard::inactiveWindowDrawsInactiveCells_data()
{
    QTest::addColumn<QString>("style");
    QTest::newRow("Adwaita") << QStringLiteral("Adwaita");
    QTest::newRow("Adwaita-Dark") << QStringLiteral("Adwaita-Dark");
}

void tst_usrBoard::inactiveWindowDrawsInactiveCells()
{
    QFETCH(QString, style);
    const AppStyle desktop(style);
    if (!desktop.Installed())
        QSKIP("style not installed");
    InView v(boardOf({7, 12, 30}));
    QVERIFY(v.view.isActiveWindow());
    const QImage active = rendered(v.view, 1);
    QApplication::setActiveWindow(nullptr);
    const QImage kept = rendered(v.view, 1);
    v.view.Painter().Invalidate();
    const QImage fresh = rendered(v.view, 1);
    if (fresh == active)
        QSKIP("this style draws an inactive cell as an active one");
    QCOMPARE(kept, fresh);
}

void tst_usrBoard::readableOnADarkDesktop_data()
{
    QTest::addColumn<int>("colour"); // 0x00BBGGRR
    QTest::addColumn<QString>("typed");
    const std::pair<const char*, int> colours[] = {{"white", CellWhite}, {"green", CellGreen}, {"dark red", 0x000080}};
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

    InView v(boardOf({7}, colour));
    usrBoard& c = v.c;
    QFont font = v.view.font();
    font.setStyleStrategy(QFont::NoAntialias); // every text pixel has the text colour
    v.view.setFont(font);
    if (!typed.isEmpty()) {
        QVERIFY(v.edit(0));
        QTest::keyClicks(v.editor(), typed);
        v.editor()->setCursorPosition(0); // at full size while edited, so strokes are whole
    }
    QRgb text = 0;
    const QRect cell(c.mapTo(&v.view, c.CellRect(0).topLeft()), c.CellRect(0).size());
    const double contrast = drawnContrast(rendered(v.view, 1), cell, &text);
    QVERIFY2(contrast >= 4.5, qPrintable(QString::number(contrast)));
    if (!typed.isEmpty()) // the warning is a red, not the plain text colour
        QVERIFY(qRed(text) > qGreen(text) + 40 && qRed(text) > qBlue(text) + 40);
}

void tst_usrBoard::screenReaderNames_data()
{
    QTest::addColumn<int>("part"); // a cell, or 25 for "X"
    QTest::addColumn<bool>("edited");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("value");
    QTest::newRow("cell 7") << 6 << false << QStringLiteral("Brett 3, number 7 of 25") << QStringLiteral("06");
    QTest::newRow("green cell") << 1 << false << QStringLiteral("Brett 3, number 2 of 25, drawn") << QStringLiteral("01");
    QTest::newRow("edited cell") << 6 << true << QStringLiteral("Brett 3, number 7 of 25") << QStringLiteral("06");
    QTest::newRow("X") << 25 << false << QStringLiteral("Delete Brett 3") << QString();
}

void tst_usrBoard::screenReaderNames()
{
    QFETCH(int, part);
    QFETCH(bool, edited);
    QFETCH(QString, name);
    QFETCH(QString, value);
    auto board = std::make_shared<clsBoard>();
    board->AllocateNumbers(24);
    for (int i = 0; i < 25; ++i)
        board->Numbers(i, i);
    board->zanvo(1, CellGreen);
    InView v(board);
    usrBoard& c = v.c;
    c.Caption(QStringLiteral("Brett 3"));
    QAccessible::setActive(true);
    auto inactive = qScopeGuard([] { QAccessible::setActive(false); });
    if (edited)
        QVERIFY(v.edit(part));
    QAccessibleInterface* group = QAccessible::queryAccessibleInterface(&c);
    QVERIFY(group);
    QCOMPARE(group->role(), QAccessible::Grouping);
    QCOMPARE(group->text(QAccessible::Name), QStringLiteral("Brett 3"));
    QCOMPARE(group->childCount(), 26);
    QAccessibleInterface* accessible = group->child(part);
    QVERIFY(accessible);
    QCOMPARE(group->indexOfChild(accessible), part);
    QCOMPARE(accessible->object() == v.editor(), edited); // the editor stands in for its cell
    QCOMPARE(accessible->parent(), group);
    QCOMPARE(accessible->text(QAccessible::Name), name);
    if (!value.isNull()) {
        QCOMPARE(accessible->role(), QAccessible::EditableText);
        QAccessibleTextInterface* text = accessible->textInterface();
        QVERIFY(text);
        QCOMPARE(text->text(0, text->characterCount()), value);
    }
    c.Caption(QStringLiteral("Brett 4"));
    QCOMPARE(group->text(QAccessible::Name), QStringLiteral("Brett 4"));
    QCOMPARE(group->child(part)->text(QAccessible::Name), QString(name).replace(u'3', u'4'));
}

QTEST_MAIN(tst_usrBoard)
#include "tst_usrBoard.moc"
