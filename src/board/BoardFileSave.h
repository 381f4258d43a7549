// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "FileProblem.h"

#include <QSaveFile>
#include <QString>

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

// A file saved whole or not at all: written beside the target, which it replaces
// only once complete, refusing a loop of links or a device, keeping a replaced
// file's mode; a file-size limit is a failed write, never a stopped program. Every
// failure throws ZanvoError: the cause in plain words, then notWrittenSentence
// ("The boards were not saved; any file of that name is unchanged."). Left
// uncommitted, nothing is written.
class AtomicFileWrite {
public:
    AtomicFileWrite(const QString& sFile, QString notWrittenSentence);
    ~AtomicFileWrite();
    AtomicFileWrite(const AtomicFileWrite&) = delete;
    AtomicFileWrite& operator=(const AtomicFileWrite&) = delete;

    void Write(const char* data, qint64 size);
    // Puts the file in the target's place.
    void Commit();

private:
    [[noreturn]] void fail(FileProblem problem, const QString& systemText = {}) const;

    class FileSizeSignalIgnored;
    QString m_file;
    QString m_notWritten;
    QSaveFile m_save;
    std::unique_ptr<FileSizeSignalIgnored> m_signalIgnored;
    bool m_committed = false;
};

// A board file's bytes handed out in pieces: each call replaces `out` with the
// next piece and returns false once there is none. May throw; nothing is saved then.
using BoardBytesSource = std::function<bool(std::vector<std::uint8_t>& out)>;

// Saves the bytes `source` hands out as `sFile` through AtomicFileWrite;
// WriteBoardFile saves a list through this. For writers that have the file's bytes
// rather than a list of boards (import keeps its boards as bytes, a fraction of
// what the list would take).
void WriteBoardFileBytes(const QString& sFile, const BoardBytesSource& source);
