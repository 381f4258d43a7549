// SPDX-License-Identifier: GPL-3.0-or-later
// zanvo-tool check and show of 1,000,000 boards (204 MB), each against
// `cat FILE > /dev/null` run right before it on the same, already cached file.
// The counter "ratio" is the tool's time over cat's; the target for check is 3.
// Then the peak memory of the tool on inputs that once made it grow: "peak_MB" is
// the child's largest resident size. Targets: import at most about twice the board
// file it writes ("file_MB") plus a few MB, 10 MB of commas under 50 MB; show,
// check and export of a single board of 50 million numbers a few MB.
#include "board/BoardFileIO.h"
#include "board/RandomBoard.h"
#include "check/MatchCheck.h"

#include "ToolChild.h"

#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr int Boards = 1'000'000;

const std::string& boardFile()
{
    static std::unique_ptr<QTemporaryDir> dir;
    static std::string file;
    if (file.empty()) {
        dir = std::make_unique<QTemporaryDir>();
        const QString path = dir->filePath(QStringLiteral("million.dat"));
        clsBoardCollection boards;
        boards.Reserve(Boards);
        const UniformSource uniform = SeededUniform(2024);
        for (int i = 0; i < Boards; ++i)
            boards.Add(MakeRandomBoard(uniform));
        clsBoard drawn;
        for (const int n : {3, 14, 27, 41, 56, 88})
            drawn.AppendNumber(n, 0);
        CheckBoards(boards, drawn); // some green cells, as after a real draw
        WriteBoardFile(path, boards);
        file = path.toStdString();
    }
    return file;
}

double secondsOf(const std::string& command, bool& ok)
{
    const auto start = std::chrono::steady_clock::now();
    ok = std::system(command.c_str()) == 0;
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// `zanvo-tool COMMAND FILE TAIL > /dev/null`, timed against cat of FILE.
void toolAgainstCat(benchmark::State& state, const std::string& command, const std::string& tail)
{
    const std::string file = "'" + boardFile() + "'";
    const std::string cat = "cat " + file + " > /dev/null";
    const std::string tool = "'" ZANVO_TOOL_PATH "' " + command + " " + file + " " + tail + " > /dev/null";
    bool ok = true;
    secondsOf(cat, ok); // the file is in the page cache for both from here on
    double catTotal = 0;
    double toolTotal = 0;
    for (auto _ : state) {
        const double c = secondsOf(cat, ok);
        const double t = ok ? secondsOf(tool, ok) : 0.0;
        if (!ok) {
            state.SkipWithError("a command failed");
            break;
        }
        catTotal += c;
        toolTotal += t;
        state.SetIterationTime(t);
    }
    if (toolTotal > 0 && catTotal > 0) {
        const auto n = static_cast<double>(state.iterations());
        state.counters["cat_ms"] = 1000.0 * catTotal / n;
        state.counters["tool_ms"] = 1000.0 * toolTotal / n;
        state.counters["ratio"] = toolTotal / catTotal;
    }
}

void BM_CheckMillionBoardsVsCat(benchmark::State& state)
{
    // A million per-board lines and the summary, to /dev/null.
    toolAgainstCat(state, "check", "3 14 27 41 56 88");
}

void BM_ShowMillionBoardsVsCat(benchmark::State& state)
{
    toolAgainstCat(state, "show", "");
}

QTemporaryDir& scratch()
{
    static QTemporaryDir dir;
    return dir;
}

std::string scratchFile(const char* name)
{
    return scratch().filePath(QString::fromLatin1(name)).toStdString();
}

// A file of `count` copies of `text`, made once.
std::string repeated(const char* name, const std::string& text, std::size_t count)
{
    const std::string path = scratchFile(name);
    if (access(path.c_str(), F_OK) != 0) {
        std::ofstream out(path, std::ios::binary);
        for (std::size_t i = 0; i < count; ++i)
            out << text;
    }
    return path;
}

// One board of 50 million numbers, 400 MB: the size of the file, not of a board,
// once set the tool's memory.
std::string longBoard()
{
    const std::string path = scratchFile("long.dat");
    if (access(path.c_str(), F_OK) != 0) {
        constexpr std::int32_t Numbers = 50'000'000;
        std::vector<std::int32_t> cells(2 * 1'000'000);
        for (std::size_t i = 0; i < cells.size(); i += 2)
            cells[i] = static_cast<std::int32_t>(i % 100), cells[i + 1] = CellGreen;
        std::ofstream out(path, std::ios::binary);
        const std::int32_t head[2] = {1, Numbers - 1};
        out.write(reinterpret_cast<const char*>(head), sizeof head);
        for (int i = 0; i < Numbers / 1'000'000; ++i)
            out.write(reinterpret_cast<const char*>(cells.data()), static_cast<std::streamsize>(cells.size() * 4));
    }
    return path;
}

double megabytes(double kilobytes)
{
    return kilobytes / 1024.0;
}

void peakOf(benchmark::State& state, const std::vector<std::string>& arguments, const std::string& in = "/dev/null",
            int status = 0, const std::string& written = {})
{
    long peak = 0;
    for (auto _ : state) {
        unlink(scratchFile("out.dat").c_str());
        const ToolChild child = RunToolChild(arguments, in);
        state.SetIterationTime(child.seconds);
        if (child.status != status) {
            state.SkipWithError("the tool failed");
            return;
        }
        peak = std::max(peak, child.peakKiB);
    }
    state.counters["peak_MB"] = megabytes(static_cast<double>(peak));
    struct stat st {};
    if (!written.empty() && stat(written.c_str(), &st) == 0)
        state.counters["file_MB"] = megabytes(static_cast<double>(st.st_size) / 1024.0);
}

void BM_ImportPeak_TenMegabytesOfCommas(benchmark::State& state)
{
    const std::string out = scratchFile("out.dat");
    peakOf(state, {"import", repeated("commas.csv", ",", 10'000'000), out}, "/dev/null", 0, out);
}

void BM_ImportPeak_OneRowOfFiveMillionNumbers(benchmark::State& state)
{
    const std::string out = scratchFile("out.dat");
    peakOf(state, {"import", repeated("sevens.csv", "7,", 5'000'000), out}, "/dev/null", 0, out);
}

void BM_ImportPeak_FiveMillionRowsOfOneNumber(benchmark::State& state)
{
    const std::string out = scratchFile("out.dat");
    peakOf(state, {"import", "-", out}, repeated("ones.csv", "7\n", 5'000'000), 0, out);
}

void BM_ImportPeak_EndlessZeros(benchmark::State& state)
{
    peakOf(state, {"import", "-", scratchFile("out.dat")}, "/dev/zero", 1);
}

void BM_ReadPeak_OneBoardOfFiftyMillionNumbers(benchmark::State& state)
{
    const char* command = state.range(0) == 0 ? "show" : state.range(0) == 1 ? "check" : "export";
    state.SetLabel(command);
    std::vector<std::string> arguments{command, longBoard()};
    if (state.range(0) == 1)
        arguments.emplace_back("7");
    peakOf(state, arguments);
}

} // namespace

BENCHMARK(BM_ImportPeak_TenMegabytesOfCommas)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_ImportPeak_OneRowOfFiveMillionNumbers)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_ImportPeak_FiveMillionRowsOfOneNumber)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_ImportPeak_EndlessZeros)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_ReadPeak_OneBoardOfFiftyMillionNumbers)
    ->DenseRange(0, 2)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1);
BENCHMARK(BM_CheckMillionBoardsVsCat)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_ShowMillionBoardsVsCat)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);

BENCHMARK_MAIN();
