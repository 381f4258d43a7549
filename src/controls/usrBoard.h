// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QFont>
#include <QRect>
#include <QString>
#include <QWidget>

#include <array>
#include <cstdint>
#include <memory>

class CellEditor;
class QPushButton;
class clsBoard;

// The board editor control: a header, 25 number cells and a delete button "X".
// It keeps no copy of the numbers: cells are painted from Board on request and every
// change of a cell's text is written straight back into Board. The cells are drawn,
// not widgets; the one being edited is covered by a line edit, shared by every
// control of a view.
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

    // The line edit that edits this control's cells; a host shares one among its
    // controls. Without one, the control makes its own when first needed.
    void UseEditor(CellEditor* editor);
    CellEditor* Editor();
    // Puts the editor on cell Index with the focus; false when the cell holds no
    // number. A cell reached by keyboard has its text selected.
    bool EditCell(int Index, Qt::FocusReason reason);
    // The cell the editor lies on in this control, or -1.
    int EditedCell() const;

    // Where the keyboard focus sits in this control, so that it can follow its board
    // to whichever control shows that board after the host rebuilt its view.
    struct FocusSpot {
        int Part = -1; // cell 0..24, CellCount for "X", -1 when the focus is elsewhere
        int Cursor = 0;
        int SelectionStart = -1;
        int SelectionLength = 0;
    };
    FocusSpot FocusOf(const QWidget* focus) const;
    void Focus(const FocusSpot& spot);

    // The editor's text changed: the cell takes it and the board its number.
    void EditorTextChanged(int Index, const QString& text);
    // Up or Down from cell Index: the cell straight above or below, if any.
    bool MoveVertically(int Index, bool up);
    // Left or Right past the end of cell Index's text: the cell before or after it.
    bool MoveHorizontally(int Index, bool back);
    // The last cell that holds a number in `column` (0..4), or -1; any column with -1.
    int LastCellIn(int column) const;

    QPushButton* cmdDelete = nullptr;

Q_SIGNALS:
    void DeleteBoard();
    // A key would take the focus past the board's edge from cell Index: Up, Down, Left
    // or Right. The host moves it on to a neighbouring board.
    void FocusLeaving(int Index, int key);
    // A cell or "X" took the focus by key or click (not by following its board).
    void FocusArrived();

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    bool focusNextPrevChild(bool next) override;
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
    void forwardMouse(QMouseEvent* event);
    void takeFonts();

    QString m_caption;
    int m_captionTop = 0;
    std::array<Cell, CellCount> m_cells{};
    std::array<QRect, CellCount> m_cellRects{};
    int m_shownCount = 0;      // cells 0..m_shownCount-1 hold numbers of Board
    std::int32_t m_numberTotal = 0; // how many numbers the board holds, shown or not
    QFont m_cellFont;
    QFont m_headerFont;
    CellEditor* m_editor = nullptr; // cleared when the editor goes away
    bool m_forwardingMouse = false;
};
