// SPDX-License-Identifier: GPL-3.0-or-later
#include "dialogs/ErrorReport.h"
#include "app/ZanvoApplication.h"
#include "app/BoardView.h"
#include "app/frmMain.h"
#include "board/ZanvoError.h"
#include "controls/usrBoard.h"

#include "TestFiles.h"

#include <QAction>
#include <QDirIterator>
#include <QFileDialog>
#include <QSettings>
#include <QTemporaryDir>
#include <QFrame>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

#include <functional>

namespace {

// Runs `answer` on the next modal dialog, from the event loop it starts.
void answerNextModal(std::function<void(QWidget*)> answer)
{
    QTimer::singleShot(0, qApp, [answer = std::move(answer)] {
        QWidget* modal = QApplication::activeModalWidget();
        if (modal)
            answer(modal);
    });
}

struct MenuRow {
    QString caption;
    QString name;
    QKeySequence shortcut;
};

QString captionOf(QAction* a)
{
    return a->isSeparator() ? QStringLiteral("-") : a->text();
}

} // namespace

class tst_frmMain : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void windowAtCreation();
    void menuStructure_data();
    void menuStructure();
    void menuItemsEnabledAndUnchecked();
    void aboutBox();
    void shortcutsWinOverFocusedLineEdit_data();
    void shortcutsWinOverFocusedLineEdit();
    void shortcutsStayInTheirWindow();
    void boardsCreatedEmptyOnFirstUse();
    void exitClosesEveryWindow();
    void closeBoxClosesEveryWindow();
    void errorInCommandIsReported();
    void errorReachingDispatchIsReported();
    void errorMessageText_data();
    void errorMessageText();
    void noSettingsUnderHome();
};

void tst_frmMain::windowAtCreation()
{
    frmMain w;
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    QCOMPARE(w.windowTitle(), QStringLiteral("Zanvo"));
    QCOMPARE(w.centralWidget()->size(), QSize(568, 494));
    QCOMPARE(w.picContainer->pos(), QPoint(8, 8));
    QCOMPARE(w.picContainer->frameShadow(), QFrame::Sunken);
    QCOMPARE(w.vScroll->minimum(), 0);
    QCOMPARE(w.vScroll->singleStep(), 1);
    QCOMPARE(w.vScroll->pageStep(), 1);
    QCOMPARE(w.vScroll->value(), 0);
    QCOMPARE(w.picClient->Elements().size(), std::size_t(1));
    QVERIFY(w.picClient->Elements()[0]->isHidden());
    QVERIFY(w.OpenSave != nullptr);
}

void tst_frmMain::menuStructure_data()
{
    QTest::addColumn<QString>("menu");
    QTest::addColumn<QStringList>("captions");

    QTest::newRow("bar") << QString() << QStringList{QStringLiteral("&File"), QStringLiteral("&Boards"), QStringLiteral("&About")};
    QTest::newRow("file") << QStringLiteral("mnuFile")
                          << QStringList{QStringLiteral("&Open"), QStringLiteral("&Save as"), QStringLiteral("-"), QStringLiteral("&Exit")};
    QTest::newRow("boards") << QStringLiteral("mnuBoards")
                            << QStringList{QStringLiteral("&Add new"), QStringLiteral("Check"), QStringLiteral("-"), QStringLiteral("Clear all")};
    QTest::newRow("add new") << QStringLiteral("mnuAddNew") << QStringList{QStringLiteral("Empty"), QStringLiteral("Random")};
}

void tst_frmMain::menuStructure()
{
    QFETCH(QString, menu);
    QFETCH(QStringList, captions);
    frmMain w;
    QList<QAction*> actions;
    if (menu.isEmpty())
        actions = w.menuBar()->actions();
    else
        actions = w.findChild<QMenu*>(menu)->actions();
    QStringList got;
    for (QAction* a : actions)
        got << captionOf(a);
    QCOMPARE(got, captions);
}

void tst_frmMain::menuItemsEnabledAndUnchecked()
{
    frmMain w;
    const QList<QAction*> items{w.mnuOpen, w.mnuSave, w.mnuExit, w.mnuEmpty, w.mnuRandom, w.mnuCheck, w.mnuClearAll, w.mnuAbout};
    for (QAction* a : items) {
        QVERIFY2(a->isEnabled() && a->isVisible() && !a->isChecked(), qPrintable(a->objectName()));
    }
    QVERIFY(w.mnuAbout->menu() == nullptr);
    QCOMPARE(w.mnuEmpty->shortcut(), QKeySequence(QStringLiteral("Ctrl+E")));
    QCOMPARE(w.mnuRandom->shortcut(), QKeySequence(QStringLiteral("Ctrl+R")));
    QCOMPARE(w.mnuCheck->shortcut(), QKeySequence(QStringLiteral("Ctrl+C")));
    QVERIFY(w.mnuOpen->shortcut().isEmpty());
    QVERIFY(w.mnuClearAll->shortcut().isEmpty());
}

void tst_frmMain::aboutBox()
{
    QVERIFY(frmMain::AboutText().endsWith(QStringLiteral(", version 2.0.0")));
    QVERIFY(frmMain::AboutText().startsWith(QStringLiteral("Made by ")));

    frmMain w;
    w.show();
    QString text, title;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    int buttons = 0;
    answerNextModal([&](QWidget* modal) {
        auto* box = qobject_cast<QMessageBox*>(modal);
        QVERIFY(box);
        text = box->text();
        title = box->windowTitle();
        icon = box->icon();
        buttons = int(box->buttons().size());
        box->button(QMessageBox::Ok)->click();
    });
    w.mnuAbout->trigger();
    QCOMPARE(text, frmMain::AboutText());
    QCOMPARE(title, QStringLiteral("Zanvo"));
    QCOMPARE(icon, QMessageBox::Information);
    QCOMPARE(buttons, 1);
}

void tst_frmMain::shortcutsWinOverFocusedLineEdit_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<QString>("action");
    QTest::newRow("Ctrl+E") << int(Qt::Key_E) << QStringLiteral("mnuEmpty");
    QTest::newRow("Ctrl+R") << int(Qt::Key_R) << QStringLiteral("mnuRandom");
    QTest::newRow("Ctrl+C") << int(Qt::Key_C) << QStringLiteral("mnuCheck");
}

void tst_frmMain::shortcutsWinOverFocusedLineEdit()
{
    QFETCH(int, key);
    QFETCH(QString, action);
    frmMain w;
    auto* edit = new QLineEdit(static_cast<QWidget*>(w.picClient));
    edit->setText(QStringLiteral("12"));
    edit->selectAll();
    edit->show();
    w.show();
    QApplication::setActiveWindow(&w);
    edit->setFocus();
    QVERIFY(QTest::qWaitForWindowActive(&w));
    QVERIFY(edit->hasFocus());
    QSignalSpy spy(w.findChild<QAction*>(action), &QAction::triggered);
    QTest::keyClick(edit, Qt::Key(key), Qt::ControlModifier);
    QCOMPARE(spy.count(), 1);
    QCOMPARE(edit->text(), QStringLiteral("12"));
}

void tst_frmMain::shortcutsStayInTheirWindow()
{
    // A line edit in another window keeps its own Ctrl+C.
    frmMain w;
    w.show();
    QLineEdit other;
    other.show();
    QApplication::setActiveWindow(&other);
    other.setFocus();
    QVERIFY(QTest::qWaitForWindowActive(&other));
    QSignalSpy spy(w.mnuCheck, &QAction::triggered);
    QTest::keyClick(&other, Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(spy.count(), 0);
}

void tst_frmMain::boardsCreatedEmptyOnFirstUse()
{
    frmMain w;
    const BoardsRef& boards = w.Boards();
    QVERIFY(boards != nullptr);
    QCOMPARE(boards->Count(), 0);
    QCOMPARE(w.Boards().get(), boards.get()); // the same object on every use
    w.SetBoards(nullptr);
    QVERIFY(w.Boards() != nullptr);
}

void tst_frmMain::exitClosesEveryWindow()
{
    frmMain w;
    w.show();
    QWidget tool(nullptr, Qt::Tool);
    tool.show();
    QWidget hiddenTool(nullptr, Qt::Tool);
    QVERIFY(QTest::qWaitForWindowExposed(&tool));
    w.mnuExit->trigger();
    QVERIFY(!w.isVisible());
    QVERIFY(!tool.isVisible());
}

void tst_frmMain::closeBoxClosesEveryWindow()
{
    frmMain w;
    w.show();
    QWidget tool(nullptr, Qt::Tool);
    tool.show();
    QVERIFY(w.close());
    QVERIFY(!w.isVisible());
    QVERIFY(!tool.isVisible());
}

void tst_frmMain::errorInCommandIsReported()
{
    frmMain w;
    w.show();
    w.Boards()->Add(std::make_shared<clsBoard>());
    auto* failing = w.mnuBoards->addAction(QStringLiteral("fails"));
    connect(failing, &QAction::triggered, &w, Guarded([](bool) { throw ZanvoError::Overflow(); }));
    QString text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    answerNextModal([&](QWidget* modal) {
        auto* box = qobject_cast<QMessageBox*>(modal);
        QVERIFY(box);
        text = box->text();
        icon = box->icon();
        box->button(QMessageBox::Ok)->click();
    });
    failing->trigger();
    QVERIFY2(text.startsWith(QStringLiteral("A count or number grew past")), qPrintable(text));
    QVERIFY2(text.endsWith(QStringLiteral("Error 6")), qPrintable(text));
    QCOMPARE(icon, QMessageBox::Critical);
    QVERIFY(w.isVisible());
    QCOMPARE(w.Boards()->Count(), 1);
}

// An object whose event handler raises, standing for any handler not wrapped.
class Raiser : public QObject {
public:
    bool event(QEvent* e) override
    {
        if (e->type() == QEvent::User)
            throw ZanvoError::SubscriptOutOfRange();
        return QObject::event(e);
    }
};

void tst_frmMain::errorReachingDispatchIsReported()
{
    Raiser raiser;
    QString text;
    answerNextModal([&](QWidget* modal) {
        auto* box = qobject_cast<QMessageBox*>(modal);
        QVERIFY(box);
        text = box->text();
        box->button(QMessageBox::Ok)->click();
    });
    QEvent e(QEvent::User);
    QCoreApplication::sendEvent(&raiser, &e);
    QVERIFY2(text.contains(QStringLiteral("subscript out of range")), qPrintable(text));
    QVERIFY2(text.endsWith(QStringLiteral("Error 9")), qPrintable(text));
}

void tst_frmMain::errorMessageText_data()
{
    QTest::addColumn<int>("number");
    QTest::addColumn<QString>("expected");
    QTest::newRow("overflow") << 6
                              << QStringLiteral("A count or number grew past the largest value it can hold (overflow).\n\nError 6");
    QTest::newRow("subscript")
        << 9 << QStringLiteral("A position outside the list was asked for (subscript out of range).\n\nError 9");
}

void tst_frmMain::errorMessageText()
{
    QFETCH(int, number);
    QFETCH(QString, expected);
    const ZanvoError error = number == 6 ? ZanvoError::Overflow() : ZanvoError::SubscriptOutOfRange();
    QCOMPARE(ErrorMessageText(std::make_exception_ptr(error)), expected);
}

namespace {

// Every file under `folder` with its bytes.
QMap<QString, QByteArray> filesUnder(const QString& folder)
{
    QMap<QString, QByteArray> out;
    QDirIterator it(folder, QDir::Files | QDir::Hidden | QDir::System, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString file = it.next();
        QFile f(file);
        out.insert(file, f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<unreadable>"));
    }
    return out;
}

} // namespace

// The file dialogs neither write to the user's Qt settings nor start from what
// other Qt programs left there.
void tst_frmMain::noSettingsUnderHome()
{
    const QString home = qEnvironmentVariable("HOME");
    const QString seeded = home + QStringLiteral("/.config/QtProject.conf");
    QVERIFY(QDir(home).mkpath(QStringLiteral(".config")));
    WriteBytes(seeded, "[FileDialog]\nhistory=file:///seeded/by/another/program\nviewMode=Detail\n");
    const QMap<QString, QByteArray> before = filesUnder(home);

    frmMain w;
    w.show();
    QStringList history;
    for (QAction* command : {w.mnuOpen, w.mnuSave}) {
        answerNextModal([&](QWidget* modal) {
            auto* dialog = qobject_cast<QFileDialog*>(modal);
            QVERIFY(dialog);
            history += dialog->history();
            dialog->reject();
        });
        command->trigger();
    }
    QVERIFY2(!history.contains(QStringLiteral("/seeded/by/another/program")), qPrintable(history.join(u',')));
    QCOMPARE(filesUnder(home), before);
    QVERIFY(!QSettings(QSettings::UserScope, QStringLiteral("QtProject")).fileName().startsWith(home));
}

int main(int argc, char** argv)
{
    // A home of its own with no XDG folders set, as a user's session has.
    QTemporaryDir home;
    if (!home.isValid())
        return 1;
    qputenv("HOME", QFile::encodeName(home.path()));
    for (const char* name : {"XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_CACHE_HOME", "XDG_STATE_HOME"})
        qunsetenv(name);
    ZanvoApplication app(argc, argv);
    tst_frmMain test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_frmMain.moc"
