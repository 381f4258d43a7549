// SPDX-License-Identifier: GPL-3.0-or-later
#include "frmMain.h"

#include "BoardView.h"
#include "board/BoardFileIO.h"
#include "board/ZanvoError.h"
#include "dialogs/clsCommonDialogs.h"

#include <QScrollBar>
#include <QSignalBlocker>

namespace {

// "Data-files (*.dat)", NUL, "*.dat": the 24 characters of the board-file filter.
QString boardFileFilter()
{
    return QStringLiteral("Data-files (*.dat)") + QChar(u'\0') + QStringLiteral("*.dat");
}

} // namespace

void frmMain::prepareOpenSave()
{
    if (!OpenSave)
        OpenSave = std::make_unique<clsCommonDialogs>();
    OpenSave->Filter(boardFileFilter());
}

void frmMain::mnuOpen_Click()
{
    OpenSave->ShowOpen(this, QStringLiteral("Open file"));
    const QString sFile = OpenSave->File();
    if (sFile.isEmpty())
        return; // cancelled
    OpenFile(sFile);
}

void frmMain::mnuSave_Click()
{
    OpenSave->ShowSave(this, QStringLiteral("Save file"));
    const QString sFile = OpenSave->File();
    if (sFile.isEmpty())
        return; // cancelled
    SaveFile(sFile);
}

void frmMain::OpenFile(const QString& sFile)
{
    // The whole file is read and checked first: a file that cannot be read leaves
    // the list, and the boards on screen, as they were.
    BoardsRef boards;
    try {
        boards = ReadBoardFile(sFile);
    } catch (const ZanvoError& e) {
        throw ZanvoError(e.Number(), e.Description() + " The boards shown are unchanged.");
    }
    SetBoards(std::move(boards));
    {
        // A new list is seen from its first board; the refresh below builds for it.
        const QSignalBlocker quiet(vScroll);
        vScroll->setValue(0);
    }
    UpdateControls();
    // The keyboard to the new list, where typing goes on.
    if (Boards()->Count() > 0)
        picClient->FocusBoard(1, 0, Qt::ShortcutFocusReason);
    else
        picClient->setFocus(Qt::OtherFocusReason);
}

void frmMain::SaveFile(const QString& sFile)
{
    WriteBoardFile(sFile, *Boards());
}
