// Parsing service documents into the document model and writing them back,
// beside libxml2 building its tree and pugixml building its own from the
// same bytes (references only: nothing of the program links them). The
// documents are generated here in the shapes the service sends:
//  - comps.result: 5,000 records of 61 fields, indented, CRLF line ends;
//  - prop.list: 10,000 rows of ten attributes;
//  - photo: 2 MB of Base64 text in one element;
//  - comps.dense: 5,000 records of 54 short fields, no white space between
//    the elements, LF line ends (the comps answer as the service sends it);
//  - attr.list: 10,000 rows of 24 attributes each, one row a line;
//  - entities: 5,000 records whose fields are full of entity and character
//    references.
// After the runs a table gives, per shape, the best CPU time of each parser
// (run with --benchmark_repetitions=N for best of N; "_min" rows), our speed relative to
// libxml2 and pugixml (their time over ours), and the write time of our
// tree against its parse time.
//
//   build/<dir>/bench/bench_xml [--benchmark_repetitions=11] [--benchmark_filter=...]

#include "protocol/xml/TXMLDocument.h"
#include "protocol/xml/TXMLElement.h"
#include "protocol/xml/TXMLParser.h"

#include <benchmark/benchmark.h>

#include <QBuffer>
#include <QByteArray>
#include <QObject>
#include <QRandomGenerator>
#include <QString>

#include <algorithm>
#include <malloc.h>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

#ifdef TAMSEL_HAVE_LIBXML2
#include <libxml/parser.h>
#include <libxml/tree.h>
#endif
#ifdef TAMSEL_HAVE_PUGIXML
#include <pugixml.hpp>
#endif

namespace {

const char* const kStreets[] = {"Main St", "Oak Ave", "Pine Rd", "Maple Dr", "Cedar Ln", "Elm St", "Lakeview Blvd"};
const char* const kCities[] = {"Springfield", "Riverside", "Fairview", "Madison", "Georgetown", "Salem"};
const char* const kNames[] = {"Smith, John & Mary", "Garcia, Luis", "O'Brien, Kate", "Nguyen, An", "Miller Trust"};

QByteArray CompsResult()
{
    QRandomGenerator rng(42);
    QByteArray out;
    out.reserve(12 << 20);
    out += "<?xml version=\"1.0\"?>\r\n\r\n<vxp>\r\n   <comps.result version=\"1.0\" UserID=\"1201\" County=\"12\" "
           "LogEvent=\"N\">\r\n";
    for (int r = 0; r < 5000; ++r) {
        out += "      <comp>\r\n";
        for (int f = 0; f < 60; ++f) {
            const QByteArray tag = "f" + QByteArray::number(f);
            out += "         <" + tag + ">";
            switch (f % 6) {
            case 0: out += QByteArray::number(rng.bounded(100000, 9999999)); break;
            case 1: out += QByteArray::number(rng.bounded(1, 9999)) + " " + kStreets[rng.bounded(7)]; break;
            case 2: out += kCities[rng.bounded(6)]; break;
            case 3: out += "$" + QByteArray::number(rng.bounded(100, 2000)) + ",000"; break;
            case 4: out += QByteArray(kNames[rng.bounded(5)]).replace("&", "&amp;"); break;
            default:
                out += "2003-0" + QByteArray::number(rng.bounded(1, 9)) + "-1" + QByteArray::number(rng.bounded(9));
                break;
            }
            out += "</" + tag + ">\r\n";
        }
        out += "         <use_rec>N</use_rec>\r\n      </comp>\r\n";
    }
    out += "   </comps.result>\r\n</vxp>";
    return out;
}

QByteArray PropList()
{
    QRandomGenerator rng(7);
    QByteArray out;
    out.reserve(3 << 20);
    out += "<?xml version=\"1.0\"?>\r\n\r\n<vxp>\r\n   <prop.list version=\"1.0\" count=\"10000\">\r\n";
    for (int r = 0; r < 10000; ++r) {
        out += "      <prop id = \"" + QByteArray::number(r) + "\" apn = \"" +
            QByteArray::number(rng.bounded(100, 999)) + "-" + QByteArray::number(rng.bounded(100, 999)) + "-" +
            QByteArray::number(rng.bounded(10, 99)) + "\" owner = \"" +
            QByteArray(kNames[rng.bounded(5)]).replace("&", "&amp;") + "\" addr = \"" +
            QByteArray::number(rng.bounded(1, 9999)) + " " + kStreets[rng.bounded(7)] + "\" city = \"" +
            kCities[rng.bounded(6)] + "\" zip = \"9" + QByteArray::number(rng.bounded(1000, 9999)) + "\" beds = \"" +
            QByteArray::number(rng.bounded(1, 6)) + "\" baths = \"" + QByteArray::number(rng.bounded(1, 4)) +
            ".5\" sqft = \"" + QByteArray::number(rng.bounded(700, 5000)) + "\" order = \"" +
            QByteArray::number(r + 1) + "\"/>\r\n";
    }
    out += "   </prop.list>\r\n</vxp>";
    return out;
}

QByteArray Photo()
{
    QRandomGenerator rng(3);
    QByteArray raw(1536 * 1024, Qt::Uninitialized);
    for (char& c : raw) c = char(rng.bounded(256));
    const QByteArray b64 = raw.toBase64();
    QByteArray out;
    out.reserve(b64.size() + b64.size() / 76 * 2 + 256);
    out += "<?xml version=\"1.0\"?>\r\n\r\n<vxp>\r\n   <rptgen.response version=\"1.0\">\r\n      <photos>\r\n"
           "         <photo apn=\"123-456-78\">";
    for (qsizetype i = 0; i < b64.size(); i += 76) out += b64.mid(i, 76) + "\r\n";
    out += "</photo>\r\n      </photos>\r\n   </rptgen.response>\r\n</vxp>";
    return out;
}

// The comps answer as the service sends it: one record after another with
// no white space between the elements, LF line ends in the prolog.
QByteArray CompsDense()
{
    static const char* const fields[54] = {
        "apn",    "addr",   "unit",    "city",     "zip",      "owner",    "use_cd",   "zoning",   "tract",
        "lot",    "block",  "map_pg",  "sale_dt",  "sale_amt", "doc_no",   "doc_type", "prior_dt", "prior_amt",
        "loan1",  "loan2",  "lender",  "beds",     "baths",    "rooms",    "sqft",     "lot_sqft", "acres",
        "yr_blt", "eff_yr", "stories", "units",    "pool",     "garage",   "park",     "fire",     "heat",
        "cool",   "roof",   "view",    "quality",  "cond",     "land_val", "impr_val", "tot_val",  "tax_amt",
        "tax_yr", "exempt", "dist",    "price_sf", "lat",      "lon",      "dom",      "status",   "use_rec"};
    QRandomGenerator rng(11);
    QByteArray out;
    out.reserve(9 << 20);
    out += "<?xml version=\"1.0\"?>\n<vxp><comps.result version=\"1.0\" UserID=\"1201\" County=\"12\" "
           "LogEvent=\"N\">";
    for (int r = 0; r < 5000; ++r) {
        out += "<comp>";
        for (int f = 0; f < 54; ++f) {
            out += '<';
            out += fields[f];
            out += '>';
            switch (f % 9) {
            case 0: out += QByteArray::number(rng.bounded(100000, 9999999)); break;
            case 1: out += QByteArray::number(rng.bounded(1, 9999)) + " " + kStreets[rng.bounded(7)]; break;
            case 2: out += kCities[rng.bounded(6)]; break;
            case 3: out += QByteArray::number(rng.bounded(100, 2000)) + "000"; break;
            case 4: out += QByteArray(kNames[rng.bounded(5)]).replace("&", "&amp;"); break;
            case 5:
                out += "2003-0" + QByteArray::number(rng.bounded(1, 9)) + "-1" + QByteArray::number(rng.bounded(9));
                break;
            case 6: out += QByteArray::number(rng.bounded(1, 6)); break;
            case 7: out += rng.bounded(2) ? "Y" : "N"; break;
            default:
                out += QByteArray::number(rng.bounded(10, 99)) + "." + QByteArray::number(rng.bounded(10, 99));
                break;
            }
            out += "</";
            out += fields[f];
            out += '>';
        }
        out += "</comp>";
    }
    out += "</comps.result></vxp>\n";
    return out;
}

// A list whose rows carry everything in attributes, one row a line.
QByteArray AttributeList()
{
    QRandomGenerator rng(5);
    QByteArray out;
    out.reserve(8 << 20);
    out += "<?xml version=\"1.0\"?>\n<vxp>\n<prop.list version=\"1.0\" count=\"10000\">\n";
    for (int r = 0; r < 10000; ++r) {
        out += "<prop id=\"" + QByteArray::number(r) + "\" apn=\"" + QByteArray::number(rng.bounded(100, 999)) + "-" +
            QByteArray::number(rng.bounded(100, 999)) + "-" + QByteArray::number(rng.bounded(10, 99)) + "\" owner=\"" +
            QByteArray(kNames[rng.bounded(5)]).replace("&", "&amp;") + "\" addr=\"" +
            QByteArray::number(rng.bounded(1, 9999)) + " " + kStreets[rng.bounded(7)] + "\" city=\"" +
            kCities[rng.bounded(6)] + "\" zip=\"9" + QByteArray::number(rng.bounded(1000, 9999)) + "\"";
        static const char* const numeric[] = {"beds",   "baths", "sqft", "lot",  "yr",    "stories",
                                              "garage", "pool",  "land", "impr", "total", "tax",
                                              "sale",   "prior", "dom",  "dist", "lat",   "lon"};
        for (const char* a : numeric)
            out += QByteArray(" ") + a + "=\"" + QByteArray::number(rng.bounded(1, 99999)) + "\"";
        out += "/>\n";
    }
    out += "</prop.list>\n</vxp>\n";
    return out;
}

// Text full of references: the predefined entities and character
// references, in a Latin-1 document.
QByteArray Entities()
{
    static const char* const pieces[] = {
        "Smith &amp; Jones", "&lt;none&gt;", "O&apos;Brien",       "&quot;as is&quot;",
        "Caf&#233; Row",     "&#169; 2003",  "R&amp;D &#x2F; Lab", "5 &lt; 6 &amp;&amp; 7 &gt; 2"};
    QRandomGenerator rng(9);
    QByteArray out;
    out.reserve(6 << 20);
    out += "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\n<vxp><notes>";
    for (int r = 0; r < 5000; ++r) {
        out += "<rec>";
        for (int f = 0; f < 20; ++f) {
            out += "<n" + QByteArray::number(f) + ">";
            out += pieces[rng.bounded(8)];
            out += ' ';
            out += pieces[rng.bounded(8)];
            out += "</n" + QByteArray::number(f) + ">";
        }
        out += "</rec>";
    }
    out += "</notes></vxp>\n";
    return out;
}

constexpr int kShapes = 6;
const char* const kLabels[kShapes] = {"comps.result", "prop.list", "photo", "comps.dense", "attr.list", "entities"};

const QByteArray& Input(int which)
{
    static const QByteArray docs[kShapes] = {CompsResult(), PropList(),      Photo(),
                                             CompsDense(),  AttributeList(), Entities()};
    return docs[which];
}

void ParseTamsel(benchmark::State& state, int shape)
{
    const QByteArray& bytes = Input(shape);
    QObject form;
    TXMLParser parser(&form);
    for (auto _ : state) {
        QBuffer buffer(const_cast<QByteArray*>(&bytes));
        buffer.open(QIODevice::ReadOnly);
        TXMLDocument* doc = nullptr;
        parser.LoadFromStream(&buffer, doc);
        benchmark::DoNotOptimize(doc->getDocumentElement());
        delete doc;
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * bytes.size());
}

void WriteTamsel(benchmark::State& state, int shape)
{
    const QByteArray& bytes = Input(shape);
    QObject form;
    TXMLParser parser(&form);
    QBuffer buffer(const_cast<QByteArray*>(&bytes));
    buffer.open(QIODevice::ReadOnly);
    TXMLDocument* doc = nullptr;
    parser.LoadFromStream(&buffer, doc);
    qint64 written = 0;
    for (auto _ : state) {
        const QByteArray out = doc->SaveToBytes();
        written = out.size();
        benchmark::DoNotOptimize(out.constData());
    }
    delete doc;
    state.SetBytesProcessed(int64_t(state.iterations()) * written);
}

#ifdef TAMSEL_HAVE_LIBXML2
void ParseLibxml2(benchmark::State& state, int shape)
{
    const QByteArray& bytes = Input(shape);
    for (auto _ : state) {
        xmlDocPtr doc = xmlReadMemory(bytes.constData(), int(bytes.size()), nullptr, nullptr, XML_PARSE_NONET);
        benchmark::DoNotOptimize(xmlDocGetRootElement(doc));
        xmlFreeDoc(doc);
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * bytes.size());
}
#endif

#ifdef TAMSEL_HAVE_PUGIXML
void ParsePugixml(benchmark::State& state, int shape)
{
    const QByteArray& bytes = Input(shape);
    for (auto _ : state) {
        pugi::xml_document doc;
        const pugi::xml_parse_result result = doc.load_buffer(bytes.constData(), size_t(bytes.size()));
        benchmark::DoNotOptimize(result.status);
        benchmark::DoNotOptimize(doc.document_element().internal_object());
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * bytes.size());
}
#endif

// The console output, and the best CPU time per run name for the table.
class TableReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            const bool best = run.run_type == Run::RT_Iteration || run.aggregate_name == "min";
            if (!best || run.error_occurred) continue;
            const std::string name = run.run_name.function_name;
            const double ms = run.GetAdjustedCPUTime();
            auto it = m_best.find(name);
            if (it == m_best.end() || ms < it->second) m_best[name] = ms;
        }
    }

    void PrintTable() const
    {
        std::printf("\nBest CPU time per document, ms (x: their time over ours; write/parse: write time over "
                    "parse time of our tree)\n");
        std::printf("%-13s %7s %9s %8s %9s %7s %9s %7s %9s %10s\n", "shape", "MB", "tamsel", "MB/s", "libxml2", "x",
                    "pugixml", "x", "write", "write/parse");
        for (int s = 0; s < kShapes; ++s) {
            const double ours = Best("parse/tamsel/", s);
            if (ours <= 0) continue;
            const double mb = double(Input(s).size()) / 1e6;
            const double lx = Best("parse/libxml2/", s), pg = Best("parse/pugixml/", s), wr = Best("write/tamsel/", s);
            std::printf("%-13s %7.2f %9.2f %8.0f", kLabels[s], mb, ours, mb / (ours / 1000));
            Column(lx, lx / ours);
            Column(pg, pg / ours);
            Column(wr, wr / ours);
            std::printf("\n");
        }
    }

private:
    double Best(const char* prefix, int shape) const
    {
        const auto it = m_best.find(std::string(prefix) + kLabels[shape]);
        return it == m_best.end() ? 0 : it->second;
    }
    static void Column(double ms, double ratio)
    {
        if (ms > 0)
            std::printf(" %9.2f %7.2f", ms, ratio);
        else
            std::printf(" %9s %7s", "-", "-");
    }

    std::map<std::string, double> m_best;
};

void Register(const char* what, void (*fn)(benchmark::State&, int))
{
    for (int s = 0; s < kShapes; ++s)
        benchmark::RegisterBenchmark((std::string(what) + kLabels[s]).c_str(), fn, s)
            ->Unit(benchmark::kMillisecond)
            ->ComputeStatistics("min",
                                [](const std::vector<double>& v) { return *std::min_element(v.begin(), v.end()); });
}

} // namespace

int main(int argc, char** argv)
{
    // A steady heap, as in a program that has run a while: what one parse
    // frees stays for the next. Otherwise the faults of pages handed back
    // and taken again between runs dominate some of the parsers' times on
    // a virtual machine, and vary from run to run.
    mallopt(M_MMAP_THRESHOLD, 32 * 1024 * 1024);
    mallopt(M_TRIM_THRESHOLD, 1024 * 1024 * 1024);
#ifdef TAMSEL_HAVE_LIBXML2
    Register("parse/libxml2/", ParseLibxml2);
#endif
#ifdef TAMSEL_HAVE_PUGIXML
    Register("parse/pugixml/", ParsePugixml);
#endif
    Register("parse/tamsel/", ParseTamsel);
    Register("write/tamsel/", WriteTamsel);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    TableReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.PrintTable();
    benchmark::Shutdown();
    return 0;
}
