// SPDX-License-Identifier: GPL-3.0-or-later
#include "ReportModule.h"

#include "board/ZanvoError.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <dlfcn.h>

namespace {

ReportEntry loadEntry()
{
    // The running program's folder, whatever the current folder or the name it was
    // started by.
    const QDir folder(QFileInfo(QFile::symLinkTarget(QStringLiteral("/proc/self/exe"))).absolutePath());
    // Beside the program in the build tree; the install folder otherwise.
    const QStringList candidates{
        folder.filePath(QStringLiteral(ZANVO_REPORT_MODULE_NAME)),
        folder.filePath(QStringLiteral(ZANVO_REPORT_MODULE_FROM_BIN "/" ZANVO_REPORT_MODULE_NAME)),
    };
    std::string why = "it is not installed";
    for (const QString& path : candidates) {
        if (!QFileInfo::exists(path))
            continue;
        // Never closed: Qt Gui keeps state until the program ends.
        void* module = dlopen(QFile::encodeName(path).constData(), RTLD_NOW | RTLD_LOCAL);
        if (!module) {
            const char* error = dlerror();
            why = error ? error : "it cannot be loaded";
            continue;
        }
        if (void* entry = dlsym(module, ZANVO_REPORT_ENTRY))
            return reinterpret_cast<ReportEntry>(entry);
        why = QFileInfo(path).fileName().toStdString() + " is of another version";
    }
    throw ZanvoError(ErrorNumber::FileNotFound, "The report module is missing: " + why);
}

} // namespace

void RunReport(const ReportRequest& request)
{
    const ReportEntry entry = loadEntry();
    ReportFailure failure;
    entry(&request, &failure);
    if (failure.number != 0)
        throw ZanvoError(failure.number, failure.message);
}
