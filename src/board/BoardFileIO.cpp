#include "BoardFileIO.h"

#include "BoardFile.h"
#include "ZanvoError.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace {

[[noreturn]] void fail(int number, const QString& sFile, const QString& what)
{
    throw ZanvoError(number, QStringLiteral("%1: %2").arg(sFile, what).toStdString());
}

} // namespace

BoardsRef ReadBoardFile(const QString& sFile)
{
    const QFileInfo info(sFile);
    if (!info.exists())
        fail(ErrorNumber::FileNotFound, sFile, QStringLiteral("File not found"));
    if (info.isDir())
        fail(ErrorNumber::PathFileAccess, sFile, QStringLiteral("This is a folder, not a board file"));
    QFile file(sFile);
    if (!file.open(QIODevice::ReadOnly))
        fail(ErrorNumber::PermissionDenied, sFile, file.errorString());
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        fail(ErrorNumber::DeviceIO, sFile, file.errorString());
    try {
        return DecodeBoards({reinterpret_cast<const std::uint8_t*>(bytes.constData()), static_cast<std::size_t>(bytes.size())});
    } catch (const ZanvoError& e) {
        fail(e.Number(), sFile, QString::fromStdString(e.Description()));
    }
}

void WriteBoardFile(const QString& sFile, const clsBoardCollection& boards)
{
    const std::vector<std::uint8_t> bytes = EncodeBoards(boards);
    QSaveFile file(sFile);
    if (!file.open(QIODevice::WriteOnly))
        fail(ErrorNumber::PathFileAccess, sFile, file.errorString());
    const auto size = static_cast<qint64>(bytes.size());
    if (file.write(reinterpret_cast<const char*>(bytes.data()), size) != size) {
        const QString why = file.errorString();
        file.cancelWriting();
        fail(ErrorNumber::DiskFull, sFile, why);
    }
    if (!file.commit())
        fail(ErrorNumber::DeviceIO, sFile, file.errorString());
}
