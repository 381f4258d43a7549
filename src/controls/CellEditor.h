// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QLineEdit>

class CellPainter;
class usrBoard;

// The one live line edit of a board view. Every other cell is painted; this one lies
// over the cell being edited. It knows nothing of boards: its view gives it the cell's
// look and reads what is typed.
class CellEditor : public QLineEdit {
    Q_OBJECT

public:
    explicit CellEditor(QWidget* parent);
    ~CellEditor() override;

    // Draws its panel as the painted cells are drawn, and its text where theirs is, so
    // that nothing moves when it arrives; a style's own line-edit margins may leave no
    // room for two digits in a cell.
    void UsePainter(CellPainter* painter) { m_painter = painter; }
    // The cell's background and ink.
    void SetColours(QColor base, QColor ink);
    // The text of a new visit: no undo reaches back past it, and nothing still being
    // composed comes along.
    void StartVisit(const QString& text);
    // The cell it lies over, for screen readers: its element (none while the cell is
    // out of view) and index. Set by its view.
    void SetCell(usrBoard* element, int cell)
    {
        m_element = element;
        m_cell = cell;
    }
    usrBoard* Element() const { return m_element; }
    int Cell() const { return m_cell; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void placeText();

    CellPainter* m_painter = nullptr;
    usrBoard* m_element = nullptr;
    int m_cell = -1;
    QColor m_base = Qt::white;
};
