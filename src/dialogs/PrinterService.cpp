// SPDX-License-Identifier: GPL-3.0-or-later
#include "PrinterService.h"

#include "board/ZanvoError.h"

#include <QCoreApplication>
#include <QPrinterInfo>

namespace {

// The system's printers through Qt: the current printer is a QPrinter of its own.
class QtPrinterService final : public PrinterService {
public:
    QtPrinterService() : m_Printer(std::make_unique<QPrinter>(QPrinter::HighResolution)) {}

    PrinterSettings Settings() const override { return SettingsOf(*m_Printer); }

    bool Set(PrinterSetting which, const PrinterSettings& values) override
    {
        QPrinter& p = *m_Printer;
        // Qt's setters drop what a printer cannot do without a word; reading the
        // value back tells whether it was taken.
        switch (which) {
        case PrinterSetting::Copies:
            if (values.Copies < 1)
                return false;
            p.setCopyCount(values.Copies);
            return p.copyCount() == values.Copies;
        case PrinterSetting::Duplex:
            p.setDuplex(values.Duplex);
            return p.duplex() == values.Duplex;
        case PrinterSetting::Orientation:
            return p.setPageOrientation(values.Orientation);
        case PrinterSetting::PaperSize:
            return values.PaperSize.isValid() && p.setPageSize(values.PaperSize);
        case PrinterSetting::PrintQuality:
            if (values.PrintQuality < 1)
                return false;
            p.setResolution(values.PrintQuality);
            return p.resolution() == values.PrintQuality;
        case PrinterSetting::ColourMode:
            p.setColorMode(values.ColourMode);
            return p.colorMode() == values.ColourMode;
        case PrinterSetting::PaperSource:
            p.setPaperSource(values.PaperSource);
            return p.paperSource() == values.PaperSource;
        }
        return false;
    }

    QStringList InstalledPrinters() const override
    {
        QStringList names = QPrinterInfo::availablePrinterNames();
        names.append(QString());
        return names;
    }

    void MakeCurrent(int index) override
    {
        const QStringList names = InstalledPrinters();
        if (index < 0 || index >= names.size())
            throw ZanvoError::SubscriptOutOfRange();
        std::unique_ptr<QPrinter> printer;
        if (names[index].isEmpty()) {
            printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
            printer->setOutputFormat(QPrinter::PdfFormat);
        } else {
            printer = std::make_unique<QPrinter>(QPrinterInfo::printerInfo(names[index]), QPrinter::HighResolution);
        }
        m_Printer = std::move(printer);
    }

private:
    std::unique_ptr<QPrinter> m_Printer;
};

std::unique_ptr<PrinterService>& Slot()
{
    static std::unique_ptr<PrinterService> service;
    return service;
}

bool cleanupRegistered = false;

// A QPrinter must go while the application still runs: its engines talk to the
// platform's print support, which the application takes down with it.
void ReleaseService()
{
    Slot().reset();
    cleanupRegistered = false;
}

void RegisterCleanup()
{
    if (!cleanupRegistered && QCoreApplication::instance()) {
        qAddPostRoutine(ReleaseService);
        cleanupRegistered = true;
    }
}

} // namespace

PrinterService::~PrinterService() = default;

PrinterService& PrinterService::Instance()
{
    auto& service = Slot();
    if (!service) {
        service = std::make_unique<QtPrinterService>();
        RegisterCleanup();
    }
    return *service;
}

std::unique_ptr<PrinterService> PrinterService::Replace(std::unique_ptr<PrinterService> service)
{
    std::unique_ptr<PrinterService> old = std::move(Slot());
    Slot() = std::move(service);
    if (Slot())
        RegisterCleanup();
    return old;
}

PrinterSettings SettingsOf(const QPrinter& printer)
{
    PrinterSettings s;
    if (printer.outputFormat() == QPrinter::NativeFormat)
        s.DeviceName = printer.printerName();
    const QPageLayout layout = printer.pageLayout();
    s.Orientation = layout.orientation();
    s.PaperSize = layout.pageSize();
    s.Duplex = printer.duplex();
    s.Copies = printer.copyCount();
    s.PrintQuality = printer.resolution();
    s.ColourMode = printer.colorMode();
    s.PaperSource = printer.paperSource();
    return s;
}

void ApplyPrinterChoice(PrinterService& service, const PrinterSettings& chosen)
{
    const QString newName = chosen.DeviceName.toUpper();
    if (service.Settings().DeviceName != newName) {
        const QStringList installed = service.InstalledPrinters();
        int match = -1;
        for (int i = 0; i < installed.size(); ++i) {
            if (installed[i].toUpper() == newName)
                match = i;
        }
        if (match >= 0)
            service.MakeCurrent(match);
    }
    for (PrinterSetting which : {PrinterSetting::Copies, PrinterSetting::Duplex, PrinterSetting::Orientation,
                                 PrinterSetting::PaperSize, PrinterSetting::PrintQuality,
                                 PrinterSetting::ColourMode, PrinterSetting::PaperSource}) {
        try {
            service.Set(which, chosen);
        } catch (const ZanvoError&) {
            // A printer that cannot take a setting keeps its own; the rest still apply.
        }
    }
}
