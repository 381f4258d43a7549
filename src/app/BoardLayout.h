// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <vector>

// The placement arithmetic of the board view, free of widgets so it can be tested
// with plain numbers. Positions and sizes are pixels in single precision, as the
// view measures them.

struct BoardLayoutInput {
    float ContainerWidth = 0;  // the container's whole width; the scroll bar is not subtracted
    float ContainerHeight = 0;
    float FirstLeft = 8;       // element 0 keeps its own place
    float FirstTop = 8;
    float ElementWidth = 177;  // every element takes element 0's size
    float ElementHeight = 209;
    std::int32_t Count = 0;    // boards in the list
};

struct BoardPlacement {
    float Left = 0;
    float Top = 0;
};

struct BoardLayout {
    // Elements 0..n-1 that exist after the refresh, hidden ones included.
    std::vector<BoardPlacement> Elements;
    // Index of the first element that starts a new row (the first row's length), or
    // 0 when every element fits in the first row.
    std::int32_t RowLength = 0;
    // Elements 0..WholeElements-1 lie wholly inside the container; the first row
    // counts in any case.
    std::int32_t WholeElements = 0;
    // The scroll bar's maximum: rows of RowLength still needed for the boards that are
    // not wholly inside the container. 32 bits, so every board of any list can be
    // scrolled wholly into view.
    std::int32_t Maximum = 0;
};

// x when it is whole, else x truncated toward zero plus 1.
std::int32_t Ceiling(double x);

// Boards that one row of the container holds, at least 1: the scroll step. Rows seen
// after scrolling then start on row boundaries and the last board can be reached at
// every width.
std::int32_t RowCapacity(const BoardLayoutInput& in);

// Lays out one refresh: left to right, a new row when the next element would pass the
// container's right edge, rows until one would start below its bottom edge.
BoardLayout LayoutBoards(const BoardLayoutInput& in);

// The list position (1-based) that element `Index` shows at scroll position `v`.
// Throws ZanvoError 6 when it does not fit 32 bits.
std::int32_t BoardPosition(std::int32_t Index, std::int32_t v, std::int32_t step);

// The scroll position whose first row holds list position `Position` when a row is
// `step` boards long, at most `maximum`: where the view goes when the row length changes.
std::int32_t PositionHolding(std::int32_t Position, std::int32_t step, std::int32_t maximum);
