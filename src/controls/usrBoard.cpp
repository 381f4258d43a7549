// SPDX-License-Identifier: GPL-3.0-or-later
#include "usrBoard.h"

#include "board/CellFormat.h"
#include "board/Contrast.h"
#include "board/NumberReading.h"
#include "board/ZanvoError.h"
#include "board/clsBoard.h"

#include <QAccessible>
#include <QApplication>
#include <QFont>
#include <QFontDatabase>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>

#include <algorithm>
#include <limits>
#include <optional>

namespace {

// Design size of the control; the host may give it another, the grid stays.
constexpr int DesignWidth = 176;
constexpr int DesignHeight = 209;
constexpr int CellGap = 4;
constexpr qreal DesignPointSize = 9.75;

const QString& freshCaption()
{
    static const QString text = QStringLiteral("Brett 1:");
    return text;
}

const QString& freshCellText()
{
    static const QString text = QStringLiteral("01");
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

// 0xRRGGBB as an opaque colour.
QColor qColorOf(std::uint32_t rgb)
{
    return QColor::fromRgb(static_cast<QRgb>(rgb));
}

// Pixels a cell has for its text inside its frame and margins.
int textRoom(const QLineEdit* cell)
{
    constexpr int lineEditMargin = 2; // QLineEdit's own inner margin on each side
    const int frame = cell->hasFrame() ? cell->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, cell) : 0;
    const QMargins margins = cell->textMargins();
    return cell->contentsRect().width() - 2 * frame - 2 * lineEditMargin - margins.left() - margins.right();
}

bool isDigitPair(const QString& text)
{
    return text.size() <= 2 && std::all_of(text.begin(), text.end(), [](QChar c) { return c.isDigit(); });
}

// Screen readers: while none is active the cells are not named, which would cost
// every refresh; when one starts, every control is named at once.
class ScreenReaderWatch : public QAccessible::ActivationObserver {
public:
    ScreenReaderWatch() { QAccessible::installActivationObserver(this); }
    ~ScreenReaderWatch() override { QAccessible::removeActivationObserver(this); }
    ScreenReaderWatch(const ScreenReaderWatch&) = delete;
    ScreenReaderWatch& operator=(const ScreenReaderWatch&) = delete;

    static bool Active() { return s_active || QAccessible::isActive(); }

    void accessibilityActiveChanged(bool active) override
    {
        s_active = active;
        if (!active)
            return;
        const auto widgets = QApplication::allWidgets();
        for (QWidget* widget : widgets)
            if (auto* control = qobject_cast<usrBoard*>(widget))
                control->NameForScreenReaders();
    }

private:
    inline static bool s_active = false;
};

QFont designFont(const QString& face, QFont::Weight weight)
{
    QFont font(face);
    font.setStyleHint(QFont::SansSerif);
    font.setPointSizeF(DesignPointSize);
    font.setWeight(weight);
    return font;
}

} // namespace

usrBoard::usrBoard(QWidget* parent) : QWidget(parent)
{
    static ScreenReaderWatch watch;
    resize(DesignWidth, DesignHeight);
    m_cellColour.fill(DefaultColour);

    lblHeader = new QLabel(freshCaption(), this);
    lblHeader->setObjectName(QStringLiteral("lblHeader"));
    lblHeader->setGeometry(8, 8, 153, 17);
    lblHeader->setFont(designFont(headerFace(), QFont::Bold));

    auto* cell0 = new QLineEdit(freshCellText(), this);
    cell0->setObjectName(QStringLiteral("txtCell0"));
    cell0->setGeometry(8, 40, 28, 28);
    cell0->setFont(designFont(cellFace(), QFont::Normal));
    txtCell[0] = cell0;

    // Drawn above the right end of the header, which it overlaps.
    cmdDelete = new QPushButton(QStringLiteral("X"), this);
    cmdDelete->setObjectName(QStringLiteral("cmdDelete"));
    cmdDelete->setGeometry(144, 8, 17, 17);
    cmdDelete->raise();
    connect(cmdDelete, &QPushButton::clicked, this, [this] { cmdDelete_Click(); });

    // Cells 1..24 copy cell 0 and flow left to right, wrapping at the control's inner
    // width as it is now, at creation.
    const auto innerWidth = static_cast<float>(width());
    for (int i = 1; i < CellCount; ++i) {
        const QLineEdit* previous = txtCell[i - 1];
        auto* cell = new QLineEdit(cell0->text(), this);
        cell->setObjectName(QStringLiteral("txtCell%1").arg(i));
        cell->setFont(cell0->font());
        cell->hide();
        const auto w = static_cast<float>(cell0->width());
        const auto h = static_cast<float>(cell0->height());
        float left = static_cast<float>(previous->x()) + w + CellGap;
        float top = static_cast<float>(previous->y());
        if (left + w > innerWidth) {
            left = static_cast<float>(cell0->x());
            top = top + h + CellGap;
        }
        cell->setGeometry(static_cast<int>(left), static_cast<int>(top), cell0->width(), cell0->height());
        cell->show();
        txtCell[i] = cell;
    }

    // Tab goes through the cells row by row, then to "X".
    for (int i = 1; i < CellCount; ++i)
        setTabOrder(txtCell[i - 1], txtCell[i]);
    setTabOrder(txtCell[CellCount - 1], cmdDelete);

    for (int i = 0; i < CellCount; ++i) {
        connect(txtCell[i], &QLineEdit::textChanged, this, [this, i] { txtCell_Change(i); });
        txtCell[i]->installEventFilter(this);
    }
    NameForScreenReaders();
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
    for (std::int32_t i = 0; i <= shown; ++i) {
        const int cell = static_cast<int>(i);
        setCellText(cell, FormatNumber(board->Numbers(i)));
        setCellColour(cell, static_cast<std::uint32_t>(board->zanvo(i)) & 0x00FFFFFFu);
    }
    NameForScreenReaders(); // what the cells show now, even when the board has more
    if (last > shown)
        throw ZanvoError::SubscriptOutOfRange(); // no such cell; the rest stays unshown
}

QString usrBoard::Caption() const
{
    return lblHeader->text();
}

void usrBoard::Caption(const QString& vNewValue)
{
    if (lblHeader->text() == vNewValue)
        return;
    lblHeader->setText(vNewValue);
    NameForScreenReaders();
}

void usrBoard::Recycle(const clsBoard* upcoming)
{
    Board.reset();
    Tag.clear();
    // Hidden until the host names it again, so the screen-reader names can wait.
    if (lblHeader->text() != freshCaption())
        lblHeader->setText(freshCaption());
    int first = 0;
    if (upcoming)
        first = static_cast<int>(std::clamp<std::int64_t>(std::int64_t{upcoming->NumberCount()} + 1, 0, CellCount));
    for (int i = first; i < CellCount; ++i) {
        setCellText(i, freshCellText());
        setCellColour(i, DefaultColour);
    }
}

void usrBoard::setCellText(int Index, const QString& text)
{
    QLineEdit* cell = txtCell[static_cast<std::size_t>(Index)];
    if (cell->text() == text)
        return;
    cell->setText(text); // runs txtCell_Change before it returns
    cell->setCursorPosition(0); // a number too wide for the cell shows its beginning
}

void usrBoard::setCellColour(int Index, std::uint32_t colour)
{
    auto& current = m_cellColour[static_cast<std::size_t>(Index)];
    if (current == colour)
        return;
    current = colour;
    paintCell(Index);
}

void usrBoard::paintCell(int Index)
{
    const auto i = static_cast<std::size_t>(Index);
    QLineEdit* cell = txtCell[i];
    const std::uint32_t colour = m_cellColour[i];
    if (colour == DefaultColour && !m_overflow[i]) {
        cell->setPalette(QPalette()); // nothing set: the desktop's colours again
        return;
    }
    // Only the roles set here are fixed; everything else still follows the desktop.
    // The text follows the cell's own background, not the desktop's text colour,
    // which may be light on a dark desktop while the cell stays white or green.
    QPalette palette;
    std::uint32_t background = 0;
    if (colour == DefaultColour) {
        background = this->palette().color(QPalette::Base).rgb() & 0xFFFFFFu; // the desktop's
    } else {
        background = CellRgb(colour);
        palette.setColor(QPalette::Base, qColorOf(background));
        palette.setColor(QPalette::Text, qColorOf(ReadableTextColour(background)));
    }
    if (m_overflow[i])
        palette.setColor(QPalette::Text, qColorOf(ReadableWarningColour(background)));
    cell->setPalette(palette);
}

void usrBoard::explainCell(int Index)
{
    const auto i = static_cast<std::size_t>(Index);
    QLineEdit* cell = txtCell[i];
    const QString text = cell->text();
    QString tip;
    if (m_overflow[i]) {
        tip = QStringLiteral("%1 was not taken.\nA cell holds numbers from %2 to %3.")
                  .arg(text)
                  .arg(std::numeric_limits<std::int32_t>::min())
                  .arg(std::numeric_limits<std::int32_t>::max());
        if (Board && Board->IsNumber(Index))
            tip += QStringLiteral("\nThe board keeps %1.").arg(Board->Numbers(Index));
    } else if (!fitsWhole(cell, text)) {
        tip = text;
    }
    if (cell->toolTip() != tip)
        cell->setToolTip(tip);
}

bool usrBoard::fitsWhole(const QLineEdit* cell, const QString& text)
{
    // Two digits, what nearly every cell shows, are measured once per control.
    if (isDigitPair(text)) {
        if (m_digitPairFits < 0) {
            const QFontMetrics metrics = cell->fontMetrics();
            int widest = 0;
            for (char16_t digit = u'0'; digit <= u'9'; ++digit)
                widest = std::max(widest, metrics.horizontalAdvance(QChar(digit)));
            m_digitPairFits = 2 * widest <= textRoom(cell) ? 1 : 0;
        }
        return m_digitPairFits == 1;
    }
    return cell->fontMetrics().horizontalAdvance(text) <= textRoom(cell);
}

void usrBoard::NameForScreenReaders()
{
    if (!ScreenReaderWatch::Active())
        return; // named when a screen reader starts
    QString name = Caption();
    if (name.endsWith(u':'))
        name.chop(1);
    cmdDelete->setAccessibleName(QStringLiteral("Delete ") + name);
    const std::int32_t count = Board ? Board->NumberCount() + 1 : 0;
    const QString of = QStringLiteral(" of ") + QString::number(count);
    for (int i = 0; i < CellCount; ++i) {
        QString cellName = name;
        if (i < count)
            cellName += QStringLiteral(", number ") + QString::number(i + 1) + of;
        else
            cellName += QStringLiteral(", cell ") + QString::number(i + 1) + QStringLiteral(", not on the board");
        if (m_cellColour[static_cast<std::size_t>(i)] == static_cast<std::uint32_t>(CellGreen))
            cellName += QStringLiteral(", drawn");
        if (txtCell[static_cast<std::size_t>(i)]->accessibleName() != cellName)
            txtCell[static_cast<std::size_t>(i)]->setAccessibleName(cellName);
    }
}

usrBoard::FocusSpot usrBoard::FocusOf(const QWidget* focus) const
{
    FocusSpot spot;
    if (!focus)
        return spot;
    if (focus == cmdDelete) {
        spot.Part = CellCount;
        return spot;
    }
    for (int i = 0; i < CellCount; ++i) {
        const QLineEdit* cell = txtCell[static_cast<std::size_t>(i)];
        if (cell != focus)
            continue;
        spot.Part = i;
        spot.Cursor = cell->cursorPosition();
        if (cell->hasSelectedText()) {
            spot.SelectionStart = cell->selectionStart();
            spot.SelectionLength = cell->selectionLength();
        }
        break;
    }
    return spot;
}

void usrBoard::Focus(const FocusSpot& spot)
{
    if (spot.Part == CellCount) {
        cmdDelete->setFocus(Qt::OtherFocusReason);
        return;
    }
    if (spot.Part < 0 || spot.Part >= CellCount)
        return;
    QLineEdit* cell = txtCell[static_cast<std::size_t>(spot.Part)];
    cell->setFocus(Qt::OtherFocusReason);
    if (spot.SelectionLength > 0 && spot.Cursor == spot.SelectionStart)
        cell->setSelection(spot.SelectionStart + spot.SelectionLength, -spot.SelectionLength);
    else if (spot.SelectionLength > 0)
        cell->setSelection(spot.SelectionStart, spot.SelectionLength);
    else
        cell->setCursorPosition(spot.Cursor);
}

bool usrBoard::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::KeyPress)
        return QWidget::eventFilter(watched, event);
    const auto it = std::find(txtCell.begin(), txtCell.end(), watched);
    if (it == txtCell.end())
        return QWidget::eventFilter(watched, event);
    auto* key = static_cast<QKeyEvent*>(event);
    const Qt::KeyboardModifiers modifiers = key->modifiers() & ~Qt::KeypadModifier;
    switch (key->key()) {
    case Qt::Key_Up:
    case Qt::Key_Down:
        if (modifiers != Qt::NoModifier)
            break;
        moveFocusVertically(static_cast<int>(it - txtCell.begin()), key->key() == Qt::Key_Up);
        return true;
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
        // Pages the list: not the cell's, so it goes on to the board view.
        key->ignore();
        return true;
    case Qt::Key_Home:
    case Qt::Key_End:
        if (modifiers != Qt::ControlModifier)
            break;
        key->ignore(); // first or last position of the list, not of the text
        return true;
    default:
        break;
    }
    return QWidget::eventFilter(watched, event);
}

void usrBoard::moveFocusVertically(int Index, bool up)
{
    // The nearest cell straight above or below, wherever the grid put the cells.
    const QRect from = txtCell[static_cast<std::size_t>(Index)]->geometry();
    QLineEdit* target = nullptr;
    for (QLineEdit* cell : txtCell) {
        const QRect g = cell->geometry();
        if (g.x() != from.x() || (up ? g.y() >= from.y() : g.y() <= from.y()))
            continue;
        if (!target || (up ? g.y() > target->y() : g.y() < target->y()))
            target = cell;
    }
    if (target)
        target->setFocus(Qt::TabFocusReason); // selected, as after Tab: typing replaces it
}

void usrBoard::txtCell_Change(int Index)
{
    const auto i = static_cast<std::size_t>(Index);
    std::optional<std::int32_t> value;
    try {
        value = ReadNumber(txtCell[i]->text().toStdString());
    } catch (const ZanvoError& e) {
        if (e.Number() != ErrorNumber::Overflow)
            throw;
        // Beyond 32 bits: the board keeps its number, the cell its text, marked.
    }
    if (Board && value)
        Board->Numbers(static_cast<std::int32_t>(Index), *value);
    const bool overflow = !value;
    if (m_overflow[i] != overflow) {
        m_overflow[i] = overflow;
        paintCell(Index);
    }
    explainCell(Index);
}

void usrBoard::cmdDelete_Click()
{
    Q_EMIT DeleteBoard();
}
