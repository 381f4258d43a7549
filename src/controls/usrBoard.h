// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QFont>
#include <QRect>
#include <QString>
#include <QWidget>

#include <array>
#include <cstdint>
#include <memory>

class CellPainter;
class QPushButton;
class clsBoard;

// The board editor control: a header, 25 number cells and a delete button "X".
// It keeps no copy of the numbers: cells are painted from Board on request and every
// change of a cell's text is written straight back into Board. The cells are drawn,
// not widgets; the one being edited is covered by its view's one line edit.
class usrBoard : public QWidget {
    Q_OBJECT

public:
    static constexpr int CellCount = 25;

    explicit usrBoard(QWidget* parent = nullptr);
    ~usrBoard() override;

    // The board shown; assigned by the host only. Assigning repaints nothing.
    std::shared_ptr<clsBoard> Board;
    // A free text the host keeps with the control.
    QString Tag;

    // Paints cells 0..Board.NumberCount from the board, numbers as "00" on their
    // colours; cells beyond the board's numbers are drawn empty and take no input.
    // Without a board it does nothing. A board of more than 25 numbers shows 25, then
    // throws ZanvoError 9.
    void Update();

    QString Caption() const { return m_caption; }
    void Caption(const QString& vNewValue);

    // Makes a used control what a newly created one is: no board, header "Brett 1:",
    // no cell holding a number. Only what differs is changed.
    void Recycle();

    // The text "00" gives n: at least two digits, a minus sign in front (-5 -> "-05").
    static QString FormatNumber(std::int32_t n);

    // The cells as they are drawn.
    QString CellText(int Index) const;
    // 0x00BBGGRR as the board gave it; NoColour for a cell that holds no number.
    std::uint32_t CellColour(int Index) const;
    static constexpr std::uint32_t NoColour = 0xFFFFFFFFu; // not a 24-bit colour
    // 0xRRGGBB the cell's text is drawn in: readable on its colour, a warning colour
    // while it overflows.
    std::uint32_t CellInk(int Index) const { return m_cells[static_cast<std::size_t>(Index)].Ink; }
    QRect CellRect(int Index) const;
    // Whether the cell shows a number of the board, and so takes the focus and typing.
    bool HoldsNumber(int Index) const;
    // The cell under a point of the control, or -1.
    int CellAt(QPoint point) const;
    // True while cell Index holds text that reads beyond the 32-bit range and so was
    // not taken; it then shows in a warning colour.
    bool Overflowed(int Index) const;
    // What the cell's tooltip says: why an overflow was not taken, or the whole number
    // when it is cut off. Empty when there is nothing to add.
    QString CellTip(int Index) const;
    // Whether the cell shows its whole number, at the cell's font or smaller.
    bool ShowsWhole(int Index) const;
    // "Brett 3, number 7 of 25", ", drawn" when green: the cell for a screen reader.
    QString CellName(int Index) const;
    // "Delete Brett 3"; named only when a screen reader asks, as it costs every refresh.
    void NameDeleteButton();
    QRect HeaderRect() const;
    QString HeaderTip() const;
    QFont CellFont() const { return m_cellFont; }
    QFont HeaderFont() const { return m_headerFont; }

    // The painter the control draws its cells with; its view shares one among its
    // controls. Without one, the control makes its own when first needed.
    void UsePainter(CellPainter* painter) { m_painter = painter; }
    CellPainter& Painter() const;
    // The cell the view's editor lies over, or -1. That cell's text is the editor's
    // while the visit lasts: Update leaves it, and the end of the visit shows the
    // board's number as "00" again (a text that was not taken stays, marked).
    void SetEditedCell(int Index);
    int EditedCell() const { return m_editedCell; }
    // The editor's text changed: the cell takes it and the board its number.
    void EditorTextChanged(int Index, const QString& text);

    QPushButton* cmdDelete = nullptr;

Q_SIGNALS:
    void DeleteBoard();

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct Cell {
        QString Text;
        std::uint32_t Colour = NoColour;
        bool Overflow = false;
        std::uint32_t Ink = 0; // the text colour that reads on Colour, with Overflow
    };
    // Each returns whether anything changed; the caller repaints.
    bool setCellText(int Index, const QString& text);
    bool setCellColour(int Index, std::uint32_t colour);
    void takeInk(Cell& cell);
    // The text-to-board step: reads the cell's text and stores its number.
    void txtCell_Change(int Index);
    void cmdDelete_Click();
    void takeFonts();

    QString m_caption;
    int m_captionTop = 0;
    std::array<Cell, CellCount> m_cells{};
    std::array<QRect, CellCount> m_cellRects{};
    int m_shownCount = 0;      // cells 0..m_shownCount-1 hold numbers of Board
    std::int32_t m_numberTotal = 0; // how many numbers the board holds, shown or not
    QFont m_cellFont;
    QFont m_headerFont;
    int m_editedCell = -1;
    quint64 m_look = 0; // of its style, palette and font, for the painter's keys
    bool m_lookKnown = false;
    CellPainter* m_painter = nullptr; // its view's, which outlives it
    mutable std::unique_ptr<CellPainter> m_ownPainter;
};
