#pragma once

#include "clsBoardCollection.h"

#include <QString>

// Board files on disk. Both throw ZanvoError with a message that names the file.

// Reads and checks the whole file into a new list; the caller's list is untouched
// until this returns. Never creates a file; needs only read access.
BoardsRef ReadBoardFile(const QString& sFile);

// Writes the list atomically: the new content goes to a file beside the target and
// replaces it only once every byte is written, so a failed save leaves any old file
// as it was.
void WriteBoardFile(const QString& sFile, const clsBoardCollection& boards);
