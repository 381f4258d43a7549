// SPDX-License-Identifier: GPL-3.0-or-later
#include "frmMain.h"

#include "check/frmCheck.h"

void frmMain::mnuCheck_Click()
{
    // One dialog for the program's life; it reads this window's boards when it checks,
    // so nothing needs handing over here.
    if (!m_check)
        m_check = new frmCheck([this] { return Boards(); }, [this] { UpdateControls(); });
    m_check->ShowRestored();
}
