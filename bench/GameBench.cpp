// The game's hot paths and its paced sequences: one complete move through
// SelectHex and ResolveMove on a mid-game board, the mobility test alone, and
// processor time against wall time while a board is laid out (with the wall
// time per cell, paced at 1 ms) and while a blocked side's 90 empty cells are
// filled.
#include "game/GameLogic.h"
#include "game/Moves.h"
#include "game/Unit1.h"
#include "game/WaitMs.h"
#include "hexmap/Hexmap.h"
#include "shell/Application.h"
#include "shell/DataFiles.h"
#include "shell/Settings.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <ctime>
#include <random>

namespace {

// A view that draws nothing, so the benchmark sees the rules alone.
class SilentView : public IGameView {
public:
    THexGeometry Geometry{10, 10, 20, 17};
    const THexGeometry& BoardGeometry() const override { return Geometry; }
    void PaintCell(TPoint, TColor) override {}
    void PlayEffect(const QString&) override {}
    void ShowScore(TSide, int) override {}
    void UpdateTurnIndicator() override {}
    void Wait(TPace&) override {}
    void ShowPodium(TPodiumOutcome) override {}
    void Restart() override {}
};

// A board in mid-game: about a third of the cells each, scattered.
TGameState MidGame()
{
    TGameState state;
    state.BoardWidth = state.BoardHeight = 10;
    state.TotalCells = 100;
    state.HalfCells = 50;
    std::mt19937 random(5);
    ForEachCell(state.Size(), [&](TPoint cell) {
        const int roll = std::uniform_int_distribution<int>(0, 2)(random);
        state.GameBoard[cell] = roll == 0 ? clRed : roll == 1 ? clBlue : clGray;
    });
    return state;
}

double ProcessSeconds()
{
    return double(std::clock()) / CLOCKS_PER_SEC;
}

void BM_CompleteMove(benchmark::State& run)
{
    const TGameState start = MidGame();
    SilentView view;
    const auto moves = GenerateMoves(start.GameBoard, start.Size(), clRed);
    size_t next = 0;
    for (auto _ : run) {
        run.PauseTiming();
        TGameState state = start;
        TGameLogic logic(state, view);
        const TMove move = moves[next++ % moves.size()];
        const TPoint from = view.Geometry.ConvertPoint(move.From, cpCellToPixel);
        const TPoint to = view.Geometry.ConvertPoint(move.To, cpCellToPixel);
        run.ResumeTiming();
        logic.SelectHex(from.X, from.Y);
        logic.SelectHex(to.X, to.Y);
        benchmark::DoNotOptimize(state.GameBoard);
    }
}
BENCHMARK(BM_CompleteMove)->Unit(benchmark::kMicrosecond);

void BM_MobilityTest(benchmark::State& run)
{
    const TGameState state = MidGame();
    for (auto _ : run)
        benchmark::DoNotOptimize(CanMove(state.GameBoard, state.Size(), clBlue));
}
BENCHMARK(BM_MobilityTest)->Unit(benchmark::kMicrosecond);

void ReportShare(benchmark::State& run, double process, double wall)
{
    run.counters["wall_s"] = wall;
    run.counters["cpu_s"] = process;
    run.counters["cpu_per_wall_%"] = 100.0 * process / wall;
}

// The main window as the program makes it, music and sound off, on a board
// of `size` x `size` cells. Its first game is laid out before the timing
// starts; each iteration is one press of Restart.
void BM_NewGameSetUp(benchmark::State& run)
{
    const auto size = QString::number(run.range(0));
    WriteSetting(QStringLiteral("Sirka"), size);
    WriteSetting(QStringLiteral("Vyska"), size);
    // A failure would open a message box that nobody closes.
    QStringList errors;
    SetErrorReporter([&](const QString& message) { errors << message; });
    TForm1 form;
    form.show();
    while (!form.Timer1.isActive() || form.SequenceRunning())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    QElapsedTimer wall;
    double process = 0, elapsed = 0;
    for (auto _ : run) {
        wall.start();
        const double before = ProcessSeconds();
        form.FormActivate();
        process += ProcessSeconds() - before;
        elapsed += wall.nsecsElapsed() / 1e9;
    }
    SetErrorReporter({});
    if (!errors.isEmpty()) {
        run.SkipWithError(errors.join(QLatin1Char(' ')).toStdString().c_str());
        return;
    }
    ReportShare(run, process, elapsed);
    run.counters["wall_per_cell_ms"] = 1000 * elapsed / double(run.iterations()) / double(run.range(0) * run.range(0));
}
BENCHMARK(BM_NewGameSetUp)->Arg(10)->Arg(4)->Unit(benchmark::kMillisecond)->Iterations(10)->UseRealTime();

// The real board control and the real pauses, with a Red move that leaves
// Blue blocked and 90 cells to fill.
class PaintingView : public SilentView {
public:
    explicit PaintingView(THexMap& map)
        : map_(map)
    {
    }
    void PaintCell(TPoint cell, TColor color) override { map_.ColorHex(color, TBrushStyle::bsSolid, cell); }
    void Wait(TPace& pace) override { pace.Wait(); }

private:
    THexMap& map_;
};

void BM_Fill90Cells(benchmark::State& run)
{
    THexMap map;
    map.SetHexColumns(10);
    map.SetHexRows(10);
    map.SetHexRadius(20);
    map.show();
    PaintingView view(map);
    QElapsedTimer wall;
    double process = 0, elapsed = 0;
    for (auto _ : run) {
        TGameState state;
        state.BoardWidth = state.BoardHeight = 10;
        state.TotalCells = 100;
        state.HalfCells = 50;
        ForEachCell(state.Size(), [&](TPoint cell) { state.GameBoard[cell] = clGray; });
        // Eight Red pieces down column 1 and Blue's only piece at (2, 1): the
        // copy (1, 2) -> (2, 2) captures it and leaves 90 empty cells to fill.
        for (int row = 1; row <= 8; ++row)
            state.GameBoard(1, row) = clRed;
        state.GameBoard(2, 1) = clBlue;
        state.CurrentPlayer = 0;
        state.SelectedCell = {1, 1};
        TGameLogic logic(state, view);
        const TPoint from = view.Geometry.ConvertPoint({1, 2}, cpCellToPixel);
        const TPoint to = view.Geometry.ConvertPoint({2, 2}, cpCellToPixel);
        logic.SelectHex(from.X, from.Y);
        wall.start();
        const double before = ProcessSeconds();
        logic.SelectHex(to.X, to.Y);
        process += ProcessSeconds() - before;
        elapsed += wall.nsecsElapsed() / 1e9;
    }
    ReportShare(run, process, elapsed);
}
BENCHMARK(BM_Fill90Cells)->Unit(benchmark::kMillisecond)->Iterations(1)->UseRealTime();

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir config;
    qputenv("XDG_CONFIG_HOME", config.path().toLocal8Bit());
    QApplication application(argc, argv);
    // The music tracks are opened (not played) at every new game.
    SetDataDirectories({QStringLiteral(ZELVON_BENCH_DATA_DIR)});
    WriteSetting(QStringLiteral("Sound"), QStringLiteral("0"));
    WriteSetting(QStringLiteral("Music"), QStringLiteral("0"));
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
