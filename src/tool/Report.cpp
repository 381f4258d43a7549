// SPDX-License-Identifier: GPL-3.0-or-later
#include "Report.h"

#include "BoardFileStream.h"
#include "HitsText.h"

#include "board/BoardFileSave.h"
#include "board/CellFormat.h"
#include "board/Contrast.h"
#include "board/ZanvoError.h"
#include "check/MatchCheck.h"

#include <QDateTime>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QFont>
#include <QFontMetricsF>
#include <QHashSeed>
#include <QLocale>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>

#include "zanvo_version.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <ctime>
#include <exception>
#include <string>
#include <unistd.h>

namespace {

// The writer's resolution: layout is in points, ten device units each.
constexpr double Dpi = 720;
constexpr double Unit = Dpi / 72;
// The width a number has in a cell, in device units.
constexpr double NumberRoom = (ReportLayout::CellSize - 6) * Unit;

// Most-hits positions listed in the summary; the rest are counted.
constexpr std::size_t ListedPositions = 100;
// Drawn numbers the header has room for (two lines); the rest are counted.
constexpr int HeaderLines = 2;

// Summary lines: the heading, and again on every page the summary goes on to.
constexpr double HeadingHeight = 20;
constexpr double SummaryLine = 14;

const QRgb Border = qRgb(0x80, 0x80, 0x80);
const QRgb Muted = qRgb(0x55, 0x55, 0x55);

[[noreturn]] void failOn(const QString& file, int number, const QString& what)
{
    throw ZanvoError(number, QStringLiteral("%1: %2").arg(file, what).toStdString());
}

QRectF device(double x, double y, double w, double h)
{
    return {x * Unit, y * Unit, w * Unit, h * Unit};
}

QFont reportFont(qreal points, QFont::Weight weight = QFont::Normal)
{
    QFont font(QStringLiteral("Sans Serif"));
    font.setStyleHint(QFont::SansSerif);
    font.setHintingPreference(QFont::PreferNoHinting);
    // No ligatures: "fi" stays two letters in the text layer, where search and
    // copying look for them.
    font.setStyleStrategy(QFont::PreferNoShaping);
    font.setPointSizeF(points);
    font.setWeight(weight);
    return font;
}

// "100,000", whatever the user's locale.
QString withThousands(std::int64_t n)
{
    return QLocale(QLocale::English, QLocale::UnitedStates).toString(static_cast<qlonglong>(n));
}

// SOURCE_DATE_EPOCH when it is set (in UTC), so that the same boards give the same
// report byte for byte; null otherwise.
QDateTime sourceDateEpoch()
{
    if (qEnvironmentVariableIsEmpty("SOURCE_DATE_EPOCH"))
        return {};
    const QByteArray value = qgetenv("SOURCE_DATE_EPOCH");
    bool ok = false;
    const qlonglong seconds = value.toLongLong(&ok);
    // Up to the end of 9999: a PDF date has four digits for the year.
    if (!ok || seconds < 0 || seconds > 253402300799LL)
        throw ZanvoError(ErrorNumber::Overflow, "SOURCE_DATE_EPOCH is not a number of seconds from 1970 to 9999: \""
                                                    + value.toStdString() + '"');
    return QDateTime::fromSecsSinceEpoch(seconds, Qt::UTC);
}

// A line on standard error, rewritten in place, once the report has taken more than
// a second; only on a terminal, where it does not end up in a log.
class Progress {
public:
    explicit Progress(QIODevice* err)
    {
        const auto* file = qobject_cast<QFileDevice*>(err);
        if (file && file->handle() >= 0 && isatty(file->handle()) == 1)
            m_err = err;
        m_clock.start();
    }
    Progress(const Progress&) = delete;
    Progress& operator=(const Progress&) = delete;
    ~Progress()
    {
        if (m_width > 0)
            write(QLatin1Char('\r') + QString(m_width, u' ') + QLatin1Char('\r'));
    }

    void Update(std::int32_t position, std::int32_t count, int page)
    {
        if (!m_err || (position & 255) != 0)
            return;
        const qint64 now = m_clock.elapsed();
        if (now < 1000 || now - m_shownAt < 200)
            return;
        m_shownAt = now;
        const QString line = QStringLiteral("zanvo-tool: report: board %1 of %2, page %3")
                                 .arg(withThousands(position), withThousands(count), withThousands(page));
        write(QLatin1Char('\r') + line.leftJustified(m_width));
        m_width = std::max(m_width, line.size());
    }

private:
    void write(const QString& text) { m_err->write(text.toUtf8()); }

    QIODevice* m_err = nullptr;
    QElapsedTimer m_clock;
    qint64 m_shownAt = 0;
    qsizetype m_width = 0;
};

// Lays the report out, and paints it when it knows its page count: a first pass
// with `pages` 0 counts them for the "Page N of M" of the second.
class ReportPainter {
public:
    ReportPainter(const ReportRequest& request, QPdfWriter& writer, const QDate& made, int pages);

    int Page() const noexcept { return m_layout.Page(); }
    void Board(std::int32_t position, const clsBoard& board, int hits);
    void Summary(std::int32_t boardCount);
    void Finish();

private:
    bool painting() const noexcept { return m_pages > 0; }
    void newPage();
    void header();
    void footer();
    void caption(const QPointF& at, std::int32_t position, bool continued);
    // One row of a board's grid, up to five cells.
    void cells(double left, double top, std::span<const BoardEntry> row);
    QString drawnText() const;
    QStringList hitLines(const clsBoard& board, int hits) const;
    void textLine(const QFont& font, double top, double height, const QString& text);

    const ReportRequest& m_request;
    QPdfWriter& m_writer;
    QPainter m_painter;
    ReportLayout m_layout;
    QString m_name;
    QDate m_made;
    int m_pages = 0; // 0: counting them
    bool m_inSummary = false;
    QFont m_title = reportFont(14, QFont::Bold);
    QFont m_text = reportFont(10);
    QFont m_small = reportFont(8.5);
    QFont m_caption = reportFont(9.75, QFont::Bold);
    QFont m_number = reportFont(9.75);
    // Drawn cells: bold digits in a heavy frame, which a greyscale print keeps.
    QFont m_drawnNumber = reportFont(9.75, QFont::Bold);
    QFont m_heading = reportFont(11, QFont::Bold);
    QFontMetricsF m_textMetrics{m_text, &m_writer};
    QFontMetricsF m_numberMetrics{m_number, &m_writer};
    QFontMetricsF m_drawnMetrics{m_drawnNumber, &m_writer};
    double m_numberBaseline = 0; // below a cell's top, in points
    // The summary's counts: boards by hit count, and the positions with the most.
    std::vector<std::int64_t> m_hitBoards;
    int m_mostHits = -1;
    std::vector<std::int32_t> m_mostHitPositions;
};

ReportPainter::ReportPainter(const ReportRequest& request, QPdfWriter& writer, const QDate& made, int pages)
    : m_request(request), m_writer(writer),
      m_layout(request.paper, !request.drawn.empty(), [this] { newPage(); }),
      m_name(QFileInfo(request.file).fileName()), m_made(made), m_pages(pages),
      m_hitBoards(request.drawn.size() + 1, 0)
{
    if (painting() && !m_painter.begin(&m_writer))
        failOn(m_request.output, ErrorNumber::DeviceIO, QStringLiteral("The PDF cannot be started"));
    const double ascent = m_numberMetrics.ascent() / Unit;
    const double descent = m_numberMetrics.descent() / Unit;
    m_numberBaseline = (ReportLayout::CellSize + ascent - descent) / 2;
    header();
    footer();
}

void ReportPainter::newPage()
{
    if (painting() && !m_writer.newPage())
        failOn(m_request.output, ErrorNumber::DeviceIO, QStringLiteral("A page of the PDF cannot be started"));
    footer();
    if (m_inSummary)
        textLine(m_heading, m_layout.Block(HeadingHeight), HeadingHeight, QStringLiteral("Summary (continued)"));
}

QString ReportPainter::drawnText() const
{
    const auto& drawn = m_request.drawn;
    if (drawn.empty())
        return QStringLiteral("No drawn numbers given: the colours are the ones stored in the file.");
    // As many numbers as two lines hold; the rest are counted.
    const QRectF room(0, 0, m_layout.ContentWidth() * Unit, 1e9);
    const double most = HeaderLines * m_textMetrics.lineSpacing() + 1;
    const auto text = [&](std::size_t shown) {
        QString s = QStringLiteral("Drawn numbers: ");
        for (std::size_t i = 0; i < shown; ++i)
            s += (i ? QStringLiteral(", ") : QString()) + QString::number(drawn[i]);
        if (shown < drawn.size())
            s += QStringLiteral(" and %1 more").arg(withThousands(static_cast<std::int64_t>(drawn.size() - shown)));
        return s + QStringLiteral(" (green, bold and framed: the first cell of each on a board)");
    };
    std::size_t shown = drawn.size();
    while (shown > 0 && m_textMetrics.boundingRect(room, Qt::TextWordWrap, text(shown)).height() > most)
        shown = shown > 64 ? shown / 2 : shown - 1;
    return text(shown);
}

void ReportPainter::header()
{
    if (!painting())
        return;
    const double left = m_layout.ContentLeft();
    const double width = m_layout.ContentWidth();
    const double y = m_layout.HeaderTop();
    m_painter.setPen(QColor(qRgb(0, 0, 0)));
    // The date on the right of the title line, ISO whatever the locale.
    const QString made = QStringLiteral("Made ") + m_made.toString(Qt::ISODate);
    m_painter.setFont(m_text);
    m_painter.drawText(device(left, y + 2, width, 16), Qt::AlignRight | Qt::AlignTop, made);
    const double titleWidth = width - m_textMetrics.horizontalAdvance(made) / Unit - 12;
    m_painter.setFont(m_title);
    const QFontMetricsF titleMetrics(m_title, &m_writer);
    m_painter.drawText(device(left, y, titleWidth, 20), Qt::AlignLeft | Qt::AlignTop,
                       titleMetrics.elidedText(m_name, Qt::ElideMiddle, titleWidth * Unit));
    textLine(m_text, y + 20, 13 * HeaderLines, drawnText());
}

void ReportPainter::footer()
{
    if (!painting())
        return;
    const double top = m_layout.FooterTop();
    const double left = m_layout.ContentLeft();
    const double width = m_layout.ContentWidth();
    m_painter.setFont(m_small);
    m_painter.setPen(QColor(Muted));
    const QFontMetricsF metrics(m_small, &m_writer);
    m_painter.drawText(device(left, top, width * 0.75, ReportLayout::FooterText), Qt::AlignLeft | Qt::AlignVCenter,
                       metrics.elidedText(m_name, Qt::ElideMiddle, width * 0.75 * Unit));
    m_painter.drawText(device(left, top, width, ReportLayout::FooterText), Qt::AlignRight | Qt::AlignVCenter,
                       QStringLiteral("Page %1 of %2").arg(m_layout.Page()).arg(m_pages));
}

void ReportPainter::caption(const QPointF& at, std::int32_t position, bool continued)
{
    if (!painting())
        return;
    m_painter.setFont(m_caption);
    m_painter.setPen(QColor(qRgb(0, 0, 0)));
    QString text = QStringLiteral("Brett %1").arg(position);
    if (continued)
        text += QStringLiteral(" (continued)");
    m_painter.drawText(QPointF(at.x(), at.y() + 11) * Unit, text);
}

void ReportPainter::cells(double left, double top, std::span<const BoardEntry> row)
{
    // Backgrounds and borders first, then the numbers: few changes of pen and brush,
    // which the PDF repeats for every change. Colours are 0xRRGGBB; QColor makes
    // them opaque.
    constexpr double Step = ReportLayout::CellSize + ReportLayout::CellGap;
    std::array<QRectF, ReportLayout::CellsPerRow> places;
    std::array<std::uint32_t, ReportLayout::CellsPerRow> backgrounds{};
    std::array<bool, ReportLayout::CellsPerRow> drawn{};
    bool anyDrawn = false;
    for (std::size_t i = 0; i < row.size(); ++i) {
        places[i] = device(left + static_cast<double>(i) * Step, top, ReportLayout::CellSize, ReportLayout::CellSize);
        backgrounds[i] = CellRgb(static_cast<std::uint32_t>(row[i].Colour));
        drawn[i] = row[i].Colour == CellGreen;
        anyDrawn = anyDrawn || drawn[i];
    }
    m_painter.setPen(QPen(QColor(Border), 0.5 * Unit));
    for (std::size_t i = 0; i < row.size(); ++i) {
        const QColor colour(backgrounds[i]);
        if (m_painter.brush().color() != colour || m_painter.brush().style() != Qt::SolidPattern)
            m_painter.setBrush(colour);
        m_painter.drawRect(places[i]);
    }
    if (anyDrawn) {
        // Inside the cell, clear of the number and of the next cell.
        m_painter.setPen(QPen(QColor(qRgb(0, 0, 0)), 2 * Unit, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
        m_painter.setBrush(Qt::NoBrush);
        for (std::size_t i = 0; i < row.size(); ++i)
            if (drawn[i])
                m_painter.drawRect(places[i].adjusted(Unit, Unit, -Unit, -Unit));
    }
    bool bold = false;
    m_painter.setFont(m_number);
    for (std::size_t i = 0; i < row.size(); ++i) {
        // The text colour that reads on the cell, by the program's own rule.
        const QColor ink(ReadableTextColour(backgrounds[i]));
        if (m_painter.pen().color() != ink || m_painter.pen().widthF() != 0)
            m_painter.setPen(QPen(ink, 0));
        if (drawn[i] != bold) {
            bold = drawn[i];
            m_painter.setFont(bold ? m_drawnNumber : m_number);
        }
        const QString text = FormatCellNumber(row[i].Number);
        const QPointF at(places[i].x() + 3 * Unit, places[i].y() + m_numberBaseline * Unit);
        // Wide numbers are narrowed to their cell rather than cut; bold digits are
        // wider, so three of them may already need it.
        const double wide = text.size() > (bold ? 2 : 3)
                                ? (bold ? m_drawnMetrics : m_numberMetrics).horizontalAdvance(text)
                                : 0;
        if (wide > NumberRoom) {
            m_painter.save();
            m_painter.translate(at);
            m_painter.scale(NumberRoom / wide, 1);
            m_painter.drawText(QPointF(0, 0), text);
            m_painter.restore();
        } else {
            m_painter.drawText(at, text);
        }
    }
}

QStringList ReportPainter::hitLines(const clsBoard& board, int hits) const
{
    if (hits == 0)
        return {QStringLiteral("no hits")};
    // The drawn numbers the board holds in its order: after the check those are
    // its green cells. Wrapped at the board's width, between numbers.
    const double room = m_layout.BoardWidth() * Unit;
    const double space = m_textMetrics.horizontalAdvance(QLatin1Char(' '));
    QStringList lines;
    QString line = QString::fromStdString(HitsText(hits)) + QLatin1Char(':');
    double width = m_textMetrics.horizontalAdvance(line);
    const std::span<const BoardEntry> entries = board.Entries();
    int left = hits;
    for (const BoardEntry& entry : entries) {
        if (entry.Colour != CellGreen)
            continue;
        QString piece = QString::number(entry.Number);
        if (--left > 0)
            piece += QLatin1Char(',');
        const double w = m_textMetrics.horizontalAdvance(piece);
        if (width + space + w > room) {
            lines << line;
            line = piece;
            width = w;
        } else {
            line += QLatin1Char(' ') + piece;
            width += space + w;
        }
    }
    lines << line;
    return lines;
}

void ReportPainter::Board(std::int32_t position, const clsBoard& board, int hits)
{
    const std::span<const BoardEntry> entries = board.Entries();
    const QStringList hitText = m_request.drawn.empty() ? QStringList() : hitLines(board, hits);
    const QPointF at = m_layout.StartBoard(entries.size(), static_cast<int>(hitText.size()));
    caption(at, position, false);
    constexpr double Step = ReportLayout::CellSize + ReportLayout::CellGap;
    double y = at.y() + ReportLayout::CaptionHeight;
    for (std::size_t first = 0; first < entries.size(); first += ReportLayout::CellsPerRow) {
        // Only a board taller than a page gets here with no room left.
        if (y + ReportLayout::CellSize > m_layout.ContentBottom()) {
            m_layout.NewPage();
            y = m_layout.Top();
            caption(QPointF(at.x(), y), position, true);
            y += ReportLayout::CaptionHeight;
        }
        if (painting())
            cells(at.x(), y,
                  entries.subspan(first, std::min<std::size_t>(ReportLayout::CellsPerRow, entries.size() - first)));
        y += Step;
    }
    if (!entries.empty())
        y -= ReportLayout::CellGap;
    // Unchecked, there are no hit lines, and the counts go unused.
    for (const QString& line : hitText) {
        if (y + ReportLayout::HitLine > m_layout.ContentBottom()) {
            m_layout.NewPage();
            y = m_layout.Top();
        }
        if (painting()) {
            // A new page's footer leaves its own font and colour.
            m_painter.setFont(m_text);
            m_painter.setPen(QColor(qRgb(0, 0, 0)));
            m_painter.drawText(QPointF(at.x(), y + 11) * Unit, line);
        }
        y += ReportLayout::HitLine;
    }
    ++m_hitBoards[static_cast<std::size_t>(hits)];
    if (hits > m_mostHits) {
        m_mostHits = hits;
        m_mostHitPositions.clear();
    }
    if (hits == m_mostHits && m_mostHitPositions.size() < ListedPositions)
        m_mostHitPositions.push_back(position);
    m_layout.EndBoard(y);
}

void ReportPainter::textLine(const QFont& font, double top, double height, const QString& text)
{
    if (!painting())
        return;
    m_painter.setFont(font);
    m_painter.setPen(QColor(qRgb(0, 0, 0)));
    m_painter.drawText(device(m_layout.ContentLeft(), top, m_layout.ContentWidth(), height),
                       Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap, text);
}

void ReportPainter::Summary(std::int32_t boardCount)
{
    // The heading keeps its first line with it.
    const double top = m_layout.Block(HeadingHeight + SummaryLine);
    textLine(m_heading, top, HeadingHeight, QStringLiteral("Summary"));
    m_inSummary = true;
    const auto line = [&](std::size_t k) {
        return QString::fromStdString(HitSummaryLine(static_cast<std::int64_t>(k), m_hitBoards[k]));
    };
    if (m_request.drawn.empty()) {
        textLine(m_text, top + HeadingHeight, SummaryLine, QString::fromStdString(BoardsText(boardCount)));
        return;
    }
    textLine(m_text, top + HeadingHeight, SummaryLine, line(0));
    for (std::size_t k = 1; k < m_hitBoards.size(); ++k)
        textLine(m_text, m_layout.Block(SummaryLine), SummaryLine, line(k));
    if (m_mostHits < 0)
        return;
    const std::int64_t mostHitBoards = m_hitBoards[static_cast<std::size_t>(m_mostHits)];
    QString most = QStringLiteral("Most hits: %1, ").arg(QString::fromStdString(HitsText(m_mostHits)));
    if (mostHitBoards > static_cast<std::int64_t>(m_mostHitPositions.size()))
        most += QStringLiteral("%1 boards, the first %2: ")
                    .arg(withThousands(mostHitBoards))
                    .arg(m_mostHitPositions.size());
    else
        most += mostHitBoards == 1 ? QStringLiteral("board ") : QStringLiteral("boards ");
    for (std::size_t i = 0; i < m_mostHitPositions.size(); ++i)
        most += (i ? QStringLiteral(", ") : QString()) + QString::number(m_mostHitPositions[i]);
    // Wrapped over as many lines as it takes.
    const double height =
        m_textMetrics.boundingRect(QRectF(0, 0, m_layout.ContentWidth() * Unit, 1e9), Qt::TextWordWrap, most).height()
        / Unit;
    const double block = std::ceil(height) + 2;
    textLine(m_text, m_layout.Block(block), block, most);
}

void ReportPainter::Finish()
{
    if (painting() && !m_painter.end())
        failOn(m_request.output, ErrorNumber::DeviceIO, QStringLiteral("The PDF cannot be finished"));
}

// What the PDF writer writes, handed on to the file in pieces of a megabyte. The
// writer ignores a short write, and a buffered QSaveFile loses a failure in its
// last flush: under a file-size limit either would leave a cut-off report that
// still counts as written. Qt does not expect a throwing device, so the first
// failure is kept and every write fails from then on; Finish throws it.
class WholeWrites : public QIODevice {
public:
    explicit WholeWrites(AtomicFileWrite& file) : m_file(file)
    {
        m_held.reserve(Piece);
        open(QIODevice::WriteOnly | QIODevice::Unbuffered);
    }
    bool isSequential() const override { return true; }

    bool Failed() const noexcept { return m_failure != nullptr; }
    // The writer stamps the PDF with the time it starts; `stamp` (YYYYMMDDHHMMSS)
    // takes its place, digit for digit, so no offset in the file moves.
    void SetCreationStamp(const QByteArray& stamp) { m_stamp = stamp; }
    // Writes what is still held, or throws what made a write fail.
    void Finish()
    {
        flush();
        if (m_failure)
            std::rethrow_exception(m_failure);
    }

protected:
    qint64 readData(char*, qint64) override { return -1; }
    qint64 writeData(const char* data, qint64 size) override
    {
        if (m_failure)
            return -1;
        m_held.append(data, size);
        if (m_held.size() >= Piece && !flush())
            return -1;
        return size;
    }

private:
    bool flush() noexcept
    {
        if (!m_stamp.isEmpty()) {
            // Near the start, in the document information the writer begins with.
            static constexpr char Key[] = "/CreationDate (D:";
            const qsizetype at = m_held.indexOf(Key);
            const qsizetype digits = at + qsizetype(sizeof Key) - 1;
            if (at >= 0 && digits + m_stamp.size() <= m_held.size())
                m_held.replace(digits, m_stamp.size(), m_stamp);
            m_stamp.clear();
        }
        if (!m_failure) {
            try {
                m_file.Write(m_held.constData(), m_held.size());
            } catch (...) {
                m_failure = std::current_exception();
            }
        }
        m_held.clear();
        return !m_failure;
    }

    static constexpr qsizetype Piece = qsizetype(1) << 20;
    AtomicFileWrite& m_file;
    QByteArray m_held;
    std::exception_ptr m_failure;
    QByteArray m_stamp;
};

QPageSize pageSize(ReportPaper paper)
{
    return QPageSize(paper == ReportPaper::Letter ? QPageSize::Letter : QPageSize::A4);
}

} // namespace

ReportLayout::ReportLayout(ReportPaper paper, bool withHits, std::function<void()> onNewPage)
    : m_withHits(withHits), m_onNewPage(std::move(onNewPage))
{
    const QSizeF size = pageSize(paper).size(QPageSize::Point);
    m_width = size.width();
    m_height = size.height();
    m_columns = std::max(1, static_cast<int>((ContentWidth() + ColumnGap) / (BoardWidth() + ColumnGap)));
    m_columnStep = m_columns > 1 ? (ContentWidth() - BoardWidth()) / (m_columns - 1) : 0;
    m_rowTop = m_rowBottom = Top();
}

double ReportLayout::BoardHeight(std::size_t cells, int hitLines) const noexcept
{
    const auto rows = static_cast<double>((cells + CellsPerRow - 1) / CellsPerRow);
    return CaptionHeight + (rows > 0 ? rows * CellSize + (rows - 1) * CellGap : 0) + HitsHeight(hitLines);
}

QPointF ReportLayout::StartBoard(std::size_t cells, int hitLines)
{
    const double h = BoardHeight(cells, hitLines);
    if (m_column >= m_columns || (m_column > 0 && m_rowTop + h > ContentBottom())) {
        m_rowTop = m_rowBottom + BoardGap;
        m_rowBottom = m_rowTop;
        m_column = 0;
    }
    if (m_column == 0 && m_rowTop + h > ContentBottom() && m_rowTop > Top())
        NewPage();
    m_boardPage = m_page;
    return {Margin + m_column * m_columnStep, m_rowTop};
}

void ReportLayout::EndBoard(double bottom)
{
    if (m_page != m_boardPage) {
        // It went on across pages: the rest of its last row stays empty.
        m_rowTop = Top();
        m_column = m_columns;
        m_rowBottom = bottom;
        return;
    }
    m_rowBottom = std::max(m_rowBottom, bottom);
    ++m_column;
}

double ReportLayout::Block(double height)
{
    if (!m_inBlocks) {
        m_inBlocks = true;
        const bool pageHasBoards = m_column > 0 || m_rowBottom > m_rowTop;
        m_cursor = pageHasBoards ? m_rowBottom + BoardGap : m_rowTop;
    }
    if (m_cursor + height > ContentBottom() && m_cursor > Top())
        NewPage();
    const double top = m_cursor;
    m_cursor += height;
    return top;
}

void ReportLayout::NewPage()
{
    ++m_page;
    m_column = 0;
    m_rowTop = m_rowBottom = m_cursor = Top();
    if (m_onNewPage)
        m_onNewPage();
}

QRectF ReportLayout::CellRect(const QPointF& board, std::size_t cell)
{
    const auto column = static_cast<double>(cell % CellsPerRow);
    const auto row = static_cast<double>(cell / CellsPerRow);
    return {board.x() + column * (CellSize + CellGap), board.y() + CaptionHeight + row * (CellSize + CellGap),
            CellSize, CellSize};
}

namespace {

// One pass over the boards, the first only counting the pages the second paints.
void layBoards(const ReportRequest& request, MatchCheck& check, ReportPainter& painter, const WholeWrites* whole)
{
    BoardFileStream stream(request.file);
    Progress progress(whole ? request.progress : nullptr);
    clsBoard board;
    while (stream.Next(board)) {
        const int hits = request.drawn.empty() ? 0 : check.Check(board);
        painter.Board(stream.Position(), board, hits);
        progress.Update(stream.Position(), stream.BoardCount(), painter.Page());
        if (whole && whole->Failed())
            break; // the rest would be painted for nothing
    }
    painter.Summary(stream.Position());
}

} // namespace

void WriteReport(const ReportRequest& request)
{
    clsBoard drawn;
    for (const std::int32_t n : request.drawn)
        drawn.AppendNumber(n, 0);
    const QDateTime fixed = sourceDateEpoch();
    if (fixed.isValid()) {
        // The writer states its start in local time with the zone's offset, whose
        // length varies; in UTC it is the same wherever the report is made.
        qputenv("TZ", "UTC");
        tzset();
        // The writer keeps its fonts in a hash and writes them in its order, which
        // the per-process seed would change from run to run.
        QHashSeed::setDeterministicGlobalSeed();
    }
    const QDate made = fixed.isValid() ? fixed.date() : QDate::currentDate();
    MatchCheck check(drawn);

    // Written beside OUT and put in its place only when complete, like every save.
    AtomicFileWrite file(request.output,
                         QStringLiteral("The report was not written; any file of that name is unchanged."));
    WholeWrites whole(file);
    if (fixed.isValid())
        whole.SetCreationStamp(fixed.toString(QStringLiteral("yyyyMMddHHmmss")).toLatin1());
    int pages = 0;
    {
        QPdfWriter writer(&whole);
        writer.setResolution(static_cast<int>(Dpi));
        writer.setPageSize(pageSize(request.paper));
        writer.setPageMargins(QMarginsF(0, 0, 0, 0));
        writer.setTitle(QStringLiteral("Zanvo boards: %1").arg(QFileInfo(request.file).fileName()));
        writer.setCreator(QStringLiteral("zanvo-tool " ZANVO_VERSION_STRING));
        {
            ReportPainter counting(request, writer, made, 0);
            layBoards(request, check, counting, nullptr);
            pages = counting.Page();
        }
        ReportPainter painter(request, writer, made, pages);
        layBoards(request, check, painter, &whole);
        painter.Finish();
        if (painter.Page() != pages && !whole.Failed())
            failOn(request.file, ErrorNumber::DeviceIO,
                   QStringLiteral("The boards changed while the report was made. The report was not written."));
    }
    whole.Finish();
    file.Commit();
}
