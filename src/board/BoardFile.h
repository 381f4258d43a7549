// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "clsBoardCollection.h"

#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <vector>

// The board file: a little-endian 32-bit board count, then per board its
// NumberCount and its (Number, Colour) pairs. No signature, no padding; bytes after
// the last block are ignored.

// Sequential 32-bit reads over a file's bytes, either held in memory or pulled from
// a source in pieces so a large file never has to be in memory twice. Reading past
// the end throws ZanvoError 62 instead of inventing values.
class BoardFileReader {
public:
    // Fills the start of the span it is given and returns how many bytes it put
    // there (fewer than asked is fine); 0 means the file ended early.
    using Source = std::function<std::size_t(std::span<std::uint8_t>)>;

    explicit BoardFileReader(std::span<const std::uint8_t> bytes) noexcept;
    // A file of `total` bytes delivered by `source`, read `chunk` bytes at a time.
    BoardFileReader(std::uint64_t total, Source source, std::size_t chunk = std::size_t(1) << 20);

    std::int32_t ReadInt32();
    // Reads entries.size() (Number, Colour) pairs in one go.
    void ReadEntries(std::span<BoardEntry> entries);
    // Bytes of the file not read yet, whether or not they are in memory.
    std::size_t Remaining() const noexcept { return static_cast<std::size_t>(m_total - Position()); }
    std::size_t Position() const noexcept { return static_cast<std::size_t>(m_base + m_pos); }

private:
    // Makes at least `need` bytes available from the current position.
    void refill(std::size_t need);

    std::span<const std::uint8_t> m_window; // the bytes in memory now
    std::size_t m_pos = 0;                  // position inside m_window
    std::uint64_t m_base = 0;               // file offset of m_window's first byte
    std::uint64_t m_total = 0;
    Source m_source;
    std::size_t m_chunk = 0;
    std::vector<std::uint8_t> m_buffer;
};

// Sequential 32-bit writes appended to a byte buffer.
class BoardFileWriter {
public:
    explicit BoardFileWriter(std::vector<std::uint8_t>& out) noexcept : m_out(out) {}

    void WriteInt32(std::int32_t value);
    void WriteEntries(std::span<const BoardEntry> entries);

private:
    std::vector<std::uint8_t>& m_out;
};

// The bytes of a whole board file for this list.
std::vector<std::uint8_t> EncodeBoards(const clsBoardCollection& boards);

// Reads and checks a whole board file into a new list. A file that ends before its
// counts say, a NumberCount below -1 or a count larger than the bytes left throws
// ZanvoError 321 (bad file format) describing the damage; nothing is ever sized
// from a count the bytes cannot hold. An empty file is an empty list, and so is a
// board count of 0 or below.
BoardsRef DecodeBoards(std::span<const std::uint8_t> bytes);
// The same over a reader at the start of the file.
BoardsRef DecodeBoards(BoardFileReader& FileHandle);
