#!/usr/bin/env python3
"""Makes Zarvo's binary assets from code, so they can be reviewed and remade.

Writes resources/zarvo.ico, dist/tray.ico and dist/splash.png. Standard library only.
Run from anywhere: python3 tools/make_assets.py
"""
import math
import os
import struct
import zlib

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))


# --- encoders -----------------------------------------------------------------

def png_bytes(width, height, rgba_rows):
    """rgba_rows: list of rows, each a bytes object of width*4 RGBA bytes."""
    def chunk(kind, data):
        c = struct.pack(">I", len(data)) + kind + data
        return c + struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF)
    raw = b"".join(b"\x00" + row for row in rgba_rows)
    return (b"\x89PNG\r\n\x1a\n"
            + chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 6, 0, 0, 0))
            + chunk(b"IDAT", zlib.compress(raw, 9))
            + chunk(b"IEND", b""))


def ico_bytes(images):
    """images: list of (size, rgba_rows). Classic DIB entries (32-bit BGRA + AND
    mask), which every icon reader understands."""
    entries, blobs = [], []
    offset = 6 + 16 * len(images)
    for size, rows in images:
        header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
        xor = b"".join(
            bytes(b for i in range(size) for b in (row[4 * i + 2], row[4 * i + 1], row[4 * i], row[4 * i + 3]))
            for row in reversed(rows))
        mask_stride = ((size + 31) // 32) * 4
        mask = b""
        for row in reversed(rows):
            bits = bytearray(mask_stride)
            for i in range(size):
                if row[4 * i + 3] == 0:
                    bits[i // 8] |= 0x80 >> (i % 8)
            mask += bytes(bits)
        blob = header + xor + mask
        entries.append(struct.pack("<BBBBHHII", size % 256, size % 256, 0, 0, 1, 32, len(blob), offset))
        blobs.append(blob)
        offset += len(blob)
    return struct.pack("<HHH", 0, 1, len(images)) + b"".join(entries) + b"".join(blobs)


# --- drawing ------------------------------------------------------------------

def clamp(v, lo=0.0, hi=1.0):
    return lo if v < lo else hi if v > hi else v


def seg_dist(px, py, ax, ay, bx, by):
    dx, dy = bx - ax, by - ay
    t = clamp(((px - ax) * dx + (py - ay) * dy) / (dx * dx + dy * dy))
    return math.hypot(px - ax - t * dx, py - ay - t * dy)


def rounded_box_dist(px, py, half, radius):
    qx, qy = abs(px) - half + radius, abs(py) - half + radius
    return math.hypot(max(qx, 0), max(qy, 0)) + min(max(qx, qy), 0) - radius


def over(dst, src):
    """Straight-alpha source-over of (r, g, b, a) floats in 0..1."""
    sa = src[3]
    a = sa + dst[3] * (1 - sa)
    if a <= 0:
        return (0.0, 0.0, 0.0, 0.0)
    return tuple((src[i] * sa + dst[i] * dst[3] * (1 - sa)) / a for i in range(3)) + (a,)


def to_bytes(c):
    return bytes(int(round(clamp(v) * 255)) for v in c)


def logo_pixel(x, y, size):
    """The program icon: a rounded tile with a blue-to-teal gradient and a white Z."""
    u = (x + 0.5) / size * 2 - 1
    v = (y + 0.5) / size * 2 - 1
    aa = 2.0 / size
    d = rounded_box_dist(u, v, 0.92, 0.32)
    cover = clamp(0.5 - d / aa)
    t = clamp((u + v + 2) / 4)
    tile = (0.16 + 0.05 * t, 0.42 + 0.35 * t, 0.86 - 0.20 * t, cover)
    px = (0.0, 0.0, 0.0, 0.0)
    px = over(px, tile)
    # the Z: top bar, diagonal, bottom bar
    w = 0.13
    dz = min(seg_dist(u, v, -0.45, -0.45, 0.45, -0.45),
             seg_dist(u, v, 0.45, -0.45, -0.45, 0.45),
             seg_dist(u, v, -0.45, 0.45, 0.45, 0.45))
    z = clamp(0.5 - (dz - w) / aa) * cover
    return to_bytes(over(px, (1.0, 1.0, 1.0, z)))


def image(size, pixel):
    return [b"".join(pixel(x, y, size) for x in range(size)) for y in range(size)]


def splash_frame(x, y, size, frame, frames):
    """One splash frame: the logo tile with a ring of dots, one of them lit,
    turning as the frames advance."""
    u = (x + 0.5) / size * 2 - 1
    v = (y + 0.5) / size * 2 - 1
    aa = 2.0 / size
    px = (0.0, 0.0, 0.0, 0.0)
    # soft dark disc so the splash reads on any desktop
    dd = math.hypot(u, v) - 0.98
    px = over(px, (0.08, 0.10, 0.16, 0.78 * clamp(0.5 - dd / aa)))
    dots = 12
    for k in range(dots):
        ang = 2 * math.pi * k / dots - math.pi / 2
        cx, cy = 0.78 * math.cos(ang), 0.78 * math.sin(ang)
        age = (frame * dots // frames - k) % dots
        glow = 1.0 - age / dots
        r = 0.055 + 0.035 * glow
        cov = clamp(0.5 - (math.hypot(u - cx, v - cy) - r) / aa)
        px = over(px, (0.55 + 0.45 * glow, 0.80 + 0.20 * glow, 1.0, cov * (0.25 + 0.75 * glow)))
    # the logo in the middle, at half size
    lu, lv = u / 0.5, v / 0.5
    if abs(lu) <= 1 and abs(lv) <= 1:
        lx = int((lu + 1) / 2 * size)
        ly = int((lv + 1) / 2 * size)
        c = logo_pixel(min(lx, size - 1), min(ly, size - 1), size)
        px = over(px, tuple(b / 255 for b in c))
    return to_bytes(px)


def write(path, data):
    full = os.path.join(ROOT, path)
    os.makedirs(os.path.dirname(full), exist_ok=True)
    with open(full, "wb") as f:
        f.write(data)
    print("wrote", path, len(data), "bytes")


def main():
    write_sounds()
    icon = ico_bytes([(s, image(s, logo_pixel)) for s in (48, 32, 16)])
    write("resources/zarvo.ico", icon)
    write("dist/tray.ico", ico_bytes([(s, image(s, logo_pixel)) for s in (32, 16)]))

    side, frames = 128, 8
    rows = []
    for f in range(frames):
        rows += [b"".join(splash_frame(x, y, side, f, frames) for x in range(side)) for y in range(side)]
    write("dist/splash.png", png_bytes(side, side * frames, rows))


# --- sounds -------------------------------------------------------------------

def wav_bytes(samples, rate):
    """16-bit mono PCM from floats in -1..1."""
    data = b"".join(struct.pack("<h", int(round(clamp(v, -1.0, 1.0) * 32767))) for v in samples)
    fmt = struct.pack("<HHIIHH", 1, 1, rate, rate * 2, 2, 16)
    body = b"WAVE" + b"fmt " + struct.pack("<I", len(fmt)) + fmt + b"data" + struct.pack("<I", len(data)) + data
    return b"RIFF" + struct.pack("<I", len(body)) + body


def soft_tick(rate, ms, partials, level, decay_ms):
    """A short tick: a few sine partials, a 3 ms rise and an exponential fall,
    faded to silence at the end so it never clicks."""
    n = int(rate * ms / 1000)
    out = []
    for i in range(n):
        t = i / rate
        rise = clamp(t / 0.003)
        fall = math.exp(-t * 1000 / decay_ms)
        tail = clamp((n - 1 - i) / (rate * 0.004))
        v = sum(a * math.sin(2 * math.pi * f * t) for f, a in partials)
        out.append(level * rise * fall * tail * v)
    return out


def write_sounds():
    """dist/click.wav (a launch) and dist/move.wav (every new row under the pointer,
    so the quieter and shorter of the two)."""
    rate = 22050
    write("dist/click.wav", wav_bytes(soft_tick(rate, 70, [(1320, 0.7), (2640, 0.2), (660, 0.1)], 0.45, 14), rate))
    write("dist/move.wav", wav_bytes(soft_tick(rate, 35, [(1760, 0.8), (880, 0.2)], 0.18, 7), rate))


if __name__ == "__main__":
    main()
