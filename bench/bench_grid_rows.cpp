// Inserting 100,000 rows into the string grid, in one InsertRows call and
// by dropping 100,000 lines of text with OleInsertRows (the rows inserted,
// then the text pasted), beside std::vector insertion of the same row count
// into rows of the same shape (and, for the drop, filling their texts). Each
// starts from 1,000 filled rows of 10 columns and inserts in the middle.
//
//   build/<dir>/bench/bench_grid_rows [--benchmark_filter=...]

#include "WidgetBenchMain.h"
#include "grid/TExtStringGrid.h"
#include "platform/kernel/Application.h"
#include "platform/widgets/WidgetStyle.h"

#include <QString>
#include <benchmark/benchmark.h>
#include <memory>
#include <vector>

namespace {

constexpr int kRows = 1000;
constexpr int kCols = 10;
constexpr int kInserted = 100000;

std::unique_ptr<TExtStringGrid> FilledGrid()
{
    auto grid = std::make_unique<TExtStringGrid>(nullptr, QStringLiteral("BenchGrid"));
    grid->SetBorderStyle(TBorderStyle::bsNone);
    grid->resize(800, 600);
    grid->SetColCount(kCols);
    grid->SetRowCount(kRows + 1);
    for (int r = 1; r <= kRows; ++r)
        for (int c = 0; c < kCols; ++c) grid->SetCells(c, r, QStringLiteral("r%1c%2").arg(r).arg(c));
    return grid;
}

using Rows = std::vector<std::vector<QString>>;

Rows FilledRows()
{
    Rows rows(kRows + 1);
    for (int r = 1; r <= kRows; ++r)
        for (int c = 0; c < kCols; ++c) rows[size_t(r)].push_back(QStringLiteral("r%1c%2").arg(r).arg(c));
    return rows;
}

QString DropText()
{
    QString text;
    text.reserve(kInserted * 8);
    for (int i = 0; i < kInserted; ++i) text += QStringLiteral("d%1\r\n").arg(i);
    return text;
}

void BM_GridInsertRows(benchmark::State& state)
{
    for (auto _ : state) {
        state.PauseTiming();
        auto grid = FilledGrid();
        state.ResumeTiming();
        grid->InsertRows(kRows / 2, kInserted);
        benchmark::DoNotOptimize(grid->RowCount());
        state.PauseTiming();
        grid.reset();
        state.ResumeTiming();
    }
}

void BM_VectorInsertRows(benchmark::State& state)
{
    for (auto _ : state) {
        state.PauseTiming();
        Rows rows = FilledRows();
        state.ResumeTiming();
        rows.insert(rows.begin() + kRows / 2, size_t(kInserted), std::vector<QString>());
        benchmark::DoNotOptimize(rows.size());
    }
}

void BM_GridDropRows(benchmark::State& state)
{
    const QString text = DropText();
    for (auto _ : state) {
        state.PauseTiming();
        auto grid = FilledGrid();
        grid->SetOptions(grid->Options() + TGridOption::goEditing);
        grid->DragDropSettings().OleInsertRows = true;
        const TRect cell = grid->CellRect(1, 3);
        state.ResumeTiming();
        const int pasted = grid->DropText(cell.Left + 2, cell.Top + 2, text);
        benchmark::DoNotOptimize(pasted);
        state.PauseTiming();
        if (grid->RowCount() != kRows + 1 + kInserted) state.SkipWithError("the drop inserted no rows");
        grid.reset();
        state.ResumeTiming();
    }
}

void BM_VectorDropRows(benchmark::State& state)
{
    const QString text = DropText();
    for (auto _ : state) {
        state.PauseTiming();
        Rows rows = FilledRows();
        state.ResumeTiming();
        rows.insert(rows.begin() + 3, size_t(kInserted), std::vector<QString>());
        qsizetype start = 0;
        for (int i = 0; i < kInserted; ++i) {
            const qsizetype end = text.indexOf(u'\r', start);
            std::vector<QString>& row = rows[size_t(3 + i)];
            row.resize(2);
            row[1] = text.mid(start, end - start);
            start = end + 2;
        }
        benchmark::DoNotOptimize(rows.size());
    }
}

BENCHMARK(BM_GridInsertRows)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_VectorInsertRows)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_GridDropRows)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_VectorDropRows)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace

int main(int argc, char** argv) { return RunWidgetBenchmarks(argc, argv); }
