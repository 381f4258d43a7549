// SPDX-License-Identifier: GPL-3.0-or-later
#include "HitCounter.h"

#include <algorithm>

namespace {

constexpr std::int64_t DenseRange = 4096;

// std::popcount becomes a library call on the baseline x86-64 target.
int bitCount(std::uint64_t v) noexcept
{
    v = v - ((v >> 1) & 0x5555555555555555ull);
    v = (v & 0x3333333333333333ull) + ((v >> 2) & 0x3333333333333333ull);
    v = (v + (v >> 4)) & 0x0f0f0f0f0f0f0f0full;
    return static_cast<int>((v * 0x0101010101010101ull) >> 56);
}

} // namespace

HitCounter::HitCounter(const clsBoard& drawn)
{
    for (const BoardEntry& e : drawn.Entries())
        m_sorted.push_back(e.Number);
    std::sort(m_sorted.begin(), m_sorted.end());
    m_sorted.erase(std::unique(m_sorted.begin(), m_sorted.end()), m_sorted.end());
    m_seenOnBoard.assign(m_sorted.size(), 0);
    if (!m_sorted.empty() && m_sorted.size() <= 64) {
        const std::int64_t range = std::int64_t{m_sorted.back()} - m_sorted.front() + 1;
        if (range <= DenseRange) {
            m_dense = true;
            m_lowest = m_sorted.front();
            m_bits.assign(static_cast<std::size_t>(range) + 1, 0);
            for (std::size_t k = 0; k < m_sorted.size(); ++k)
                m_bits[static_cast<std::size_t>(m_sorted[k] - m_lowest)] = std::uint64_t{1} << k;
        }
    }
}

template <typename NumberAt>
void HitCounter::add(std::size_t size, NumberAt numberAt) const
{
    if (m_sorted.empty())
        return;
    if (m_dense) {
        // Locals: the board's bytes may alias anything, members would be reloaded.
        const std::uint64_t* bits = m_bits.data();
        const std::uint64_t outside = m_bits.size() - 1; // the last entry is 0
        const std::int64_t lowest = m_lowest;
        std::uint64_t found = m_found;
        for (std::size_t i = 0; i < size; ++i) {
            // Numbers off the table meet the empty last entry: no branch to mispredict.
            const auto at = static_cast<std::uint64_t>(std::int64_t{numberAt(i)} - lowest);
            found |= bits[std::min(at, outside)];
        }
        m_found = found;
        return;
    }
    for (std::size_t i = 0; i < size; ++i) {
        const auto it = std::lower_bound(m_sorted.begin(), m_sorted.end(), numberAt(i));
        if (it == m_sorted.end() || *it != numberAt(i))
            continue;
        std::uint64_t& seen = m_seenOnBoard[static_cast<std::size_t>(it - m_sorted.begin())];
        if (seen != m_board) {
            seen = m_board;
            ++m_hits;
        }
    }
}

void HitCounter::Add(const BoardBlock& run) const
{
    add(run.Size(), [&](std::size_t i) { return run.Number(i); });
}

int HitCounter::Hits() const noexcept
{
    return m_dense ? bitCount(m_found) : m_hits;
}

int HitCounter::Count(std::span<const BoardEntry> board) const
{
    Start();
    add(board.size(), [&](std::size_t i) { return board[i].Number; });
    return Hits();
}

namespace {

std::string counted(std::int64_t count, const char* one, const char* many)
{
    return std::to_string(count) + (count == 1 ? one : many);
}

} // namespace

std::string HitsText(std::int64_t hits)
{
    return counted(hits, " hit", " hits");
}

std::string BoardsText(std::int64_t boards)
{
    return counted(boards, " board", " boards");
}

std::string HitSummaryLine(std::int64_t hits, std::int64_t boards)
{
    return HitsText(hits) + ": " + BoardsText(boards);
}
