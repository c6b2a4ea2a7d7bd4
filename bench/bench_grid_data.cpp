// The string grid's data work on 100,000 rows by 10 columns: sorting by a
// text, a numeric and a date column (the whole SortByColumn: keys read once
// per row, rows moved as objects), beside the same sort done with
// std::stable_sort over the same keys; copying and pasting the whole block
// as text and as the cell stream; importing a 100,000-line delimited file,
// and one line of 50 MB with the memory it takes.
//
//   build/<dir>/bench/bench_grid_data [--benchmark_filter=...]

#include "grid/TExtStringGrid.h"
#include "grid/TGridUnit.h"
#include "platform/core/RegionalSettings.h"
#include "platform/kernel/Application.h"

#include <QBuffer>
#include <QDate>
#include <QFile>
#include <QMimeData>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <algorithm>
#include <benchmark/benchmark.h>
#include <memory>
#include <sys/resource.h>
#include <vector>

namespace {

// The peak resident size of the process so far.
long PeakKilobytes()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

constexpr int kRows = 100000;
constexpr int kCols = 10;

// Column 1 text, column 2 numbers, column 3 dates (M/D/YYYY), in random
// order (a fixed seed).
QString CellText(int col, quint32 key)
{
    switch (col) {
    case 1: return QStringLiteral("%1 Main St").arg(key % 90000 + 100);
    case 2: return QString::number(double(key % 1000000) / 100.0, 'f', 2);
    case 3: return QStringLiteral("%1/%2/%3").arg(key % 12 + 1).arg(key % 28 + 1).arg(1950 + key % 70);
    default: return QStringLiteral("r%1c%2").arg(key).arg(col);
    }
}

void Fill(TExtStringGrid& g)
{
    g.SetColCount(kCols);
    g.SetRowCount(kRows + 1);
    QRandomGenerator rng(42);
    for (int r = 1; r <= kRows; ++r) {
        const quint32 key = rng.generate();
        for (int c = 0; c < kCols; ++c) g.SetCells(c, r, CellText(c, key));
    }
}

// SortByColumn over one column, each iteration from the same shuffled
// order (refilled outside the timing).
void SortColumn(benchmark::State& state, int col)
{
    TExtStringGrid g(nullptr, QStringLiteral("Sort"));
    ScopedRegionalSettings settings{TFormatSettings{}};
    g.SortSettings().Column = col;
    for (auto _ : state) {
        state.PauseTiming();
        Fill(g);
        state.ResumeTiming();
        g.SortByColumn();
    }
}

void BM_SortText(benchmark::State& state) { SortColumn(state, 1); }
void BM_SortNumeric(benchmark::State& state) { SortColumn(state, 2); }
void BM_SortDate(benchmark::State& state) { SortColumn(state, 3); }

// The same job done the plain way, as the reference: the sort column's
// keys read and converted once per row, std::stable_sort over the row
// indices by those keys, the rows put in that order in one pass. (It breaks
// no ties by the next columns; the grid's sort does, SortSettings.Full
// being on by default.)
template <class Key, class Convert>
void StdSortColumn(benchmark::State& state, int col, Convert convert)
{
    TExtStringGrid g(nullptr, QStringLiteral("Sort"));
    ScopedRegionalSettings settings{TFormatSettings{}};
    for (auto _ : state) {
        state.PauseTiming();
        Fill(g);
        state.ResumeTiming();
        std::vector<Key> keys;
        keys.reserve(kRows);
        for (int r = 1; r <= kRows; ++r) keys.push_back(convert(g.GetCellText(col, r)));
        std::vector<int> order(kRows);
        for (int i = 0; i < kRows; ++i) order[size_t(i)] = i;
        std::stable_sort(order.begin(), order.end(), [&](int a, int b) { return keys[size_t(a)] < keys[size_t(b)]; });
        for (int& i : order) i += 1;
        g.ReorderRows(1, order);
    }
}

void BM_SortTextStd(benchmark::State& state)
{
    StdSortColumn<QString>(state, 1, [](const QString& t) { return t; });
}
void BM_SortNumericStd(benchmark::State& state)
{
    StdSortColumn<double>(state, 2, [](const QString& t) { return t.toDouble(); });
}
void BM_SortDateStd(benchmark::State& state)
{
    StdSortColumn<QDate>(state, 3, [](const QString& t) { return QDate::fromString(t, QStringLiteral("M/d/yyyy")); });
}

struct GridUnitScope {
    GridUnitScope() { TGridUnit::Startup(); }
    ~GridUnitScope() { TGridUnit::Shutdown(); }
    GridUnitScope(const GridUnitScope&) = delete;
    GridUnitScope& operator=(const GridUnitScope&) = delete;
};

// Copying the whole 100,000 x 10 block and pasting it into an empty grid,
// as text and as the cell stream.
void CopyPaste(benchmark::State& state, bool stream)
{
    // The grid offers and reads its cell stream only once the grid unit has
    // registered the stream's clipboard format.
    const GridUnitScope unit;
    TExtStringGrid source(nullptr, QStringLiteral("Source"));
    Fill(source);
    source.Navigation().AllowFmtClipboard = stream;
    TExtStringGrid target(nullptr, QStringLiteral("Target"));
    target.SetOptions(target.Options() + TGridOption::goEditing);
    target.Navigation().AllowFmtClipboard = stream;
    const TRect block(0, 1, kCols - 1, kRows);
    for (auto _ : state) {
        std::unique_ptr<QMimeData> data(source.RectAsMimeData(block, false));
        target.SetRowCount(2);
        target.SetColCount(2);
        if (stream && !data->hasFormat(TGridUnit::CellsFormat())) state.SkipWithError("no cell stream offered");
        const int pasted = target.PasteMimeData(0, 1, *data);
        if (pasted < kRows * kCols) state.SkipWithError("not everything pasted");
    }
}

void BM_CopyPasteText(benchmark::State& state) { CopyPaste(state, false); }
void BM_CopyPasteCellStream(benchmark::State& state) { CopyPaste(state, true); }

// Importing a delimited file of 100,000 lines of 10 fields.
void BM_ImportDelimited(benchmark::State& state)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("import.csv"));
    {
        QFile f(path);
        f.open(QIODevice::WriteOnly);
        QRandomGenerator rng(3);
        QByteArray line;
        for (int r = 0; r < kRows; ++r) {
            const quint32 key = rng.generate();
            line.clear();
            for (int c = 0; c < kCols; ++c) {
                if (c) line += ',';
                QString text = CellText(c, key);
                if (text.contains(u',')) text = u'"' + text + u'"';
                line += text.toUtf8();
            }
            line += '\n';
            f.write(line);
        }
    }
    TExtStringGrid g(nullptr, QStringLiteral("Import"));
    for (auto _ : state) {
        g.LoadFromCSV(path);
        if (g.RowCount() != kRows) state.SkipWithError("rows missing");
    }
}

// One line of 50 MB (4.5 million fields of ten characters): the time, and
// how much the process's peak memory grew while importing it, against the
// file's size.
void BM_ImportLongLine(benchmark::State& state)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("line.csv"));
    qint64 size = 0;
    {
        QFile f(path);
        f.open(QIODevice::WriteOnly);
        QByteArray piece;
        for (int i = 0; i < 100000; ++i) piece += QByteArray::number(1000000000 + i) + ',';
        while (size < 50 * 1000 * 1000) size += f.write(piece);
        f.write("end\n");
    }
    TExtStringGrid g(nullptr, QStringLiteral("Import"));
    const long before = PeakKilobytes();
    for (auto _ : state) {
        g.LoadFromCSV(path);
        if (g.ColCount() < 4000000) state.SkipWithError("fields missing");
        state.PauseTiming();
        g.SetColCount(1);
        g.SetRowCount(1);
        g.SetCells(0, 0, QString());
        state.ResumeTiming();
    }
    state.counters["input_MB"] = double(size) / 1e6;
    state.counters["peak_growth_MB"] = double(PeakKilobytes() - before) / 1e3;
}

// Each sort beside its reference, so the two run one after the other.
BENCHMARK(BM_SortText)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_SortTextStd)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_SortNumeric)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_SortNumericStd)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_SortDate)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_SortDateStd)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_CopyPasteText)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_CopyPasteCellStream)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_ImportDelimited)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_ImportLongLine)->Unit(benchmark::kMillisecond)->Iterations(1);

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    TApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
