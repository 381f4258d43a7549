#include "usrBoard.h"

#include "board/CellFormat.h"
#include "board/NumberReading.h"
#include "board/ZanvoError.h"
#include "board/clsBoard.h"

#include <QFont>
#include <QFontDatabase>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <algorithm>

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

    for (int i = 0; i < CellCount; ++i)
        connect(txtCell[i], &QLineEdit::textChanged, this, [this, i] { txtCell_Change(i); });
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
    for (std::int32_t i = 0; i <= last; ++i) {
        if (i >= CellCount)
            throw ZanvoError::SubscriptOutOfRange(); // no such cell; the rest stays unshown
        const int cell = static_cast<int>(i);
        setCellText(cell, FormatNumber(board->Numbers(i)));
        setCellColour(cell, static_cast<std::uint32_t>(board->zanvo(i)) & 0x00FFFFFFu);
    }
}

QString usrBoard::Caption() const
{
    return lblHeader->text();
}

void usrBoard::Caption(const QString& vNewValue)
{
    if (lblHeader->text() != vNewValue)
        lblHeader->setText(vNewValue);
}

void usrBoard::Recycle(const clsBoard* upcoming)
{
    Board.reset();
    Tag.clear();
    Caption(freshCaption());
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
    if (cell->text() != text)
        cell->setText(text); // runs txtCell_Change before it returns
}

void usrBoard::setCellColour(int Index, std::uint32_t colour)
{
    auto& current = m_cellColour[static_cast<std::size_t>(Index)];
    if (current == colour)
        return;
    current = colour;
    QLineEdit* cell = txtCell[static_cast<std::size_t>(Index)];
    if (colour == DefaultColour) {
        cell->setPalette(QPalette()); // nothing set: the inherited background again
        return;
    }
    // Only the base role is set, so everything else still follows the desktop.
    QPalette palette;
    palette.setColor(QPalette::Base, QColor(QRgb{CellRgb(colour)}));
    cell->setPalette(palette);
}

void usrBoard::txtCell_Change(int Index)
{
    if (!Board)
        return; // nothing to write to
    std::int32_t value = 0;
    try {
        value = ReadNumber(txtCell[static_cast<std::size_t>(Index)]->text().toStdString());
    } catch (const ZanvoError& e) {
        if (e.Number() == ErrorNumber::Overflow)
            return; // beyond 32 bits: the board keeps its number, the cell its text
        throw;
    }
    Board->Numbers(static_cast<std::int32_t>(Index), value);
}

void usrBoard::cmdDelete_Click()
{
    Q_EMIT DeleteBoard();
}
