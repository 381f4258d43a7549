// SPDX-License-Identifier: GPL-3.0-or-later
#include "FontDialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFontComboBox>
#include <QFontDatabase>
#include <QFontInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QIntValidator>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QVBoxLayout>

FontDialog::FontDialog(const QFont& initial, int minSize, int maxSize, QWidget* parent)
    : QDialog(parent), m_MinSize(minSize), m_MaxSize(maxSize)
{
    setWindowTitle(QStringLiteral("Font"));

    cboFont = new QFontComboBox(this);
    cboFont->setObjectName(QStringLiteral("cboFont"));
    // Not editable: a face that is not installed cannot be typed in.
    cboFont->setEditable(false);
    cboStyle = new QComboBox(this);
    cboStyle->setObjectName(QStringLiteral("cboStyle"));
    cboSize = new QComboBox(this);
    cboSize->setObjectName(QStringLiteral("cboSize"));
    cboSize->setEditable(true);
    cboSize->setInsertPolicy(QComboBox::NoInsert);
    cboSize->setValidator(new QIntValidator(minSize, maxSize, cboSize));

    auto* lblFont = new QLabel(QStringLiteral("&Font:"), this);
    lblFont->setBuddy(cboFont);
    auto* lblStyle = new QLabel(QStringLiteral("Font st&yle:"), this);
    lblStyle->setBuddy(cboStyle);
    auto* lblSize = new QLabel(QStringLiteral("&Size:"), this);
    lblSize->setBuddy(cboSize);

    auto* effects = new QGroupBox(QStringLiteral("Effects"), this);
    chkStrikeout = new QCheckBox(QStringLiteral("Stri&keout"), effects);
    chkStrikeout->setObjectName(QStringLiteral("chkStrikeout"));
    chkUnderline = new QCheckBox(QStringLiteral("&Underline"), effects);
    chkUnderline->setObjectName(QStringLiteral("chkUnderline"));
    auto* effectsLayout = new QVBoxLayout(effects);
    effectsLayout->addWidget(chkStrikeout);
    effectsLayout->addWidget(chkUnderline);

    auto* sample = new QGroupBox(QStringLiteral("Sample"), this);
    lblSample = new QLabel(QStringLiteral("AaBbYyZz"), sample);
    lblSample->setObjectName(QStringLiteral("lblSample"));
    lblSample->setAlignment(Qt::AlignCenter);
    // Room for the largest size, so the dialog does not jump while sizes change.
    lblSample->setMinimumSize(240, 100);
    auto* sampleLayout = new QVBoxLayout(sample);
    sampleLayout->addWidget(lblSample);

    buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &FontDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &FontDialog::reject);

    auto* grid = new QGridLayout(this);
    grid->addWidget(lblFont, 0, 0);
    grid->addWidget(lblStyle, 0, 1);
    grid->addWidget(lblSize, 0, 2);
    grid->addWidget(cboFont, 1, 0);
    grid->addWidget(cboStyle, 1, 1);
    grid->addWidget(cboSize, 1, 2);
    grid->addWidget(effects, 2, 0);
    grid->addWidget(sample, 2, 1, 1, 2);
    grid->addWidget(buttons, 3, 0, 1, 3);
    grid->setColumnStretch(0, 2);
    grid->setColumnStretch(1, 1);

    // The face fontconfig would draw for `initial`: the requested one when
    // installed, otherwise its nearest stand-in.
    const QFontInfo nearest(initial);
    cboFont->setCurrentFont(QFont(nearest.family()));
    FillStyles(nearest.styleName());
    FillSizes();
    cboSize->setEditText(QString::number(qBound(minSize, initial.pointSize(), maxSize)));
    chkStrikeout->setChecked(initial.strikeOut());
    chkUnderline->setChecked(initial.underline());

    connect(cboFont, &QFontComboBox::currentFontChanged, this, &FontDialog::cboFont_Change);
    connect(cboStyle, &QComboBox::currentIndexChanged, this, &FontDialog::cboStyle_Change);
    connect(cboSize, &QComboBox::currentTextChanged, this, &FontDialog::UpdateSample);
    connect(chkStrikeout, &QCheckBox::toggled, this, &FontDialog::UpdateSample);
    connect(chkUnderline, &QCheckBox::toggled, this, &FontDialog::UpdateSample);
    UpdateSample();
    cboFont->setFocus();
}

QString FontDialog::WithoutFoundry(const QString& family)
{
    const qsizetype open = family.lastIndexOf(QStringLiteral(" ["));
    if (open > 0 && family.endsWith(u']')) {
        const QString bare = family.left(open);
        if (QFontDatabase::hasFamily(bare))
            return bare;
    }
    return family;
}

QString FontDialog::FaceName() const
{
    return WithoutFoundry(cboFont->currentFont().family());
}

QFont FontDialog::SelectedFont() const
{
    const int size = ChosenSize();
    QFont font = QFontDatabase::font(cboFont->currentFont().family(), cboStyle->currentText(),
                                     size > 0 ? size : m_MinSize);
    font.setStrikeOut(chkStrikeout->isChecked());
    font.setUnderline(chkUnderline->isChecked());
    return font;
}

int FontDialog::ChosenSize() const
{
    bool ok = false;
    const int size = cboSize->currentText().trimmed().toInt(&ok);
    return ok && size >= m_MinSize && size <= m_MaxSize ? size : 0;
}

void FontDialog::accept()
{
    if (ChosenSize() == 0) {
        QMessageBox::warning(this, windowTitle(),
                             QStringLiteral("Size must be between %1 and %2 points.").arg(m_MinSize).arg(m_MaxSize));
        cboSize->setFocus();
        cboSize->lineEdit()->selectAll();
        return;
    }
    QDialog::accept();
}

void FontDialog::cboFont_Change()
{
    FillStyles(cboStyle->currentText());
    FillSizes();
    UpdateSample();
}

void FontDialog::cboStyle_Change()
{
    FillSizes();
    UpdateSample();
}

void FontDialog::FillStyles(const QString& preferred)
{
    const QString family = cboFont->currentFont().family();
    const QStringList styles = QFontDatabase::styles(family);
    const QSignalBlocker quiet(cboStyle);
    cboStyle->clear();
    cboStyle->addItems(styles);
    qsizetype index = styles.indexOf(preferred);
    if (index < 0)
        index = styles.indexOf(QFontInfo(QFont(family)).styleName());
    cboStyle->setCurrentIndex(index < 0 ? 0 : int(index));
}

void FontDialog::FillSizes()
{
    const QString family = cboFont->currentFont().family();
    const QString style = cboStyle->currentText();
    const QList<int> sizes = QFontDatabase::isSmoothlyScalable(family, style)
        ? QFontDatabase::standardSizes()
        : QFontDatabase::pointSizes(family, style);
    const QString typed = cboSize->currentText();
    const QSignalBlocker quiet(cboSize);
    cboSize->clear();
    for (int size : sizes) {
        if (size >= m_MinSize && size <= m_MaxSize)
            cboSize->addItem(QString::number(size));
    }
    cboSize->setEditText(typed);
}

void FontDialog::UpdateSample()
{
    lblSample->setFont(SelectedFont());
}
