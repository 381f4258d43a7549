// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>
#include <QFont>
#include <QString>

class QCheckBox;
class QComboBox;
class QDialogButtonBox;
class QFontComboBox;
class QLabel;

// A font dialog whose sizes stay within limits, which QFontDialog cannot promise
// (its size box takes anything from 1 to 512). Only installed faces can be picked.
class FontDialog : public QDialog {
    Q_OBJECT

public:
    // Opens on the installed face nearest to `initial`, in its style and size.
    FontDialog(const QFont& initial, int minSize, int maxSize, QWidget* parent = nullptr);

    // The chosen face as its fonts name it, without the " [foundry]" Qt adds to tell
    // two foundries' families of the same name apart.
    QString FaceName() const;
    // Face, style, size and effects as shown in the sample.
    QFont SelectedFont() const;

    static QString WithoutFoundry(const QString& family);

    QFontComboBox* cboFont = nullptr;
    QComboBox* cboStyle = nullptr;
    QComboBox* cboSize = nullptr;
    QCheckBox* chkStrikeout = nullptr;
    QCheckBox* chkUnderline = nullptr;
    QLabel* lblSample = nullptr;
    QDialogButtonBox* buttons = nullptr;

public Q_SLOTS:
    // Refuses a size outside the limits with a message and keeps the dialog open.
    void accept() override;

private:
    void cboFont_Change();
    void cboStyle_Change();
    void FillStyles(const QString& preferred);
    void FillSizes();
    void UpdateSample();
    // The typed size, or 0 when it is no whole number within the limits.
    int ChosenSize() const;

    int m_MinSize;
    int m_MaxSize;
};
