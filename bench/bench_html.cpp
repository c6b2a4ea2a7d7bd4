// Lays out and draws 10,000 typical grid cell texts (plain, and with FONT,
// B, A and IMG tags) into an image with the HTML renderer, and the same texts
// through Qt's rich-text engine (QTextDocument) as the reference. Counters:
// cells per second; "allocs/cell" for a short and a long text of the same
// shape (the count must not grow with the number of characters). Long
// texts of 10k, 100k and 1M characters are measured as a cell's hint and
// auto-size measure them (word-wrapped, measuring only), as words without
// tags and as tags without spaces: "chars/s" stays about the same across
// the lengths when the time grows linearly.
//
//   build/<dir>/bench/bench_html [--benchmark_filter=...]

#include "WidgetBenchMain.h"
#include "controls/HTMLDraw.h"
#include "platform/kernel/Application.h"
#include "platform/widgets/WidgetStyle.h"
#include "platform/graphics/ImageList.h"
#include "platform/graphics/PainterCanvas.h"

#include <QAbstractTextDocumentLayout>
#include <QImage>
#include <QPainter>
#include <QTextDocument>
#include <QUrl>
#include <atomic>
#include <benchmark/benchmark.h>
#include <cstdlib>
#include <memory>
#include <vector>

// Counting allocations: every malloc of the process while counting is on.
// Sanitizer builds have their own allocator, so there the count is left out.
#if !defined(__SANITIZE_ADDRESS__)
#define TAMSEL_COUNT_ALLOCATIONS 1
namespace {
std::atomic<bool> g_counting{false};
std::atomic<long> g_allocations{0};
} // namespace
extern "C" {
void* __libc_malloc(size_t);
void* __libc_calloc(size_t, size_t);
void* __libc_realloc(void*, size_t);
void* malloc(size_t n)
{
    if (g_counting.load(std::memory_order_relaxed)) g_allocations.fetch_add(1, std::memory_order_relaxed);
    return __libc_malloc(n);
}
void* calloc(size_t n, size_t m)
{
    if (g_counting.load(std::memory_order_relaxed)) g_allocations.fetch_add(1, std::memory_order_relaxed);
    return __libc_calloc(n, m);
}
void* realloc(void* p, size_t n)
{
    if (g_counting.load(std::memory_order_relaxed)) g_allocations.fetch_add(1, std::memory_order_relaxed);
    return __libc_realloc(p, n);
}
}
#endif

namespace {

constexpr int kCells = 10000;
constexpr int kCellWidth = 120;
constexpr int kCellHeight = 18;
constexpr int kColumns = 10;
constexpr int kRows = 20;

struct Cell {
    QString ours; // the mini-language
    QString qt;   // the same in Qt's rich text
};

std::vector<Cell> MakeCells()
{
    std::vector<Cell> cells;
    cells.reserve(kCells);
    for (int i = 0; i < kCells; ++i) {
        const QString n = QString::number(100000 + i * 37);
        switch (i % 5) {
        case 0: cells.push_back({n + QStringLiteral(" Main Street"), n + QStringLiteral(" Main Street")}); break;
        case 1:
            cells.push_back({QStringLiteral("<FONT COLOR=\"clred\">$") + n + QStringLiteral("</FONT> sold"),
                             QStringLiteral("<font color=\"#ff0000\">$") + n + QStringLiteral("</font> sold")});
            break;
        case 2:
            cells.push_back({QStringLiteral("<B>Comp ") + n + QStringLiteral("</B> 3 bd"),
                             QStringLiteral("<b>Comp ") + n + QStringLiteral("</b> 3 bd")});
            break;
        case 3:
            cells.push_back({QStringLiteral("<A HREF=\"prop:") + n + QStringLiteral("\">Details</A> ") + n,
                             QStringLiteral("<a href=\"prop:") + n + QStringLiteral("\">Details</a> ") + n});
            break;
        default:
            cells.push_back(
                {QStringLiteral("<IMG SRC=\"IDX:0\"> Photo ") + n, QStringLiteral("<img src=\"idx0\"> Photo ") + n});
            break;
        }
    }
    return cells;
}

const std::vector<Cell>& Cells()
{
    static const std::vector<Cell> cells = MakeCells();
    return cells;
}

QImage Icon()
{
    QImage img(16, 16, QImage::Format_ARGB32);
    img.fill(qRgba(30, 120, 200, 255));
    return img;
}

TRect CellRect(int i)
{
    const int k = i % (kColumns * kRows);
    const int x = (k % kColumns) * kCellWidth;
    const int y = (k / kColumns) * kCellHeight;
    return TRect(x, y, x + kCellWidth, y + kCellHeight);
}

void BM_HTMLDrawEx(benchmark::State& state)
{
    QImage target(kColumns * kCellWidth, kRows * kCellHeight, QImage::Format_RGB32);
    target.fill(Qt::white);
    TImageList images(16, 16);
    images.AddImages(Icon());
    TPainterCanvas canvas(&target, 96);
    canvas.Font().SetName(QStringLiteral("DejaVu Sans"));
    canvas.Font().SetSize(8);
    canvas.Font().SetColor(clBlack);
    canvas.Brush().SetColor(clWhite);
    THTMLDrawOptions o;
    o.Images = &images;
    THTMLDrawResults r;
    const auto& cells = Cells();
    for (auto _ : state) {
        for (int i = 0; i < kCells; ++i) HTMLDraw(canvas, cells[i].ours, CellRect(i), o, r);
        benchmark::DoNotOptimize(r.XSize);
    }
    canvas.Release();
    state.SetItemsProcessed(state.iterations() * kCells);
}
BENCHMARK(BM_HTMLDrawEx)->Unit(benchmark::kMillisecond);

void BM_QTextDocumentReference(benchmark::State& state)
{
    QImage target(kColumns * kCellWidth, kRows * kCellHeight, QImage::Format_RGB32);
    target.fill(Qt::white);
    QPainter painter(&target);
    QTextDocument doc;
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(11);
    doc.setDefaultFont(font);
    doc.setDocumentMargin(1);
    doc.addResource(QTextDocument::ImageResource, QUrl(QStringLiteral("idx0")), Icon());
    const auto& cells = Cells();
    for (auto _ : state) {
        for (int i = 0; i < kCells; ++i) {
            const TRect rc = CellRect(i);
            doc.setHtml(cells[i].qt);
            doc.setTextWidth(kCellWidth);
            painter.save();
            painter.translate(rc.Left, rc.Top);
            doc.drawContents(&painter, QRectF(0, 0, kCellWidth, kCellHeight));
            painter.restore();
        }
        benchmark::DoNotOptimize(doc.size());
    }
    state.SetItemsProcessed(state.iterations() * kCells);
}
BENCHMARK(BM_QTextDocumentReference)->Unit(benchmark::kMillisecond);

// Allocations of one cell drawn with a short and with a ten times longer
// text of the same shape (one word inside a FONT tag, then a B tag).
void BM_AllocationsPerCell(benchmark::State& state)
{
    const int length = int(state.range(0));
    const QString word(length, QLatin1Char('x'));
    const QString text =
        QStringLiteral("<FONT COLOR=\"clblue\">") + word + QStringLiteral("</FONT><B>") + word + QStringLiteral("</B>");
    QImage target(2000, 40, QImage::Format_RGB32);
    target.fill(Qt::white);
    TPainterCanvas canvas(&target, 96);
    canvas.Font().SetName(QStringLiteral("DejaVu Sans"));
    THTMLDrawOptions o;
    THTMLDrawResults r;
    HTMLDraw(canvas, text, TRect(0, 0, 2000, 40), o, r); // warm the caches
    [[maybe_unused]] long allocations = 0;
    long cells = 0;
    for (auto _ : state) {
#ifdef TAMSEL_COUNT_ALLOCATIONS
        g_allocations = 0;
        g_counting = true;
#endif
        HTMLDraw(canvas, text, TRect(0, 0, 2000, 40), o, r);
#ifdef TAMSEL_COUNT_ALLOCATIONS
        g_counting = false;
        allocations += g_allocations.load();
#endif
        ++cells;
    }
    canvas.Release();
    state.counters["chars/cell"] = double(text.size());
#ifdef TAMSEL_COUNT_ALLOCATIONS
    state.counters["allocs/cell"] = double(allocations) / double(std::max(1L, cells));
#endif
}
BENCHMARK(BM_AllocationsPerCell)->Arg(10)->Arg(100)->Unit(benchmark::kMicrosecond);

// A long text of about length characters: words and spaces (no tag), or
// bold words and no space.
QString LongText(qsizetype length, bool tags)
{
    const QString unit = tags ? QStringLiteral("<B>word</B>x") : QStringLiteral("word ");
    QString text;
    text.reserve(length + unit.size());
    while (text.size() < length) text += unit;
    return text;
}

void MeasureLongText(benchmark::State& state, bool tags)
{
    const QString text = LongText(state.range(0), tags);
    QImage target(8, 8, QImage::Format_RGB32);
    TPainterCanvas canvas(&target, 96);
    canvas.Font().SetName(QStringLiteral("DejaVu Sans"));
    canvas.Font().SetSize(8);
    THTMLDrawOptions o;
    o.CheckHeight = true;
    o.WordWrap = true;
    THTMLDrawResults r;
    for (auto _ : state) {
        HTMLDraw(canvas, text, TRect(0, 0, 400, 20), o, r);
        benchmark::DoNotOptimize(r.YSize);
    }
    canvas.Release();
    state.counters["height"] = double(r.YSize);
    state.counters["chars/s"] =
        benchmark::Counter(double(text.size()) * double(state.iterations()), benchmark::Counter::kIsRate);
}

void BM_MeasureLongWords(benchmark::State& state) { MeasureLongText(state, false); }
BENCHMARK(BM_MeasureLongWords)->Arg(10000)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);

void BM_MeasureLongTags(benchmark::State& state) { MeasureLongText(state, true); }
BENCHMARK(BM_MeasureLongTags)->Arg(10000)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) { return RunWidgetBenchmarks(argc, argv); }
