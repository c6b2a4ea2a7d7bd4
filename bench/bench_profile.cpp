// The full property profile report from recorded sample-service answers:
// all twelve page kinds, 40 comps with their house photos, four assessor
// map sheets, the agent's photo and logo, laid out into a report file, and
// that file rendered to PDF. Beside it, QTextDocument printing the same
// texts and pictures, page for page, to PDF as the reference. Each shows
// its time per page (per_page), the PDFs their size and the bytes of their
// embedded faces (font_kb). A report of the same size whose texts hold
// Arabic, Hebrew, combining marks and CJK names, beside its reference, shows
// what shaped text costs.
// Targets (Release build, one core): write and PDF together at most 2 ms a
// page and at least three times faster than the reference in the same run;
// Do Report to its drawn preview page (three map sheets, from the answers
// in memory) under 100 ms.
//
//   build/<dir>/bench/bench_profile [--benchmark_filter=...]

#include "RichTextReference.h"
#include "state/TAppState.h"
#include "platform/report/PagePainter.h"
#include "platform/report/TBaseReport.h"
#include "platform/report/TReportFileWriter.h"
#include "platform/report/TReportFileReader.h"
#include "protocol/TvxAssessorMap.h"
#include "protocol/TvxComps.h"
#include "protocol/TvxRptGen.h"
#include "protocol/TvxpDocument.h"
#include "protocol/TvxpPersonalInfo.h"
#include "platform/print/TFilePreview.h"
#include "report/TProfilePreviewDlg.h"
#include "report/TrptProfile.h"

#include <QApplication>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <cstdio>
#include <memory>
#include <vector>

namespace {

QString Fixture(const QString& name) { return QStringLiteral(TAMSEL_SOURCE_DIR "/tests/report/fixtures/") + name; }

void Load(TvxpDocument& doc, const QString& name)
{
    QFile f(Fixture(name));
    if (!f.open(QIODevice::ReadOnly) || !doc.LoadDocument(&f)) {
        std::fprintf(stderr, "bench_profile: cannot read %s\n", qPrintable(name));
        std::exit(1);
    }
}

// The recorded answers and the form, set up once.
struct Profile {
    QTemporaryDir Dir;
    TvxpDocument PropDoc, CompsDoc, RptDoc;
    TvxComps Comps;
    TvxRptGen RptGen;
    TvxAssessorMap Map;
    TvxpPersonalInfo Personal;
    std::unique_ptr<TrptProfile> Form;

    Profile()
    {
        TAppState& s = AppState();
        s.TempDir = Dir.path() + QLatin1Char('/');
        s.ExeDir = s.TempDir;
        s.County = std::make_shared<TCountyRec>(
            TCountyRec{true, true, 59, QStringLiteral("Sierra Vista - CA"), QStringLiteral("SVISTA")});
        s.CompsFound = true;
        s.MapId = 1001;
        s.CustName = QStringLiteral("Pat Morales");
        s.CustAddr1 = QStringLiteral("18 Birch Ln");
        s.CustCity = QStringLiteral("Alder Creek CA");
        qint16 order = 1;
        for (int id : {10, 20, 30, 40, 50, 60, 70, 80, 90, 100, 120, 170})
            s.ReportPages.AddPage(id, order++, QStringLiteral("page"), QStringLiteral("Y"));
        for (auto* d : {&PropDoc, &CompsDoc, &RptDoc}) d->ValidateDocument = false;
        Load(PropDoc, QStringLiteral("prop_data.xml"));
        Load(CompsDoc, QStringLiteral("comps.xml"));
        Load(RptDoc, QStringLiteral("rptgen.xml"));
        Comps.SetVxpDocument(&CompsDoc);
        Comps.LoadRecords();
        RptGen.SetVxpDocument(&RptDoc);
        Personal.Loaded = true;
        Personal.SetFullName(QStringLiteral("Dana Whitfield"));
        Personal.SetCompany(QStringLiteral("Alder Creek Realty"));
        // As My Page stores them: 175 pixels high.
        Personal.Photo = QImage(140, 175, QImage::Format_RGB32);
        Personal.Photo.fill(qRgb(60, 90, 150));
        Personal.Logo = QImage(578, 175, QImage::Format_RGB32);
        Personal.Logo.fill(qRgb(150, 60, 60));
        Form = std::make_unique<TrptProfile>();
        Form->Comps = &Comps;
        Form->RptGen = &RptGen;
        Form->AssessorMap = &Map;
        Form->PersonalInfo = &Personal;
        QStringList sheets;
        for (int n = 1; n <= 4; ++n) {
            const QString sheet = s.TempDir + QStringLiteral("sheet%1.tif").arg(n);
            QFile::copy(Fixture(QStringLiteral("sheet%1.tif").arg(n)), sheet);
            sheets << sheet;
        }
        Form->Context().SheetFiles = sheets;
    }
};

// The bytes of the embedded faces of a PDF (their streams as stored).
double FontKb(const QString& pdf)
{
    QFile f(pdf);
    if (!f.open(QIODevice::ReadOnly)) return 0;
    const QByteArray bytes = f.readAll();
    qint64 total = 0;
    for (qsizetype at = bytes.indexOf("/FontFile"); at >= 0; at = bytes.indexOf("/FontFile", at + 1)) {
        // "/FontFile2 12 0 R": the object's stream length.
        const qsizetype ref = bytes.indexOf(' ', at) + 1;
        const QByteArray object = bytes.mid(ref, bytes.indexOf(' ', ref) - ref) + " 0 obj";
        const qsizetype body = bytes.indexOf("\n" + object);
        const qsizetype length = bytes.indexOf("/Length ", body);
        if (body < 0 || length < 0) continue;
        // A number, or "N 0 R": the number of object N.
        const QList<QByteArray> words =
            bytes.mid(length + 8, 24).replace('>', ' ').replace('/', ' ').simplified().split(' ');
        if (words.size() >= 3 && words[1] == "0" && words[2] == "R") {
            const qsizetype value = bytes.indexOf("\n" + words[0] + " 0 obj");
            if (value >= 0)
                total += bytes.mid(value + words[0].size() + 7, 16).simplified().split(' ').first().toLongLong();
        } else if (!words.isEmpty()) {
            total += words[0].toLongLong();
        }
    }
    return double(total) / 1024;
}

// The time of a run divided among its pages.
benchmark::Counter PerPage(int pages)
{
    return benchmark::Counter(pages, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

// Made in main, after the application object and before it goes.
Profile* g_profile = nullptr;

Profile& Setup() { return *g_profile; }

QString WriteReport()
{
    Profile& p = Setup();
    return p.Form->WriteProfileReport(p.PropDoc.RequestElement());
}

// The report file saved as PDF the way Save As does it: through the form's
// PDF renderer.
void RenderPdf(const QString& reportFile, const QString& pdfFile) { Setup().Form->RenderPdf(reportFile, pdfFile); }

int PageCount(const QString& reportFile)
{
    TReportFileReader reader;
    reader.LoadFromFile(reportFile);
    return reader.PageCount();
}

void BM_ProfileWrite(benchmark::State& state)
{
    int pages = 0;
    for (auto _ : state) pages = PageCount(WriteReport());
    state.counters["pages"] = pages;
    state.counters["per_page"] = PerPage(pages);
}
BENCHMARK(BM_ProfileWrite)->Unit(benchmark::kMillisecond);

void BM_ProfileRenderPdf(benchmark::State& state)
{
    const QString path = WriteReport();
    const QString pdf = Setup().Dir.filePath(QStringLiteral("profile.pdf"));
    for (auto _ : state) RenderPdf(path, pdf);
    const int pages = PageCount(path);
    state.counters["pages"] = pages;
    state.counters["per_page"] = PerPage(pages);
    state.counters["pdf_kb"] = double(QFile(pdf).size()) / 1024;
    state.counters["font_kb"] = FontKb(pdf);
}
BENCHMARK(BM_ProfileRenderPdf)->Unit(benchmark::kMillisecond);

void BM_ProfileWriteAndRenderPdf(benchmark::State& state)
{
    const QString pdf = Setup().Dir.filePath(QStringLiteral("profile.pdf"));
    for (auto _ : state) RenderPdf(WriteReport(), pdf);
    state.counters["per_page"] = PerPage(PageCount(WriteReport()));
}
BENCHMARK(BM_ProfileWriteAndRenderPdf)->Unit(benchmark::kMillisecond);

// QTextDocument printing the texts and pictures of a report file to PDF.
void ReferencePdf(benchmark::State& state, const QString& reportFile, const QString& pdfName)
{
    TReportFileReader reader;
    reader.LoadFromFile(reportFile);
    const RichTextPages pages(reader);
    const QString pdf = Setup().Dir.filePath(pdfName);
    for (auto _ : state) pages.PrintPdf(pdf);
    state.counters["per_page"] = PerPage(reader.PageCount());
    state.counters["texts"] = pages.Texts;
    state.counters["pictures"] = double(pages.Images.size());
    state.counters["pdf_kb"] = double(QFile(pdf).size()) / 1024;
    state.counters["font_kb"] = FontKb(pdf);
}

void BM_ReferenceQTextDocumentPdf(benchmark::State& state)
{
    ReferencePdf(state, WriteReport(), QStringLiteral("reference.pdf"));
}
BENCHMARK(BM_ReferenceQTextDocumentPdf)->Unit(benchmark::kMillisecond);

// 48 pages of 40 lines: customer names and places in Arabic, Hebrew,
// decomposed Latin, Chinese and Japanese beside English labels.
QString ScriptsReport()
{
    static const QString texts[] = {
        QStringLiteral("Customer: \u0645\u062D\u0645\u062F \u0627\u0644\u0633\u064A\u062F"),
        QStringLiteral("\u05E9\u05DC\u05D5\u05DD \u05E2\u05D5\u05DC\u05DD, 12 Oak Lane"),
        QStringLiteral("Cafe\u0301 Zu\u0308rich, Sa\u0303o Paulo"),
        QStringLiteral("Owner: \u738B\u5C0F\u660E"),
        QStringLiteral("\u6771\u4EAC\u90FD \u5C71\u7530\u592A\u90CE"),
        QStringLiteral("Sale price $412,000 on 03/14/2024"),
    };
    const QString path = Setup().Dir.filePath(QStringLiteral("scripts.rpt"));
    TReportFileWriter writer;
    writer.FileName = path;
    writer.OnPrint = [](TBaseReport& r) {
        for (int page = 0; page < 48; ++page) {
            if (page) r.NewPage();
            r.SetFont(QStringLiteral("Arial"), 10);
            for (int line = 0; line < 40; ++line) {
                r.PrintLeft(texts[(page + line) % 6] + QStringLiteral(" #%1").arg(line), 0.75);
                r.NewLine();
            }
        }
    };
    writer.Execute();
    return path;
}

void BM_ScriptsRenderPdf(benchmark::State& state)
{
    const QString path = ScriptsReport();
    const QString pdf = Setup().Dir.filePath(QStringLiteral("scripts.pdf"));
    for (auto _ : state) RenderPdf(path, pdf);
    state.counters["per_page"] = PerPage(PageCount(path));
    state.counters["pdf_kb"] = double(QFile(pdf).size()) / 1024;
    state.counters["font_kb"] = FontKb(pdf);
}
BENCHMARK(BM_ScriptsRenderPdf)->Unit(benchmark::kMillisecond);

void BM_ScriptsReferenceQTextDocumentPdf(benchmark::State& state)
{
    ReferencePdf(state, ScriptsReport(), QStringLiteral("scripts-reference.pdf"));
}
BENCHMARK(BM_ScriptsReferenceQTextDocumentPdf)->Unit(benchmark::kMillisecond);

// Do Report once the last answer is in: the report written from the answers
// in memory with the three map sheets of the sample service's subject
// property, the preview window opened on it and its first page drawn.
void BM_DoReportToPreviewPage(benchmark::State& state)
{
    Profile& p = Setup();
    const QStringList all = p.Form->Context().SheetFiles;
    p.Form->Context().SheetFiles = all.mid(0, 3);
    int pages = 0;
    for (auto _ : state) {
        const QString path = WriteReport();
        TProfilePreviewDlg window(nullptr);
        window.Open(path);
        TFilePreview* preview = window.Preview();
        QImage shown(preview->size(), QImage::Format_RGB32);
        preview->render(&shown);
        pages = preview->PageCount();
        benchmark::DoNotOptimize(shown.constBits());
    }
    p.Form->Context().SheetFiles = all;
    state.counters["pages"] = pages;
}
BENCHMARK(BM_DoReportToPreviewPage)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    auto profile = std::make_unique<Profile>();
    g_profile = profile.get();
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    g_profile = nullptr;
    profile.reset();
    FreeAppState();
    return 0;
}
