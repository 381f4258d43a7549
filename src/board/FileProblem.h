// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include <optional>

class QFile;
class QFileDevice;

// What went wrong with a file, as the user should hear it. The board file, the
// program's messages and zanvo-tool all speak of file trouble through this.
enum class FileProblem {
    NotFound,
    FolderMissing,
    NoPermission,
    FolderNoPermission, // the file's folder may not be written: no file made or replaced there
    ReadOnlyFileSystem,
    DiskFull,
    FileTooLarge,
    SymlinkLoop,
    IsFolder,
    NotOrdinaryFile,
    NameTooLong,
    DeviceError,
    Other,
};

// The problem an errno value stands for; Other when it has no plainer name.
FileProblem ProblemFromErrno(int errnoValue);

// The same, with ENOENT told apart: NotFound when the file's folder exists,
// FolderMissing when it does not (or when a part of the path is not a folder).
FileProblem ProblemFromErrno(int errnoValue, const QString& file);

// The problem behind a failed call on `file`: errno where the system left one
// (0 when it left none), else what Qt reports; a full disk is the one cause Qt
// tells apart.
FileProblem ProblemAfter(int errnoValue, const QFileDevice& file, const QString& sFile);

// A file's name as the messages show it: in double quotes, with the system's separators.
QString QuotedFileName(const QString& path);

// The run-time error number that goes with a problem (see ErrorNumber).
int ErrorNumberFor(FileProblem problem);

// One sentence in plain words that names the file (or, for a missing or locked
// folder or a read-only disk, the folder): "The disk is full.", "The folder "/a/b"
// does not exist." systemText is
// the system's own description, used for Other and DeviceError.
QString ProblemSentence(FileProblem problem, const QString& file, const QString& systemText = {});

// What would make reading the file fail or hang, found without opening it: a
// missing file or folder, a loop of links, a folder, a device, pipe or socket.
// Only asks the file system for the file's status, so it never blocks on a pipe.
std::optional<FileProblem> ProblemBeforeReading(const QString& file);

// The same for a save over the file: a loop of links (which a save would
// replace by a plain file), a folder, a device, pipe or socket, a missing folder.
// A file that does not exist yet is no problem.
std::optional<FileProblem> ProblemBeforeWriting(const QString& file);

// Opens an ordinary file for reading, the one way every reader opens one: what
// ProblemBeforeReading names is refused unopened, and the open itself never waits,
// so a pipe or device put in the file's place after that check is refused on the
// open file instead of blocking the open or the reads. Returns the problem, with the
// system's words in systemText where it has any, and `file` left closed; nothing
// once `file` is open (unbuffered; closed with it).
std::optional<FileProblem> OpenOrdinaryFile(QFile& file, const QString& sFile, QString& systemText);
