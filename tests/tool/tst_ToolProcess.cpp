// SPDX-License-Identifier: GPL-3.0-or-later
// The installed program as a script sees it: exit statuses, standard output and
// standard error of the real binary.
#include "ProcessRun.h"
#include "TestFiles.h"

#include "zanvo_version.h"

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <sys/resource.h>

class tst_ToolProcess : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void exitStatuses_data();
    void exitStatuses();
    void version();
    void exportPipedIntoImport();
    void fullDiskIsAFailure();

private:
    QTemporaryDir m_dir;
    QString m_boards;
};

void tst_ToolProcess::initTestCase()
{
    QVERIFY(m_dir.isValid());
    m_boards = m_dir.filePath(QStringLiteral("boards.dat"));
    QCOMPARE(RunZanvoTool({QStringLiteral("random"), QStringLiteral("20"), m_boards}).status, 0);
    WriteBytes(m_dir.filePath(QStringLiteral("damaged.dat")), QByteArray("\x05\x00\x00\x00\x18\x00\x00\x00", 8));
    // Three boards of one number, cut inside the second.
    WriteBytes(m_dir.filePath(QStringLiteral("truncated.dat")),
               QByteArray("\x03\0\0\0" "\0\0\0\0" "\x07\0\0\0\xff\xff\xff\0" "\0\0\0\0" "\x07\0", 22));
    WriteBytes(m_dir.filePath(QStringLiteral("tiny.csv")), "1,1e-400\r\n");
    WriteBytes(m_dir.filePath(QStringLiteral("semicolons.csv")), "7;19\r\n\"7,0\";8\r\n");
    // 4404 bytes as a board file.
    WriteBytes(m_dir.filePath(QStringLiteral("many.csv")), QByteArray("1,2,3,4,5\r\n").repeated(100));
    MakeFileOfKind(m_dir.filePath(QStringLiteral("pipe")), QStringLiteral("fifo"));
    MakeFileOfKind(m_dir.filePath(QStringLiteral("loop")), QStringLiteral("loop"));
}

void tst_ToolProcess::exitStatuses_data()
{
    // %D in an argument or message is the test's folder; messages are the first
    // words after "zanvo-tool: ".
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("stdinFile");
    QTest::addColumn<int>("fileSizeLimit");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("message");
    const auto row = [](const char* name, const char* arguments, int status, const char* message = "",
                        const char* stdinFile = "", int fileSizeLimit = 0) {
        QTest::newRow(name) << QString::fromUtf8(arguments).split(QLatin1Char(' ')) << QString::fromUtf8(stdinFile)
                            << fileSizeLimit << status << QString::fromUtf8(message);
    };
    row("help", "--help", 0);
    row("help command", "help", 0);
    row("help for a command", "help import", 0);
    row("command --help", "export --help", 0);
    row("random, arguments swapped", "random %D/big.dat 1000", 2, "COUNT comes first: zanvo-tool random COUNT FILE\n");
    row("show", "show %D/boards.dat", 0);
    row("check", "check %D/boards.dat 1 -2", 0);
    row("no command", "", 2, "no command given");
    row("unknown option", "show --nope %D/boards.dat", 2, "unknown option \"--nope\"");
    row("duplicate drawn number", "check %D/boards.dat 4 4", 2, "The number already exists: 4");
    row("missing file", "show %D/missing.dat", 1, "The file \"%D/missing.dat\" does not exist.");
    row("damaged file", "check %D/damaged.dat 1", 1, "The file \"%D/damaged.dat\" is damaged: it claims 5 boards");
    row("existing file", "random 1 %D/boards.dat", 1, "%D/boards.dat: The file exists");
    // Every reader refuses what is not an ordinary file before opening it, alike.
    const std::pair<const char*, const char*> refused[] = {
        {"%D/pipe", "\"%D/pipe\" is a device, pipe or socket, not an ordinary file."},
        {"/dev/zero", "\"/dev/zero\" is a device, pipe or socket, not an ordinary file."},
        {"%D/truncated.dat", "The file \"%D/truncated.dat\" is damaged: board 2 of 3"},
        {"%D/loop", "The link \"%D/loop\" leads round in a circle"}};
    for (const QByteArray command : {"show", "check", "export", "check --write"}) {
        for (const auto& [file, words] : refused) {
            const QByteArray line = command + ' ' + file + (command.startsWith("check") ? " 1" : "");
            row(line.constData(), line.constData(), 1, words);
        }
    }
    row("show folder", "show %D", 1, "\"%D\" is a folder, not a file.");
    row("random over a loop", "random 3 %D/loop --force", 1, "The link \"%D/loop\" leads round in a circle");
    row("random beyond the free space", "random 2147483647 %D/huge.dat", 1, "There is no room for \"%D/huge.dat\"");
    row("import a device", "import /dev/zero %D/new.dat", 1, "\"/dev/zero\" is a device, pipe or socket");
    row("import endless zeros", "import - %D/new.dat", 1, "standard input: row 1, column A: ", "/dev/zero");
    row("import a value below any double", "import %D/tiny.csv %D/new.dat", 1,
        "%D/tiny.csv: row 1, column B: \"1e-400\" is not a whole number");
    row("import, another separator given", "import %D/semicolons.csv %D/new.dat --separator comma", 1,
        "%D/semicolons.csv: row 1, column A: \"7;19\" is not a number; use --separator semicolon\n");
    row("export over a file", "export %D/boards.dat -o %D/tiny.csv", 1, "%D/tiny.csv: The file exists");
    row("export over its board file", "export %D/boards.dat -o %D/boards.dat --force", 2,
        "%D/boards.dat: the CSV would replace the board file it is made from");
    row("export of a damaged file", "export %D/truncated.dat -o %D/new.csv", 1,
        "The file \"%D/truncated.dat\" is damaged: board 2 of 3");
    row("export past the file-size limit", "export %D/boards.dat -o %D/new.csv", 1,
        "The file \"%D/new.csv\" would grow past the largest file size allowed here. The CSV was not written", "",
        1000);
    row("output past the file-size limit", "show %D/boards.dat", 1, "Cannot write the output: File too large", "",
        100);
    row("import past the file-size limit", "import %D/many.csv %D/new.dat", 1,
        "The file \"%D/new.dat\" would grow past the largest file size allowed here.", "", 1000);
    // Cut off late, where the PDF writer's last writes come short.
    row("report past the file-size limit", "report %D/boards.dat 1 -o %D/new.pdf", 1,
        "The file \"%D/new.pdf\" would grow past the largest file size allowed here. The report was not",
        "", 20000);
}

void tst_ToolProcess::exitStatuses()
{
    QFETCH(QStringList, arguments);
    QFETCH(QString, stdinFile);
    QFETCH(int, fileSizeLimit);
    QFETCH(int, status);
    QFETCH(QString, message);
    const QString dir = m_dir.path();
    arguments.removeAll(QString());
    for (QString& a : arguments)
        a.replace(QLatin1String("%D"), dir);
    // Under a file-size limit (in bytes) standard output is a file too.
    const QString outFile = fileSizeLimit > 0 ? m_dir.filePath(QStringLiteral("out.txt")) : QString();
    const ProcessRun r = RunZanvoTool(arguments, {stdinFile, outFile, static_cast<rlim_t>(fileSizeLimit)});
    QCOMPARE(r.status, status);
    if (status == 0) {
        QVERIFY(r.err.isEmpty());
        QVERIFY(!r.out.isEmpty());
    } else {
        QVERIFY2(r.err.startsWith("zanvo-tool: ") && r.err.count('\n') == 1 && r.err.endsWith('\n'), r.err.constData());
        const QString words = QStringLiteral("zanvo-tool: ") + QString(message).replace(QLatin1String("%D"), dir);
        QVERIFY2(QString::fromUtf8(r.err).startsWith(words), r.err.constData());
    }
    QVERIFY(QFileInfo(m_dir.filePath(QStringLiteral("loop"))).isSymLink()); // never replaced
    // Nothing written, not even a file beside the one asked for.
    QVERIFY2(QDir(dir).entryList({QStringLiteral("new.*")}, QDir::Files).isEmpty(),
             qPrintable(QDir(dir).entryList({QStringLiteral("new.*")}, QDir::Files).join(QLatin1Char(' '))));
}

void tst_ToolProcess::version()
{
    for (const char* option : {"--version", "-v"}) {
        const ProcessRun r = RunZanvoTool({QString::fromLatin1(option)});
        QCOMPARE(r.status, 0);
        QCOMPARE(r.out, QByteArray("zanvo-tool " ZANVO_VERSION_STRING "\n"));
    }
}

void tst_ToolProcess::exportPipedIntoImport()
{
    QCOMPARE(RunZanvoTool({QStringLiteral("check"), m_boards, QStringLiteral("3"), QStringLiteral("50"),
                  QStringLiteral("--write")})
                 .status,
             0);
    const QString back = m_dir.filePath(QStringLiteral("back.dat"));
    QProcess exporter;
    QProcess importer;
    exporter.setStandardOutputProcess(&importer);
    importer.start(QStringLiteral(ZANVO_TOOL_PATH), {QStringLiteral("import"), QStringLiteral("-"), back});
    exporter.start(QStringLiteral(ZANVO_TOOL_PATH), {QStringLiteral("export"), m_boards});
    QVERIFY(exporter.waitForFinished(120000));
    QVERIFY(importer.waitForFinished(120000));
    QCOMPARE(exporter.exitCode(), 0);
    QCOMPARE(importer.exitCode(), 0);
    QCOMPARE(BytesOf(back), BytesOf(m_boards));
}

void tst_ToolProcess::fullDiskIsAFailure()
{
    if (!QFileInfo::exists(QStringLiteral("/dev/full")))
        QSKIP("no /dev/full");
    const ProcessRun r = RunZanvoTool({QStringLiteral("show"), m_boards}, {{}, QStringLiteral("/dev/full")});
    QCOMPARE(r.status, 1);
    QVERIFY2(r.err.contains("Cannot write the output"), r.err.constData());
}

QTEST_GUILESS_MAIN(tst_ToolProcess)
#include "tst_ToolProcess.moc"
