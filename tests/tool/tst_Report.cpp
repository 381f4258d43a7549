// SPDX-License-Identifier: GPL-3.0-or-later
// zanvo-tool report as a reader of the PDF meets it: the text poppler extracts,
// compared with check's output, and the colours of a page poppler renders, at the
// places the layout gives, in colour and in grey.
#include "ProcessRun.h"
#include "TestFiles.h"

#include "tool/Report.h"

#include "board/BoardFileIO.h"
#include "board/NumberReading.h"

#include <QDir>
#include <QImage>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <set>

namespace {

QStringList linesMatching(const QByteArray& text, const char* pattern)
{
    const QRegularExpression re{QLatin1String(pattern)};
    QStringList lines;
    for (const QString& line : QString::fromUtf8(text).split(QLatin1Char('\n')))
        if (re.match(line.trimmed()).hasMatch())
            lines << line.trimmed();
    return lines;
}

// Board k holds (11k + 3c) % 100 in cell c: distinct numbers, and a known cell for
// any drawn number.
std::shared_ptr<clsBoard> patternBoard(int k, int cells)
{
    auto board = std::make_shared<clsBoard>();
    for (int c = 0; c < cells; ++c)
        board->AppendNumber((11 * k + 3 * c) % 100, CellWhite);
    return board;
}

} // namespace

class tst_Report : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void textMatchesCheck_data();
    void textMatchesCheck();
    void cellColours_data();
    void cellColours();
    void madeOn_data();
    void madeOn();
    void replacesOnlyWithForceAndWhole();

private:
    QString path(const char* name) const { return m_dir.filePath(QLatin1String(name)); }
    QTemporaryDir m_dir;
};

void tst_Report::initTestCase()
{
    QVERIFY(m_dir.isValid());
    clsBoardCollection boards;
    for (int k = 1; k <= 20; ++k)
        boards.Add(patternBoard(k, 25));
    boards.Item(2)->zanvo(0, 0x0000FF); // red, as stored (0x00BBGGRR)
    boards.Item(2)->zanvo(1, CellGreen);
    boards.Add(patternBoard(21, 7)); // another length flows five to a row
    WriteBoardFile(path("boards.dat"), boards);

    clsBoardCollection tall; // a board taller than a page goes on across pages
    tall.Add(patternBoard(1, 2000));
    tall.Add(patternBoard(2, 25));
    WriteBoardFile(path("tall.dat"), tall);
}

void tst_Report::textMatchesCheck_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QStringList>("drawn");
    QTest::addColumn<int>("pages");
    QTest::newRow("boards") << path("boards.dat")
                            << QStringLiteral("3 14 27 41 56 88").split(QLatin1Char(' ')) << 2;
    QTest::newRow("ties for most hits, read like the input box")
        << path("boards.dat") << QStringList{QStringLiteral(" 2.5e1"), QStringLiteral("-3")} << 2;
    QTest::newRow("board across pages") << path("tall.dat") << QStringList{QStringLiteral("7")} << 15;
    QStringList many; // hits wrap under their boards; the summary goes on over a page
    for (int n = 0; n < 90; ++n)
        many << QString::number(n);
    QTest::newRow("many drawn") << path("boards.dat") << many << 4;
}

void tst_Report::textMatchesCheck()
{
    QFETCH(QString, file);
    QFETCH(QStringList, drawn);
    QFETCH(int, pages);
    const QString pdf = path("text.pdf");
    const ProcessRun r = RunZanvoTool(QStringList{QStringLiteral("report"), file} + drawn
                                      + QStringList{QStringLiteral("-o"), pdf, QStringLiteral("--force")});
    QVERIFY2(r.status == 0 && r.err.isEmpty(), r.err.constData());
    const ProcessRun check = RunZanvoTool(QStringList{QStringLiteral("check"), file} + drawn);
    QCOMPARE(check.status, 0);
    const ProcessRun text = RunProcess(QStringLiteral("pdftotext"), {QStringLiteral("-raw"), pdf, QStringLiteral("-")});
    QCOMPARE(text.status, 0);

    // Every board once, in list order, with check's hits under it.
    const QStringList boardLines = linesMatching(check.out, "^[0-9]+: [0-9]+ hits?$");
    // Under each board the drawn numbers it holds, first cell of each, in its order.
    std::set<std::int32_t> drawnSet;
    for (const QString& n : drawn)
        drawnSet.insert(ReadNumber(n.toStdString()));
    const BoardsRef boards = ReadBoardFile(file);
    QCOMPARE(boards->Count(), boardLines.size());
    QStringList captions;
    QStringList hits;
    int most = -1;
    QStringList positions; // of the boards with the most hits
    for (const QString& line : boardLines) {
        const QString position = line.section(QLatin1Char(':'), 0, 0);
        const int h = line.section(QLatin1Char(' '), 1, 1).toInt();
        captions << QStringLiteral("Brett ") + position;
        QStringList held;
        std::set<std::int32_t> seen;
        for (const BoardEntry& entry : boards->Item(position.toInt())->Entries())
            if (drawnSet.count(entry.Number) != 0 && seen.insert(entry.Number).second)
                held << QString::number(entry.Number);
        hits << (h == 0 ? QStringLiteral("no hits")
                        : line.section(QStringLiteral(": "), 1) + QStringLiteral(": ") + held.join(QStringLiteral(", ")));
        if (h > most) {
            most = h;
            positions.clear();
        }
        if (h == most)
            positions << position;
    }
    QCOMPARE(linesMatching(text.out, "^Brett [0-9]+$"), captions);
    // In order, each whole (wrapped lines read as one).
    const QString flat = QLatin1Char(' ') + QString::fromUtf8(text.out).simplified() + QLatin1Char(' ');
    qsizetype at = 0;
    for (const QString& h : hits) {
        at = flat.indexOf(QLatin1Char(' ') + h + QLatin1Char(' '), at);
        QVERIFY2(at >= 0, qPrintable(h));
        at += h.size();
    }
    QCOMPARE(linesMatching(text.out, "^[0-9]+ hits?: [0-9]+ boards?$"),
             linesMatching(check.out, "^[0-9]+ hits?: [0-9]+ boards?$"));
    // The boards with the most hits, named by position.
    const QString expected = QStringLiteral("Most hits: %1 hit%2, board%3 %4")
                                 .arg(most)
                                 .arg(most == 1 ? QString() : QStringLiteral("s"))
                                 .arg(positions.size() == 1 ? QString() : QStringLiteral("s"))
                                 .arg(positions.join(QStringLiteral(", ")));
    QVERIFY2(QString::fromUtf8(text.out).simplified().contains(expected), qPrintable(expected));

    QStringList footers;
    for (int page = 1; page <= pages; ++page)
        footers << QFileInfo(file).fileName() + QStringLiteral(" Page %1 of %2").arg(page).arg(pages);
    QCOMPARE(linesMatching(text.out, "^[a-z]+\\.dat Page [0-9]+ of [0-9]+$"), footers);
    // Every page after the summary's first names it again.
    const QList<QByteArray> pageTexts = text.out.split('\f');
    int page = 0;
    while (page < pages && linesMatching(pageTexts[page], "^Summary$").isEmpty())
        ++page;
    QVERIFY(page < pages);
    while (++page < pages)
        QCOMPARE(linesMatching(pageTexts[page], "^Summary \\(continued\\)$").size(), 1);
    // Searchable words: no ligature (U+FB00 to U+FB06) in the text layer.
    const QString all = QString::fromUtf8(text.out);
    QVERIFY(all.contains(QLatin1String("first")));
    QVERIFY(std::none_of(all.begin(), all.end(), [](QChar c) { return c.unicode() >= 0xFB00 && c.unicode() <= 0xFB06; }));
}

void tst_Report::cellColours_data()
{
    QTest::addColumn<QString>("paper");
    QTest::addColumn<QStringList>("drawn");
    QTest::addColumn<int>("position");
    QTest::addColumn<int>("cell");
    QTest::addColumn<QRgb>("colour");
    QTest::addColumn<bool>("framed"); // heavy and dark in a greyscale print
    const QRgb white = qRgb(255, 255, 255);
    const QRgb green = qRgb(0, 255, 0);
    // Board 7 cell 13 holds (77 + 39) % 100 = 16.
    const QStringList draw16{QStringLiteral("16"), QStringLiteral("99")};
    QTest::newRow("drawn number green") << QStringLiteral("a4") << draw16 << 7 << 13 << green << true;
    QTest::newRow("its neighbour white") << QStringLiteral("a4") << draw16 << 7 << 12 << white << false;
    QTest::newRow("on letter paper") << QStringLiteral("letter") << draw16 << 7 << 13 << green << true;
    QTest::newRow("stored red, checked: white") << QStringLiteral("a4") << draw16 << 2 << 0 << white << false;
    QTest::newRow("stored red, no N") << QStringLiteral("letter") << QStringList{} << 2 << 0 << qRgb(255, 0, 0)
                                      << false;
    QTest::newRow("stored green, no N") << QStringLiteral("a4") << QStringList{} << 2 << 1 << green << true;
    QTest::newRow("second page, no N") << QStringLiteral("a4") << QStringList{} << 21 << 6 << white << false;
}

void tst_Report::cellColours()
{
    QFETCH(QString, paper);
    QFETCH(QStringList, drawn);
    QFETCH(int, position);
    QFETCH(int, cell);
    QFETCH(QRgb, colour);
    QFETCH(bool, framed);
    const QString pdf = path("colours.pdf");
    const ProcessRun r = RunZanvoTool(
        QStringList{QStringLiteral("report"), path("boards.dat"), QStringLiteral("--paper"), paper} + drawn
        + QStringList{QStringLiteral("--force"), QStringLiteral("--output"), pdf});
    QVERIFY2(r.status == 0, r.err.constData());

    ReportLayout layout(paper == QLatin1String("letter") ? ReportPaper::Letter : ReportPaper::A4, !drawn.isEmpty());
    QPointF board;
    for (int p = 1; p <= position; ++p) {
        board = layout.StartBoard(25); // board 21's 7 numbers fit where 25 would
        layout.EndBoard(board.y() + layout.BoardHeight(p == 21 ? 7 : 25));
    }
    // At 72 dots per inch a point is a pixel.
    const QString page = QString::number(layout.Page());
    const QString png = path("page");
    const QStringList options = QStringLiteral("-r 72 -singlefile -png -f %1 -l %1").arg(page).split(QLatin1Char(' '));
    QCOMPARE(RunProcess(QStringLiteral("pdftoppm"), options + QStringList{pdf, png}).status, 0);
    const QString grey = path("grey");
    QCOMPARE(RunProcess(QStringLiteral("pdftoppm"), options + QStringList{QStringLiteral("-gray"), pdf, grey}).status, 0);
    const QImage image(png + QStringLiteral(".png"));
    QCOMPARE(image.size(), QSize(qRound(layout.PageWidth()), qRound(layout.PageHeight())));
    // Right of the number, clear of the border.
    const QRectF place = ReportLayout::CellRect(board, static_cast<std::size_t>(cell));
    const QColor seen = image.pixelColor(static_cast<int>(place.x() + 0.85 * place.width()),
                                         static_cast<int>(place.center().y()));
    const QColor want(colour);
    QVERIFY2(std::abs(seen.red() - want.red()) < 8 && std::abs(seen.green() - want.green()) < 8
                 && std::abs(seen.blue() - want.blue()) < 8,
             qPrintable(seen.name()));
    // Inside the cell's left edge a drawn cell's frame is near black, far darker
    // than its fill; a plain cell shows its fill there.
    const QImage greyImage(grey + QStringLiteral(".png"));
    const int y = static_cast<int>(place.center().y());
    const int frame = qGray(greyImage.pixel(static_cast<int>(place.x() + 1), y));
    const int fill = qGray(greyImage.pixel(static_cast<int>(place.x() + 0.85 * place.width()), y));
    QVERIFY2(framed ? frame < 60 && fill - frame > 60 : std::abs(fill - frame) < 16,
             qPrintable(QStringLiteral("%1 %2").arg(frame).arg(fill)));
}

void tst_Report::madeOn_data()
{
    QTest::addColumn<QString>("epoch"); // SOURCE_DATE_EPOCH
    QTest::addColumn<QString>("date");
    QTest::addColumn<int>("status");
    QTest::newRow("SOURCE_DATE_EPOCH") << QStringLiteral("1700000000") << QStringLiteral("2023-11-14") << 0;
    QTest::newRow("not a number") << QStringLiteral("soon") << QString() << 1;
}

void tst_Report::madeOn()
{
    QFETCH(QString, epoch);
    QFETCH(QString, date);
    QFETCH(int, status);
    const QByteArray tz = qgetenv("TZ");
    const auto restore = qScopeGuard([&] {
        qunsetenv("SOURCE_DATE_EPOCH");
        tz.isNull() ? qunsetenv("TZ") : qputenv("TZ", tz);
    });
    qputenv("SOURCE_DATE_EPOCH", epoch.toLatin1());
    // Made twice, in zones whose offsets the PDF's creation date would state
    // in different lengths.
    QList<QByteArray> made;
    for (const char* zone : {"UTC0", "IST-5:30"}) { // POSIX forms, no time zone files needed
        qputenv("TZ", zone);
        const QString pdf = path("made.pdf");
        QFile::remove(pdf);
        const ProcessRun r = RunZanvoTool({QStringLiteral("report"), path("boards.dat"), QStringLiteral("7"),
                                           QStringLiteral("-o"), pdf});
        QCOMPARE(r.status, status);
        if (status != 0) {
            QVERIFY2(r.err.contains("SOURCE_DATE_EPOCH") && !QFileInfo::exists(pdf), r.err.constData());
            return;
        }
        made << BytesOf(pdf);
    }
    const ProcessRun text = RunProcess(QStringLiteral("pdftotext"), {path("made.pdf"), QStringLiteral("-")});
    QVERIFY2(text.out.contains("Made " + date.toLatin1()), text.out.left(200).constData());
    QCOMPARE(made[0], made[1]);
    QVERIFY(made[0].contains("/CreationDate (D:20231114221320Z)"));
}

void tst_Report::replacesOnlyWithForceAndWhole()
{
    QTemporaryDir dir;
    const QString pdf = dir.filePath(QStringLiteral("old.pdf"));
    const QString damaged = dir.filePath(QStringLiteral("damaged.dat"));
    const QByteArray old("an earlier report");
    WriteBytes(pdf, old);
    WriteBytes(damaged, QByteArray("\x05\x00\x00\x00\x18", 5));
    const QString boards = path("boards.dat");
    const QByteArray boardBytes = BytesOf(boards);
    const QString o = QStringLiteral("-o");
    const QString force = QStringLiteral("--force");
    const QString report = QStringLiteral("report");

    ProcessRun r = RunZanvoTool({report, boards, o, pdf});
    QCOMPARE(r.status, 1);
    QVERIFY2(r.err.contains("--force"), r.err.constData());
    r = RunZanvoTool({report, damaged, QStringLiteral("7"), o, pdf, force});
    QCOMPARE(r.status, 1);
    QVERIFY2(r.err.startsWith("zanvo-tool: ") && r.err.count('\n') == 1 && r.err.contains("damaged"), r.err.constData());
    QCOMPARE(BytesOf(pdf), old);
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files).size(), 2); // nothing half-written left behind
    // Not even --force lets the report take the place of its boards, or of a pipe.
    QCOMPARE(RunZanvoTool({report, boards, o, boards, force}).status, 2);
    QCOMPARE(BytesOf(boards), boardBytes);
    const QString fifo = dir.filePath(QStringLiteral("fifo"));
    MakeFileOfKind(fifo, QStringLiteral("fifo"));
    QCOMPARE(RunZanvoTool({report, boards, o, fifo, force}).status, 1);
    QVERIFY(QFileInfo(fifo).exists() && !QFileInfo(fifo).isFile());

    r = RunZanvoTool({report, boards, o, pdf, force});
    QCOMPARE(r.status, 0);
    QVERIFY(BytesOf(pdf).startsWith("%PDF-"));
}

QTEST_GUILESS_MAIN(tst_Report)
#include "tst_Report.moc"
