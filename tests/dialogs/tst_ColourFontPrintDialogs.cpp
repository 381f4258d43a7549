// SPDX-License-Identifier: GPL-3.0-or-later
#include "board/ZanvoError.h"
#include "dialogs/FontDialog.h"
#include "dialogs/PrintFlags.h"
#include "dialogs/PrinterService.h"
#include "dialogs/clsCommonDialogs.h"

#include <QApplication>
#include <QCheckBox>
#include <QColorDialog>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileInfo>
#include <QFontComboBox>
#include <QFontDatabase>
#include <QFontInfo>
#include <QLineEdit>
#include <QMessageBox>
#include <QPageSetupDialog>
#include <QPrintDialog>
#include <QPrinterInfo>
#include <QPushButton>
#include <QRadioButton>
#include <QSettings>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <functional>
#include <memory>
#include <optional>

Q_DECLARE_METATYPE(QAbstractPrintDialog::PrintDialogOptions)
Q_DECLARE_METATYPE(QAbstractPrintDialog::PrintRange)

namespace {

// Runs `answer` on the next modal dialog, from the event loop it starts.
void answerNextModal(std::function<void(QWidget*)> answer)
{
    QTimer::singleShot(0, qApp, [answer = std::move(answer)] {
        if (QWidget* modal = QApplication::activeModalWidget())
            answer(modal);
    });
}

void clickButton(QWidget* dialog, QDialogButtonBox::StandardButton which)
{
    auto* box = dialog->findChild<QDialogButtonBox*>();
    QVERIFY(box);
    QVERIFY(box->button(which));
    box->button(which)->click();
}

QPushButton* buttonWithText(QWidget* dialog, const QString& text)
{
    for (auto* b : dialog->findChildren<QPushButton*>()) {
        if (b->text() == text)
            return b;
    }
    return nullptr;
}

QList<QColor> qtCustomColours()
{
    QList<QColor> colours;
    for (int i = 0; i < QColorDialog::customCount(); ++i)
        colours << QColorDialog::customColor(i);
    return colours;
}

QList<QColor> allBlack()
{
    return QList<QColor>(16, QColor(Qt::black));
}

// Confirms the colour dialog after adding `added` to its custom colours, one after
// the other, and choosing `chosen`. Records the custom colours it opened with.
void answerColour(QList<QColor>* offered, const QList<QColor>& added, const QColor& chosen, bool confirm)
{
    answerNextModal([=](QWidget* modal) {
        auto* dialog = qobject_cast<QColorDialog*>(modal);
        QVERIFY(dialog);
        *offered = qtCustomColours();
        QPushButton* add = buttonWithText(dialog, QStringLiteral("&Add to Custom Colors"));
        QVERIFY(add);
        for (const QColor& c : added) {
            dialog->setCurrentColor(c);
            add->click();
        }
        dialog->setCurrentColor(chosen);
        clickButton(dialog, confirm ? QDialogButtonBox::Ok : QDialogButtonBox::Cancel);
    });
}

QSettings qtProjectSettings()
{
    return QSettings(QSettings::UserScope, QStringLiteral("QtProject"));
}

// A printer service with made-up printers; each printer keeps its own settings.
class FakePrinterService : public PrinterService {
public:
    struct Printer {
        PrinterSettings settings;
        QList<PrinterSetting> refused;
    };

    explicit FakePrinterService(QStringList names, int current = 0) : m_Current(current)
    {
        for (const QString& name : names) {
            Printer p;
            p.settings.DeviceName = name;
            p.settings.Copies = 1;
            p.settings.PrintQuality = 600;
            p.settings.ColourMode = QPrinter::Color;
            p.settings.PaperSize = QPageSize(QPageSize::A4);
            printers.append(p);
        }
    }

    PrinterSettings Settings() const override { return printers[m_Current].settings; }

    bool Set(PrinterSetting which, const PrinterSettings& v) override
    {
        setCalls.append(which);
        if (which == throwsOn)
            throw ZanvoError(ErrorNumber::DeviceIO, "printer went away");
        Printer& p = printers[m_Current];
        if (p.refused.contains(which))
            return false;
        PrinterSettings& s = p.settings;
        switch (which) {
        case PrinterSetting::Copies: s.Copies = v.Copies; break;
        case PrinterSetting::Duplex: s.Duplex = v.Duplex; break;
        case PrinterSetting::Orientation: s.Orientation = v.Orientation; break;
        case PrinterSetting::PaperSize: s.PaperSize = v.PaperSize; break;
        case PrinterSetting::PrintQuality: s.PrintQuality = v.PrintQuality; break;
        case PrinterSetting::ColourMode: s.ColourMode = v.ColourMode; break;
        case PrinterSetting::PaperSource: s.PaperSource = v.PaperSource; break;
        }
        return true;
    }

    QStringList InstalledPrinters() const override
    {
        QStringList names;
        for (const Printer& p : printers)
            names << p.settings.DeviceName;
        return names;
    }

    void MakeCurrent(int index) override
    {
        madeCurrent.append(index);
        m_Current = index;
    }

    int Current() const { return m_Current; }

    QList<Printer> printers;
    QList<int> madeCurrent;
    QList<PrinterSetting> setCalls;
    std::optional<PrinterSetting> throwsOn;

private:
    int m_Current;
};

// Puts a fake printer service in place for one test.
struct FakeServiceScope {
    explicit FakeServiceScope(std::unique_ptr<FakePrinterService> service) : fake(service.get())
    {
        previous = PrinterService::Replace(std::move(service));
    }
    ~FakeServiceScope() { PrinterService::Replace(std::move(previous)); }
    FakeServiceScope(const FakeServiceScope&) = delete;
    FakeServiceScope& operator=(const FakeServiceScope&) = delete;

    FakePrinterService* fake;
    std::unique_ptr<PrinterService> previous;
};

const QList<PrinterSetting> settingOrder{PrinterSetting::Copies, PrinterSetting::Duplex,
                                         PrinterSetting::Orientation, PrinterSetting::PaperSize,
                                         PrinterSetting::PrintQuality, PrinterSetting::ColourMode,
                                         PrinterSetting::PaperSource};

} // namespace

class tst_ColourFontPrintDialogs : public QObject {
    Q_OBJECT

public:
    explicit tst_ColourFontPrintDialogs(QString pdfFolder) : m_PdfFolder(std::move(pdfFolder)) {}

private Q_SLOTS:
    void colourConfirmedGivesBgr_data();
    void colourConfirmedGivesBgr();
    void colourCancelledGivesMinusOne();
    void customColoursBelongToTheObject();
    void customColoursSurviveACancel();
    void colourLeavesQtSettingsAlone_data();
    void colourLeavesQtSettingsAlone();

    void fontOpensOnTimesRegular12();
    void fontOffersSizes10To72Only();
    void fontRefusesSizeOutsideLimits_data();
    void fontRefusesSizeOutsideLimits();
    void fontConfirmedGivesFaceName_data();
    void fontConfirmedGivesFaceName();

    void pageSetupConfirmedAndCancelled();
    void pageSetupLeavesNothingBehind();

    void printerCancelledLeavesPrinterAlone();
    void printerConfirmedSetsChosenSettings();
    void printerOpensOnCurrentPrinter();
    void printerReselectedThroughDialog();
    void printerFlags_data();
    void printerFlags();
    void printerSetupFlagShowsPageSetup();
    void printerReturnDefaultIsRefused();
    void printerChoice_data();
    void printerChoice();
    void printerRefusedSettingsSkipped();
    void systemServiceListsPdfPrinter();

private:
    QString pdfPath(const QString& name) const { return m_PdfFolder + u'/' + name; }
    // Confirms the print dialog on the PDF printer after `change` had its say.
    void answerPrintDialog(const QString& file, std::function<void(QPrintDialog*)> change, bool confirm);

    QString m_PdfFolder;
};

// ---- colour ----

void tst_ColourFontPrintDialogs::colourConfirmedGivesBgr_data()
{
    QTest::addColumn<QColor>("chosen");
    QTest::addColumn<int>("expected");
    QTest::newRow("black") << QColor(0, 0, 0) << 0;
    QTest::newRow("white") << QColor(255, 255, 255) << 16777215;
    QTest::newRow("red in the low byte") << QColor(255, 0, 0) << 0x0000FF;
    QTest::newRow("green") << QColor(0, 255, 0) << 0x00FF00;
    QTest::newRow("blue in the high byte") << QColor(0, 0, 255) << 0xFF0000;
    QTest::newRow("mixed") << QColor(0x12, 0x34, 0x56) << 0x563412;
}

void tst_ColourFontPrintDialogs::colourConfirmedGivesBgr()
{
    QFETCH(QColor, chosen);
    QFETCH(int, expected);
    clsCommonDialogs dialogs;
    QList<QColor> offered;
    answerColour(&offered, {}, chosen, true);
    QCOMPARE(dialogs.ShowColor(), expected);
}

void tst_ColourFontPrintDialogs::colourCancelledGivesMinusOne()
{
    clsCommonDialogs dialogs;
    QWidget owner;
    owner.show();
    QColor start;
    QWidget* parent = nullptr;
    bool native = true;
    answerNextModal([&](QWidget* modal) {
        auto* dialog = qobject_cast<QColorDialog*>(modal);
        QVERIFY(dialog);
        start = dialog->currentColor();
        parent = dialog->parentWidget();
        native = !dialog->testOption(QColorDialog::DontUseNativeDialog);
        dialog->setCurrentColor(QColor(10, 20, 30));
        clickButton(dialog, QDialogButtonBox::Cancel);
    });
    QCOMPARE(dialogs.ShowColor(&owner), -1);
    QCOMPARE(start, QColor(Qt::black));
    QCOMPARE(parent, &owner);
    QVERIFY(!native);
}

void tst_ColourFontPrintDialogs::customColoursBelongToTheObject()
{
    clsCommonDialogs a;
    clsCommonDialogs b;
    const QColor one(200, 10, 10);
    const QColor two(10, 200, 10);
    QList<QColor> offered;

    answerColour(&offered, {one, two}, one, true);
    QCOMPARE(a.ShowColor(), 0x0A0AC8);
    QCOMPARE(offered, allBlack());

    // The other object never sees a's colours.
    answerColour(&offered, {}, two, true);
    QCOMPARE(b.ShowColor(), 0x0AC80A);
    QCOMPARE(offered, allBlack());

    QList<QColor> expected = allBlack();
    expected[0] = one;
    expected[1] = two;
    answerColour(&offered, {}, two, true);
    a.ShowColor();
    QCOMPARE(offered, expected);
}

void tst_ColourFontPrintDialogs::customColoursSurviveACancel()
{
    clsCommonDialogs a;
    const QColor kept(1, 2, 3);
    QList<QColor> offered;
    answerColour(&offered, {kept}, kept, true);
    QCOMPARE(a.ShowColor(), 0x030201);

    answerColour(&offered, {QColor(9, 9, 9), QColor(8, 8, 8)}, Qt::white, false);
    QCOMPARE(a.ShowColor(), -1);

    QList<QColor> expected = allBlack();
    expected[0] = kept;
    answerColour(&offered, {}, kept, false);
    a.ShowColor();
    QCOMPARE(offered, expected);
}

void tst_ColourFontPrintDialogs::colourLeavesQtSettingsAlone_data()
{
    QTest::addColumn<bool>("fileBefore");
    QTest::addColumn<bool>("confirm");
    QTest::newRow("no settings file, confirmed") << false << true;
    QTest::newRow("no settings file, cancelled") << false << false;
    QTest::newRow("another program's colours, confirmed") << true << true;
    QTest::newRow("another program's colours, cancelled") << true << false;
}

void tst_ColourFontPrintDialogs::colourLeavesQtSettingsAlone()
{
    QFETCH(bool, fileBefore);
    QFETCH(bool, confirm);
    const QString file = qtProjectSettings().fileName();
    {
        QSettings settings = qtProjectSettings();
        settings.clear();
        if (fileBefore) {
            settings.setValue(QStringLiteral("Qt/customColors/3"), 0xff123456u);
            settings.setValue(QStringLiteral("FileDialog/history"), QStringLiteral("/elsewhere"));
        }
        settings.sync();
    }
    if (!fileBefore)
        QFile::remove(file);
    QCOMPARE(QFileInfo::exists(file), fileBefore);
    const QList<QColor> tableBefore = qtCustomColours();

    clsCommonDialogs dialogs;
    QList<QColor> offered;
    answerColour(&offered, {QColor(50, 60, 70), QColor(80, 90, 100)}, Qt::red, confirm);
    dialogs.ShowColor();

    QCOMPARE(QFileInfo::exists(file), fileBefore);
    if (fileBefore) {
        QSettings settings = qtProjectSettings();
        QCOMPARE(settings.allKeys().size(), 2);
        QCOMPARE(settings.value(QStringLiteral("Qt/customColors/3")).toUInt(), 0xff123456u);
        QCOMPARE(settings.value(QStringLiteral("FileDialog/history")).toString(), QStringLiteral("/elsewhere"));
    }
    // Any other colour dialog in the process finds Qt's table as it was.
    QCOMPARE(qtCustomColours(), tableBefore);
}

// ---- font ----

void tst_ColourFontPrintDialogs::fontOpensOnTimesRegular12()
{
    clsCommonDialogs dialogs;
    QWidget owner;
    QString family, style, size;
    bool strike = true, underline = true;
    QWidget* parent = nullptr;
    answerNextModal([&](QWidget* modal) {
        auto* dialog = qobject_cast<FontDialog*>(modal);
        QVERIFY(dialog);
        parent = dialog->parentWidget();
        family = dialog->cboFont->currentFont().family();
        style = dialog->cboStyle->currentText();
        size = dialog->cboSize->currentText();
        strike = dialog->chkStrikeout->isChecked();
        underline = dialog->chkUnderline->isChecked();
        clickButton(dialog, QDialogButtonBox::Cancel);
    });
    QCOMPARE(dialogs.ShowFont(&owner), QString());
    QCOMPARE(parent, &owner);

    const QString nearest = QFontInfo(QFont(QStringLiteral("Times New Roman"))).family();
    QCOMPARE(family, nearest);
    QCOMPARE(QFontDatabase::weight(family, style), int(QFont::Normal));
    QVERIFY(!QFontDatabase::italic(family, style));
    QCOMPARE(size, QStringLiteral("12"));
    QVERIFY(!strike);
    QVERIFY(!underline);
}

void tst_ColourFontPrintDialogs::fontOffersSizes10To72Only()
{
    // A scalable face and whatever face comes last: the list follows the face.
    const QStringList families = QFontDatabase::families();
    QVERIFY(!families.isEmpty());
    for (const QString& family : {QStringLiteral("DejaVu Sans"), families.last()}) {
        FontDialog dialog(QFont(family, 12), 10, 72);
        QList<int> sizes;
        for (int i = 0; i < dialog.cboSize->count(); ++i)
            sizes << dialog.cboSize->itemText(i).toInt();
        QVERIFY2(!sizes.isEmpty(), qPrintable(family));
        for (int s : sizes)
            QVERIFY2(s >= 10 && s <= 72, qPrintable(family + u' ' + QString::number(s)));
        if (QFontDatabase::isSmoothlyScalable(dialog.cboFont->currentFont().family())) {
            QCOMPARE(sizes.first(), 10);
            QCOMPARE(sizes.last(), 72);
        }
    }
    // The size box takes no letters and no third digit.
    FontDialog dialog(QFont(QStringLiteral("DejaVu Sans"), 12), 10, 72);
    QLineEdit* edit = dialog.cboSize->lineEdit();
    edit->clear();
    QTest::keyClicks(edit, QStringLiteral("1x00"));
    QCOMPARE(edit->text(), QStringLiteral("10"));
}

void tst_ColourFontPrintDialogs::fontRefusesSizeOutsideLimits_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("accepted");
    QTest::newRow("empty") << QString() << false;
    QTest::newRow("below") << QStringLiteral("9") << false;
    QTest::newRow("zero") << QStringLiteral("0") << false;
    QTest::newRow("above") << QStringLiteral("73") << false;
    QTest::newRow("smallest") << QStringLiteral("10") << true;
    QTest::newRow("not listed") << QStringLiteral("13") << true;
    QTest::newRow("largest") << QStringLiteral("72") << true;
}

void tst_ColourFontPrintDialogs::fontRefusesSizeOutsideLimits()
{
    QFETCH(QString, typed);
    QFETCH(bool, accepted);
    clsCommonDialogs dialogs;
    QString message;
    bool stillOpen = false;
    answerNextModal([&](QWidget* modal) {
        auto* dialog = qobject_cast<FontDialog*>(modal);
        QVERIFY(dialog);
        QLineEdit* edit = dialog->cboSize->lineEdit();
        edit->clear();
        QTest::keyClicks(edit, typed);
        answerNextModal([&](QWidget* box) {
            if (auto* mb = qobject_cast<QMessageBox*>(box)) {
                message = mb->text();
                mb->button(QMessageBox::Ok)->click();
            }
        });
        QTest::keyClick(edit, Qt::Key_Return);
        stillOpen = dialog->isVisible();
        if (stillOpen)
            clickButton(dialog, QDialogButtonBox::Cancel);
    });
    const QString face = dialogs.ShowFont();
    QCoreApplication::processEvents(); // the message-box answer must not outlive this test
    QCOMPARE(face.isEmpty(), !accepted);
    QCOMPARE(stillOpen, !accepted);
    QCOMPARE(message, accepted ? QString() : QStringLiteral("Size must be between 10 and 72 points."));
}

void tst_ColourFontPrintDialogs::fontConfirmedGivesFaceName_data()
{
    QTest::addColumn<QString>("family");
    QTest::addColumn<QString>("expected");
    QTest::newRow("plain family") << QStringLiteral("DejaVu Sans Mono") << QStringLiteral("DejaVu Sans Mono");
    for (const QString& family : QFontDatabase::families()) {
        if (family.endsWith(u']')) {
            QTest::newRow("family named with its foundry") << family << family.left(family.lastIndexOf(u'[') - 1);
            break;
        }
    }
}

void tst_ColourFontPrintDialogs::fontConfirmedGivesFaceName()
{
    QFETCH(QString, family);
    QFETCH(QString, expected);
    clsCommonDialogs dialogs;
    answerNextModal([&](QWidget* modal) {
        auto* dialog = qobject_cast<FontDialog*>(modal);
        QVERIFY(dialog);
        const int index = dialog->cboFont->findText(family);
        QVERIFY2(index >= 0, qPrintable(family));
        dialog->cboFont->setCurrentIndex(index);
        // Style, size and effects are not part of the answer.
        dialog->cboStyle->setCurrentIndex(dialog->cboStyle->count() - 1);
        dialog->cboSize->setEditText(QStringLiteral("48"));
        dialog->chkUnderline->setChecked(true);
        clickButton(dialog, QDialogButtonBox::Ok);
    });
    const QString face = dialogs.ShowFont();
    QCOMPARE(face, expected);
    QVERIFY(QFontDatabase::hasFamily(face));
}

// ---- page setup ----

void tst_ColourFontPrintDialogs::pageSetupConfirmedAndCancelled()
{
    clsCommonDialogs dialogs;
    for (bool confirm : {true, false}) {
        answerNextModal([&](QWidget* modal) {
            QVERIFY(qobject_cast<QPageSetupDialog*>(modal));
            clickButton(modal, confirm ? QDialogButtonBox::Ok : QDialogButtonBox::Cancel);
        });
        QCOMPARE(dialogs.ShowPageSetupDlg(), confirm ? 0 : -1);
    }
}

void tst_ColourFontPrintDialogs::pageSetupLeavesNothingBehind()
{
    clsCommonDialogs dialogs;
    const PrinterSettings before = PrinterService::Instance().Settings();
    QList<QPageLayout::Orientation> opened;
    for (int round = 0; round < 2; ++round) {
        answerNextModal([&](QWidget* modal) {
            auto* dialog = qobject_cast<QPageSetupDialog*>(modal);
            QVERIFY(dialog);
            opened << dialog->printer()->pageLayout().orientation();
            auto* landscape = dialog->findChild<QRadioButton*>(QStringLiteral("landscape"));
            QVERIFY(landscape);
            landscape->click();
            clickButton(dialog, QDialogButtonBox::Ok);
        });
        QCOMPARE(dialogs.ShowPageSetupDlg(), 0);
    }
    QCOMPARE(opened, (QList<QPageLayout::Orientation>{QPageLayout::Portrait, QPageLayout::Portrait}));
    QCOMPARE(PrinterService::Instance().Settings().Orientation, before.Orientation);
}

// ---- print ----

void tst_ColourFontPrintDialogs::answerPrintDialog(const QString& file, std::function<void(QPrintDialog*)> change,
                                                   bool confirm)
{
    answerNextModal([=](QWidget* modal) {
        auto* dialog = qobject_cast<QPrintDialog*>(modal);
        QVERIFY(dialog);
        auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("filename"));
        QVERIFY(name);
        name->setText(file);
        if (change)
            change(dialog);
        clickButton(dialog, confirm ? QDialogButtonBox::Ok : QDialogButtonBox::Cancel);
    });
}

namespace {

void chooseCopiesAndGrey(QPrintDialog* dialog, int copies)
{
    auto* spin = dialog->findChild<QSpinBox*>(QStringLiteral("copies"));
    QVERIFY(spin);
    spin->setValue(copies);
    auto* grey = dialog->findChild<QRadioButton*>(QStringLiteral("grayscale"));
    QVERIFY(grey);
    grey->setChecked(true);
}

// Opens the printer's properties from the print dialog and picks landscape there.
void chooseLandscape(QPrintDialog* dialog)
{
    auto* properties = dialog->findChild<QPushButton*>(QStringLiteral("properties"));
    QVERIFY(properties);
    bool answered = false;
    answerNextModal([&](QWidget* modal) {
        auto* landscape = modal->findChild<QRadioButton*>(QStringLiteral("landscape"));
        QVERIFY(landscape);
        landscape->click();
        clickButton(modal, QDialogButtonBox::Ok);
        answered = true;
    });
    properties->click();
    QVERIFY(answered);
}

} // namespace

void tst_ColourFontPrintDialogs::printerCancelledLeavesPrinterAlone()
{
    clsCommonDialogs dialogs;
    QWidget owner;
    const PrinterSettings before = PrinterService::Instance().Settings();
    QWidget* parent = nullptr;
    answerPrintDialog(pdfPath(QStringLiteral("cancel.pdf")), [&](QPrintDialog* d) {
        parent = d->parentWidget();
        chooseCopiesAndGrey(d, 7);
        chooseLandscape(d);
    }, false);
    QCOMPARE(dialogs.ShowPrinter(&owner), -1);
    QCOMPARE(parent, &owner);

    const PrinterSettings after = PrinterService::Instance().Settings();
    QCOMPARE(after.DeviceName, before.DeviceName);
    QCOMPARE(after.Copies, before.Copies);
    QCOMPARE(after.ColourMode, before.ColourMode);
    QCOMPARE(after.Orientation, before.Orientation);
    QVERIFY(!QFileInfo::exists(pdfPath(QStringLiteral("cancel.pdf"))));
}

void tst_ColourFontPrintDialogs::printerConfirmedSetsChosenSettings()
{
    if (!QPrinterInfo::availablePrinterNames().isEmpty())
        QSKIP("Needs a machine without printers, where Qt's PDF printer is the current one");
    clsCommonDialogs dialogs;
    QWidget owner;
    answerPrintDialog(pdfPath(QStringLiteral("confirm.pdf")), [&](QPrintDialog* d) {
        chooseCopiesAndGrey(d, 3);
        chooseLandscape(d);
    }, true);
    QCOMPARE(dialogs.ShowPrinter(&owner), 0);

    const PrinterSettings after = PrinterService::Instance().Settings();
    QCOMPARE(after.DeviceName, QString());
    QCOMPARE(after.Copies, 3);
    QCOMPARE(after.ColourMode, QPrinter::GrayScale);
    QCOMPARE(after.Orientation, QPageLayout::Landscape);
    // Choosing a printer prints nothing.
    QVERIFY(!QFileInfo::exists(pdfPath(QStringLiteral("confirm.pdf"))));
}

void tst_ColourFontPrintDialogs::printerOpensOnCurrentPrinter()
{
    FakeServiceScope scope(std::make_unique<FakePrinterService>(QStringList{QStringLiteral("Office")}));
    PrinterSettings& office = scope.fake->printers[0].settings;
    office.Orientation = QPageLayout::Landscape;
    office.PaperSize = QPageSize(QPageSize::A5);
    office.Copies = 4;

    clsCommonDialogs dialogs;
    QPageLayout::Orientation orientation = QPageLayout::Portrait;
    QPageSize::PageSizeId size = QPageSize::A4;
    int copies = 0;
    answerPrintDialog(pdfPath(QStringLiteral("open.pdf")), [&](QPrintDialog* d) {
        orientation = d->printer()->pageLayout().orientation();
        size = d->printer()->pageLayout().pageSize().id();
        copies = d->findChild<QSpinBox*>(QStringLiteral("copies"))->value();
    }, false);
    QCOMPARE(dialogs.ShowPrinter(nullptr), -1);
    QCOMPARE(orientation, QPageLayout::Landscape);
    QCOMPARE(size, QPageSize::A5);
    // Copies are not handed to the dialog; it starts from the printer's default.
    QCOMPARE(copies, 1);
    QCOMPARE(scope.fake->setCalls, QList<PrinterSetting>());
    QCOMPARE(scope.fake->printers[0].settings.Copies, 4);
}

void tst_ColourFontPrintDialogs::printerReselectedThroughDialog()
{
    // "Office" is not a printer Qt knows, so the dialog offers the PDF printer, which
    // the user confirms: the PDF printer becomes current and gets the choices.
    FakeServiceScope scope(std::make_unique<FakePrinterService>(
        QStringList{QStringLiteral("Office"), QString(), QStringLiteral("Laser")}));
    scope.fake->printers[1].refused = {PrinterSetting::PaperSource};

    clsCommonDialogs dialogs;
    answerPrintDialog(pdfPath(QStringLiteral("reselect.pdf")), [&](QPrintDialog* d) {
        chooseCopiesAndGrey(d, 2);
        chooseLandscape(d);
    }, true);
    QCOMPARE(dialogs.ShowPrinter(nullptr), 0);

    QCOMPARE(scope.fake->madeCurrent, QList<int>{1});
    QCOMPARE(scope.fake->Current(), 1);
    QCOMPARE(scope.fake->setCalls, settingOrder);
    const PrinterSettings& pdf = scope.fake->printers[1].settings;
    QCOMPARE(pdf.Copies, 2);
    QCOMPARE(pdf.ColourMode, QPrinter::GrayScale);
    QCOMPARE(pdf.Orientation, QPageLayout::Landscape);
    QCOMPARE(pdf.PaperSource, QPrinter::OnlyOne);
    // The printer that was current keeps its settings.
    QCOMPARE(scope.fake->printers[0].settings.Copies, 1);
}

void tst_ColourFontPrintDialogs::printerFlags_data()
{
    using D = QAbstractPrintDialog;
    QTest::addColumn<int>("flags");
    QTest::addColumn<D::PrintDialogOptions>("on");
    QTest::addColumn<D::PrintDialogOptions>("off");
    QTest::addColumn<D::PrintRange>("range");
    QTest::addColumn<bool>("collate");

    QTest::newRow("none") << 0 << (D::PrintPageRange | D::PrintSelection | D::PrintCollateCopies | D::PrintToFile)
                          << D::PrintDialogOptions(D::PrintCurrentPage) << D::AllPages << false;
    QTest::newRow("selection") << PrintFlag::Selection << D::PrintDialogOptions(D::PrintSelection)
                               << D::PrintDialogOptions() << D::Selection << false;
    QTest::newRow("page numbers") << PrintFlag::PageNums << D::PrintDialogOptions(D::PrintPageRange)
                                  << D::PrintDialogOptions() << D::PageRange << false;
    QTest::newRow("no selection") << (PrintFlag::NoSelection | PrintFlag::Selection)
                                  << D::PrintDialogOptions(D::PrintPageRange)
                                  << D::PrintDialogOptions(D::PrintSelection) << D::AllPages << false;
    QTest::newRow("no page numbers") << (PrintFlag::NoPageNums | PrintFlag::PageNums)
                                     << D::PrintDialogOptions(D::PrintSelection)
                                     << D::PrintDialogOptions(D::PrintPageRange) << D::AllPages << false;
    QTest::newRow("current page") << PrintFlag::CurrentPage << D::PrintDialogOptions(D::PrintCurrentPage)
                                  << D::PrintDialogOptions() << D::CurrentPage << false;
    QTest::newRow("collate") << PrintFlag::Collate << D::PrintDialogOptions(D::PrintCollateCopies)
                             << D::PrintDialogOptions() << D::AllPages << true;
    if (QPrinterInfo::availablePrinterNames().isEmpty()) {
        QTest::newRow("hide print to file, no printers")
            << PrintFlag::HidePrintToFile << D::PrintDialogOptions(D::PrintToFile) << D::PrintDialogOptions()
            << D::AllPages << false;
    } else {
        QTest::newRow("hide print to file") << PrintFlag::HidePrintToFile << D::PrintDialogOptions()
                                            << D::PrintDialogOptions(D::PrintToFile) << D::AllPages << false;
    }
}

void tst_ColourFontPrintDialogs::printerFlags()
{
    using D = QAbstractPrintDialog;
    QFETCH(int, flags);
    QFETCH(D::PrintDialogOptions, on);
    QFETCH(D::PrintDialogOptions, off);
    QFETCH(D::PrintRange, range);
    QFETCH(bool, collate);
    clsCommonDialogs dialogs;
    D::PrintDialogOptions options;
    D::PrintRange opened = D::AllPages;
    bool collated = !collate;
    answerPrintDialog(pdfPath(QStringLiteral("flags.pdf")), [&](QPrintDialog* d) {
        options = d->options();
        opened = d->printRange();
        collated = d->printer()->collateCopies();
    }, false);
    QCOMPARE(dialogs.ShowPrinter(nullptr, flags), -1);
    QCOMPARE(options & on, on);
    QCOMPARE(options & off, D::PrintDialogOptions());
    QCOMPARE(opened, range);
    QCOMPARE(collated, collate);
}

void tst_ColourFontPrintDialogs::printerSetupFlagShowsPageSetup()
{
    FakeServiceScope scope(std::make_unique<FakePrinterService>(QStringList{QStringLiteral("Office")}));
    clsCommonDialogs dialogs;
    answerNextModal([&](QWidget* modal) {
        QVERIFY(qobject_cast<QPageSetupDialog*>(modal));
        modal->findChild<QRadioButton*>(QStringLiteral("landscape"))->click();
        clickButton(modal, QDialogButtonBox::Ok);
    });
    QCOMPARE(dialogs.ShowPrinter(nullptr, PrintFlag::PrintSetup), 0);
    QCOMPARE(scope.fake->printers[0].settings.Orientation, QPageLayout::Landscape);
}

void tst_ColourFontPrintDialogs::printerReturnDefaultIsRefused()
{
    FakeServiceScope scope(std::make_unique<FakePrinterService>(QStringList{QStringLiteral("Office")}));
    clsCommonDialogs dialogs;
    bool shown = false;
    answerNextModal([&](QWidget* modal) {
        shown = true;
        modal->close();
    });
    QCOMPARE(dialogs.ShowPrinter(nullptr, PrintFlag::ReturnDefault), -1);
    QCoreApplication::processEvents();
    QVERIFY(!shown);
    QCOMPARE(scope.fake->setCalls, QList<PrinterSetting>());
}

void tst_ColourFontPrintDialogs::printerChoice_data()
{
    QTest::addColumn<QStringList>("installed");
    QTest::addColumn<int>("current");
    QTest::addColumn<QString>("chosen");
    QTest::addColumn<QList<int>>("madeCurrent");
    QTest::addColumn<int>("currentAfter");

    const QString office = QStringLiteral("Office");
    const QString laser = QStringLiteral("LASER");
    QTest::newRow("another printer") << QStringList{office, laser} << 0 << QStringLiteral("laser")
                                     << QList<int>{1} << 1;
    QTest::newRow("same name in upper case stays") << QStringList{office, laser} << 1 << QStringLiteral("Laser")
                                                   << QList<int>{} << 1;
    QTest::newRow("same printer in mixed case is selected again")
        << QStringList{office, laser} << 0 << office << QList<int>{0} << 0;
    QTest::newRow("several matches, the last wins")
        << QStringList{QStringLiteral("laser"), office, laser} << 1 << laser << QList<int>{2} << 2;
    QTest::newRow("unknown printer keeps the current one") << QStringList{office, laser} << 0
                                                           << QStringLiteral("Gone") << QList<int>{} << 0;
    QTest::newRow("PDF printer") << QStringList{office, QString()} << 0 << QString() << QList<int>{1} << 1;
    QTest::newRow("long names are compared whole")
        << QStringList{QStringLiteral("Printer on the second floor, by the window"),
                       QStringLiteral("Printer on the second floor, by the stairs")}
        << 0 << QStringLiteral("printer on the second floor, by the stairs") << QList<int>{1} << 1;
}

void tst_ColourFontPrintDialogs::printerChoice()
{
    QFETCH(QStringList, installed);
    QFETCH(int, current);
    QFETCH(QString, chosen);
    QFETCH(QList<int>, madeCurrent);
    QFETCH(int, currentAfter);

    FakePrinterService service(installed, current);
    PrinterSettings choice;
    choice.DeviceName = chosen;
    choice.Copies = 5;
    choice.Orientation = QPageLayout::Landscape;
    ApplyPrinterChoice(service, choice);

    QCOMPARE(service.madeCurrent, madeCurrent);
    QCOMPARE(service.Current(), currentAfter);
    QCOMPARE(service.printers[currentAfter].settings.Copies, 5);
    QCOMPARE(service.printers[currentAfter].settings.Orientation, QPageLayout::Landscape);
}

void tst_ColourFontPrintDialogs::printerRefusedSettingsSkipped()
{
    FakePrinterService service({QStringLiteral("Office")});
    service.printers[0].refused = {PrinterSetting::Copies, PrinterSetting::PaperSize};
    service.throwsOn = PrinterSetting::Duplex;

    PrinterSettings choice;
    choice.DeviceName = QStringLiteral("OFFICE");
    choice.Copies = 9;
    choice.Duplex = QPrinter::DuplexShortSide;
    choice.Orientation = QPageLayout::Landscape;
    choice.PaperSize = QPageSize(QPageSize::Letter);
    choice.PrintQuality = 300;
    choice.ColourMode = QPrinter::GrayScale;
    choice.PaperSource = QPrinter::Manual;
    ApplyPrinterChoice(service, choice);

    QCOMPARE(service.setCalls, settingOrder);
    const PrinterSettings& s = service.printers[0].settings;
    QCOMPARE(s.Copies, 1);
    QCOMPARE(s.Duplex, QPrinter::DuplexNone);
    QCOMPARE(s.PaperSize.id(), QPageSize::A4);
    QCOMPARE(s.Orientation, QPageLayout::Landscape);
    QCOMPARE(s.PrintQuality, 300);
    QCOMPARE(s.ColourMode, QPrinter::GrayScale);
    QCOMPARE(s.PaperSource, QPrinter::Manual);
}

void tst_ColourFontPrintDialogs::systemServiceListsPdfPrinter()
{
    PrinterService& service = PrinterService::Instance();
    const QStringList installed = service.InstalledPrinters();
    QCOMPARE(installed.mid(0, installed.size() - 1), QPrinterInfo::availablePrinterNames());
    QCOMPARE(installed.last(), QString());

    service.MakeCurrent(int(installed.size() - 1));
    QCOMPARE(service.Settings().DeviceName, QString());
    QVERIFY(service.Set(PrinterSetting::Copies, [] { PrinterSettings s; s.Copies = 2; return s; }()));
    QCOMPARE(service.Settings().Copies, 2);
    // The PDF printer prints one-sided only.
    QVERIFY(!service.Set(PrinterSetting::Duplex, [] { PrinterSettings s; s.Duplex = QPrinter::DuplexLongSide; return s; }()));
    QCOMPARE(service.Settings().Duplex, QPrinter::DuplexNone);
    try {
        service.MakeCurrent(int(installed.size()));
        QFAIL("an index past the list was taken");
    } catch (const ZanvoError& e) {
        QCOMPARE(e.Number(), ErrorNumber::SubscriptOutOfRange);
    }
}

int main(int argc, char** argv)
{
    // Settings of our own, so that what this test finds in them is its own doing.
    QTemporaryDir config;
    QTemporaryDir pdfs;
    if (!config.isValid() || !pdfs.isValid())
        return 1;
    qputenv("XDG_CONFIG_HOME", config.path().toLocal8Bit());
    QApplication app(argc, argv);
    tst_ColourFontPrintDialogs test(pdfs.path());
    return QTest::qExec(&test, argc, argv);
}

#include "tst_ColourFontPrintDialogs.moc"
