// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QPixmap>
#include <QScrollBar>

class QStyleOptionSlider;
#include <QWidget>

#include <array>
#include <functional>

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
    // The host's way through the whole list: a key it takes (true when taken), and
    // Tab from a board's cell or "X" (true when the focus moved to another board).
    std::function<bool(QKeyEvent*)> ListKey;
    std::function<bool(bool next)> ListTab;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    bool focusNextPrevChild(bool next) override;
};

// The view's scroll bar, which keeps a picture of itself between steps. In a long list
// a step seldom moves the thumb by a whole pixel, and a bar as tall as a 4K screen
// drawn with gradients costs a good part of a step.
class BoardScrollBar : public QScrollBar {
public:
    explicit BoardScrollBar(Qt::Orientation orientation, QWidget* parent = nullptr);

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    // Everything a step can change in the bar's look; the rest comes with an event.
    struct Look {
        QRect Thumb;
        QSize Size;
        qreal Ratio = 1.0;
        bool AtStart = false;
        bool AtEnd = false;
        bool operator==(const Look&) const = default;
    };
    QPixmap drawn(const QStyleOptionSlider& option, const QRect& part) const;
    QPixmap moved(const QStyleOptionSlider& option, const Look& look);
    void forget();
    struct Kept {
        Look Shown;
        QPixmap Picture;
        quint64 Used = 0; // when last shown
    };
    std::array<Kept, 4> m_kept;
    quint64 m_uses = 0;
    const Kept* m_last = nullptr;
    enum { Unknown, Yes, No } m_thumbAlone = Unknown; // does the style draw the thumb alone?
};
