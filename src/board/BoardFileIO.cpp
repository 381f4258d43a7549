#include "BoardFileIO.h"

#include "BoardFile.h"
#include "FileProblem.h"
#include "ZanvoError.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <new>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Files move through memory in pieces of this size, so reading or writing a large
// list never holds its bytes a second time.
constexpr std::size_t ChunkBytes = std::size_t(1) << 20;

QString quoted(const QString& sFile)
{
    return QLatin1Char('"') + QDir::toNativeSeparators(sFile) + QLatin1Char('"');
}

[[noreturn]] void failOpen(int number, const QString& sentence)
{
    throw ZanvoError(number, (sentence + QStringLiteral(" Nothing was opened.")).toStdString());
}

[[noreturn]] void failOpen(FileProblem problem, const QString& sFile, const QString& systemText = {})
{
    failOpen(ErrorNumberFor(problem), ProblemSentence(problem, sFile, systemText));
}

[[noreturn]] void failSave(FileProblem problem, const QString& sFile, const QString& systemText = {})
{
    throw ZanvoError(ErrorNumberFor(problem),
                     (ProblemSentence(problem, sFile, systemText)
                      + QStringLiteral(" The boards were not saved; any file of that name is unchanged."))
                         .toStdString());
}

// The problem behind a failed call on a file: errno where the system left one,
// else what Qt reports (a full disk is the one cause Qt tells apart).
FileProblem problemAfter(int error, const QFileDevice& file, const QString& sFile)
{
    if (error != 0)
        return ProblemFromErrno(error, sFile);
    return file.error() == QFileDevice::ResourceError ? FileProblem::DiskFull : FileProblem::Other;
}

// "The file is damaged: ..." from the decoder, with the file's name put in.
QString namedDecodeProblem(const QString& sFile, const std::string& description)
{
    const QString text = QString::fromStdString(description);
    const QString general = QStringLiteral("The file is ");
    const QString stop = text.endsWith(QLatin1Char('.')) ? QString() : QStringLiteral(".");
    if (text.startsWith(general))
        return QStringLiteral("The file %1 is %2%3").arg(quoted(sFile), text.mid(general.size()), stop);
    return QStringLiteral("The file %1 could not be read: %2%3").arg(quoted(sFile), text, stop);
}

// Opens for reading without ever waiting: a pipe or device swapped in after the
// status check is refused here instead of blocking the open or the reads.
void openOrdinaryFile(QFile& file, const QString& sFile)
{
    errno = 0;
    const int fd = ::open(QFile::encodeName(sFile).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) {
        const int error = errno;
        failOpen(ProblemFromErrno(error, sFile), sFile, QString::fromLocal8Bit(std::strerror(error)));
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        failOpen(S_ISDIR(st.st_mode) ? FileProblem::IsFolder : FileProblem::NotOrdinaryFile, sFile);
    }
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    if (!file.open(fd, QIODevice::ReadOnly | QIODevice::Unbuffered, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        failOpen(FileProblem::Other, sFile, file.errorString());
    }
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

BoardsRef ReadBoardFile(const QString& sFile)
{
    if (const std::optional<FileProblem> problem = ProblemBeforeReading(sFile))
        failOpen(*problem, sFile);
    QFile file;
    openOrdinaryFile(file, sFile);
    const qint64 size = file.size();
    bool readFailed = false;
    BoardFileReader reader(static_cast<std::uint64_t>(size), [&](std::span<std::uint8_t> into) -> std::size_t {
        errno = 0;
        const qint64 got = file.read(reinterpret_cast<char*>(into.data()), static_cast<qint64>(into.size()));
        if (got < 0) {
            const FileProblem problem = problemAfter(errno, file, sFile);
            readFailed = true;
            failOpen(problem, sFile, file.errorString());
        }
        return static_cast<std::size_t>(got);
    }, ChunkBytes);
    try {
        return DecodeBoards(reader);
    } catch (const ZanvoError& e) {
        if (readFailed)
            throw;
        failOpen(e.Number(), namedDecodeProblem(sFile, e.Description()));
    } catch (const std::bad_alloc&) {
        failOpen(ErrorNumber::OutOfMemory,
                 QStringLiteral("There is not enough memory for the boards of %1.").arg(quoted(sFile)));
    }
}

void WriteBoardFile(const QString& sFile, const clsBoardCollection& boards)
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
        failSave(!mayWrite && error != EROFS ? FileProblem::NoPermission : problemAfter(error, file, sFile), sFile,
                 file.errorString());
    }
    const FileSizeSignalIgnored signalIgnored;
    std::vector<std::uint8_t> buffer;
    auto fail = [&](int error) {
        const FileProblem problem = problemAfter(error, file, sFile);
        const QString why = file.errorString();
        file.cancelWriting();
        failSave(problem, sFile, why);
    };
    // A short write leaves errno untouched; writing the rest then fails with the
    // cause (ENOSPC, EFBIG ...), so the loop goes on until a call says why.
    auto flush = [&] {
        const char* data = reinterpret_cast<const char*>(buffer.data());
        auto left = static_cast<qint64>(buffer.size());
        while (left > 0) {
            errno = 0;
            const qint64 written = file.write(data, left);
            if (written <= 0)
                fail(errno);
            data += written;
            left -= written;
        }
        buffer.clear();
    };
    try {
        buffer.reserve(ChunkBytes + 256);
        BoardFileWriter writer(buffer);
        writer.WriteInt32(boards.Count());
        for (const auto& board : boards) {
            board->FileSave(writer);
            if (buffer.size() >= ChunkBytes)
                flush();
        }
        flush();
    } catch (const std::bad_alloc&) {
        file.cancelWriting();
        throw ZanvoError(ErrorNumber::OutOfMemory,
                         QStringLiteral("There is not enough memory to save %1. Any file of that name is unchanged.")
                             .arg(quoted(sFile))
                             .toStdString());
    }
    const QFileDevice::Permissions before = info.exists() ? modeOf(sFile) : QFileDevice::Permissions();
    errno = 0;
    if (!file.commit())
        failSave(problemAfter(errno, file, sFile), sFile, file.errorString());
    // Replacing adds the owner's write bit to a read-only file that root saves
    // over; the file keeps the mode it had.
    if (before != QFileDevice::Permissions() && modeOf(sFile) != before)
        QFile::setPermissions(sFile, before);
}
