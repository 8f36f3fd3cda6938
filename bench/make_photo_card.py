#!/usr/bin/env python3
"""Writes a card file (.kar) with picture objects on its outside, for the whole-process benches.

Usage: make_photo_card.py OUT.kar FILE@X,Y,W,H [FILE@X,Y,W,H ...]
  FILE@X,Y,W,H  a picture object showing FILE (stored as given, so pass an absolute path),
                placed X,Y mm from the card's top-left corner, W x H mm large

The card is Geha P78 greeting-card stock: 165 x 121 mm, folded in the middle, two per A4.
The layout follows the program's own writer: the signature, a white 24-bit stored preview of
the size the program gives the card, the card format, both sides' backgrounds ("Keins"), the
view scale, the outside objects, an empty inside and the two background colours. Object
positions are in document units (20000 per inch) on a work area three cards wide and high with
the card in its middle, as `brisella-cli samples` places them. Check a written card with
`brisella-cli info OUT.kar`.
"""
import struct
import sys

MM_PER_INCH = 25.39995
UNITS_PER_INCH = 20000.0
SIGNATURE = b"Tovarin Brisella-Bildwerker 1.0".ljust(32, b"\0")
FORMAT_SIZE = 112
LIST_END = 10001
KIND_PICTURE = 3
BG_NONE = -1


def mm_units(mm):
    return int(mm * UNITS_PER_INCH / MM_PER_INCH)


def preview(card_w, card_h):
    # About 90 pixels across: r = Trunc(90 x 25.39995 / cardWidth) pixels per inch.
    dpi = int(90.0 * MM_PER_INCH / card_w)
    w = max(1, int(card_w / MM_PER_INCH * dpi))
    h = max(1, int(card_h / MM_PER_INCH * dpi))
    row = ((w * 24 + 31) // 32) * 4
    pixels = b"\xff" * (row * h)
    header = struct.pack("<IiiHHIIiiII", 40, w, h, 1, 24, 0, len(pixels), 0, 0, 0, 0)
    return struct.pack("<ii", 40, 0) + header + pixels


def card_format(card_w, card_h):
    # Margins, pitches and cards per sheet of the stock, as `brisella-cli samples` uses it.
    name = "Geha P78 Grußkarten (A4)".encode("cp1252")
    f = struct.pack("<6d2i", 23.0, 25.0, 211.0, 126.0, card_w, card_h, 1, 2)
    f += bytes([len(name)]) + name
    return f.ljust(FORMAT_SIZE, b"\0")


def picture_object(slot, name, x, y, w, h, card_w, card_h):
    fields = struct.pack(
        "<5iBiIiiIiBBiiBBii",
        slot,
        mm_units(card_w + x),
        mm_units(card_h + y),
        mm_units(w),
        mm_units(h),
        1,  # keep aspect
        KIND_PICTURE,
        0,  # colour
        0,  # figure kind
        0,  # alignment
        0,  # border colour
        0,  # fill mode
        0,  # shadow
        0,  # round frame
        5,  # shadow dx
        5,  # shadow dy
        0,  # transparent
        0,  # auto transparent
        0,  # transparent colour
        0,  # rotation
    )
    content = name.encode("cp1252") + b"\0"
    font = struct.pack("<Ii", 0, 0) + b"\0" + struct.pack("<BiB", 0, 0, 0)
    return fields + content + font


def parse_object(text):
    name, sep, numbers = text.rpartition("@")
    values = numbers.split(",")
    if not sep or not name or len(values) != 4:
        raise ValueError("expected FILE@X,Y,W,H, got " + text)
    return name, [float(v) for v in values]


def main(argv):
    args = argv[1:]
    card_w, card_h = 165.0, 121.0
    if len(args) < 2 or args[0].startswith("-"):
        sys.stderr.write(__doc__)
        return 2
    out = args[0]
    try:
        objects = [parse_object(a) for a in args[1:]]
    except ValueError as e:
        sys.stderr.write("%s\n%s" % (e, __doc__))
        return 2

    data = SIGNATURE + preview(card_w, card_h) + card_format(card_w, card_h)
    data += struct.pack("<ii", mm_units(3 * card_w), mm_units(3 * card_h))
    data += struct.pack("<i", BG_NONE) + b"\0" + struct.pack("<i", BG_NONE) + b"\0"
    data += struct.pack("<dd", 1.0, 312.0)  # zoom factor, units per screen pixel
    for slot, (name, (x, y, w, h)) in enumerate(objects, start=1):
        data += picture_object(slot, name, x, y, w, h, card_w, card_h)
    data += struct.pack("<ii", LIST_END, LIST_END)  # end of the outside and the inside list
    data += struct.pack("<II", 0xFFFFFF, 0xFFFFFF)  # background colours
    with open(out, "wb") as f:
        f.write(data)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
