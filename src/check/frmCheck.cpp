// SPDX-License-Identifier: GPL-3.0-or-later
#include "frmCheck.h"

#include "MatchCheck.h"
#include "board/NumberReading.h"
#include "board/ZanvoError.h"
#include "dialogs/ErrorReport.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QGuiApplication>
#include <QInputDialog>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QShortcut>

#include <QtGui/qguiapplication_platform.h>

#include <array>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <xcb/xcb.h>

namespace {

// The dialog's layout is drawn in twips; the screen works in pixels.
constexpr int TwipsPerPixel = 15;

constexpr int px(int twips)
{
    return twips / TwipsPerPixel;
}

QRect twipsRect(int left, int top, int width, int height)
{
    return {px(left), px(top), px(width), px(height)};
}

QPushButton* makeButton(QWidget* parent, const QString& caption, const char* name, const QRect& geometry)
{
    auto* button = new QPushButton(caption, parent); // "&X" gives the Alt+X access key
    button->setObjectName(QString::fromLatin1(name));
    button->setGeometry(geometry);
    return button;
}

xcb_atom_t atomNamed(xcb_connection_t* connection, const char* name)
{
    const xcb_intern_atom_cookie_t cookie
        = xcb_intern_atom(connection, 0, static_cast<std::uint16_t>(std::strlen(name)), name);
    xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(connection, cookie, nullptr);
    const xcb_atom_t atom = reply ? reply->atom : xcb_atom_t{XCB_ATOM_NONE};
    std::free(reply);
    return atom;
}

// Some window managers (openbox) take a window's buttons from its type alone and
// offer to minimise a utility window, which then has no task-bar entry to come
// back from. A torn-off toolbar is the type that keeps a title bar and close box
// without minimise or maximise; utility follows for managers that do not know it.
void offerCloseOnly(QWidget* window)
{
    auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    xcb_connection_t* connection = x11 != nullptr ? x11->connection() : nullptr;
    if (QGuiApplication::platformName() != QStringLiteral("xcb") || connection == nullptr)
        return; // offscreen, Wayland: the window flags say it all
    const std::array<xcb_atom_t, 2> types{atomNamed(connection, "_NET_WM_WINDOW_TYPE_TOOLBAR"),
                                          atomNamed(connection, "_NET_WM_WINDOW_TYPE_UTILITY")};
    const xcb_atom_t property = atomNamed(connection, "_NET_WM_WINDOW_TYPE");
    if (property == XCB_ATOM_NONE || types[0] == XCB_ATOM_NONE || types[1] == XCB_ATOM_NONE)
        return;
    xcb_change_property(connection, XCB_PROP_MODE_REPLACE, static_cast<xcb_window_t>(window->winId()), property,
                        XCB_ATOM_ATOM, 32, types.size(), types.data());
    xcb_flush(connection);
}

// Qt presents a plain top-level widget to screen readers as a filler; this window is
// a dialog.
QAccessibleInterface* checkDialogAccessible(const QString& className, QObject* object)
{
    if (className != QLatin1String("frmCheck") || !object || !object->isWidgetType())
        return nullptr;
    return new QAccessibleWidget(static_cast<QWidget*>(object), QAccessible::Dialog);
}

} // namespace

frmCheck::frmCheck(std::function<BoardsRef()> boards, std::function<void()> boardsChecked)
    : QWidget(nullptr,
              Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint
                  | Qt::MSWindowsFixedSizeDialogHint),
      m_boards(std::move(boards)), m_boardsChecked(std::move(boardsChecked))
{
    setObjectName(QStringLiteral("frmCheck"));
    setWindowTitle(QStringLiteral("Select numbers to check"));
    setFixedSize(px(6300), px(2730));
    static const bool accessibleAsDialog = [] {
        QAccessible::installFactory(checkDialogAccessible);
        return true;
    }();
    Q_UNUSED(accessibleAsDialog)
    setAccessibleName(windowTitle());

    lstNumbers = new QListWidget(this);
    lstNumbers->setObjectName(QStringLiteral("lstNumbers"));
    lstNumbers->setGeometry(twipsRect(120, 120, 6015, 1815));
    // Row k stands for entry k - 1 of Numbers, so the list is never sorted, dragged
    // or edited in place.
    lstNumbers->setSortingEnabled(false);
    lstNumbers->setSelectionMode(QAbstractItemView::SingleSelection);
    lstNumbers->setEditTriggers(QAbstractItemView::NoEditTriggers);
    lstNumbers->setDragDropMode(QAbstractItemView::NoDragDrop);
    lstNumbers->setAccessibleName(QStringLiteral("Drawn numbers"));

    cmdAdd = makeButton(this, QStringLiteral("&Add"), "cmdAdd", twipsRect(1200, 2160, 1215, 375));
    cmdDelete = makeButton(this, QStringLiteral("&Delete"), "cmdDelete", twipsRect(2520, 2160, 1215, 375));
    cmdCheck = makeButton(this, QStringLiteral("&Check"), "cmdCheck", twipsRect(3840, 2160, 1215, 375));
    setTabOrder(lstNumbers, cmdAdd);
    setTabOrder(cmdAdd, cmdDelete);
    setTabOrder(cmdDelete, cmdCheck);

    offerCloseOnly(this);

    connect(cmdAdd, &QPushButton::clicked, this, Guarded(this, [this](bool) { cmdAdd_Click(); }));
    connect(cmdDelete, &QPushButton::clicked, this, Guarded(this, [this](bool) { cmdDelete_Click(); }));
    connect(cmdCheck, &QPushButton::clicked, this, Guarded(this, [this](bool) { cmdCheck_Click(); }));
    // The Delete key in the list does what the "&Delete" button does.
    auto* deleteKey = new QShortcut(QKeySequence::Delete, lstNumbers);
    deleteKey->setContext(Qt::WidgetShortcut);
    connect(deleteKey, &QShortcut::activated, this, Guarded(this, [this] { cmdDelete_Click(); }));
}

void frmCheck::ShowRestored()
{
    setWindowState((windowState() & ~(Qt::WindowMinimized | Qt::WindowMaximized)) | Qt::WindowActive);
    show();
    raise();
    activateWindow();
}

BoardsRef frmCheck::Boards() const
{
    return m_boards ? m_boards() : std::make_shared<clsBoardCollection>();
}

void frmCheck::UpdateList(QListWidget& refListview, const clsBoard& refBoard)
{
    refListview.clear();
    const std::int32_t last = refBoard.NumberCount();
    for (std::int32_t i = 0; i <= last; ++i)
        refListview.addItem(QString::number(refBoard.Numbers(i)));
}

namespace {

// The dialog has no owner, so when a box of its own closes the window manager may
// give the focus to the main window; the keys (Alt+A again) belong here.
class ActiveAgainAfterwards {
public:
    explicit ActiveAgainAfterwards(QWidget* dialog) : m_dialog(dialog) {}
    ~ActiveAgainAfterwards()
    {
        if (m_dialog->isVisible()) {
            m_dialog->raise();
            m_dialog->activateWindow();
        }
    }
    ActiveAgainAfterwards(const ActiveAgainAfterwards&) = delete;
    ActiveAgainAfterwards& operator=(const ActiveAgainAfterwards&) = delete;

private:
    QWidget* m_dialog;
};

} // namespace

void frmCheck::cmdAdd_Click()
{
    const ActiveAgainAfterwards keepKeys(this);
    // A cancelled box adds nothing; an empty answer given with OK reads as 0.
    bool ok = false;
    const QString answer = QInputDialog::getText(this, QStringLiteral("Adding"), QStringLiteral("Write the number to add."),
                                                 QLineEdit::Normal, QString(), &ok);
    if (!ok)
        return;

    const std::optional<std::int32_t> value = ReadNumberInRange(answer.toStdString());
    if (!value) {
        QMessageBox::critical(this, QStringLiteral("Adding"),
                              QStringLiteral("The number must lie between %1 and %2.")
                                  .arg(std::numeric_limits<std::int32_t>::min())
                                  .arg(std::numeric_limits<std::int32_t>::max()));
        return;
    }

    std::int32_t endLoc = -1;
    if (Numbers.FindNumber(*value, 0, endLoc) >= 0) {
        QMessageBox::critical(this, QStringLiteral("Collision"), QStringLiteral("The number already exists"));
        return;
    }
    Numbers.AppendNumber(*value, 0);
    UpdateList(*lstNumbers, Numbers);
    lstNumbers->scrollToBottom(); // the new number is the last row
}

void frmCheck::cmdDelete_Click()
{
    const QList<QListWidgetItem*> selected = lstNumbers->selectedItems();
    if (selected.isEmpty())
        return;
    Numbers.RemoveNumber(lstNumbers->row(selected.first()));
    UpdateList(*lstNumbers, Numbers);
}

void frmCheck::cmdCheck_Click()
{
    CheckBoards(*Boards(), Numbers);
    if (m_boardsChecked)
        m_boardsChecked();
    hide();
}

void frmCheck::keyPressEvent(QKeyEvent* event)
{
    // Escape puts the dialog away as its close box does, numbers kept.
    if (event->key() == Qt::Key_Escape && (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier) {
        close();
        return;
    }
    QWidget::keyPressEvent(event);
}

void frmCheck::showEvent(QShowEvent* event)
{
    // Whatever happened while hidden, the rows show Numbers when the dialog reappears.
    UpdateList(*lstNumbers, Numbers);
    QWidget::showEvent(event);
}
