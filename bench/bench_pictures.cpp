// Pictures from the server that declare far more pixels than they carry: a
// 60-byte run-length bitmap of 4 x 3,145,728 pixels (the login logo), a
// personal page whose photo and logo are each a 60-byte run-length bitmap
// of 5,790 x 5,790 (loaded and saved again),
// and JPEGs of a few hundred bytes declaring 8,192 x 8,192 (an HTML picture)
// and 5,000 x 5,000 (a report photo). Run one case at a
// time under /usr/bin/time -v for its peak memory:
//
//   build/<dir>/bench/bench_pictures --benchmark_filter=BM_JpegBomb

#include "controls/HTMLPicture.h"
#include "platform/graphics/EInvalidGraphic.h"
#include "protocol/StreamCodecs.h"
#include "protocol/TvxpPersonalInfo.h"
#include "tests/support/PictureBombs.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {

QString Base64(const QByteArray& bytes) { return QString::fromLatin1(bytes.toBase64()); }

// Decodes and reports the size that came out (0 x 0 when refused).
template <typename Decode>
void DecodeCase(benchmark::State& state, const QString& text, Decode decode)
{
    QImage image;
    for (auto _ : state) {
        image = QImage();
        try {
            decode(text, image);
        } catch (const EInvalidGraphic&) { }
        benchmark::DoNotOptimize(image);
    }
    state.counters["width"] = image.width();
    state.counters["height"] = image.height();
    state.counters["input bytes"] = double(QByteArray::fromBase64(text.toLatin1()).size());
}

void BM_BitmapBomb(benchmark::State& state)
{
    DecodeCase(state, Base64(picturebombs::BitmapDeclaring(4, 3145728, 8, 1, QByteArray("\0\1", 2))),
               [](const QString& t, QImage& i) { TvxpDocument::DecodeBitmap(t, i); });
}

// Through the picture container (HTML pictures), and as a report photo.
void BM_JpegBomb(benchmark::State& state)
{
    DecodeCase(state, Base64(picturebombs::JpegDeclaring(8192, 8192)), [](const QString& t, QImage& i) {
        THTMLPicture picture;
        QBuffer b;
        b.setData(QByteArray::fromBase64(t.toLatin1()));
        b.open(QIODevice::ReadOnly);
        try {
            picture.LoadFromStream(b);
        } catch (const Exception&) { }
        i = picture.Image();
    });
}

void BM_JpegBombPhoto(benchmark::State& state)
{
    DecodeCase(state, Base64(picturebombs::JpegDeclaring(5000, 5000)),
               [](const QString& t, QImage& i) { TvxpDocument::DecodeJpeg(t, i); });
}

void BM_PersonalPageBomb(benchmark::State& state)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("myinfo.xml"));
    const QString picture = Base64(picturebombs::BitmapDeclaring(5790, 5790, 8, 1, QByteArray("\0\1", 2)));
    const QByteArray file = "<?xml version=\"1.0\"?><vxp><personel.info version=\"1.0\"><name_info first=\"A\"/>"
                            "<providers/><photo>" +
        picture.toLatin1() + "</photo><logo>" + picture.toLatin1() + "</logo></personel.info></vxp>";
    qint64 saved = 0;
    for (auto _ : state) {
        QFile f(path);
        f.open(QIODevice::WriteOnly | QIODevice::Truncate);
        f.write(file);
        f.close();
        TvxpPersonalInfo info;
        info.SetFileName(path);
        info.Load();
        info.SetFirstName(QStringLiteral("B"));
        info.Save();
        saved = QFileInfo(path).size();
    }
    state.counters["input bytes"] = double(file.size());
    state.counters["saved bytes"] = double(saved);
}

BENCHMARK(BM_BitmapBomb)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_JpegBomb)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_JpegBombPhoto)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PersonalPageBomb)->Iterations(1)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
