#!/usr/bin/env python3
"""Writes seeds for the card harness that carry an extension area: for every 1.0 card given,
one copy with an extension whose object chunks match the card's records (so that the exact
values are applied) and one whose checks do not (so that the 1.0 values win), plus one
extension on its own. Usage: fuzz/make_extension_seeds.py OUT_DIR CARD.kar..."""
import hashlib
import os
import struct
import sys
import zlib

MAGIC = b"BBEXTEND"


def cstring(b, at):
    end = b.index(b"\0", at)
    return end + 1


def records(b):
    """(side, slot, record bytes) of every object, and the offset after item 15."""
    at = 32
    header_size, _ = struct.unpack_from("<ii", b, at)
    at += 8
    width, height, _, bits = struct.unpack_from("<iiHH", b, at + 4)
    at += header_size + ((width * bits + 31) // 32) * 4 * abs(height)
    at += 112 + 8
    at = cstring(b, at + 4)
    at = cstring(b, at + 4)
    at += 16
    found = []
    for side in (0, 1):
        while True:
            (slot,) = struct.unpack_from("<i", b, at)
            if slot > 10000:
                at += 4
                break
            start = at
            at = cstring(b, at + 4 + 61)
            at = cstring(b, at + 8)
            at += 6
            found.append((side, slot, b[start:at]))
    return found, at + 8


def chunk(tag, body):
    return tag + struct.pack("<I", len(body)) + body + struct.pack("<I", zlib.crc32(tag + body))


def prop(key, value):
    return struct.pack("<HI", key, len(value)) + value


def properties():
    font = struct.pack("<iBI", 24, 1, 0xFF) + struct.pack("<I", 5) + "Noto✓".encode()[:5]
    return b"".join([
        prop(1, "Grüße 🎂 → schön".encode()),
        prop(2, "字体".encode()),
        prop(3, struct.pack("<d", 30.0)),
        prop(4, struct.pack("<i", 2)),
        prop(5, b"\1"),
        prop(6, struct.pack("<dddd", 0.1, 0.2, 0.5, 0.6)),
        prop(7, struct.pack("<iiii", 20, -10, 30, 2)),
        prop(8, struct.pack("<ii", 300, 150)),
        prop(9, struct.pack("<ii", 140, 80)),
        prop(10, struct.pack("<Iii", 2, 0, 5) + font + struct.pack("<ii", 6, 3) + font),
        prop(11, struct.pack("<iB", 5000, 1)),
        prop(12, font),
        prop(13, b"herz-rot"),
        prop(99, b"sp\xc3\xa4ter"),
    ])


def area(chunks):
    return MAGIC + struct.pack("<II", 1, len(chunks)) + chunks


def write(out_dir, data):
    name = hashlib.sha1(data).hexdigest()
    with open(os.path.join(out_dir, name), "wb") as f:
        f.write(data)


def main():
    out_dir = sys.argv[1]
    write(out_dir, area(chunk(b"OBJX", b"\0" + struct.pack("<iI", 1, 0) + properties())))
    for path in sys.argv[2:]:
        with open(path, "rb") as f:
            card = f.read()
        try:
            found, end = records(card)
        except (struct.error, ValueError):
            continue
        if not found or end != len(card):
            continue
        for matching in (True, False):
            chunks = b"".join(
                chunk(b"OBJX", bytes([side]) + struct.pack(
                    "<iI", slot, zlib.crc32(record) if matching else 0) + properties())
                for side, slot, record in found)
            chunks += chunk(b"BGNM", b"\1" + struct.pack("<I", zlib.crc32(b"")) + "Grüße→.jpg".encode())
            chunks += chunk(b"ZUKU", b"aus einer spaeteren Version")
            write(out_dir, card + area(chunks))


if __name__ == "__main__":
    main()
