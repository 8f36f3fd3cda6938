#include "pictures/codecs/Gif.h"

#include "pictures/codecs/CodecUtil.h"
#include "pictures/codecs/Quantize.h"

#include <gif_lib.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <vector>

namespace bb {

namespace {

int appendOutput(GifFileType* gif, const GifByteType* data, int length) {
    static_cast<QByteArray*>(gif->UserData)->append(reinterpret_cast<const char*>(data), length);
    return length;
}

struct Input {
    const uint8_t* data;
    qint64 size;
    qint64 pos;
};

int readInput(GifFileType* gif, GifByteType* buffer, int length) {
    auto* in = static_cast<Input*>(gif->UserData);
    const int n = int(std::min<qint64>(length, in->size - in->pos));
    if (n <= 0) return 0;
    std::memcpy(buffer, in->data + in->pos, size_t(n));
    in->pos += n;
    return n;
}

struct GifCloser {
    void operator()(GifFileType* gif) const {
        int error = 0;
        DGifCloseFile(gif, &error);
    }
};

// Skips the rest of an extension or of an image's data blocks.
bool skipExtension(GifFileType* gif) {
    GifByteType* block = nullptr;
    do {
        if (DGifGetExtensionNext(gif, &block) != GIF_OK) return false;
    } while (block);
    return true;
}

bool skipImageData(GifFileType* gif) {
    int codeSize = 0;
    GifByteType* block = nullptr;
    if (DGifGetCode(gif, &codeSize, &block) != GIF_OK) return false;
    while (block)
        if (DGifGetCodeNext(gif, &block) != GIF_OK) return false;
    return true;
}

// LZW codes are at least 2 bits and stand for at most 4096 pixels: a screen or image larger
// than `bytes` could describe is refused before anything is allocated.
qint64 lzwBound(qint64 bytes) {
    return bytes * 8 / 2 * 4096;
}

// What reading one record of the file means for the rest.
enum class Step { Next, Stop, Refuse };

// Reads the records of one GIF file into one picture: a frame that is one full-screen image
// without transparency stays a palette picture (`indexed`); anything else is composed in true
// colour on a white `canvas`.
class GifReader {
public:
    GifReader(GifFileType* gif, const Input& in) : gif_(gif), in_(in) {
        sw_ = gif->SWidth;
        sh_ = gif->SHeight;
    }
    int width() const { return sw_; }
    int height() const { return sh_; }

    DibImage read() {
        for (;;) {
            GifRecordType type = UNDEFINED_RECORD_TYPE;
            if (DGifGetRecordType(gif_, &type) != GIF_OK) break;  // cut short: keep what we have
            if (type == TERMINATE_RECORD_TYPE) break;
            Step step = Step::Stop;
            if (type == EXTENSION_RECORD_TYPE)
                step = extension();
            else if (type == IMAGE_DESC_RECORD_TYPE)
                step = image();
            if (step == Step::Refuse) return {};
            if (step == Step::Stop) break;
        }
        return result();
    }

private:
    bool trueColour() {
        if (!canvas_.isNull()) return true;
        if (!indexed_.isNull()) {
            canvas_ = dibTo24(indexed_);
            indexed_ = DibImage();
            return !canvas_.isNull();
        }
        canvas_ = newDib(sw_, sh_, 24);
        if (canvas_.isNull()) return false;
        for (int y = 0; y < sh_; ++y) std::memset(canvas_.rowFromTop(y), 0xFF, size_t(sw_) * 3);
        return true;
    }

    DibImage result() {
        if (!indexed_.isNull()) return indexed_;
        if (canvas_.isNull() && !trueColour()) return {};
        canvas_.markModified();
        return canvas_;
    }

    Step extension() {
        int code = 0;
        GifByteType* ext = nullptr;
        if (DGifGetExtension(gif_, &code, &ext) != GIF_OK) return Step::Stop;
        if (code == GRAPHICS_EXT_FUNC_CODE) {
            controlled_ = true;
            transparent_ = (ext && ext[0] >= 4 && (ext[1] & 1)) ? ext[4] : -1;
        } else if (code == PLAINTEXT_EXT_FUNC_CODE && !drawn_) {
            return Step::Refuse;  // text we cannot render as the first thing to show
        }
        if (ext && !skipExtension(gif_)) return Step::Stop;
        return Step::Next;
    }

    Step image() {
        if (DGifGetImageDesc(gif_) != GIF_OK) return drawn_ ? Step::Stop : Step::Refuse;
        const GifImageDesc& desc = gif_->Image;
        const ColorMapObject* map = desc.ColorMap ? desc.ColorMap : gif_->SColorMap;
        const qint64 w = desc.Width, h = desc.Height;
        if (w == 0 || h == 0)  // an empty image draws nothing
            return skipImageData(gif_) ? Step::Next : Step::Stop;
        if (!map || map->ColorCount > 256 || w > 65535 || h > 65535 ||
            w * h > lzwBound(in_.size - in_.pos))
            return Step::Refuse;
        const bool asIndexed =
            !drawn_ && transparent_ < 0 && desc.Left == 0 && desc.Top == 0 && w == sw_ && h == sh_;
        if (asIndexed) {
            std::vector<RgbQuad> table(256);
            for (int k = 0; k < map->ColorCount; ++k)
                table[size_t(k)] = {map->Colors[k].Blue, map->Colors[k].Green, map->Colors[k].Red,
                                    0};
            indexed_ = newDib(sw_, sh_, 8, table.data(), 256);
            if (indexed_.isNull()) return Step::Refuse;
        } else if (!trueColour()) {
            return Step::Refuse;
        }
        if (const Step rows = imageRows(desc, *map, asIndexed); rows != Step::Next) return rows;
        drawn_ = true;
        return controlled_ ? Step::Stop : Step::Next;  // a control block completes the frame
    }

    // The rows of the image just described, into the palette picture or onto the canvas.
    Step imageRows(const GifImageDesc& desc, const ColorMapObject& map, bool asIndexed) {
        const qint64 w = desc.Width, h = desc.Height;
        line_.resize(size_t(w));
        static const int passStart[4] = {0, 4, 2, 1}, passStep[4] = {8, 8, 4, 2};
        int pass = 0, row = 0;
        for (qint64 i = 0; i < h; ++i) {
            int y = int(i);
            if (desc.Interlace) {
                while (row >= h && pass < 3) row = passStart[++pass];
                y = row;
                row += passStep[pass];
            }
            if (DGifGetLine(gif_, line_.data(), int(w)) != GIF_OK) {
                // Pixels missing at the end are left as they are; broken codes fail.
                if (gif_->Error == D_GIF_ERR_EOF_TOO_SOON || gif_->Error == D_GIF_ERR_READ_FAILED)
                    return Step::Stop;
                return Step::Refuse;
            }
            int highest = 0;
            for (qint64 x = 0; x < w; ++x) highest = std::max<int>(highest, line_[size_t(x)]);
            if (highest >= map.ColorCount) return Step::Refuse;  // colour outside the table
            const int cy = desc.Top + y;
            if (cy < 0 || cy >= sh_) continue;
            if (asIndexed)
                std::memcpy(indexed_.rowFromTop(cy), line_.data(), size_t(w));
            else
                drawRow(cy, desc.Left, map);
        }
        return Step::Next;
    }

    // One row of an image onto the canvas, leaving its transparent pixels out.
    void drawRow(int cy, int left, const ColorMapObject& map) {
        uint8_t* d = canvas_.rowFromTop(cy);
        const qint64 w = qint64(line_.size());
        const qint64 visible = std::min<qint64>(w, sw_ - qint64(left));
        for (qint64 x = 0; x < visible; ++x) {
            const int v = line_[size_t(x)];
            if (v == transparent_) continue;
            const GifColorType& c = map.Colors[v];
            const qint64 cx = left + x;
            d[3 * cx] = c.Blue;
            d[3 * cx + 1] = c.Green;
            d[3 * cx + 2] = c.Red;
        }
    }

    GifFileType* gif_;
    const Input& in_;
    int sw_ = 0, sh_ = 0;
    DibImage indexed_, canvas_;
    bool drawn_ = false;
    bool controlled_ = false;  // the next image has a Graphic Control Extension
    int transparent_ = -1;
    std::vector<GifPixelType> line_;
};

}  // namespace

bool acceptsGif(const QByteArray& head, const QString& suffix) {
    Q_UNUSED(suffix);
    return head.startsWith("GIF87a") || head.startsWith("GIF89a");
}

DibImage readGif(const QByteArray& data) {
    Input in{codec::bytes(data), data.size(), 0};
    int error = 0;
    std::unique_ptr<GifFileType, GifCloser> gif(DGifOpen(&in, readInput, &error));
    if (!gif) return {};
    GifReader reader(gif.get(), in);
    const int sw = reader.width(), sh = reader.height();
    if (!dibSizeAllowed(sw, sh, 24)) return {};
    if (qint64(sw) * sh > lzwBound(data.size())) return {};
    return reader.read();
}

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
