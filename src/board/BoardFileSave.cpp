// SPDX-License-Identifier: GPL-3.0-or-later
#include "BoardFileSave.h"

#include "ZanvoError.h"

#include <QFileInfo>

#include <cerrno>
#include <csignal>
#include <utility>

namespace {

// The file's mode bits, without the flags Qt derives from the current user.
QFileDevice::Permissions modeOf(const QString& sFile)
{
    return QFile::permissions(sFile) & ~(QFileDevice::ReadUser | QFileDevice::WriteUser | QFileDevice::ExeUser);
}

} // namespace

// Under a file-size limit the system stops the whole program with SIGXFSZ unless
// the signal is ignored; ignored, the write fails and the save can report it.
class AtomicFileWrite::FileSizeSignalIgnored {
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

AtomicFileWrite::AtomicFileWrite(const QString& sFile, QString notWrittenSentence)
    : m_file(sFile), m_notWritten(std::move(notWrittenSentence)), m_save(sFile)
{
    // A loop of links would be replaced by a plain file, a device by a copy.
    if (const std::optional<FileProblem> problem = ProblemBeforeWriting(sFile))
        fail(*problem);
    // The new bytes go to a file beside the target, which replaces it only once
    // every byte is written and on disk. QSaveFile also refuses an existing file
    // the user may not write, although the folder would allow replacing it.
    errno = 0;
    if (!m_save.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        const int error = errno;
        const QFileInfo info(sFile);
        FileProblem problem = ProblemAfter(error, m_save, sFile);
        if (error != EROFS) {
            // The new file is made in the folder, so a folder the user may not write
            // refuses the save even where the file itself could be written.
            if (info.exists() && !info.isWritable())
                problem = FileProblem::NoPermission;
            else if (!QFileInfo(info.absolutePath()).isWritable())
                problem = FileProblem::FolderNoPermission;
        }
        fail(problem, m_save.errorString());
    }
    m_signalIgnored = std::make_unique<FileSizeSignalIgnored>();
}

AtomicFileWrite::~AtomicFileWrite()
{
    if (!m_committed)
        m_save.cancelWriting();
}

void AtomicFileWrite::fail(FileProblem problem, const QString& systemText) const
{
    throw ZanvoError(ErrorNumberFor(problem),
                     (ProblemSentence(problem, m_file, systemText) + QLatin1Char(' ') + m_notWritten).toStdString());
}

void AtomicFileWrite::Write(const char* data, qint64 size)
{
    // A short write leaves errno untouched; writing the rest then fails with
    // the cause (ENOSPC, EFBIG ...), so the loop goes on until a call says why.
    while (size > 0) {
        errno = 0;
        const qint64 written = m_save.write(data, size);
        if (written <= 0)
            fail(ProblemAfter(errno, m_save, m_file), m_save.errorString());
        data += written;
        size -= written;
    }
}

void AtomicFileWrite::Commit()
{
    const QFileDevice::Permissions before = QFileInfo::exists(m_file) ? modeOf(m_file) : QFileDevice::Permissions();
    m_committed = true;
    errno = 0;
    if (!m_save.commit())
        fail(ProblemAfter(errno, m_save, m_file), m_save.errorString());
    // Replacing adds the owner's write bit to a read-only file that root saves
    // over; the file keeps the mode it had.
    if (before != QFileDevice::Permissions() && modeOf(m_file) != before)
        QFile::setPermissions(m_file, before);
}

void WriteBoardFileBytes(const QString& sFile, const BoardBytesSource& source)
{
    AtomicFileWrite file(sFile, QStringLiteral("The boards were not saved; any file of that name is unchanged."));
    std::vector<std::uint8_t> piece;
    while (source(piece))
        file.Write(reinterpret_cast<const char*>(piece.data()), static_cast<qint64>(piece.size()));
    file.Commit();
}
