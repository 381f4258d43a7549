#include "frmMain.h"

void frmMain::UpdateControls()
{
}

void frmMain::Form_Resize()
{
}

void frmMain::vScroll_Change()
{
    UpdateControls();
}

void frmMain::vScroll_Scroll()
{
    vScroll_Change();
}
