#pragma once

#include "clsBoardCollection.h"

#include <cstdint>
#include <span>
#include <string>
#include <vector>

// The board file: a little-endian 32-bit board count, then per board its
// NumberCount and its (Number, Colour) pairs. No signature, no padding; bytes after
// the last block are ignored.

// Sequential 32-bit reads over a file's bytes held in memory. Reading past the end
// throws ZanvoError 62 instead of inventing values.
class BoardFileReader {
public:
    explicit BoardFileReader(std::span<const std::uint8_t> bytes) noexcept : m_bytes(bytes) {}

    std::int32_t ReadInt32();
    std::size_t Remaining() const noexcept { return m_bytes.size() - m_pos; }
    std::size_t Position() const noexcept { return m_pos; }

private:
    std::span<const std::uint8_t> m_bytes;
    std::size_t m_pos = 0;
};

// Sequential 32-bit writes appended to a byte buffer.
class BoardFileWriter {
public:
    explicit BoardFileWriter(std::vector<std::uint8_t>& out) noexcept : m_out(out) {}

    void WriteInt32(std::int32_t value);

private:
    std::vector<std::uint8_t>& m_out;
};

// The bytes of a whole board file for this list.
std::vector<std::uint8_t> EncodeBoards(const clsBoardCollection& boards);

// Reads and checks a whole board file into a new list. A file that ends before its
// counts say, a NumberCount below -1 or a count larger than the bytes left throws
// ZanvoError 321 (bad file format) describing the damage; nothing is ever sized
// from a count the bytes cannot hold. An empty file is an empty list.
BoardsRef DecodeBoards(std::span<const std::uint8_t> bytes);
