// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <stdexcept>
#include <string>



// Numbered run-time errors, the numbers users and older files' tools know.
namespace ErrorNumber {
inline constexpr int Overflow = 6;
inline constexpr int OutOfMemory = 7;
inline constexpr int SubscriptOutOfRange = 9;
inline constexpr int FileNotFound = 53;
inline constexpr int DeviceIO = 57;
inline constexpr int DiskFull = 61;
inline constexpr int InputPastEndOfFile = 62;
inline constexpr int PermissionDenied = 70;
inline constexpr int PathFileAccess = 75;
inline constexpr int PathNotFound = 76;
inline constexpr int BadFileFormat = 321;
} // namespace ErrorNumber

// The one exception type: a number and a description, passed from callee to caller
// until something that can tell the user catches it.
class ZanvoError : public std::runtime_error {
public:
    ZanvoError(int number, const std::string& description);

    int Number() const noexcept { return m_number; }
    std::string Description() const { return what(); }

    static ZanvoError Overflow();
    static ZanvoError OutOfMemory();
    static ZanvoError SubscriptOutOfRange();

private:
    int m_number;
};


