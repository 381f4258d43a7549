// SPDX-License-Identifier: GPL-3.0-or-later
#include "CellFormat.h"

#include <array>

QString FormatCellNumber(std::int32_t n)
{
    // Nearly every cell holds 0 to 99; shared texts spare a view step thousands of
    // small allocations.
    static const std::array<QString, 100> common = [] {
        std::array<QString, 100> texts;
        for (std::size_t i = 0; i < texts.size(); ++i)
            texts[i] = QString::number(i).rightJustified(2, u'0');
        return texts;
    }();
    if (n >= 0 && n < 100)
        return common[static_cast<std::size_t>(n)];
    const auto value = static_cast<qint64>(n); // -2147483648 has no 32-bit magnitude
    QString text = QString::number(value < 0 ? -value : value);
    if (text.size() < 2)
        text.prepend(u'0');
    if (value < 0)
        text.prepend(u'-');
    return text;
}

std::uint32_t CellRgb(std::uint32_t stored) noexcept
{
    return ((stored & 0xFFu) << 16) | (stored & 0xFF00u) | ((stored >> 16) & 0xFFu);
}
