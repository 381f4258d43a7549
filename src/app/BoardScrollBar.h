// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QPixmap>
#include <QScrollBar>

#include <array>

class QStyleOptionSlider;

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
