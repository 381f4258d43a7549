// SPDX-License-Identifier: GPL-3.0-or-later
// The board view's refresh as the user meets it: UpdateControls plus the repaint it
// causes, for scroll steps at the initial size, a full-HD and a 4K window, in Fusion and
// in a dark style, with few and with 1,000,000 boards, and the jump from the first to
// the last position of a million (Ctrl+End, or the thumb dragged to the end); beside it
// a naive rebuild that makes fresh elements every time. A full-HD step should stay
// within 5 ms, a 4K one within a 60 Hz frame (16 ms), and few and 1,000,000 boards
// should cost the same.
#include "app/ZanvoApplication.h"
#include "app/BoardView.h"
#include "app/frmMain.h"
#include "controls/usrBoard.h"

#include <QApplication>
#include <QScrollBar>
#include <QStyle>
#include <QStyleFactory>
#include <QWindow>

#include <benchmark/benchmark.h>

namespace {

ZanvoApplication* app = nullptr;

// The main window with state.range(0) boards, shown and painted once.
std::unique_ptr<frmMain> window(benchmark::State& state, QSize client)
{
    const auto boards = int(state.range(0));
    auto w = std::make_unique<frmMain>();
    auto list = std::make_shared<clsBoardCollection>();
    list->Reserve(std::size_t(boards));
    for (int i = 0; i < boards; ++i) {
        auto b = std::make_shared<clsBoard>();
        b->AllocateNumbers(24);
        for (int k = 0; k < 25; ++k)
            b->Numbers(k, (i + k) % 100);
        b->zanvo(i % 25, CellGreen);
        list->Add(std::move(b));
    }
    w->SetBoards(list);
    w->resize(client.width(), client.height() + 20);
    w->show();
    // A window paints only once it is exposed, which arrives through the event queue;
    // until then repaint() draws nothing and the figures would leave the painting out.
    for (int i = 0; i < 100 && !w->windowHandle()->isExposed(); ++i)
        QCoreApplication::processEvents();
    if (!w->windowHandle()->isExposed())
        state.SkipWithError("the window was never exposed, so nothing would be painted");
    w->UpdateControls();
    w->repaint();
    return w;
}

// The desktop's style for one benchmark: 0 Fusion, 1 Adwaita-Dark (light text on dark).
class StyleFor {
public:
    explicit StyleFor(benchmark::State& state)
    {
        const QString name = state.range(2) ? QStringLiteral("Adwaita-Dark") : QStringLiteral("Fusion");
        QStyle* style = QStyleFactory::create(name);
        if (!style)
            state.SkipWithError("style not installed");
        else
            QApplication::setStyle(style); // its palette too, as QT_STYLE_OVERRIDE gives it
    }
    ~StyleFor() { QApplication::setStyle(QStringLiteral("Fusion")); }
    StyleFor(const StyleFor&) = delete;
    StyleFor& operator=(const StyleFor&) = delete;
};

// One scroll step down or back up, as a dragged thumb gives them, with its repaint.
void refresh(benchmark::State& state)
{
    const StyleFor style(state);
    const QSize sizes[] = {QSize(568, 494), QSize(1920, 1060), QSize(3840, 2140)};
    const QSize client = sizes[state.range(1)];
    auto w = window(state, client);
    int v = 0;
    for (auto _ : state) {
        v = v ? 0 : 1;
        w->vScroll->setValue(v); // runs UpdateControls
        w->repaint();
    }
}

// From the first position to the last and back, each with its repaint.
void firstToLast(benchmark::State& state)
{
    auto w = window(state, QSize(1920, 1060));
    bool atEnd = false;
    for (auto _ : state) {
        atEnd = !atEnd;
        w->vScroll->setValue(atEnd ? w->vScroll->maximum() : 0); // runs UpdateControls
        w->repaint();
    }
    if (w->vScroll->maximum() < 10'000)
        state.SkipWithError("the list does not reach far");
}

// What a rebuild from scratch would cost: fresh elements, painted and thrown away.
void naiveRebuild(benchmark::State& state)
{
    auto w = window(state, QSize(568, 494));
    const std::size_t shown = w->picClient->Elements().size();
    for (auto _ : state) {
        std::vector<std::unique_ptr<usrBoard>> fresh;
        for (std::size_t i = 0; i < shown; ++i) {
            auto e = std::make_unique<usrBoard>(w->picClient);
            e->setGeometry(w->picClient->Elements()[i]->geometry());
            e->Board = w->Boards()->Item(std::int32_t(i) + 1);
            e->Update();
            e->show();
            fresh.push_back(std::move(e));
        }
        w->repaint();
    }
}

} // namespace

// screen: 0 initial size, 1 full HD, 2 4K; style: 0 Fusion, 1 Adwaita-Dark.
BENCHMARK(refresh)
    ->ArgNames({"boards", "screen", "dark"})
    ->Args({10, 0, 0})
    ->Args({1'000'000, 0, 0})
    ->Args({60, 1, 0})
    ->Args({1'000'000, 1, 0})
    ->Args({1'000'000, 1, 1})
    ->Args({1'000'000, 2, 0})
    ->Args({1'000'000, 2, 1})
    ->Unit(benchmark::kMillisecond);
BENCHMARK(firstToLast)->ArgNames({"boards"})->Arg(1'000'000)->Unit(benchmark::kMillisecond);
BENCHMARK(naiveRebuild)->ArgNames({"boards"})->Arg(10)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    ZanvoApplication application(argc, argv);
    app = &application;
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
