// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "board/RandomBoard.h"
#include "board/clsBoardCollection.h"

#include <QMainWindow>

#include <cstdint>
#include <functional>
#include <memory>
#include <utility>
#include <vector>

class QAction;
class QFrame;
class QKeyEvent;
class QMenu;
class QScrollBar;
class QWidget;
class CellEditor;
class clsCommonDialogs;
class frmCheck;
class usrBoard;

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

    // Board view. Elements and the scroll bar live in the container's client area.
    QFrame* picContainer = nullptr;
    QWidget* picClient = nullptr;
    QScrollBar* vScroll = nullptr;
    std::vector<usrBoard*> usrBoards; // element 0 is the design element, never destroyed
    // The keyboard through the whole list. The list position element shows, 0 for none.
    std::int32_t PositionOf(const usrBoard* element) const;
    // Rows of boards wholly inside the view, at least one.
    int RowsWhollyInView() const;
    // Scrolls so that the board at `position` is wholly in view, where the view is tall enough.
    void ScrollIntoView(std::int32_t position);
    // Focus on cell `part` (CellCount: "X") of the board at `position`, brought into view first.
    bool FocusBoard(std::int32_t position, int part, Qt::FocusReason reason);
    // The one line edit of the view; it lies over the cell being edited.
    CellEditor* CellEditorOfView() const noexcept { return m_cellEditor; }

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
    // After each refresh: the boards wholly in view, as the scroll bar's description.
    void describeBoardsInView(std::int32_t wholeElements);

    void usrBoard_FocusLeaving(usrBoard* element, int Index, int key);
    std::pair<std::int32_t, int> focusedPart() const;
    bool listTab(bool next);
    bool listKey(QKeyEvent* event);

    // A board element wired to usrBoard_DeleteBoard; its index is looked up at the click.
    usrBoard* newBoardElement();

    BoardsRef m_Boards;
    // Elements the last refresh did not need: hidden, without a board, kept for reuse.
    std::vector<usrBoard*> m_spareBoards;
    // List positions per scroll step in the last refresh, so a delete maps as it showed.
    std::int32_t m_scrollStep = 3;
    frmCheck* m_check = nullptr;
    CellEditor* m_cellEditor = nullptr;
};
