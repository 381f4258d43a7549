// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QWidget>

class QScrollBar;

// The board view's client area, which holds the board elements and the scroll bar.
// It takes the keyboard focus itself (with a visible mark) when the board that had it
// is gone, pages the list from the keyboard and the wheel wherever the focus is in
// it, and keeps Tab to what can be seen: the view, the cells and "X" of the shown
// boards that lie wholly inside it, and the scroll bar.
class BoardViewClient : public QWidget {
    Q_OBJECT

public:
    explicit BoardViewClient(QWidget* parent = nullptr);

    // The bar that pages the list; its keyboard focus is marked beside it.
    void SetScrollBar(QScrollBar* bar);
    QScrollBar* ScrollBar = nullptr;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    bool focusNextPrevChild(bool next) override;
};
