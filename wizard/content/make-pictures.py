#!/usr/bin/env python3
"""Draws the installer's pictures: the header logo (200 x 54), the welcome picture
(104 x 93), the viewer's download button on the folder page's prompt panel (135 x 38), all
as 24-bit uncompressed BMP files, and the application icon (32 x 32 and 16 x 16 in one .ico).
Each picture also gets a run-length-encoded 8-bit copy (logo-rle8.bmp, welcome-rle8.bmp,
viewer-download-rle8.bmp) with the same pixels, for the Windows program's resources, where it
takes a tenth of the room; the program expands it back to the 24-bit file.

Standard library only, and deterministic: running it again rewrites the same bytes, so the
committed pictures can always be regenerated and compared.
Usage: make-pictures.py [output folder]   (default: the folder holding this script)
"""

import math
import os
import struct
import sys

SAMPLES = 4  # supersampling per axis: 16 samples a pixel smooth the curved edges

DARK_BLUE = (0, 0, 96)
MID_BLUE = (0, 64, 128)
BOX_BLUE = (0, 128, 192)
WHITE = (255, 255, 255)


# ---- shapes: each is (bounding box, inside(x, y)) -------------------------------------

def _shape(x0, y0, x1, y1, inside):
    return (x0, y0, x1, y1, inside)


def rect(x0, y0, x1, y1, radius=0.0):
    def inside(x, y):
        if not (x0 <= x <= x1 and y0 <= y <= y1):
            return False
        cx = min(max(x, x0 + radius), x1 - radius)
        cy = min(max(y, y0 + radius), y1 - radius)
        return (x - cx) ** 2 + (y - cy) ** 2 <= radius * radius
    return _shape(x0, y0, x1, y1, inside)


def disk(cx, cy, r):
    return _shape(cx - r, cy - r, cx + r, cy + r,
                  lambda x, y: (x - cx) ** 2 + (y - cy) ** 2 <= r * r)


def stroke(x0, y0, x1, y1, width):
    """A straight pen stroke with round ends."""
    half = width / 2.0
    dx, dy = x1 - x0, y1 - y0
    length2 = dx * dx + dy * dy

    def inside(x, y):
        t = 0.0 if length2 == 0 else ((x - x0) * dx + (y - y0) * dy) / length2
        t = min(max(t, 0.0), 1.0)
        px, py = x0 + t * dx, y0 + t * dy
        return (x - px) ** 2 + (y - py) ** 2 <= half * half
    return _shape(min(x0, x1) - half, min(y0, y1) - half,
                  max(x0, x1) + half, max(y0, y1) + half, inside)


def arc(cx, cy, rx, ry, width, start, end):
    """A pen stroke along an ellipse from angle start to end (degrees, counter-clockwise
    with y pointing up, as on paper), with round ends."""
    half = width / 2.0
    a0, a1 = math.radians(start), math.radians(end)
    span = (a1 - a0) % (2 * math.pi) or 2 * math.pi
    ends = [(cx + rx * math.cos(a), cy - ry * math.sin(a)) for a in (a0, a1)]
    scale = min(rx, ry)

    def inside(x, y):
        ux, uy = (x - cx) / rx, (cy - y) / ry
        radial = math.hypot(ux, uy)
        if abs(radial - 1.0) * scale <= half:
            if (math.atan2(uy, ux) - a0) % (2 * math.pi) <= span:
                return True
        return any((x - ex) ** 2 + (y - ey) ** 2 <= half * half for ex, ey in ends)
    return _shape(cx - rx - half, cy - ry - half, cx + rx + half, cy + ry + half, inside)


def polygon(points):
    xs = [p[0] for p in points]
    ys = [p[1] for p in points]

    def inside(x, y):
        result = False
        j = len(points) - 1
        for i in range(len(points)):
            (xi, yi), (xj, yj) = points[i], points[j]
            if (yi > y) != (yj > y) and x < (xj - xi) * (y - yi) / (yj - yi) + xi:
                result = not result
            j = i
        return result
    return _shape(min(xs), min(ys), max(xs), max(ys), inside)


# ---- rendering ------------------------------------------------------------------------

def render(width, height, background, layers):
    """layers: (shape, colour, opacity) painted in order. Returns rows of (r, g, b, cover)
    where cover is the share of samples any layer touched (for the icon's mask)."""
    pixels = []
    step = 1.0 / SAMPLES
    for py in range(height):
        row = []
        for px in range(width):
            live = [l for l in layers
                    if l[0][0] <= px + 1 and l[0][2] >= px and l[0][1] <= py + 1 and l[0][3] >= py]
            total = [0.0, 0.0, 0.0]
            covered = 0
            for sy in range(SAMPLES):
                y = py + (sy + 0.5) * step
                for sx in range(SAMPLES):
                    x = px + (sx + 0.5) * step
                    colour = list(background) if background else None
                    for shape, fill, opacity in live:
                        if shape[4](x, y):
                            if colour is None or opacity >= 1.0:
                                colour = list(fill)
                            else:
                                colour = [c + (f - c) * opacity for c, f in zip(colour, fill)]
                    if colour is not None:
                        covered += 1
                        for i in range(3):
                            total[i] += colour[i]
            if covered:
                rgb = tuple(int(round(t / covered)) for t in total)
            else:
                rgb = (0, 0, 0)
            row.append(rgb + (covered / float(SAMPLES * SAMPLES),))
        pixels.append(row)
    return pixels


def bmp_pixel_rows(pixels):
    """24-bit rows, bottom-up, blue-green-red, each padded to a multiple of four bytes."""
    out = bytearray()
    for row in reversed(pixels):
        line = bytearray()
        for r, g, b, _ in row:
            line += bytes((b, g, r))
        line += b"\0" * (-len(line) % 4)
        out += line
    return bytes(out)


def info_header(width, height, image_size):
    return struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, image_size,
                       2835, 2835, 0, 0)


def bmp_file(pixels):
    height, width = len(pixels), len(pixels[0])
    data = bmp_pixel_rows(pixels)
    offset = 14 + 40
    return (struct.pack("<2sIHHI", b"BM", offset + len(data), 0, 0, offset)
            + info_header(width, height, len(data)) + data)


def rle8_file(bmp24):
    """The same pixels as a 24-bit bottom-up BMP file, as an 8-bit BI_RLE8 one: a palette in
    order of first use, then each row as runs of one index, ended by end-of-line, the last by
    end-of-bitmap."""
    offset, = struct.unpack_from("<I", bmp24, 10)
    width, height = struct.unpack_from("<ii", bmp24, 18)
    stride = (width * 3 + 3) // 4 * 4
    palette, data = {}, bytearray()
    for y in range(height):
        row = bmp24[offset + y * stride: offset + y * stride + width * 3]
        indices = [palette.setdefault(row[3 * x: 3 * x + 3], len(palette)) for x in range(width)]
        if len(palette) > 256:
            raise ValueError("more than 256 colours")
        x = 0
        while x < width:
            run = 1
            while x + run < width and run < 255 and indices[x + run] == indices[x]:
                run += 1
            data += bytes((run, indices[x]))
            x += run
        data += b"\0\1" if y == height - 1 else b"\0\0"
    colours = b"".join(bgr + b"\0" for bgr in palette)
    header = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 8, 1, len(data), 2835, 2835,
                         len(palette), 0)
    offset = 14 + len(header) + len(colours)
    return (struct.pack("<2sIHHI", b"BM", offset + len(data), 0, 0, offset) + header
            + colours + bytes(data))


def ico_file(images):
    """images: pixel rows per size. Pixels less than half covered are transparent."""
    entries, blobs = [], []
    offset = 6 + 16 * len(images)
    for pixels in images:
        height, width = len(pixels), len(pixels[0])
        xor = bmp_pixel_rows([[p if p[3] >= 0.5 else (0, 0, 0, 0) for p in row]
                              for row in pixels])
        mask = bytearray()
        for row in reversed(pixels):
            line = bytearray((width + 7) // 8)
            for x, p in enumerate(row):
                if p[3] < 0.5:
                    line[x // 8] |= 0x80 >> (x % 8)
            line += b"\0" * (-len(line) % 4)
            mask += line
        # An icon image's header counts the colour rows and the mask together.
        blob = info_header(width, 2 * height, len(xor) + len(mask)) + xor + bytes(mask)
        entries.append(struct.pack("<BBBBHHII", width, height, 0, 0, 1, 24, len(blob), offset))
        blobs.append(blob)
        offset += len(blob)
    return struct.pack("<HHH", 0, 1, len(images)) + b"".join(entries) + b"".join(blobs)


# ---- the word "Lumidesk" drawn with a round pen ---------------------------------------

def lettering(x, baseline, x_height, ascender, pen, gap):
    """Strokes of "Lumidesk" starting at x; returns (shapes, x after the last letter)."""
    h = pen / 2.0
    top = baseline - x_height + h          # centre line of the x-height top
    bottom = baseline - h                  # centre line of the baseline
    tall = baseline - ascender + h         # centre line of the ascender top
    r = (bottom - top) / 2.0               # bowl radius
    mid = (top + bottom) / 2.0
    shapes = []

    def advance(width):
        nonlocal x
        x += width + pen + gap

    # L
    shapes += [stroke(x + h, tall, x + h, bottom, pen),
               stroke(x + h, bottom, x + h + 0.55 * x_height, bottom, pen)]
    advance(0.55 * x_height)
    # u
    w = 2 * r
    shapes += [stroke(x + h, top, x + h, mid, pen),
               arc(x + h + r, mid, r, r, pen, 180, 360),
               stroke(x + h + w, top, x + h + w, bottom, pen)]
    advance(w)
    # m: two narrower arches
    a = 0.72 * r
    shapes += [stroke(x + h, top, x + h, bottom, pen),
               arc(x + h + a, top + a, a, a, pen, 0, 180),
               stroke(x + h + 2 * a, top + a, x + h + 2 * a, bottom, pen),
               arc(x + h + 3 * a, top + a, a, a, pen, 0, 180),
               stroke(x + h + 4 * a, top + a, x + h + 4 * a, bottom, pen)]
    advance(4 * a)
    # i
    shapes += [stroke(x + h, top, x + h, bottom, pen),
               disk(x + h, baseline - x_height - 1.1 * pen, 0.62 * pen)]
    advance(0)
    # d
    shapes += [arc(x + h + r, mid, r, r, pen, 0, 360),
               stroke(x + h + w, tall, x + h + w, bottom, pen)]
    advance(w)
    # e: a bowl open at the lower right, with its bar across the middle
    shapes += [arc(x + h + r, mid, r, r, pen, 0, 318),
               stroke(x + h, mid, x + h + w, mid, 0.85 * pen)]
    advance(w)
    # s: two half ellipses meeting in the middle
    q = (bottom - top) / 4.0
    sx = 0.78 * r
    shapes += [arc(x + h + sx, top + q, sx, q, pen, 25, 270),
               arc(x + h + sx, bottom - q, sx, q, pen, 205, 90)]
    advance(2 * sx)
    # k
    kw = 1.5 * r
    joint = (x + h, mid + 0.25 * x_height)
    shapes += [stroke(x + h, tall, x + h, bottom, pen),
               stroke(joint[0], joint[1], x + h + kw, top, pen),
               stroke(x + h + 0.42 * kw, mid + 0.02 * x_height, x + h + kw, bottom, pen)]
    advance(kw)
    return shapes, x - pen - gap


def mark(x0, y0, size):
    """The product's mark: a lamp shade lighting a desk line, in a rounded square."""
    s = size / 38.0

    def at(points):
        return [(x0 + px * s, y0 + py * s) for px, py in points]
    return [(rect(x0, y0, x0 + size, y0 + size, 7 * s), MID_BLUE, 1.0),
            (polygon(at([(10, 20), (28, 20), (34, 30), (4, 30)])), WHITE, 0.3),
            (polygon(at([(15, 7), (23, 7), (29, 19), (9, 19)])), WHITE, 1.0),
            (disk(x0 + 19 * s, y0 + 20 * s, 3.2 * s), (255, 214, 90), 1.0),
            (stroke(x0 + 7 * s, y0 + 31 * s, x0 + 31 * s, y0 + 31 * s, 4 * s), WHITE, 1.0)]


def logo():
    layers = mark(6, 8, 38)
    letters, end = lettering(54, 37, 18, 26, 4.2, 2.6)
    layers += [(s, DARK_BLUE, 1.0) for s in letters]
    layers.append((rect(54, 43, end, 45), MID_BLUE, 1.0))
    return render(200, 54, WHITE, layers)


def welcome():
    light = (255, 236, 150)
    layers = [
        # glow spreading from the lamp over the desk
        (polygon([(27, 33), (36, 26), (98, 72), (40, 80)]), light, 0.22),
        (disk(31, 30, 18), light, 0.12),
        # desk
        (rect(4, 76, 100, 82, 2), MID_BLUE, 1.0),
        (rect(10, 82, 15, 93), MID_BLUE, 1.0),
        (rect(89, 82, 94, 93), MID_BLUE, 1.0),
        # monitor
        (rect(50, 70, 80, 76, 2), (196, 208, 222), 1.0),
        (rect(60, 62, 70, 71), (170, 184, 200), 1.0),
        (rect(40, 24, 92, 64, 4), (236, 242, 248), 1.0),
        (rect(44, 28, 88, 59, 1), DARK_BLUE, 1.0),
        (rect(48, 33, 70, 36), (255, 214, 90), 1.0),
        (rect(48, 40, 83, 42), (120, 180, 230), 1.0),
        (rect(48, 45, 79, 47), (120, 180, 230), 1.0),
        (rect(48, 50, 74, 52), (120, 180, 230), 1.0),
        # desk lamp: base, two arms, shade, bulb
        (rect(8, 71, 30, 76, 2.5), DARK_BLUE, 1.0),
        (stroke(19, 72, 13, 46, 3), DARK_BLUE, 1.0),
        (stroke(13, 46, 28, 27, 3), DARK_BLUE, 1.0),
        (disk(13, 46, 3), DARK_BLUE, 1.0),
        (polygon([(23, 22), (30, 17), (42, 31), (30, 40)]), (255, 190, 40), 1.0),
        (disk(36, 35.5, 3.2), (255, 250, 215), 1.0),
    ]
    return render(104, 93, BOX_BLUE, layers)


def viewer_download():
    """A button on the prompt panel's colour: a download arrow beside a small player screen
    with its play mark and progress line."""
    light = (120, 180, 230)
    layers = [
        (rect(1.5, 1.5, 133.5, 36.5, 7), WHITE, 1.0),
        (rect(3, 3, 132, 35, 5.5), BOX_BLUE, 1.0),
        # download arrow in a white disk
        (disk(20, 19, 12), WHITE, 1.0),
        (stroke(20, 11, 20, 21, 3.6), DARK_BLUE, 1.0),
        (polygon([(13.5, 19), (26.5, 19), (20, 27)]), DARK_BLUE, 1.0),
        # player screen: play mark and a progress line part played
        (rect(40, 8, 126, 30, 2.5), WHITE, 1.0),
        (rect(42.5, 10.5, 123.5, 27.5, 1), DARK_BLUE, 1.0),
        (polygon([(52, 13), (52, 25), (62, 19)]), (255, 214, 90), 1.0),
        (rect(68, 18, 118, 20.5), light, 1.0),
        (rect(68, 18, 96, 20.5), WHITE, 1.0),
    ]
    return render(135, 38, MID_BLUE, layers)


def icon(size):
    return render(size, size, None, mark(0, 0, size - 0.01))


def main():
    out = sys.argv[1] if len(sys.argv) > 1 else os.path.dirname(os.path.abspath(__file__))
    files = {
        "logo.bmp": bmp_file(logo()),
        "welcome.bmp": bmp_file(welcome()),
        "viewer-download.bmp": bmp_file(viewer_download()),
        "lumidesk.ico": ico_file([icon(32), icon(16)]),
    }
    files["logo-rle8.bmp"] = rle8_file(files["logo.bmp"])
    files["welcome-rle8.bmp"] = rle8_file(files["welcome.bmp"])
    files["viewer-download-rle8.bmp"] = rle8_file(files["viewer-download.bmp"])
    for name, data in files.items():
        with open(os.path.join(out, name), "wb") as f:
            f.write(data)


if __name__ == "__main__":
    main()
