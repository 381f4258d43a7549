// SPDX-License-Identifier: GPL-3.0-or-later
// zanvo-tool report of 10,000 and 100,000 boards: pages per second, and the peak
// memory of the tool's process, which must not grow with the number of boards.
#include "ToolChild.h"

#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <map>
#include <string>
#include <vector>

namespace {

QTemporaryDir& folder()
{
    static QTemporaryDir dir;
    return dir;
}

// Made by the tool in a process of its own: boards made here would raise this
// process's peak memory, which a child started from it inherits in ru_maxrss.
const QString& boardFile(int count)
{
    static std::map<int, QString> files;
    QString& file = files[count];
    if (file.isEmpty()) {
        const QString path = folder().filePath(QStringLiteral("boards-%1.dat").arg(count));
        if (RunToolChild({"random", std::to_string(count), path.toStdString()}).status == 0)
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
        const ToolChild child = RunToolChild(arguments);
        if (child.status != 0) {
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
