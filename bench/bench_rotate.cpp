// turnPictureRight of a 6000 x 4000 24-bit picture against memcpy of the same number of bytes.
// BM_TurnRightVsMemcpy times both in every iteration and reports their ratio.
#include "pictures/DibImage.h"
#include "pictures/PictureOps.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstring>
#include <vector>

namespace {

constexpr int kWidth = 6000, kHeight = 4000;

bb::DibImage makePicture() {
    bb::DibImage picture = bb::newDib(kWidth, kHeight, 24);
    uint8_t* bits = picture.bits();
    for (qint64 i = 0; i < picture.byteCount(); ++i) bits[i] = uint8_t(i * 131 + (i >> 9));
    return picture;
}

using Clock = std::chrono::steady_clock;
double secondsSince(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

// Every iteration turns the same 6000 x 4000 picture: the turn replaces the holder's copy
// and leaves the original shared pixels alone. The turned copy is released at the end of
// the iteration, as the old picture is in real use.
void BM_TurnRight(benchmark::State& state) {
    const bb::DibImage picture = makePicture();
    for (auto _ : state) {
        bb::DibImage turned = picture;
        bb::turnPictureRight(turned);
        benchmark::DoNotOptimize(turned.bits());
    }
    state.SetBytesProcessed(state.iterations() * picture.byteCount());
}
BENCHMARK(BM_TurnRight)->Unit(benchmark::kMillisecond);

void BM_TurnLeft(benchmark::State& state) {
    const bb::DibImage picture = makePicture();
    for (auto _ : state) {
        bb::DibImage turned = picture;
        bb::turnPictureLeft(turned);
        benchmark::DoNotOptimize(turned.bits());
    }
    state.SetBytesProcessed(state.iterations() * picture.byteCount());
}
BENCHMARK(BM_TurnLeft)->Unit(benchmark::kMillisecond);

// The other orientation (4000 x 6000 into 6000 x 4000), for comparison.
void BM_TurnRightPortrait(benchmark::State& state) {
    bb::DibImage picture = makePicture();
    bb::turnPictureRight(picture);
    for (auto _ : state) {
        bb::DibImage turned = picture;
        bb::turnPictureRight(turned);
        benchmark::DoNotOptimize(turned.bits());
    }
    state.SetBytesProcessed(state.iterations() * picture.byteCount());
}
BENCHMARK(BM_TurnRightPortrait)->Unit(benchmark::kMillisecond);

void BM_Memcpy(benchmark::State& state) {
    const bb::DibImage picture = makePicture();
    std::vector<uint8_t> target(size_t(picture.byteCount()), 1);
    for (auto _ : state) {
        std::memcpy(target.data(), picture.bits(), target.size());
        benchmark::DoNotOptimize(target.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(state.iterations() * picture.byteCount());
}
BENCHMARK(BM_Memcpy)->Unit(benchmark::kMillisecond);

// The part of a turn that is not pixel work: a fresh picture of the turned size whose pages
// the system maps and zeroes on first touch.
void BM_NewdibFirstTouch(benchmark::State& state) {
    for (auto _ : state) {
        bb::DibImage turned = bb::newDib(kHeight, kWidth, 24);
        uint8_t* bits = turned.bits();
        for (qint64 i = 0; i < turned.byteCount(); i += 4096) bits[i] = 1;
        benchmark::DoNotOptimize(bits);
    }
}
BENCHMARK(BM_NewdibFirstTouch)->Unit(benchmark::kMillisecond);

// Both in one loop, so that they see the same machine state; the ratio is the figure of
// merit (goal: at most 4).
void BM_TurnRightVsMemcpy(benchmark::State& state) {
    const bb::DibImage picture = makePicture();
    std::vector<uint8_t> target(size_t(picture.byteCount()), 1);
    double rotSeconds = 0, copySeconds = 0;
    for (auto _ : state) {
        auto start = Clock::now();
        {
            bb::DibImage turned = picture;
            bb::turnPictureRight(turned);
            benchmark::DoNotOptimize(turned.bits());
        }
        rotSeconds += secondsSince(start);
        start = Clock::now();
        std::memcpy(target.data(), picture.bits(), target.size());
        benchmark::DoNotOptimize(target.data());
        benchmark::ClobberMemory();
        copySeconds += secondsSince(start);
    }
    const double n = double(state.iterations());
    state.counters["rot_ms"] = rotSeconds / n * 1e3;
    state.counters["memcpy_ms"] = copySeconds / n * 1e3;
    state.counters["ratio"] = copySeconds > 0 ? rotSeconds / copySeconds : 0;
}
BENCHMARK(BM_TurnRightVsMemcpy)->Unit(benchmark::kMillisecond)->MinTime(2.0);

}  // namespace
