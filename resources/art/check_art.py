#!/usr/bin/env python3
"""Validates setloom's generated artwork files (standard library only).

    check_art.py [RESOURCES_DIR]     check the files, exit 1 on any problem
    check_art.py --self-test         prove the checks reject broken files

For every ICO the icon directory and each entry's BITMAPINFOHEADER are
parsed; for every BMP the file and info headers.  Sizes, image counts and
order, bit depths, palette, AND mask and pixel-data lengths must all match
what the resource script expects.
"""
import os
import shutil
import struct
import sys
import tempfile

# name -> list of (width, height, bits per pixel), in directory order
ICONS = {
    "setloom.ico": [(48, 48, 32), (16, 16, 32), (32, 32, 32)],
    "tab_video.ico": [(16, 16, 8)],
    "tab_sound.ico": [(16, 16, 8)],
    "tab_input.ico": [(16, 16, 8)],
}
# name -> (width, height, bits per pixel)
BITMAPS = {
    "logo.bmp": (112, 48, 24),
    "banner.bmp": (355, 92, 24),
    "splash.bmp": (256, 256, 24),
}

BIH = struct.Struct("<IiiHHIIiiII")  # BITMAPINFOHEADER, 40 bytes


def mask_bit(mask, stride, h, x, y):
    """AND-mask bit for top-down coordinates (mask rows are bottom-up)."""
    return (mask[(h - 1 - y) * stride + (x >> 3)] >> (7 - (x & 7))) & 1


def check_ico_entry(data, idx, w, h, bpp, errs):
    where = "image %d (%dx%d)" % (idx, w, h)
    if data[:8] == b"\x89PNG\r\n\x1a\n":
        errs.append("%s is PNG-compressed; a BMP DIB is required" % where)
        return
    if len(data) < BIH.size:
        errs.append("%s is too short for a BITMAPINFOHEADER" % where)
        return
    (size, bw, bh, planes, bits, comp, size_img, _xppm, _yppm, clr_used, _imp) = BIH.unpack_from(data)
    if size != 40:
        errs.append("%s: header size %d, expected 40 (BITMAPINFOHEADER)" % (where, size))
    if (bw, bh) != (w, 2 * h):
        errs.append("%s: DIB is %dx%d, expected %dx%d (height doubled for the mask)"
                    % (where, bw, bh, w, 2 * h))
        return
    if planes != 1:
        errs.append("%s: %d planes, expected 1" % (where, planes))
    if bits != bpp:
        errs.append("%s: %d bits per pixel, expected %d" % (where, bits, bpp))
        return
    if comp != 0:
        errs.append("%s: compression %d, expected 0 (BI_RGB)" % (where, comp))
    colours = 0
    if bpp == 8:
        if clr_used not in (0, 256):
            errs.append("%s: biClrUsed %d, expected a 256-entry palette" % (where, clr_used))
        colours = 256
    elif clr_used != 0:
        errs.append("%s: biClrUsed %d, expected 0" % (where, clr_used))
    xor_stride = ((w * bpp + 31) // 32) * 4
    and_stride = ((w + 31) // 32) * 4
    pal_at = size
    xor_at = pal_at + colours * 4
    and_at = xor_at + xor_stride * h
    end = and_at + and_stride * h
    if len(data) != end:
        errs.append("%s: %d bytes, expected %d (header + palette + pixels + AND mask)"
                    % (where, len(data), end))
        return
    if size_img not in (0, end - xor_at):
        errs.append("%s: biSizeImage %d, expected %d" % (where, size_img, end - xor_at))
    mask = data[and_at:end]
    opaque = transparent = 0
    distinct = set()
    for y in range(h):
        row = xor_at + (h - 1 - y) * xor_stride
        for x in range(w):
            bit = mask_bit(mask, and_stride, h, x, y)
            if bpp == 32:
                b, g, r, a = data[row + 4 * x:row + 4 * x + 4]
                if a == 0 and bit == 0:
                    errs.append("%s: pixel (%d,%d) has alpha 0 but is opaque in the AND mask"
                                % (where, x, y))
                    return
                if a == 255 and bit == 1:
                    errs.append("%s: pixel (%d,%d) has alpha 255 but is masked out" % (where, x, y))
                    return
                visible = a > 0
            else:
                i = data[row + x]
                b, g, r = data[pal_at + 4 * i:pal_at + 4 * i + 3]
                if bit == 1 and (r, g, b) != (0, 0, 0):
                    errs.append("%s: masked pixel (%d,%d) uses non-black palette entry %d"
                                % (where, x, y, i))
                    return
                visible = bit == 0
            if visible:
                opaque += 1
                distinct.add((r, g, b))
            if bit:
                transparent += 1
    if transparent == 0:
        errs.append("%s: AND mask marks no transparent pixel" % where)
    if opaque == 0:
        errs.append("%s: image is fully transparent" % where)
    elif len(distinct) < 3:
        errs.append("%s: only %d distinct colour(s); the picture looks empty" % (where, len(distinct)))


def check_ico(path, expected):
    errs = []
    with open(path, "rb") as f:
        data = f.read()
    if len(data) < 6:
        return ["file is too short for an icon directory"]
    reserved, kind, count = struct.unpack_from("<HHH", data)
    if reserved != 0 or kind != 1:
        return ["not an icon file (reserved=%d, type=%d)" % (reserved, kind)]
    if count != len(expected):
        errs.append("%d image(s), expected %d" % (count, len(expected)))
        return errs
    if len(data) < 6 + 16 * count:
        return ["icon directory is truncated"]
    spans = []
    for idx, (w, h, bpp) in enumerate(expected):
        bw, bh, ncol, res, planes, bits, nbytes, offset = struct.unpack_from("<BBBBHHII", data, 6 + 16 * idx)
        bw, bh = bw or 256, bh or 256
        if (bw, bh) != (w, h):
            errs.append("entry %d is %dx%d, expected %dx%d" % (idx, bw, bh, w, h))
            continue
        if bits != bpp:
            errs.append("entry %d: directory says %d bits per pixel, expected %d" % (idx, bits, bpp))
        if planes != 1:
            errs.append("entry %d: directory says %d planes, expected 1" % (idx, planes))
        if ncol != 0 or res != 0:
            errs.append("entry %d: colour count %d / reserved %d, expected 0 / 0" % (idx, ncol, res))
        if offset < 6 + 16 * count or offset + nbytes > len(data) or nbytes == 0:
            errs.append("entry %d: data at %d+%d lies outside the file" % (idx, offset, nbytes))
            continue
        spans.append((offset, offset + nbytes))
        check_ico_entry(data[offset:offset + nbytes], idx, w, h, bpp, errs)
    spans.sort()
    for (a0, a1), (b0, b1) in zip(spans, spans[1:]):
        if b0 < a1:
            errs.append("image data blocks overlap")
    return errs


def check_bmp(path, expected):
    w, h, bpp = expected
    with open(path, "rb") as f:
        data = f.read()
    if len(data) < 14 + BIH.size:
        return ["file is too short for a BMP"]
    magic, file_size, r1, r2, off_bits = struct.unpack_from("<2sIHHI", data)
    if magic != b"BM":
        return ["missing 'BM' signature"]
    errs = []
    if file_size != len(data):
        errs.append("bfSize %d but file has %d bytes" % (file_size, len(data)))
    if r1 or r2:
        errs.append("reserved header fields are not zero")
    (size, bw, bh, planes, bits, comp, size_img, _x, _y, clr_used, _imp) = BIH.unpack_from(data, 14)
    if size != 40:
        return errs + ["info header size %d, expected 40 (BITMAPINFOHEADER)" % size]
    if bh < 0:
        errs.append("top-down bitmap (negative height); bottom-up required")
    if (bw, abs(bh)) != (w, h):
        errs.append("bitmap is %dx%d, expected %dx%d" % (bw, abs(bh), w, h))
        return errs
    if planes != 1:
        errs.append("%d planes, expected 1" % planes)
    if bits != bpp:
        return errs + ["%d bits per pixel, expected %d" % (bits, bpp)]
    if comp != 0:
        return errs + ["compression %d, expected 0 (BI_RGB, uncompressed)" % comp]
    if clr_used != 0:
        errs.append("biClrUsed %d, expected 0 for a 24-bit bitmap" % clr_used)
    if off_bits != 14 + 40:
        errs.append("pixel data at offset %d, expected 54" % off_bits)
    stride = (w * 3 + 3) & ~3
    need = stride * h
    if size_img not in (0, need):
        errs.append("biSizeImage %d, expected %d" % (size_img, need))
    if len(data) - off_bits != need:
        errs.append("%d bytes of pixel data, expected %d" % (len(data) - off_bits, need))
        return errs
    distinct = set()
    for y in range(h):
        row = off_bits + y * stride
        for x in range(0, w, 3):
            distinct.add(data[row + 3 * x:row + 3 * x + 3])
    if len(distinct) < 16:
        errs.append("only %d distinct colours sampled; the picture looks empty" % len(distinct))
    return errs


def check_dir(res):
    """Returns a list of 'file: problem' strings (empty when all is well)."""
    problems = []
    for name in sorted(ICONS) + sorted(BITMAPS):
        path = os.path.join(res, name)
        if not os.path.isfile(path):
            problems.append("%s: missing" % name)
            continue
        if name in ICONS:
            errs = check_ico(path, ICONS[name])
        else:
            errs = check_bmp(path, BITMAPS[name])
        problems += ["%s: %s" % (name, e) for e in errs]
    return problems


# --------------------------------------------------------------------------
# self-test: damaged copies of the real files must each be rejected


def _patch(path, offset, fmt, value):
    with open(path, "r+b") as f:
        f.seek(offset)
        f.write(struct.pack(fmt, value))


def _ico_entry_offset(path, idx):
    with open(path, "rb") as f:
        data = f.read()
    return struct.unpack_from("<I", data, 6 + 16 * idx + 12)[0]


def _swap_first_two_entries(path):
    with open(path, "rb") as f:
        data = bytearray(f.read())
    a, b = data[6:22], data[22:38]
    data[6:22], data[22:38] = b, a
    with open(path, "wb") as f:
        f.write(data)


def _png_entry(path):
    off = _ico_entry_offset(path, 0)
    with open(path, "r+b") as f:
        f.seek(off)
        f.write(b"\x89PNG\r\n\x1a\n")


def _truncate(path, cut):
    with open(path, "rb") as f:
        data = f.read()
    with open(path, "wb") as f:
        f.write(data[:-cut])


def _blank_bmp(path):
    with open(path, "rb") as f:
        data = bytearray(f.read())
    data[54:] = bytes(len(data) - 54)
    with open(path, "wb") as f:
        f.write(data)


def _unmask(path):
    """Clear the AND mask of the single image: transparency is lost."""
    with open(path, "rb") as f:
        data = bytearray(f.read())
    size = struct.unpack_from("<I", data, 6 + 8)[0]
    off = _ico_entry_offset(path, 0)
    and_len = 4 * 16
    data[off + size - and_len:off + size] = bytes(and_len)
    with open(path, "wb") as f:
        f.write(data)


MUTATIONS = [
    ("icon images in the wrong order", "setloom.ico", _swap_first_two_entries),
    ("icon entry stored as PNG", "setloom.ico", _png_entry),
    ("icon count one too high", "setloom.ico", lambda p: _patch(p, 4, "<H", 4)),
    ("48x48 DIB claims 24 bpp", "setloom.ico",
     lambda p: _patch(p, _ico_entry_offset(p, 0) + 14, "<H", 24)),
    ("tab icon directory claims 4 bpp", "tab_sound.ico", lambda p: _patch(p, 6 + 6, "<H", 4)),
    ("tab icon DIB is 32 px wide", "tab_video.ico",
     lambda p: _patch(p, _ico_entry_offset(p, 0) + 4, "<i", 32)),
    ("tab icon without transparency", "tab_input.ico", _unmask),
    ("banner one pixel narrower", "banner.bmp", lambda p: _patch(p, 18, "<i", 354)),
    ("splash stored top-down", "splash.bmp", lambda p: _patch(p, 22, "<i", -256)),
    ("logo at 32 bpp", "logo.bmp", lambda p: _patch(p, 28, "<H", 32)),
    ("logo RLE-compressed", "logo.bmp", lambda p: _patch(p, 30, "<I", 1)),
    ("banner truncated", "banner.bmp", lambda p: _truncate(p, 100)),
    ("splash all black", "splash.bmp", _blank_bmp),
    ("video icon missing", "tab_video.ico", os.remove),
]


def self_test(res):
    base = check_dir(res)
    if base:
        print("self-test needs valid files first:\n  " + "\n  ".join(base))
        return 1
    failures = 0
    with tempfile.TemporaryDirectory() as tmp:
        for label, name, damage in MUTATIONS:
            work = os.path.join(tmp, "case")
            shutil.copytree(res, work, ignore=shutil.ignore_patterns("art"))
            damage(os.path.join(work, name))
            found = [p for p in check_dir(work) if p.startswith(name + ":")]
            if found:
                print("rejected as expected: %-34s -> %s" % (label, found[0]))
            else:
                print("NOT REJECTED: %s" % label)
                failures += 1
            shutil.rmtree(work)
    if failures:
        print("self-test FAILED: %d damaged file(s) slipped through" % failures)
        return 1
    print("self-test passed: all %d damaged files were rejected" % len(MUTATIONS))
    return 0


def main(argv):
    here = os.path.dirname(os.path.abspath(__file__))
    args = [a for a in argv if a != "--self-test"]
    res = args[0] if args else os.path.dirname(here)
    if "--self-test" in argv:
        return self_test(res)
    problems = check_dir(res)
    if problems:
        for p in problems:
            print("ERROR " + p, file=sys.stderr)
        return 1
    print("artwork OK: %d icons, %d bitmaps in %s" % (len(ICONS), len(BITMAPS), res))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
