#!/usr/bin/env python3
"""Makes a copy of a TrueType font under another family name.

Rewrites the font's name table (family, full name, PostScript name, unique id,
typographic family) and recomputes the table and file checksums. Standard
library only.

    rename_font.py SOURCE.ttf TARGET.ttf NEWNAME
"""
import struct
import sys


def checksum(data: bytes) -> int:
    data = data + b"\0" * (-len(data) % 4)
    return sum(struct.unpack(">%dI" % (len(data) // 4), data)) & 0xFFFFFFFF


def name_table(family: str) -> bytes:
    records = []
    # (nameID, text): family, subfamily, unique id, full name, version, PostScript name,
    # typographic family.
    texts = [(1, family), (2, "Regular"), (3, family + " 1.0"), (4, family),
             (5, "Version 1.0"), (6, family), (16, family)]
    strings = b""
    for name_id, text in texts:
        # Windows, Unicode BMP, US English, UTF-16BE; and Macintosh Roman.
        for platform, encoding, language, raw in (
                (3, 1, 0x409, text.encode("utf-16-be")),
                (1, 0, 0, text.encode("latin-1"))):
            records.append((platform, encoding, language, name_id, len(raw), len(strings)))
            strings += raw
    records.sort()
    header = struct.pack(">HHH", 0, len(records), 6 + 12 * len(records))
    body = b"".join(struct.pack(">HHHHHH", *r) for r in records)
    return header + body + strings


def rename(source: str, target: str, family: str) -> None:
    with open(source, "rb") as f:
        font = f.read()
    sfnt, num_tables = struct.unpack(">IH", font[:6])
    tables = {}
    for i in range(num_tables):
        tag, _, offset, length = struct.unpack(">4sIII", font[12 + 16 * i: 28 + 16 * i])
        tables[tag] = bytearray(font[offset: offset + length])
    tables[b"name"] = bytearray(name_table(family))
    if b"head" in tables:
        tables[b"head"][8:12] = b"\0\0\0\0"  # checkSumAdjustment, set below

    tags = sorted(tables)
    n = len(tags)
    entry_selector = max(i for i in range(16) if 2 ** i <= n)
    search_range = 16 * 2 ** entry_selector
    header = struct.pack(">IHHHH", sfnt, n, search_range, entry_selector, n * 16 - search_range)
    offset = 12 + 16 * n
    directory = b""
    data = b""
    head_offset = None
    for tag in tags:
        table = bytes(tables[tag])
        if tag == b"head":
            head_offset = offset + len(data)
        directory += struct.pack(">4sIII", tag, checksum(table), offset + len(data), len(table))
        data += table + b"\0" * (-len(table) % 4)
    out = bytearray(header + directory + data)
    if head_offset is not None:
        adjustment = (0xB1B0AFBA - checksum(bytes(out))) & 0xFFFFFFFF
        out[head_offset + 8: head_offset + 12] = struct.pack(">I", adjustment)
    with open(target, "wb") as f:
        f.write(out)


if __name__ == "__main__":
    if len(sys.argv) != 4:
        sys.exit(__doc__)
    rename(sys.argv[1], sys.argv[2], sys.argv[3])
