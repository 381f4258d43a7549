// SPDX-License-Identifier: GPL-3.0-or-later
#include "ToolCommands.h"

#include "BoardCsv.h"
#include "BoardFileStream.h"
#include "ColourText.h"
#include "HitsText.h"
#include "ReportModule.h"
#include "TextSink.h"

#include "board/BoardFile.h"
#include "board/BoardFileIO.h"
#include "board/BoardFileSave.h"
#include "board/FileProblem.h"
#include "board/NumberReading.h"
#include "board/RandomBoard.h"
#include "board/ZanvoError.h"
#include "check/MatchCheck.h"

#include <QCommandLineParser>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QIODevice>
#include <QLocale>
#include <QStorageInfo>

#include "zanvo_version.h"

#include <algorithm>
#include <cerrno>
#include <limits>
#include <new>
#include <stdexcept>
#include <vector>

namespace {

constexpr int FileAlreadyExists = 58;

// Each command's part of the help: its synopsis, then what it does.
struct CommandHelp {
    const char* name;
    const char* usage;
    const char* text;
};

const CommandHelp Commands[] = {
    {"show", "show FILE",
     "  show FILE            one line per board: its position, then its numbers; a\n"
     "                       drawn (green) cell is marked *, any colour other than\n"
     "                       white or green is written #RRGGBB after the number\n"},
    {"check", "check FILE [N ...] [--write]",
     "  check FILE [N ...]   the program's match check for the drawn numbers N (read\n"
     "                       like its input box, duplicates refused); prints each\n"
     "                       board's hits, then one line per hit count\n"
     "      --write          store the colours in FILE, as the program's save does\n"},
    {"random", "random COUNT FILE [--force]",
     "  random COUNT FILE    write COUNT random boards, made like the program's Random\n"
     "      --force          replace FILE if it exists\n"},
    {"export", "export FILE [-o OUT.csv [--force]] [--separator comma|semicolon|tab]",
     "  export FILE          the boards as CSV, on standard output unless -o is given\n"
     "      -o, --output OUT.csv  the CSV file to write\n"
     "      --force          replace OUT.csv if it exists\n"
     "      --separator comma|semicolon|tab\n"
     "                       between fields (comma unless given; semicolon or tab\n"
     "                       for spreadsheets that expect them)\n"},
    {"import", "import CSV FILE [--force] [--separator comma|semicolon|tab]",
     "  import CSV FILE      the boards of CSV (- for standard input) into FILE; comma,\n"
     "                       semicolon or tab separated, UTF-8 or UTF-16; a first row\n"
     "                       without numbers is skipped as a header\n"
     "      --force          replace FILE if it exists\n"
     "      --separator comma|semicolon|tab\n"
     "                       the separator, when the first row misleads\n"},
    {"report", "report FILE [N ...] -o OUT.pdf [--paper a4|letter] [--force]",
     "  report FILE [N ...] -o OUT.pdf\n"
     "                       a PDF of every board as the program draws it, coloured by\n"
     "                       the check of N (or as stored, without N), with each\n"
     "                       board's hits and check's summary\n"
     "      -o, --output OUT.pdf  the PDF to write\n"
     "      --paper a4|letter     the paper size (A4 unless given)\n"
     "      --force          replace OUT.pdf if it exists\n"},
};

const char* const HelpStart = "Usage: zanvo-tool COMMAND ARGUMENTS [OPTIONS]\n"
                              "Reads and writes Zanvo board files (*.dat) without a display.\n"
                              "\n"
                              "Commands:\n";

const char* const HelpEnd =
    "\n"
    "Options:\n"
    "  -h, --help           show this help, or after a command its usage\n"
    "  -v, --version        show the version\n"
    "\n"
    "zanvo-tool help COMMAND shows one command's usage. A negative N needs no \"--\"\n"
    "in front of it.\n"
    "Exit status: 0 success; 1 a file missing, damaged or not written (one line on\n"
    "standard error); 2 a usage error, a drawn number twice included.\n";

// The command line is wrong; nothing has been read or written.
class UsageError : public std::runtime_error {
public:
    explicit UsageError(const QString& message) : std::runtime_error(message.toStdString()) {}
};

void writeLine(QIODevice& device, const QString& text)
{
    QString line = text;
    line.replace(QLatin1Char('\n'), QLatin1Char(' '));
    line.replace(QLatin1Char('\r'), QLatin1Char(' '));
    const QByteArray bytes = line.toUtf8() + '\n';
    device.write(bytes);
}

void writeText(QIODevice& out, const char* text)
{
    TextSink sink(out);
    sink.Append(text);
    sink.Flush();
}

// "-4" and "-.5" are drawn numbers, not options; the tool has no such options.
bool isNegativeNumber(const QString& argument)
{
    if (argument.size() < 2 || argument[0] != QLatin1Char('-'))
        return false;
    const char16_t c = argument[1].unicode();
    return (c >= u'0' && c <= u'9') || c == u'.';
}

struct CommandLine {
    QString command;
    QStringList arguments; // after the command
    bool write = false;
    bool force = false;
    QString output; // report's and export's -o; empty when not given
    QString paper;
    QString separator;
    bool help = false;
    bool version = false;
};

CommandLine parseCommandLine(const QStringList& arguments)
{
    // Every option moves in front, with the value of one that takes a value, and
    // every other argument behind "--": negative numbers then reach the command
    // unchanged.
    const QStringList takesValue{QStringLiteral("-o"), QStringLiteral("--output"), QStringLiteral("--paper"),
                                 QStringLiteral("--separator")};
    const QStringList known = takesValue
        + QStringList{QStringLiteral("-h"), QStringLiteral("--help"), QStringLiteral("-v"), QStringLiteral("--version"),
                      QStringLiteral("--write"), QStringLiteral("--force")};
    QStringList ordered{arguments.value(0, QStringLiteral("zanvo-tool"))};
    QStringList positional;
    bool rest = false;
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString& a = arguments[i];
        if (rest || a == QLatin1String("-") || !a.startsWith(QLatin1Char('-')) || isNegativeNumber(a)) {
            positional << a;
        } else if (a == QLatin1String("--")) {
            rest = true;
        } else {
            // Named as typed: the parser's own message drops the dashes.
            const QString name = a.startsWith(QLatin1String("--")) ? a.section(QLatin1Char('='), 0, 0) : a;
            const bool shortOptions = !a.startsWith(QLatin1String("--"))
                && std::all_of(a.begin() + 1, a.end(), [](QChar c) { return c == u'h' || c == u'v'; });
            if (!known.contains(name) && !shortOptions)
                throw UsageError(QStringLiteral("unknown option \"%1\"; see zanvo-tool --help").arg(name));
            ordered << a;
            if (takesValue.contains(a)) {
                if (i + 1 == arguments.size())
                    throw UsageError(QStringLiteral("%1 needs a value; see zanvo-tool --help").arg(a));
                ordered << arguments[++i];
            }
        }
    }
    ordered << QStringLiteral("--") << positional;

    QCommandLineParser parser;
    const QCommandLineOption help(QStringList{QStringLiteral("h"), QStringLiteral("help")});
    const QCommandLineOption version(QStringList{QStringLiteral("v"), QStringLiteral("version")});
    const QCommandLineOption write(QStringLiteral("write"));
    const QCommandLineOption force(QStringLiteral("force"));
    const QCommandLineOption output(QStringList{QStringLiteral("o"), QStringLiteral("output")}, QString(),
                                    QStringLiteral("OUT"));
    const QCommandLineOption paper(QStringLiteral("paper"), QString(), QStringLiteral("SIZE"));
    const QCommandLineOption separator(QStringLiteral("separator"), QString(), QStringLiteral("NAME"));
    parser.addOptions({help, version, write, force, output, paper, separator});
    if (!parser.parse(ordered)) {
        QString why = parser.errorText();
        if (why.endsWith(QLatin1Char('.')))
            why.chop(1);
        throw UsageError(why + QStringLiteral("; see zanvo-tool --help"));
    }

    CommandLine line;
    line.arguments = parser.positionalArguments();
    if (!line.arguments.isEmpty())
        line.command = line.arguments.takeFirst();
    line.write = parser.isSet(write);
    line.force = parser.isSet(force);
    line.help = parser.isSet(help);
    line.version = parser.isSet(version);
    line.output = parser.isSet(output) ? parser.value(output) : QString();
    line.paper = parser.isSet(paper) ? parser.value(paper) : QString();
    line.separator = parser.isSet(separator) ? parser.value(separator) : QString();
    if (parser.isSet(output) && line.output.isEmpty())
        throw UsageError(QStringLiteral("-o needs a file name; see zanvo-tool --help"));
    return line;
}

void expectArguments(const CommandLine& line, qsizetype count, const char* synopsis)
{
    if (line.arguments.size() != count)
        throw UsageError(QStringLiteral("usage: zanvo-tool %1").arg(QLatin1String(synopsis)));
}

void refuseOption(const CommandLine& line, bool set, const char* option)
{
    if (set)
        throw UsageError(QStringLiteral("%1 is not an option of %2").arg(QLatin1String(option), line.command));
}

// Only report and export write a file of -o; only CSV has separators.
void refuseOtherCommandsOptions(const CommandLine& line)
{
    const bool report = line.command == QLatin1String("report");
    const bool csv = line.command == QLatin1String("export") || line.command == QLatin1String("import");
    refuseOption(line, !line.output.isEmpty() && !report && line.command != QLatin1String("export"), "--output");
    refuseOption(line, !line.paper.isEmpty() && !report, "--paper");
    refuseOption(line, !line.separator.isEmpty() && !csv, "--separator");
}

CsvSeparator separatorOf(const CommandLine& line)
{
    if (line.separator.isEmpty())
        return CsvSeparator::Auto;
    if (const std::optional<CsvSeparator> separator = CsvSeparatorNamed(line.separator.toStdString()))
        return *separator;
    throw UsageError(QStringLiteral("--separator must be comma, semicolon or tab, not \"%1\"").arg(line.separator));
}

// The board files the tool makes are never written over by accident.
void refuseExisting(const QString& sFile, bool force)
{
    const QFileInfo info(sFile);
    if (!force && (info.exists() || info.isSymLink()))
        throw ZanvoError(FileAlreadyExists,
                         QStringLiteral("%1: The file exists; add --force to replace it").arg(sFile).toStdString());
}

[[noreturn]] void throwProblem(FileProblem problem, const QString& sFile, const QString& systemText = {})
{
    throw ZanvoError(ErrorNumberFor(problem), ProblemSentence(problem, sFile, systemText).toStdString());
}

// "204 GB": a size as people read it.
QString sizeText(std::uint64_t bytes)
{
    return QLocale::c().formattedDataSize(static_cast<qint64>(bytes), 1, QLocale::DataSizeSIFormat);
}

// A file that cannot fit is refused before anything is made: writing it would
// only fill the disk and fail.
void refuseWithoutRoom(const QString& sFile, std::uint64_t bytes)
{
    const QStorageInfo disk(QFileInfo(sFile).absolutePath());
    if (!disk.isValid() || disk.bytesAvailable() < 0 || bytes <= static_cast<std::uint64_t>(disk.bytesAvailable()))
        return;
    const auto free = static_cast<std::uint64_t>(disk.bytesAvailable());
    throw ZanvoError(ErrorNumber::DiskFull,
                     QStringLiteral("There is no room for %1 on its disk: it needs %2 (%3 bytes), but only %4 is free. "
                                    "Nothing was written.")
                         .arg(QLatin1Char('"') + QDir::toNativeSeparators(sFile) + QLatin1Char('"'),
                              sizeText(bytes), QString::number(bytes), sizeText(free))
                         .toStdString());
}

// The drawn numbers, read like the check dialog's input box.
clsBoard readDrawnNumbers(const QStringList& texts)
{
    clsBoard drawn;
    for (const QString& text : texts) {
        const std::optional<std::int32_t> value = ReadNumberInRange(text.toStdString());
        if (!value)
            throw UsageError(QStringLiteral("drawn number \"%1\" is outside the 32-bit range").arg(text));
        if (drawn.FindNumber(*value) >= 0)
            throw UsageError(QStringLiteral("The number already exists: %1").arg(*value));
        drawn.AppendNumber(*value, 0);
    }
    return drawn;
}

// Output written so far is handed on even when the file turns out damaged later:
// the lines before the damage are complete and true.
template <typename Body>
void streamed(TextSink& sink, Body body)
{
    try {
        body();
    } catch (...) {
        try {
            sink.Flush();
        } catch (const ZanvoError&) {
            // the damage is the message that matters
        }
        throw;
    }
    sink.Flush();
}

void show(const CommandLine& line, QIODevice& out)
{
    expectArguments(line, 1, "show FILE");
    refuseOption(line, line.write, "--write");
    refuseOption(line, line.force, "--force");
    BoardFileStream stream(line.arguments[0]);
    TextSink sink(out);
    BoardBlock run;
    // The longest cell: " -2147483648#FFFFFFFF".
    constexpr std::size_t CellWidth = 24;
    constexpr std::size_t CellsAtOnce = TextSink::MaxReserve / CellWidth;
    streamed(sink, [&] {
        while (stream.NextBoard()) {
            char* at = sink.Reserve(32);
            at = WriteNumber(at, stream.Position());
            *at++ = ':';
            sink.Commit(at);
            while (stream.NextEntries(run)) {
                for (std::size_t i = 0; i < run.Size();) {
                    const std::size_t end = std::min(run.Size(), i + CellsAtOnce);
                    at = sink.Reserve(CellsAtOnce * CellWidth);
                    for (; i < end; ++i) {
                        *at++ = ' ';
                        at = WriteNumber(at, run.Number(i));
                        const std::int32_t colour = run.Colour(i);
                        if (colour == CellGreen) {
                            *at++ = '*';
                        } else if (colour != CellWhite) {
                            const std::string text = ColourText(colour);
                            at = std::copy(text.begin(), text.end(), at);
                        }
                    }
                    sink.Commit(at);
                }
            }
            sink.Append('\n');
        }
    });
}

void check(const CommandLine& line, QIODevice& out)
{
    if (line.arguments.isEmpty())
        throw UsageError(QStringLiteral("usage: zanvo-tool check FILE [N ...] [--write]"));
    refuseOption(line, line.force, "--force");
    const QString file = line.arguments[0];
    const clsBoard drawn = readDrawnNumbers(line.arguments.mid(1));

    // A board has at most one hit per drawn number. hits[k] counts the boards with k
    // hits; ending[k] is the rest of such a board's line.
    const auto outcomes = static_cast<std::size_t>(drawn.NumberCount()) + 2;
    std::vector<std::int64_t> hits(outcomes, 0);
    std::vector<std::string> ending;
    for (std::size_t k = 0; k < outcomes; ++k)
        ending.push_back(": " + HitsText(static_cast<std::int64_t>(k)) + "\n");
    TextSink sink(out);
    const auto report = [&](std::int32_t position, int count) {
        ++hits[static_cast<std::size_t>(count)];
        sink.AppendNumber(position);
        sink.Append(ending[static_cast<std::size_t>(count)]);
    };

    if (line.write) {
        // The whole list, checked and saved as the program does; printed only once saved.
        const BoardsRef boards = ReadBoardFile(file);
        MatchCheck matchCheck(drawn);
        std::vector<int> boardHits;
        for (const auto& board : *boards)
            boardHits.push_back(matchCheck.Check(*board));
        WriteBoardFile(file, *boards);
        std::int32_t position = 0;
        for (const int count : boardHits)
            report(++position, count);
    } else {
        BoardFileStream stream(file);
        MatchCheck counter(drawn);
        BoardBlock run;
        streamed(sink, [&] {
            while (stream.NextBoard()) {
                counter.StartBoard();
                while (stream.NextEntries(run))
                    counter.AddNumbers(run.Size(), [&](std::size_t i) { return run.Number(i); });
                report(stream.Position(), counter.Hits());
            }
        });
    }
    for (std::size_t k = 0; k < hits.size(); ++k) {
        sink.Append(HitSummaryLine(static_cast<std::int64_t>(k), hits[k]));
        sink.Append('\n');
    }
    sink.Flush();
}

std::int32_t readCount(const QString& text)
{
    bool digitsOnly = !text.isEmpty() && text.size() <= 10;
    for (const QChar c : text)
        digitsOnly = digitsOnly && c >= QLatin1Char('0') && c <= QLatin1Char('9');
    const qlonglong count = digitsOnly ? text.toLongLong() : -1;
    if (count < 0 || count > std::numeric_limits<std::int32_t>::max())
        throw UsageError(QStringLiteral("COUNT must be a whole number from 0 to 2147483647, not \"%1\"").arg(text));
    return static_cast<std::int32_t>(count);
}

bool isCount(const QString& text)
{
    try {
        readCount(text);
        return true;
    } catch (const UsageError&) {
        return false;
    }
}

void random(const CommandLine& line)
{
    expectArguments(line, 2, "random COUNT FILE [--force]");
    refuseOption(line, line.write, "--write");
    if (!isCount(line.arguments[0]) && isCount(line.arguments[1]))
        throw UsageError(QStringLiteral("COUNT comes first: zanvo-tool random COUNT FILE"));
    const std::int32_t count = readCount(line.arguments[0]);
    const QString file = line.arguments[1];
    refuseExisting(file, line.force);
    refuseWithoutRoom(file, 4 + std::uint64_t{204} * static_cast<std::uint64_t>(count));
    // One clock seed for the run: reseeding for every board would only cost time.
    const UniformSource uniform = ClockSeededUniform();
    clsBoardCollection boards;
    boards.Reserve(static_cast<std::size_t>(count));
    for (std::int32_t i = 0; i < count; ++i)
        boards.Add(MakeRandomBoard(uniform));
    WriteBoardFile(file, boards);
}

// The file a command makes must not take the place of the board file it reads,
// not even with --force.
void refuseOwnBoardFile(const QString& sOutput, const QString& sFile, const char* what)
{
    const QFileInfo in(sFile);
    const QFileInfo made(sOutput);
    if (made.exists() && in.exists() && made.canonicalFilePath() == in.canonicalFilePath())
        throw UsageError(QStringLiteral("%1: the %2 would replace the board file it is made from")
                             .arg(sOutput, QLatin1String(what)));
}

void writeCsv(BoardFileStream& stream, TextSink& sink, char separator)
{
    BoardBlock run;
    std::vector<BoardEntry> entries;
    std::string text;
    const auto pass = [&](const auto& append) {
        while (stream.NextEntries(run)) {
            run.CopyTo(entries);
            text.clear();
            append();
            sink.Append(text);
        }
    };
    streamed(sink, [&] {
        while (stream.NextBoard()) {
            // A long board comes in runs: the colours, when the row has them, are a
            // second pass over the board.
            bool plain = true;
            bool first = true;
            pass([&] {
                plain = AppendCsvNumbers(entries, first, text, separator) && plain;
                first = false;
            });
            text.clear();
            if (!plain || stream.BoardSize() == 0) {
                AppendCsvColourMarker(stream.BoardSize() > 0, text, separator);
                sink.Append(text);
                stream.RewindBoard();
                pass([&] { AppendCsvColours(entries, text, separator); });
                text.clear();
            }
            AppendCsvRowEnd(text);
            sink.Append(text);
        }
    });
}

void exportCsv(const CommandLine& line, QIODevice& out)
{
    expectArguments(line, 1, "export FILE [-o OUT.csv [--force]] [--separator comma|semicolon|tab]");
    refuseOption(line, line.write, "--write");
    if (line.force && line.output.isEmpty())
        throw UsageError(QStringLiteral("--force goes with -o OUT.csv; without it export writes to standard output"));
    const char separator = CsvSeparatorChar(separatorOf(line));
    const QString file = line.arguments[0];
    if (line.output.isEmpty()) {
        BoardFileStream stream(file);
        TextSink sink(out);
        writeCsv(stream, sink, separator);
        return;
    }
    refuseOwnBoardFile(line.output, file, "CSV");
    refuseExisting(line.output, line.force);
    BoardFileStream stream(file);
    // Like every file the program saves: beside its place, which it takes only
    // once complete.
    AtomicFileWrite csv(line.output, QStringLiteral("The CSV was not written; any file of that name is unchanged."));
    TextSink sink(csv);
    writeCsv(stream, sink, separator);
    csv.Commit();
}

// The CSV's boards as board-file bytes, without the count, in pieces of about a
// megabyte that each hold whole boards: records of small boards would take many
// times their bytes. `name` names `device` in messages.
struct CsvBytes {
    std::vector<std::vector<std::uint8_t>> pieces;
    std::int32_t count = 0;
    std::int64_t headerRow = 0; // skipped; 0 if none
};

CsvBytes readCsv(QIODevice& device, const QString& name, CsvSeparator separator)
{
    CsvBoardReader reader(
        [&](std::span<char> into) -> std::size_t {
            errno = 0;
            const qint64 got = device.read(into.data(), static_cast<qint64>(into.size()));
            if (got < 0)
                throwProblem(errno != 0 ? ProblemFromErrno(errno) : FileProblem::DeviceError, name,
                             device.errorString());
            return static_cast<std::size_t>(got);
        },
        separator);
    constexpr std::size_t Piece = std::size_t(1) << 20;
    CsvBytes csv;
    clsBoard board;
    try {
        while (reader.Next(board)) {
            const std::size_t bytes = 4 + 8 * board.Entries().size();
            if (csv.pieces.empty() || csv.pieces.back().size() + bytes > csv.pieces.back().capacity()) {
                csv.pieces.emplace_back();
                csv.pieces.back().reserve(std::max(Piece, bytes));
            }
            BoardFileWriter writer(csv.pieces.back());
            board.FileSave(writer);
            ++csv.count;
        }
    } catch (const CsvError& e) {
        throw ZanvoError(e.Number(), name.toStdString() + ": " + e.Description());
    }
    csv.headerRow = reader.HeaderRow();
    return csv;
}

void importCsv(const CommandLine& line, QIODevice& in, QIODevice& err)
{
    expectArguments(line, 2, "import CSV FILE [--force] [--separator comma|semicolon|tab]");
    refuseOption(line, line.write, "--write");
    const CsvSeparator separator = separatorOf(line);
    const QString file = line.arguments[1];
    refuseExisting(file, line.force);
    const QString sCsv = line.arguments[0];
    CsvBytes csv;
    if (sCsv == QLatin1String("-")) {
        const QString name = QStringLiteral("standard input");
        if (!in.isOpen())
            throw ZanvoError(ErrorNumber::DeviceIO, (name + QStringLiteral(": It cannot be read")).toStdString());
        csv = readCsv(in, name, separator);
    } else {
        // The same rule as for a board file: a pipe or device is refused unopened.
        QFile device;
        QString systemText;
        if (const std::optional<FileProblem> problem = OpenOrdinaryFile(device, sCsv, systemText))
            throwProblem(*problem, sCsv, systemText);
        csv = readCsv(device, sCsv, separator);
    }
    bool counted = false;
    std::size_t next = 0;
    WriteBoardFileBytes(file, [&](std::vector<std::uint8_t>& out) {
        if (!counted) {
            out.clear();
            BoardFileWriter(out).WriteInt32(csv.count);
            counted = true;
        } else if (next < csv.pieces.size()) {
            out = std::move(csv.pieces[next++]); // each piece is freed once written
        } else {
            return false;
        }
        return true;
    });
    // Told once the boards are saved: a failure stays the one line on standard error.
    if (csv.headerRow > 0)
        writeLine(err, QStringLiteral("zanvo-tool: %1: row %2 holds no number; it was skipped as a header")
                           .arg(sCsv == QLatin1String("-") ? QStringLiteral("standard input") : sCsv)
                           .arg(csv.headerRow));
}

void report(const CommandLine& line, QIODevice& err)
{
    const char* synopsis = "usage: zanvo-tool report FILE [N ...] -o OUT.pdf [--paper a4|letter] [--force]";
    if (line.arguments.isEmpty() || line.output.isEmpty())
        throw UsageError(QLatin1String(synopsis));
    refuseOption(line, line.write, "--write");
    ReportRequest request;
    request.file = line.arguments[0];
    request.output = line.output;
    const QString paper = line.paper.toLower();
    if (paper == QLatin1String("letter"))
        request.paper = ReportPaper::Letter;
    else if (!paper.isEmpty() && paper != QLatin1String("a4"))
        throw UsageError(QStringLiteral("--paper must be a4 or letter, not \"%1\"").arg(line.paper));
    const clsBoard drawn = readDrawnNumbers(line.arguments.mid(1));
    for (const BoardEntry& e : drawn.Entries())
        request.drawn.push_back(e.Number);
    // Even with --force a report never takes the place of the boards it shows.
    const QFileInfo in(request.file);
    const QFileInfo pdf(request.output);
    if (pdf.exists() && in.exists() && pdf.canonicalFilePath() == in.canonicalFilePath())
        throw UsageError(QStringLiteral("%1: the report would replace the board file it is made from").arg(request.output));
    refuseExisting(request.output, line.force);
    request.progress = &err;
    RunReport(request);
}

const CommandHelp* commandHelp(const QString& name)
{
    for (const CommandHelp& c : Commands) {
        if (name == QLatin1String(c.name))
            return &c;
    }
    return nullptr;
}

void writeHelp(QIODevice& out, const QString& command)
{
    std::string text;
    if (command.isEmpty()) {
        text = HelpStart;
        for (const CommandHelp& c : Commands)
            text += c.text;
        text += HelpEnd;
    } else if (const CommandHelp* c = commandHelp(command)) {
        text = std::string("Usage: zanvo-tool ") + c->usage + "\n" + c->text;
    } else {
        throw UsageError(QStringLiteral("unknown command \"%1\"; see zanvo-tool --help").arg(command));
    }
    writeText(out, text.c_str());
}

int run(const QStringList& arguments, QIODevice& in, QIODevice& out, QIODevice& err)
{
    const CommandLine line = parseCommandLine(arguments);
    if (line.command == QLatin1String("help")) {
        if (line.arguments.size() > 1)
            throw UsageError(QStringLiteral("usage: zanvo-tool help [COMMAND]"));
        writeHelp(out, line.arguments.value(0));
        return ToolExit::Success;
    }
    if (line.help) {
        writeHelp(out, line.command);
        return ToolExit::Success;
    }
    if (line.version) {
        writeText(out, "zanvo-tool " ZANVO_VERSION_STRING "\n");
        return ToolExit::Success;
    }
    if (line.command.isEmpty())
        throw UsageError(QStringLiteral("no command given; see zanvo-tool --help"));
    if (!commandHelp(line.command))
        throw UsageError(QStringLiteral("unknown command \"%1\"; see zanvo-tool --help").arg(line.command));
    refuseOtherCommandsOptions(line);
    if (line.command == QLatin1String("show"))
        show(line, out);
    else if (line.command == QLatin1String("check"))
        check(line, out);
    else if (line.command == QLatin1String("random"))
        random(line);
    else if (line.command == QLatin1String("export"))
        exportCsv(line, out);
    else if (line.command == QLatin1String("import"))
        importCsv(line, in, err);
    else
        report(line, err);
    return ToolExit::Success;
}

} // namespace

int RunTool(const QStringList& arguments, QIODevice& in, QIODevice& out, QIODevice& err)
{
    const QString prefix = QStringLiteral("zanvo-tool: ");
    try {
        return run(arguments, in, out, err);
    } catch (const UsageError& e) {
        writeLine(err, prefix + QString::fromStdString(e.what()));
        return ToolExit::Usage;
    } catch (const ZanvoError& e) {
        writeLine(err, prefix + QString::fromStdString(e.Description()));
        return ToolExit::Failure;
    } catch (const std::bad_alloc&) {
        writeLine(err, prefix + QString::fromStdString(ZanvoError::OutOfMemory().Description()));
        return ToolExit::Failure;
    } catch (const std::exception& e) {
        writeLine(err, prefix + QString::fromStdString(e.what()));
        return ToolExit::Failure;
    }
}
