// SPDX-License-Identifier: GPL-3.0-or-later
#include "board/BoardFile.h"
#include "board/BoardFileIO.h"
#include "board/RandomBoard.h"
#include "board/ZanvoError.h"

#include <QDir>
#include <QFile>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>

#include "FileSizeLimit.h"
#include "TestFiles.h"

#include <csignal>
#include <functional>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

clsBoardCollection randomBoards(int count, std::uint64_t seed)
{
    const UniformSource uniform = SeededUniform(seed);
    clsBoardCollection list;
    for (int i = 0; i < count; ++i) {
        auto b = MakeRandomBoard(uniform);
        b->zanvo(i % 25, CellGreen);
        list.Add(std::move(b));
    }
    return list;
}

QByteArray asQBytes(const std::vector<std::uint8_t>& v)
{
    return QByteArray(reinterpret_cast<const char*>(v.data()), static_cast<qsizetype>(v.size()));
}

// The error a call throws, or a ZanvoError numbered 0 when it throws none.
ZanvoError errorOf(const std::function<void()>& f)
{
    try {
        f();
    } catch (const ZanvoError& e) {
        return e;
    }
    return ZanvoError(0, "no error");
}

QString textOf(const ZanvoError& e)
{
    return QString::fromStdString(e.Description());
}

// Sets the soft file-size limit for its lifetime.

} // namespace

class tst_BoardFileIO : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init();
    void saveThenOpen();
    void saveOverLongerFile();
    void saveKeepsFileMode();
    void saveThroughSymlinkKeepsLink();
    void missingFileIsNotFoundAndNotCreated();
    void notAnOrdinaryFile_data();
    void notAnOrdinaryFile();
    void readOnlyFileOpens();
    void unreadableFileIsReported();
    void damagedFileNamesFileAndProblem();
    void failedSaveUnderFileSizeLimit_data();
    void failedSaveUnderFileSizeLimit();
    void saveIntoReadOnlyFolder();
    void saveOverReadOnlyFile();
    void refusedSave_data();
    void refusedSave();

private:
    QString path(const QString& name) const { return m_dir->filePath(name); }
    QStringList filesInDir() const { return QDir(m_dir->path()).entryList(QDir::Files | QDir::Hidden | QDir::System); }

    std::unique_ptr<QTemporaryDir> m_dir;
};

void tst_BoardFileIO::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
}

void tst_BoardFileIO::saveThenOpen()
{
    const clsBoardCollection list = randomBoards(30, 1);
    WriteBoardFile(path(QStringLiteral("a.dat")), list);
    const QByteArray first = BytesOf(path(QStringLiteral("a.dat")));
    QCOMPARE(first, asQBytes(EncodeBoards(list)));

    const BoardsRef back = ReadBoardFile(path(QStringLiteral("a.dat")));
    QVERIFY(*back == list);
    WriteBoardFile(path(QStringLiteral("b.dat")), *back);
    QCOMPARE(BytesOf(path(QStringLiteral("b.dat"))), first);
    QCOMPARE(filesInDir(), QStringList({QStringLiteral("a.dat"), QStringLiteral("b.dat")}));
}

void tst_BoardFileIO::saveOverLongerFile()
{
    const QString file = path(QStringLiteral("long.dat"));
    WriteBytes(file, QByteArray(10000, 'x'));
    const clsBoardCollection list = randomBoards(1, 2);
    WriteBoardFile(file, list);
    QCOMPARE(BytesOf(file), asQBytes(EncodeBoards(list)));
    QCOMPARE(QFileInfo(file).size(), qint64(208));
}

void tst_BoardFileIO::saveKeepsFileMode()
{
    const QString file = path(QStringLiteral("mode.dat"));
    WriteBytes(file, QByteArray(8, '\0'));
    QVERIFY(::chmod(QFile::encodeName(file).constData(), 0640) == 0);
    WriteBoardFile(file, randomBoards(2, 3));
    struct stat st {};
    QVERIFY(::stat(QFile::encodeName(file).constData(), &st) == 0);
    QCOMPARE(st.st_mode & 07777, mode_t(0640));
}

void tst_BoardFileIO::saveThroughSymlinkKeepsLink()
{
    const QString target = path(QStringLiteral("target.dat"));
    const QString link = path(QStringLiteral("link.dat"));
    WriteBytes(target, QByteArray(300, 'x'));
    QVERIFY(QFile::link(target, link));
    const clsBoardCollection list = randomBoards(1, 4);
    WriteBoardFile(link, list);
    QVERIFY(QFileInfo(link).isSymLink());
    QCOMPARE(BytesOf(target), asQBytes(EncodeBoards(list)));
}

void tst_BoardFileIO::missingFileIsNotFoundAndNotCreated()
{
    const QString file = path(QStringLiteral("missing.dat"));
    const ZanvoError e = errorOf([&] { ReadBoardFile(file); });
    QCOMPARE(e.Number(), ErrorNumber::FileNotFound);
    QCOMPARE(textOf(e), QStringLiteral("The file \"%1\" does not exist. Nothing was opened.").arg(file));
    QVERIFY(!QFileInfo::exists(file));
    QVERIFY(filesInDir().isEmpty());
}

void tst_BoardFileIO::notAnOrdinaryFile_data()
{
    QTest::addColumn<QString>("kind");
    QTest::newRow("folder") << QStringLiteral("folder");
    QTest::newRow("device that never ends") << QStringLiteral("device");
    QTest::newRow("pipe without writer") << QStringLiteral("fifo");
}

void tst_BoardFileIO::notAnOrdinaryFile()
{
    QFETCH(QString, kind);
    QString file;
    if (kind == QStringLiteral("folder")) {
        file = m_dir->path();
    } else if (kind == QStringLiteral("device")) {
        file = QStringLiteral("/dev/zero");
    } else {
        file = path(QStringLiteral("pipe"));
        QVERIFY(::mkfifo(QFile::encodeName(file).constData(), 0600) == 0);
    }
    // Reading either of the last two would never finish.
    const ZanvoError e = errorOf([&] { ReadBoardFile(file); });
    QCOMPARE(e.Number(), ErrorNumber::PathFileAccess);
    QVERIFY(textOf(e).contains(file));
}

void tst_BoardFileIO::readOnlyFileOpens()
{
    const QString file = path(QStringLiteral("ro.dat"));
    const clsBoardCollection list = randomBoards(3, 5);
    WriteBoardFile(file, list);
    QVERIFY(QFile::setPermissions(file, QFileDevice::ReadOwner | QFileDevice::ReadGroup));
    QVERIFY(*ReadBoardFile(file) == list);
}

void tst_BoardFileIO::unreadableFileIsReported()
{
    if (::geteuid() == 0)
        QSKIP("root reads files without read permission");
    const QString file = path(QStringLiteral("secret.dat"));
    WriteBoardFile(file, randomBoards(1, 6));
    QVERIFY(QFile::setPermissions(file, QFileDevice::Permissions()));
    const ZanvoError e = errorOf([&] { ReadBoardFile(file); });
    QCOMPARE(e.Number(), ErrorNumber::PermissionDenied);
    QVERIFY(textOf(e).contains(file));
}

void tst_BoardFileIO::damagedFileNamesFileAndProblem()
{
    const QString file = path(QStringLiteral("cut.dat"));
    QByteArray bytes = asQBytes(EncodeBoards(randomBoards(3, 7)));
    bytes.chop(100);
    WriteBytes(file, bytes);
    const ZanvoError e = errorOf([&] { ReadBoardFile(file); });
    QCOMPARE(e.Number(), ErrorNumber::BadFileFormat);
    QVERIFY2(textOf(e).startsWith(QStringLiteral("The file \"%1\" is damaged: board 3 of 3 claims 25 numbers").arg(file)),
             qPrintable(textOf(e)));
    QVERIFY2(textOf(e).endsWith(QStringLiteral(". Nothing was opened.")), qPrintable(textOf(e)));
}

void tst_BoardFileIO::failedSaveUnderFileSizeLimit_data()
{
    QTest::addColumn<int>("boards");
    QTest::addColumn<int>("limit");
    QTest::newRow("first piece fails") << 100 << 1000;
    QTest::newRow("a later piece fails") << 8000 << 1200000;
    QTest::newRow("short by one byte") << 10 << 4 + 204 * 10 - 1;
}

void tst_BoardFileIO::failedSaveUnderFileSizeLimit()
{
    QFETCH(int, boards);
    QFETCH(int, limit);
    const QString file = path(QStringLiteral("old.dat"));
    const clsBoardCollection oldList = randomBoards(1, 8);
    WriteBoardFile(file, oldList);
    const QByteArray before = BytesOf(file);

    const clsBoardCollection list = randomBoards(boards, 9);
    ZanvoError e(0, "no error");
    {
        // The save itself must keep SIGXFSZ from ending the program.
        FileSizeLimit fsize(static_cast<rlim_t>(limit));
        QVERIFY(fsize.ok());
        e = errorOf([&] { WriteBoardFile(file, list); });
    }
    // Named as the size limit even when a first write was only cut short.
    QCOMPARE(e.Number(), ErrorNumber::DiskFull);
    QVERIFY2(textOf(e).startsWith(QStringLiteral("The file \"%1\" would grow past the largest file size").arg(file)),
             qPrintable(textOf(e)));
    QVERIFY(textOf(e).endsWith(QStringLiteral("any file of that name is unchanged.")));
    QCOMPARE(BytesOf(file), before);
    QCOMPARE(filesInDir(), QStringList{QStringLiteral("old.dat")}); // no half-written file left beside it

    struct sigaction now {};
    QVERIFY(sigaction(SIGXFSZ, nullptr, &now) == 0);
    QVERIFY(now.sa_handler == SIG_DFL); // given back as it was

    WriteBoardFile(file, list); // without the limit the same save works
    QVERIFY(*ReadBoardFile(file) == list);
}

// The file may be written, its folder may not: the message names the folder.
void tst_BoardFileIO::saveIntoReadOnlyFolder()
{
    const QString file = path(QStringLiteral("old.dat"));
    WriteBoardFile(file, randomBoards(1, 10));
    const QByteArray before = BytesOf(file);
    QVERIFY(::chmod(QFile::encodeName(file).constData(), 0666) == 0);
    QVERIFY(::chmod(QFile::encodeName(m_dir->path()).constData(), 0555) == 0);
    ZanvoError e(0, "not run");
    {
        // Root writes anywhere, so root saves as nobody (and may become root again).
        const bool root = ::geteuid() == 0;
        QVERIFY(!root || ::setresuid(65534, 65534, 0) == 0);
        const auto back = qScopeGuard([root] { QVERIFY(!root || ::setresuid(0, 0, 0) == 0); });
        e = errorOf([&] { WriteBoardFile(file, randomBoards(5, 11)); });
    }
    ::chmod(QFile::encodeName(m_dir->path()).constData(), 0755);
    QCOMPARE(e.Number(), ErrorNumber::PermissionDenied);
    QVERIFY2(textOf(e).startsWith(QStringLiteral("You do not have permission to write in the folder \"%1\"").arg(m_dir->path())),
             qPrintable(textOf(e)));
    QCOMPARE(BytesOf(file), before);
}

void tst_BoardFileIO::saveOverReadOnlyFile()
{
    const QString file = path(QStringLiteral("ro.dat"));
    WriteBoardFile(file, randomBoards(1, 12));
    const QByteArray before = BytesOf(file);
    QVERIFY(QFile::setPermissions(file, QFileDevice::ReadOwner | QFileDevice::ReadGroup | QFileDevice::ReadOther));
    const clsBoardCollection list = randomBoards(4, 13);
    const ZanvoError e = errorOf([&] { WriteBoardFile(file, list); });
    if (::geteuid() == 0) {
        // Root may write the file; the save then keeps its read-only mode.
        QCOMPARE(e.Number(), 0);
        QCOMPARE(BytesOf(file), asQBytes(EncodeBoards(list)));
    } else {
        QCOMPARE(e.Number(), ErrorNumber::PermissionDenied);
        QVERIFY(textOf(e).contains(file));
        QCOMPARE(BytesOf(file), before);
    }
    struct stat st {};
    QVERIFY(::stat(QFile::encodeName(file).constData(), &st) == 0);
    QCOMPARE(st.st_mode & 07777, mode_t(0444));
}

void tst_BoardFileIO::refusedSave_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<int>("number");
    QTest::addColumn<QString>("leading"); // %1: the file, %2: the test's folder
    QTest::newRow("missing folder") << QStringLiteral("no/such/folder.dat") << ErrorNumber::PathNotFound
                                    << QStringLiteral("The folder \"%2/no/such\" does not exist");
    QTest::newRow("folder") << QStringLiteral("folder") << ErrorNumber::PathFileAccess << QStringLiteral("\"%1\" is a folder");
    QTest::newRow("loop of links") << QStringLiteral("loop") << ErrorNumber::PathFileAccess
                                   << QStringLiteral("The link \"%1\" leads round");
    // A pipe of its own: were a system device tried, a faulty save run as root
    // would replace it.
    QTest::newRow("pipe") << QStringLiteral("fifo") << ErrorNumber::PathFileAccess
                          << QStringLiteral("\"%1\" is a device, pipe or socket");
    // The first write of the full disk's save is cut short and says nothing; the
    // next one says why.
    QTest::newRow("full disk") << QStringLiteral("full disk") << ErrorNumber::DiskFull
                               << QStringLiteral("The disk is full: there is no room left for \"%1\".");
    QTest::newRow("read-only disk") << QStringLiteral("read-only disk") << ErrorNumber::PermissionDenied
                                    << QStringLiteral("The disk that holds the folder \"%2/disk\" is read-only, so \"old.dat\"");
}

// Each is refused, and what was there stays: no file changed, none left beside it.
void tst_BoardFileIO::refusedSave()
{
    QFETCH(QString, kind);
    QFETCH(int, number);
    QFETCH(QString, leading);
    const bool onDisk = kind.endsWith(QStringLiteral(" disk"));
    const QString folder = onDisk ? path(QStringLiteral("disk")) : m_dir->path();
    const QString file = onDisk ? folder + QStringLiteral("/old.dat") : path(kind);
    const QByteArray mountPoint = QFile::encodeName(folder);
    QByteArray before;
    if (onDisk) {
        // A small disk of its own, holding one saved file.
        QVERIFY(QDir().mkdir(folder));
        if (::mount("tmpfs", mountPoint.constData(), "tmpfs", 0, "size=64k") != 0)
            QSKIP("no permission to mount a small disk");
        WriteBoardFile(file, randomBoards(1, 20));
        before = BytesOf(file);
        if (kind.startsWith(QStringLiteral("read-only")))
            QVERIFY(::mount("tmpfs", mountPoint.constData(), "tmpfs", MS_REMOUNT | MS_RDONLY, "size=64k") == 0);
    } else if (!kind.contains(QLatin1Char('/'))) {
        MakeFileOfKind(file, kind);
    }
    const QStringList entries = QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::System);
    const ZanvoError e = errorOf([&] { WriteBoardFile(file, randomBoards(onDisk ? 2000 : 1, 14)); });
    const QStringList left = QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::System);
    const QByteArray after = onDisk ? BytesOf(file) : QByteArray(); // a pipe would never end
    if (onDisk)
        ::umount(mountPoint.constData());
    QCOMPARE(e.Number(), number);
    leading.replace(QStringLiteral("%1"), file).replace(QStringLiteral("%2"), m_dir->path());
    QVERIFY2(textOf(e).startsWith(leading), qPrintable(textOf(e)));
    QCOMPARE(left, entries);
    QCOMPARE(after, before);
    if (onDisk)
        QCOMPARE(left, QStringList{QStringLiteral("old.dat")});
    QCOMPARE(QFileInfo(file).isSymLink(), kind == QStringLiteral("loop"));
    QCOMPARE(QFileInfo(file).isDir(), kind == QStringLiteral("folder"));
    QVERIFY(!QFileInfo(file).isFile()); // no ordinary file took the place of what was there
}

QTEST_APPLESS_MAIN(tst_BoardFileIO)
#include "tst_BoardFileIO.moc"
