// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <memory>
#include <span>

// One cell of a board: the number and the cell's background colour (0x00BBGGRR).
struct BoardEntry {
    std::int32_t Number = 0;
    std::int32_t Colour = 0;

    friend bool operator==(const BoardEntry&, const BoardEntry&) = default;
};

// Cell colours, stored with the numbers in the board file.
inline constexpr std::int32_t CellWhite = 16777215; // &HFFFFFF
inline constexpr std::int32_t CellGreen = 65280;    // &H00FF00

class BoardFileReader;
class BoardFileWriter;

// One board: an ordered row of entries with indexes 0..NumberCount. NumberCount is
// -1 exactly when the board is empty, and then no storage is held. The storage is
// always exactly NumberCount + 1 entries long. Out-of-range indexes read 0 and
// ignore writes. Failures throw ZanvoError (6 overflow, 7 out of memory,
// 9 subscript out of range).
class clsBoard {
public:
    clsBoard() noexcept;
    clsBoard(const clsBoard& other);
    clsBoard& operator=(const clsBoard& other);
    clsBoard(clsBoard&&) noexcept = default;
    clsBoard& operator=(clsBoard&&) noexcept = default;
    ~clsBoard() = default;

    std::int32_t NumberCount() const noexcept { return m_NumberCount; }
    // Resizes to entries 0..vNewValue keeping the ones that stay; new entries are
    // zero. -1 empties the board. Kept consistent so the storage never disagrees.
    void NumberCount(std::int32_t vNewValue);

    std::int32_t Numbers(std::int32_t Index) const noexcept
    {
        return IsNumber(Index) ? m_entries[static_cast<std::size_t>(Index)].Number : 0;
    }
    void Numbers(std::int32_t Index, std::int32_t vNewValue) noexcept
    {
        if (IsNumber(Index))
            m_entries[static_cast<std::size_t>(Index)].Number = vNewValue;
    }
    std::int32_t zanvo(std::int32_t Index) const noexcept
    {
        return IsNumber(Index) ? m_entries[static_cast<std::size_t>(Index)].Colour : 0;
    }
    void zanvo(std::int32_t Index, std::int32_t vNewValue) noexcept
    {
        if (IsNumber(Index))
            m_entries[static_cast<std::size_t>(Index)].Colour = vNewValue;
    }
    bool IsNumber(std::int32_t Index) const noexcept { return Index >= 0 && Index <= m_NumberCount; }

    // Count is the last index: entries 0..Count, numbers 0, colours CellWhite.
    void AllocateNumbers(std::int32_t Count);
    void AppendNumber(std::int32_t Value, std::int32_t zanvo);
    // Removes the entry at Index; later entries move down one place.
    void RemoveNumber(std::int32_t Index);

    // Lowest index i, StartLoc <= i <= EndLoc, holding Value, else -1. An EndLoc
    // below 0 or beyond NumberCount is brought to NumberCount and written back.
    std::int32_t FindNumber(std::int32_t Value) const;
    std::int32_t FindNumber(std::int32_t Value, std::int32_t StartLoc) const;
    std::int32_t FindNumber(std::int32_t Value, std::int32_t StartLoc, std::int32_t& EndLoc) const;

    // This board's block of a board file, at the file's current position.
    void FileLoad(BoardFileReader& FileHandle);
    void FileSave(BoardFileWriter& FileHandle) const;

    void ClearAll() noexcept;

    // The entries as one contiguous row, for the codec and the match check.
    std::span<const BoardEntry> Entries() const noexcept { return {m_entries.get(), size()}; }
    std::span<BoardEntry> Entries() noexcept { return {m_entries.get(), size()}; }

    friend bool operator==(const clsBoard& a, const clsBoard& b) noexcept;

private:
    std::size_t size() const noexcept { return static_cast<std::size_t>(m_NumberCount + 1); }
    // Storage for entries 0..last, keeping the first `keep` entries of the old one.
    void resize(std::int32_t last, std::size_t keep);

    std::unique_ptr<BoardEntry[]> m_entries;
    std::int32_t m_NumberCount = -1;
};
