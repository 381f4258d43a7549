// SPDX-License-Identifier: GPL-3.0-or-later
#include "frmMain.h"

#include "BoardLayout.h"
#include "BoardView.h"
#include "dialogs/ErrorReport.h"
#include "check/frmCheck.h"
#include "dialogs/clsCommonDialogs.h"

#include "zanvo_version.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QFrame>
#include <QKeyEvent>
#include <QMenuBar>
#include <QMessageBox>
#include <QScrollBar>

#include <algorithm>

namespace {

// Client area of the window at creation, in pixels.
constexpr int InitialClientWidth = 568;
constexpr int InitialClientHeight = 494;

bool isMenuShortcut(const QKeyEvent* key)
{
    if (key->modifiers() != Qt::ControlModifier)
        return false;
    return key->key() == Qt::Key_E || key->key() == Qt::Key_R || key->key() == Qt::Key_C;
}

} // namespace

frmMain::frmMain(QWidget* parent) : QMainWindow(parent)
{
    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(QStringLiteral("Zanvo"));
    buildMenus();
    buildBoardView();
    Form_Initialize();
    resize(InitialClientWidth, InitialClientHeight + menuBar()->sizeHint().height());
    // Cells are line edits, which claim Ctrl+C (and under X11 Ctrl+E) for themselves;
    // the filter hands those keys back to the menu.
    qApp->installEventFilter(this);
}

frmMain::~frmMain()
{
    qApp->removeEventFilter(this);
    delete m_check; // a window of its own, so no parent deletes it
}

void frmMain::Form_Initialize()
{
    InitCommonControls();
    prepareOpenSave();
}

void frmMain::InitCommonControls()
{
    // Qt's widgets, the list view included, need no preparation.
}

void frmMain::buildMenus()
{
    auto addItem = [this](QMenu* menu, const QString& caption, const char* name, void (frmMain::*handler)()) {
        QAction* action = menu->addAction(caption);
        action->setObjectName(QString::fromLatin1(name));
        connect(action, &QAction::triggered, this, Guarded([this, handler](bool) { (this->*handler)(); }));
        return action;
    };

    mnuFile = menuBar()->addMenu(QStringLiteral("&File"));
    mnuFile->setObjectName(QStringLiteral("mnuFile"));
    mnuOpen = addItem(mnuFile, QStringLiteral("&Open"), "mnuOpen", &frmMain::mnuOpen_Click);
    mnuSave = addItem(mnuFile, QStringLiteral("&Save as"), "mnuSave", &frmMain::mnuSave_Click);
    mnuFile->addSeparator()->setObjectName(QStringLiteral("mnuLine"));
    mnuExit = addItem(mnuFile, QStringLiteral("&Exit"), "mnuExit", &frmMain::mnuExit_Click);

    mnuBoards = menuBar()->addMenu(QStringLiteral("&Boards"));
    mnuBoards->setObjectName(QStringLiteral("mnuBoards"));
    mnuAddNew = mnuBoards->addMenu(QStringLiteral("&Add new"));
    mnuAddNew->setObjectName(QStringLiteral("mnuAddNew"));
    mnuEmpty = addItem(mnuAddNew, QStringLiteral("Empty"), "mnuEmpty", &frmMain::mnuEmpty_Click);
    mnuEmpty->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_E));
    mnuRandom = addItem(mnuAddNew, QStringLiteral("Random"), "mnuRandom", &frmMain::mnuRandom_Click);
    mnuRandom->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_R));
    mnuCheck = addItem(mnuBoards, QStringLiteral("Check"), "mnuCheck", &frmMain::mnuCheck_Click);
    mnuCheck->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_C));
    mnuBoards->addSeparator()->setObjectName(QStringLiteral("mnuLine2"));
    mnuClearAll = addItem(mnuBoards, QStringLiteral("Clear all"), "mnuClearAll", &frmMain::mnuClearAll_Click);

    // A top-level item without a submenu: choosing it on the bar runs it at once.
    mnuAbout = menuBar()->addAction(QStringLiteral("&About"));
    mnuAbout->setObjectName(QStringLiteral("mnuAbout"));
    connect(mnuAbout, &QAction::triggered, this, Guarded([this](bool) { mnuAbout_Click(); }));
}

void frmMain::buildBoardView()
{
    auto* client = new QWidget(this);
    client->setObjectName(QStringLiteral("client"));
    setCentralWidget(client); // its resizes, seen by the application filter, drive the layout

    picContainer = new QFrame(client);
    picContainer->setObjectName(QStringLiteral("picContainer"));
    picContainer->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    picContainer->setLineWidth(2);
    picContainer->setGeometry(8, 8, 553, 425);

    // Children measure from inside the border, as the board view's arithmetic expects.
    picClient = new BoardView(picContainer);
    picClient->setGeometry(picContainer->contentsRect());
    vScroll = picClient->ScrollBar();
    connect(picClient, &BoardView::Scrolled, this, Guarded([this] { vScroll_Change(); }));
    connect(picClient, &BoardView::DeleteRequested, this, Guarded([this](int Index) { usrBoard_DeleteBoard(Index); }));
}

const BoardsRef& frmMain::Boards()
{
    if (!m_Boards)
        m_Boards = std::make_shared<clsBoardCollection>();
    return m_Boards;
}

void frmMain::SetBoards(BoardsRef boards)
{
    m_Boards = std::move(boards);
}

QString frmMain::AboutText()
{
    return QStringLiteral("Made by %1, version %2.%3.%4")
        .arg(QStringLiteral(ZANVO_MAKER))
        .arg(ZANVO_VERSION_MAJOR)
        .arg(ZANVO_VERSION_MINOR)
        .arg(ZANVO_VERSION_PATCH);
}

void frmMain::mnuAbout_Click()
{
    QMessageBox::information(this, QStringLiteral("Zanvo"), AboutText());
}

void frmMain::mnuExit_Click()
{
    close();
}

void frmMain::closeEvent(QCloseEvent* event)
{
    // Unloading the main window unloads every window; nothing is asked or saved.
    const auto windows = QApplication::topLevelWidgets();
    for (QWidget* window : windows) {
        if (window != this && window->isVisible())
            window->close();
    }
    event->accept();
    QCoreApplication::quit();
}

bool frmMain::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::ShortcutOverride) {
        auto* key = static_cast<QKeyEvent*>(event);
        auto* widget = qobject_cast<QWidget*>(watched);
        if (widget && widget->window() == this && isMenuShortcut(key)) {
            key->ignore(); // the widget does not want it, so the menu shortcut fires
            return true;
        }
    } else if (event->type() == QEvent::Resize && watched == centralWidget()) {
        Guarded([this] { Form_Resize(); })();
    }
    return QMainWindow::eventFilter(watched, event);
}
