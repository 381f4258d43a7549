// SPDX-License-Identifier: GPL-3.0-or-later
#include "clsCommonDialogs.h"

#include "FontDialog.h"
#include "PrintFlags.h"
#include "PrinterService.h"
#include "board/ZanvoError.h"

#include <QColorDialog>
#include <QFile>
#include <QFileInfo>
#include <QPageSetupDialog>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <QSettings>
#include <QVariant>

#include <array>
#include <memory>

namespace {

constexpr int CustomColourCount = 16;

QColor ColourFromBgr(std::int32_t bgr)
{
    const auto v = static_cast<std::uint32_t>(bgr);
    return QColor(int(v & 0xFFu), int((v >> 8) & 0xFFu), int((v >> 16) & 0xFFu));
}

std::int32_t BgrFromColour(const QColor& colour)
{
    const QColor rgb = colour.toRgb();
    return std::int32_t(rgb.red() | (rgb.green() << 8) | (rgb.blue() << 16));
}

QString CustomColourKey(int index)
{
    return QStringLiteral("Qt/customColors/") + QString::number(index);
}

// Qt keeps one table of custom colours for the whole process and writes it to the
// user's "QtProject" settings, shared with every other Qt program, whenever a colour
// dialog goes away. This program keeps custom colours per object and stores nothing:
// the guard notes the table and those settings and puts both back.
class QtCustomColourGuard {
public:
    QtCustomColourGuard()
    {
        const QSettings settings(QSettings::UserScope, QStringLiteral("QtProject"));
        m_FileExisted = QFileInfo::exists(settings.fileName());
        for (int i = 0; i < CustomColourCount; ++i) {
            m_Stored[std::size_t(i)] = settings.value(CustomColourKey(i));
            m_Table[std::size_t(i)] = QColorDialog::customColor(i).rgba();
        }
    }
    QtCustomColourGuard(const QtCustomColourGuard&) = delete;
    QtCustomColourGuard& operator=(const QtCustomColourGuard&) = delete;

    ~QtCustomColourGuard()
    {
        RestoreTable();
        RestoreSettings();
    }

    // Call before the dialog goes, so that what it writes out is the old table.
    void RestoreTable()
    {
        if (m_TableRestored)
            return;
        m_TableRestored = true;
        for (int i = 0; i < CustomColourCount; ++i)
            QColorDialog::setCustomColor(i, QColor::fromRgba(m_Table[std::size_t(i)]));
    }

    // Call after the dialog has gone.
    void RestoreSettings()
    {
        if (m_SettingsRestored)
            return;
        m_SettingsRestored = true;
        QSettings settings(QSettings::UserScope, QStringLiteral("QtProject"));
        for (int i = 0; i < CustomColourCount; ++i) {
            const QVariant& stored = m_Stored[std::size_t(i)];
            if (stored.isValid())
                settings.setValue(CustomColourKey(i), stored);
            else
                settings.remove(CustomColourKey(i));
        }
        settings.sync();
        if (!m_FileExisted && settings.allKeys().isEmpty())
            QFile::remove(settings.fileName());
    }

private:
    std::array<QVariant, CustomColourCount> m_Stored;
    std::array<QRgb, CustomColourCount> m_Table{};
    bool m_FileExisted = false;
    bool m_TableRestored = false;
    bool m_SettingsRestored = false;
};

// The printer the print dialog works on: a fresh one for the current printer's
// device, given its orientation, paper size and duplex mode. Copies, quality, colour
// and paper source start from that printer's own defaults, and the current printer
// is not touched until the user confirms.
std::unique_ptr<QPrinter> DialogPrinter(const PrinterSettings& current, std::int32_t flags)
{
    auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    if (current.DeviceName.isEmpty() || (flags & PrintFlag::PrintToFile) != 0)
        printer->setOutputFormat(QPrinter::PdfFormat);
    else
        printer->setPrinterName(current.DeviceName);
    printer->setPageOrientation(current.Orientation);
    if (current.PaperSize.isValid())
        printer->setPageSize(current.PaperSize);
    printer->setDuplex(current.Duplex);
    printer->setCollateCopies((flags & PrintFlag::Collate) != 0);
    return printer;
}

// The print dialog's choices and starting range from the option bits.
void ConfigurePrintDialog(QPrintDialog& dialog, std::int32_t flags)
{
    QAbstractPrintDialog::PrintDialogOptions options =
        QAbstractPrintDialog::PrintShowPageSize | QAbstractPrintDialog::PrintCollateCopies;
    if ((flags & PrintFlag::NoPageNums) == 0)
        options |= QAbstractPrintDialog::PrintPageRange;
    if ((flags & PrintFlag::NoSelection) == 0)
        options |= QAbstractPrintDialog::PrintSelection;
    if ((flags & PrintFlag::CurrentPage) != 0)
        options |= QAbstractPrintDialog::PrintCurrentPage;
    // Without an installed printer the PDF printer is the only one there is.
    const bool noFile = (flags & (PrintFlag::HidePrintToFile | PrintFlag::DisablePrintToFile)) != 0;
    if (!noFile || QPrinterInfo::availablePrinterNames().isEmpty())
        options |= QAbstractPrintDialog::PrintToFile;
    dialog.setOptions(options);

    QAbstractPrintDialog::PrintRange range = QAbstractPrintDialog::AllPages;
    if ((flags & PrintFlag::Selection) != 0 && (options & QAbstractPrintDialog::PrintSelection))
        range = QAbstractPrintDialog::Selection;
    else if ((flags & PrintFlag::PageNums) != 0 && (options & QAbstractPrintDialog::PrintPageRange))
        range = QAbstractPrintDialog::PageRange;
    else if ((flags & PrintFlag::CurrentPage) != 0)
        range = QAbstractPrintDialog::CurrentPage;
    dialog.setPrintRange(range);
}

} // namespace

std::int32_t clsCommonDialogs::ShowColor(QWidget* hWnd)
{
    QtCustomColourGuard guard;
    for (int i = 0; i < CustomColourCount; ++i)
        QColorDialog::setCustomColor(i, ColourFromBgr(m_CustomColors[std::size_t(i)]));

    std::int32_t result = -1;
    {
        QColorDialog dialog(hWnd);
        // A native dialog would not show this object's custom colours.
        dialog.setOption(QColorDialog::DontUseNativeDialog);
        dialog.setCurrentColor(Qt::black);
        if (dialog.exec() == QDialog::Accepted) {
            result = BgrFromColour(dialog.selectedColor());
            for (int i = 0; i < CustomColourCount; ++i)
                m_CustomColors[std::size_t(i)] = BgrFromColour(QColorDialog::customColor(i));
        }
        guard.RestoreTable();
    }
    guard.RestoreSettings();
    return result;
}

QString clsCommonDialogs::ShowFont(QWidget* hWnd)
{
    // Regular weight, upright, 12 points.
    const QFont start(QStringLiteral("Times New Roman"), 12);
    FontDialog dialog(start, 10, 72, hWnd);
    if (dialog.exec() != QDialog::Accepted)
        return {};
    return dialog.FaceName();
}

std::int32_t clsCommonDialogs::ShowPageSetupDlg(QWidget* hWnd)
{
    // A printer of its own, so that nothing chosen here reaches the current printer.
    QPrinter printer(QPrinter::HighResolution);
    QPageSetupDialog dialog(&printer, hWnd);
    return dialog.exec() == QDialog::Accepted ? 0 : -1;
}

std::int32_t clsCommonDialogs::ShowPrinter(QWidget* frmOwner, std::int32_t PrintFlags)
{
    // Asking for the default printer's settings without a dialog is refused by the
    // system when device settings are handed in, as they always are here.
    if ((PrintFlags & PrintFlag::ReturnDefault) != 0)
        return -1;

    PrinterService& service = PrinterService::Instance();
    PrinterSettings current;
    try {
        current = service.Settings();
    } catch (const ZanvoError&) {
        // A printer that cannot tell its settings gets the dialog's defaults.
    }

    const std::unique_ptr<QPrinter> printer = DialogPrinter(current, PrintFlags);
    bool confirmed = false;
    if ((PrintFlags & PrintFlag::PrintSetup) != 0) {
        QPageSetupDialog dialog(printer.get(), frmOwner);
        confirmed = dialog.exec() == QDialog::Accepted;
    } else {
        QPrintDialog dialog(printer.get(), frmOwner);
        ConfigurePrintDialog(dialog, PrintFlags);
        confirmed = dialog.exec() == QDialog::Accepted;
    }
    if (!confirmed)
        return -1;

    ApplyPrinterChoice(service, SettingsOf(*printer));
    return 0;
}
