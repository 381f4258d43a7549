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

    QLabel* lblHeader = nullptr;
    std::array<QLineEdit*, CellCount> txtCell{};
    QPushButton* cmdDelete = nullptr;

Q_SIGNALS:
    void DeleteBoard();

private:
    void txtCell_Change(int Index);
    void cmdDelete_Click();
    void setCellText(int Index, const QString& text);
    // colour is 0x00BBGGRR; DefaultColour gives the cell back its inherited background.
    void setCellColour(int Index, std::uint32_t colour);

    static constexpr std::uint32_t DefaultColour = 0xFFFFFFFFu; // not a 24-bit colour
    std::array<std::uint32_t, CellCount> m_cellColour{};
};
