// zanvo-tool check and show of 1,000,000 boards (204 MB), each against
// `cat FILE > /dev/null` run right before it on the same, already cached file.
// The counter "ratio" is the tool's time over cat's; the target for check is 3.
#include "board/BoardFileIO.h"
#include "board/RandomBoard.h"
#include "check/MatchCheck.h"

#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdlib>
#include <memory>
#include <string>

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

} // namespace

BENCHMARK(BM_CheckMillionBoardsVsCat)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_ShowMillionBoardsVsCat)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);

BENCHMARK_MAIN();
