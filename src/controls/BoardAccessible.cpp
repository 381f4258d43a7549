// SPDX-License-Identifier: GPL-3.0-or-later
#include "BoardAccessible.h"

#include "CellEditor.h"
#include "LineEditAccessible.h"
#include "TextQueries.h"
#include "usrBoard.h"

#include <QAccessibleWidget>
#include <QHash>
#include <QPushButton>
#include <qpa/qplatformaccessibility.h>
#include <qpa/qplatformintegration.h>
#include <private/qguiapplication_p.h>

#include <array>

namespace {

// One painted cell, as a screen reader sees it.
class CellAccessible : public QAccessibleInterface, public QAccessibleTextInterface {
public:
    CellAccessible(usrBoard* board, int index) : m_board(board), m_index(index) {}

    bool isValid() const override { return m_board != nullptr; }
    QObject* object() const override { return nullptr; }
    QWindow* window() const override
    {
        return m_board->window()->windowHandle();
    }
    QAccessibleInterface* parent() const override { return QAccessible::queryAccessibleInterface(m_board); }
    QAccessibleInterface* child(int) const override { return nullptr; }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QAccessible::Role role() const override { return QAccessible::EditableText; }

    QString text(QAccessible::Text t) const override
    {
        if (t == QAccessible::Name)
            return m_board->CellName(m_index);
        if (t == QAccessible::Value)
            return m_board->CellText(m_index);
        if (t == QAccessible::Help)
            return m_board->CellTip(m_index);
        return {};
    }
    void setText(QAccessible::Text, const QString&) override {}

    QRect rect() const override
    {
        const QRect cell = m_board->CellRect(m_index);
        return QRect(m_board->mapToGlobal(cell.topLeft()), cell.size());
    }

    QAccessible::State state() const override
    {
        QAccessible::State s;
        if (!m_board->isVisible())
            s.invisible = true;
        if (m_board->HoldsNumber(m_index)) {
            s.editable = true;
            s.focusable = true;
        } else {
            s.disabled = true;
        }
        return s;
    }

    void* interface_cast(QAccessible::InterfaceType type) override
    {
        if (type == QAccessible::TextInterface)
            return static_cast<QAccessibleTextInterface*>(this);
        return nullptr;
    }

    // The text: the number as the cell shows it.
    QString value() const { return m_board->CellText(m_index); }
    QString text(int start, int end) const override { return value().mid(start, end - start); }
    int characterCount() const override { return static_cast<int>(value().size()); }
    int cursorPosition() const override { return 0; }
    void setCursorPosition(int) override {}
    void selection(int, int* start, int* end) const override { *start = *end = 0; }
    int selectionCount() const override { return 0; }
    void addSelection(int, int) override {}
    void removeSelection(int) override {}
    void setSelection(int, int, int) override {}
    QRect characterRect(int) const override { return rect(); }
    int offsetAtPoint(const QPoint&) const override { return 0; }
    void scrollToSubstring(int, int) override {}
    QString textBeforeOffset(int offset, QAccessible::TextBoundaryType type, int* start, int* end) const override
    {
        return AnswerTextQuery(value(), 0, offset, type, TextQuery::Before, start, end);
    }
    QString textAfterOffset(int offset, QAccessible::TextBoundaryType type, int* start, int* end) const override
    {
        return AnswerTextQuery(value(), 0, offset, type, TextQuery::After, start, end);
    }
    QString textAtOffset(int offset, QAccessible::TextBoundaryType type, int* start, int* end) const override
    {
        return AnswerTextQuery(value(), 0, offset, type, TextQuery::At, start, end);
    }
    QString attributes(int, int* start, int* end) const override
    {
        *start = 0;
        *end = characterCount();
        return {};
    }

private:
    usrBoard* m_board; // the interface is deleted with its board
    int m_index;
};

// Each board's cell interfaces, made when a screen reader first asks for them.
QHash<const usrBoard*, std::array<QAccessible::Id, usrBoard::CellCount>>& cellIds()
{
    static QHash<const usrBoard*, std::array<QAccessible::Id, usrBoard::CellCount>> ids;
    return ids;
}

QAccessibleInterface* cellInterface(usrBoard* board, int index)
{
    auto& ids = cellIds()[board];
    QAccessible::Id& id = ids[static_cast<std::size_t>(index)];
    if (id == 0)
        id = QAccessible::registerAccessibleInterface(new CellAccessible(board, index));
    return QAccessible::accessibleInterface(id);
}

// The view's line edit, while it lies over a cell of this board.
CellEditor* editorOf(const usrBoard* board)
{
    if (board->EditedCell() < 0 || !board->parentWidget())
        return nullptr;
    auto* editor = board->parentWidget()->findChild<CellEditor*>(QString(), Qt::FindDirectChildrenOnly);
    return editor && editor->Element() == board && editor->Cell() == board->EditedCell() ? editor : nullptr;
}

// The line edit as the cell it edits: a child of the board's group, named as the cell.
class CellEditAccessible : public LineEditAccessible {
public:
    explicit CellEditAccessible(CellEditor* editor) : LineEditAccessible(editor) {}
    using LineEditAccessible::text;

    QAccessibleInterface* parent() const override
    {
        const auto* editor = static_cast<const CellEditor*>(object());
        if (editor->Element())
            return QAccessible::queryAccessibleInterface(editor->Element());
        return LineEditAccessible::parent();
    }

    QString text(QAccessible::Text t) const override
    {
        const auto* editor = static_cast<const CellEditor*>(object());
        if (t == QAccessible::Name && editor->Element())
            return editor->Element()->CellName(editor->Cell());
        return LineEditAccessible::text(t);
    }
};

class BoardGroupAccessible : public QAccessibleWidget {
public:
    explicit BoardGroupAccessible(usrBoard* board) : QAccessibleWidget(board, QAccessible::Grouping) {}

    usrBoard* board() const { return static_cast<usrBoard*>(widget()); }

    QString text(QAccessible::Text t) const override
    {
        if (t == QAccessible::Name)
            return board()->Caption();
        if (t == QAccessible::Description)
            return board()->HeaderTip();
        return QAccessibleWidget::text(t);
    }

    int childCount() const override { return usrBoard::CellCount + 1; }

    QAccessibleInterface* child(int index) const override
    {
        usrBoard* b = board();
        if (index == usrBoard::CellCount) {
            b->NameDeleteButton();
            return QAccessible::queryAccessibleInterface(b->cmdDelete);
        }
        if (index < 0 || index > usrBoard::CellCount)
            return nullptr;
        // The cell being edited is the line edit that lies over it.
        if (CellEditor* editor = editorOf(b); editor && editor->Cell() == index)
            return QAccessible::queryAccessibleInterface(editor);
        return cellInterface(b, index);
    }

    int indexOfChild(const QAccessibleInterface* child) const override
    {
        for (int i = 0; i <= usrBoard::CellCount; ++i)
            if (this->child(i) == child)
                return i;
        return -1;
    }

    QAccessibleInterface* childAt(int x, int y) const override
    {
        usrBoard* b = board();
        const QPoint local = b->mapFromGlobal(QPoint(x, y));
        if (b->cmdDelete->geometry().contains(local))
            return child(usrBoard::CellCount);
        const int index = b->CellAt(local);
        return index >= 0 ? child(index) : nullptr;
    }

    QAccessibleInterface* focusChild() const override
    {
        usrBoard* b = board();
        if (b->cmdDelete->hasFocus())
            return child(usrBoard::CellCount);
        CellEditor* editor = editorOf(b);
        return editor && editor->hasFocus() ? child(editor->Cell()) : nullptr;
    }
};

QAccessibleInterface* boardFactory(const QString& className, QObject* object)
{
    if (className == QLatin1String("usrBoard") && object && object->isWidgetType())
        return new BoardGroupAccessible(static_cast<usrBoard*>(object));
    if (className == QLatin1String("CellEditor") && object && object->isWidgetType())
        return new CellEditAccessible(static_cast<CellEditor*>(object));
    return nullptr;
}

const QObject* quietObject = nullptr;

bool isTextEvent(QAccessible::Event type)
{
    switch (type) {
    case QAccessible::TextCaretMoved:
    case QAccessible::TextSelectionChanged:
    case QAccessible::TextInserted:
    case QAccessible::TextRemoved:
    case QAccessible::TextUpdated:
    case QAccessible::TextAttributeChanged:
    case QAccessible::TextColumnChanged:
    case QAccessible::ValueChanged:
        return true;
    default:
        return false;
    }
}

// Every event passes here on its way to the screen reader.
void passOn(QAccessibleEvent* event)
{
    if (quietObject && event->object() == quietObject && isTextEvent(event->type()))
        return;
    if (QPlatformIntegration* platform = QGuiApplicationPrivate::platformIntegration())
        if (QPlatformAccessibility* bridge = platform->accessibility())
            bridge->notifyAccessibilityUpdate(event);
}

} // namespace

void InstallBoardAccessibility()
{
    static const bool installed = [] {
        QAccessible::installFactory(boardFactory);
        return true;
    }();
    (void)installed;
}

void WatchCellEditor(CellEditor* /*editor*/)
{
    InstallBoardAccessibility();
    static const bool installed = [] {
        QAccessible::installUpdateHandler(passOn);
        return true;
    }();
    (void)installed;
}

void NewCellVisit(CellEditor* editor)
{
    if (!QAccessible::isActive())
        return;
    // Made again when next asked for, for the cell the editor lies over then.
    if (const QAccessible::Id id = QAccessible::uniqueId(QAccessible::queryAccessibleInterface(editor)))
        QAccessible::deleteAccessibleInterface(id);
}

QuietEditor::QuietEditor(const QObject* object) : m_previous(quietObject)
{
    quietObject = object;
}

QuietEditor::~QuietEditor()
{
    quietObject = m_previous;
}

void ForgetBoardAccessibility(usrBoard* board)
{
    const auto it = cellIds().find(board);
    if (it == cellIds().end())
        return;
    for (QAccessible::Id id : *it)
        if (id != 0)
            QAccessible::deleteAccessibleInterface(id);
    cellIds().erase(it);
}

void BoardRenamed(usrBoard* board)
{
    QAccessibleEvent group(board, QAccessible::NameChanged);
    QAccessible::updateAccessibility(&group);
    const auto it = cellIds().constFind(board);
    if (it == cellIds().cend())
        return;
    for (QAccessible::Id id : *it) {
        if (id == 0)
            continue;
        QAccessibleEvent cell(QAccessible::accessibleInterface(id), QAccessible::NameChanged);
        QAccessible::updateAccessibility(&cell);
    }
}
