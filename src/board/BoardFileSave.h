// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include <cstdint>
#include <functional>
#include <vector>

// A board file's bytes handed out in pieces: each call replaces `out` with the
// next piece and returns false once there is none. May throw; nothing is saved then.
using BoardBytesSource = std::function<bool(std::vector<std::uint8_t>& out)>;

// Saves the bytes `source` hands out as `sFile`; WriteBoardFile saves a list
// through this. Beside the target first, replacing it only once complete, refusing
// a loop of links or a device, keeping a replaced file's mode; a file-size limit is
// a failed write, never a stopped program. For writers that have the file's bytes
// rather than a list of boards (import keeps its boards as bytes, a fraction of
// what the list would take).
void WriteBoardFileBytes(const QString& sFile, const BoardBytesSource& source);
