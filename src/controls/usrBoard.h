// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QWidget>

#include <array>
#include <cstdint>
#include <memory>

class QLabel;
class QLineEdit;
class QPushButton;
class clsBoard;

// The board editor control: a header, 25 number cells and a delete button "X".
// It keeps no copy of the numbers: cells are painted from Board on request and every
// change of a cell's text is written straight back into Board.
class usrBoard : public QWidget {
    Q_OBJECT

public:
    static constexpr int CellCount = 25;

    explicit usrBoard(QWidget* parent = nullptr);

    // The board shown; assigned by the host only. Assigning repaints nothing.
    std::shared_ptr<clsBoard> Board;
    // A free text the host keeps with the control.
    QString Tag;

    // Paints cells 0..Board.NumberCount from the board, numbers as "00" on their
    // colours. Cells above the last number keep what they show. Without a board it does
    // nothing. A board of more than 25 numbers paints 25 cells, then throws ZanvoError 9.
    void Update();

    QString Caption() const;
    void Caption(const QString& vNewValue);

    // Makes a used control what a newly created one is, ready for the host to give it
    // `upcoming` (or none) and Update it: no board, header "Brett 1:", and "01" on the
    // default background in every cell that Update of `upcoming` will not paint. Only
    // what differs is changed, so reusing a control is cheaper than making one.
    void Recycle(const clsBoard* upcoming);

    // The text "00" gives n: at least two digits, a minus sign in front (-5 -> "-05").
    static QString FormatNumber(std::int32_t n);

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

    // True while cell Index holds text that reads beyond the 32-bit range and so was
    // not taken; the cell then shows it in a warning colour.
    bool Overflowed(int Index) const { return m_overflow[static_cast<std::size_t>(Index)]; }

    // Names the cells for screen readers, "Brett 3, number 7 of 25" (", drawn" on a
    // green cell), and "X" "Delete Brett 3". Costs nothing while no screen reader is
    // active; every control is named when one starts.
    void NameForScreenReaders();

    QLabel* lblHeader = nullptr;
    std::array<QLineEdit*, CellCount> txtCell{};
    QPushButton* cmdDelete = nullptr;

Q_SIGNALS:
    void DeleteBoard();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void txtCell_Change(int Index);
    void cmdDelete_Click();
    void setCellText(int Index, const QString& text);
    // colour is 0x00BBGGRR; DefaultColour gives the cell back its inherited background.
    void setCellColour(int Index, std::uint32_t colour);
    // Background, and a text colour that reads on it, from the cell's colour and mark.
    void paintCell(int Index);
    // The tooltip: the whole text when it does not fit, and why an overflow was not taken.
    void explainCell(int Index);
    // Whether the whole text shows in the cell.
    bool fitsWhole(const QLineEdit* cell, const QString& text);
    void moveFocusVertically(int Index, bool up);

    static constexpr std::uint32_t DefaultColour = 0xFFFFFFFFu; // not a 24-bit colour
    std::array<std::uint32_t, CellCount> m_cellColour{};
    std::array<bool, CellCount> m_overflow{};
    int m_digitPairFits = -1; // -1 not measured yet
};
