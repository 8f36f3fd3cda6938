// Little-endian reading and writing of the card file and the catalogue. The reader never
// reads past its end: a read that does not fit sets a sticky failure and yields zero, so a
// sequence of reads can be checked once at the end.
#pragma once

#include <QByteArray>
#include <QByteArrayView>

#include <cstdint>

namespace bb {

class ByteReader {
public:
    ByteReader() = default;
    explicit ByteReader(QByteArrayView bytes) : data_(bytes.data()), size_(bytes.size()) {}

    bool ok() const { return ok_; }
    void fail() { ok_ = false; }
    qsizetype pos() const { return pos_; }
    qsizetype remaining() const { return size_ - pos_; }
    bool atEnd() const { return pos_ >= size_; }

    int32_t i32();
    uint32_t u32();
    uint16_t u16();
    uint8_t u8();
    double f64();
    // The next n bytes, or an empty view (and failure) when fewer remain.
    QByteArrayView bytes(qsizetype n);
    bool skip(qsizetype n) {
        bytes(n);
        return ok_;
    }
    // A zero-terminated string: the bytes before the zero byte, which is consumed. Fails
    // when no zero byte follows within the remaining bytes.
    QByteArrayView cString();
    // The bytes read since position `from`.
    QByteArrayView readSince(qsizetype from) const {
        return QByteArrayView(data_ + from, pos_ - from);
    }

private:
    bool take(qsizetype n, const char*& p);

    const char* data_ = nullptr;
    qsizetype size_ = 0;
    qsizetype pos_ = 0;
    bool ok_ = true;
};

class ByteWriter {
public:
    explicit ByteWriter(QByteArray& out) : out_(out) {}
    void i32(int32_t v);
    void u32(uint32_t v);
    void u16(uint16_t v);
    void u8(uint8_t v) { out_.append(char(v)); }
    void f64(double v);
    void bytes(QByteArrayView b) { out_.append(b); }
    void zeros(qsizetype n) { out_.append(n, '\0'); }
    // The bytes followed by one zero byte.
    void cString(QByteArrayView b) {
        out_.append(b);
        out_.append('\0');
    }
    qsizetype size() const { return out_.size(); }

private:
    QByteArray& out_;
};

// CRC-32 (ISO 3309, as in ZIP and PNG) of the bytes, continuing from `crc`.
uint32_t crc32(QByteArrayView bytes, uint32_t crc = 0);

}  // namespace bb
