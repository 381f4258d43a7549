#include "BoardFileSave.h"

#include "FileProblem.h"
#include "ZanvoError.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>

#include <cerrno>

namespace {

[[noreturn]] void failSave(FileProblem problem, const QString& sFile, const QString& systemText = {})
{
    throw ZanvoError(ErrorNumberFor(problem),
                     (ProblemSentence(problem, sFile, systemText)
                      + QStringLiteral(" The boards were not saved; any file of that name is unchanged."))
                         .toStdString());
}

FileProblem problemAfter(int error, const QFileDevice& file, const QString& sFile)
{
    if (error != 0)
        return ProblemFromErrno(error, sFile);
    return file.error() == QFileDevice::ResourceError ? FileProblem::DiskFull : FileProblem::Other;
}

QFileDevice::Permissions modeOf(const QString& sFile)
{
    return QFile::permissions(sFile) & ~(QFileDevice::ReadUser | QFileDevice::WriteUser | QFileDevice::ExeUser);
}

} // namespace

void WriteBoardFileBytes(const QString& sFile, const BoardBytesSource& source)
{
    if (const std::optional<FileProblem> problem = ProblemBeforeWriting(sFile))
        failSave(*problem, sFile);
    const QFileInfo info(sFile);
    QSaveFile file(sFile);
    errno = 0;
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        const int error = errno;
        const bool mayWrite = info.exists() ? info.isWritable() : QFileInfo(info.absolutePath()).isWritable();
        failSave(!mayWrite && error != EROFS ? FileProblem::NoPermission : problemAfter(error, file, sFile), sFile,
                 file.errorString());
    }
    std::vector<std::uint8_t> piece;
    try {
        while (source(piece)) {
            // A short write leaves errno alone; the next call says why (ENOSPC, EFBIG).
            const char* data = reinterpret_cast<const char*>(piece.data());
            auto left = static_cast<qint64>(piece.size());
            while (left > 0) {
                errno = 0;
                const qint64 written = file.write(data, left);
                if (written <= 0) {
                    const FileProblem problem = problemAfter(errno, file, sFile);
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
        failSave(problemAfter(errno, file, sFile), sFile, file.errorString());
    if (before != QFileDevice::Permissions() && modeOf(sFile) != before)
        QFile::setPermissions(sFile, before);
}
