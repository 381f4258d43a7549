// SPDX-License-Identifier: GPL-3.0-or-later
#include "BoardLayout.h"

#include "board/ZanvoError.h"

#include <algorithm>
#include <cmath>
#include <limits>

std::int32_t Ceiling(double x)
{
    const double whole = std::trunc(x);
    const double result = whole == x ? x : whole + 1.0;
    if (!(result >= std::numeric_limits<std::int32_t>::min() && result <= std::numeric_limits<std::int32_t>::max()))
        throw ZanvoError::Overflow();
    return static_cast<std::int32_t>(result);
}

namespace {

// Where element i goes after its left neighbour `prev`; true when it starts a new row.
bool placeAfter(const BoardLayoutInput& in, const BoardPlacement& prev, BoardPlacement& next)
{
    next.Left = prev.Left + in.ElementWidth;
    next.Top = prev.Top;
    if (next.Left + in.ElementWidth > in.ContainerWidth) {
        next.Top = next.Top + in.ElementHeight;
        next.Left = in.FirstLeft;
        return true;
    }
    return false;
}

} // namespace

std::int32_t RowCapacity(const BoardLayoutInput& in)
{
    // The same steps as the layout's first row, so both always agree.
    constexpr std::int32_t limit = std::numeric_limits<std::int16_t>::max();
    BoardPlacement prev{in.FirstLeft, in.FirstTop};
    for (std::int32_t i = 1; i < limit; ++i) {
        BoardPlacement next;
        if (placeAfter(in, prev, next))
            return i;
        prev = next;
    }
    return limit;
}

BoardLayout LayoutBoards(const BoardLayoutInput& in)
{
    BoardLayout out;
    const BoardPlacement first{in.FirstLeft, in.FirstTop};
    for (std::int32_t i = 0; i < in.Count; ++i) {
        BoardPlacement place = first;
        if (i > 0 && placeAfter(in, out.Elements.back(), place) && out.RowLength == 0)
            out.RowLength = i;
        // An element whose top lies below the container is not kept; element 0 always is.
        if (place.Top > in.ContainerHeight) {
            if (i == 0)
                out.Elements.push_back(place);
            break;
        }
        out.Elements.push_back(place);
    }
    if (out.Elements.empty())
        out.Elements.push_back(first); // element 0 exists even with no boards

    // A row cut by the bottom edge still needs scrolling to, or its boards' last
    // cells could never be seen; the first row counts as shown in any case, so a
    // container lower than one element still ends with the last board.
    for (const BoardPlacement& place : out.Elements)
        out.WholeElements += place.Top + in.ElementHeight <= in.ContainerHeight ? 1 : 0;
    const auto n = static_cast<std::int32_t>(out.Elements.size());
    out.WholeElements = std::max(out.WholeElements, out.RowLength > 0 ? out.RowLength : n);
    if (out.RowLength > 0) {
        const double rows = static_cast<double>(in.Count - out.WholeElements) / out.RowLength;
        out.Maximum = Ceiling(rows); // |rows| < 2^31: cannot overflow here
    }
    return out;
}

std::int32_t BoardPosition(std::int32_t Index, std::int32_t v, std::int32_t step)
{
    const std::int64_t p = std::int64_t{Index} + 1 + std::int64_t{step} * v;
    if (p > std::numeric_limits<std::int32_t>::max() || p < std::numeric_limits<std::int32_t>::min())
        throw ZanvoError::Overflow();
    return static_cast<std::int32_t>(p);
}

std::int32_t PositionHolding(std::int32_t Position, std::int32_t step, std::int32_t maximum)
{
    if (Position < 1 || step < 1)
        return 0;
    return std::clamp((Position - 1) / step, 0, std::max(maximum, 0));
}
