// Parsing service documents into the document model and writing them back,
// beside libxml2 building its tree from the same bytes. The documents are
// generated here in the shapes the service sends: a comps.result of 5,000
// records of about 60 fields, a prop.list of 10,000 rows, and a photo answer
// holding 2 MB of Base64 text.
//
//   build/<dir>/bench/bench_xml [--benchmark_filter=...]

#include "protocol/xml/TXMLDocument.h"
#include "protocol/xml/TXMLElement.h"
#include "protocol/xml/TXMLParser.h"

#include <benchmark/benchmark.h>

#include <QBuffer>
#include <QByteArray>
#include <QObject>
#include <QRandomGenerator>
#include <QString>

#ifdef TAMSEL_HAVE_LIBXML2
#include <libxml/parser.h>
#include <libxml/tree.h>
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
            default: out += "2003-0" + QByteArray::number(rng.bounded(1, 9)) + "-1" + QByteArray::number(rng.bounded(9)); break;
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
        out += "      <prop id = \"" + QByteArray::number(r) + "\" apn = \"" + QByteArray::number(rng.bounded(100, 999))
               + "-" + QByteArray::number(rng.bounded(100, 999)) + "-" + QByteArray::number(rng.bounded(10, 99))
               + "\" owner = \"" + QByteArray(kNames[rng.bounded(5)]).replace("&", "&amp;") + "\" addr = \""
               + QByteArray::number(rng.bounded(1, 9999)) + " " + kStreets[rng.bounded(7)] + "\" city = \""
               + kCities[rng.bounded(6)] + "\" zip = \"9" + QByteArray::number(rng.bounded(1000, 9999))
               + "\" beds = \"" + QByteArray::number(rng.bounded(1, 6)) + "\" baths = \""
               + QByteArray::number(rng.bounded(1, 4)) + ".5\" sqft = \"" + QByteArray::number(rng.bounded(700, 5000))
               + "\" order = \"" + QByteArray::number(r + 1) + "\"/>\r\n";
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

const QByteArray& Input(int which)
{
    static const QByteArray docs[3] = {CompsResult(), PropList(), Photo()};
    return docs[which];
}

const char* const kLabels[] = {"comps.result", "prop.list", "photo"};

void BM_ParseTamsel(benchmark::State& state)
{
    const QByteArray& bytes = Input(int(state.range(0)));
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
    state.SetLabel(kLabels[state.range(0)]);
}

void BM_WriteTamsel(benchmark::State& state)
{
    const QByteArray& bytes = Input(int(state.range(0)));
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
    state.SetLabel(kLabels[state.range(0)]);
}

#ifdef TAMSEL_HAVE_LIBXML2
void BM_ParseLibxml2(benchmark::State& state)
{
    const QByteArray& bytes = Input(int(state.range(0)));
    for (auto _ : state) {
        xmlDocPtr doc = xmlReadMemory(bytes.constData(), int(bytes.size()), nullptr, nullptr, XML_PARSE_NONET);
        benchmark::DoNotOptimize(xmlDocGetRootElement(doc));
        xmlFreeDoc(doc);
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * bytes.size());
    state.SetLabel(kLabels[state.range(0)]);
}
BENCHMARK(BM_ParseLibxml2)->DenseRange(0, 2)->Unit(benchmark::kMillisecond);
#endif

BENCHMARK(BM_ParseTamsel)->DenseRange(0, 2)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WriteTamsel)->DenseRange(0, 2)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
