// SPDX-License-Identifier: GPL-3.0-or-later
#include "clsBoard.h"

#include "ZanvoError.h"

#include <algorithm>
#include <limits>
#include <new>

clsBoard::clsBoard() noexcept
{
    ClearAll();
}

clsBoard::clsBoard(const clsBoard& other)
{
    *this = other;
}

clsBoard& clsBoard::operator=(const clsBoard& other)
{
    if (this == &other)
        return *this;
    if (other.m_NumberCount < 0) {
        ClearAll();
        return *this;
    }
    resize(other.m_NumberCount, 0);
    std::copy_n(other.m_entries.get(), other.size(), m_entries.get());
    return *this;
}

void clsBoard::resize(std::int32_t last, std::size_t keep)
{
    const auto count = static_cast<std::size_t>(last) + 1;
    std::unique_ptr<BoardEntry[]> storage;
    try {
        storage.reset(new BoardEntry[count]); // value-initialised: every field zero
    } catch (const std::bad_alloc&) {
        throw ZanvoError::OutOfMemory(); // nothing changed yet
    }
    std::copy_n(m_entries.get(), std::min({keep, count, size()}), storage.get());
    m_entries = std::move(storage);
    m_NumberCount = last;
}

void clsBoard::NumberCount(std::int32_t vNewValue)
{
    if (vNewValue < -1)
        throw ZanvoError::SubscriptOutOfRange();
    if (vNewValue == -1) {
        ClearAll();
        return;
    }
    resize(vNewValue, size());
}

void clsBoard::AllocateNumbers(std::int32_t Count)
{
    if (Count < 0)
        throw ZanvoError::SubscriptOutOfRange();
    resize(Count, 0);
    std::fill_n(m_entries.get(), size(), BoardEntry{0, CellWhite});
}

void clsBoard::AppendNumber(std::int32_t Value, std::int32_t zanvo)
{
    if (m_NumberCount == std::numeric_limits<std::int32_t>::max())
        throw ZanvoError::Overflow();
    // NumberCount only moves once the larger storage exists, so a failed
    // allocation leaves the board as it was.
    resize(m_NumberCount + 1, size());
    m_entries[size() - 1] = BoardEntry{Value, zanvo};
}

void clsBoard::RemoveNumber(std::int32_t Index)
{
    // Removing an entry that is not there would silently drop the last one.
    if (!IsNumber(Index))
        throw ZanvoError::SubscriptOutOfRange();
    if (m_NumberCount == 0) {
        ClearAll();
        return;
    }
    // Build the shorter row first, so a failed allocation changes nothing.
    const auto at = static_cast<std::size_t>(Index);
    const std::size_t count = size() - 1;
    std::unique_ptr<BoardEntry[]> storage;
    try {
        storage.reset(new BoardEntry[count]);
    } catch (const std::bad_alloc&) {
        throw ZanvoError::OutOfMemory();
    }
    std::copy_n(m_entries.get(), at, storage.get());
    std::copy(m_entries.get() + at + 1, m_entries.get() + size(), storage.get() + at);
    m_entries = std::move(storage);
    --m_NumberCount;
}

std::int32_t clsBoard::FindNumber(std::int32_t Value) const
{
    std::int32_t endLoc = -1;
    return FindNumber(Value, 0, endLoc);
}

std::int32_t clsBoard::FindNumber(std::int32_t Value, std::int32_t StartLoc) const
{
    std::int32_t endLoc = -1;
    return FindNumber(Value, StartLoc, endLoc);
}

std::int32_t clsBoard::FindNumber(std::int32_t Value, std::int32_t StartLoc, std::int32_t& EndLoc) const
{
    if (EndLoc > m_NumberCount || EndLoc < 0)
        EndLoc = m_NumberCount;
    if (StartLoc > EndLoc)
        return -1;
    if (StartLoc < 0)
        throw ZanvoError::SubscriptOutOfRange();
    for (std::int32_t i = StartLoc; i <= EndLoc; ++i) {
        if (m_entries[static_cast<std::size_t>(i)].Number == Value)
            return i;
    }
    return -1;
}

void clsBoard::ClearAll() noexcept
{
    m_entries.reset();
    m_NumberCount = -1;
}

bool operator==(const clsBoard& a, const clsBoard& b) noexcept
{
    return a.m_NumberCount == b.m_NumberCount
        && std::equal(a.m_entries.get(), a.m_entries.get() + a.size(), b.m_entries.get());
}
