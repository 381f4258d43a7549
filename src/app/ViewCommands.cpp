// SPDX-License-Identifier: GPL-3.0-or-later
#include "frmMain.h"

#include "BoardView.h"

#include <QFrame>
#include <QScrollBar>

void frmMain::Form_Resize()
{
    const QSize inner = centralWidget()->size();
    // A minimized or tiny window would give the container or the bar a negative size;
    // the layout stays as it was until the window is usable again.
    if (inner.width() < 16 || inner.height() < 16 + 4)
        return;
    picContainer->resize(inner.width() - 16, inner.height() - 16);
    picClient->setGeometry(picContainer->contentsRect());
    vScroll->setGeometry(picContainer->width() - vScroll->width() - 4, vScroll->y(), vScroll->width(),
                         picContainer->height() - 4);
    UpdateControls();
}

void frmMain::vScroll_Change()
{
    UpdateControls();
}

void frmMain::vScroll_Scroll()
{
    vScroll_Change();
}

// Rebuilds the board view; nothing is drawn until control returns to the event loop,
// so no half-built grid is ever seen.
void frmMain::UpdateControls()
{
    picClient->Refresh(Boards(), picContainer->size());
    Q_EMIT ControlsUpdated();
}
