#include "frmMain.h"

#include "dialogs/clsCommonDialogs.h"

void frmMain::prepareOpenSave()
{
    if (!OpenSave)
        OpenSave = std::make_unique<clsCommonDialogs>();
}

void frmMain::mnuOpen_Click()
{
}

void frmMain::mnuSave_Click()
{
}

void frmMain::OpenFile(const QString&)
{
}

void frmMain::SaveFile(const QString&)
{
}
