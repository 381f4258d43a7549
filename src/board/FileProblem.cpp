// SPDX-License-Identifier: GPL-3.0-or-later
#include "FileProblem.h"

#include "ZanvoError.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

QString folderOf(const QString& file)
{
    return QFileInfo(file).absolutePath();
}

bool folderExists(const QString& file)
{
    struct stat st {};
    return ::stat(QFile::encodeName(folderOf(file)).constData(), &st) == 0 && S_ISDIR(st.st_mode);
}

// "Input/output error." reads as a sentence of its own; an empty text gives nothing.
QString asSentence(QString text)
{
    text = text.trimmed();
    if (text.isEmpty())
        return text;
    text[0] = text.at(0).toUpper();
    if (!text.endsWith(QLatin1Char('.')))
        text += QLatin1Char('.');
    return text;
}

} // namespace

FileProblem ProblemFromErrno(int errnoValue)
{
    switch (errnoValue) {
    case ENOENT:
        return FileProblem::NotFound;
    case ENOTDIR:
        return FileProblem::FolderMissing;
    case EACCES:
    case EPERM:
        return FileProblem::NoPermission;
    case EROFS:
        return FileProblem::ReadOnlyFileSystem;
    case ENOSPC:
#ifdef EDQUOT
    case EDQUOT:
#endif
        return FileProblem::DiskFull;
    case EFBIG:
        return FileProblem::FileTooLarge;
    case ELOOP:
        return FileProblem::SymlinkLoop;
    case EISDIR:
        return FileProblem::IsFolder;
    case ENXIO:
    case ENODEV:
        return FileProblem::NotOrdinaryFile;
    case ENAMETOOLONG:
        return FileProblem::NameTooLong;
    case EIO:
        return FileProblem::DeviceError;
    default:
        return FileProblem::Other;
    }
}

FileProblem ProblemFromErrno(int errnoValue, const QString& file)
{
    const FileProblem problem = ProblemFromErrno(errnoValue);
    if (problem == FileProblem::NotFound && !folderExists(file))
        return FileProblem::FolderMissing;
    return problem;
}

FileProblem ProblemAfter(int errnoValue, const QFileDevice& file, const QString& sFile)
{
    if (errnoValue != 0)
        return ProblemFromErrno(errnoValue, sFile);
    return file.error() == QFileDevice::ResourceError ? FileProblem::DiskFull : FileProblem::Other;
}

QString QuotedFileName(const QString& path)
{
    return QLatin1Char('"') + QDir::toNativeSeparators(path) + QLatin1Char('"');
}

int ErrorNumberFor(FileProblem problem)
{
    switch (problem) {
    case FileProblem::NotFound:
        return ErrorNumber::FileNotFound;
    case FileProblem::FolderMissing:
        return ErrorNumber::PathNotFound;
    case FileProblem::NoPermission:
    case FileProblem::FolderNoPermission:
    case FileProblem::ReadOnlyFileSystem:
        return ErrorNumber::PermissionDenied;
    case FileProblem::DiskFull:
    case FileProblem::FileTooLarge:
        return ErrorNumber::DiskFull;
    case FileProblem::DeviceError:
        return ErrorNumber::DeviceIO;
    case FileProblem::SymlinkLoop:
    case FileProblem::IsFolder:
    case FileProblem::NotOrdinaryFile:
    case FileProblem::NameTooLong:
    case FileProblem::Other:
        break;
    }
    return ErrorNumber::PathFileAccess;
}

QString ProblemSentence(FileProblem problem, const QString& file, const QString& systemText)
{
    const QString name = QuotedFileName(file);
    const QString folder = QuotedFileName(folderOf(file));
    const QString bareName = QuotedFileName(QFileInfo(file).fileName());
    switch (problem) {
    case FileProblem::NotFound:
        return QStringLiteral("The file %1 does not exist.").arg(name);
    case FileProblem::FolderMissing:
        return QStringLiteral("The folder %1 does not exist, so %2 cannot be there.").arg(folder, bareName);
    case FileProblem::NoPermission:
        return QStringLiteral("You do not have permission to use %1.").arg(name);
    case FileProblem::FolderNoPermission:
        return QStringLiteral("You do not have permission to write in the folder %1, so %2 cannot be saved there.")
            .arg(folder, bareName);
    case FileProblem::ReadOnlyFileSystem:
        return QStringLiteral("The disk that holds the folder %1 is read-only, so %2 cannot be saved there.")
            .arg(folder, bareName);
    case FileProblem::DiskFull:
        return QStringLiteral("The disk is full: there is no room left for %1.").arg(name);
    case FileProblem::FileTooLarge:
        return QStringLiteral("The file %1 would grow past the largest file size allowed here.").arg(name);
    case FileProblem::SymlinkLoop:
        return QStringLiteral("The link %1 leads round in a circle of links and never reaches a file.").arg(name);
    case FileProblem::IsFolder:
        return QStringLiteral("%1 is a folder, not a file.").arg(name);
    case FileProblem::NotOrdinaryFile:
        return QStringLiteral("%1 is a device, pipe or socket, not an ordinary file.").arg(name);
    case FileProblem::NameTooLong:
        return QStringLiteral("The name %1 is too long.").arg(name);
    case FileProblem::DeviceError:
        return (QStringLiteral("The disk failed while using %1.").arg(name) + QLatin1Char(' ')
                + asSentence(systemText)).trimmed();
    case FileProblem::Other:
        break;
    }
    const QString why = asSentence(systemText);
    if (why.isEmpty())
        return QStringLiteral("The file %1 could not be used.").arg(name);
    return QStringLiteral("The file %1 could not be used. %2").arg(name, why);
}

std::optional<FileProblem> ProblemBeforeReading(const QString& file)
{
    if (file.isEmpty())
        return FileProblem::NotFound;
    struct stat st {};
    if (::stat(QFile::encodeName(file).constData(), &st) != 0)
        return ProblemFromErrno(errno, file);
    if (S_ISDIR(st.st_mode))
        return FileProblem::IsFolder;
    if (!S_ISREG(st.st_mode))
        return FileProblem::NotOrdinaryFile;
    return std::nullopt;
}

std::optional<FileProblem> ProblemBeforeWriting(const QString& file)
{
    const std::optional<FileProblem> problem = ProblemBeforeReading(file);
    // A file not made yet (or a link to one) in a folder that exists is what a save makes.
    if (problem == FileProblem::NotFound && !file.isEmpty())
        return std::nullopt;
    return problem;
}

std::optional<FileProblem> OpenOrdinaryFile(QFile& file, const QString& sFile, QString& systemText)
{
    if (const std::optional<FileProblem> problem = ProblemBeforeReading(sFile))
        return problem;
    errno = 0;
    const int fd = ::open(QFile::encodeName(sFile).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) {
        const int error = errno;
        systemText = QString::fromLocal8Bit(std::strerror(error));
        return ProblemFromErrno(error, sFile);
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return S_ISDIR(st.st_mode) ? FileProblem::IsFolder : FileProblem::NotOrdinaryFile;
    }
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    if (!file.open(fd, QIODevice::ReadOnly | QIODevice::Unbuffered, QFileDevice::AutoCloseHandle)) {
        systemText = file.errorString();
        ::close(fd);
        return FileProblem::Other;
    }
    return std::nullopt;
}
