#!/usr/bin/env python3
"""Writes the BMP loader's corpus into bmp_corpus/ beside this script.

ok_*_<W>x<H>.bmp must load at that size; bad_*.bmp must be refused. The replay test and the
fuzzer both start from these files. Run it again after changing the list; commit the output.
"""
import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))
OUT = os.path.join(HERE, "bmp_corpus")


def stride(width):
    return (3 * width + 3) & ~3


def rows(width, height):
    """Pixel rows with magenta (the game's colour key) on the border and a pattern inside."""
    data = bytearray()
    for y in range(height):
        row = bytearray()
        for x in range(width):
            if x in (0, width - 1) or y in (0, height - 1):
                row += bytes((0xFF, 0x00, 0xFF))
            else:
                row += bytes(((x * 37) & 0xFF, (y * 53) & 0xFF, (x + y) & 0xFF))
        row += bytes(stride(width) - 3 * width)
        data += row
    return bytes(data)


def bmp(width, height, info_size=40, gap=0, bit_count=24, compression=0, pixels=None,
        signature=b"BM", offset=None):
    if pixels is None:
        pixels = rows(max(width, 1), max(abs(height), 1))
    pixel_offset = 14 + info_size + gap if offset is None else offset
    file_header = signature + struct.pack("<IHHI", 14 + info_size + gap + len(pixels), 0, 0,
                                          pixel_offset)
    info = struct.pack("<IiiHHIIiiII", info_size, width, height, 1, bit_count, compression,
                       len(pixels), 2835, 2835, 0, 0)
    info += bytes(max(info_size - 40, 0))
    return file_header + info[:max(info_size, 40)] + bytes(gap) + pixels


def corpus():
    valid = bmp(3, 2)
    return {
        "ok_1x1.bmp": bmp(1, 1),
        "ok_3x2.bmp": valid,
        "ok_no_filler_8x3.bmp": bmp(8, 3),
        "ok_button_shape_37x21.bmp": bmp(37, 21),
        "ok_v4_header_5x3.bmp": bmp(5, 3, info_size=108),
        "ok_v5_header_5x3.bmp": bmp(5, 3, info_size=124),
        "ok_gap_before_rows_4x2.bmp": bmp(4, 2, gap=16),
        "ok_trailing_bytes_2x2.bmp": bmp(2, 2) + b"trailing",
        "bad_empty.bmp": b"",
        "bad_truncated_file_header.bmp": valid[:10],
        "bad_truncated_info_header.bmp": valid[:40],
        "bad_signature.bmp": bmp(3, 2, signature=b"MB"),
        "bad_png_signature.bmp": b"\x89PNG\r\n\x1a\n" + valid[8:],
        "bad_core_header.bmp": bmp(3, 2, info_size=12),
        "bad_32bit.bmp": bmp(3, 2, bit_count=32),
        "bad_8bit.bmp": bmp(3, 2, bit_count=8),
        "bad_rle8_compressed.bmp": bmp(3, 2, compression=1),
        "bad_bitfields.bmp": bmp(3, 2, compression=3),
        "bad_zero_width.bmp": bmp(0, 2, pixels=rows(3, 2)),
        "bad_zero_height.bmp": bmp(3, 0, pixels=rows(3, 2)),
        "bad_negative_width.bmp": bmp(-3, 2, pixels=rows(3, 2)),
        "bad_top_down.bmp": bmp(3, -2),
        "bad_huge_width.bmp": bmp(0x7FFFFFFF, 2, pixels=rows(3, 2)),
        "bad_huge_height.bmp": bmp(3, 0x7FFFFFFF, pixels=rows(3, 2)),
        "bad_stride_overflow.bmp": bmp(0x55555556, 4, pixels=rows(3, 2)),
        "bad_too_many_bytes.bmp": bmp(16000, 16000, pixels=rows(3, 2)),
        "bad_offset_inside_headers.bmp": bmp(3, 2, offset=20),
        "bad_v5_offset_inside_header.bmp": bmp(3, 2, info_size=124, offset=54),
        "bad_offset_past_end.bmp": bmp(3, 2, offset=0xFFFFFF00),
        "bad_truncated_pixels.bmp": valid[:-1],
        "bad_no_pixels.bmp": valid[:54],
        "bad_height_past_data.bmp": bmp(3, 200, pixels=rows(3, 2)),
    }


def main():
    os.makedirs(OUT, exist_ok=True)
    for name, data in sorted(corpus().items()):
        with open(os.path.join(OUT, name), "wb") as file:
            file.write(data)
    print(f"{len(corpus())} files in {OUT}")


if __name__ == "__main__":
    main()
