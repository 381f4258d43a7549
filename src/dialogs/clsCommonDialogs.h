// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include <array>
#include <cstdint>

class QWidget;

// The common dialogs behind a few properties and one method per dialog.
class clsCommonDialogs {
public:
    clsCommonDialogs();

    // File dialogs: File becomes the chosen path, or empty after a cancel.
    void ShowOpen(QWidget* hWnd, const QString& Caption);
    void ShowSave(QWidget* hWnd, const QString& Caption);

    // The chosen colour as 0x00BBGGRR, or -1 on cancel.
    std::int32_t ShowColor(QWidget* hWnd = nullptr);
    // The chosen face name, or empty text on cancel.
    QString ShowFont(QWidget* hWnd = nullptr);
    // 0 on confirm, -1 on cancel.
    std::int32_t ShowPageSetupDlg(QWidget* hWnd = nullptr);
    std::int32_t ShowPrinter(QWidget* frmOwner, std::int32_t PrintFlags = 0);

    std::int32_t MaxFile() const noexcept { return m_MaxFile; }
    void MaxFile(std::int32_t vNewValue) noexcept { m_MaxFile = vNewValue; }
    const QString& Filter() const noexcept { return m_Filter; }
    void Filter(const QString& vNewValue) { m_Filter = vNewValue; }
    std::int32_t Flags() const noexcept { return m_Flags; }
    void Flags(std::int32_t vNewValue) noexcept { m_Flags = vNewValue; }
    const QString& File() const noexcept { return m_File; }

private:
    // The colour dialog's 16 custom colours (0x00BBGGRR), kept per object.
    std::array<std::int32_t, 16> m_CustomColors{};
    QString m_Filter;
    std::int32_t m_MaxFile = 255;
    std::int32_t m_Flags = 0;
    QString m_File;

    // File dialogs. Each keeps the filter last chosen in it (1-based, 0 before the
    // first choice), so the open and save dialogs do not affect each other.
    void showFileDialog(QWidget* hWnd, const QString& Caption, bool save, std::int32_t& filterIndex);
    std::int32_t m_OpenFilterIndex = 0;
    std::int32_t m_SaveFilterIndex = 0;
    // The folder of the file last chosen in either dialog, where both open next;
    // empty before the first choice. Kept for this object's life only.
    QString m_LastFolder;
};
