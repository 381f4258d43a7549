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
#include <QItemSelectionModel>
#include <QListWidget>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QShortcut>
#include <QStyle>
#include <QToolButton>
#include <QWindow>

#include <QtGui/qguiapplication_platform.h>

#include <algorithm>
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

bool onWayland()
{
    return QGuiApplication::platformName().startsWith(QLatin1String("wayland"));
}

// Qt draws the frames itself where the compositor offers none (weston, GNOME), and its
// frames offer to minimise and maximise any window. The main window, shown before the
// dialog ever is, tells which kind of compositor this is.
bool qtDrawsFrames()
{
    if (!onWayland())
        return false;
    const QWindowList windows = QGuiApplication::topLevelWindows();
    return std::any_of(windows.cbegin(), windows.cend(),
                       [](const QWindow* w) { return w->isVisible() && w->frameMargins().top() > 0; });
}

// The dialog's own title bar: its title and a close box. Dragging it moves the window.
class OwnTitleBar : public QWidget {
public:
    explicit OwnTitleBar(QWidget* dialog) : QWidget(dialog)
    {
        setObjectName(QStringLiteral("titleBar"));
        const int height = fontMetrics().height() + 10;
        setGeometry(0, 0, dialog->width(), height);
        auto* closeBox = new QToolButton(this);
        closeBox->setObjectName(QStringLiteral("closeBox"));
        closeBox->setIcon(style()->standardIcon(QStyle::SP_TitleBarCloseButton, nullptr, this));
        closeBox->setAutoRaise(true);
        closeBox->setFocusPolicy(Qt::NoFocus); // Escape closes from the keyboard
        closeBox->setAccessibleName(QStringLiteral("Close"));
        closeBox->setGeometry(width() - height, 0, height, height);
        connect(closeBox, &QToolButton::clicked, dialog, &QWidget::close);
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        const bool active = isActiveWindow();
        painter.fillRect(rect(), palette().color(QPalette::Window).darker(active ? 115 : 105));
        painter.setPen(palette().color(active ? QPalette::Active : QPalette::Disabled, QPalette::WindowText));
        const QRect text = rect().adjusted(8, 0, -height(), 0);
        painter.drawText(text, Qt::AlignVCenter | Qt::AlignLeft,
                         fontMetrics().elidedText(window()->windowTitle(), Qt::ElideRight, text.width()));
    }

    void mousePressEvent(QMouseEvent* event) override
    {
        if (event->button() == Qt::LeftButton && window()->windowHandle())
            window()->windowHandle()->startSystemMove();
    }

    bool event(QEvent* event) override
    {
        if (event->type() == QEvent::WindowActivate || event->type() == QEvent::WindowDeactivate)
            update();
        return QWidget::event(event);
    }
};

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
    lstNumbers->installEventFilter(this);

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
    if (!m_titleBar && !isVisible() && qtDrawsFrames())
        UseOwnTitleBar();
    // Neither sway (which only marks the window urgent) nor weston (which has no such
    // request) gives the keyboard to a mapped window that asks for it, and a minimised
    // one comes back only through the compositor. Both give it to a window they map, so
    // the dialog is mapped anew; Qt hands over the activation token of the key or
    // click that asked, for the compositors that want one.
    if (onWayland() && isVisible() && !isActiveWindow())
        hide();
    setWindowState((windowState() & ~(Qt::WindowMinimized | Qt::WindowMaximized)) | Qt::WindowActive);
    show();
    raise();
    activateWindow();
}

void frmCheck::UseOwnTitleBar()
{
    if (m_titleBar)
        return;
    m_titleBar = new OwnTitleBar(this);
    const int height = m_titleBar->height();
    for (QWidget* child : findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
        if (child != m_titleBar)
            child->move(child->x(), child->y() + height);
    setFixedSize(width(), this->height() + height);
    // Without the hints for a title bar of its own, which Qt would let win over this.
    setWindowFlags(Qt::Tool | Qt::FramelessWindowHint);
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
    // A number field, so that on-screen keyboards open their number layout.
    const QString answer = QInputDialog::getText(this, QStringLiteral("Adding"), QStringLiteral("Write the number to add."),
                                                 QLineEdit::Normal, QString(), &ok, Qt::WindowFlags(),
                                                 Qt::ImhFormattedNumbersOnly | Qt::ImhNoPredictiveText);
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

bool frmCheck::eventFilter(QObject* watched, QEvent* event)
{
    // A screen reader takes the list's current row for the focused object, in a
    // hidden or inactive dialog too; the row is current only while the list has the
    // keyboard. The selection, which Delete removes, stays.
    if (watched == lstNumbers && (event->type() == QEvent::FocusIn || event->type() == QEvent::FocusOut)) {
        QItemSelectionModel* rows = lstNumbers->selectionModel();
        const QModelIndexList selected = rows->selectedIndexes();
        if (event->type() == QEvent::FocusOut)
            rows->setCurrentIndex(QModelIndex(), QItemSelectionModel::NoUpdate);
        else if (!selected.isEmpty())
            rows->setCurrentIndex(selected.first(), QItemSelectionModel::NoUpdate);
    }
    return QWidget::eventFilter(watched, event);
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

void frmCheck::paintEvent(QPaintEvent* event)
{
    QWidget::paintEvent(event);
    if (!m_titleBar)
        return;
    QPainter painter(this); // a frameless window still needs an edge
    painter.setPen(palette().color(QPalette::Mid));
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
}

void frmCheck::showEvent(QShowEvent* event)
{
    // Whatever happened while hidden, the rows show Numbers when the dialog reappears.
    UpdateList(*lstNumbers, Numbers);
    QWidget::showEvent(event);
}
