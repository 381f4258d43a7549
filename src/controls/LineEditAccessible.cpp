// SPDX-License-Identifier: GPL-3.0-or-later
#include "LineEditAccessible.h"

#include <QFontMetrics>
#include <QLineEdit>
#include <QValidator>

namespace {

QAccessibleInterface* lineEditFactory(const QString&, QObject* object)
{
    auto* edit = qobject_cast<QLineEdit*>(object);
    // A spin box speaks for its own line edit, as Qt has it.
    if (!edit || edit->objectName() == QLatin1String("qt_spinbox_lineedit"))
        return nullptr;
    return new LineEditAccessible(edit);
}

} // namespace

void InstallLineEditAccessibility()
{
    // Qt installs a factory only once, and asks the latest first: ahead of its own.
    QAccessible::installFactory(lineEditFactory);
}

LineEditAccessible::LineEditAccessible(QLineEdit* edit) : QAccessibleWidget(edit, QAccessible::EditableText)
{
    addControllingSignal(QStringLiteral("textChanged(const QString&)"));
    addControllingSignal(QStringLiteral("returnPressed()"));
}

QLineEdit* LineEditAccessible::lineEdit() const
{
    return static_cast<QLineEdit*>(widget());
}

QString LineEditAccessible::text(QAccessible::Text t) const
{
    QString str;
    if (t == QAccessible::Value) {
        if (lineEdit()->echoMode() == QLineEdit::Normal)
            str = lineEdit()->text();
        else if (lineEdit()->echoMode() != QLineEdit::NoEcho)
            str = QString(lineEdit()->text().size(), u'*');
    }
    if (str.isEmpty())
        str = QAccessibleWidget::text(t);
    if (str.isEmpty() && t == QAccessible::Description)
        str = lineEdit()->placeholderText();
    return str;
}

void LineEditAccessible::setText(QAccessible::Text t, const QString& text)
{
    if (t != QAccessible::Value) {
        QAccessibleWidget::setText(t, text);
        return;
    }
    QString newText = text;
    if (const QValidator* validator = lineEdit()->validator()) {
        int pos = 0;
        if (validator->validate(newText, pos) != QValidator::Acceptable)
            return;
    }
    lineEdit()->setText(newText);
}

QAccessible::State LineEditAccessible::state() const
{
    QAccessible::State state = QAccessibleWidget::state();
    state.editable = true;
    if (lineEdit()->isReadOnly())
        state.readOnly = true;
    if (lineEdit()->echoMode() != QLineEdit::Normal)
        state.passwordEdit = true;
    state.selectableText = true;
    return state;
}

void* LineEditAccessible::interface_cast(QAccessible::InterfaceType type)
{
    if (type == QAccessible::TextInterface)
        return static_cast<QAccessibleTextInterface*>(this);
    if (type == QAccessible::EditableTextInterface)
        return static_cast<QAccessibleEditableTextInterface*>(this);
    return QAccessibleWidget::interface_cast(type);
}

void LineEditAccessible::selection(int selectionIndex, int* startOffset, int* endOffset) const
{
    *startOffset = *endOffset = 0;
    if (selectionIndex != 0)
        return;
    *startOffset = lineEdit()->selectionStart();
    *endOffset = *startOffset + static_cast<int>(lineEdit()->selectedText().size());
}

int LineEditAccessible::selectionCount() const
{
    return lineEdit()->hasSelectedText() ? 1 : 0;
}

void LineEditAccessible::addSelection(int startOffset, int endOffset)
{
    setSelection(0, startOffset, endOffset);
}

void LineEditAccessible::removeSelection(int selectionIndex)
{
    if (selectionIndex == 0)
        lineEdit()->deselect();
}

void LineEditAccessible::setSelection(int selectionIndex, int startOffset, int endOffset)
{
    if (selectionIndex == 0)
        lineEdit()->setSelection(startOffset, endOffset - startOffset);
}

int LineEditAccessible::cursorPosition() const
{
    return lineEdit()->cursorPosition();
}

void LineEditAccessible::setCursorPosition(int position)
{
    lineEdit()->setCursorPosition(position);
}

QString LineEditAccessible::text(int startOffset, int endOffset) const
{
    if (startOffset > endOffset)
        return {};
    return spokenText().mid(startOffset, endOffset - startOffset);
}

// A hidden text gives nothing away, not even its length.
QString LineEditAccessible::spokenText() const
{
    return lineEdit()->echoMode() == QLineEdit::Normal ? lineEdit()->text() : QString();
}

QString LineEditAccessible::textBeforeOffset(int offset, QAccessible::TextBoundaryType boundaryType,
                                             int* startOffset, int* endOffset) const
{
    return AnswerTextQuery(spokenText(), cursorPosition(), offset, boundaryType, TextQuery::Before, startOffset,
                           endOffset);
}

QString LineEditAccessible::textAfterOffset(int offset, QAccessible::TextBoundaryType boundaryType,
                                            int* startOffset, int* endOffset) const
{
    return AnswerTextQuery(spokenText(), cursorPosition(), offset, boundaryType, TextQuery::After, startOffset,
                           endOffset);
}

QString LineEditAccessible::textAtOffset(int offset, QAccessible::TextBoundaryType boundaryType, int* startOffset,
                                         int* endOffset) const
{
    return AnswerTextQuery(spokenText(), cursorPosition(), offset, boundaryType, TextQuery::At, startOffset,
                           endOffset);
}

int LineEditAccessible::characterCount() const
{
    return static_cast<int>(lineEdit()->text().size());
}

QRect LineEditAccessible::characterRect(int offset) const
{
    const QString ch = text(offset, offset + 1);
    if (ch.isEmpty())
        return {};
    // Where the caret is drawn says where the text lies, however aligned and scrolled;
    // the character's place follows from the widths of the text before it.
    const QLineEdit* edit = lineEdit();
    const QFontMetrics fm(edit->font());
    const QString shown = edit->displayText();
    const QRect caret = edit->inputMethodQuery(Qt::ImCursorRectangle).toRect();
    const int origin = caret.center().x() - fm.horizontalAdvance(shown.left(edit->cursorPosition()));
    const QRect r(origin + fm.horizontalAdvance(shown.left(offset)), caret.top(), fm.horizontalAdvance(ch),
                  caret.height());
    return QRect(edit->mapToGlobal(r.topLeft()), r.size());
}

int LineEditAccessible::offsetAtPoint(const QPoint& point) const
{
    return lineEdit()->cursorPositionAt(lineEdit()->mapFromGlobal(point));
}

void LineEditAccessible::scrollToSubstring(int startIndex, int endIndex)
{
    lineEdit()->setCursorPosition(endIndex);
    lineEdit()->setCursorPosition(startIndex);
}

QString LineEditAccessible::attributes(int offset, int* startOffset, int* endOffset) const
{
    // A line edit has no text attributes.
    *startOffset = *endOffset = offset;
    return {};
}

void LineEditAccessible::deleteText(int startOffset, int endOffset)
{
    lineEdit()->setText(lineEdit()->text().remove(startOffset, endOffset - startOffset));
}

void LineEditAccessible::insertText(int offset, const QString& text)
{
    lineEdit()->setText(lineEdit()->text().insert(offset, text));
}

void LineEditAccessible::replaceText(int startOffset, int endOffset, const QString& text)
{
    lineEdit()->setText(lineEdit()->text().replace(startOffset, endOffset - startOffset, text));
}
