// Automatic sizing of the string grid over 100,000 rows: one text column,
// one column of numbers formatted per column by the column grid, and a row
// of multi-line cells.
//
//   build/<dir>/bench/bench_grid_autosize [--benchmark_filter=...]

#include "WidgetBenchMain.h"
#include "grid/column/TExtColumnGrid.h"
#include "platform/kernel/Application.h"
#include "platform/widgets/WidgetStyle.h"

#include <benchmark/benchmark.h>
#include <memory>

namespace {

constexpr int kRows = 100000;

TExtColumnGrid& Grid()
{
    static std::unique_ptr<TExtColumnGrid> grid;
    if (!grid) {
        grid = std::make_unique<TExtColumnGrid>(nullptr);
        grid->SetColCount(4);
        grid->SetRowCount(kRows + 1);
        grid->Columns().Items(2)->SetFloatFormat(QStringLiteral("%.2f"));
        for (int r = 1; r <= kRows; ++r) {
            grid->SetCellText(1, r, QStringLiteral("%1 Main Street, Fresno").arg(r % 9000 + 100));
            grid->SetCellText(2, r, QString::number(r * 1.5));
            grid->SetCellText(3, r, QStringLiteral("line one\nline %1").arg(r));
        }
    }
    return *grid;
}

void AutoSizeTextColumn(benchmark::State& state)
{
    TExtColumnGrid& g = Grid();
    for (auto _ : state) {
        g.SetColWidths(1, 10);
        g.AutoSizeCol(1, false);
        benchmark::DoNotOptimize(g.ColWidths(1));
    }
}
BENCHMARK(AutoSizeTextColumn)->Unit(benchmark::kMillisecond);

void AutoSizeFormattedColumn(benchmark::State& state)
{
    TExtColumnGrid& g = Grid();
    for (auto _ : state) {
        g.SetColWidths(2, 10);
        g.AutoSizeCol(2, false);
        benchmark::DoNotOptimize(g.ColWidths(2));
    }
}
BENCHMARK(AutoSizeFormattedColumn)->Unit(benchmark::kMillisecond);

void AutoSizeMultiLineRows(benchmark::State& state)
{
    TExtColumnGrid& g = Grid();
    g.SetMultilinecells(true);
    for (auto _ : state)
        for (int r = 1; r <= 1000; ++r) g.AutoSizeRow(r, false);
    g.SetMultilinecells(false);
}
BENCHMARK(AutoSizeMultiLineRows)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) { return RunWidgetBenchmarks(argc, argv); }
