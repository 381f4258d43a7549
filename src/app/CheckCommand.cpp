#include "frmMain.h"

void frmMain::mnuCheck_Click()
{
}
