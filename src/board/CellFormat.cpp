// SPDX-License-Identifier: GPL-3.0-or-later
#include "CellFormat.h"

QString FormatCellNumber(std::int32_t n)
{
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
