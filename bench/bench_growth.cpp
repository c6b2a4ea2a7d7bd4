// Parsing cost against document size where lists of names grow: attributes
// of one element, entity and element declarations, ID attributes (the last
// two validated). Each shape runs at n and 4n: linear work takes about 4
// times as long at 4n, quadratic work 16 times. The attributes stay below
// the cap of an element's attributes (10,000).
//
//   build/<dir>/bench/bench_growth [--benchmark_filter=...]

#include "protocol/xml/TXMLDocument.h"
#include "protocol/xml/TXMLParser.h"

#include <benchmark/benchmark.h>

#include <QBuffer>
#include <QByteArray>

#include <malloc.h>

namespace {

QByteArray Attributes(int n)
{
    QByteArray b = "<?xml version=\"1.0\"?><vxp><message version=\"1.0\"";
    for (int i = 0; i < n; ++i) b += " a" + QByteArray::number(i) + "=\"v\"";
    return b + ">text</message></vxp>";
}

QByteArray EntityDeclarations(int n)
{
    QByteArray b = "<?xml version=\"1.0\"?><!DOCTYPE r [\n";
    for (int i = 0; i < n; ++i) b += "<!ENTITY e" + QByteArray::number(i) + " \"v\">\n";
    return b + "]><r>&e0;</r>";
}

QByteArray ElementDeclarations(int n)
{
    QByteArray b = "<?xml version=\"1.0\"?><!DOCTYPE r [\n<!ELEMENT r ANY>\n";
    for (int i = 0; i < n; ++i) b += "<!ELEMENT e" + QByteArray::number(i) + " EMPTY>\n";
    return b + "]><r/>";
}

QByteArray Ids(int n)
{
    QByteArray b = "<?xml version=\"1.0\"?><!DOCTYPE r [\n<!ELEMENT r (e*)>\n<!ELEMENT e EMPTY>\n"
                   "<!ATTLIST e id ID #REQUIRED>\n]><r>";
    for (int i = 0; i < n; ++i) b += "<e id=\"i" + QByteArray::number(i) + "\"/>";
    return b + "</r>";
}

void Run(benchmark::State& state, QByteArray (*make)(int), bool validate)
{
    QByteArray bytes = make(int(state.range(0)));
    TXMLParser parser;
    parser.ValidateDocument = validate;
    for (auto _ : state) {
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::ReadOnly);
        TXMLDocument* doc = nullptr;
        benchmark::DoNotOptimize(parser.LoadFromStream(&buffer, doc));
        delete doc;
    }
    state.SetComplexityN(state.range(0));
}

void BM_Attributes(benchmark::State& state) { Run(state, Attributes, false); }
void BM_EntityDeclarations(benchmark::State& state) { Run(state, EntityDeclarations, false); }
void BM_ElementDeclarationsValidated(benchmark::State& state) { Run(state, ElementDeclarations, true); }
void BM_IdsValidated(benchmark::State& state) { Run(state, Ids, true); }

BENCHMARK(BM_Attributes)->Arg(2000)->Arg(8000)->Unit(benchmark::kMillisecond)->Complexity();
BENCHMARK(BM_EntityDeclarations)->Arg(12500)->Arg(50000)->Unit(benchmark::kMillisecond)->Complexity();
BENCHMARK(BM_ElementDeclarationsValidated)->Arg(12500)->Arg(50000)->Unit(benchmark::kMillisecond)->Complexity();
BENCHMARK(BM_IdsValidated)->Arg(12500)->Arg(50000)->Unit(benchmark::kMillisecond)->Complexity();

} // namespace

int main(int argc, char** argv)
{
    // A steady heap, as in bench_xml: the faults and bin walks of memory
    // handed back between runs would otherwise blur the growth.
    mallopt(M_MMAP_THRESHOLD, 32 * 1024 * 1024);
    mallopt(M_TRIM_THRESHOLD, 1024 * 1024 * 1024);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
