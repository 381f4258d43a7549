// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "board/clsBoard.h"
#include "board/clsBoardCollection.h"

#include <QWidget>

#include <functional>

class QListWidget;
class QPushButton;

// The modeless tool window that collects the drawn numbers and checks the boards
// against them. One instance lives from its first opening to the end of the program;
// closing it only hides it, so the drawn numbers stay for the next opening.
class frmCheck : public QWidget {
    Q_OBJECT

public:
    // `boards` gives the list a check colours, `boardsChecked` shows the result.
    // The dialog is a window of its own, without an owner.
    frmCheck(std::function<BoardsRef()> boards, std::function<void()> boardsChecked);

    // Brings the dialog before the user whatever state it was left in: shown,
    // restored from minimised, raised and active.
    void ShowRestored();

    // Where Qt would draw the window frame itself (Wayland without frames from the
    // compositor), the dialog draws its own title bar with a close box only.
    void UseOwnTitleBar();
    QWidget* TitleBar() const noexcept { return m_titleBar; }

    // The drawn numbers in the order they were added, each with colour 0. No number
    // occurs twice. lstNumbers shows exactly these, row k showing entry k - 1.
    clsBoard Numbers;

    // The boards a check colours: the list the main window holds at this moment, so
    // a list replaced by "Clear all" or "Open" is never checked (nor kept alive) here.
    BoardsRef Boards() const;

    // Refills refListview with the numbers of refBoard in storage order, plain
    // decimal. Holds on to neither.
    static void UpdateList(QListWidget& refListview, const clsBoard& refBoard);

    // Controls, reachable for the tests.
    QListWidget* lstNumbers = nullptr;
    QPushButton* cmdAdd = nullptr;
    QPushButton* cmdDelete = nullptr;
    QPushButton* cmdCheck = nullptr;

    void cmdAdd_Click();
    void cmdDelete_Click();
    void cmdCheck_Click();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    QWidget* m_titleBar = nullptr;
    std::function<BoardsRef()> m_boards;
    std::function<void()> m_boardsChecked;
};
