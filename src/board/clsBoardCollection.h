// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "clsBoard.h"

#include <cstdint>
#include <memory>
#include <vector>

// The board list: shared board references in display (and file) order.
// Positions run from 1 to Count(); a position outside that range throws
// ZanvoError 9.
class clsBoardCollection {
public:
    using Item_t = std::shared_ptr<clsBoard>;

    std::int32_t Count() const noexcept { return static_cast<std::int32_t>(m_items.size()); }
    const Item_t& Item(std::int32_t Position) const;
    // Adds at the end; the board's position is the new Count().
    void Add(Item_t board);
    void Remove(std::int32_t Position);
    void Reserve(std::size_t count) { m_items.reserve(count); }

    auto begin() const noexcept { return m_items.cbegin(); }
    auto end() const noexcept { return m_items.cend(); }

    // Two lists are equal when they hold equal boards in the same order.
    friend bool operator==(const clsBoardCollection& a, const clsBoardCollection& b) noexcept;

private:
    std::vector<Item_t> m_items;
};

using BoardsRef = std::shared_ptr<clsBoardCollection>;
