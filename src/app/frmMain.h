// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "board/RandomBoard.h"
#include "board/clsBoardCollection.h"

#include <QMainWindow>

#include <cstdint>
#include <functional>
#include <memory>

class QAction;
class QFrame;
class QMenu;
class QScrollBar;
class BoardView;
class clsCommonDialogs;
class frmCheck;

// The application window: the board list, the board view and every command.
class frmMain : public QMainWindow {
    Q_OBJECT

public:
    explicit frmMain(QWidget* parent = nullptr);
    ~frmMain() override;

    // The board list, created empty on first use so a fresh window behaves as an
    // empty list. Replacing it (Clear all, Open) releases the old boards once
    // nothing else refers to them.
    const BoardsRef& Boards();
    void SetBoards(BoardsRef boards);

    // Rebuilds and lays out the board view from Boards.
    void UpdateControls();
    void OpenFile(const QString& sFile);
    void SaveFile(const QString& sFile);

    // The one file-dialog object, prepared at initialization.
    std::unique_ptr<clsCommonDialogs> OpenSave;

    // Board view: the boards' elements, the scroll bar and the cell editor live in
    // the view, inside the container's border.
    QFrame* picContainer = nullptr;
    BoardView* picClient = nullptr;
    QScrollBar* vScroll = nullptr;

    // Where "Random" takes its numbers from: a clock-seeded generator, new each time.
    std::function<UniformSource()> RandomSource = ClockSeededUniform;

    // The check dialog, created at its first opening and kept for the program's life.
    frmCheck* CheckDialog() const noexcept { return m_check; }

    // Menus, reachable for the tests.
    QMenu* mnuFile = nullptr;
    QAction* mnuOpen = nullptr;
    QAction* mnuSave = nullptr;
    QAction* mnuExit = nullptr;
    QMenu* mnuBoards = nullptr;
    QMenu* mnuAddNew = nullptr;
    QAction* mnuEmpty = nullptr;
    QAction* mnuRandom = nullptr;
    QAction* mnuCheck = nullptr;
    QAction* mnuClearAll = nullptr;
    QAction* mnuAbout = nullptr;

    // The menu commands; each runs to its end before the next event.
    void mnuOpen_Click();
    void mnuSave_Click();
    void mnuExit_Click();
    void mnuEmpty_Click();
    void mnuRandom_Click();
    void mnuCheck_Click();
    void mnuClearAll_Click();
    void mnuAbout_Click();
    // Raised by the "X" of element Index.
    void usrBoard_DeleteBoard(int Index);
    void vScroll_Change();
    void vScroll_Scroll();
    void Form_Resize();

    // The "About" text, "Made by <maker>, version 2.0.0".
    static QString AboutText();

Q_SIGNALS:
    // After every refresh of the board view, nested ones included.
    void ControlsUpdated();

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Form_Initialize();
    void buildMenus();
    void buildBoardView();
    void InitCommonControls();
    void prepareOpenSave();

    BoardsRef m_Boards;
    frmCheck* m_check = nullptr;
};
