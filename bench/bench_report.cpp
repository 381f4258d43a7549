// SPDX-License-Identifier: GPL-3.0-or-later
// zanvo-tool report of 10,000 and 100,000 boards: pages per second, and the peak
// memory of the tool's process, which must not grow with the number of boards.
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <chrono>
#include <map>
#include <memory>
#include <string>

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

QTemporaryDir& folder()
{
    static QTemporaryDir dir;
    return dir;
}

struct Child {
    bool ok = false;
    double seconds = 0;
    long peakKiB = 0; // ru_maxrss of the child alone
};

// The tool as its own process, so its peak memory is its own.
Child runTool(const std::vector<std::string>& arguments)
{
    std::vector<char*> argv;
    std::string program = ZANVO_TOOL_PATH;
    argv.push_back(program.data());
    std::vector<std::string> copies = arguments;
    for (std::string& a : copies)
        argv.push_back(a.data());
    argv.push_back(nullptr);

    Child result;
    const auto start = std::chrono::steady_clock::now();
    const pid_t pid = fork();
    if (pid == 0) {
        const int null = open("/dev/null", O_WRONLY);
        dup2(null, STDOUT_FILENO);
        dup2(null, STDERR_FILENO);
        execv(argv[0], argv.data());
        _exit(127);
    }
    if (pid < 0)
        return result;
    int status = 0;
    rusage usage{};
    if (wait4(pid, &status, 0, &usage) != pid)
        return result;
    result.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    result.ok = WIFEXITED(status) && WEXITSTATUS(status) == 0;
    result.peakKiB = usage.ru_maxrss;
    return result;
}

// Made by the tool in a process of its own: boards made here would raise this
// process's peak memory, which a child started from it inherits in ru_maxrss.
const QString& boardFile(int count)
{
    static std::map<int, QString> files;
    QString& file = files[count];
    if (file.isEmpty()) {
        const QString path = folder().filePath(QStringLiteral("boards-%1.dat").arg(count));
        if (runTool({"random", std::to_string(count), path.toStdString()}).ok)
            file = path;
    }
    return file;
}

// The page count the PDF's page tree states, near its end.
int pagesOf(const QString& pdf)
{
    QFile file(pdf);
    if (!file.open(QIODevice::ReadOnly))
        return 0;
    file.seek(std::max<qint64>(0, file.size() - (1 << 20)));
    const QString tail = QString::fromLatin1(file.readAll());
    const QRegularExpression count(QStringLiteral("/Count\\s+(\\d+)"));
    QRegularExpressionMatch m;
    for (auto it = count.globalMatch(tail); it.hasNext();)
        m = it.next();
    return m.hasMatch() ? m.captured(1).toInt() : 0;
}

void BM_Report(benchmark::State& state)
{
    const auto boards = static_cast<int>(state.range(0));
    const QString input = boardFile(boards);
    if (input.isEmpty()) {
        state.SkipWithError("zanvo-tool random failed");
        return;
    }
    const QString output = folder().filePath(QStringLiteral("report.pdf"));
    const std::vector<std::string> arguments{"report", input.toStdString(), "3", "14", "27", "41", "56", "88",
                                             "-o", output.toStdString(), "--force"};
    double seconds = 0;
    long peak = 0;
    for (auto _ : state) {
        const Child child = runTool(arguments);
        if (!child.ok) {
            state.SkipWithError("zanvo-tool report failed");
            return;
        }
        state.SetIterationTime(child.seconds);
        seconds += child.seconds;
        peak = std::max(peak, child.peakKiB);
    }
    const int pages = pagesOf(output);
    const auto n = static_cast<double>(state.iterations());
    state.counters["pages"] = pages;
    state.counters["pages_per_s"] = pages / (seconds / n);
    state.counters["peak_MiB"] = static_cast<double>(peak) / 1024.0;
    state.counters["pdf_MiB"] = static_cast<double>(QFile(output).size()) / (1024.0 * 1024.0);
}

} // namespace

BENCHMARK(BM_Report)->Arg(10'000)->Arg(100'000)->UseManualTime()->Unit(benchmark::kSecond)->Iterations(1);

BENCHMARK_MAIN();
