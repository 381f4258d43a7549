// SPDX-License-Identifier: GPL-3.0-or-later
#include "BoardFile.h"

#include "ZanvoError.h"

#include <algorithm>
#include <bit>
#include <cstddef>
#include <cstring>
#include <new>

static_assert(std::endian::native == std::endian::little || std::endian::native == std::endian::big);
// Entries are copied to and from the file as whole rows, two 32-bit values each.
static_assert(sizeof(BoardEntry) == 8 && offsetof(BoardEntry, Colour) == 4);

namespace {

constexpr bool NativeIsLittle = std::endian::native == std::endian::little;

std::uint32_t toLittle(std::uint32_t v) noexcept
{
    if constexpr (NativeIsLittle)
        return v;
    else
        return ((v & 0xffu) << 24) | ((v & 0xff00u) << 8) | ((v >> 8) & 0xff00u) | (v >> 24);
}

[[noreturn]] void pastEnd()
{
    throw ZanvoError(ErrorNumber::InputPastEndOfFile, "Input past end of file");
}

[[noreturn]] void damaged(const std::string& what)
{
    throw ZanvoError(ErrorNumber::BadFileFormat, "The file is damaged: " + what);
}

// Reads one board block into `board`, which changes only once the whole block is
// read. `position` and `count` name the board in a damage message (0: unknown).
void readBlock(BoardFileReader& reader, clsBoard& board, std::int64_t position, std::int64_t count)
{
    auto which = [&] {
        if (position <= 0)
            return std::string("a board");
        return "board " + std::to_string(position) + " of " + std::to_string(count);
    };
    try {
        const std::int32_t last = reader.ReadInt32();
        if (last < -1)
            damaged(which() + " has a negative number count (" + std::to_string(last) + ")");
        // Each entry takes 8 bytes; a count the rest of the file cannot hold is
        // damage, found before anything is allocated.
        const auto entries = static_cast<std::size_t>(static_cast<std::int64_t>(last) + 1);
        if (entries > reader.Remaining() / 8)
            damaged(which() + " claims " + std::to_string(entries) + " numbers, more than the "
                    + std::to_string(reader.Remaining()) + " bytes left can hold");
        clsBoard fresh;
        if (last >= 0) {
            fresh.NumberCount(last);
            reader.ReadEntries(fresh.Entries());
        }
        board = std::move(fresh);
    } catch (const ZanvoError& e) {
        if (e.Number() != ErrorNumber::InputPastEndOfFile)
            throw;
        damaged("it ends inside " + which());
    }
}

} // namespace

BoardFileReader::BoardFileReader(std::span<const std::uint8_t> bytes) noexcept
    : m_window(bytes), m_total(bytes.size())
{
}

BoardFileReader::BoardFileReader(std::uint64_t total, Source source, std::size_t chunk)
    : m_total(total), m_source(std::move(source)), m_chunk(std::max<std::size_t>(chunk, 64))
{
}

void BoardFileReader::refill(std::size_t need)
{
    if (!m_source || Remaining() < need)
        pastEnd();
    const std::size_t kept = m_window.size() - m_pos;
    if (m_buffer.size() < std::max(m_chunk, need)) {
        std::vector<std::uint8_t> bigger(std::max(m_chunk, need));
        std::copy_n(m_window.data() + m_pos, kept, bigger.data());
        m_buffer = std::move(bigger);
    } else if (kept > 0) {
        std::memmove(m_buffer.data(), m_window.data() + m_pos, kept);
    }
    m_base += m_pos;
    m_pos = 0;
    // The window always describes valid bytes, even if the source throws.
    m_window = std::span<const std::uint8_t>(m_buffer.data(), kept);
    while (m_window.size() < need) {
        const std::size_t have = m_window.size();
        const std::uint64_t left = m_total - m_base - have;
        const auto want = static_cast<std::size_t>(std::min<std::uint64_t>(m_buffer.size() - have, left));
        const std::size_t got = m_source(std::span<std::uint8_t>(m_buffer.data() + have, want));
        if (got == 0 || got > want)
            pastEnd();
        m_window = std::span<const std::uint8_t>(m_buffer.data(), have + got);
    }
}

std::int32_t BoardFileReader::ReadInt32()
{
    if (m_window.size() - m_pos < 4)
        refill(4);
    std::uint32_t raw = 0;
    std::memcpy(&raw, m_window.data() + m_pos, 4);
    m_pos += 4;
    return static_cast<std::int32_t>(toLittle(raw));
}

void BoardFileReader::ReadEntries(std::span<BoardEntry> entries)
{
    const std::size_t bytes = entries.size_bytes();
    if (bytes > Remaining())
        pastEnd();
    std::byte* out = std::as_writable_bytes(entries).data();
    std::size_t done = 0;
    while (done < bytes) {
        if (m_pos == m_window.size())
            refill(1);
        const std::size_t take = std::min(bytes - done, m_window.size() - m_pos);
        std::memcpy(out + done, m_window.data() + m_pos, take);
        m_pos += take;
        done += take;
    }
    if constexpr (!NativeIsLittle) {
        for (BoardEntry& e : entries) {
            e.Number = static_cast<std::int32_t>(toLittle(static_cast<std::uint32_t>(e.Number)));
            e.Colour = static_cast<std::int32_t>(toLittle(static_cast<std::uint32_t>(e.Colour)));
        }
    }
}

void BoardFileWriter::WriteInt32(std::int32_t value)
{
    const std::uint32_t raw = toLittle(static_cast<std::uint32_t>(value));
    const auto* p = reinterpret_cast<const std::uint8_t*>(&raw);
    m_out.insert(m_out.end(), p, p + 4);
}

void BoardFileWriter::WriteEntries(std::span<const BoardEntry> entries)
{
    if constexpr (NativeIsLittle) {
        const auto raw = std::as_bytes(entries);
        const auto* p = reinterpret_cast<const std::uint8_t*>(raw.data());
        m_out.insert(m_out.end(), p, p + raw.size());
    } else {
        for (const BoardEntry& e : entries) {
            WriteInt32(e.Number);
            WriteInt32(e.Colour);
        }
    }
}

void clsBoard::FileSave(BoardFileWriter& FileHandle) const
{
    FileHandle.WriteInt32(m_NumberCount);
    FileHandle.WriteEntries(Entries());
}

void clsBoard::FileLoad(BoardFileReader& FileHandle)
{
    readBlock(FileHandle, *this, 0, 0);
}

std::vector<std::uint8_t> EncodeBoards(const clsBoardCollection& boards)
{
    std::size_t total = 4;
    for (const auto& board : boards)
        total += 4 + 8 * board->Entries().size();
    std::vector<std::uint8_t> out;
    try {
        out.reserve(total);
        BoardFileWriter writer(out);
        writer.WriteInt32(boards.Count());
        for (const auto& board : boards)
            board->FileSave(writer);
    } catch (const std::bad_alloc&) {
        throw ZanvoError::OutOfMemory();
    }
    return out;
}

BoardsRef DecodeBoards(std::span<const std::uint8_t> bytes)
{
    BoardFileReader reader(bytes);
    return DecodeBoards(reader);
}

BoardsRef DecodeBoards(BoardFileReader& FileHandle)
{
    auto boards = std::make_shared<clsBoardCollection>();
    const std::size_t size = FileHandle.Remaining();
    if (size == 0)
        return boards; // an empty file holds an empty list
    if (size < 4)
        damaged("it is too short to hold a board count");
    const std::int32_t count = FileHandle.ReadInt32();
    if (count <= 0)
        return boards;
    // Every block takes at least 4 bytes.
    if (static_cast<std::size_t>(count) > FileHandle.Remaining() / 4)
        damaged("it claims " + std::to_string(count) + " boards, more than the "
                + std::to_string(FileHandle.Remaining()) + " bytes after the count can hold");
    // Room for the list itself, but never more than the file's own size in bytes.
    boards->Reserve(std::min(static_cast<std::size_t>(count),
                             FileHandle.Remaining() / sizeof(clsBoardCollection::Item_t)));
    for (std::int64_t i = 1; i <= count; ++i) {
        auto board = std::make_shared<clsBoard>();
        readBlock(FileHandle, *board, i, count);
        boards->Add(std::move(board));
    }
    return boards;
}
