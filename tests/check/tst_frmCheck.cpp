// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/ZanvoApplication.h"
#include "app/BoardView.h"
#include "app/frmMain.h"
#include "board/RandomBoard.h"
#include "check/frmCheck.h"

#include <QAccessible>
#include <QAction>
#include <QInputDialog>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <functional>
#include <limits>
#include <memory>
#include <optional>

namespace {

constexpr int Int32Min = std::numeric_limits<std::int32_t>::min();
constexpr int Int32Max = std::numeric_limits<std::int32_t>::max();

// What the modal boxes of one command showed.
struct Seen {
    int inputs = 0;
    QString inputTitle;
    QString inputLabel;
    QString inputDefault;
    Qt::InputMethodHints inputHints;
    QStringList boxTitles;
    QStringList boxTexts;
    QList<QMessageBox::Icon> boxIcons;
    QList<QWidget*> boxParents;
    qsizetype boxButtons = 0;
};

// Answers every modal box that comes up while it lives: the input box with `answer`
// (Cancel when there is none), a message box with its OK button. Polling instead of
// a single shot keeps a sequence of boxes answerable and a test from hanging.
class ModalResponder : public QObject {
public:
    ModalResponder(std::optional<QString> answer, Seen& seen) : m_answer(std::move(answer)), m_seen(seen)
    {
        connect(&m_timer, &QTimer::timeout, this, [this] { poll(); });
        m_timer.start(5);
    }

private:
    void poll()
    {
        QWidget* modal = QApplication::activeModalWidget();
        if (auto* input = qobject_cast<QInputDialog*>(modal)) {
            if (!input->isVisible())
                return;
            ++m_seen.inputs;
            m_seen.inputTitle = input->windowTitle();
            m_seen.inputLabel = input->labelText();
            m_seen.inputDefault = input->textValue();
            m_seen.inputHints = input->inputMethodHints();
            if (m_answer) {
                input->setTextValue(*m_answer);
                input->accept();
            } else {
                input->reject();
            }
        } else if (auto* box = qobject_cast<QMessageBox*>(modal)) {
            if (!box->isVisible())
                return;
            m_seen.boxTitles << box->windowTitle();
            m_seen.boxTexts << box->text();
            m_seen.boxIcons << box->icon();
            m_seen.boxParents << box->parentWidget();
            m_seen.boxButtons = box->buttons().size();
            if (QAbstractButton* ok = box->button(QMessageBox::Ok))
                ok->click();
            else
                box->reject();
        }
    }

    std::optional<QString> m_answer;
    Seen& m_seen;
    QTimer m_timer;
};

// Presses "&Add" and answers the input box; nullopt stands for Cancel.
Seen add(frmCheck* dialog, std::optional<QString> answer)
{
    Seen seen;
    ModalResponder responder(std::move(answer), seen);
    QTest::mouseClick(dialog->cmdAdd, Qt::LeftButton);
    return seen;
}

QStringList rowsOf(const QListWidget* list)
{
    QStringList rows;
    for (int i = 0; i < list->count(); ++i)
        rows << list->item(i)->text();
    return rows;
}

QList<int> numbersOf(const clsBoard& b)
{
    QList<int> out;
    for (int i = 0; i <= b.NumberCount(); ++i)
        out << b.Numbers(i);
    return out;
}

QList<int> greensOf(const clsBoard& b)
{
    QList<int> out;
    for (int i = 0; i <= b.NumberCount(); ++i) {
        if (b.zanvo(i) == CellGreen)
            out << i;
        else if (b.zanvo(i) != CellWhite)
            out << -1000 - i; // neither colour
    }
    return out;
}

std::shared_ptr<clsBoard> boardOf(const QList<int>& numbers)
{
    auto b = std::make_shared<clsBoard>();
    for (int n : numbers)
        b->AppendNumber(n, CellGreen); // leftover marks that a check must clear
    return b;
}

std::shared_ptr<clsBoard> emptyBoard()
{
    auto b = std::make_shared<clsBoard>();
    b->AllocateNumbers(24);
    return b;
}

// The offscreen platform leaves no window active once a modal box has closed, where a
// desktop hands the focus back; access keys need their window active.
bool activate(QWidget* window)
{
    QApplication::setActiveWindow(window);
    return QTest::qWaitForWindowActive(window);
}

void selectRow(QListWidget* list, int row)
{
    list->setCurrentRow(row, QItemSelectionModel::ClearAndSelect);
}

// A main window with the check dialog opened from its menu.
struct Fixture {
    frmMain main;
    frmCheck* dialog = nullptr;

    Fixture()
    {
        main.show();
        main.mnuCheck->trigger();
        dialog = main.CheckDialog();
    }
};

} // namespace

using DialogAction = std::function<void(frmCheck*)>;
Q_DECLARE_METATYPE(DialogAction)

class tst_frmCheck : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void opensModelessToolWindow();
    void layout_data();
    void layout();
    void oneInstanceForTheProgram();
    void addReadsTheAnswer_data();
    void addReadsTheAnswer();
    void addOutOfRangeLeavesNumbers_data();
    void addOutOfRangeLeavesNumbers();
    void cancelAddsNothing();
    void duplicateAfterRounding();
    void listKeepsOrderThroughDeletes();
    void deleteWithoutSelectionDoesNothing();
    void updateListShowsPlainDecimal();
    void accessKeys();
    void closeBoxHidesAndKeepsNumbers_data();
    void closeBoxHidesAndKeepsNumbers();
    void checkBringsDialogBack_data();
    void checkBringsDialogBack();
    void addScrollsToNewRow();
    void checkColoursBoards();
    void checkWithNothingToDo();
    void checkColoursBoardsOutOfView();
    void checkFollowsReplacedList();
    void ctrlCFromFocusedCellOpensDialog();
    void closingMainClosesDialog();
};

void tst_frmCheck::opensModelessToolWindow()
{
    Fixture f;
    QVERIFY(f.dialog);
    QVERIFY(QTest::qWaitForWindowExposed(f.dialog));
    QCOMPARE(f.dialog->windowTitle(), QStringLiteral("Select numbers to check"));
    QVERIFY(f.dialog->isWindow());
    QVERIFY(f.dialog->parentWidget() == nullptr); // no owner window
    QCOMPARE(f.dialog->windowType(), Qt::Tool);
    const Qt::WindowFlags flags = f.dialog->windowFlags();
    QVERIFY(flags.testFlag(Qt::WindowCloseButtonHint));
    QVERIFY(!flags.testFlag(Qt::WindowMinimizeButtonHint));
    QVERIFY(!flags.testFlag(Qt::WindowMaximizeButtonHint));
    QVERIFY(!f.dialog->isModal());
    QVERIFY(QApplication::activeModalWidget() == nullptr); // the main window stays usable
    QVERIFY(f.main.isEnabled());
    QCOMPARE(f.dialog->size(), QSize(420, 182));
    QCOMPARE(f.dialog->minimumSize(), QSize(420, 182));
    QCOMPARE(f.dialog->maximumSize(), QSize(420, 182));
    QCOMPARE(f.dialog->lstNumbers->count(), 0);
    QCOMPARE(f.dialog->Numbers.NumberCount(), -1);
    // What a screen reader is told: a dialog of that name, holding a named list.
    QCOMPARE(QAccessible::queryAccessibleInterface(f.dialog)->role(), QAccessible::Dialog);
    QCOMPARE(QAccessible::queryAccessibleInterface(f.dialog)->text(QAccessible::Name), f.dialog->windowTitle());
    QCOMPARE(QAccessible::queryAccessibleInterface(f.dialog->lstNumbers)->text(QAccessible::Name), QStringLiteral("Drawn numbers"));
}

void tst_frmCheck::layout_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QRect>("geometry");
    QTest::addColumn<QString>("next"); // the control Tab moves to

    QTest::newRow("lstNumbers") << QStringLiteral("lstNumbers") << QString() << QRect(8, 8, 401, 121) << QStringLiteral("cmdAdd");
    QTest::newRow("cmdAdd") << QStringLiteral("cmdAdd") << QStringLiteral("&Add") << QRect(80, 144, 81, 25) << QStringLiteral("cmdDelete");
    QTest::newRow("cmdDelete") << QStringLiteral("cmdDelete") << QStringLiteral("&Delete") << QRect(168, 144, 81, 25) << QStringLiteral("cmdCheck");
    QTest::newRow("cmdCheck") << QStringLiteral("cmdCheck") << QStringLiteral("&Check") << QRect(256, 144, 81, 25) << QStringLiteral("lstNumbers");
}

void tst_frmCheck::layout()
{
    QFETCH(QString, name);
    QFETCH(QString, caption);
    QFETCH(QRect, geometry);
    QFETCH(QString, next);

    Fixture f;
    auto* control = f.dialog->findChild<QWidget*>(name);
    QVERIFY(control);
    QCOMPARE(control->geometry(), geometry);
    if (auto* button = qobject_cast<QPushButton*>(control))
        QCOMPARE(button->text(), caption);
    else
        QVERIFY(qobject_cast<QListWidget*>(control));
    QWidget* after = control->nextInFocusChain();
    while (after && after->focusPolicy() == Qt::NoFocus)
        after = after->nextInFocusChain();
    QVERIFY(after);
    QCOMPARE(after->objectName(), next);
}

void tst_frmCheck::oneInstanceForTheProgram()
{
    Fixture f;
    f.dialog->Numbers.AppendNumber(5, 0);
    f.main.mnuCheck->trigger();
    QCOMPARE(f.main.CheckDialog(), f.dialog);
    int dialogs = 0;
    for (QWidget* w : QApplication::topLevelWidgets())
        dialogs += qobject_cast<frmCheck*>(w) ? 1 : 0;
    QCOMPARE(dialogs, 1);
    QCOMPARE(numbersOf(f.dialog->Numbers), QList<int>{5});
}

void tst_frmCheck::addReadsTheAnswer_data()
{
    QTest::addColumn<QString>("answer");
    QTest::addColumn<int>("number");

    QTest::newRow("plain") << QStringLiteral("7") << 7;
    QTest::newRow("leading blanks") << QStringLiteral("   7") << 7;
    QTest::newRow("leading tab") << QStringLiteral("\t9") << 9;
    QTest::newRow("trailing letters") << QStringLiteral("12abc") << 12;
    QTest::newRow("letters only") << QStringLiteral("abc") << 0;
    QTest::newRow("empty") << QString() << 0;
    QTest::newRow("minus") << QStringLiteral("-4") << -4;
    QTest::newRow("plus") << QStringLiteral("+5") << 5;
    QTest::newRow("half to even down") << QStringLiteral("2.5") << 2;
    QTest::newRow("half to even up") << QStringLiteral("3.5") << 4;
    QTest::newRow("negative half") << QStringLiteral("-2.5") << -2;
    QTest::newRow("fraction rounds up") << QStringLiteral("6.51") << 7;
    QTest::newRow("exponent") << QStringLiteral("1e3") << 1000;
    QTest::newRow("beyond board numbers") << QStringLiteral("120") << 120;
    QTest::newRow("minus one") << QStringLiteral("-1") << -1;
    QTest::newRow("largest") << QStringLiteral("2147483647") << Int32Max;
    QTest::newRow("smallest") << QStringLiteral("-2147483648") << Int32Min;
    QTest::newRow("half below the top") << QStringLiteral("2147483646.5") << 2147483646;
}

void tst_frmCheck::addReadsTheAnswer()
{
    QFETCH(QString, answer);
    QFETCH(int, number);

    Fixture f;
    const Seen seen = add(f.dialog, answer);
    QCOMPARE(seen.inputs, 1);
    QCOMPARE(seen.inputTitle, QStringLiteral("Adding"));
    QCOMPARE(seen.inputLabel, QStringLiteral("Write the number to add."));
    QVERIFY(seen.inputDefault.isEmpty());
    QCOMPARE(seen.inputHints, Qt::ImhFormattedNumbersOnly | Qt::ImhNoPredictiveText); // number keypads
    QCOMPARE(seen.boxTexts, QStringList{});
    QCOMPARE(numbersOf(f.dialog->Numbers), QList<int>{number});
    QCOMPARE(f.dialog->Numbers.zanvo(0), 0);
    QCOMPARE(rowsOf(f.dialog->lstNumbers), QStringList{QString::number(number)});
}

void tst_frmCheck::addOutOfRangeLeavesNumbers_data()
{
    QTest::addColumn<QString>("answer");
    QTest::newRow("one past the top") << QStringLiteral("2147483648");
    QTest::newRow("one past the bottom") << QStringLiteral("-2147483649");
    QTest::newRow("rounds past the top") << QStringLiteral("2147483647.5");
    QTest::newRow("huge exponent") << QStringLiteral("1e400");
    QTest::newRow("many digits") << QString(40, QLatin1Char('9'));
}

void tst_frmCheck::addOutOfRangeLeavesNumbers()
{
    QFETCH(QString, answer);

    Fixture f;
    add(f.dialog, QStringLiteral("3"));
    const Seen seen = add(f.dialog, answer);
    QCOMPARE(seen.boxTexts.size(), 1);
    QVERIFY2(seen.boxTexts[0].contains(QStringLiteral("2147483647")), qPrintable(seen.boxTexts[0]));
    QCOMPARE(seen.boxTitles[0], QStringLiteral("Adding"));
    QCOMPARE(seen.boxParents, QList<QWidget*>{f.dialog});
    QCOMPARE(numbersOf(f.dialog->Numbers), QList<int>{3});
    QCOMPARE(rowsOf(f.dialog->lstNumbers), QStringList{QStringLiteral("3")});
    QVERIFY(f.dialog->isVisible());
}

void tst_frmCheck::cancelAddsNothing()
{
    Fixture f;
    Seen first = add(f.dialog, std::nullopt);
    QCOMPARE(first.inputs, 1);
    QCOMPARE(first.boxTexts, QStringList{});
    QCOMPARE(numbersOf(f.dialog->Numbers), QList<int>{});
    QCOMPARE(f.dialog->lstNumbers->count(), 0);

    // An empty answer confirmed with OK is 0, and a second one collides with it.
    add(f.dialog, QString());
    QCOMPARE(numbersOf(f.dialog->Numbers), QList<int>{0});
    Seen second = add(f.dialog, QString());
    QCOMPARE(second.boxTexts, QStringList{QStringLiteral("The number already exists")});
    QCOMPARE(second.boxTitles, QStringList{QStringLiteral("Collision")});
    QCOMPARE(second.boxIcons, QList<QMessageBox::Icon>{QMessageBox::Critical});
    QCOMPARE(second.boxButtons, 1);
    QCOMPARE(second.boxParents, QList<QWidget*>{f.dialog}); // stands over the dialog
    QCOMPARE(numbersOf(f.dialog->Numbers), QList<int>{0});
    QCOMPARE(rowsOf(f.dialog->lstNumbers), QStringList{QStringLiteral("0")});
}

void tst_frmCheck::duplicateAfterRounding()
{
    Fixture f;
    add(f.dialog, QStringLiteral("12"));
    add(f.dialog, QStringLiteral("-3"));
    const Seen seen = add(f.dialog, QStringLiteral(" 12.4xyz"));
    QCOMPARE(seen.boxTitles, QStringList{QStringLiteral("Collision")});
    QCOMPARE(numbersOf(f.dialog->Numbers), (QList<int>{12, -3}));
    QCOMPARE(rowsOf(f.dialog->lstNumbers), (QStringList{QStringLiteral("12"), QStringLiteral("-3")}));
}

void tst_frmCheck::listKeepsOrderThroughDeletes()
{
    Fixture f;
    for (const QString& n : {QStringLiteral("12"), QStringLiteral("3"), QStringLiteral("45")})
        add(f.dialog, n);
    QCOMPARE(rowsOf(f.dialog->lstNumbers), (QStringList{QStringLiteral("12"), QStringLiteral("3"), QStringLiteral("45")}));

    selectRow(f.dialog->lstNumbers, 1);
    QTest::mouseClick(f.dialog->cmdDelete, Qt::LeftButton);
    QCOMPARE(rowsOf(f.dialog->lstNumbers), (QStringList{QStringLiteral("12"), QStringLiteral("45")}));
    QCOMPARE(numbersOf(f.dialog->Numbers), (QList<int>{12, 45}));

    add(f.dialog, QStringLiteral("3")); // deleted numbers may come back, at the end
    QCOMPARE(numbersOf(f.dialog->Numbers), (QList<int>{12, 45, 3}));

    // The Delete key in the list does what the button does.
    QVERIFY(activate(f.dialog));
    f.dialog->lstNumbers->setFocus();
    selectRow(f.dialog->lstNumbers, 2);
    QTest::keyClick(f.dialog->lstNumbers, Qt::Key_Delete);
    QCOMPARE(numbersOf(f.dialog->Numbers), (QList<int>{12, 45}));
    selectRow(f.dialog->lstNumbers, 0);
    QTest::mouseClick(f.dialog->cmdDelete, Qt::LeftButton);
    QCOMPARE(numbersOf(f.dialog->Numbers), QList<int>{45});
    selectRow(f.dialog->lstNumbers, 0);
    QTest::mouseClick(f.dialog->cmdDelete, Qt::LeftButton);
    QCOMPARE(f.dialog->lstNumbers->count(), 0);
    QCOMPARE(f.dialog->Numbers.NumberCount(), -1);
}

void tst_frmCheck::deleteWithoutSelectionDoesNothing()
{
    Fixture f;
    add(f.dialog, QStringLiteral("8"));
    add(f.dialog, QStringLiteral("9"));
    // A current row that is not selected is no selection either.
    f.dialog->lstNumbers->setCurrentRow(1, QItemSelectionModel::NoUpdate);
    f.dialog->lstNumbers->clearSelection();
    Seen seen;
    {
        ModalResponder responder(std::nullopt, seen);
        QTest::mouseClick(f.dialog->cmdDelete, Qt::LeftButton);
    }
    QCOMPARE(seen.boxTexts, QStringList{});
    QCOMPARE(numbersOf(f.dialog->Numbers), (QList<int>{8, 9}));
    QCOMPARE(f.dialog->lstNumbers->count(), 2);
}

void tst_frmCheck::updateListShowsPlainDecimal()
{
    QListWidget list;
    list.addItem(QStringLiteral("stale"));
    clsBoard b;
    for (int n : {-5, 0, 7, Int32Max, Int32Min, 100})
        b.AppendNumber(n, 0);
    frmCheck::UpdateList(list, b);
    QCOMPARE(rowsOf(&list), (QStringList{QStringLiteral("-5"), QStringLiteral("0"), QStringLiteral("7"), QStringLiteral("2147483647"),
                                         QStringLiteral("-2147483648"), QStringLiteral("100")}));
    frmCheck::UpdateList(list, clsBoard());
    QCOMPARE(list.count(), 0);
}

void tst_frmCheck::accessKeys()
{
    Fixture f;
    f.main.Boards()->Add(boardOf({1, 4, 6}));
    QVERIFY(activate(f.dialog));

    // An access key presses its button with a short animation, so the click comes
    // from the event loop a little later.
    Seen seen;
    {
        ModalResponder responder(QStringLiteral("4"), seen);
        QTest::keyClick(f.dialog->lstNumbers, Qt::Key_A, Qt::AltModifier);
        QTRY_COMPARE(numbersOf(f.dialog->Numbers), QList<int>{4});
    }
    QCOMPARE(seen.inputs, 1);
    QVERIFY(activate(f.dialog));
    {
        ModalResponder responder(QStringLiteral("6"), seen);
        QTest::keyClick(f.dialog->lstNumbers, Qt::Key_A, Qt::AltModifier);
        QTRY_COMPARE(numbersOf(f.dialog->Numbers), (QList<int>{4, 6}));
    }

    QVERIFY(activate(f.dialog));
    selectRow(f.dialog->lstNumbers, 0);
    QTest::keyClick(f.dialog->lstNumbers, Qt::Key_D, Qt::AltModifier);
    QTRY_COMPARE(numbersOf(f.dialog->Numbers), QList<int>{6});

    QTest::keyClick(f.dialog->lstNumbers, Qt::Key_C, Qt::AltModifier);
    QTRY_VERIFY(!f.dialog->isVisible());
    QCOMPARE(greensOf(*f.main.Boards()->Item(1)), QList<int>{2});
}

void tst_frmCheck::closeBoxHidesAndKeepsNumbers_data()
{
    QTest::addColumn<DialogAction>("putAway");
    QTest::newRow("close box") << DialogAction([](frmCheck* d) { QVERIFY(d->close()); });
    QTest::newRow("Escape") << DialogAction([](frmCheck* d) { QTest::keyClick(d->lstNumbers, Qt::Key_Escape); });
    QTest::newRow("own title bar") << DialogAction([](frmCheck* d) {
        d->UseOwnTitleBar(); // as where Qt would draw the frame itself
        d->show();
        const QList<QAbstractButton*> boxes = d->TitleBar()->findChildren<QAbstractButton*>();
        QCOMPARE(boxes.size(), 1); // a close box, nothing to minimise or maximise with
        QVERIFY(d->windowFlags().testFlag(Qt::FramelessWindowHint));
        boxes.first()->click();
    });
}

void tst_frmCheck::closeBoxHidesAndKeepsNumbers()
{
    QFETCH(DialogAction, putAway);
    Fixture f;
    add(f.dialog, QStringLiteral("12"));
    add(f.dialog, QStringLiteral("3"));
    QPointer<frmCheck> guard(f.dialog);
    putAway(f.dialog);
    QVERIFY(guard);
    QVERIFY(!f.dialog->isVisible());
    QVERIFY(f.main.isVisible()); // the program goes on

    f.main.mnuCheck->trigger();
    QCOMPARE(f.main.CheckDialog(), f.dialog);
    QVERIFY(f.dialog->isVisible());
    QCOMPARE(rowsOf(f.dialog->lstNumbers), (QStringList{QStringLiteral("12"), QStringLiteral("3")}));
    QCOMPARE(numbersOf(f.dialog->Numbers), (QList<int>{12, 3}));
}

void tst_frmCheck::checkBringsDialogBack_data()
{
    QTest::addColumn<DialogAction>("leave");
    QTest::newRow("minimised") << DialogAction([](frmCheck* d) { d->showMinimized(); });
    QTest::newRow("hidden by Check") << DialogAction([](frmCheck* d) { d->cmdCheck->click(); });
    QTest::newRow("behind the main window") << DialogAction([](frmCheck*) {});
    QTest::newRow("maximised by the system") << DialogAction([](frmCheck* d) { d->setWindowState(Qt::WindowMaximized); });
}

// Whatever state it was left in, "Check" gives the dialog back: shown, restored,
// raised and active, still a tool window of its own.
void tst_frmCheck::checkBringsDialogBack()
{
    QFETCH(DialogAction, leave);
    Fixture f;
    QVERIFY(QTest::qWaitForWindowExposed(f.dialog));
    leave(f.dialog);
    f.main.raise();
    f.main.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&f.main));

    f.main.mnuCheck->trigger();
    QVERIFY(f.dialog->isVisible());
    QCOMPARE(f.dialog->windowState() & (Qt::WindowMinimized | Qt::WindowMaximized), Qt::WindowStates());
    QTRY_COMPARE(QApplication::activeWindow(), f.dialog);
    QCOMPARE(QApplication::topLevelAt(f.dialog->geometry().center()), f.dialog);
    QCOMPARE(f.dialog->windowType(), Qt::Tool);
    QVERIFY(f.dialog->parentWidget() == nullptr);
}

void tst_frmCheck::addScrollsToNewRow()
{
    Fixture f;
    for (int n = 1; n <= 20; ++n)
        add(f.dialog, QString::number(n));
    QListWidget* list = f.dialog->lstNumbers;
    QCOMPARE(list->count(), 20);
    const QRect last = list->visualItemRect(list->item(19));
    QVERIFY2(list->viewport()->rect().contains(last),
             qPrintable(QStringLiteral("last row at y %1, view %2 high").arg(last.y()).arg(list->viewport()->height())));
}

void tst_frmCheck::checkColoursBoards()
{
    Fixture f;
    auto twice = boardOf({5, 7, 1, 7, 9});
    auto zeros = emptyBoard();
    auto miss = boardOf({2, 3, 4});
    f.main.Boards()->Add(twice);
    f.main.Boards()->Add(zeros);
    f.main.Boards()->Add(miss);
    add(f.dialog, QStringLiteral("7"));
    add(f.dialog, QString()); // 0
    add(f.dialog, QStringLiteral("9"));

    QTest::mouseClick(f.dialog->cmdCheck, Qt::LeftButton);

    QCOMPARE(greensOf(*twice), (QList<int>{1, 4})); // the second 7 stays white
    QCOMPARE(greensOf(*zeros), QList<int>{0});      // only the first of 25 zeros
    QCOMPARE(greensOf(*miss), QList<int>{});
    QCOMPARE(numbersOf(*twice), (QList<int>{5, 7, 1, 7, 9}));
    QCOMPARE(f.main.Boards()->Count(), 3);
    QVERIFY(!f.dialog->isVisible());

    // The drawn numbers are still there at the next opening; the same check again
    // gives the same colours.
    f.main.mnuCheck->trigger();
    QCOMPARE(rowsOf(f.dialog->lstNumbers), (QStringList{QStringLiteral("7"), QStringLiteral("0"), QStringLiteral("9")}));
    QTest::mouseClick(f.dialog->cmdCheck, Qt::LeftButton);
    QCOMPARE(greensOf(*twice), (QList<int>{1, 4}));

    // A drawn number deleted: its cells turn back to white.
    f.main.mnuCheck->trigger();
    selectRow(f.dialog->lstNumbers, 0); // 7
    QTest::mouseClick(f.dialog->cmdDelete, Qt::LeftButton);
    QTest::mouseClick(f.dialog->cmdCheck, Qt::LeftButton);
    QCOMPARE(greensOf(*twice), QList<int>{4});
    QCOMPARE(greensOf(*zeros), QList<int>{0});
}

void tst_frmCheck::checkWithNothingToDo()
{
    // No drawn numbers: every cell white, the dialog hides.
    Fixture f;
    auto board = boardOf({1, 2, 3});
    f.main.Boards()->Add(board);
    QTest::mouseClick(f.dialog->cmdCheck, Qt::LeftButton);
    QCOMPARE(greensOf(*board), QList<int>{});
    QVERIFY(!f.dialog->isVisible());

    // No boards: the dialog still hides.
    Fixture g;
    add(g.dialog, QStringLiteral("1"));
    QTest::mouseClick(g.dialog->cmdCheck, Qt::LeftButton);
    QVERIFY(!g.dialog->isVisible());
    QCOMPARE(g.main.Boards()->Count(), 0);
    QCOMPARE(numbersOf(g.dialog->Numbers), QList<int>{1});
}

void tst_frmCheck::checkColoursBoardsOutOfView()
{
    Fixture f;
    const UniformSource uniform = SeededUniform(4711);
    for (int i = 0; i < 40; ++i) // far more than one screen of boards
        f.main.Boards()->Add(MakeRandomBoard(uniform));
    for (const QString& n : {QStringLiteral("3"), QStringLiteral("17"), QStringLiteral("42"), QStringLiteral("64"), QStringLiteral("88"),
                             QStringLiteral("99")})
        add(f.dialog, n);

    QTest::mouseClick(f.dialog->cmdCheck, Qt::LeftButton);

    const QList<int> drawn{3, 17, 42, 64, 88, 99};
    int greens = 0;
    for (const auto& board : *f.main.Boards()) {
        for (int i = 0; i <= board->NumberCount(); ++i) {
            const bool hit = drawn.contains(board->Numbers(i));
            QCOMPARE(board->zanvo(i), hit ? CellGreen : CellWhite);
            greens += hit ? 1 : 0;
        }
    }
    QVERIFY(greens > 0); // the seed gives hits, so both colours were checked
}

void tst_frmCheck::checkFollowsReplacedList()
{
    Fixture f;
    auto old = boardOf({1, 2, 3});
    f.main.Boards()->Add(old);
    std::weak_ptr<clsBoardCollection> oldList = f.main.Boards();
    add(f.dialog, QStringLiteral("2"));

    // "Clear all" or "Open" while the dialog stays open puts a new list in place.
    auto fresh = boardOf({2, 5});
    auto list = std::make_shared<clsBoardCollection>();
    list->Add(fresh);
    f.main.SetBoards(list);
    list.reset();
    QVERIFY(oldList.expired()); // the dialog keeps no discarded list alive

    QTest::mouseClick(f.dialog->cmdCheck, Qt::LeftButton);
    QCOMPARE(greensOf(*fresh), QList<int>{0});
    QCOMPARE(old->zanvo(1), CellGreen); // the discarded board was never touched
    QCOMPARE(old->zanvo(0), CellGreen);
    QCOMPARE(f.dialog->Boards().get(), f.main.Boards().get());
}

void tst_frmCheck::ctrlCFromFocusedCellOpensDialog()
{
    frmMain w;
    auto* cell = new QLineEdit(static_cast<QWidget*>(w.picClient));
    cell->setText(QStringLiteral("07"));
    cell->selectAll();
    cell->show();
    w.show();
    QApplication::setActiveWindow(&w);
    cell->setFocus();
    QVERIFY(QTest::qWaitForWindowActive(&w));
    QVERIFY(cell->hasFocus());
    QVERIFY(w.CheckDialog() == nullptr);

    QTest::keyClick(cell, Qt::Key_C, Qt::ControlModifier);

    QVERIFY(w.CheckDialog() != nullptr);
    QVERIFY(w.CheckDialog()->isVisible());
    QCOMPARE(cell->text(), QStringLiteral("07"));
    QVERIFY(w.isEnabled());
}

void tst_frmCheck::closingMainClosesDialog()
{
    QPointer<frmCheck> dialog;
    {
        Fixture f;
        dialog = f.dialog;
        QVERIFY(dialog->isVisible());
        QVERIFY(f.main.close());
        QVERIFY(!dialog->isVisible());
    }
    QVERIFY(dialog.isNull()); // gone with the main window
}

int main(int argc, char** argv)
{
    ZanvoApplication app(argc, argv);
    tst_frmCheck test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_frmCheck.moc"
