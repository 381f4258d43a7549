#include "frmMain.h"

void frmMain::mnuEmpty_Click()
{
}

void frmMain::mnuRandom_Click()
{
}

void frmMain::mnuClearAll_Click()
{
}

void frmMain::usrBoard_DeleteBoard(int)
{
}
