#include "BoardFile.h"

#include "ZanvoError.h"

#include <bit>
#include <cstring>
#include <new>

static_assert(std::endian::native == std::endian::little || std::endian::native == std::endian::big);

namespace {

std::uint32_t toLittle(std::uint32_t v) noexcept
{
    if constexpr (std::endian::native == std::endian::little)
        return v;
    else
        return ((v & 0xffu) << 24) | ((v & 0xff00u) << 8) | ((v >> 8) & 0xff00u) | (v >> 24);
}

[[noreturn]] void damaged(const std::string& what)
{
    throw ZanvoError(ErrorNumber::BadFileFormat, "The file is damaged: " + what);
}

} // namespace

std::int32_t BoardFileReader::ReadInt32()
{
    if (Remaining() < 4)
        throw ZanvoError(ErrorNumber::InputPastEndOfFile, "Input past end of file");
    std::uint32_t raw = 0;
    std::memcpy(&raw, m_bytes.data() + m_pos, 4);
    m_pos += 4;
    return static_cast<std::int32_t>(toLittle(raw));
}

void BoardFileWriter::WriteInt32(std::int32_t value)
{
    const std::uint32_t raw = toLittle(static_cast<std::uint32_t>(value));
    const std::size_t at = m_out.size();
    m_out.resize(at + 4);
    std::memcpy(m_out.data() + at, &raw, 4);
}

void clsBoard::FileSave(BoardFileWriter& FileHandle) const
{
    FileHandle.WriteInt32(m_NumberCount);
    for (const BoardEntry& e : Entries()) {
        FileHandle.WriteInt32(e.Number);
        FileHandle.WriteInt32(e.Colour);
    }
}

void clsBoard::FileLoad(BoardFileReader& FileHandle)
{
    const std::int32_t last = FileHandle.ReadInt32();
    if (last < -1)
        damaged("a board has a negative number count (" + std::to_string(last) + ")");
    // Each entry takes 8 bytes; a count the rest of the file cannot hold is damage,
    // checked before anything is allocated.
    const std::size_t count = static_cast<std::size_t>(static_cast<std::int64_t>(last) + 1);
    if (count > FileHandle.Remaining() / 8)
        damaged("a board claims " + std::to_string(count) + " numbers, more than the file holds");
    clsBoard fresh;
    if (last >= 0) {
        fresh.AllocateNumbers(last);
        for (BoardEntry& e : fresh.Entries()) {
            e.Number = FileHandle.ReadInt32();
            e.Colour = FileHandle.ReadInt32();
        }
    }
    *this = std::move(fresh);
}

std::vector<std::uint8_t> EncodeBoards(const clsBoardCollection& boards)
{
    std::size_t total = 4;
    for (const auto& board : boards)
        total += 4 + 8 * board->Entries().size();
    std::vector<std::uint8_t> out;
    try {
        out.reserve(total);
    } catch (const std::bad_alloc&) {
        throw ZanvoError::OutOfMemory();
    }
    BoardFileWriter writer(out);
    writer.WriteInt32(boards.Count());
    for (const auto& board : boards)
        board->FileSave(writer);
    return out;
}

BoardsRef DecodeBoards(std::span<const std::uint8_t> bytes)
{
    auto boards = std::make_shared<clsBoardCollection>();
    if (bytes.empty())
        return boards; // an empty file holds an empty list
    BoardFileReader reader(bytes);
    if (reader.Remaining() < 4)
        damaged("it is too short to hold a board count");
    const std::int32_t count = reader.ReadInt32();
    if (count <= 0)
        return boards;
    // Every block takes at least 4 bytes.
    if (static_cast<std::size_t>(count) > reader.Remaining() / 4)
        damaged("it claims " + std::to_string(count) + " boards, more than the file holds");
    boards->Reserve(static_cast<std::size_t>(count));
    for (std::int32_t i = 1; i <= count; ++i) {
        auto board = std::make_shared<clsBoard>();
        try {
            board->FileLoad(reader);
        } catch (const ZanvoError& e) {
            if (e.Number() == ErrorNumber::InputPastEndOfFile)
                damaged("it ends inside board " + std::to_string(i) + " of " + std::to_string(count));
            throw;
        }
        boards->Add(std::move(board));
    }
    return boards;
}
