// SPDX-License-Identifier: GPL-3.0-or-later
#include "board/RandomBoard.h"
#include "board/clsBoardCollection.h"
#include "check/MatchCheck.h"

#include <benchmark/benchmark.h>

#include <memory>

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

clsBoard sixDrawn()
{
    clsBoard drawn;
    for (int n : {4, 15, 23, 42, 77, 98})
        drawn.AppendNumber(n, 0);
    return drawn;
}

void BM_CheckMillionBoards(benchmark::State& state)
{
    const clsBoardCollection& boards = manyBoards();
    const clsBoard drawn = sixDrawn();
    for (auto _ : state) {
        CheckBoards(boards, drawn);
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * BoardCount);
}
BENCHMARK(BM_CheckMillionBoards)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

BENCHMARK_MAIN();
