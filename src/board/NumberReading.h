// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>



// Reads the number a board cell or the check dialog's input box holds:
// leading blanks, an optional sign, digits, an optional fraction and an optional
// exponent; reading stops at the first character that cannot continue the number.
// Empty or non-numeric text reads as 0. The value is rounded to the nearest
// 32-bit integer, halves to even (2.5 -> 2, 3.5 -> 4, -2.5 -> -2).
// A value outside the 32-bit range throws ZanvoError 6 (overflow); nothing wraps.
std::int32_t ReadNumber(std::string_view text);

// ReadNumber, with a value outside the 32-bit range read as no value instead.
std::optional<std::int32_t> ReadNumberInRange(std::string_view text);

// The nearest 32-bit integer, a value exactly halfway going to the even neighbour.
// Throws ZanvoError 6 when the result does not fit.
std::int32_t RoundToInt32(double value);

// The scanned prefix as a double, before rounding; 0 when nothing numeric was found.
// Throws ZanvoError 6 when the value does not fit a double (1e400).
double ScanNumber(std::string_view text);


