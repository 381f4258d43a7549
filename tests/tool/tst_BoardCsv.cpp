// SPDX-License-Identifier: GPL-3.0-or-later
#include "tool/BoardCsv.h"
#include "tool/ColourText.h"

#include "board/RandomBoard.h"

#include <QTest>

#include <limits>
#include <vector>

namespace {

struct Cell {
    std::int32_t number;
    std::int32_t colour = CellWhite;
};

BoardsRef listOf(const std::vector<std::vector<Cell>>& rows)
{
    auto boards = std::make_shared<clsBoardCollection>();
    for (const auto& row : rows) {
        auto board = std::make_shared<clsBoard>();
        for (const Cell& c : row)
            board->AppendNumber(c.number, c.colour);
        boards->Add(board);
    }
    return boards;
}

std::string decodedAsCsv(const std::string& text)
{
    return EncodeBoardsCsv(*DecodeBoardsCsv(text));
}

} // namespace

Q_DECLARE_METATYPE(BoardsRef)
Q_DECLARE_METATYPE(std::string)

class tst_BoardCsv : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void colourText_data();
    void colourText();
    void encode_data();
    void encode();
    void decodeAccepts_data();
    void decodeAccepts();
    void decodeRefuses_data();
    void decodeRefuses();
    void roundTrip();
};

void tst_BoardCsv::colourText_data()
{
    QTest::addColumn<int>("colour");
    QTest::addColumn<QString>("text");
    QTest::newRow("white") << CellWhite << QStringLiteral("#FFFFFF");
    QTest::newRow("green") << CellGreen << QStringLiteral("#00FF00");
    QTest::newRow("red is the low byte") << 0x0000FF << QStringLiteral("#FF0000");
    QTest::newRow("blue is the third byte") << 0xFF0000 << QStringLiteral("#0000FF");
    QTest::newRow("black") << 0 << QStringLiteral("#000000");
    QTest::newRow("top byte kept in front") << static_cast<int>(0x80563412u) << QStringLiteral("#80123456");
    QTest::newRow("minus one") << -1 << QStringLiteral("#FFFFFFFF");
}

void tst_BoardCsv::colourText()
{
    QFETCH(int, colour);
    QFETCH(QString, text);
    QCOMPARE(QString::fromStdString(ColourText(colour)), text);
    QCOMPARE(ParseColourText(text.toStdString()), std::optional<std::int32_t>(colour));
    QCOMPARE(ParseColourText(text.toLower().toStdString()), std::optional<std::int32_t>(colour));
}

void tst_BoardCsv::encode_data()
{
    QTest::addColumn<BoardsRef>("boards");
    QTest::addColumn<std::string>("csv");
    QTest::newRow("no boards") << listOf({}) << std::string();
    QTest::newRow("white board: numbers only") << listOf({{{7}, {12}, {33}}}) << std::string("7,12,33\r\n");
    QTest::newRow("marked board: colours after the numbers")
        << listOf({{{7}, {12, CellGreen}}}) << std::string("7,12,colours,#FFFFFF,#00FF00\r\n");
    QTest::newRow("each board decides for itself")
        << listOf({{{1}}, {{2, 0x0000FF}}, {{3}}}) << std::string("1\r\n2,colours,#FF0000\r\n3\r\n");
    QTest::newRow("board without numbers") << listOf({{}, {{5}}}) << std::string("colours\r\n5\r\n");
    QTest::newRow("32-bit extremes")
        << listOf({{{std::numeric_limits<std::int32_t>::min()}, {std::numeric_limits<std::int32_t>::max()}, {-4}}})
        << std::string("-2147483648,2147483647,-4\r\n");
}

void tst_BoardCsv::encode()
{
    QFETCH(BoardsRef, boards);
    QFETCH(std::string, csv);
    QCOMPARE(EncodeBoardsCsv(*boards), csv);
    QVERIFY(*DecodeBoardsCsv(csv) == *boards);
}

void tst_BoardCsv::decodeAccepts_data()
{
    QTest::addColumn<std::string>("input");
    QTest::addColumn<std::string>("canonical");
    QTest::newRow("empty text") << std::string() << std::string();
    QTest::newRow("LF line ends") << std::string("1,2\n3\n") << std::string("1,2\r\n3\r\n");
    QTest::newRow("CR line ends") << std::string("1,2\r3") << std::string("1,2\r\n3\r\n");
    QTest::newRow("no final line end") << std::string("1,2") << std::string("1,2\r\n");
    QTest::newRow("byte order mark") << std::string("\xEF\xBB\xBF" "4,5\r\n") << std::string("4,5\r\n");
    QTest::newRow("quoted fields") << std::string("\"7\",\" 12 \",\"colours\",\"#ffffff\",\"#00ff00\"")
                                   << std::string("7,12,colours,#FFFFFF,#00FF00\r\n");
    QTest::newRow("blanks around values") << std::string(" 7 , 8") << std::string("7,8\r\n");
    QTest::newRow("quoted tabs are blanks") << std::string("\"\t7\t\",8") << std::string("7,8\r\n");
    QTest::newRow("no-break spaces are blanks") << std::string("\xC2\xA0" "7\xE2\x80\xAF;8") << std::string("7,8\r\n");
    QTest::newRow("semicolons") << std::string("7;19;23;38;42") << std::string("7,19,23,38,42\r\n");
    QTest::newRow("semicolons, decimal commas") << std::string("7,0;19,0;23,0") << std::string("7,19,23\r\n");
    QTest::newRow("quoted decimal commas") << std::string("\"7,0\";\"19,00\"") << std::string("7,19\r\n");
    QTest::newRow("tabs") << std::string("7\t19\t23\r\n8\t9,0") << std::string("7,19,23\r\n8,9\r\n");
    QTest::newRow("first row with a separator decides") << std::string("7\r\n1;2,0;colours;#FFFFFF;#00FF00")
                                                         << std::string("7\r\n1,2,colours,#FFFFFF,#00FF00\r\n");
    QTest::newRow("UTF-16 LE") << std::string("\xFF\xFE" "7\0\t\0" "8\0", 8) << std::string("7,8\r\n");
    QTest::newRow("UTF-16 BE") << std::string("\xFE\xFF" "\0" "7\0;\0" "8\0\r\0\n\0" "9", 14)
                               << std::string("7,8\r\n9\r\n");
    QTest::newRow("header row") << std::string("Zahl 1;Zahl 2\r\n7;8") << std::string("7,8\r\n");
    QTest::newRow("header row after blank rows") << std::string("\r\n,\r\nN1,,N3\r\n7,8") << std::string("7,8\r\n");
    QTest::newRow("spreadsheet padding") << std::string("1,2,3\r\n4,,\r\n5,colours,#FFFFFF,,\r\n")
                                         << std::string("1,2,3\r\n4\r\n5\r\n");
    QTest::newRow("rows without values are skipped") << std::string("\r\n1\r\n,,\r\n\"\"\r\n2\r\n\r\n")
                                                     << std::string("1\r\n2\r\n");
    QTest::newRow("word in any case, either spelling") << std::string("1,COLORS,#0000FF\r\n2,Colours,#000000")
                                                       << std::string("1,colours,#0000FF\r\n2,colours,#000000\r\n");
    QTest::newRow("whole numbers in other notations") << std::string("7.0,1e1,-0,+5,2.50E1,.0")
                                                      << std::string("7,10,0,5,25,0\r\n");
    QTest::newRow("board without numbers") << std::string("colours,,") << std::string("colours\r\n");
    QTest::newRow("whole however written") << std::string("1e2,100.0,-2147483648.000,21474836.47e2,0e-999999999999")
                                           << std::string("100,100,-2147483648,2147483647,0\r\n");
}

void tst_BoardCsv::decodeAccepts()
{
    QFETCH(std::string, input);
    QFETCH(std::string, canonical);
    QCOMPARE(decodedAsCsv(input), canonical);
}

void tst_BoardCsv::decodeRefuses_data()
{
    QTest::addColumn<std::string>("input");
    QTest::addColumn<qint64>("row");
    QTest::addColumn<qint64>("field");
    QTest::addColumn<QString>("problem");
    QTest::newRow("letters") << std::string("1,x,y") << qint64(1) << qint64(2) << QStringLiteral("\"x\" is not a number");
    QTest::newRow("trailing letters") << std::string("1\r\n12abc") << qint64(2) << qint64(1)
                                      << QStringLiteral("is not a number");
    QTest::newRow("above 32 bits") << std::string("1\r\n2147483648") << qint64(2) << qint64(1)
                                   << QStringLiteral("outside the 32-bit range");
    QTest::newRow("below 32 bits") << std::string("-2147483649") << qint64(1) << qint64(1)
                                   << QStringLiteral("outside the 32-bit range");
    QTest::newRow("many digits") << std::string("99999999999999999999999") << qint64(1) << qint64(1)
                                 << QStringLiteral("outside the 32-bit range");
    QTest::newRow("beyond a double") << std::string("3,1e400") << qint64(1) << qint64(2)
                                     << QStringLiteral("outside the 32-bit range");
    QTest::newRow("exponent above 32 bits") << std::string("3e9") << qint64(1) << qint64(1)
                                            << QStringLiteral("outside the 32-bit range");
    QTest::newRow("fraction") << std::string("7.5") << qint64(1) << qint64(1) << QStringLiteral("not a whole number");
    // A double would round these to whole numbers.
    QTest::newRow("below the smallest double") << std::string("1,1e-400") << qint64(1) << qint64(2)
                                               << QStringLiteral("\"1e-400\" is not a whole number");
    QTest::newRow("just below 1") << std::string("0.99999999999999999999") << qint64(1) << qint64(1)
                                  << QStringLiteral("not a whole number");
    QTest::newRow("just above the largest") << std::string("2147483647.0000000001") << qint64(1) << qint64(1)
                                            << QStringLiteral("not a whole number");
    QTest::newRow("field that never ends") << std::string("1\r\n2,") + std::string(5000, '\0') << qint64(2) << qint64(2)
                                           << QStringLiteral("is too long");
    QTest::newRow("empty field between values") << std::string("1,,2") << qint64(1) << qint64(2)
                                                << QStringLiteral("empty");
    QTest::newRow("colours fewer than numbers") << std::string("1,2,colours,#FFFFFF") << qint64(1) << qint64(0)
                                                << QStringLiteral("2 numbers but 1 colours");
    QTest::newRow("colour by name") << std::string("1,colours,green") << qint64(1) << qint64(3)
                                    << QStringLiteral("\"green\" is not a colour");
    QTest::newRow("five hex digits") << std::string("1,colours,#FFFFF") << qint64(1) << qint64(3)
                                     << QStringLiteral("is not a colour");
    QTest::newRow("quote not closed") << std::string("1\r\n\"2,3\r\n") << qint64(2) << qint64(1)
                                      << QStringLiteral("not closed");
    QTest::newRow("quote inside a field") << std::string("1\"2") << qint64(1) << qint64(1) << QStringLiteral("quote");
    QTest::newRow("text after a quote") << std::string("\"1\"2") << qint64(1) << qint64(1)
                                        << QStringLiteral("closing quote");
    QTest::newRow("semicolons in a comma file") << std::string("1,2\r\n1;2;3") << qint64(2) << qint64(1)
                                                << QStringLiteral("is not a number; use --separator semicolon");
    QTest::newRow("decimal comma, not whole") << std::string("7,5;8") << qint64(1) << qint64(1)
                                              << QStringLiteral("\"7,5\" is not a whole number");
    QTest::newRow("thousands separator") << std::string("\"1,000\",2") << qint64(1) << qint64(1)
                                         << QStringLiteral("not a number; remove thousands separators");
    QTest::newRow("point or thousands") << std::string("1;1.000") << qint64(1) << qint64(2)
                                        << QStringLiteral("remove thousands separators");
    QTest::newRow("Latin-1") << std::string("1\r\n2,Z\xE4hl") << qint64(2) << qint64(2)
                             << QStringLiteral("not UTF-8 or UTF-16 text; save the file as UTF-8");
    QTest::newRow("UTF-16 lone surrogate") << std::string("\xFF\xFE" "7\0\t\0" "\x00\xD8" "8\0", 10) << qint64(1)
                                           << qint64(2) << QStringLiteral("not UTF-8 or UTF-16 text");
    QTest::newRow("first row with a number is no header") << std::string("Zahl;7") << qint64(1) << qint64(1)
                                                          << QStringLiteral("\"Zahl\" is not a number");
    QTest::newRow("long value cut between characters")
        << std::string("1\r\n") + std::string(39, 'x') + "\xC3\xA9y" << qint64(2) << qint64(1)
        << QStringLiteral("\"%1...\" is not a number").arg(QString(39, QLatin1Char('x')));
    QTest::newRow("column past Z") << std::string("1") + QByteArray(",1").repeated(50).toStdString() + ",x"
                                   << qint64(1) << qint64(52) << QStringLiteral("row 1, column AZ: \"x\"");
    // A quoted line break keeps the record together: rows count records, and the
    // message stays on one line.
    QTest::newRow("row is the record") << std::string("\"1\"\r\n2,\"x\r\ny\"\r\n") << qint64(2) << qint64(2)
                                       << QStringLiteral("\"x??y\" is not a number");
}

void tst_BoardCsv::decodeRefuses()
{
    QFETCH(std::string, input);
    QFETCH(qint64, row);
    QFETCH(qint64, field);
    QFETCH(QString, problem);
    try {
        DecodeBoardsCsv(input);
        QFAIL("bad CSV was accepted");
    } catch (const CsvError& e) {
        QCOMPARE(e.Row(), row);
        QCOMPARE(e.Field(), field);
        const QString text = QString::fromStdString(e.Description());
        QVERIFY2(text.contains(problem), qPrintable(text));
        // Columns past Z are named in the row's problem.
        const auto letter = static_cast<char16_t>(u'A' + field - 1);
        const QString column = field > 26 ? QString() : QString(QChar(letter)) + QStringLiteral(": ");
        const QString where = field > 0 ? QStringLiteral("row %1, column %2").arg(row).arg(column)
                                        : QStringLiteral("row %1: ").arg(row);
        QVERIFY2(text.startsWith(where), qPrintable(text));
        QVERIFY(!text.contains(QLatin1Char('\n')));
    }
}

void tst_BoardCsv::roundTrip()
{
    const UniformSource uniform = SeededUniform(8);
    BoardsRef boards = listOf({{}, {{0, 0}, {-1, -1}, {std::numeric_limits<std::int32_t>::min(), 0x7FFFFFFF}},
                               {{5, static_cast<std::int32_t>(0x80000005u)}}});
    for (int i = 0; i < 50; ++i) {
        auto board = MakeRandomBoard(uniform);
        if (i % 3 == 0)
            board->zanvo(i % 25, CellGreen);
        boards->Add(board);
    }
    for (const CsvSeparator separator : {CsvSeparator::Comma, CsvSeparator::Semicolon, CsvSeparator::Tab})
        QVERIFY(*DecodeBoardsCsv(EncodeBoardsCsv(*boards, CsvSeparatorChar(separator))) == *boards);
}

QTEST_GUILESS_MAIN(tst_BoardCsv)
#include "tst_BoardCsv.moc"
