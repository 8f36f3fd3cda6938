#include "document/ByteIO.h"

#include <QtEndian>

#include <array>
#include <cstring>

namespace bb {

namespace {

constexpr std::array<uint32_t, 256> makeCrcTable() {
    std::array<uint32_t, 256> table{};
    for (uint32_t n = 0; n < 256; ++n) {
        uint32_t c = n;
        for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
        table[n] = c;
    }
    return table;
}

constexpr std::array<uint32_t, 256> kCrcTable = makeCrcTable();

}  // namespace

uint32_t crc32(QByteArrayView bytes, uint32_t crc) {
    crc = ~crc;
    for (const char b : bytes) crc = kCrcTable[(crc ^ uint8_t(b)) & 0xFF] ^ (crc >> 8);
    return ~crc;
}

bool ByteReader::take(qsizetype n, const char*& p) {
    if (!ok_ || n < 0 || n > size_ - pos_) {
        ok_ = false;
        return false;
    }
    p = data_ + pos_;
    pos_ += n;
    return true;
}

int32_t ByteReader::i32() {
    return static_cast<int32_t>(u32());
}

uint32_t ByteReader::u32() {
    const char* p = nullptr;
    return take(4, p) ? qFromLittleEndian<uint32_t>(p) : 0;
}

uint16_t ByteReader::u16() {
    const char* p = nullptr;
    return take(2, p) ? qFromLittleEndian<uint16_t>(p) : 0;
}

uint8_t ByteReader::u8() {
    const char* p = nullptr;
    return take(1, p) ? static_cast<uint8_t>(*p) : 0;
}

double ByteReader::f64() {
    const char* p = nullptr;
    if (!take(8, p)) return 0.0;
    const uint64_t bits = qFromLittleEndian<uint64_t>(p);
    double v;
    std::memcpy(&v, &bits, sizeof v);
    return v;
}

QByteArrayView ByteReader::bytes(qsizetype n) {
    const char* p = nullptr;
    if (!take(n, p)) return {};
    return QByteArrayView(p, n);
}

QByteArrayView ByteReader::cString() {
    if (!ok_ || pos_ >= size_) {
        ok_ = false;
        return {};
    }
    const void* zero = std::memchr(data_ + pos_, 0, size_t(size_ - pos_));
    if (!zero) {
        ok_ = false;
        return {};
    }
    const qsizetype len = static_cast<const char*>(zero) - (data_ + pos_);
    QByteArrayView s(data_ + pos_, len);
    pos_ += len + 1;
    return s;
}

void ByteWriter::i32(int32_t v) {
    u32(static_cast<uint32_t>(v));
}

void ByteWriter::u32(uint32_t v) {
    char b[4];
    qToLittleEndian(v, b);
    out_.append(b, 4);
}

void ByteWriter::u16(uint16_t v) {
    char b[2];
    qToLittleEndian(v, b);
    out_.append(b, 2);
}

void ByteWriter::f64(double v) {
    uint64_t bits;
    std::memcpy(&bits, &v, sizeof bits);
    char b[8];
    qToLittleEndian(bits, b);
    out_.append(b, 8);
}

}  // namespace bb
