// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Answers the modal dialogs a command opens, one step per dialog in the order
// they appear, from a timer that runs inside their event loops. A dialog that
// appears when no step is left is recorded and rejected, so a question nobody
// expected fails the test instead of hanging it.

#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <deque>
#include <functional>

class ModalScript {
public:
    using Step = std::function<void(QWidget*)>;

    explicit ModalScript(std::initializer_list<Step> steps) : m_steps(steps)
    {
        m_timer.setInterval(10);
        QObject::connect(&m_timer, &QTimer::timeout, &m_timer, [this] { poll(); });
        m_timer.start();
    }

    int Answered() const { return m_answered; }
    bool AllAnswered() const { return m_steps.empty(); }
    // Titles of dialogs that appeared with no step left for them, or that a step
    // left open.
    const QStringList& Unexpected() const { return m_unexpected; }

private:
    void poll()
    {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal || modal == m_current)
            return;
        m_current = modal;
        if (m_steps.empty()) {
            m_unexpected.append(modal->windowTitle());
            if (auto* dialog = qobject_cast<QDialog*>(modal))
                dialog->reject();
            else
                modal->close();
            return;
        }
        const Step step = m_steps.front();
        m_steps.pop_front();
        ++m_answered;
        QPointer<QWidget> answered(modal);
        step(modal);
        // A step whose checks failed part-way must not leave the test hanging.
        if (QWidget* still = answered.data(); still != nullptr && still->isVisible()) {
            m_unexpected.append(QStringLiteral("left open: ") + still->windowTitle());
            if (auto* dialog = qobject_cast<QDialog*>(still))
                dialog->reject();
            else
                still->close();
        }
    }

    std::deque<Step> m_steps;
    QTimer m_timer;
    QPointer<QWidget> m_current;
    int m_answered = 0;
    QStringList m_unexpected;
};

// Types a name into Qt's file dialog and presses Enter, as a user would.
inline void TypeFileName(QWidget* modal, const QString& name)
{
    auto* dialog = qobject_cast<QFileDialog*>(modal);
    QVERIFY(dialog);
    auto* edit = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
    QVERIFY(edit);
    edit->setFocus();
    edit->selectAll();
    edit->setText(name);
    QTest::keyClick(edit, Qt::Key_Return);
}

// Presses Escape in a dialog.
inline void PressEscape(QWidget* modal)
{
    QTest::keyClick(modal, Qt::Key_Escape);
}

// The entries of the file dialog's file-type box, as the user sees them.
inline QStringList ShownFilters(QFileDialog* dialog)
{
    QStringList out;
    if (auto* box = dialog->findChild<QComboBox*>(QStringLiteral("fileTypeCombo"))) {
        for (int i = 0; i < box->count(); ++i)
            out.append(box->itemText(i));
    }
    return out;
}
