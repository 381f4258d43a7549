// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>

// Option bits for clsCommonDialogs::ShowPrinter, with the values Windows programs
// know them by. Bits not listed here (hooks, templates, device contexts, help) have
// no meaning for Qt's print dialog and are ignored.
namespace PrintFlag {
inline constexpr std::int32_t AllPages = 0x0;
inline constexpr std::int32_t Selection = 0x1;       // opens on "Selection"
inline constexpr std::int32_t PageNums = 0x2;        // opens on a page range
inline constexpr std::int32_t NoSelection = 0x4;     // no "Selection" choice
inline constexpr std::int32_t NoPageNums = 0x8;      // no page-range choice
inline constexpr std::int32_t Collate = 0x10;        // "Collate" ticked
inline constexpr std::int32_t PrintToFile = 0x20;    // opens on the PDF printer
inline constexpr std::int32_t PrintSetup = 0x40;     // the page-setup dialog instead
inline constexpr std::int32_t ReturnDefault = 0x400; // refused: always reported as cancelled
inline constexpr std::int32_t DisablePrintToFile = 0x80000;
inline constexpr std::int32_t HidePrintToFile = 0x100000;
inline constexpr std::int32_t CurrentPage = 0x400000; // offers and opens on "Current Page"
} // namespace PrintFlag
