// SPDX-License-Identifier: GPL-3.0-or-later
#include "BoardFileIO.h"

#include "BoardFile.h"
#include "BoardFileSave.h"
#include "FileProblem.h"
#include "ZanvoError.h"

#include <QFile>

#include <cerrno>
#include <new>

namespace {

// Files move through memory in pieces of this size, so reading or writing a large
// list never holds its bytes a second time.
constexpr std::size_t ChunkBytes = std::size_t(1) << 20;

[[noreturn]] void failOpen(int number, const QString& sentence)
{
    throw ZanvoError(number, (sentence + QStringLiteral(" Nothing was opened.")).toStdString());
}

// "The file is damaged: ..." from the decoder, with the file's name put in.
QString namedDecodeProblem(const QString& sFile, const std::string& description)
{
    const QString text = QString::fromStdString(description);
    const QString general = QStringLiteral("The file is ");
    const QString stop = text.endsWith(QLatin1Char('.')) ? QString() : QStringLiteral(".");
    if (text.startsWith(general))
        return QStringLiteral("The file %1 is %2%3").arg(QuotedFileName(sFile), text.mid(general.size()), stop);
    return QStringLiteral("The file %1 could not be read: %2%3").arg(QuotedFileName(sFile), text, stop);
}

} // namespace

void FailBoardFileOpen(FileProblem problem, const QString& sFile, const QString& systemText)
{
    failOpen(ErrorNumberFor(problem), ProblemSentence(problem, sFile, systemText));
}

void FailBoardFileDamaged(const QString& sFile, const QString& what)
{
    throw ZanvoError(ErrorNumber::BadFileFormat,
                     QStringLiteral("The file %1 is damaged: %2.").arg(QuotedFileName(sFile), what).toStdString());
}

BoardsRef ReadBoardFile(const QString& sFile)
{
    QFile file;
    QString systemText;
    if (const std::optional<FileProblem> problem = OpenOrdinaryFile(file, sFile, systemText))
        FailBoardFileOpen(*problem, sFile, systemText);
    const qint64 size = file.size();
    bool readFailed = false;
    BoardFileReader reader(static_cast<std::uint64_t>(size), [&](std::span<std::uint8_t> into) -> std::size_t {
        errno = 0;
        const qint64 got = file.read(reinterpret_cast<char*>(into.data()), static_cast<qint64>(into.size()));
        if (got < 0) {
            const FileProblem problem = ProblemAfter(errno, file, sFile);
            readFailed = true;
            FailBoardFileOpen(problem, sFile, file.errorString());
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
                 QStringLiteral("There is not enough memory for the boards of %1.").arg(QuotedFileName(sFile)));
    }
}

void WriteBoardFile(const QString& sFile, const clsBoardCollection& boards)
{
    // The list is encoded a piece at a time, so its bytes are never held whole.
    bool counted = false;
    auto next = boards.begin();
    try {
        WriteBoardFileBytes(sFile, [&](std::vector<std::uint8_t>& out) {
            if (counted && next == boards.end())
                return false;
            out.clear();
            out.reserve(ChunkBytes + 256);
            BoardFileWriter writer(out);
            if (!counted) {
                writer.WriteInt32(boards.Count());
                counted = true;
            }
            for (; next != boards.end() && out.size() < ChunkBytes; ++next)
                (*next)->FileSave(writer);
            return true;
        });
    } catch (const std::bad_alloc&) {
        throw ZanvoError(ErrorNumber::OutOfMemory,
                         QStringLiteral("There is not enough memory to save %1. Any file of that name is unchanged.")
                             .arg(QuotedFileName(sFile))
                             .toStdString());
    }
}
