// SPDX-License-Identifier: GPL-3.0-or-later
#include "ModalScript.h"
#include "dialogs/clsCommonDialogs.h"

#include <QAbstractItemView>
#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QListView>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>

namespace {

const QChar Nul(u'\0');

QString boardFilter()
{
    return QStringLiteral("Data-files (*.dat)") + Nul + QStringLiteral("*.dat");
}

void touch(const QString& path)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write("x");
}

// Names the dialog's file list shows, once the folder has been read.
QStringList listedNames(QFileDialog* dialog)
{
    QStringList out;
    auto* view = dialog->findChild<QListView*>(QStringLiteral("listView"));
    if (!view || !view->model())
        return out;
    const QModelIndex root = view->rootIndex();
    for (int r = 0; r < view->model()->rowCount(root); ++r)
        out.append(view->model()->index(r, 0, root).data().toString());
    out.sort();
    return out;
}

} // namespace

class tst_FileDialogs : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init();
    void newObject();
    void dialogAsAsked_data();
    void dialogAsAsked();
    void typedNameWithoutExtension();
    void openAcceptsNameThatDoesNotExist();
    void saveOverExistingFileAsksNothing();
    void startFolder_data();
    void startFolder();
    void cancelEmptiesFile_data();
    void cancelEmptiesFile();
    void pathLength_data();
    void pathLength();
    void filterList_data();
    void filterList();
    void filterHidesOtherFiles();
    void eachDialogKeepsItsFilterChoice();

private:
    void show(clsCommonDialogs& dialogs, bool save, const QString& caption = QStringLiteral("Pick"))
    {
        if (save)
            dialogs.ShowSave(&m_owner, caption);
        else
            dialogs.ShowOpen(&m_owner, caption);
    }

    QWidget m_owner;
    std::unique_ptr<QTemporaryDir> m_dir;
};

void tst_FileDialogs::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    m_owner.show();
}

void tst_FileDialogs::newObject()
{
    const clsCommonDialogs d;
    QCOMPARE(d.MaxFile(), 255);
    QCOMPARE(d.Flags(), 0);
    QVERIFY(d.Filter().isEmpty());
    QVERIFY(d.File().isEmpty());
}

void tst_FileDialogs::dialogAsAsked_data()
{
    QTest::addColumn<bool>("save");
    QTest::addColumn<QString>("caption");
    QTest::newRow("open") << false << QStringLiteral("Open file");
    QTest::newRow("save") << true << QStringLiteral("Save file");
}

void tst_FileDialogs::dialogAsAsked()
{
    QFETCH(bool, save);
    QFETCH(QString, caption);
    clsCommonDialogs d;
    d.Filter(boardFilter());
    const QString file = m_dir->filePath(QStringLiteral("list.dat"));
    touch(file);

    bool seen = false;
    ModalScript script({[&](QWidget* modal) {
        auto* dialog = qobject_cast<QFileDialog*>(modal);
        QVERIFY(dialog);
        seen = true;
        QCOMPARE(dialog->windowTitle(), caption);
        QCOMPARE(dialog->parentWidget(), &m_owner);
        QVERIFY(dialog->isModal());
        QVERIFY(dialog->testOption(QFileDialog::DontUseNativeDialog));
        QCOMPARE(dialog->acceptMode(), save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
        QCOMPARE(ShownFilters(dialog), QStringList{QStringLiteral("Data-files (*.dat)")});
        QVERIFY(dialog->defaultSuffix().isEmpty());
        TypeFileName(dialog, file);
    }});
    show(d, save, caption);
    QVERIFY(seen);
    QVERIFY2(script.Unexpected().isEmpty(), qPrintable(script.Unexpected().join(u',')));
    QCOMPARE(d.File(), file);
}

void tst_FileDialogs::typedNameWithoutExtension()
{
    clsCommonDialogs d;
    d.Filter(boardFilter());
    ModalScript script({[&](QWidget* modal) { TypeFileName(modal, m_dir->filePath(QStringLiteral("board"))); }});
    d.ShowSave(&m_owner, QStringLiteral("Save file"));
    QCOMPARE(d.File(), m_dir->filePath(QStringLiteral("board")));
}

void tst_FileDialogs::openAcceptsNameThatDoesNotExist()
{
    clsCommonDialogs d;
    d.Filter(boardFilter());
    const QString missing = m_dir->filePath(QStringLiteral("not-there.dat"));
    ModalScript script({[&](QWidget* modal) { TypeFileName(modal, missing); }});
    d.ShowOpen(&m_owner, QStringLiteral("Open file"));
    QVERIFY(script.Unexpected().isEmpty());
    QCOMPARE(d.File(), missing);
    QVERIFY(!QFileInfo::exists(missing)); // choosing a name creates nothing
}

void tst_FileDialogs::saveOverExistingFileAsksNothing()
{
    clsCommonDialogs d;
    d.Filter(boardFilter());
    const QString file = m_dir->filePath(QStringLiteral("old.dat"));
    touch(file);
    ModalScript script({[&](QWidget* modal) { TypeFileName(modal, file); }});
    d.ShowSave(&m_owner, QStringLiteral("Save file"));
    QVERIFY2(script.Unexpected().isEmpty(), qPrintable(script.Unexpected().join(u',')));
    QCOMPARE(d.File(), file);
}

void tst_FileDialogs::startFolder_data()
{
    QTest::addColumn<bool>("documents"); // whether the home folder has one for documents
    QTest::addColumn<bool>("saveFirst");
    QTest::newRow("documents; open, then save") << true << false;
    QTest::newRow("no documents; save, then open") << false << true;
}

// Never the program's folder: the user's documents (or home), then the folder of the
// file last chosen, in either dialog.
void tst_FileDialogs::startFolder()
{
    QFETCH(bool, documents);
    QFETCH(bool, saveFirst);
    const QString home = m_dir->filePath(QStringLiteral("home"));
    const QString first = documents ? home + QStringLiteral("/Documents") : home;
    const QString chosen = m_dir->filePath(QStringLiteral("elsewhere/list.dat"));
    QVERIFY(QDir().mkpath(first) && QDir().mkpath(QFileInfo(chosen).path()));
    const QByteArray oldHome = qgetenv("HOME");
    qputenv("HOME", QFile::encodeName(home));
    const auto restore = qScopeGuard([&] { qputenv("HOME", oldHome); });

    QStringList started;
    const ModalScript::Step answer = [&](QWidget* modal) {
        started << qobject_cast<QFileDialog*>(modal)->directory().canonicalPath();
        TypeFileName(modal, chosen);
    };
    clsCommonDialogs d;
    ModalScript script({answer, answer});
    show(d, saveFirst);
    show(d, !saveFirst);
    QCOMPARE(started, (QStringList{QDir(first).canonicalPath(), QDir(QFileInfo(chosen).path()).canonicalPath()}));
}

void tst_FileDialogs::cancelEmptiesFile_data()
{
    QTest::addColumn<bool>("save");
    QTest::addColumn<bool>("byButton");
    QTest::newRow("open, Escape") << false << false;
    QTest::newRow("open, Cancel button") << false << true;
    QTest::newRow("save, Escape") << true << false;
    QTest::newRow("save, Cancel button") << true << true;
}

void tst_FileDialogs::cancelEmptiesFile()
{
    QFETCH(bool, save);
    QFETCH(bool, byButton);
    clsCommonDialogs d;
    d.Filter(boardFilter());
    const QString file = m_dir->filePath(QStringLiteral("chosen.dat"));
    ModalScript script({[&](QWidget* modal) { TypeFileName(modal, file); },
                        [&](QWidget* modal) {
                            if (!byButton) {
                                PressEscape(modal);
                                return;
                            }
                            auto* box = modal->findChild<QDialogButtonBox*>(QStringLiteral("buttonBox"));
                            QPushButton* cancel = box ? box->button(QDialogButtonBox::Cancel) : nullptr;
                            QVERIFY(cancel);
                            QTest::mouseClick(cancel, Qt::LeftButton);
                        }});
    show(d, save);
    QCOMPARE(d.File(), file);
    show(d, save); // a cancel right after a choice forgets it
    QVERIFY(script.AllAnswered());
    QVERIFY(script.Unexpected().isEmpty());
    QVERIFY(d.File().isEmpty());
}

void tst_FileDialogs::pathLength_data()
{
    QTest::addColumn<int>("maxFile");
    QTest::addColumn<int>("extra"); // the path's length minus (MaxFile - 1)
    QTest::addColumn<bool>("returned");
    QTest::newRow("254 of 255: whole") << 255 << 0 << true;
    QTest::newRow("255 of 255: refused") << 255 << 1 << false;
    QTest::newRow("MaxFile 100, 99: whole") << 100 << 0 << true;
    QTest::newRow("MaxFile 100, 120: refused") << 100 << 21 << false;
}

void tst_FileDialogs::pathLength()
{
    QFETCH(int, maxFile);
    QFETCH(int, extra);
    QFETCH(bool, returned);
    const QString folder = m_dir->path() + QChar(u'/');
    const qsizetype nameLength = maxFile - 1 + extra - folder.size();
    QVERIFY(nameLength > 0 && nameLength < 250);
    const QString path = folder + QString(nameLength, QChar(u'n'));
    QCOMPARE(path.size(), maxFile - 1 + extra);

    clsCommonDialogs d;
    d.MaxFile(maxFile);
    d.Filter(boardFilter());
    ModalScript script({[&](QWidget* modal) { TypeFileName(modal, path); }});
    d.ShowSave(&m_owner, QStringLiteral("Save file"));
    QVERIFY(script.AllAnswered());
    QCOMPARE(d.File(), returned ? path : QString());
}

void tst_FileDialogs::filterList_data()
{
    QTest::addColumn<QString>("filter");
    QTest::addColumn<QStringList>("shown");
    QTest::addColumn<QStringList>("patterns"); // Qt's name filters

    QTest::newRow("the board-file filter") << boardFilter() << QStringList{QStringLiteral("Data-files (*.dat)")}
                                           << QStringList{QStringLiteral("Data-files (*.dat) (*.dat)")};
    QTest::newRow("two pairs, several patterns")
        << QStringLiteral("Boards") + Nul + QStringLiteral("*.dat;*.brd") + Nul + QStringLiteral("All") + Nul + QStringLiteral("*.*")
        << QStringList{QStringLiteral("Boards"), QStringLiteral("All")}
        << QStringList{QStringLiteral("Boards (*.dat *.brd)"), QStringLiteral("All (*.*)")};
    QTest::newRow("a double NUL ends the list")
        << QStringLiteral("A") + Nul + QStringLiteral("*.a") + Nul + Nul + QStringLiteral("B") + Nul + QStringLiteral("*.b")
        << QStringList{QStringLiteral("A")} << QStringList{QStringLiteral("A (*.a)")};
    QTest::newRow("description without pattern")
        << QStringLiteral("A") + Nul + QStringLiteral("*.a") + Nul + QStringLiteral("B")
        << QStringList{QStringLiteral("A")} << QStringList{QStringLiteral("A (*.a)")};
}

void tst_FileDialogs::filterList()
{
    QFETCH(QString, filter);
    QFETCH(QStringList, shown);
    QFETCH(QStringList, patterns);
    clsCommonDialogs d;
    d.Filter(filter);
    QCOMPARE(d.Filter(), filter); // kept as given, NULs and all
    ModalScript script({[&](QWidget* modal) {
        auto* dialog = qobject_cast<QFileDialog*>(modal);
        QVERIFY(dialog);
        QCOMPARE(ShownFilters(dialog), shown);
        QCOMPARE(dialog->nameFilters(), patterns);
        PressEscape(dialog);
    }});
    d.ShowOpen(&m_owner, QStringLiteral("Open file"));
    QVERIFY(script.AllAnswered());
    QVERIFY(script.Unexpected().isEmpty());
}

void tst_FileDialogs::filterHidesOtherFiles()
{
    touch(m_dir->filePath(QStringLiteral("a.dat")));
    touch(m_dir->filePath(QStringLiteral("b.txt")));
    touch(m_dir->filePath(QStringLiteral("c")));
    clsCommonDialogs d;
    d.Filter(boardFilter());
    QStringList listed;
    ModalScript script({[&](QWidget* modal) {
        auto* dialog = qobject_cast<QFileDialog*>(modal);
        QVERIFY(dialog);
        dialog->setDirectory(m_dir->path());
        QTRY_VERIFY(listedNames(dialog).contains(QStringLiteral("a.dat")));
        listed = listedNames(dialog);
        PressEscape(dialog);
    }});
    d.ShowOpen(&m_owner, QStringLiteral("Open file"));
    QCOMPARE(listed, QStringList{QStringLiteral("a.dat")});
}

void tst_FileDialogs::eachDialogKeepsItsFilterChoice()
{
    clsCommonDialogs d;
    d.Filter(QStringLiteral("Boards") + Nul + QStringLiteral("*.dat") + Nul + QStringLiteral("All") + Nul + QStringLiteral("*"));
    const QString file = m_dir->filePath(QStringLiteral("x.dat"));
    QString openSecond;
    QString saveFirst;
    ModalScript script({[&](QWidget* modal) {
                            auto* dialog = qobject_cast<QFileDialog*>(modal);
                            QVERIFY(dialog);
                            auto* box = dialog->findChild<QComboBox*>(QStringLiteral("fileTypeCombo"));
                            QVERIFY(box);
                            box->setFocus();
                            QTest::keyClick(box, Qt::Key_Down); // the user picks "All"
                            TypeFileName(dialog, file);
                        },
                        [&](QWidget* modal) {
                            if (auto* dialog = qobject_cast<QFileDialog*>(modal))
                                openSecond = dialog->selectedNameFilter();
                            PressEscape(modal);
                        },
                        [&](QWidget* modal) {
                            if (auto* dialog = qobject_cast<QFileDialog*>(modal))
                                saveFirst = dialog->selectedNameFilter();
                            PressEscape(modal);
                        }});
    d.ShowOpen(&m_owner, QStringLiteral("Open file"));
    QCOMPARE(d.File(), file);
    d.ShowOpen(&m_owner, QStringLiteral("Open file"));
    d.ShowSave(&m_owner, QStringLiteral("Save file"));
    QVERIFY(script.AllAnswered());
    QCOMPARE(openSecond, QStringLiteral("All"));
    QCOMPARE(saveFirst, QStringLiteral("Boards"));
}

QTEST_MAIN(tst_FileDialogs)
#include "tst_FileDialogs.moc"
