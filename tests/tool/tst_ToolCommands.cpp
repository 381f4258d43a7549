// SPDX-License-Identifier: GPL-3.0-or-later
#include "tool/ToolCommands.h"

#include "board/BoardFile.h"
#include "board/BoardFileIO.h"
#include "board/RandomBoard.h"
#include "check/MatchCheck.h"

#include "TestFiles.h"

#include <QBuffer>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <set>
#include <vector>

namespace {

struct Result {
    int status = -1;
    QByteArray out;
    QByteArray err;
};

Result tool(const QStringList& arguments, const QByteArray& input = {})
{
    QByteArray inBytes = input;
    QBuffer in(&inBytes);
    QBuffer out;
    QBuffer err;
    in.open(QIODevice::ReadOnly);
    out.open(QIODevice::WriteOnly);
    err.open(QIODevice::WriteOnly);
    Result r;
    r.status = RunTool(QStringList{QStringLiteral("zanvo-tool")} + arguments, in, out, err);
    r.out = out.data();
    r.err = err.data();
    return r;
}

std::shared_ptr<clsBoard> boardOf(std::initializer_list<std::pair<std::int32_t, std::int32_t>> cells)
{
    auto b = std::make_shared<clsBoard>();
    for (const auto& [number, colour] : cells)
        b->AppendNumber(number, colour);
    return b;
}

// One line on stderr, starting with the program's name.
bool oneLine(const QByteArray& err)
{
    return err.startsWith("zanvo-tool: ") && err.endsWith('\n') && err.count('\n') == 1;
}

} // namespace

class tst_ToolCommands : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init();
    void show();
    void checkPrintsHitsAndSummary();
    void checkWriteStoresTheProgramsColours();
    void drawnNumbersReadLikeTheInputBox_data();
    void drawnNumbersReadLikeTheInputBox();
    void duplicateDrawnNumbers_data();
    void duplicateDrawnNumbers();
    void randomBoards();
    void randomRefusesToOverwrite();
    void exportImportRoundTrip_data();
    void exportImportRoundTrip();
    void importFromStandardInput();
    void badCsvWritesNothing();
    void usageErrors_data();
    void usageErrors();
    void damagedOrMissingFiles_data();
    void damagedOrMissingFiles();
    void outputThatCannotBeWritten();
    void everyCommandsHelp_data();
    void everyCommandsHelp();
    void documentsOfferWhatTheToolTakes();

private:
    QString path(const char* name) const { return m_dir->filePath(QLatin1String(name)); }
    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_file; // three boards, see init()
};

void tst_ToolCommands::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    clsBoardCollection list;
    list.Add(boardOf({{7, CellWhite}, {12, CellGreen}, {33, 0x0000FF}}));
    list.Add(boardOf({}));
    list.Add(boardOf({{7, CellGreen}, {7, CellWhite}, {-4, CellWhite}, {12, CellWhite}}));
    m_file = path("boards.dat");
    WriteBoardFile(m_file, list);
}

void tst_ToolCommands::show()
{
    const Result r = tool({QStringLiteral("show"), m_file});
    QCOMPARE(r.status, 0);
    QCOMPARE(r.out, QByteArray("1: 7 12* 33#FF0000\n"
                               "2:\n"
                               "3: 7* 7 -4 12\n"));
    QVERIFY(r.err.isEmpty());
}

void tst_ToolCommands::checkPrintsHitsAndSummary()
{
    const QByteArray before = BytesOf(m_file);
    const Result r = tool({QStringLiteral("check"), m_file, QStringLiteral("7"), QStringLiteral("-4"),
                           QStringLiteral("99")});
    QCOMPARE(r.status, 0);
    QCOMPARE(r.out, QByteArray("1: 1 hit\n"
                               "2: 0 hits\n"
                               "3: 2 hits\n"
                               "0 hits: 1 board\n"
                               "1 hit: 1 board\n"
                               "2 hits: 1 board\n"
                               "3 hits: 0 boards\n"));
    QCOMPARE(BytesOf(m_file), before); // without --write the file stays as it was
}

void tst_ToolCommands::checkWriteStoresTheProgramsColours()
{
    const clsBoard drawn = *boardOf({{12, 0}, {7, 0}});
    const BoardsRef expected = ReadBoardFile(m_file);
    CheckBoards(*expected, drawn);

    const Result plain = tool({QStringLiteral("check"), m_file, QStringLiteral("12"), QStringLiteral("7")});
    const Result written = tool({QStringLiteral("check"), QStringLiteral("--write"), m_file, QStringLiteral("12"),
                                 QStringLiteral("7")});
    QCOMPARE(written.status, 0);
    QCOMPARE(written.out, plain.out);
    const std::vector<std::uint8_t> bytes = EncodeBoards(*expected);
    QCOMPARE(BytesOf(m_file), QByteArray(reinterpret_cast<const char*>(bytes.data()), qsizetype(bytes.size())));
    QCOMPARE(tool({QStringLiteral("show"), m_file}).out, QByteArray("1: 7* 12* 33\n2:\n3: 7* 7 -4 12*\n"));
}

void tst_ToolCommands::drawnNumbersReadLikeTheInputBox_data()
{
    QTest::addColumn<QString>("argument");
    QTest::addColumn<int>("greenCell"); // on the board 0, 2, 4, -4, 7, 12
    QTest::newRow("leading blanks") << QStringLiteral("  7") << 4;
    QTest::newRow("letters after the number") << QStringLiteral("12abc") << 5;
    QTest::newRow("letters alone read 0") << QStringLiteral("abc") << 0;
    QTest::newRow("half to even, down") << QStringLiteral("2.5") << 1;
    QTest::newRow("half to even, up") << QStringLiteral("3.5") << 2;
    QTest::newRow("negative without --") << QStringLiteral("-4") << 3;
    QTest::newRow("exponent") << QStringLiteral("7e0") << 4;
}

void tst_ToolCommands::drawnNumbersReadLikeTheInputBox()
{
    QFETCH(QString, argument);
    QFETCH(int, greenCell);
    clsBoardCollection list;
    list.Add(boardOf({{0, 0}, {2, 0}, {4, 0}, {-4, 0}, {7, 0}, {12, 0}}));
    WriteBoardFile(m_file, list);
    const Result r = tool({QStringLiteral("check"), m_file, argument, QStringLiteral("--write")});
    QCOMPARE(r.status, 0);
    const BoardsRef after = ReadBoardFile(m_file);
    for (std::int32_t i = 0; i < 6; ++i)
        QCOMPARE(after->Item(1)->zanvo(i), i == greenCell ? CellGreen : CellWhite);
}

void tst_ToolCommands::duplicateDrawnNumbers_data()
{
    QTest::addColumn<QStringList>("drawn");
    QTest::addColumn<int>("number");
    QTest::newRow("same text") << QStringList{QStringLiteral("7"), QStringLiteral("3"), QStringLiteral("7")} << 7;
    QTest::newRow("same after rounding") << QStringList{QStringLiteral("2"), QStringLiteral("2.5")} << 2;
    QTest::newRow("two texts that read 0") << QStringList{QStringLiteral("x"), QStringLiteral("")} << 0;
}

void tst_ToolCommands::duplicateDrawnNumbers()
{
    QFETCH(QStringList, drawn);
    QFETCH(int, number);
    // The arguments are refused before the file is even looked at.
    for (const QString& file : {m_file, path("missing.dat")}) {
        const QByteArray before = BytesOf(file);
        const Result r = tool(QStringList{QStringLiteral("check"), QStringLiteral("--write"), file} + drawn);
        QCOMPARE(r.status, 2);
        QCOMPARE(r.err, QStringLiteral("zanvo-tool: The number already exists: %1\n").arg(number).toUtf8());
        QVERIFY(r.out.isEmpty());
        QCOMPARE(BytesOf(file), before);
    }
}

void tst_ToolCommands::randomBoards()
{
    const QString file = path("random.dat");
    QCOMPARE(tool({QStringLiteral("random"), QStringLiteral("40"), file}).status, 0);
    QCOMPARE(QFileInfo(file).size(), 4 + 204 * 40);
    const BoardsRef boards = ReadBoardFile(file);
    QCOMPARE(boards->Count(), 40);
    std::set<std::vector<std::int32_t>> distinct;
    for (const auto& board : *boards) {
        std::set<std::int32_t> numbers;
        std::vector<std::int32_t> row;
        for (const BoardEntry& e : board->Entries()) {
            QVERIFY(e.Number >= 0 && e.Number <= 99);
            QCOMPARE(e.Colour, CellWhite);
            numbers.insert(e.Number);
            row.push_back(e.Number);
        }
        QCOMPARE(numbers.size(), std::size_t(25));
        distinct.insert(row);
    }
    QCOMPARE(distinct.size(), std::size_t(40)); // not the same board forty times

    const QString empty = path("none.dat");
    QCOMPARE(tool({QStringLiteral("random"), QStringLiteral("0"), empty}).status, 0);
    QCOMPARE(BytesOf(empty), QByteArray(4, '\0'));
}

void tst_ToolCommands::randomRefusesToOverwrite()
{
    const QByteArray before = BytesOf(m_file);
    const Result refused = tool({QStringLiteral("random"), QStringLiteral("2"), m_file});
    QCOMPARE(refused.status, 1);
    QVERIFY(oneLine(refused.err));
    QVERIFY(refused.err.contains("--force"));
    QCOMPARE(BytesOf(m_file), before);

    QCOMPARE(tool({QStringLiteral("random"), QStringLiteral("2"), m_file, QStringLiteral("--force")}).status, 0);
    QCOMPARE(QFileInfo(m_file).size(), 4 + 204 * 2);
}

void tst_ToolCommands::exportImportRoundTrip_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("separator"); // empty: to standard output, with commas
    QTest::newRow("odd boards and colours") << QStringLiteral("odd") << QString();
    QTest::newRow("random boards after a check") << QStringLiteral("checked") << QString();
    QTest::newRow("empty list") << QStringLiteral("empty") << QString();
    QTest::newRow("odd boards, semicolons") << QStringLiteral("odd") << QStringLiteral("semicolon");
    QTest::newRow("checked boards, tabs") << QStringLiteral("checked") << QStringLiteral("tab");
    QTest::newRow("checked boards, commas to a file") << QStringLiteral("checked") << QStringLiteral("comma");
}

void tst_ToolCommands::exportImportRoundTrip()
{
    QFETCH(QString, kind);
    QFETCH(QString, separator);
    if (kind == QLatin1String("checked")) {
        QCOMPARE(tool({QStringLiteral("random"), QStringLiteral("30"), m_file, QStringLiteral("--force")}).status, 0);
        QCOMPARE(tool({QStringLiteral("check"), m_file, QStringLiteral("5"), QStringLiteral("17"), QStringLiteral("--write")})
                     .status,
                 0);
    } else if (kind == QLatin1String("empty")) {
        WriteBoardFile(m_file, clsBoardCollection());
    }
    const QString csv = path("boards.csv");
    if (separator.isEmpty()) {
        const Result exported = tool({QStringLiteral("export"), m_file});
        QCOMPARE(exported.status, 0);
        WriteBytes(csv, exported.out);
    } else {
        const Result exported = tool({QStringLiteral("export"), m_file, QStringLiteral("-o"), csv,
                                      QStringLiteral("--separator"), separator});
        QCOMPARE(exported.status, 0);
        QVERIFY(exported.out.isEmpty());
        const char mark = separator == QLatin1String("tab") ? '\t' : ';';
        QCOMPARE(BytesOf(csv).contains(mark), separator != QLatin1String("comma"));
    }
    const QString back = path("back.dat");
    const Result imported = tool({QStringLiteral("import"), csv, back});
    QCOMPARE(imported.status, 0);
    QVERIFY(imported.err.isEmpty());
    QCOMPARE(BytesOf(back), BytesOf(m_file));
}

void tst_ToolCommands::importFromStandardInput()
{
    const QString file = path("in.dat");
    const Result r = tool({QStringLiteral("import"), QStringLiteral("-"), file},
                          "N1,N2\n1,2,colours,#FFFFFF,#00FF00\n");
    QCOMPARE(r.status, 0);
    QCOMPARE(r.err, QByteArray("zanvo-tool: standard input: row 1 holds no number; it was skipped as a header\n"));
    QCOMPARE(tool({QStringLiteral("show"), file}).out, QByteArray("1: 1 2*\n"));
}

void tst_ToolCommands::badCsvWritesNothing()
{
    const QString csv = path("bad.csv");
    WriteBytes(csv, "1,2,3\r\n4,5,6\r\n7,4294967296,9\r\n10,x\r\n");
    const QByteArray before = BytesOf(m_file);
    const Result replaced = tool({QStringLiteral("import"), csv, m_file, QStringLiteral("--force")});
    QCOMPARE(replaced.status, 1);
    QVERIFY(oneLine(replaced.err));
    QVERIFY2(replaced.err.contains((csv + QStringLiteral(": row 3, column B: \"4294967296\"")).toUtf8()),
             replaced.err.constData());
    QCOMPARE(BytesOf(m_file), before);

    const QString fresh = path("fresh.dat");
    QCOMPARE(tool({QStringLiteral("import"), csv, fresh}).status, 1);
    QVERIFY(!QFileInfo::exists(fresh));
}

void tst_ToolCommands::usageErrors_data()
{
    QTest::addColumn<QStringList>("arguments");
    const QString f = QStringLiteral("F.dat");
    QTest::newRow("nothing") << QStringList{};
    QTest::newRow("unknown command") << QStringList{QStringLiteral("list"), f};
    QTest::newRow("unknown option") << QStringList{QStringLiteral("show"), f, QStringLiteral("--all")};
    QTest::newRow("show without FILE") << QStringList{QStringLiteral("show")};
    QTest::newRow("show with two files") << QStringList{QStringLiteral("show"), f, f};
    QTest::newRow("show --write") << QStringList{QStringLiteral("show"), QStringLiteral("--write"), f};
    QTest::newRow("check without FILE") << QStringList{QStringLiteral("check")};
    QTest::newRow("check --force") << QStringList{QStringLiteral("check"), f, QStringLiteral("1"), QStringLiteral("--force")};
    QTest::newRow("drawn number beyond 32 bits") << QStringList{QStringLiteral("check"), f, QStringLiteral("3e9")};
    QTest::newRow("random without FILE") << QStringList{QStringLiteral("random"), QStringLiteral("5")};
    QTest::newRow("random COUNT letters") << QStringList{QStringLiteral("random"), QStringLiteral("five"), f};
    QTest::newRow("random COUNT negative") << QStringList{QStringLiteral("random"), QStringLiteral("-1"), f};
    QTest::newRow("random COUNT beyond 32 bits") << QStringList{QStringLiteral("random"), QStringLiteral("2147483648"), f};
    QTest::newRow("export --force without -o") << QStringList{QStringLiteral("export"), f, QStringLiteral("--force")};
    QTest::newRow("export --separator unknown")
        << QStringList{QStringLiteral("export"), f, QStringLiteral("--separator"), QStringLiteral("pipe")};
    QTest::newRow("show --separator") << QStringList{QStringLiteral("show"), f, QStringLiteral("--separator=tab")};
    QTest::newRow("import without FILE") << QStringList{QStringLiteral("import"), QStringLiteral("a.csv")};
    const QString pdf = QStringLiteral("F.pdf");
    QTest::newRow("report without -o") << QStringList{QStringLiteral("report"), f, QStringLiteral("3")};
    QTest::newRow("report -o without its value") << QStringList{QStringLiteral("report"), f, QStringLiteral("-o")};
    QTest::newRow("report on unknown paper")
        << QStringList{QStringLiteral("report"), f, QStringLiteral("-o"), pdf, QStringLiteral("--paper"), QStringLiteral("a5")};
    QTest::newRow("report duplicate drawn number")
        << QStringList{QStringLiteral("report"), f, QStringLiteral("4"), QStringLiteral("4.2"), QStringLiteral("-o"), pdf};
    QTest::newRow("show -o") << QStringList{QStringLiteral("show"), f, QStringLiteral("-o"), pdf};
}

void tst_ToolCommands::usageErrors()
{
    QFETCH(QStringList, arguments);
    const Result r = tool(arguments);
    QCOMPARE(r.status, 2);
    QVERIFY2(oneLine(r.err), r.err.constData());
    QVERIFY(r.out.isEmpty());
    QVERIFY(!QFileInfo::exists(QStringLiteral("F.dat")));
    QVERIFY(!QFileInfo::exists(QStringLiteral("F.pdf")));
}

void tst_ToolCommands::damagedOrMissingFiles_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<QByteArray>("bytes"); // empty: no file at all
    const QByteArray truncated = QByteArray("\x02\x00\x00\x00\x00\x00\x00\x00\x05\x00\x00\x00", 12);
    for (const char* command : {"show", "check", "export"}) {
        QTest::addRow("%s missing", command) << QString::fromLatin1(command) << QByteArray();
        QTest::addRow("%s truncated", command) << QString::fromLatin1(command) << truncated;
        QTest::addRow("%s short count", command) << QString::fromLatin1(command) << QByteArray("\x01\x00", 2);
    }
    QTest::newRow("check --write truncated") << QStringLiteral("check --write") << truncated;
}

void tst_ToolCommands::damagedOrMissingFiles()
{
    QFETCH(QString, command);
    QFETCH(QByteArray, bytes);
    const QString file = path("damaged.dat");
    if (!bytes.isEmpty())
        WriteBytes(file, bytes);
    QStringList arguments = command.split(QLatin1Char(' '));
    arguments << file;
    if (command.startsWith(QLatin1String("check")))
        arguments << QStringLiteral("5");
    const Result r = tool(arguments);
    QCOMPARE(r.status, 1);
    QVERIFY2(oneLine(r.err), r.err.constData());
    QVERIFY(r.err.contains(file.toUtf8()));
    QCOMPARE(BytesOf(file), bytes); // neither repaired nor created
    QCOMPARE(QFileInfo::exists(file), !bytes.isEmpty());
}

void tst_ToolCommands::outputThatCannotBeWritten()
{
    QByteArray none;
    QBuffer in(&none);
    QBuffer out;
    QBuffer err;
    in.open(QIODevice::ReadOnly);
    out.open(QIODevice::ReadOnly); // every write fails
    err.open(QIODevice::WriteOnly);
    const int status = RunTool({QStringLiteral("zanvo-tool"), QStringLiteral("show"), m_file}, in, out, err);
    QCOMPARE(status, 1);
    QVERIFY2(oneLine(err.data()), err.data().constData());
    QVERIFY(err.data().contains("Cannot write the output"));
}

namespace {

// The commands of the general help, and the options each command's help names.
QList<QPair<QString, QStringList>> commandsOfTheHelp()
{
    QList<QPair<QString, QStringList>> commands;
    const QString help = QString::fromUtf8(tool({QStringLiteral("--help")}).out);
    for (const auto& command : QRegularExpression(QStringLiteral("^  ([a-z]+) "), QRegularExpression::MultilineOption)
                                   .globalMatch(help)) {
        QStringList options;
        const QString usage = QString::fromUtf8(tool({QStringLiteral("help"), command.captured(1)}).out);
        for (const auto& option : QRegularExpression(QStringLiteral("(?<![\\w-])--?[a-z][a-z-]*")).globalMatch(usage))
            options << option.captured();
        options.removeDuplicates();
        options.sort();
        commands.append({command.captured(1), options});
    }
    return commands;
}

} // namespace

void tst_ToolCommands::everyCommandsHelp_data()
{
    QTest::addColumn<QString>("command");
    const auto commands = commandsOfTheHelp();
    QCOMPARE(commands.size(), 6);
    for (const auto& command : commands)
        QTest::newRow(qPrintable(command.first)) << command.first;
}

void tst_ToolCommands::everyCommandsHelp()
{
    QFETCH(QString, command);
    const Result asked = tool({command, QStringLiteral("--help")});
    QCOMPARE(asked.status, 0);
    QVERIFY(asked.err.isEmpty());
    QVERIFY2(asked.out.startsWith("Usage: zanvo-tool " + command.toUtf8() + ' '), asked.out.constData());
    QCOMPARE(tool({QStringLiteral("help"), command}).out, asked.out);
    // The general help holds the same part, after the usage line.
    QVERIFY(tool({QStringLiteral("--help")}).out.contains(asked.out.mid(asked.out.indexOf('\n') + 1)));
}

// The manual page and the bash completion name every command and each command's
// options, as the tool's help does.
void tst_ToolCommands::documentsOfferWhatTheToolTakes()
{
    const QString man = QString::fromUtf8(BytesOf(QStringLiteral(ZANVO_SOURCE_DIR "/docs/man/zanvo-tool.1")))
                            .replace(QLatin1String("\\-"), QLatin1String("-"));
    const auto section = [&](const char* name) {
        const qsizetype start = man.indexOf(QLatin1String("\n.SH ") + QLatin1String(name));
        return man.mid(start, man.indexOf(QLatin1String("\n.SH "), start + 1) - start);
    };
    const QString completion = QStringLiteral(ZANVO_SOURCE_DIR "/data/zanvo-tool.bash-completion");
    QString script = QStringLiteral(". \"$1\"; echo $_zanvo_tool_commands;");
    QStringList commands{QStringLiteral("help")};
    QStringList offered;
    for (const auto& [command, options] : commandsOfTheHelp()) {
        QVERIFY2(section("SYNOPSIS").contains(QLatin1String("\n.B zanvo-tool ") + command), qPrintable(command));
        QVERIFY2(section("COMMANDS").contains(QRegularExpression(QStringLiteral("\n\\.BI? %1\\b").arg(command))),
                 qPrintable(command));
        for (const QString& option : options) {
            const QRegularExpression named(QStringLiteral("(?<![\\w-])%1(?![\\w-])").arg(option));
            QVERIFY2(section("OPTIONS").contains(named), qPrintable(option));
        }
        commands << command;
        offered << options.join(QLatin1Char(' '));
        script += QStringLiteral("echo $(_zanvo_tool_options %1 | tr ' ' '\\n' | LC_ALL=C sort);").arg(command);
    }
    commands.sort();
    QProcess bash;
    bash.start(QStringLiteral("bash"), {QStringLiteral("-c"), script, QStringLiteral("bash"), completion});
    QVERIFY(bash.waitForFinished());
    QStringList lines = QString::fromUtf8(bash.readAllStandardOutput().chopped(1)).split(QLatin1Char('\n'));
    QCOMPARE(lines.size(), offered.size() + 1);
    QStringList completed = lines.takeFirst().split(QLatin1Char(' '));
    completed.sort();
    QCOMPARE(completed, commands);
    QCOMPARE(lines, offered);
}

QTEST_GUILESS_MAIN(tst_ToolCommands)
#include "tst_ToolCommands.moc"
