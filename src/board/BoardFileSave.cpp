// SPDX-License-Identifier: GPL-3.0-or-later
#include "BoardFileSave.h"

#include "FileProblem.h"
#include "ZanvoError.h"

#include <QFileInfo>
#include <QSaveFile>

#include <cerrno>
#include <csignal>

namespace {

[[noreturn]] void failSave(FileProblem problem, const QString& sFile, const QString& systemText = {})
{
    throw ZanvoError(ErrorNumberFor(problem),
                     (ProblemSentence(problem, sFile, systemText)
                      + QStringLiteral(" The boards were not saved; any file of that name is unchanged."))
                         .toStdString());
}

// The file's mode bits, without the flags Qt derives from the current user.
QFileDevice::Permissions modeOf(const QString& sFile)
{
    return QFile::permissions(sFile) & ~(QFileDevice::ReadUser | QFileDevice::WriteUser | QFileDevice::ExeUser);
}

// Under a file-size limit the system stops the whole program with SIGXFSZ unless
// the signal is ignored; ignored, the write fails and the save can report it.
class FileSizeSignalIgnored {
public:
    FileSizeSignalIgnored() noexcept
    {
#ifdef SIGXFSZ
        struct sigaction ignore {};
        ignore.sa_handler = SIG_IGN;
        sigemptyset(&ignore.sa_mask);
        m_active = sigaction(SIGXFSZ, &ignore, &m_previous) == 0;
#endif
    }
    ~FileSizeSignalIgnored()
    {
#ifdef SIGXFSZ
        if (m_active)
            sigaction(SIGXFSZ, &m_previous, nullptr);
#endif
    }
    FileSizeSignalIgnored(const FileSizeSignalIgnored&) = delete;
    FileSizeSignalIgnored& operator=(const FileSizeSignalIgnored&) = delete;

private:
#ifdef SIGXFSZ
    struct sigaction m_previous {};
    bool m_active = false;
#endif
};

} // namespace

void WriteBoardFileBytes(const QString& sFile, const BoardBytesSource& source)
{
    // A loop of links would be replaced by a plain file, a device by a copy.
    if (const std::optional<FileProblem> problem = ProblemBeforeWriting(sFile))
        failSave(*problem, sFile);
    const QFileInfo info(sFile);
    // The new bytes go to a file beside the target, which replaces it only once
    // every byte is written and on disk. QSaveFile also refuses an existing file
    // the user may not write, although the folder would allow replacing it.
    QSaveFile file(sFile);
    errno = 0;
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        const int error = errno;
        const bool mayWrite = info.exists() ? info.isWritable() : QFileInfo(info.absolutePath()).isWritable();
        failSave(!mayWrite && error != EROFS ? FileProblem::NoPermission : ProblemAfter(error, file, sFile), sFile,
                 file.errorString());
    }
    const FileSizeSignalIgnored signalIgnored;
    std::vector<std::uint8_t> piece;
    try {
        while (source(piece)) {
            // A short write leaves errno untouched; writing the rest then fails with
            // the cause (ENOSPC, EFBIG ...), so the loop goes on until a call says why.
            const char* data = reinterpret_cast<const char*>(piece.data());
            auto left = static_cast<qint64>(piece.size());
            while (left > 0) {
                errno = 0;
                const qint64 written = file.write(data, left);
                if (written <= 0) {
                    const FileProblem problem = ProblemAfter(errno, file, sFile);
                    failSave(problem, sFile, file.errorString());
                }
                data += written;
                left -= written;
            }
        }
    } catch (...) {
        file.cancelWriting();
        throw;
    }
    const QFileDevice::Permissions before = info.exists() ? modeOf(sFile) : QFileDevice::Permissions();
    errno = 0;
    if (!file.commit())
        failSave(ProblemAfter(errno, file, sFile), sFile, file.errorString());
    // Replacing adds the owner's write bit to a read-only file that root saves
    // over; the file keeps the mode it had.
    if (before != QFileDevice::Permissions() && modeOf(sFile) != before)
        QFile::setPermissions(sFile, before);
}
