// SPDX-License-Identifier: GPL-3.0-or-later
#include "usrBoard.h"

#include "BoardAccessible.h"
#include "CellPainter.h"
#include "board/CellFormat.h"
#include "board/Contrast.h"
#include "board/NumberReading.h"
#include "board/ZanvoError.h"
#include "board/clsBoard.h"

#include <QAccessible>
#include <QFontDatabase>
#include <QHelpEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QPushButton>
#include <QStyleOptionButton>
#include <QToolTip>

#include <algorithm>
#include <limits>
#include <optional>

namespace {

// Design size of the control; the host may give it another, the grid stays.
constexpr int DesignWidth = 176;
constexpr int DesignHeight = 209;
constexpr int CellGap = 4;
constexpr qreal DesignPointSize = 9.75;
const QRect HeaderPlace(8, 8, 153, 17);
const QRect FirstCell(8, 40, 28, 28);

const QString& freshCaption()
{
    static const QString text = QStringLiteral("Brett 1:");
    return text;
}

// The designed face where it is installed, else the desktop's sans-serif. Looked up
// once: the installed fonts do not change while the program runs.
const QString& headerFace()
{
    static const QString face = QFontDatabase::hasFamily(QStringLiteral("MS Sans Serif"))
        ? QStringLiteral("MS Sans Serif") : QStringLiteral("Sans Serif");
    return face;
}

const QString& cellFace()
{
    static const QString face = QFontDatabase::hasFamily(QStringLiteral("Microsoft Sans Serif"))
        ? QStringLiteral("Microsoft Sans Serif") : QStringLiteral("Sans Serif");
    return face;
}

QFont designFont(const QString& face, QFont::Weight weight)
{
    QFont font(face);
    font.setStyleHint(QFont::SansSerif);
    font.setPointSizeF(DesignPointSize);
    font.setWeight(weight);
    return font;
}

// "X": a real button, whose picture its board draws with the rest of the board; a
// paint of its own for each of a few hundred buttons cost more than the picture.
class DeleteButton : public QPushButton {
public:
    using QPushButton::QPushButton;

    QStyleOptionButton Option() const
    {
        QStyleOptionButton option;
        initStyleOption(&option);
        return option;
    }

protected:
    void paintEvent(QPaintEvent* /*event*/) override {}
};

QColor qColorOf(std::uint32_t rgb)
{
    return QColor::fromRgb(static_cast<QRgb>(rgb));
}

} // namespace

usrBoard::usrBoard(QWidget* parent) : QWidget(parent), m_caption(freshCaption())
{
    InstallBoardAccessibility();
    resize(DesignWidth, DesignHeight);
    // Everything of the control is painted by itself, background included, so a
    // repaint never has to draw what lies behind it first.
    setAttribute(Qt::WA_OpaquePaintEvent);
    takeFonts();

    // Drawn above the right end of the header, which it overlaps.
    cmdDelete = new DeleteButton(QStringLiteral("X"), this);
    cmdDelete->setObjectName(QStringLiteral("cmdDelete"));
    cmdDelete->setGeometry(144, 8, 17, 17);
    // A click deletes without taking the keyboard from the cell being typed into.
    cmdDelete->setFocusPolicy(Qt::TabFocus);
    connect(cmdDelete, &QPushButton::clicked, this, [this] { cmdDelete_Click(); });
    cmdDelete->installEventFilter(this);

    // Cells 1..24 copy cell 0 and flow left to right, wrapping at the control's inner
    // width as it is now, at creation.
    m_cellRects[0] = FirstCell;
    const auto innerWidth = static_cast<float>(width());
    for (int i = 1; i < CellCount; ++i) {
        const QRect previous = m_cellRects[static_cast<std::size_t>(i - 1)];
        const auto w = static_cast<float>(FirstCell.width());
        const auto h = static_cast<float>(FirstCell.height());
        float left = static_cast<float>(previous.x()) + w + CellGap;
        float top = static_cast<float>(previous.y());
        if (left + w > innerWidth) {
            left = static_cast<float>(FirstCell.x());
            top = top + h + CellGap;
        }
        m_cellRects[static_cast<std::size_t>(i)] =
            QRect(static_cast<int>(left), static_cast<int>(top), FirstCell.width(), FirstCell.height());
    }
}

void usrBoard::takeFonts()
{
    // The designed faces and sizes; anything else (smoothing, say) from the desktop.
    m_headerFont = designFont(headerFace(), QFont::Bold).resolve(font());
    m_cellFont = designFont(cellFace(), QFont::Normal).resolve(font());
    m_captionTop = HeaderPlace.y() + (HeaderPlace.height() - QFontMetrics(m_headerFont).height()) / 2;
}

usrBoard::~usrBoard()
{
    ForgetBoardAccessibility(this);
}

CellPainter& usrBoard::Painter() const
{
    if (m_painter)
        return *m_painter;
    if (!m_ownPainter)
        m_ownPainter = std::make_unique<CellPainter>();
    return *m_ownPainter;
}

QString usrBoard::FormatNumber(std::int32_t n)
{
    return FormatCellNumber(n);
}

void usrBoard::Update()
{
    const std::shared_ptr<clsBoard> board = Board; // stays alive whatever a handler does
    if (!board)
        return;
    const std::int32_t last = board->NumberCount();
    const std::int32_t shown = std::min<std::int32_t>(last, CellCount - 1);
    m_numberTotal = last + 1;
    const int before = m_shownCount;
    m_shownCount = static_cast<int>(shown + 1);
    bool changed = false;
    for (int i = 0; i < CellCount; ++i) {
        if (i < m_shownCount) {
            const std::int32_t n = board->Numbers(i);
            // The text is the board's own number, so reading it back would store the
            // same number: the board ends as it was, and nothing is marked.
            Cell& cell = m_cells[static_cast<std::size_t>(i)];
            if (i == m_editedCell) {
                // What is being typed stays as typed; only its colour follows the board.
                changed |= setCellColour(i, static_cast<std::uint32_t>(board->zanvo(i)) & 0x00FFFFFFu);
                continue;
            }
            changed |= setCellText(i, FormatNumber(n));
            if (cell.Overflow) {
                cell.Overflow = false;
                takeInk(cell);
            }
            changed |= setCellColour(i, static_cast<std::uint32_t>(board->zanvo(i)) & 0x00FFFFFFu);
        } else if (i < before) {
            changed |= setCellText(i, QString());
            changed |= setCellColour(i, NoColour);
        }
    }
    if (changed || before != m_shownCount)
        update();
    if (last > shown)
        throw ZanvoError::SubscriptOutOfRange(); // no such cell; the rest stays unshown
}

void usrBoard::Caption(const QString& vNewValue)
{
    if (m_caption == vNewValue)
        return;
    m_caption = vNewValue;
    update(); // the whole control: a refresh repaints it anyway, and whole rectangles merge cheaply
    if (QAccessible::isActive()) {
        NameDeleteButton();
        BoardRenamed(this);
    }
}

void usrBoard::Recycle()
{
    // The cells stay as they are: without a board none holds a number, and the next
    // Update rewrites those the new board has and empties the rest.
    Board.reset();
    Tag.clear();
    m_editedCell = -1;
    Caption(freshCaption());
}

QString usrBoard::CellText(int Index) const
{
    return m_cells[static_cast<std::size_t>(Index)].Text;
}

std::uint32_t usrBoard::CellColour(int Index) const
{
    return m_cells[static_cast<std::size_t>(Index)].Colour;
}

QRect usrBoard::CellRect(int Index) const
{
    return m_cellRects[static_cast<std::size_t>(Index)];
}

bool usrBoard::HoldsNumber(int Index) const
{
    return Board && Index >= 0 && Index < m_shownCount;
}

int usrBoard::CellAt(QPoint point) const
{
    for (int i = 0; i < CellCount; ++i)
        if (m_cellRects[static_cast<std::size_t>(i)].contains(point))
            return i;
    return -1;
}

bool usrBoard::Overflowed(int Index) const
{
    return m_cells[static_cast<std::size_t>(Index)].Overflow;
}

bool usrBoard::ShowsWhole(int Index) const
{
    const QString& text = m_cells[static_cast<std::size_t>(Index)].Text;
    return Painter().Show(this, FirstCell.size(), m_cellFont, text).Whole;
}

QString usrBoard::CellTip(int Index) const
{
    if (!HoldsNumber(Index))
        return {};
    const Cell& cell = m_cells[static_cast<std::size_t>(Index)];
    if (cell.Overflow) {
        QString tip = QStringLiteral("%1 was not taken.\nA cell holds numbers from %2 to %3.")
                          .arg(cell.Text)
                          .arg(std::numeric_limits<std::int32_t>::min())
                          .arg(std::numeric_limits<std::int32_t>::max());
        if (Board && Board->IsNumber(Index))
            tip += QStringLiteral("\nThe board keeps %1.").arg(Board->Numbers(Index));
        return tip;
    }
    return ShowsWhole(Index) ? QString() : cell.Text;
}

QString usrBoard::CellName(int Index) const
{
    QString name = m_caption;
    if (name.endsWith(u':'))
        name.chop(1);
    if (HoldsNumber(Index))
        name += QStringLiteral(", number %1 of %2").arg(Index + 1).arg(m_numberTotal);
    else
        name += QStringLiteral(", cell %1, not on the board").arg(Index + 1);
    if (CellColour(Index) == static_cast<std::uint32_t>(CellGreen))
        name += QStringLiteral(", drawn");
    return name;
}

void usrBoard::NameDeleteButton()
{
    QString name = m_caption;
    if (name.endsWith(u':'))
        name.chop(1);
    name.prepend(QStringLiteral("Delete "));
    if (cmdDelete->accessibleName() != name)
        cmdDelete->setAccessibleName(name);
}

QRect usrBoard::HeaderRect() const
{
    return HeaderPlace;
}

QString usrBoard::HeaderTip() const
{
    if (!Board || m_numberTotal <= CellCount)
        return {};
    return QStringLiteral("This board holds %1 numbers; the first %2 are shown.").arg(m_numberTotal).arg(CellCount);
}

void usrBoard::SetEditedCell(int Index)
{
    if (Index == m_editedCell)
        return;
    const int left = m_editedCell;
    m_editedCell = Index;
    if (left >= 0 && left < CellCount) {
        Cell& cell = m_cells[static_cast<std::size_t>(left)];
        if (HoldsNumber(left) && !cell.Overflow)
            cell.Text = FormatNumber(Board->Numbers(left));
        update(CellRect(left));
    }
    if (Index >= 0 && Index < CellCount)
        update(CellRect(Index));
}

bool usrBoard::setCellText(int Index, const QString& text)
{
    Cell& cell = m_cells[static_cast<std::size_t>(Index)];
    if (cell.Text == text)
        return false;
    cell.Text = text;
    return true;
}

bool usrBoard::setCellColour(int Index, std::uint32_t colour)
{
    Cell& cell = m_cells[static_cast<std::size_t>(Index)];
    if (cell.Colour == colour)
        return false;
    cell.Colour = colour;
    takeInk(cell);
    return true;
}

void usrBoard::takeInk(Cell& cell)
{
    // Measured once per change, not on every paint: the contrast rule is not free.
    const std::uint32_t background = CellRgb(cell.Colour);
    cell.Ink = cell.Overflow ? ReadableWarningColour(background) : ReadableTextColour(background);
}

void usrBoard::EditorTextChanged(int Index, const QString& text)
{
    if (!HoldsNumber(Index))
        return; // a cell without a number takes no typing
    m_cells[static_cast<std::size_t>(Index)].Text = text;
    txtCell_Change(Index);
}

void usrBoard::txtCell_Change(int Index)
{
    Cell& cell = m_cells[static_cast<std::size_t>(Index)];
    // Beyond 32 bits: the board keeps its number, the cell its text, marked.
    const std::optional<std::int32_t> value = ReadNumberInRange(cell.Text.toStdString());
    if (Board && value)
        Board->Numbers(static_cast<std::int32_t>(Index), *value);
    const bool overflow = !value;
    if (cell.Overflow != overflow) {
        cell.Overflow = overflow;
        takeInk(cell);
        update(CellRect(Index));
    }
}

void usrBoard::cmdDelete_Click()
{
    Q_EMIT DeleteBoard();
}

void usrBoard::paintEvent(QPaintEvent* event)
{
    QPainter painter(this);
    const QRect dirty = event->rect();
    // One fill under everything: a call costs more than the pixels it writes.
    const QBrush window = palette().window();
    painter.fillRect(dirty, window);
    CellPainter& cells = Painter();

    if (dirty.intersects(HeaderPlace)) {
        painter.setFont(m_headerFont);
        painter.setPen(palette().color(QPalette::WindowText));
        cells.PaintCaption(painter, QPointF(HeaderPlace.x(), m_captionTop), m_headerFont, m_caption);
    }

    const int edited = m_editedCell;
    const QColor emptyBase = palette().color(QPalette::Disabled, QPalette::Base);
    if (!m_lookKnown) {
        m_look = CellPainter::LookOf(this);
        m_lookKnown = true;
    }
    const CellPainter::Frame frame = CellPainter::FrameOf(painter, this, m_look);
    for (int i = 0; i < CellCount; ++i) {
        const QRect rect = m_cellRects[static_cast<std::size_t>(i)];
        if (!dirty.intersects(rect))
            continue;
        if (i == edited) {
            painter.fillRect(rect, window); // the editor lies here; its corners show this
            continue;
        }
        if (!HoldsNumber(i)) {
            cells.PaintPanel(painter, frame, rect, emptyBase, false);
            continue;
        }
        const Cell& cell = m_cells[static_cast<std::size_t>(i)];
        cells.PaintCell(painter, frame, rect, qColorOf(CellRgb(cell.Colour)), qColorOf(cell.Ink), m_cellFont, cell.Text);
    }

    const QRect button = cmdDelete->geometry();
    if (dirty.intersects(button) && cmdDelete->isVisibleTo(this)) {
        cells.PaintButton(painter, frame, button.topLeft(), cmdDelete,
                          static_cast<const DeleteButton*>(cmdDelete)->Option());
    }

    // Some styles mark a focused small button faintly or not at all.
    if (cmdDelete->hasFocus()) {
        painter.setPen(QPen(palette().color(QPalette::Highlight), 2));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(QRectF(cmdDelete->geometry()).adjusted(-2, -2, 2, 2));
    }
}

bool usrBoard::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == cmdDelete && (event->type() == QEvent::FocusIn || event->type() == QEvent::FocusOut))
        update(cmdDelete->geometry().adjusted(-4, -4, 4, 4));
    return QWidget::eventFilter(watched, event);
}

void usrBoard::changeEvent(QEvent* event)
{
    switch (event->type()) {
    case QEvent::StyleChange:
    case QEvent::PaletteChange:
    case QEvent::FontChange:
        if (event->type() == QEvent::FontChange)
            takeFonts();
        m_lookKnown = false;
        // A painter of the control's own is dropped here; a view drops its shared one.
        if (m_ownPainter)
            m_ownPainter->Invalidate();
        update();
        break;
    default:
        break;
    }
    QWidget::changeEvent(event);
}

bool usrBoard::event(QEvent* event)
{
    if (event->type() == QEvent::ToolTip) {
        auto* help = static_cast<QHelpEvent*>(event);
        const int index = CellAt(help->pos());
        const QString tip = index >= 0 ? CellTip(index) : HeaderRect().contains(help->pos()) ? HeaderTip() : QString();
        if (tip.isEmpty()) {
            QToolTip::hideText();
            event->ignore();
        } else {
            QToolTip::showText(help->globalPos(), tip, this, index >= 0 ? CellRect(index) : HeaderRect());
        }
        return true;
    }
    // Pictures are kept per scale and activation; a new screen or an activation
    // change only has to draw with the other ones. Qt repaints on activation only
    // where the palette's groups differ, and a style's panels can differ anyway.
    if (event->type() == QEvent::ScreenChangeInternal || event->type() == QEvent::WindowActivate
        || event->type() == QEvent::WindowDeactivate)
        update();
    return QWidget::event(event);
}
