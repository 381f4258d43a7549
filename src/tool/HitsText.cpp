// SPDX-License-Identifier: GPL-3.0-or-later
#include "HitsText.h"

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
