// Filtering, hiding and showing on a string grid of 100,000 rows by 10
// columns: applying and removing a filter that keeps every other row,
// hiding and showing a block of rows, hiding and showing columns.
#include "grid/TExtStringGrid.h"

#include "platform/kernel/Application.h"
#include "platform/widgets/WidgetStyle.h"

#include <benchmark/benchmark.h>

namespace {

constexpr int Rows = 100000;
constexpr int Cols = 10;

TExtStringGrid& Grid()
{
    static TExtStringGrid* grid = [] {
        auto* g = new TExtStringGrid(nullptr, QStringLiteral("Bench"));
        g->resize(800, 600);
        g->SetColCount(Cols);
        g->SetRowCount(Rows + 1);
        g->SetFixedRows(1);
        for (int r = 1; r <= Rows; ++r)
            for (int c = 0; c < Cols; ++c) g->SetCellText(c, r, QString::number(r * Cols + c));
        return g;
    }();
    return *grid;
}

void FilterOnAndOff(benchmark::State& state)
{
    TExtStringGrid& g = Grid();
    g.Filter().clear();
    g.Filter().push_back(TFilterData{1, QStringLiteral("*1;*3;*5;*7;*9"), false});
    for (auto _ : state) {
        g.SetFilterActive(true);
        benchmark::DoNotOptimize(g.RowCount());
        g.SetFilterActive(false);
    }
    g.Filter().clear();
}
BENCHMARK(FilterOnAndOff)->Unit(benchmark::kMillisecond);

void HideAndShowRows(benchmark::State& state)
{
    TExtStringGrid& g = Grid();
    for (auto _ : state) {
        g.HideRows(1000, 60000);
        benchmark::DoNotOptimize(g.RowCount());
        g.UnHideRowsAll();
    }
}
BENCHMARK(HideAndShowRows)->Unit(benchmark::kMillisecond);

void HideAndShowColumns(benchmark::State& state)
{
    TExtStringGrid& g = Grid();
    for (auto _ : state) {
        g.HideColumns(2, 6);
        benchmark::DoNotOptimize(g.RealColIndex(3));
        g.UnHideColumnsAll();
    }
}
BENCHMARK(HideAndShowColumns)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    TApplication app(argc, argv);
    InstallWidgetStyle();
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
