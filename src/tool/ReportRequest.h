// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include <cstdint>
#include <string>
#include <vector>

class QIODevice;

// What `zanvo-tool report` hands the report module, which links Qt Gui and is
// loaded only for this command, so the other commands start as fast as before.

enum class ReportPaper { A4, Letter };

struct ReportRequest {
    QString file;   // the board file
    QString output; // the PDF; replaced only when it is complete
    // The drawn numbers in the order given, duplicates already refused. None: the
    // boards are shown in the colours stored in the file.
    std::vector<std::int32_t> drawn;
    ReportPaper paper = ReportPaper::A4;
    // Standard error: a progress line goes there when it is a terminal.
    QIODevice* progress = nullptr;
};

// A failure, carried back across the module boundary instead of an exception.
struct ReportFailure {
    int number = 0; // 0: none
    std::string message;
};

// The module's one entry point; the number changes with these structures.
#define ZANVO_REPORT_ENTRY "zanvo_report_v1"
using ReportEntry = void (*)(const ReportRequest*, ReportFailure*);
