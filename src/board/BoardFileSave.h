#pragma once

#include <QString>

#include <cstdint>
#include <functional>
#include <vector>

// A board file's bytes handed out in pieces: each call replaces `out` with the
// next piece and returns false once there is none. May throw; nothing is saved then.
using BoardBytesSource = std::function<bool(std::vector<std::uint8_t>& out)>;

// Saves the bytes `source` hands out as `sFile` the way WriteBoardFile saves a
// list, with its words: beside the target first, replacing it only once complete,
// refusing a loop of links or a device, keeping a replaced file's mode. For
// writers that have the file's bytes rather than a list of boards (import keeps
// its boards as bytes, a fraction of what the list would take). A program that
// may run under a file-size limit ignores SIGXFSZ, so the limit is a failed write.
void WriteBoardFileBytes(const QString& sFile, const BoardBytesSource& source);
