// SPDX-License-Identifier: GPL-3.0-or-later
#include "clsCommonDialogs.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QStandardPaths>
#include <QStringList>

namespace {

// The NUL-separated pairs of description and pattern ("Data-files (*.dat)", NUL,
// "*.dat"; several patterns separated by ';') as Qt's name filters. An empty part
// ends the list, as the double NUL does for the system dialog. Qt reads the
// patterns from the last parentheses; the dialog hides those, so the user sees
// each description exactly as given.
QStringList nameFiltersOf(const QString& filter)
{
    const QStringList parts = filter.split(QChar(u'\0'));
    QStringList out;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        const QString& description = parts.at(i);
        if (description.isEmpty() || parts.at(i + 1).isEmpty())
            break;
        QStringList patterns = parts.at(i + 1).split(QChar(u';'), Qt::SkipEmptyParts);
        for (QString& p : patterns)
            p = p.trimmed();
        patterns.removeAll(QString());
        if (patterns.isEmpty())
            break;
        out.append(QStringLiteral("%1 (%2)").arg(description, patterns.join(QChar(u' '))));
    }
    return out;
}

// What the dialog shows of a name filter: the part before its patterns.
QString shownPart(const QString& nameFilter)
{
    return nameFilter.left(nameFilter.lastIndexOf(QStringLiteral(" ("))).simplified();
}

// Where a file dialog opens before any file was chosen: the user's documents, or
// home where there is no such folder; never the program's own folder, which the
// user may not write in.
QString usersFolder()
{
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (!documents.isEmpty() && QFileInfo(documents).isDir())
        return documents;
    return QDir::homePath();
}

} // namespace

clsCommonDialogs::clsCommonDialogs() = default;

void clsCommonDialogs::ShowOpen(QWidget* hWnd, const QString& Caption)
{
    showFileDialog(hWnd, Caption, false, m_OpenFilterIndex);
}

void clsCommonDialogs::ShowSave(QWidget* hWnd, const QString& Caption)
{
    showFileDialog(hWnd, Caption, true, m_SaveFilterIndex);
}

void clsCommonDialogs::showFileDialog(QWidget* hWnd, const QString& Caption, bool save, std::int32_t& filterIndex)
{
    m_File.clear(); // set on every call: a cancel never leaves an earlier choice

    // Qt's own dialog, so it looks and behaves the same everywhere.
    const bool lastFolderThere = !m_LastFolder.isEmpty() && QFileInfo(m_LastFolder).isDir();
    QFileDialog dialog(hWnd, Caption, lastFolderThere ? m_LastFolder : usersFolder());
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    // Asked for no checks: any typed name is accepted, an existing file is
    // replaced without a question, and no extension is added to a bare name.
    // Flags is kept for callers, but Qt's dialog takes none of the system's
    // option bits; the program always passes 0, which is this behaviour.
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    dialog.setDefaultSuffix(QString());

    const QStringList filters = nameFiltersOf(m_Filter);
    if (!filters.isEmpty()) {
        dialog.setOption(QFileDialog::HideNameFilterDetails);
        dialog.setNameFilters(filters);
        if (filterIndex >= 1 && filterIndex <= filters.size())
            dialog.selectNameFilter(filters.at(filterIndex - 1));
    }

    if (dialog.exec() != QDialog::Accepted)
        return;
    const QStringList chosen = dialog.selectedFiles();
    if (chosen.isEmpty())
        return;
    if (!filters.isEmpty()) {
        // With the details hidden the dialog reports the description it shows.
        const QString picked = dialog.selectedNameFilter();
        for (qsizetype i = 0; i < filters.size(); ++i) {
            if (picked == filters.at(i) || picked == shownPart(filters.at(i)))
                filterIndex = static_cast<std::int32_t>(i + 1);
        }
    }
    // The name must fit the file-name buffer with its terminator; a longer path is
    // refused like a cancel.
    const QString& path = chosen.first();
    if (static_cast<std::int64_t>(path.size()) > static_cast<std::int64_t>(m_MaxFile) - 1)
        return;
    m_File = path;
    m_LastFolder = QFileInfo(path).absolutePath();
}
