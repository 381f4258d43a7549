// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QPageLayout>
#include <QPageSize>
#include <QPrinter>
#include <QString>
#include <QStringList>

#include <memory>

// What the print dialog takes from a printer and hands back: the printer's name and
// the settings a user can choose for it. A value that could not be read keeps its
// zero default.
struct PrinterSettings {
    QString DeviceName; // empty for Qt's PDF printer
    QPageLayout::Orientation Orientation = QPageLayout::Portrait;
    QPageSize PaperSize; // invalid when unknown
    QPrinter::DuplexMode Duplex = QPrinter::DuplexNone;
    int Copies = 0;
    int PrintQuality = 0; // dots per inch
    QPrinter::ColorMode ColourMode = QPrinter::GrayScale;
    QPrinter::PaperSource PaperSource = QPrinter::OnlyOne;
};

// The settings written to the current printer after a confirmed print dialog, in the
// order they are written.
enum class PrinterSetting { Copies, Duplex, Orientation, PaperSize, PrintQuality, ColourMode, PaperSource };

// The application's printer service: one current printer shared by the whole program,
// the installed printers, and the means to make one of them current.
class PrinterService {
public:
    virtual ~PrinterService();

    // The service the program uses, created on first use: the system's default
    // printer, or Qt's PDF printer when none is installed.
    static PrinterService& Instance();
    // Puts `service` in place of the current one and returns the old one (an empty
    // pointer restores the system's service at the next use). For tests.
    static std::unique_ptr<PrinterService> Replace(std::unique_ptr<PrinterService> service);

    // The current printer's name and settings.
    virtual PrinterSettings Settings() const = 0;
    // Writes one value of `values` to the current printer; false when the printer
    // refused it and kept what it had.
    virtual bool Set(PrinterSetting which, const PrinterSettings& values) = 0;

    // Device names of the installed printers, in the system's order. Qt's PDF printer
    // counts as installed, under an empty name.
    virtual QStringList InstalledPrinters() const = 0;
    // Makes installed printer `index` current, with that printer's own defaults.
    virtual void MakeCurrent(int index) = 0;
};

// The name and settings of `printer`, as PrinterService::Settings gives them.
PrinterSettings SettingsOf(const QPrinter& printer);

// Carries a confirmed print dialog's choice over to the current printer: a printer
// named differently becomes current (names compared in upper case, the last match
// wins), then the chosen settings are written; a setting the printer refuses, or
// fails to take, is skipped.
void ApplyPrinterChoice(PrinterService& service, const PrinterSettings& chosen);
