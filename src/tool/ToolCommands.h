// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QStringList>

class QIODevice;

// Exit statuses of zanvo-tool.
namespace ToolExit {
inline constexpr int Success = 0;
inline constexpr int Failure = 1; // a file missing, damaged, or not written; output not written
inline constexpr int Usage = 2;   // the command line is wrong; nothing was read or written
} // namespace ToolExit

// Runs zanvo-tool: `arguments` as a program receives them (the first is its name),
// `in` for "import - FILE". Every failure is one line on `err`.
int RunTool(const QStringList& arguments, QIODevice& in, QIODevice& out, QIODevice& err);
