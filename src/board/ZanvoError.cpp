#include "ZanvoError.h"



ZanvoError::ZanvoError(int number, const std::string& description)
    : std::runtime_error(description), m_number(number)
{
}

ZanvoError ZanvoError::Overflow()
{
    return ZanvoError(ErrorNumber::Overflow, "Overflow");
}

ZanvoError ZanvoError::OutOfMemory()
{
    return ZanvoError(ErrorNumber::OutOfMemory, "Out of memory");
}

ZanvoError ZanvoError::SubscriptOutOfRange()
{
    return ZanvoError(ErrorNumber::SubscriptOutOfRange, "Subscript out of range");
}


