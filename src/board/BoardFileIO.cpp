#include "BoardFileIO.h"

#include "BoardFile.h"
#include "ZanvoError.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <csignal>
#include <new>

namespace {

// Files move through memory in pieces of this size, so reading or writing a large
// list never holds its bytes a second time.
constexpr std::size_t ChunkBytes = std::size_t(1) << 20;

// "Permission denied" reads better inside a sentence as "permission denied".
QString inSentence(QString text)
{
    if (text.size() > 1 && text.at(0).isUpper() && !text.at(1).isUpper())
        text[0] = text.at(0).toLower();
    return text;
}

[[noreturn]] void failOpen(int number, const QString& sFile, const QString& what)
{
    throw ZanvoError(number, QStringLiteral("Cannot open \"%1\": %2.")
                                 .arg(QDir::toNativeSeparators(sFile), inSentence(what))
                                 .toStdString());
}

[[noreturn]] void failSave(int number, const QString& sFile, const QString& what)
{
    throw ZanvoError(number, QStringLiteral("Cannot save \"%1\": %2. Any file of that name is unchanged.")
                                 .arg(QDir::toNativeSeparators(sFile), inSentence(what))
                                 .toStdString());
}

// The file's mode bits, without the flags Qt derives from the current user.
QFileDevice::Permissions modeOf(const QString& sFile)
{
    return QFile::permissions(sFile) & ~(QFileDevice::ReadUser | QFileDevice::WriteUser | QFileDevice::ExeUser);
}

int writeErrorNumber(const QFileDevice& file)
{
    return file.error() == QFileDevice::ResourceError ? ErrorNumber::DiskFull : ErrorNumber::DeviceIO;
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
    if (sFile.isEmpty())
        failOpen(ErrorNumber::FileNotFound, sFile, QStringLiteral("no file name was given"));
    const QFileInfo info(sFile);
    if (!info.exists())
        failOpen(ErrorNumber::FileNotFound, sFile, QStringLiteral("the file was not found"));
    if (info.isDir())
        failOpen(ErrorNumber::PathFileAccess, sFile, QStringLiteral("this is a folder, not a board file"));
    // Devices and pipes may never end; a board file is an ordinary file.
    if (!info.isFile())
        failOpen(ErrorNumber::PathFileAccess, sFile, QStringLiteral("this is not an ordinary file"));
    QFile file(sFile);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Unbuffered)) {
        failOpen(info.isReadable() ? ErrorNumber::PathFileAccess : ErrorNumber::PermissionDenied, sFile,
                 file.errorString());
    }
    const qint64 size = file.size();
    BoardFileReader reader(static_cast<std::uint64_t>(size), [&file](std::span<std::uint8_t> into) -> std::size_t {
        const qint64 got = file.read(reinterpret_cast<char*>(into.data()), static_cast<qint64>(into.size()));
        if (got < 0)
            throw ZanvoError(ErrorNumber::DeviceIO, file.errorString().toStdString());
        return static_cast<std::size_t>(got);
    }, ChunkBytes);
    try {
        return DecodeBoards(reader);
    } catch (const ZanvoError& e) {
        failOpen(e.Number(), sFile, QString::fromStdString(e.Description()));
    } catch (const std::bad_alloc&) {
        failOpen(ErrorNumber::OutOfMemory, sFile, QStringLiteral("there is not enough memory for its boards"));
    }
}

void WriteBoardFile(const QString& sFile, const clsBoardCollection& boards)
{
    if (sFile.isEmpty())
        failSave(ErrorNumber::PathFileAccess, sFile, QStringLiteral("no file name was given"));
    const QFileInfo info(sFile);
    if (info.isDir())
        failSave(ErrorNumber::PathFileAccess, sFile, QStringLiteral("this is a folder"));
    // The new bytes go to a file beside the target, which replaces it only once
    // every byte is written and on disk. QSaveFile also refuses an existing file
    // the user may not write, although the folder would allow replacing it.
    QSaveFile file(sFile);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        const bool mayWrite = info.exists() ? info.isWritable() : QFileInfo(info.absolutePath()).isWritable();
        failSave(mayWrite ? ErrorNumber::PathFileAccess : ErrorNumber::PermissionDenied, sFile, file.errorString());
    }
    const FileSizeSignalIgnored signalIgnored;
    std::vector<std::uint8_t> buffer;
    auto flush = [&] {
        const auto size = static_cast<qint64>(buffer.size());
        if (size > 0 && file.write(reinterpret_cast<const char*>(buffer.data()), size) != size) {
            const int number = writeErrorNumber(file);
            const QString why = file.errorString();
            file.cancelWriting();
            failSave(number, sFile, why);
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
        failSave(ErrorNumber::OutOfMemory, sFile, QStringLiteral("there is not enough memory"));
    }
    const QFileDevice::Permissions before = info.exists() ? modeOf(sFile) : QFileDevice::Permissions();
    if (!file.commit())
        failSave(writeErrorNumber(file), sFile, file.errorString());
    // Replacing adds the owner's write bit to a read-only file that root saves
    // over; the file keeps the mode it had.
    if (before != QFileDevice::Permissions() && modeOf(sFile) != before)
        QFile::setPermissions(sFile, before);
}
