// Encoding and decoding speed of every writer and of our own readers on a photo-like
// 24-bit picture of 2000 x 1500 (3 megapixels), and the quantiser on its own.
#include "pictures/DibImage.h"
#include "pictures/ImageCodec.h"
#include "pictures/PictureFile.h"
#include "pictures/PictureFormat.h"
#include "pictures/codecs/Quantize.h"

#include <benchmark/benchmark.h>

#include <QTemporaryDir>

#include <cmath>

namespace {

const bb::DibImage& photo() {
    static const bb::DibImage pic = [] {
        const int w = 2000, h = 1500;
        bb::DibImage p = bb::newDib(w, h, 24);
        for (int y = 0; y < h; ++y) {
            uint8_t* row = p.rowFromTop(y);
            for (int x = 0; x < w; ++x) {
                // Smooth shapes with a little texture, like a photograph.
                const double v = std::sin(x * 0.004) * std::cos(y * 0.006);
                row[3 * x] = uint8_t(128 + 100 * v + ((x * 7 + y * 13) % 9));
                row[3 * x + 1] = uint8_t(128 + 90 * std::sin((x + y) * 0.003) + ((x ^ y) % 5));
                row[3 * x + 2] = uint8_t(128 + 110 * std::cos(x * 0.002 - y * 0.005));
            }
        }
        p.markModified();
        return p;
    }();
    return pic;
}

void encode(benchmark::State& state, int type) {
    const bb::PictureFormat* format = bb::pictureFormatForType(type);
    QByteArray out;
    for (auto _ : state) {
        format->write(photo(), {}, out);
        benchmark::DoNotOptimize(out.data());
    }
    state.counters["bytes"] = double(out.size());
    state.SetItemsProcessed(state.iterations() * photo().width() * photo().height());
}

void decode(benchmark::State& state, int type, const char* readerName) {
    QByteArray file;
    bb::pictureFormatForType(type)->write(photo(), {}, file);
    const bb::DibReader* reader = nullptr;
    for (const bb::DibReader& r : bb::dibReaders())
        if (QLatin1String(r.name) == QLatin1String(readerName)) reader = &r;
    for (auto _ : state) {
        bb::DibImage pic = reader->read(file);
        benchmark::DoNotOptimize(pic.bits());
    }
    state.SetItemsProcessed(state.iterations() * photo().width() * photo().height());
}

// A 12-megapixel JPEG photo (4000 x 3000) in a temporary folder.
const QString& phonePhoto() {
    static QTemporaryDir dir;
    static const QString file = [] {
        const QString path = dir.filePath(QStringLiteral("foto.jpg"));
        const int w = 4000, h = 3000;
        bb::DibImage p = bb::newDib(w, h, 24);
        for (int y = 0; y < h; ++y) {
            uint8_t* row = p.rowFromTop(y);
            for (int x = 0; x < w; ++x) {
                const double v = std::sin(x * 0.002) * std::cos(y * 0.003);
                row[3 * x] = uint8_t(128 + 100 * v + ((x * 7 + y * 13) % 9));
                row[3 * x + 1] = uint8_t(128 + 90 * std::sin((x + y) * 0.0015) + ((x ^ y) % 5));
                row[3 * x + 2] = uint8_t(128 + 110 * std::cos(x * 0.001 - y * 0.0025));
            }
        }
        bb::savePictureFile(p, path, bb::DibJPG);
        return path;
    }();
    return file;
}

// The whole photo as loading it decodes it, against decoding straight at a reduced size
// (range: the divisor of the sides; 0 for a size of no power of two, 378 x 284).
void phoneDecode(benchmark::State& state) {
    const QString& file = phonePhoto();  // written before the timing
    const int divisor = int(state.range(0));
    const QSize size = divisor == 0 ? QSize(378, 284) : QSize(4000 / divisor, 3000 / divisor);
    for (auto _ : state) {
        bb::DibImage pic =
            divisor == 1 ? bb::loadPictureFile(file) : bb::loadPictureFileAtSize(file, size);
        benchmark::DoNotOptimize(pic.bits());
    }
}

void quantise(benchmark::State& state) {
    for (auto _ : state) {
        bb::DibImage pic = bb::reduceTo8(photo(), 256, state.range(0) != 0);
        benchmark::DoNotOptimize(pic.bits());
    }
    state.SetItemsProcessed(state.iterations() * photo().width() * photo().height());
}

}  // namespace

BENCHMARK_CAPTURE(encode, PCX, bb::DibPCX)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(encode, TGA, bb::DibTGA)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(encode, ILBM, bb::DibIFF)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(encode, RLE, bb::DibRLE)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(encode, GIF, bb::DibGIF)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(encode, JPG, bb::DibJPG)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(encode, TIF, bb::DibTIF)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(encode, PNG, bb::DibPNG)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(decode, PCX, bb::DibPCX, "PCX")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(decode, TGA, bb::DibTGA, "TGA")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(decode, ILBM, bb::DibIFF, "ILBM")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(decode, RLE, bb::DibRLE, "BMP")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(decode, GIF, bb::DibGIF, "GIF")->Unit(benchmark::kMillisecond);
BENCHMARK(phoneDecode)->Arg(1)->Arg(2)->Arg(4)->Arg(8)->Arg(0)->Unit(benchmark::kMillisecond);
BENCHMARK(quantise)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
