// SPDX-License-Identifier: GPL-3.0-or-later
#include "clsBoardCollection.h"

#include "ZanvoError.h"

#include <algorithm>
#include <limits>
#include <new>

const clsBoardCollection::Item_t& clsBoardCollection::Item(std::int32_t Position) const
{
    if (Position < 1 || Position > Count())
        throw ZanvoError::SubscriptOutOfRange();
    return m_items[static_cast<std::size_t>(Position - 1)];
}

void clsBoardCollection::Add(Item_t board)
{
    if (m_items.size() >= static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max()))
        throw ZanvoError::Overflow();
    try {
        m_items.push_back(std::move(board));
    } catch (const std::bad_alloc&) {
        throw ZanvoError::OutOfMemory();
    }
}

void clsBoardCollection::Remove(std::int32_t Position)
{
    if (Position < 1 || Position > Count())
        throw ZanvoError::SubscriptOutOfRange();
    m_items.erase(m_items.begin() + (Position - 1));
}

bool operator==(const clsBoardCollection& a, const clsBoardCollection& b) noexcept
{
    return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                      [](const auto& x, const auto& y) { return *x == *y; });
}
