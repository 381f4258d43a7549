// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "clsBoardCollection.h"

#include <QString>

enum class FileProblem;

// Board files on disk. Both throw ZanvoError whose message says in plain words what
// happened and that nothing changed, naming the file ("The disk is full: there is
// no room left for "x.dat". The boards were not saved; any file of that name is
// unchanged."), numbered for the cause (see FileProblem).

// Reads and checks the whole file into a new list; the caller's list is untouched
// until this returns. Never creates a file; needs only read access; refuses
// folders, devices and pipes before opening, so it never waits on one. The file is read in pieces, so its bytes are never
// held in memory beside its boards.
BoardsRef ReadBoardFile(const QString& sFile);

// Writes the list atomically: the new content goes to a file beside the target and
// replaces it only once every byte is written and on disk, so a failed save
// (disk full, file-size limit, no permission) leaves any old file as it was. An
// existing file the user may not write is refused, a loop of links or a device is
// never replaced, and a replaced file keeps its mode.
void WriteBoardFile(const QString& sFile, const clsBoardCollection& boards);

// The refusals of a board file that every reader throws, the streaming readers of
// zanvo-tool included, so they all refuse a file in the same words: the problem's
// sentence and "Nothing was opened.", or "The file "x" is damaged: <what>."
[[noreturn]] void FailBoardFileOpen(FileProblem problem, const QString& sFile, const QString& systemText = {});
[[noreturn]] void FailBoardFileDamaged(const QString& sFile, const QString& what);
