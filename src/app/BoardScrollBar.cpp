// SPDX-License-Identifier: GPL-3.0-or-later
#include "BoardScrollBar.h"

#include <QEvent>
#include <QPainter>
#include <QStyleOptionSlider>

#include <algorithm>

BoardScrollBar::BoardScrollBar(Qt::Orientation orientation, QWidget* parent) : QScrollBar(orientation, parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent); // its picture covers it
}

bool BoardScrollBar::event(QEvent* event)
{
    // Focus, a new style, palette or size, a press: the bar draws itself anew. Only a
    // change of value, which comes without an event, reuses the picture.
    if (event->type() != QEvent::Paint) {
        forget();
        m_thumbAlone = Unknown;
    }
    return QScrollBar::event(event);
}

QPixmap BoardScrollBar::drawn(const QStyleOptionSlider& option, const QRect& part) const
{
    // A picture of this part alone: a style may set clips of its own, but it cannot
    // draw beyond the picture's edges.
    QPixmap picture(part.size() * devicePixelRatio());
    picture.setDevicePixelRatio(devicePixelRatio());
    // On the window's colour, as the bar is drawn in place: semi-transparent strokes
    // blend as they would there, and the picture is copied, not blended.
    picture.fill(palette().color(QPalette::Window));
    QPainter onPicture(&picture);
    onPicture.translate(-part.topLeft());
    style()->drawComplexControl(QStyle::CC_ScrollBar, &option, &onPicture, this);
    return picture;
}

void BoardScrollBar::paintEvent(QPaintEvent* event)
{
    // Under the mouse a part may be lit or pressed, which only the bar itself knows.
    if (underMouse() || isSliderDown()) {
        forget();
        QPainter(this).fillRect(rect(), palette().window()); // as under a picture
        QScrollBar::paintEvent(event);
        return;
    }
    QStyleOptionSlider option;
    initStyleOption(&option);
    option.subControls = QStyle::SC_All;
    option.activeSubControls = QStyle::SC_None;
    const Look look{style()->subControlRect(QStyle::CC_ScrollBar, &option, QStyle::SC_ScrollBarSlider, this), size(),
                    devicePixelRatio(), value() == minimum(), value() == maximum()};
    // A short list has a few places, each kept; a long one moves the thumb by less than
    // a pixel a step, or else from the last picture.
    auto kept = std::find_if(m_kept.begin(), m_kept.end(),
                             [&](const Kept& k) { return !k.Picture.isNull() && k.Shown == look; });
    if (kept == m_kept.end()) {
        QPixmap picture = moved(option, look);
        kept = std::min_element(m_kept.begin(), m_kept.end(),
                                [](const Kept& a, const Kept& b) { return a.Used < b.Used; });
        kept->Shown = look;
        kept->Picture = picture;
    }
    kept->Used = ++m_uses;
    m_last = &*kept;
    QPainter painter(this);
    painter.drawPixmap(0, 0, kept->Picture);
}

void BoardScrollBar::forget()
{
    m_kept = {};
    m_last = nullptr;
}

QPixmap BoardScrollBar::moved(const QStyleOptionSlider& option, const Look& look)
{
    if (!m_last || m_thumbAlone == No)
        return drawn(option, rect());
    const Look& last = m_last->Shown;
    if (last.Size != look.Size || last.Ratio != look.Ratio)
        return drawn(option, rect());
    // Most styles draw the thumb and the arrows over a groove that does not depend on
    // them; then only they are drawn again. Whether this style does is checked once
    // against the whole bar. A style may draw an outline a pixel or two beyond a part.
    const auto around = [](const QRect& part) { return part.adjusted(-3, -3, 3, 3); };
    QRegion changed = QRegion(around(last.Thumb)) + QRegion(around(look.Thumb));
    const auto arrow = [&](QStyle::SubControl part) {
        return around(style()->subControlRect(QStyle::CC_ScrollBar, &option, part, this));
    };
    if (look.AtStart != last.AtStart)
        changed += arrow(QStyle::SC_ScrollBarSubLine);
    if (look.AtEnd != last.AtEnd)
        changed += arrow(QStyle::SC_ScrollBarAddLine);
    QPixmap picture = m_last->Picture;
    QPainter onPicture(&picture);
    for (const QRect& part : changed & rect())
        onPicture.drawPixmap(part.topLeft(), drawn(option, part));
    onPicture.end();
    if (m_thumbAlone == Unknown) {
        QPixmap whole = drawn(option, rect());
        m_thumbAlone = picture.toImage() == whole.toImage() ? Yes : No;
        return whole;
    }
    return picture;
}

