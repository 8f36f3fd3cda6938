#include "pictures/codecs/Gif.h"

#include "pictures/codecs/CodecUtil.h"
#include "pictures/codecs/Quantize.h"

#include <gif_lib.h>

#include <algorithm>
#include <vector>

namespace bb {

namespace {

int appendOutput(GifFileType* gif, const GifByteType* data, int length) {
    static_cast<QByteArray*>(gif->UserData)->append(reinterpret_cast<const char*>(data), length);
    return length;
}

}  // namespace

bool writeGif(const DibImage& picture, QByteArray& out) {
    if (picture.isNull()) return false;
    const int w = picture.width(), h = picture.height();
    if (w > 65535 || h > 65535) return false;
    const DibImage indexed = picture.bitCount() == 24 ? reduceTo8(picture, 256, true) : picture;
    if (indexed.isNull()) return false;
    const int bits = indexed.bitCount();
    const auto& table = indexed.colourTable();

    // The smallest power of two that holds every index used.
    int used = 1;
    std::vector<uint8_t> line(static_cast<size_t>(w));
    for (int y = 0; y < h; ++y) {
        codec::expandIndices(indexed.rowFromTop(y), bits, w, line.data());
        for (int x = 0; x < w; ++x) used = std::max(used, int(line[size_t(x)]) + 1);
    }
    int mapBits = 1;
    while ((1 << mapBits) < used) ++mapBits;
    std::vector<GifColorType> colours(size_t(1) << mapBits);
    for (size_t i = 0; i < colours.size() && i < table.size(); ++i)
        colours[i] = {table[i].red, table[i].green, table[i].blue};

    out.clear();
    int error = 0;
    GifFileType* gif = EGifOpen(&out, appendOutput, &error);
    if (!gif) return false;
    ColorMapObject* map = GifMakeMapObject(int(colours.size()), colours.data());
    bool ok = map && EGifPutScreenDesc(gif, w, h, mapBits, 0, map) == GIF_OK &&
              EGifPutImageDesc(gif, 0, 0, w, h, false, nullptr) == GIF_OK;
    for (int y = 0; ok && y < h; ++y) {
        codec::expandIndices(indexed.rowFromTop(y), bits, w, line.data());
        ok = EGifPutLine(gif, line.data(), w) == GIF_OK;
    }
    GifFreeMapObject(map);
    if (EGifCloseFile(gif, &error) != GIF_OK) ok = false;
    return ok;
}

}  // namespace bb
