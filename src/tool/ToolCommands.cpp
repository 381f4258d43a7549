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

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QIODevice>
#include <QLocale>
#include <QStorageInfo>

#include "zanvo_version.h"

#include <algorithm>
#include <bit>
#include <cerrno>
#include <limits>
#include <new>
#include <stdexcept>
#include <vector>

namespace {

constexpr int FileAlreadyExists = 58;

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

// The options besides -h and -v, in the order in which a command refuses those it
// does not take: first those with a value, then, after the count of arguments, the
// switches.
enum Option : unsigned { Output = 1, Paper = 2, Separator = 4, Write = 8, Force = 16 };

struct OptionName {
    Option option;
    const char* name; // after "--"
    bool takesValue;
};

constexpr OptionName Options[] = {
    {Output, "output", true}, {Paper, "paper", true},  {Separator, "separator", true},
    {Write, "write", false},  {Force, "force", false},
};

struct CommandLine {
    QString command;
    QStringList arguments; // after the command
    unsigned given = 0;    // the Options given; one with a value only with a value
    QString values[std::size(Options)];
    bool help = false;
    bool version = false;

    bool has(Option option) const { return (given & option) != 0; }
    const QString& value(Option option) const { return values[std::countr_zero(static_cast<unsigned>(option))]; }
};

CommandLine parseCommandLine(const QStringList& arguments)
{
    // Options may stand anywhere; every other argument reaches the command in its
    // order, negative numbers too. Options are named as typed.
    CommandLine line;
    QStringList positional;
    QString unexpectedValue; // told only when no option is unknown or lacks its value
    unsigned given = 0;
    bool rest = false;
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString& a = arguments[i];
        if (rest || a == QLatin1String("-") || !a.startsWith(QLatin1Char('-')) || isNegativeNumber(a)) {
            positional << a;
            continue;
        }
        if (a == QLatin1String("--")) {
            rest = true;
            continue;
        }
        const bool isLong = a.startsWith(QLatin1String("--"));
        const QString name = isLong ? a.section(QLatin1Char('='), 0, 0) : a;
        const bool hasValue = isLong && a.contains(QLatin1Char('='));
        const bool help = isLong ? name == QLatin1String("--help") : a.contains(u'h');
        const bool version = isLong ? name == QLatin1String("--version") : a.contains(u'v');
        // -h and -v may go together, as -hv.
        const bool switches = !isLong && std::all_of(a.begin() + 1, a.end(), [](QChar c) { return c == u'h' || c == u'v'; });
        if (switches || (isLong && (help || version))) {
            line.help = line.help || help;
            line.version = line.version || version;
            if (hasValue && unexpectedValue.isEmpty())
                unexpectedValue = name;
            continue;
        }
        const auto* option = std::find_if(std::begin(Options), std::end(Options), [&](const OptionName& o) {
            return name == QLatin1String("--") + QLatin1String(o.name) || (o.option == Output && a == QLatin1String("-o"));
        });
        if (option == std::end(Options))
            throw UsageError(QStringLiteral("unknown option \"%1\"; see zanvo-tool --help").arg(name));
        given |= option->option;
        QString& value = line.values[option - std::begin(Options)];
        if (!option->takesValue) {
            if (hasValue && unexpectedValue.isEmpty())
                unexpectedValue = name;
        } else if (hasValue) {
            value = a.section(QLatin1Char('='), 1);
        } else if (i + 1 == arguments.size()) {
            throw UsageError(QStringLiteral("%1 needs a value; see zanvo-tool --help").arg(a));
        } else {
            value = arguments[++i];
        }
    }
    if (!unexpectedValue.isEmpty())
        throw UsageError(QStringLiteral("Unexpected value after '%1'; see zanvo-tool --help").arg(unexpectedValue));
    if ((given & Output) && line.value(Output).isEmpty())
        throw UsageError(QStringLiteral("-o needs a file name; see zanvo-tool --help"));
    for (const OptionName& o : Options)
        line.given |= o.takesValue && line.value(o.option).isEmpty() ? 0 : given & o.option;
    line.command = positional.value(0);
    line.arguments = positional.mid(1);
    return line;
}

CsvSeparator separatorOf(const CommandLine& line)
{
    const QString& name = line.value(Separator);
    if (name.isEmpty())
        return CsvSeparator::Auto;
    if (const std::optional<CsvSeparator> separator = CsvSeparatorNamed(name.toStdString()))
        return *separator;
    throw UsageError(QStringLiteral("--separator must be comma, semicolon or tab, not \"%1\"").arg(name));
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

struct Devices {
    QIODevice& in;
    QIODevice& out;
    QIODevice& err;
};

void show(const CommandLine& line, const Devices& io)
{
    BoardFileStream stream(line.arguments[0]);
    TextSink sink(io.out);
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

void check(const CommandLine& line, const Devices& io)
{
    const QString file = line.arguments[0];
    const clsBoard drawn = readDrawnNumbers(line.arguments.mid(1));

    // A board has at most one hit per drawn number. hits[k] counts the boards with k
    // hits; ending[k] is the rest of such a board's line.
    const auto outcomes = static_cast<std::size_t>(drawn.NumberCount()) + 2;
    std::vector<std::int64_t> hits(outcomes, 0);
    std::vector<std::string> ending;
    for (std::size_t k = 0; k < outcomes; ++k)
        ending.push_back(": " + HitsText(static_cast<std::int64_t>(k)) + "\n");
    TextSink sink(io.out);
    const auto report = [&](std::int32_t position, int count) {
        ++hits[static_cast<std::size_t>(count)];
        sink.AppendNumber(position);
        sink.Append(ending[static_cast<std::size_t>(count)]);
    };

    MatchCheck matchCheck(drawn);
    if (line.has(Write)) {
        // The whole list, checked and saved as the program does; printed only once saved.
        const BoardsRef boards = ReadBoardFile(file);
        std::vector<int> boardHits;
        for (const auto& board : *boards)
            boardHits.push_back(matchCheck.Check(*board));
        WriteBoardFile(file, *boards);
        std::int32_t position = 0;
        for (const int count : boardHits)
            report(++position, count);
    } else {
        BoardFileStream stream(file);
        BoardBlock run;
        streamed(sink, [&] {
            while (stream.NextBoard()) {
                matchCheck.StartBoard();
                while (stream.NextEntries(run))
                    matchCheck.AddNumbers(run.Size(), [&](std::size_t i) { return run.Number(i); });
                report(stream.Position(), matchCheck.Hits());
            }
        });
    }
    for (std::size_t k = 0; k < hits.size(); ++k) {
        sink.Append(HitSummaryLine(static_cast<std::int64_t>(k), hits[k]));
        sink.Append('\n');
    }
    sink.Flush();
}

// A COUNT: digits only, from 0 to 2147483647.
std::optional<std::int32_t> countOf(const QString& text)
{
    const bool digitsOnly = !text.isEmpty() && text.size() <= 10
        && std::all_of(text.begin(), text.end(), [](QChar c) { return c >= u'0' && c <= u'9'; });
    const qlonglong count = digitsOnly ? text.toLongLong() : -1;
    if (count < 0 || count > std::numeric_limits<std::int32_t>::max())
        return std::nullopt;
    return static_cast<std::int32_t>(count);
}

void random(const CommandLine& line, const Devices&)
{
    const std::optional<std::int32_t> given = countOf(line.arguments[0]);
    if (!given && countOf(line.arguments[1]))
        throw UsageError(QStringLiteral("COUNT comes first: zanvo-tool random COUNT FILE"));
    if (!given)
        throw UsageError(QStringLiteral("COUNT must be a whole number from 0 to 2147483647, not \"%1\"")
                             .arg(line.arguments[0]));
    const std::int32_t count = *given;
    const QString file = line.arguments[1];
    refuseExisting(file, line.has(Force));
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

void exportCsv(const CommandLine& line, const Devices& io)
{
    const QString& output = line.value(Output);
    if (line.has(Force) && output.isEmpty())
        throw UsageError(QStringLiteral("--force goes with -o OUT.csv; without it export writes to standard output"));
    const char separator = CsvSeparatorChar(separatorOf(line));
    const QString file = line.arguments[0];
    std::optional<AtomicFileWrite> csv;
    if (!output.isEmpty()) {
        refuseOwnBoardFile(output, file, "CSV");
        refuseExisting(output, line.has(Force));
    }
    BoardFileStream stream(file);
    // Like every file the program saves: beside its place, which it takes only
    // once complete.
    if (!output.isEmpty())
        csv.emplace(output, QStringLiteral("The CSV was not written; any file of that name is unchanged."));
    TextSink sink = csv ? TextSink(*csv) : TextSink(io.out);
    writeCsv(stream, sink, separator);
    if (csv)
        csv->Commit();
}

// The CSV's boards as a board file's bytes, in pieces of about a megabyte that
// each hold whole boards: records of small boards would take many times their
// bytes. `name` names `device` in messages.
struct CsvBytes {
    std::vector<std::vector<std::uint8_t>> pieces; // the first holds only the count
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
    csv.pieces.emplace_back(); // the count, once known
    clsBoard board;
    try {
        while (reader.Next(board)) {
            const std::size_t bytes = 4 + 8 * board.Entries().size();
            if (csv.pieces.back().size() + bytes > csv.pieces.back().capacity()) {
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
    BoardFileWriter(csv.pieces.front()).WriteInt32(csv.count);
    csv.headerRow = reader.HeaderRow();
    return csv;
}

void importCsv(const CommandLine& line, const Devices& io)
{
    const CsvSeparator separator = separatorOf(line);
    const QString file = line.arguments[1];
    refuseExisting(file, line.has(Force));
    const QString sCsv = line.arguments[0];
    const QString name = sCsv == QLatin1String("-") ? QStringLiteral("standard input") : sCsv;
    CsvBytes csv;
    if (sCsv == QLatin1String("-")) {
        if (!io.in.isOpen())
            throw ZanvoError(ErrorNumber::DeviceIO, (name + QStringLiteral(": It cannot be read")).toStdString());
        csv = readCsv(io.in, name, separator);
    } else {
        // The same rule as for a board file: a pipe or device is refused unopened.
        QFile device;
        QString systemText;
        if (const std::optional<FileProblem> problem = OpenOrdinaryFile(device, sCsv, systemText))
            throwProblem(*problem, sCsv, systemText);
        csv = readCsv(device, sCsv, separator);
    }
    std::size_t next = 0;
    WriteBoardFileBytes(file, [&](std::vector<std::uint8_t>& out) {
        if (next == csv.pieces.size())
            return false;
        out = std::move(csv.pieces[next++]); // each piece is freed once written
        return true;
    });
    // Told once the boards are saved: a failure stays the one line on standard error.
    if (csv.headerRow > 0)
        writeLine(io.err, QStringLiteral("zanvo-tool: %1: row %2 holds no number; it was skipped as a header")
                              .arg(name)
                              .arg(csv.headerRow));
}

void report(const CommandLine& line, const Devices& io)
{
    ReportRequest request;
    request.file = line.arguments[0];
    request.output = line.value(Output);
    const QString paper = line.value(Paper).toLower();
    if (paper == QLatin1String("letter"))
        request.paper = ReportPaper::Letter;
    else if (!paper.isEmpty() && paper != QLatin1String("a4"))
        throw UsageError(QStringLiteral("--paper must be a4 or letter, not \"%1\"").arg(line.value(Paper)));
    const clsBoard drawn = readDrawnNumbers(line.arguments.mid(1));
    for (const BoardEntry& e : drawn.Entries())
        request.drawn.push_back(e.Number);
    refuseOwnBoardFile(request.output, request.file, "report");
    refuseExisting(request.output, line.has(Force));
    request.progress = &io.err;
    RunReport(request);
}

// A command: its synopsis, its part of the help (the synopsis, then what it does),
// the options it takes, how many arguments, and what runs it.
struct Command {
    const char* name;
    const char* synopsis;
    const char* help;
    unsigned options;
    bool needsOutput;
    qsizetype fewest; // arguments after the command
    qsizetype most;   // -1: any number
    void (*run)(const CommandLine&, const Devices&);
};

constexpr qsizetype Any = -1;

const Command Commands[] = {
    {"show", "show FILE",
     "  show FILE            one line per board: its position, then its numbers; a\n"
     "                       drawn (green) cell is marked *, any colour other than\n"
     "                       white or green is written #RRGGBB after the number\n",
     0, false, 1, 1, show},
    {"check", "check FILE [N ...] [--write]",
     "  check FILE [N ...]   the program's match check for the drawn numbers N (read\n"
     "                       like its input box, duplicates refused); prints each\n"
     "                       board's hits, then one line per hit count\n"
     "      --write          store the colours in FILE, as the program's save does\n",
     Write, false, 1, Any, check},
    {"random", "random COUNT FILE [--force]",
     "  random COUNT FILE    write COUNT random boards, made like the program's Random\n"
     "      --force          replace FILE if it exists\n",
     Force, false, 2, 2, random},
    {"export", "export FILE [-o OUT.csv [--force]] [--separator comma|semicolon|tab]",
     "  export FILE          the boards as CSV, on standard output unless -o is given\n"
     "      -o, --output OUT.csv  the CSV file to write\n"
     "      --force          replace OUT.csv if it exists\n"
     "      --separator comma|semicolon|tab\n"
     "                       between fields (comma unless given; semicolon or tab\n"
     "                       for spreadsheets that expect them)\n",
     Output | Force | Separator, false, 1, 1, exportCsv},
    {"import", "import CSV FILE [--force] [--separator comma|semicolon|tab]",
     "  import CSV FILE      the boards of CSV (- for standard input) into FILE; comma,\n"
     "                       semicolon or tab separated, UTF-8 or UTF-16; a first row\n"
     "                       without numbers is skipped as a header\n"
     "      --force          replace FILE if it exists\n"
     "      --separator comma|semicolon|tab\n"
     "                       the separator, when the first row misleads\n",
     Force | Separator, false, 2, 2, importCsv},
    {"report", "report FILE [N ...] -o OUT.pdf [--paper a4|letter] [--force]",
     "  report FILE [N ...] -o OUT.pdf\n"
     "                       a PDF of every board as the program draws it, coloured by\n"
     "                       the check of N (or as stored, without N), with each\n"
     "                       board's hits and check's summary\n"
     "      -o, --output OUT.pdf  the PDF to write\n"
     "      --paper a4|letter     the paper size (A4 unless given)\n"
     "      --force          replace OUT.pdf if it exists\n",
     Output | Paper | Force, true, 1, Any, report},
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

const Command& commandNamed(const QString& name)
{
    for (const Command& c : Commands) {
        if (name == QLatin1String(c.name))
            return c;
    }
    throw UsageError(QStringLiteral("unknown command \"%1\"; see zanvo-tool --help").arg(name));
}

void writeHelp(QIODevice& out, const QString& command)
{
    std::string text;
    if (command.isEmpty()) {
        text = HelpStart;
        for (const Command& c : Commands)
            text += c.help;
        text += HelpEnd;
    } else {
        const Command& c = commandNamed(command);
        text = std::string("Usage: zanvo-tool ") + c.synopsis + "\n" + c.help;
    }
    writeText(out, text.c_str());
}

void refuseOptions(const CommandLine& line, const Command& command, bool withValue)
{
    for (const OptionName& o : Options) {
        if (o.takesValue == withValue && line.has(o.option) && (command.options & o.option) == 0)
            throw UsageError(QStringLiteral("--%1 is not an option of %2").arg(QLatin1String(o.name), line.command));
    }
}

int run(const QStringList& arguments, const Devices& io)
{
    const CommandLine line = parseCommandLine(arguments);
    if (line.command == QLatin1String("help")) {
        if (line.arguments.size() > 1)
            throw UsageError(QStringLiteral("usage: zanvo-tool help [COMMAND]"));
        writeHelp(io.out, line.arguments.value(0));
        return ToolExit::Success;
    }
    if (line.help) {
        writeHelp(io.out, line.command);
        return ToolExit::Success;
    }
    if (line.version) {
        writeText(io.out, "zanvo-tool " ZANVO_VERSION_STRING "\n");
        return ToolExit::Success;
    }
    if (line.command.isEmpty())
        throw UsageError(QStringLiteral("no command given; see zanvo-tool --help"));
    const Command& command = commandNamed(line.command);
    refuseOptions(line, command, true);
    const qsizetype count = line.arguments.size();
    if (count < command.fewest || (command.most != Any && count > command.most)
        || (command.needsOutput && !line.has(Output)))
        throw UsageError(QStringLiteral("usage: zanvo-tool %1").arg(QLatin1String(command.synopsis)));
    refuseOptions(line, command, false);
    command.run(line, io);
    return ToolExit::Success;
}

} // namespace

int RunTool(const QStringList& arguments, QIODevice& in, QIODevice& out, QIODevice& err)
{
    int status = ToolExit::Failure;
    std::string message;
    try {
        return run(arguments, Devices{in, out, err});
    } catch (const UsageError& e) {
        status = ToolExit::Usage;
        message = e.what();
    } catch (const ZanvoError& e) {
        message = e.Description();
    } catch (const std::bad_alloc&) {
        message = ZanvoError::OutOfMemory().Description();
    } catch (const std::exception& e) {
        message = e.what();
    }
    writeLine(err, QStringLiteral("zanvo-tool: ") + QString::fromStdString(message));
    return status;
}
