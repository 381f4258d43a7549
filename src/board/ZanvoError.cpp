// SPDX-License-Identifier: GPL-3.0-or-later
#include "ZanvoError.h"



ZanvoError::ZanvoError(int number, const std::string& description)
    : std::runtime_error(description), m_number(number)
{
}

ZanvoError ZanvoError::Overflow()
{
    return ZanvoError(ErrorNumber::Overflow, "A count or number grew past the largest value it can hold (overflow).");
}

ZanvoError ZanvoError::OutOfMemory()
{
    return ZanvoError(ErrorNumber::OutOfMemory, "There is not enough memory for this.");
}

ZanvoError ZanvoError::SubscriptOutOfRange()
{
    return ZanvoError(ErrorNumber::SubscriptOutOfRange, "A position outside the list was asked for (subscript out of range).");
}


