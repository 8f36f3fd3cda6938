#include "pictures/codecs/Quantize.h"

#include "pictures/codecs/CodecUtil.h"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <vector>

namespace bb {

DibImage dibTo24(const DibImage& picture) {
    if (picture.isNull()) return {};
    if (picture.bitCount() == 24) return picture;
    const int w = picture.width(), h = picture.height(), bits = picture.bitCount();
    DibImage out = newDib(w, h, 24);
    if (out.isNull()) return {};
    const auto& table = picture.colourTable();
    std::array<RgbQuad, 256> lut{};
    std::copy_n(table.begin(), std::min<size_t>(table.size(), 256), lut.begin());
    for (int y = 0; y < h; ++y) {
        const uint8_t* s = picture.rowFromTop(y);
        uint8_t* d = out.rowFromTop(y);
        for (int x = 0; x < w; ++x) {
            const RgbQuad& c = lut[codec::indexAt(s, bits, x)];
            d[3 * x] = c.blue;
            d[3 * x + 1] = c.green;
            d[3 * x + 2] = c.red;
        }
    }
    out.markModified();
    return out;
}

DibImage dib24FromQImage(const QImage& image) {
    if (image.isNull()) return {};
    const QImage rgb = image.convertToFormat(QImage::Format_RGB32);
    DibImage out = newDib(rgb.width(), rgb.height(), 24);
    if (out.isNull()) return {};
    for (int y = 0; y < rgb.height(); ++y) {
        const auto* s = reinterpret_cast<const QRgb*>(rgb.constScanLine(y));
        uint8_t* d = out.rowFromTop(y);
        for (int x = 0; x < rgb.width(); ++x) {
            d[3 * x] = uint8_t(qBlue(s[x]));
            d[3 * x + 1] = uint8_t(qGreen(s[x]));
            d[3 * x + 2] = uint8_t(qRed(s[x]));
        }
    }
    out.markModified();
    return out;
}

namespace {

// Distinct colours of a 24-bit picture when there are at most `limit`; empty otherwise.
std::vector<uint32_t> distinctColours(const DibImage& picture, int limit) {
    std::vector<uint64_t> seen(size_t(1) << 18, 0);  // one bit per 24-bit colour
    std::vector<uint32_t> colours;
    const int w = picture.width(), h = picture.height();
    uint32_t last = 0xFFFFFFFF;
    for (int y = 0; y < h; ++y) {
        const uint8_t* s = picture.rowFromTop(y);
        for (int x = 0; x < w; ++x, s += 3) {
            const uint32_t c = uint32_t(s[0]) | (uint32_t(s[1]) << 8) | (uint32_t(s[2]) << 16);
            if (c == last) continue;
            last = c;
            uint64_t& word = seen[c >> 6];
            const uint64_t bit = uint64_t(1) << (c & 63);
            if (word & bit) continue;
            word |= bit;
            if (int(colours.size()) == limit) return {};
            colours.push_back(c);
        }
    }
    return colours;
}

// Box of the 5-5-5 histogram for median cut.
struct Box {
    int lo[3], hi[3];  // inclusive cell bounds per channel (blue, green, red)
    uint64_t count = 0;
};

struct Histogram {
    std::vector<uint32_t> count;
    std::vector<uint64_t> sum[3];
    Histogram() : count(32768, 0) {
        for (auto& s : sum) s.assign(32768, 0);
    }
    static int cell(int b, int g, int r) { return (b << 10) | (g << 5) | r; }
};

void shrink(Box& box, const Histogram& hist) {
    int lo[3] = {31, 31, 31}, hi[3] = {0, 0, 0};
    uint64_t total = 0;
    for (int b = box.lo[0]; b <= box.hi[0]; ++b)
        for (int g = box.lo[1]; g <= box.hi[1]; ++g)
            for (int r = box.lo[2]; r <= box.hi[2]; ++r) {
                const uint32_t c = hist.count[size_t(Histogram::cell(b, g, r))];
                if (!c) continue;
                total += c;
                const int v[3] = {b, g, r};
                for (int k = 0; k < 3; ++k) {
                    lo[k] = std::min(lo[k], v[k]);
                    hi[k] = std::max(hi[k], v[k]);
                }
            }
    box.count = total;
    if (total)
        for (int k = 0; k < 3; ++k) box.lo[k] = lo[k], box.hi[k] = hi[k];
}

std::vector<RgbQuad> medianCut(const Histogram& hist, int maxColours) {
    std::vector<Box> boxes;
    Box all{{0, 0, 0}, {31, 31, 31}, 0};
    shrink(all, hist);
    boxes.push_back(all);
    while (int(boxes.size()) < maxColours) {
        // Split the box with the largest weighted extent along its longest channel.
        int best = -1;
        double bestScore = 0;
        for (size_t i = 0; i < boxes.size(); ++i) {
            const Box& b = boxes[i];
            const int ext = std::max({b.hi[0] - b.lo[0], b.hi[1] - b.lo[1], b.hi[2] - b.lo[2]});
            if (ext == 0) continue;
            const double score = double(ext) * double(b.count);
            if (score > bestScore) bestScore = score, best = int(i);
        }
        if (best < 0) break;
        Box box = boxes[size_t(best)];
        int axis = 0;
        for (int k = 1; k < 3; ++k)
            if (box.hi[k] - box.lo[k] > box.hi[axis] - box.lo[axis]) axis = k;
        std::vector<uint64_t> slice(32, 0);
        for (int b = box.lo[0]; b <= box.hi[0]; ++b)
            for (int g = box.lo[1]; g <= box.hi[1]; ++g)
                for (int r = box.lo[2]; r <= box.hi[2]; ++r) {
                    const int v[3] = {b, g, r};
                    slice[size_t(v[axis])] += hist.count[size_t(Histogram::cell(b, g, r))];
                }
        uint64_t acc = 0;
        int cut = box.lo[axis];
        for (int v = box.lo[axis]; v < box.hi[axis]; ++v) {
            acc += slice[size_t(v)];
            cut = v;
            if (acc * 2 >= box.count) break;
        }
        Box a = box, b = box;
        a.hi[axis] = cut;
        b.lo[axis] = cut + 1;
        shrink(a, hist);
        shrink(b, hist);
        boxes[size_t(best)] = a;
        if (b.count) boxes.push_back(b);
    }
    std::vector<RgbQuad> palette;
    for (const Box& box : boxes) {
        uint64_t s[3] = {0, 0, 0};
        uint64_t c = 0;
        for (int b = box.lo[0]; b <= box.hi[0]; ++b)
            for (int g = box.lo[1]; g <= box.hi[1]; ++g)
                for (int r = box.lo[2]; r <= box.hi[2]; ++r) {
                    const size_t i = size_t(Histogram::cell(b, g, r));
                    c += hist.count[i];
                    for (int k = 0; k < 3; ++k) s[k] += hist.sum[k][i];
                }
        if (!c) continue;
        palette.push_back({uint8_t((s[0] + c / 2) / c), uint8_t((s[1] + c / 2) / c),
                           uint8_t((s[2] + c / 2) / c), 0});
    }
    return palette;
}

// Nearest palette entry, cached per 6-6-6 cell of the colour cube.
class NearestCache {
public:
    explicit NearestCache(const std::vector<RgbQuad>& palette)
        : palette_(palette), cache_(size_t(1) << 18, -1) {}
    uint8_t find(int b, int g, int r) {
        int16_t& slot = cache_[size_t(((b >> 2) << 12) | ((g >> 2) << 6) | (r >> 2))];
        if (slot < 0) slot = int16_t(search((b & ~3) + 2, (g & ~3) + 2, (r & ~3) + 2));
        return uint8_t(slot);
    }

private:
    int search(int b, int g, int r) const {
        int best = 0, bestDist = 1 << 30;
        for (size_t i = 0; i < palette_.size(); ++i) {
            const RgbQuad& c = palette_[i];
            const int db = c.blue - b, dg = c.green - g, dr = c.red - r;
            const int d = db * db + dg * dg + dr * dr;
            if (d < bestDist) bestDist = d, best = int(i);
        }
        return best;
    }
    const std::vector<RgbQuad>& palette_;
    std::vector<int16_t> cache_;
};

// A palette picture of up to 8 bits as one byte per pixel with the same table.
DibImage widenIndices(const DibImage& picture) {
    const int w = picture.width(), h = picture.height();
    const auto& table = picture.colourTable();
    DibImage out = newDib(w, h, 8, table.data(), int(table.size()));
    if (out.isNull()) return {};
    for (int y = 0; y < h; ++y)
        codec::expandIndices(picture.rowFromTop(y), picture.bitCount(), w, out.rowFromTop(y));
    out.markModified();
    return out;
}

// A true-colour picture of few colours, each kept exactly: the table in sorted order.
DibImage exactPalette(const DibImage& picture, const std::vector<uint32_t>& exact) {
    const int w = picture.width(), h = picture.height();
    std::vector<uint32_t> sorted = exact;
    std::sort(sorted.begin(), sorted.end());
    std::vector<RgbQuad> table(256);
    for (size_t i = 0; i < sorted.size(); ++i)
        table[i] = {uint8_t(sorted[i]), uint8_t(sorted[i] >> 8), uint8_t(sorted[i] >> 16), 0};
    DibImage out = newDib(w, h, 8, table.data(), 256);
    if (out.isNull()) return {};
    uint32_t lastColour = 0xFFFFFFFF;
    uint8_t lastIndex = 0;
    for (int y = 0; y < h; ++y) {
        const uint8_t* s = picture.rowFromTop(y);
        uint8_t* d = out.rowFromTop(y);
        for (int x = 0; x < w; ++x, s += 3) {
            const uint32_t c = uint32_t(s[0]) | (uint32_t(s[1]) << 8) | (uint32_t(s[2]) << 16);
            if (c != lastColour) {
                lastColour = c;
                lastIndex =
                    uint8_t(std::lower_bound(sorted.begin(), sorted.end(), c) - sorted.begin());
            }
            d[x] = lastIndex;
        }
    }
    out.markModified();
    return out;
}

void countColours(const DibImage& picture, Histogram& hist) {
    const int w = picture.width(), h = picture.height();
    for (int y = 0; y < h; ++y) {
        const uint8_t* s = picture.rowFromTop(y);
        for (int x = 0; x < w; ++x, s += 3) {
            const size_t i = size_t(Histogram::cell(s[0] >> 3, s[1] >> 3, s[2] >> 3));
            ++hist.count[i];
            hist.sum[0][i] += s[0];
            hist.sum[1][i] += s[1];
            hist.sum[2][i] += s[2];
        }
    }
}

// Floyd-Steinberg: errors in 1/16 units, two rows with one guard column each side.
void ditherInto(const DibImage& picture, DibImage& out, const std::vector<RgbQuad>& palette,
                NearestCache& nearest) {
    const int w = picture.width(), h = picture.height();
    std::vector<int> cur(size_t(w + 2) * 3, 0), next(size_t(w + 2) * 3, 0);
    for (int y = 0; y < h; ++y) {
        const uint8_t* s = picture.rowFromTop(y);
        uint8_t* d = out.rowFromTop(y);
        std::fill(next.begin(), next.end(), 0);
        for (int x = 0; x < w; ++x) {
            int want[3];
            for (int k = 0; k < 3; ++k)
                want[k] = std::clamp(s[3 * x + k] + cur[size_t(x + 1) * 3 + k] / 16, 0, 255);
            const uint8_t idx = nearest.find(want[0], want[1], want[2]);
            d[x] = idx;
            const RgbQuad& got = palette[idx];
            const int err[3] = {want[0] - got.blue, want[1] - got.green, want[2] - got.red};
            for (int k = 0; k < 3; ++k) {
                cur[size_t(x + 2) * 3 + k] += err[k] * 7;
                next[size_t(x) * 3 + k] += err[k] * 3;
                next[size_t(x + 1) * 3 + k] += err[k] * 5;
                next[size_t(x + 2) * 3 + k] += err[k];
            }
        }
        std::swap(cur, next);
    }
}

}  // namespace

DibImage reduceTo8(const DibImage& picture, int maxColours, bool dither) {
    if (picture.isNull()) return {};
    maxColours = std::clamp(maxColours, 2, 256);
    if (picture.bitCount() <= 8) return widenIndices(picture);
    const std::vector<uint32_t> exact = distinctColours(picture, maxColours);
    if (!exact.empty()) return exactPalette(picture, exact);

    Histogram hist;
    countColours(picture, hist);
    std::vector<RgbQuad> palette = medianCut(hist, maxColours);
    std::vector<RgbQuad> table(256);
    std::copy(palette.begin(), palette.end(), table.begin());
    const int w = picture.width(), h = picture.height();
    DibImage out = newDib(w, h, 8, table.data(), 256);
    if (out.isNull()) return {};
    NearestCache nearest(palette);
    if (dither) {
        ditherInto(picture, out, palette, nearest);
    } else {
        for (int y = 0; y < h; ++y) {
            const uint8_t* s = picture.rowFromTop(y);
            uint8_t* d = out.rowFromTop(y);
            for (int x = 0; x < w; ++x, s += 3) d[x] = nearest.find(s[0], s[1], s[2]);
        }
    }
    out.markModified();
    return out;
}

}  // namespace bb
