// SPDX-License-Identifier: GPL-3.0-or-later
// The match check of a million boards for 6 and 60 drawn numbers, each beside
// zanvo-tool check of the same boards, read from the page cache in a process of
// its own. Targets: 60 drawn cost no more than 6 (within 20 %), and the program no
// more than the tool.
#include "board/BoardFileIO.h"
#include "board/RandomBoard.h"
#include "board/clsBoardCollection.h"
#include "check/MatchCheck.h"

#include "ToolChild.h"

#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <memory>
#include <string>
#include <vector>

namespace {

constexpr int BoardCount = 1'000'000;

// A million random boards of 25 numbers, built once for every run.
const clsBoardCollection& manyBoards()
{
    static const auto boards = [] {
        auto list = std::make_unique<clsBoardCollection>();
        list->Reserve(BoardCount);
        const UniformSource uniform = SeededUniform(20240601);
        for (int i = 0; i < BoardCount; ++i)
            list->Add(MakeRandomBoard(uniform));
        return list;
    }();
    return *boards;
}

// The same boards as a board file, written once.
const std::string& boardFile()
{
    static const QTemporaryDir dir;
    static const std::string file = [] {
        const QString path = dir.filePath(QStringLiteral("million.dat"));
        WriteBoardFile(path, manyBoards());
        return path.toStdString();
    }();
    return file;
}

// 6 drawn numbers, or 60 spread over 0..99 (three in every five).
std::vector<int> drawnNumbers(std::int64_t count)
{
    if (count == 6)
        return {4, 15, 23, 42, 77, 98};
    std::vector<int> numbers;
    for (int n = 0; n < 100; ++n) {
        if (n % 5 == 1 || n % 5 == 3 || n % 5 == 4)
            numbers.push_back(n);
    }
    return numbers;
}

void BM_CheckMillionBoards(benchmark::State& state)
{
    const clsBoardCollection& boards = manyBoards();
    clsBoard drawn;
    for (const int n : drawnNumbers(state.range(0)))
        drawn.AppendNumber(n, 0);
    for (auto _ : state) {
        CheckBoards(boards, drawn);
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * BoardCount);
}

void BM_ToolCheckMillionBoards(benchmark::State& state)
{
    std::vector<std::string> arguments{"check", boardFile()};
    for (const int n : drawnNumbers(state.range(0)))
        arguments.push_back(std::to_string(n));
    if (RunToolChild(arguments).status != 0) { // also brings the file into the page cache
        state.SkipWithError("the tool failed");
        return;
    }
    for (auto _ : state) {
        const ToolChild child = RunToolChild(arguments);
        if (child.status != 0) {
            state.SkipWithError("the tool failed");
            return;
        }
        state.SetIterationTime(child.seconds);
    }
    state.SetItemsProcessed(state.iterations() * BoardCount);
}

} // namespace

// Program and tool side by side for each draw.
BENCHMARK(BM_CheckMillionBoards)->ArgName("drawn")->Arg(6)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_ToolCheckMillionBoards)->ArgName("drawn")->Arg(6)->Unit(benchmark::kMillisecond)->UseManualTime();
BENCHMARK(BM_CheckMillionBoards)->ArgName("drawn")->Arg(60)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_ToolCheckMillionBoards)->ArgName("drawn")->Arg(60)->Unit(benchmark::kMillisecond)->UseManualTime();

BENCHMARK_MAIN();
