// SPDX-License-Identifier: GPL-3.0-or-later
#include "CellEditor.h"

#include "CellPainter.h"

#include <QCoreApplication>
#include <QInputMethodEvent>
#include <QPainter>

#include <algorithm>

CellEditor::CellEditor(QWidget* parent) : QLineEdit(parent)
{
    setObjectName(QStringLiteral("cellEditor"));
    // Reached through the view's own Tab stops, never as a stop of its own.
    setFocusPolicy(Qt::ClickFocus);
    // On-screen keyboards open their number layout; what the cell takes stays the same.
    setInputMethodHints(Qt::ImhFormattedNumbersOnly | Qt::ImhNoPredictiveText);
    // The panel is drawn underneath by the painter; the line edit adds text, caret
    // and selection only.
    setFrame(false);
    hide();
}

CellEditor::~CellEditor() = default;

void CellEditor::SetColours(QColor base, QColor ink)
{
    m_base = base;
    QPalette colours = palette();
    // Transparent, so the line edit's own fill leaves the painted panel as it is.
    colours.setColor(QPalette::Base, Qt::transparent);
    colours.setColor(QPalette::Text, ink);
    if (colours != palette())
        setPalette(colours);
    update();
}

void CellEditor::StartVisit(const QString& text)
{
    QInputMethodEvent drop; // a preedit of the last cell goes
    QCoreApplication::sendEvent(this, &drop);
    // setText also clears the undo history, even when the text is the same.
    setText(text);
}

void CellEditor::placeText()
{
    if (!m_painter || !parentWidget())
        return;
    // Where a painted cell of this size puts its text: the line edit adds its own 2 px
    // inside its margins, and centres the line in what they leave.
    const CellPainter::TextPlace place = m_painter->PlaceText(parentWidget(), size(), font());
    const int lineHeight = fontMetrics().height();
    const int left = std::max(0, place.Clip.x() - 2);
    const int room = std::max(0, std::min(place.LineTop, height() - place.LineTop - lineHeight));
    const int top = std::max(0, place.LineTop - room);
    const int bottom = std::max(0, height() - (top + lineHeight + 2 * room));
    const int right = std::max(0, width() - place.Clip.right() - 1 - 2);
    const QMargins margins(left, top, std::min(right, left), bottom);
    if (textMargins() != margins)
        setTextMargins(margins);
}

void CellEditor::resizeEvent(QResizeEvent* event)
{
    placeText();
    QLineEdit::resizeEvent(event);
}

void CellEditor::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange)
        placeText();
    QLineEdit::changeEvent(event);
}

void CellEditor::paintEvent(QPaintEvent* event)
{
    if (m_painter) {
        QPainter panel(this);
        const QWidget* host = parentWidget() ? parentWidget() : this;
        const CellPainter::Frame frame = CellPainter::FrameOf(panel, host, CellPainter::LookOf(host));
        m_painter->PaintPanel(panel, frame, rect(), m_base, isEnabled(), hasFocus());
    }
    QLineEdit::paintEvent(event);
}
