// SPDX-License-Identifier: GPL-3.0-or-later
// Saving and opening a list of 1,000,000 boards (204 MB), each measured side by
// side with `cp` of the same file on the same disk, and the peak memory of an
// open measured in a fresh process. The counters hold the ratios.
//
// Files go to ZANVO_BENCH_DIR, or else beside this program.
#include "board/BoardFile.h"
#include "board/BoardFileIO.h"
#include "board/RandomBoard.h"

#include <QDir>
#include <QFile>
#include <QString>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace {

constexpr int Boards = 1000000;

using Clock = std::chrono::steady_clock;

double secondsSince(Clock::time_point start)
{
    return std::chrono::duration<double>(Clock::now() - start).count();
}

std::string selfPath()
{
    return std::filesystem::read_symlink("/proc/self/exe").string();
}

// Runs a program and waits for it; false when it could not run or failed.
bool run(std::vector<std::string> args)
{
    std::vector<char*> argv;
    for (std::string& a : args)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    pid_t pid = 0;
    if (posix_spawnp(&pid, argv[0], nullptr, nullptr, argv.data(), environ) != 0)
        return false;
    int status = 0;
    if (waitpid(pid, &status, 0) != pid)
        return false;
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

double timedRun(std::vector<std::string> args)
{
    const auto start = Clock::now();
    if (!run(std::move(args)))
        return -1;
    return secondsSince(start);
}

struct Fixture {
    QTemporaryDir dir;
    clsBoardCollection list;
    QString saved; // a file holding `list`

    Fixture() : dir(benchFolder() + QStringLiteral("/board-files-XXXXXX"))
    {
        const UniformSource uniform = SeededUniform(2024);
        for (int i = 0; i < Boards; ++i) {
            auto b = MakeRandomBoard(uniform);
            b->zanvo(i % 25, CellGreen);
            list.Add(std::move(b));
        }
        saved = dir.filePath(QStringLiteral("saved.dat"));
        WriteBoardFile(saved, list);
    }

    static QString benchFolder()
    {
        if (const char* env = std::getenv("ZANVO_BENCH_DIR"))
            return QString::fromLocal8Bit(env);
        return QString::fromStdString(std::filesystem::path(selfPath()).parent_path().string());
    }

    std::string path(const char* name) const { return QFile::encodeName(dir.filePath(QString::fromLatin1(name))).toStdString(); }
};

Fixture& fixture()
{
    static Fixture f;
    return f;
}

void BM_SaveVsCp(benchmark::State& state)
{
    Fixture& f = fixture();
    const std::string target = f.path("target.dat");
    const std::string copy = f.path("copy.dat");
    double save = 0, cp = 0, cpSync = 0;
    for (auto _ : state) {
        std::filesystem::remove(target);
        const auto start = Clock::now();
        WriteBoardFile(QString::fromStdString(target), f.list);
        const double t = secondsSince(start);
        state.SetIterationTime(t);
        save += t;
        std::filesystem::remove(copy);
        cp += timedRun({"cp", target, copy});
        // The save puts its bytes on disk before it replaces the old file; this
        // is the copy held to the same promise.
        std::filesystem::remove(copy);
        cpSync += timedRun({"sh", "-c", "cp \"$0\" \"$1\" && sync \"$1\"", target, copy});
    }
    const double n = static_cast<double>(state.iterations());
    state.counters["save_ms"] = 1000 * save / n;
    state.counters["cp_ms"] = 1000 * cp / n;
    state.counters["cp_sync_ms"] = 1000 * cpSync / n;
    state.counters["ratio_to_cp"] = save / cp;
    state.counters["ratio_to_cp_sync"] = save / cpSync;
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(4 + 204 * std::int64_t(Boards)));
}

void BM_OpenVsCp(benchmark::State& state)
{
    Fixture& f = fixture();
    const std::string saved = QFile::encodeName(f.saved).toStdString();
    const std::string copy = f.path("copy.dat");
    double open = 0, cp = 0;
    int count = 0;
    for (auto _ : state) {
        const auto start = Clock::now();
        BoardsRef boards = ReadBoardFile(f.saved);
        const double t = secondsSince(start);
        count = boards->Count();
        boards.reset(); // released outside the timing
        state.SetIterationTime(t);
        open += t;
        std::filesystem::remove(copy);
        cp += timedRun({"cp", saved, copy});
    }
    if (count != Boards)
        state.SkipWithError("the file did not read back");
    const double n = static_cast<double>(state.iterations());
    state.counters["open_ms"] = 1000 * open / n;
    state.counters["cp_ms"] = 1000 * cp / n;
    state.counters["ratio_to_cp"] = open / cp;
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(4 + 204 * std::int64_t(Boards)));
}

// A "VmRSS:" or "VmHWM:" line of /proc/self/status, in KiB. The high-water mark
// belongs to this process's own memory; getrusage's maximum would also count the
// parent whose memory the spawned child shared until it started this program.
long statusKiB(const char* field)
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind(field, 0) == 0)
            return std::atol(line.c_str() + std::strlen(field));
    }
    return -1;
}

// In a fresh process: opens the file and writes "before held peak" in KiB: the
// resident size before the open, while holding the boards, and at its highest.
int measureOpen(const char* file, const char* report)
{
    const long before = statusKiB("VmRSS:");
    const BoardsRef boards = ReadBoardFile(QString::fromLocal8Bit(file));
    const long held = statusKiB("VmRSS:");
    const long peak = statusKiB("VmHWM:");
    std::FILE* out = std::fopen(report, "w");
    if (!out || boards->Count() != Boards || before < 0 || held < 0 || peak < 0)
        return 1;
    std::fprintf(out, "%ld %ld %ld\n", before, held, peak);
    return std::fclose(out) == 0 ? 0 : 1;
}

void BM_OpenPeakMemory(benchmark::State& state)
{
    Fixture& f = fixture();
    const std::string report = f.path("memory.txt");
    long before = 0, held = 0, peak = 0;
    for (auto _ : state) {
        const auto start = Clock::now();
        if (!run({selfPath(), "--measure-open", QFile::encodeName(f.saved).toStdString(), report})) {
            state.SkipWithError("the measuring process failed");
            return;
        }
        state.SetIterationTime(secondsSince(start));
        std::ifstream in(report);
        in >> before >> held >> peak;
    }
    const double boardsMiB = static_cast<double>(held - before) / 1024;
    state.counters["file_MiB"] = static_cast<double>(4 + 204 * std::int64_t(Boards)) / (1024 * 1024);
    state.counters["boards_MiB"] = boardsMiB;
    state.counters["open_peak_MiB"] = static_cast<double>(peak - before) / 1024;
    state.counters["peak_to_boards"] = static_cast<double>(peak - before) / static_cast<double>(held - before);
}

} // namespace

BENCHMARK(BM_SaveVsCp)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OpenVsCp)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OpenPeakMemory)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);

int main(int argc, char** argv)
{
    if (argc == 4 && std::strcmp(argv[1], "--measure-open") == 0)
        return measureOpen(argv[2], argv[3]);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
