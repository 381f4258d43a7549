// SPDX-License-Identifier: GPL-3.0-or-later
#include "ModalScript.h"
#include "app/BoardView.h"
#include "app/frmMain.h"
#include "controls/CellEditor.h"
#include "board/BoardFile.h"
#include "board/RandomBoard.h"
#include "dialogs/clsCommonDialogs.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QScopeGuard>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>

#include "FileSizeLimit.h"
#include "TestFiles.h"

#include <sys/resource.h>
#include <unistd.h>

namespace {

BoardsRef randomList(int count, std::uint64_t seed)
{
    const UniformSource uniform = SeededUniform(seed);
    auto list = std::make_shared<clsBoardCollection>();
    for (int i = 0; i < count; ++i) {
        auto b = MakeRandomBoard(uniform);
        b->zanvo((i * 7) % 25, CellGreen);
        list->Add(std::move(b));
    }
    return list;
}

QByteArray bytesOf(const clsBoardCollection& list)
{
    const std::vector<std::uint8_t> v = EncodeBoards(list);
    return QByteArray(reinterpret_cast<const char*>(v.data()), static_cast<qsizetype>(v.size()));
}

// A step that checks the file dialog's title and owner, then types the name.
ModalScript::Step fileDialog(QWidget* owner, const QString& title, const QString& name)
{
    return [=](QWidget* modal) {
        QCOMPARE(modal->windowTitle(), title);
        QCOMPARE(modal->parentWidget(), owner);
        TypeFileName(modal, name);
    };
}

// A step that takes the error message box's text and closes it.
ModalScript::Step errorBox(QString* text)
{
    return [text](QWidget* modal) {
        auto* box = qobject_cast<QMessageBox*>(modal);
        QVERIFY(box);
        QCOMPARE(box->icon(), QMessageBox::Critical);
        *text = box->text();
        QAbstractButton* ok = box->button(QMessageBox::Ok);
        QVERIFY(ok);
        ok->click();
    };
}

} // namespace

class tst_FileCommands : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();
    void filterPreparedAtStart();
    void saveAsWritesTheList();
    void openReplacesTheList();
    void saveThenOpenThroughTheMenus();
    void cancelOpenChangesNothing();
    void cancelSaveWritesNothing();
    void saveOverExistingFileSilently();
    void nameWithoutExtensionSavedAsTyped();
    void readOnlyFileOpens();
    void failedFileCommandIsReported_data();
    void failedFileCommandIsReported();

private:
    QString path(const QString& name) const { return m_dir->filePath(name); }
    QStringList files() const { return QDir(m_dir->path()).entryList(QDir::Files | QDir::Hidden); }

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<frmMain> m_w;
};

void tst_FileCommands::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    m_w = std::make_unique<frmMain>();
    m_w->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_w.get()));
}

void tst_FileCommands::cleanup()
{
    m_w.reset();
}

void tst_FileCommands::filterPreparedAtStart()
{
    QVERIFY(m_w->OpenSave);
    const QString filter = m_w->OpenSave->Filter();
    QCOMPARE(filter.size(), 24);
    QCOMPARE(filter, QStringLiteral("Data-files (*.dat)") + QChar(u'\0') + QStringLiteral("*.dat"));
    QCOMPARE(m_w->OpenSave->MaxFile(), 255);
    QCOMPARE(m_w->OpenSave->Flags(), 0);
}

void tst_FileCommands::saveAsWritesTheList()
{
    m_w->SetBoards(randomList(3, 1));
    const BoardsRef shown = m_w->Boards();
    const QString file = path(QStringLiteral("three.dat"));
    ModalScript script({fileDialog(m_w.get(), QStringLiteral("Save file"), file)});
    m_w->mnuSave->trigger();
    QVERIFY2(script.Unexpected().isEmpty(), qPrintable(script.Unexpected().join(u',')));
    QCOMPARE(BytesOf(file), bytesOf(*shown));
    QCOMPARE(m_w->Boards(), shown); // saving changes nothing on screen
}

void tst_FileCommands::openReplacesTheList()
{
    const BoardsRef onDisk = randomList(20, 2);
    const QString file = path(QStringLiteral("twenty.dat"));
    WriteBytes(file, bytesOf(*onDisk));
    m_w->SetBoards(randomList(30, 3));
    m_w->UpdateControls();
    m_w->vScroll->setValue(3);
    const BoardsRef old = m_w->Boards();
    const QByteArray oldBytes = bytesOf(*old);

    ModalScript script({fileDialog(m_w.get(), QStringLiteral("Open file"), file)});
    m_w->mnuOpen->trigger();
    QVERIFY2(script.Unexpected().isEmpty(), qPrintable(script.Unexpected().join(u',')));
    QVERIFY(m_w->Boards() != old);
    QCOMPARE(bytesOf(*m_w->Boards()), bytesOf(*onDisk));
    QCOMPARE(bytesOf(*old), oldBytes); // the old boards were replaced, not overwritten
    QCOMPARE(m_w->vScroll->value(), 0); // the new list is seen from its first board
    // The keyboard is in its first cell, so the next key typed lands there.
    QCOMPARE(m_w->picClient->EditedPosition(), 1);
    QCOMPARE(m_w->picClient->EditedCell(), 0);
    QCOMPARE(m_w->focusWidget(), static_cast<QWidget*>(m_w->picClient->Editor()));
}

void tst_FileCommands::saveThenOpenThroughTheMenus()
{
    m_w->SetBoards(randomList(4, 4));
    const QByteArray saved = bytesOf(*m_w->Boards());
    const QString file = path(QStringLiteral("round.dat"));
    ModalScript script({fileDialog(m_w.get(), QStringLiteral("Save file"), file),
                        fileDialog(m_w.get(), QStringLiteral("Open file"), file)});
    m_w->mnuSave->trigger();
    m_w->SetBoards(randomList(1, 5));
    m_w->mnuOpen->trigger();
    QVERIFY(script.AllAnswered());
    QVERIFY(script.Unexpected().isEmpty());
    QCOMPARE(bytesOf(*m_w->Boards()), saved);
    QCOMPARE(m_w->Boards()->Item(1)->zanvo(0), CellGreen);
}

void tst_FileCommands::cancelOpenChangesNothing()
{
    m_w->SetBoards(randomList(2, 6));
    const BoardsRef before = m_w->Boards();
    const QByteArray bytes = bytesOf(*before);
    ModalScript script({PressEscape});
    m_w->mnuOpen->trigger();
    QVERIFY(script.AllAnswered());
    QVERIFY(script.Unexpected().isEmpty()); // and no message
    QCOMPARE(m_w->Boards(), before);
    QCOMPARE(bytesOf(*m_w->Boards()), bytes);
}

void tst_FileCommands::cancelSaveWritesNothing()
{
    m_w->SetBoards(randomList(2, 7));
    ModalScript script({[&](QWidget* modal) {
        auto* edit = modal->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        QVERIFY(edit);
        edit->setText(path(QStringLiteral("typed-then-cancelled.dat")));
        PressEscape(modal);
    }});
    m_w->mnuSave->trigger();
    QVERIFY(script.AllAnswered());
    QVERIFY(script.Unexpected().isEmpty());
    QVERIFY(files().isEmpty());
}

void tst_FileCommands::saveOverExistingFileSilently()
{
    const QString file = path(QStringLiteral("old.dat"));
    WriteBytes(file, bytesOf(*randomList(9, 8)));
    m_w->SetBoards(randomList(1, 9));
    ModalScript script({fileDialog(m_w.get(), QStringLiteral("Save file"), file)});
    m_w->mnuSave->trigger();
    QVERIFY2(script.Unexpected().isEmpty(), qPrintable(script.Unexpected().join(u','))); // no question
    QCOMPARE(BytesOf(file), bytesOf(*m_w->Boards()));
    QCOMPARE(files(), QStringList{QStringLiteral("old.dat")});
}

void tst_FileCommands::nameWithoutExtensionSavedAsTyped()
{
    m_w->SetBoards(randomList(1, 10));
    ModalScript script({fileDialog(m_w.get(), QStringLiteral("Save file"), path(QStringLiteral("board")))});
    m_w->mnuSave->trigger();
    QCOMPARE(files(), QStringList{QStringLiteral("board")});
}

void tst_FileCommands::readOnlyFileOpens()
{
    const BoardsRef onDisk = randomList(3, 11);
    const QString file = path(QStringLiteral("ro.dat"));
    WriteBytes(file, bytesOf(*onDisk));
    QVERIFY(QFile::setPermissions(file, QFileDevice::ReadOwner | QFileDevice::ReadGroup | QFileDevice::ReadOther));
    ModalScript script({fileDialog(m_w.get(), QStringLiteral("Open file"), file)});
    m_w->mnuOpen->trigger();
    QVERIFY(script.Unexpected().isEmpty());
    QCOMPARE(bytesOf(*m_w->Boards()), bytesOf(*onDisk));
}

// Every failed open or save: the number for its cause, a message that starts with
// what happened and names the file, says what is unchanged, stands over the main
// window wherever that is, and leaves list and files as they were.
void tst_FileCommands::failedFileCommandIsReported_data()
{
    QTest::addColumn<bool>("save");
    QTest::addColumn<QString>("kind");
    QTest::addColumn<int>("number");
    QTest::addColumn<QString>("leading"); // %1: the file, %2: the test's folder
    QTest::newRow("open missing file") << false << QStringLiteral("bad.dat") << 53
                                       << QStringLiteral("The file \"%1\" does not exist.");
    QTest::newRow("open in missing folder") << false << QStringLiteral("no/bad.dat") << 76
                                            << QStringLiteral("The folder \"%2/no\" does not exist");
    QTest::newRow("open cut short") << false << QStringLiteral("cut") << 321
                                    << QStringLiteral("The file \"%1\" is damaged: board 3 of 3");
    QTest::newRow("open 2,000,000,000 boards in 4 bytes")
        << false << QStringLiteral("inflated") << 321 << QStringLiteral("The file \"%1\" is damaged: it claims 2000000000 boards");
    QTest::newRow("save past the file-size limit")
        << true << QStringLiteral("keep.dat") << 61 << QStringLiteral("The file \"%1\" would grow past the largest file size");
    QTest::newRow("save in missing folder") << true << QStringLiteral("no/keep.dat") << 76
                                            << QStringLiteral("The folder \"%2/no\" does not exist");
    QTest::newRow("save in read-only folder") << true << QStringLiteral("read-only") << 70
                                              << QStringLiteral("You do not have permission to write in the folder \"%2\"");
}

void tst_FileCommands::failedFileCommandIsReported()
{
    QFETCH(bool, save);
    QFETCH(QString, kind);
    QFETCH(int, number);
    QFETCH(QString, leading);
    const bool readOnly = kind == QStringLiteral("read-only");
    if (readOnly && ::geteuid() == 0)
        QSKIP("root writes into read-only folders; the file-size limit covers a failing save");
    const QString file = path(readOnly ? QStringLiteral("keep.dat") : kind);
    QByteArray old;
    if (kind == QStringLiteral("cut")) {
        old = bytesOf(*randomList(3, 12));
        old.chop(10);
    } else if (kind == QStringLiteral("inflated")) {
        old = QByteArray::fromHex("00943577");
    } else if (kind == QStringLiteral("keep.dat") || readOnly) {
        old = bytesOf(*randomList(2, 14));
    }
    if (!old.isEmpty())
        WriteBytes(file, old);
    const auto rx = QFileDevice::ReadOwner | QFileDevice::ExeOwner;
    const auto writable = qScopeGuard([&] { QFile::setPermissions(m_dir->path(), rx | QFileDevice::WriteOwner); });
    if (readOnly)
        QVERIFY(QFile::setPermissions(m_dir->path(), rx));
    m_w->SetBoards(randomList(save ? 50 : 2, 13));
    const BoardsRef before = m_w->Boards();
    const QByteArray bytes = bytesOf(*before);
    // Far from the screen's centre, where a box without its window would go.
    m_w->setGeometry(10, 40, 500, 420);

    QString message;
    QRect box;
    const ModalScript::Step errorStep = errorBox(&message);
    {
        FileSizeLimit limit(1000);
        QVERIFY(limit.ok());
        ModalScript script({fileDialog(m_w.get(), save ? QStringLiteral("Save file") : QStringLiteral("Open file"), file),
                            [&](QWidget* modal) {
                                QCOMPARE(modal->parentWidget(), m_w.get());
                                box = modal->frameGeometry();
                                errorStep(modal);
                            }});
        if (save)
            m_w->mnuSave->trigger();
        else
            m_w->mnuOpen->trigger();
        QVERIFY(script.AllAnswered());
    }
    leading.replace(QStringLiteral("%1"), file).replace(QStringLiteral("%2"), m_dir->path());
    QVERIFY2(message.startsWith(leading), qPrintable(message));
    QVERIFY2(message.contains(save ? QStringLiteral("The boards were not saved; any file of that name is unchanged.")
                                   : QStringLiteral("Nothing was opened. The boards shown are unchanged.")),
             qPrintable(message));
    QVERIFY2(message.endsWith(QStringLiteral("\n\nError %1").arg(number)), qPrintable(message));
    QVERIFY2((box.center() - m_w->frameGeometry().center()).manhattanLength() <= 2,
             qPrintable(QStringLiteral("box at %1,%2").arg(box.center().x()).arg(box.center().y())));
    QCOMPARE(m_w->Boards(), before);
    QCOMPARE(bytesOf(*m_w->Boards()), bytes);
    QCOMPARE(files(), old.isEmpty() ? QStringList() : QStringList{QFileInfo(file).fileName()}); // nothing created
    QCOMPARE(BytesOf(file), old);
}

QTEST_MAIN(tst_FileCommands)
#include "tst_FileCommands.moc"
