// SPDX-License-Identifier: GPL-3.0-or-later
#include "CellEditor.h"

#include "board/CellFormat.h"
#include "usrBoard.h"

#include <QGuiApplication>
#include <QInputMethod>
#include <QKeyEvent>
#include <QSignalBlocker>

CellEditor::CellEditor(QWidget* parent) : QLineEdit(parent)
{
    setObjectName(QStringLiteral("cellEditor"));
    // Reached through the cells' own Tab stops, never as a stop of its own.
    setFocusPolicy(Qt::ClickFocus);
    // On-screen keyboards open their number layout; what the cell takes stays the same.
    setInputMethodHints(Qt::ImhFormattedNumbersOnly | Qt::ImhNoPredictiveText);
    hide();
    connect(this, &QLineEdit::textChanged, this, [this](const QString& text) {
        if (m_element)
            m_element->EditorTextChanged(m_cell, text);
    });
}

CellEditor::~CellEditor() = default;

void CellEditor::commitComposition()
{
    // Text still being composed belongs to the cell it was typed in.
    if (hasFocus() && m_element)
        QGuiApplication::inputMethod()->commit();
}

void CellEditor::Attach(usrBoard* element, int cell)
{
    if (m_element != element || m_cell != cell) {
        commitComposition();
        usrBoard* previous = m_element;
        const int previousCell = m_cell;
        m_element = element;
        m_cell = cell;
        if (previous && previous != element)
            previous->update(previous->CellRect(previousCell));
        else if (previous)
            element->update(element->CellRect(previousCell));
        element->update(element->CellRect(cell));
        setAccessibleName(element->CellName(cell));
    }
    Reload();
    if (isHidden())
        show();
    raise();
}

void CellEditor::Detach()
{
    if (!m_element)
        return;
    commitComposition();
    usrBoard* const element = m_element;
    const int cell = m_cell;
    m_element = nullptr;
    m_cell = -1;
    // Hiding a focused widget lets Qt move the focus wherever it likes.
    if (hasFocus() && parentWidget())
        parentWidget()->setFocus(Qt::OtherFocusReason);
    hide();
    element->update(element->CellRect(cell));
}

void CellEditor::Release(const usrBoard* element)
{
    if (m_element != element)
        return;
    m_element = nullptr;
    m_cell = -1;
    if (hasFocus() && parentWidget() && parentWidget() != element)
        parentWidget()->setFocus(Qt::OtherFocusReason);
    hide();
}

void CellEditor::Reload()
{
    if (!m_element)
        return;
    usrBoard* element = m_element;
    const QRect cell = element->CellRect(m_cell);
    setGeometry(QRect(element->mapTo(parentWidget(), cell.topLeft()), cell.size()));
    if (font() != element->CellFont())
        setFont(element->CellFont());

    // The text follows the cell's own background, not the desktop's text colour.
    const std::uint32_t background = CellRgb(element->CellColour(m_cell));
    const std::uint32_t ink = element->CellInk(m_cell);
    QPalette colours = palette();
    colours.setColor(QPalette::Base, QColor::fromRgb(static_cast<QRgb>(background)));
    colours.setColor(QPalette::Text, QColor::fromRgb(static_cast<QRgb>(ink)));
    if (colours != palette())
        setPalette(colours);

    const QString text = element->CellText(m_cell);
    if (text != this->text()) {
        const QSignalBlocker quiet(this); // the cell has this text already
        setText(text);
        setCursorPosition(0);
    }
    const QString name = element->CellName(m_cell);
    if (accessibleName() != name)
        setAccessibleName(name);
    const QString tip = element->Overflowed(m_cell) ? element->CellTip(m_cell) : QString();
    if (toolTip() != tip)
        setToolTip(tip);
}

void CellEditor::keyPressEvent(QKeyEvent* event)
{
    const Qt::KeyboardModifiers modifiers = event->modifiers() & ~Qt::KeypadModifier;
    switch (event->key()) {
    case Qt::Key_Up:
    case Qt::Key_Down:
        if (modifiers != Qt::NoModifier || !m_element)
            break;
        m_element->MoveVertically(m_cell, event->key() == Qt::Key_Up);
        return;
    case Qt::Key_Left:
    case Qt::Key_Right: {
        if (modifiers != Qt::NoModifier || !m_element || hasSelectedText())
            break;
        const bool back = event->key() == Qt::Key_Left;
        // At the start or the end of the text the caret goes on to the next cell.
        if (cursorPosition() != (back ? 0 : static_cast<int>(text().size())))
            break;
        m_element->MoveHorizontally(m_cell, back);
        return;
    }
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
        // Pages the list: not the cell's, so it goes on to the board view.
        event->ignore();
        return;
    case Qt::Key_Home:
    case Qt::Key_End:
        if (modifiers != Qt::ControlModifier)
            break;
        event->ignore(); // first or last position of the list, not of the text
        return;
    default:
        break;
    }
    QLineEdit::keyPressEvent(event);
}

void CellEditor::focusOutEvent(QFocusEvent* event)
{
    QLineEdit::focusOutEvent(event);
    // A menu, a context menu or another window only borrow the focus; it comes back here.
    const Qt::FocusReason reason = event->reason();
    if (reason != Qt::PopupFocusReason && reason != Qt::ActiveWindowFocusReason)
        Detach();
}
