// The string grid with 100,000 rows by 10 columns beside Qt's QTableView
// over a QStandardItemModel holding the same texts: filling, one full
// repaint of the visible window (and of a window of cell graphics: check
// boxes, progress bars, image lists, buttons, comment marks), scrolling to
// the end and repainting there,
// applying and removing a row filter (a QSortFilterProxyModel under a second
// view for Qt), hiding and showing five columns. Both paint into an image of
// the same size with the same font.
//
//   build/<dir>/bench/bench_grid [--benchmark_filter=...]

#include "WidgetBenchMain.h"
#include "grid/TExtStringGrid.h"
#include "grid/cells/TCellGraphic.h"
#include "platform/graphics/ImageList.h"
#include "platform/graphics/PainterCanvas.h"
#include "platform/kernel/Application.h"
#include "platform/widgets/WidgetStyle.h"

#include <QHeaderView>
#include <QImage>
#include <QPainter>
#include <QSortFilterProxyModel>
#include <QStandardItemModel>
#include <QTableView>
#include <benchmark/benchmark.h>
#include <memory>

namespace {

constexpr int kRows = 100000;
constexpr int kCols = 10;
constexpr int kWidth = 800;
constexpr int kHeight = 600;

QString CellText(int col, int row)
{
    switch (col) {
    case 0: return QString::number(row);
    case 1: return QStringLiteral("%1 Main St").arg(row % 9000 + 100);
    case 2: return row % 3 ? QStringLiteral("Fresno") : QStringLiteral("Clovis");
    case 3: return QStringLiteral("$%1,000").arg(150 + row % 700);
    default: return QStringLiteral("r%1c%2").arg(row).arg(col);
    }
}

// One filled grid and one filled view, made on first use and shared.
struct Fixture {
    std::unique_ptr<TExtStringGrid> grid;
    std::unique_ptr<QStandardItemModel> model;
    std::unique_ptr<QTableView> view;
    // The filtered view: the same model through a proxy.
    std::unique_ptr<QSortFilterProxyModel> proxy;
    std::unique_ptr<QTableView> filtered;

    static Fixture& Get()
    {
        static Fixture f;
        return f;
    }

    Fixture()
    {
        grid = std::make_unique<TExtStringGrid>(nullptr, QStringLiteral("BenchGrid"));
        grid->SetBorderStyle(TBorderStyle::bsNone);
        grid->resize(kWidth, kHeight);
        grid->SetColCount(kCols);
        grid->SetRowCount(kRows + 1);
        grid->SetDefaultColWidth(76);
        for (int r = 1; r <= kRows; ++r)
            for (int c = 0; c < kCols; ++c) grid->SetCells(c, r, CellText(c, r));

        model = std::make_unique<QStandardItemModel>(kRows, kCols);
        for (int r = 0; r < kRows; ++r)
            for (int c = 0; c < kCols; ++c) model->setItem(r, c, new QStandardItem(CellText(c, r + 1)));
        view = std::make_unique<QTableView>();
        view->setModel(model.get());
        view->resize(kWidth, kHeight);
        view->verticalHeader()->setDefaultSectionSize(21);
        view->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
        view->horizontalHeader()->setDefaultSectionSize(76);
        view->setFont(TWinControl::QtFontOf(grid->Font()));
        proxy = std::make_unique<QSortFilterProxyModel>();
        proxy->setSourceModel(model.get());
        proxy->setFilterKeyColumn(2);
        filtered = std::make_unique<QTableView>();
        filtered->setModel(proxy.get());
        filtered->resize(kWidth, kHeight);
        filtered->verticalHeader()->setDefaultSectionSize(21);
        filtered->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    }
};

void PaintGrid(TExtStringGrid& grid, QImage& image)
{
    QPainter painter(&image);
    TPainterCanvas canvas(&painter);
    grid.PaintTo(canvas, TRect(0, 0, kWidth, kHeight));
}

void PaintView(QTableView& view, QImage& image)
{
    QPainter painter(&image);
    view.render(&painter);
}

void BM_GridFill(benchmark::State& state)
{
    for (auto _ : state) {
        TExtStringGrid grid(nullptr, QStringLiteral("Fill"));
        grid.SetColCount(kCols);
        grid.SetRowCount(kRows + 1);
        for (int r = 1; r <= kRows; ++r)
            for (int c = 0; c < kCols; ++c) grid.SetCells(c, r, CellText(c, r));
        benchmark::DoNotOptimize(grid.RowCount());
    }
}

void BM_TableViewFill(benchmark::State& state)
{
    for (auto _ : state) {
        QStandardItemModel model(kRows, kCols);
        for (int r = 0; r < kRows; ++r)
            for (int c = 0; c < kCols; ++c) model.setItem(r, c, new QStandardItem(CellText(c, r + 1)));
        benchmark::DoNotOptimize(model.rowCount());
    }
}

void BM_GridRepaint(benchmark::State& state)
{
    Fixture& f = Fixture::Get();
    f.grid->SetTopRow(1);
    QImage image(kWidth, kHeight, QImage::Format_RGB32);
    for (auto _ : state) PaintGrid(*f.grid, image);
}

// A window of 30 rows whose columns 1 to 6 hold a graphic of one kind each.
void BM_GridRepaintGraphics(benchmark::State& state)
{
    static const TCellType kinds[] = {ctCheckBox, ctDataCheckBox, ctProgress, ctImageList, ctButton, ctComment};
    TImageList images(16, 16);
    QImage red(16, 16, QImage::Format_RGB32);
    red.fill(Qt::red);
    images.Add(red);
    TExtStringGrid grid(nullptr, QStringLiteral("BenchGraphics"));
    grid.SetBorderStyle(TBorderStyle::bsNone);
    grid.resize(kWidth, kHeight);
    grid.SetColCount(kCols);
    grid.SetRowCount(31);
    grid.SetDefaultColWidth(76);
    grid.SetGridImages(&images);
    for (int r = 1; r <= 30; ++r) {
        for (int c = 0; c < kCols; ++c) grid.SetCells(c, r, CellText(c, r));
        grid.SetCells(3, r, QString::number(r * 3));
        for (int c = 1; c <= 6; ++c) {
            auto* g = new TCellGraphic;
            g->CellType = kinds[c - 1];
            g->CellBoolean = r % 2 == 0;
            g->CellIndex = kinds[c - 1] == ctButton ? (16 << 16) | 50 : 0;
            g->CellText = QStringLiteral("Go");
            grid.SetCellAttachment(c, r, g);
        }
    }
    QImage image(kWidth, kHeight, QImage::Format_RGB32);
    for (auto _ : state) PaintGrid(grid, image);
}

void BM_TableViewRepaint(benchmark::State& state)
{
    Fixture& f = Fixture::Get();
    f.view->scrollToTop();
    QImage image(kWidth, kHeight, QImage::Format_RGB32);
    for (auto _ : state) PaintView(*f.view, image);
}

// Scrolling to the last row and painting the window there.
void BM_GridScrollToEnd(benchmark::State& state)
{
    Fixture& f = Fixture::Get();
    QImage image(kWidth, kHeight, QImage::Format_RGB32);
    for (auto _ : state) {
        f.grid->SetTopRow(1);
        f.grid->FocusCell(1, f.grid->RowCount() - 1);
        PaintGrid(*f.grid, image);
    }
}

void BM_TableViewScrollToEnd(benchmark::State& state)
{
    Fixture& f = Fixture::Get();
    QImage image(kWidth, kHeight, QImage::Format_RGB32);
    for (auto _ : state) {
        f.view->scrollToTop();
        f.view->setCurrentIndex(f.model->index(kRows - 1, 1));
        f.view->scrollTo(f.model->index(kRows - 1, 1));
        PaintView(*f.view, image);
    }
}

// Applying a filter that keeps the two thirds of the rows in "Fresno", then
// removing it, with a paint of the window after each.
void BM_GridFilter(benchmark::State& state)
{
    Fixture& f = Fixture::Get();
    TExtStringGrid& g = *f.grid;
    g.SetTopRow(1);
    g.Filter().clear();
    g.Filter().push_back(TFilterData{2, QStringLiteral("Fresno"), false});
    QImage image(kWidth, kHeight, QImage::Format_RGB32);
    for (auto _ : state) {
        g.SetFilterActive(true);
        PaintGrid(g, image);
        g.SetFilterActive(false);
        PaintGrid(g, image);
    }
    g.Filter().clear();
}

void BM_TableViewFilter(benchmark::State& state)
{
    Fixture& f = Fixture::Get();
    QImage image(kWidth, kHeight, QImage::Format_RGB32);
    for (auto _ : state) {
        f.proxy->setFilterFixedString(QStringLiteral("Fresno"));
        PaintView(*f.filtered, image);
        f.proxy->setFilterFixedString(QString());
        PaintView(*f.filtered, image);
    }
}

// Hiding five columns, then showing them again, with a paint after each.
void BM_GridHideColumns(benchmark::State& state)
{
    Fixture& f = Fixture::Get();
    TExtStringGrid& g = *f.grid;
    g.SetTopRow(1);
    QImage image(kWidth, kHeight, QImage::Format_RGB32);
    for (auto _ : state) {
        g.HideColumns(2, 6);
        PaintGrid(g, image);
        g.UnHideColumnsAll();
        PaintGrid(g, image);
    }
}

void BM_TableViewHideColumns(benchmark::State& state)
{
    Fixture& f = Fixture::Get();
    f.view->scrollToTop();
    QImage image(kWidth, kHeight, QImage::Format_RGB32);
    for (auto _ : state) {
        for (int c = 2; c <= 6; ++c) f.view->setColumnHidden(c, true);
        PaintView(*f.view, image);
        for (int c = 2; c <= 6; ++c) f.view->setColumnHidden(c, false);
        PaintView(*f.view, image);
    }
}

// Hiding a block of 59,001 rows and showing every row again.
void BM_GridHideRows(benchmark::State& state)
{
    Fixture& f = Fixture::Get();
    TExtStringGrid& g = *f.grid;
    g.SetTopRow(1);
    QImage image(kWidth, kHeight, QImage::Format_RGB32);
    for (auto _ : state) {
        g.HideRows(1000, 60000);
        PaintGrid(g, image);
        g.UnHideRowsAll();
        PaintGrid(g, image);
    }
}

void BM_TableViewHideRows(benchmark::State& state)
{
    Fixture& f = Fixture::Get();
    f.view->scrollToTop();
    QImage image(kWidth, kHeight, QImage::Format_RGB32);
    for (auto _ : state) {
        for (int r = 999; r < 60000; ++r) f.view->setRowHidden(r, true);
        PaintView(*f.view, image);
        for (int r = 999; r < 60000; ++r) f.view->setRowHidden(r, false);
        PaintView(*f.view, image);
    }
}

BENCHMARK(BM_GridFill)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_TableViewFill)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_GridRepaint)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_GridRepaintGraphics)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TableViewRepaint)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_GridScrollToEnd)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TableViewScrollToEnd)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_GridFilter)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TableViewFilter)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_GridHideColumns)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TableViewHideColumns)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_GridHideRows)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TableViewHideRows)->Unit(benchmark::kMillisecond)->Iterations(1);

} // namespace

int main(int argc, char** argv) { return RunWidgetBenchmarks(argc, argv); }
