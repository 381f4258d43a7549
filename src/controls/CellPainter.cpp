// SPDX-License-Identifier: GPL-3.0-or-later
#include "CellPainter.h"

#include <QFontMetrics>
#include <QFontMetricsF>
#include <QLineEdit>
#include <QPushButton>
#include <QStyleOptionButton>
#include <QPaintEngine>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionFrame>

#include <cmath>

namespace {

// QLineEdit keeps this much room between its contents rectangle and its text.
constexpr int LineEditMargin = 2;
// Below this a shrunk number is no longer read at a glance; it is cut off instead.
constexpr qreal SmallestPointSize = 6.0;
// Texts other than the common ones are not kept; a pathological list cannot grow it.
constexpr qsizetype MaxKeptTexts = 512;
constexpr qsizetype MaxKeptCells = 4096;

// A line edit that lends its style option, so a panel is drawn as the style draws it.
class PrototypeEdit : public QLineEdit {
public:
    using QLineEdit::initStyleOption;
};

QStyle::State stateOf(const CellPainter::Frame& frame, bool enabled, bool focused)
{
    QStyle::State state = QStyle::State_Sunken;
    if (enabled)
        state |= QStyle::State_Enabled;
    if (frame.Active)
        state |= QStyle::State_Active;
    if (focused)
        state |= QStyle::State_HasFocus;
    return state;
}

// The state bits a panel's look depends on, packed into a byte of its key.
quint64 stateKey(QStyle::State state)
{
    return quint64((state & QStyle::State_Enabled) ? 1 : 0) | quint64((state & QStyle::State_Active) ? 2 : 0)
        | quint64((state & QStyle::State_HasFocus) ? 4 : 0);
}

qreal ratioOf(const QPainter& painter)
{
    // The device really painted on: a widget rendered into an image paints there.
    const QPaintDevice* device = painter.paintEngine() ? painter.paintEngine()->paintDevice() : painter.device();
    return device->devicePixelRatioF();
}

QPalette::ColorGroup groupOf(QStyle::State state)
{
    if (!(state & QStyle::State_Enabled))
        return QPalette::Disabled;
    return (state & QStyle::State_Active) ? QPalette::Active : QPalette::Inactive;
}

QString sizeKey(QSize size, const QFont& font)
{
    return QString::number(size.width()) + u'x' + QString::number(size.height()) + u' ' + font.key();
}

} // namespace

CellPainter::CellPainter() = default;
CellPainter::~CellPainter() = default;

void CellPainter::Invalidate()
{
    m_panels.clear();
    m_buttons.clear();
    m_cells.clear();
    m_shown.clear();
    m_places.clear();
    m_pieces.clear();
    m_digits = {};
    m_prototype.reset(); // polished by the style it was made under
}

QLineEdit* CellPainter::prototype(const QWidget* host, QSize size, const QFont& font)
{
    if (!m_prototype) {
        m_prototype = std::make_unique<PrototypeEdit>();
        m_prototype->setAttribute(Qt::WA_DontShowOnScreen);
        m_prototype->ensurePolished();
    }
    if (m_prototype->style() != host->style())
        m_prototype->setStyle(host->style());
    if (m_prototype->size() != size)
        m_prototype->resize(size);
    if (m_prototype->font() != font)
        m_prototype->setFont(font);
    return m_prototype.get();
}

CellPainter::TextPlace CellPainter::PlaceText(const QWidget* host, QSize size, const QFont& font)
{
    const QString key = sizeKey(size, font);
    if (const auto it = m_places.constFind(key); it != m_places.cend())
        return *it;
    QLineEdit* edit = prototype(host, size, font);
    QStyleOptionFrame option;
    static_cast<PrototypeEdit*>(edit)->initStyleOption(&option);
    option.rect = QRect(QPoint(0, 0), size);
    const QRect contents = host->style()->subElementRect(QStyle::SE_LineEditContents, &option, edit);
    const QFontMetrics metrics(font);
    TextPlace place;
    place.Clip = contents.adjusted(LineEditMargin, 0, -LineEditMargin, 0);
    place.LineTop = contents.y() + (contents.height() - metrics.height() + 1) / 2;
    m_places.insert(key, place);
    return place;
}

quint64 CellPainter::LookOf(const QWidget* widget)
{
    // The palette by its colours: a palette set on a parent gives every child a copy
    // with a key of its own, which would keep a picture per board.
    size_t seed = qHashMulti(0, quintptr(widget->style()), widget->font().key());
    const QPalette& palette = widget->palette();
    for (const QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled})
        for (int role = 0; role < QPalette::NColorRoles; ++role)
            seed = qHashMulti(seed, palette.color(group, QPalette::ColorRole(role)).rgba());
    return seed;
}

CellPainter::Frame CellPainter::FrameOf(const QPainter& painter, const QWidget* host, quint64 look)
{
    return Frame{host, ratioOf(painter), host->isActiveWindow(), look};
}

void CellPainter::PaintPanel(QPainter& painter, const Frame& frame, const QRect& rect, QColor base, bool enabled,
                             bool focused)
{
    const QWidget* host = frame.Host;
    const QStyle::State state = stateOf(frame, enabled, focused);
    const qreal ratio = frame.Ratio;
    const auto scaled = static_cast<quint64>(std::lround(ratio * 8.0)) & 0xFFu;
    const PictureKey key{QString(), base.rgb(), quint32(stateKey(state)),
                         (quint64(rect.width() & 0xFFFF) << 32) | (quint64(rect.height() & 0xFFFF) << 16) | (scaled << 8),
                         frame.Look};
    auto it = m_panels.find(key);
    if (it == m_panels.end()) {
        QLineEdit* edit = prototype(host, rect.size(), host->font());
        QStyleOptionFrame option;
        static_cast<PrototypeEdit*>(edit)->initStyleOption(&option);
        option.rect = QRect(QPoint(0, 0), rect.size());
        option.state = state;
        option.palette = host->palette();
        option.palette.setCurrentColorGroup(groupOf(state));
        option.palette.setColor(option.palette.currentColorGroup(), QPalette::Base, base);
        QPixmap panel(rect.size() * ratio);
        panel.setDevicePixelRatio(ratio);
        // On the board's own background, so the picture is opaque and drawn as a copy.
        panel.fill(host->palette().color(QPalette::Window));
        QPainter onPanel(&panel);
        host->style()->drawPrimitive(QStyle::PE_PanelLineEdit, &option, &onPanel, edit);
        onPanel.end();
        it = m_panels.insert(key, panel);
    }
    painter.drawPixmap(rect.topLeft(), *it);
}

CellPainter::Shown CellPainter::Show(const QWidget* host, QSize size, const QFont& font, const QString& text)
{
    // Nearly always a copy of the one cell font, which is cheaper to tell than equality.
    const bool common = size == m_shownSize && (font.isCopyOf(m_shownFont) || font == m_shownFont);
    if (common) {
        if (const auto it = m_shown.constFind(text); it != m_shown.cend())
            return *it;
    }
    const TextPlace place = PlaceText(host, size, font);
    const int room = place.Clip.width();
    Shown shown;
    QFont drawn = font;
    QFontMetrics metrics(drawn);
    // Smaller, half a point at a time, until the whole number fits.
    while (metrics.horizontalAdvance(text) > room && drawn.pointSizeF() - 0.5 >= SmallestPointSize) {
        drawn.setPointSizeF(drawn.pointSizeF() - 0.5);
        metrics = QFontMetrics(drawn);
    }
    QString visible = text;
    if (metrics.horizontalAdvance(text) > room) {
        visible = metrics.elidedText(text, Qt::ElideRight, room);
        shown.Whole = false;
    }
    shown.Text = QStaticText(visible);
    shown.Text.setTextFormat(Qt::PlainText);
    shown.Text.prepare(QTransform(), drawn);
    const int lineTop = drawn == font ? place.LineTop
                                      : place.Clip.y() + (place.Clip.height() - metrics.height() + 1) / 2;
    shown.At = QPointF(place.Clip.x(), lineTop);
    shown.Font = drawn;
    if (!common) {
        m_shown.clear();
        m_shownSize = size;
        m_shownFont = font;
    }
    if (m_shown.size() < MaxKeptTexts)
        m_shown.insert(text, shown);
    return shown;
}

void CellPainter::PaintButton(QPainter& painter, const Frame& frame, QPoint at, const QPushButton* button,
                              const QStyleOptionButton& option)
{
    const qreal ratio = frame.Ratio;
    const PictureKey key{option.text, quint32(option.state.toInt()), quint32(option.features.toInt()),
                      (quint64(option.rect.width() & 0xFFFF) << 32) | (quint64(option.rect.height() & 0xFFFF) << 16)
                          | (quint64(qRound(ratio * 8) & 0xFF) << 8),
                      frame.Look};
    auto it = m_buttons.find(key);
    if (it == m_buttons.end()) {
        QPixmap picture(option.rect.size() * ratio);
        picture.setDevicePixelRatio(ratio);
        picture.fill(button->palette().color(QPalette::Window));
        QPainter onPicture(&picture);
        onPicture.setFont(button->font());
        button->style()->drawControl(QStyle::CE_PushButton, &option, &onPicture, button);
        onPicture.end();
        it = m_buttons.insert(key, picture);
    }
    painter.drawPixmap(at, *it);
}

void CellPainter::PaintCell(QPainter& painter, const Frame& frame, const QRect& rect, QColor base, QColor ink,
                            const QFont& font, const QString& text)
{
    const PictureKey key{text, base.rgb(), ink.rgb(),
                      (quint64(rect.width() & 0xFFFF) << 32) | (quint64(rect.height() & 0xFFFF) << 16)
                          | (quint64(qRound(frame.Ratio * 8) & 0xFF) << 8) | (frame.Active ? 1u : 0u),
                      frame.Look};
    auto it = m_cells.find(key);
    if (it == m_cells.end()) {
        const Shown shown = Show(frame.Host, rect.size(), font, text);
        QPixmap picture(rect.size() * frame.Ratio);
        picture.setDevicePixelRatio(frame.Ratio);
        QPainter onPicture(&picture);
        PaintPanel(onPicture, frame, QRect(QPoint(0, 0), rect.size()), base, true);
        onPicture.setFont(shown.Font);
        onPicture.setPen(ink);
        onPicture.drawStaticText(shown.At, shown.Text);
        onPicture.end();
        if (m_cells.size() >= MaxKeptCells)
            m_cells.clear();
        it = m_cells.insert(key, picture);
    }
    painter.drawPixmap(rect.topLeft(), *it);
}

CellPainter::Piece& CellPainter::piece(QStringView text, const QFont& font)
{
    const bool digit = text.size() == 1 && text.front() >= u'0' && text.front() <= u'9';
    Piece* kept = nullptr;
    if (digit) {
        kept = &m_digits[static_cast<std::size_t>(text.front().unicode() - u'0')];
        if (kept->Advance > 0)
            return *kept;
    } else {
        if (m_pieces.size() > MaxKeptTexts)
            m_pieces.clear();
        kept = &m_pieces[text.toString()];
        if (kept->Advance > 0)
            return *kept;
    }
    kept->Text = QStaticText(text.toString());
    kept->Text.setTextFormat(Qt::PlainText);
    kept->Text.prepare(QTransform(), font);
    kept->Advance = QFontMetricsF(font).horizontalAdvance(text.toString());
    return *kept;
}

void CellPainter::PaintCaption(QPainter& painter, QPointF at, const QFont& font, const QString& text)
{
    if (!font.isCopyOf(m_piecesFont) && font != m_piecesFont) {
        m_pieces.clear();
        m_digits = {};
        m_piecesFont = font;
    }
    qsizetype start = 0;
    while (start < text.size()) {
        // A run of letters and blanks is one piece; every other character is its own.
        qsizetype end = start + 1;
        if (!text.at(start).isDigit())
            while (end < text.size() && !text.at(end).isDigit())
                ++end;
        const Piece& drawn = piece(QStringView(text).sliced(start, end - start), font);
        painter.drawStaticText(at, drawn.Text);
        at.rx() += drawn.Advance;
        start = end;
    }
}
