#!/usr/bin/env python3
"""Makes Zarvo's binary assets from code, so they can be reviewed and remade.

Writes resources/zarvo.ico with the program's other icon groups (resources/zarvo2.ico,
shutdown.ico, restart.ico, logout.ico), the dialogs' button glyphs
(resources/glyph_ok.png, glyph_cancel.png), dist/tray.ico, dist/splash.png,
dist/poof.png, the about box's header and fade strip (resources/about_header.png,
about_fade.png), the default skin dist/Themes/Slate/ (skin.ini and its PNG parts),
its icons-only variant dist/Themes/SlateIcons/, the warm recoloured Ember
(dist/Themes/Ember/, without mask.png, so it cannot be colourized),
dist/config.ini, which names the default skin, and the weather pictures
dist/weather/<code>.png and N/A.png. Standard library only, but for
ImageMagick's convert, which turns Slate's preview picture into preview.jpg; the
output is the same on every run.
Run from anywhere: python3 tools/make_assets.py
"""
import math
import os
import struct
import subprocess
import tempfile
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


def tile_pixel(u, v, aa, top, bottom):
    """A rounded tile like the program icon's, with a top-to-bottom gradient."""
    cover = clamp(0.5 - rounded_box_dist(u, v, 0.92, 0.32) / aa)
    return over((0.0, 0.0, 0.0, 0.0), mix(top, bottom, clamp((v + 1) / 2)) + (cover,)), cover


def symbol_pixel(x, y, size, top, bottom, strokes, width=0.13):
    """A white symbol of line strokes (polylines in -1..1 tile coordinates) on a
    tile. The stroke widens a little at small sizes, so 16 pixels still read."""
    u = (x + 0.5) / size * 2 - 1
    v = (y + 0.5) / size * 2 - 1
    aa = 2.0 / size
    px, cover = tile_pixel(u, v, aa, top, bottom)
    w = max(width, 1.1 / size * 2)
    d = min(polyline_dist(u, v, points) for points in strokes)
    return to_bytes(over(px, (1.0, 1.0, 1.0, clamp(0.5 - (d - w) / aa) * cover)))


def arc(cx, cy, r, start_deg, end_deg, steps=24):
    """Points of a circular arc, angles clockwise from the top (screen y points down)."""
    return [(cx + r * math.sin(math.radians(a)), cy - r * math.cos(math.radians(a)))
            for a in (start_deg + (end_deg - start_deg) * k / steps for k in range(steps + 1))]


def alt_logo_pixel(x, y, size):
    """Icon group 1: the program's Z on a warm tile, a variant of the program icon."""
    z = [[(-0.45, -0.45), (0.45, -0.45), (-0.45, 0.45), (0.45, 0.45)]]
    return symbol_pixel(x, y, size, (0.96, 0.62, 0.20), (0.86, 0.33, 0.12), z)


def shutdown_pixel(x, y, size):
    """The power sign (a ring open at the top with a bar through the gap) on red."""
    strokes = [arc(0.0, 0.06, 0.48, 35, 325), [(0.0, -0.58), (0.0, -0.05)]]
    return symbol_pixel(x, y, size, (0.90, 0.30, 0.28), (0.70, 0.12, 0.14), strokes)


def restart_pixel(x, y, size):
    """A ring arrow turning clockwise, on green."""
    ring = arc(0.0, 0.0, 0.48, 40, 330)
    end = ring[-1]  # at 330 degrees: the head points along the turn
    head = [(end[0] - 0.30, end[1] - 0.02), end, (end[0] - 0.02, end[1] + 0.30)]
    return symbol_pixel(x, y, size, (0.36, 0.78, 0.36), (0.16, 0.54, 0.22), [ring, head])


def logout_pixel(x, y, size):
    """An open door frame with an arrow leaving it to the right, on blue."""
    frame = [(0.05, -0.55), (-0.50, -0.55), (-0.50, 0.55), (0.05, 0.55)]
    shaft = [(-0.20, 0.0), (0.58, 0.0)]
    head = [(0.30, -0.28), (0.58, 0.0), (0.30, 0.28)]
    return symbol_pixel(x, y, size, (0.30, 0.56, 0.92), (0.14, 0.34, 0.74), [frame, shaft, head])


def glyph_pixel(x, y, strokes, colour):
    """A button glyph: thick polylines in `colour` with a darker edge, on nothing, so
    the button face shows through (pixel coordinates of the 16 x 16 image)."""
    d = min(polyline_dist(x + 0.5, y + 0.5, points) for points in strokes)
    dark = tuple(c * 0.55 for c in colour) + (clamp(2.6 - d),)
    fill = tuple(min(1.0, c + 0.18) for c in colour) + (clamp(1.6 - d),)
    return to_bytes(over(over((0.0, 0.0, 0.0, 0.0), dark), fill))


def ok_glyph_pixel(x, y, size):
    return glyph_pixel(x, y, [[(3.0, 8.5), (6.5, 12.0), (13.0, 4.0)]], (0.18, 0.60, 0.22))


def cancel_glyph_pixel(x, y, size):
    return glyph_pixel(x, y, [[(4.0, 4.0), (12.0, 12.0)], [(12.0, 4.0), (4.0, 12.0)]], (0.78, 0.16, 0.14))


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


# --- the default skin ---------------------------------------------------------
#
# Slate: a dark, semi-opaque body with a light rim and a blue hover light, so it
# reads on light and dark desktops alike. The numbers below are written to skin.ini
# and used by the drawings, so the two cannot drift apart.
#
# Every band is drawn in three slices when captions are shown: the left
# LEFT_MARGIN and right RIGHT_MARGIN columns stay as drawn and the middle is
# stretched. So everything that must not stretch (corners, rims, the ends of the
# hover light and the quick-run field, the sub-menu arrow) lies in the side slices,
# and the middle of each band varies only from row to row.
#
# A layered window lets the pointer through its alpha-0 pixels, so every pixel of a
# row keeps some alpha; only the rounded corners are transparent outside the shape.

SKIN_NAME = "Slate"
SKIN_WIDTH = 160
HEADER = 14
ITEM = 40
SEPARATOR = 10
BOTTOM = 14                 # back.png's bottom band (BottomMargin)
LEFT_MARGIN = 48            # no more than CAPTION_X: the narrowest captioned window still has a middle
RIGHT_MARGIN = 28
ICON_SIZE = 32
ICON_X, ICON_Y = 8, (ITEM - ICON_SIZE) // 2  # the icon sits in the middle of its row
CAPTION_X, CAPTION_Y = 48, 10
EDIT_X, EDIT_Y, EDIT_H = 48, 11, 18
EDIT_W = SKIN_WIDTH - EDIT_X - RIGHT_MARGIN  # the edit box ends where the right slice begins
FRAMES, FRAME_DELAY = 5, 20
TAB_W, TAB_HALF, TAB_Y = 14, 48, 10  # fits beside a one-row menu (HEADER + ITEM + BOTTOM high)
VTAB_HALF = 12

CORNER = 8.0
BODY = (0.118, 0.137, 0.173, 0.88)
RIM = (0.72, 0.78, 0.86, 0.70)
ACCENT_TOP = (0.31, 0.58, 0.90)
ACCENT_BOTTOM = (0.17, 0.41, 0.77)
ACCENT_RIM = (0.62, 0.80, 1.00)
MARK = (0.76, 0.80, 0.86, 0.90)
MARK_HOT = (1.0, 1.0, 1.0, 1.0)
CLEAR = (0.0, 0.0, 0.0, 0.0)
BIG = 1000.0  # a side of a shape that runs on into the next band


def rect_dist(px, py, x0, y0, x1, y1, radius):
    """Signed distance from a point to a rounded rectangle (negative inside)."""
    qx = abs(px - (x0 + x1) / 2) - (x1 - x0) / 2 + radius
    qy = abs(py - (y0 + y1) / 2) - (y1 - y0) / 2 + radius
    return math.hypot(max(qx, 0), max(qy, 0)) + min(max(qx, qy), 0) - radius


def polyline_dist(px, py, points):
    return min(seg_dist(px, py, *points[i], *points[i + 1]) for i in range(len(points) - 1))


def mix(a, b, t):
    return tuple(a[i] + (b[i] - a[i]) * t for i in range(len(a)))


def body(x, y, width, top, bottom, sheen=0.0, left=0.0, radius=CORNER):
    """The window's body at pixel (x, y) of a band whose shape runs from `left` to
    `width` and from `top` to `bottom` (-BIG or BIG for a side that runs on past
    the band)."""
    d = rect_dist(x + 0.5, y + 0.5, left, top, width, bottom, radius)
    cover = clamp(0.5 - d)
    if cover <= 0:
        return CLEAR
    rim = clamp(1.5 + d)  # the outermost pixel
    inner = clamp(2.5 + d) - rim  # a faint light line just inside it
    c = mix(BODY, RIM, rim)
    c = tuple(min(1.0, v + 0.05 * inner + sheen) for v in c[:3]) + (c[3] * cover,)
    return c


def hover_layers(x, y, width, strength):
    """The hover light of a row: a glow around a rounded bar with a top-down
    gradient and a bright rim. Returns (glow, bar) to lay over the body."""
    px, py = x + 0.5, y + 0.5
    d = rect_dist(px, py, 4, 3, width - 4, ITEM - 3, 6)
    glow = (*ACCENT_RIM, 0.28 * math.exp(-(d / 1.8) ** 2) * strength) if d > 0 else CLEAR
    cover = clamp(0.5 - d)
    if cover <= 0:
        return glow, CLEAR
    c = mix(ACCENT_TOP, ACCENT_BOTTOM, clamp((py - 3) / (ITEM - 6)))
    c = mix(c, ACCENT_RIM, 0.8 * clamp(1.5 + d))
    return glow, (*c, 0.80 * cover * strength)


def hovered(px, x, y, width, strength):
    glow, bar = hover_layers(x, y, width, strength)
    return over(over(px, glow), bar)


def in_hover_mask(x, y, width):
    """Where the colourize option may tint a hovered row: its light."""
    glow, bar = hover_layers(x, y, width, 1.0)
    return max(glow[3], bar[3]) > 0.02


def stroke(px, x, y, points, colour, half_width=0.9):
    """Lays an anti-aliased polyline of the given colour over px."""
    cover = clamp(half_width + 0.5 - polyline_dist(x + 0.5, y + 0.5, points))
    return over(px, colour[:3] + (colour[3] * cover,)) if cover > 0 else px


def submenu_arrow(px, x, y, colour):
    cx, cy = SKIN_WIDTH - 14, ITEM / 2  # inside the right slice
    return stroke(px, x, y, [(cx - 2, cy - 4.5), (cx + 2.5, cy), (cx - 2, cy + 4.5)], colour)


def header_pixel(x, y):
    return body(x, y, SKIN_WIDTH, 0, BIG, sheen=0.05 * (1 - y / HEADER))


def row_pixel(x, y, hover, submenu, strength=1.0):
    px = body(x, y, SKIN_WIDTH, -BIG, BIG)
    if hover:
        px = hovered(px, x, y, SKIN_WIDTH, strength)
    if submenu:
        px = submenu_arrow(px, x, y, mix(MARK, MARK_HOT, strength if hover else 0.0))
    return px


def separator_pixel(x, y):
    px = body(x, y, SKIN_WIDTH, -BIG, BIG)
    fade = clamp((x - 10) / 4) * clamp((SKIN_WIDTH - 10 - x) / 4)
    line = {SEPARATOR // 2 - 1: (1.0, 1.0, 1.0, 0.16), SEPARATOR // 2: (0.0, 0.0, 0.0, 0.35)}.get(y)
    return over(px, line[:3] + (line[3] * fade,)) if line else px


def bottom_pixel(x, y):
    return body(x, y, SKIN_WIDTH, -BIG, BOTTOM)


def run_row_pixel(x, y, open_):
    """A quick-run row: the field the edit box opens in, dark while closed and light
    (under the edit control's dark text) while open."""
    px = body(x, y, SKIN_WIDTH, -BIG, BIG)
    d = rect_dist(x + 0.5, y + 0.5, EDIT_X - 3, EDIT_Y - 3, EDIT_X + EDIT_W + 3, EDIT_Y + EDIT_H + 3, 3)
    cover = clamp(0.5 - d)
    if cover <= 0:
        return px
    rim = clamp(1.5 + d)
    if open_:
        c = mix((0.94, 0.95, 0.97, 0.97), (*ACCENT_TOP, 1.0), rim)
    else:
        c = mix((0.05, 0.06, 0.08, 0.55), (1.0, 1.0, 1.0, 0.16), rim)
    return over(px, c[:3] + (c[3] * cover,))


def scroll_arrow_pixel(x, y, up, enabled):
    """Drawn over a row band, so only the arrow itself has alpha."""
    cx, cy, h = SKIN_WIDTH / 2, ITEM / 2, 3.0 if up else -3.0
    colour = (0.88, 0.91, 0.95, 0.95) if enabled else (0.60, 0.64, 0.70, 0.35)
    return stroke(CLEAR, x, y, [(cx - 6, cy + h), (cx, cy - h), (cx + 6, cy + h)], colour, 1.1)


def band_rows(height, pixel):
    return [b"".join(to_bytes(pixel(x, y)) for x in range(SKIN_WIDTH)) for y in range(height)]


def back_rows():
    return (band_rows(HEADER, header_pixel)
            + band_rows(ITEM, lambda x, y: row_pixel(x, y, False, False))
            + band_rows(ITEM, lambda x, y: row_pixel(x, y, True, False))
            + band_rows(ITEM, lambda x, y: row_pixel(x, y, False, True))
            + band_rows(ITEM, lambda x, y: row_pixel(x, y, True, True))
            + band_rows(SEPARATOR, separator_pixel)
            + band_rows(BOTTOM, bottom_pixel))


def mask_band(height, masked):
    white, none = bytes((255, 255, 255, 255)), bytes(4)
    return [b"".join(white if masked and in_hover_mask(x, y, SKIN_WIDTH) else none
                     for x in range(SKIN_WIDTH)) for y in range(height)]


def mask_rows():
    """mask.png: the hover light of the two hovered row bands."""
    return (mask_band(HEADER, False) + mask_band(ITEM, False) + mask_band(ITEM, True)
            + mask_band(ITEM, False) + mask_band(ITEM, True)
            + mask_band(SEPARATOR, False) + mask_band(BOTTOM, False))


def box_rows():
    return (band_rows(ITEM, lambda x, y: run_row_pixel(x, y, False))
            + band_rows(ITEM, lambda x, y: run_row_pixel(x, y, True))
            + band_rows(ITEM, lambda x, y: scroll_arrow_pixel(x, y, True, True))
            + band_rows(ITEM, lambda x, y: scroll_arrow_pixel(x, y, False, True))
            + band_rows(ITEM, lambda x, y: scroll_arrow_pixel(x, y, True, False))
            + band_rows(ITEM, lambda x, y: scroll_arrow_pixel(x, y, False, False)))


def animation_rows():
    """The hover light fading in over FRAMES frames, each replacing the whole row:
    normal rows in the upper half, sub-menu rows in the lower. The last frame is the
    hovered band of back.png, so the animation ends where the static hover is."""
    rows = []
    for submenu in (False, True):
        for k in range(FRAMES):
            strength = (k + 1) / FRAMES
            rows += band_rows(ITEM, lambda x, y: row_pixel(x, y, True, submenu, strength))
    return rows


def animation_mask_rows():
    return mask_band(ITEM, True) * (2 * FRAMES)


def tab_pixel(x, y, width, half, vertical):
    """A handle fixed to the screen edge with its far side rounded and an arrow
    pointing into the screen: tab.png's upper half for the left edge (fixed on its
    left), vertical_tab.png's upper half for the top edge (fixed on its top). The
    lower halves mirror them for the opposite edges."""
    if vertical:
        px = body(x, y, width, -BIG, half, radius=7.0)
        cx, cy = width / 2, half / 2
        arrow = [(cx - 4.5, cy - 2), (cx, cy + 2.5), (cx + 4.5, cy - 2)]
    else:
        px = body(x, y, width, 0, half, left=-BIG, radius=7.0)
        cx, cy = width / 2 - 0.5, half / 2
        arrow = [(cx - 2, cy - 4.5), (cx + 2.5, cy), (cx - 2, cy + 4.5)]
    return stroke(px, x, y, arrow, MARK)


def tab_rows(width, half, vertical):
    upper = [b"".join(to_bytes(tab_pixel(x, y, width, half, vertical)) for x in range(width))
             for y in range(half)]
    if vertical:
        lower = list(reversed(upper))
    else:
        lower = [b"".join(row[4 * i:4 * i + 4] for i in reversed(range(width))) for row in upper]
    return upper + lower


def skin_ini():
    lines = [
        "[Info]",
        "Autor=The Zarvo developers",
        "Comments=Slate: a dark, see-through panel with a light rim and a blue hover light.",
        "",
        "[Skin]",
        f"IconSize={ICON_SIZE}",
        f"HeaderSize={HEADER}",
        f"IconX={ICON_X}",
        f"IconY={ICON_Y}",
        f"GroupIconX={ICON_X}",
        f"GroupIconY={ICON_Y}",
        f"ItemSize={ITEM}",
        f"Separatorsize={SEPARATOR}",
        "StretchBackground=1",
        f"LeftMargin={LEFT_MARGIN}",
        f"RightMargin={RIGHT_MARGIN}",
        "TextRightMargin=0",
        "ShowCaption=1",
        f"CaptionX={CAPTION_X}",
        f"CaptionY={CAPTION_Y}",
        "FontName=Tahoma",
        "FontStyle=0",
        "FontSize=13",
        "CaptionAlign=0",
        "StrokeSize=2.0",
        "StrokeColor=#12161C",
        "SelectedStrokeColor=#0B2545",
        "ShadowTransparency=150",
        "ShadowColor=#000000",
        "SelectedShadowColor=#000000",
        "FontColor=#F2F5FA",
        "SelectedFontColor=#FFFFFF",
        "ShadowSmooth=1.6",
        "ShadowSize=1.5",
        f"EditBoxX={EDIT_X}",
        f"EditBoxY={EDIT_Y}",
        f"EditBoxWidth={EDIT_W}",
        f"EditBoxHeight={EDIT_H}",
        "EditBoxButtonSize=16",
        "TabX=0",
        f"TabY={TAB_Y}",
        "",
        "[Animation]",
        f"frames={FRAMES}",
        "x=0",
        "y=0",
        f"width={SKIN_WIDTH}",
        f"height={ITEM}",
        f"delay={FRAME_DELAY}",
    ]
    return ("\r\n".join(lines) + "\r\n").encode("ascii")


def config_ini():
    """The settings Zarvo ships with: the default skin, with its tab and hover
    animation wanted (both keys store 1 for "use it"). UTF-16LE with a byte-order
    mark, so the settings Zarvo writes into it later keep any text."""
    text = ("[General]\r\n"
            f"LastSkin={SKIN_NAME}\r\n"
            "DisableTab=1\r\n"
            "\r\n"
            "[Effects]\r\n"
            "DisableAnimation=1\r\n")
    return b"\xff\xfe" + text.encode("utf-16-le")


def write_skin_files(folder, width, ini, mask=True):
    """One skin's files, drawn with the module's current metrics."""
    back_height = HEADER + 4 * ITEM + SEPARATOR + BOTTOM
    write(folder + "skin.ini", ini)
    write(folder + "back.png", png_bytes(width, back_height, back_rows()))
    if mask:
        write(folder + "mask.png", png_bytes(width, back_height, mask_rows()))
    write(folder + "box.png", png_bytes(width, 6 * ITEM, box_rows()))
    write(folder + "animation.png", png_bytes(width, 2 * FRAMES * ITEM, animation_rows()))
    write(folder + "animationmask.png", png_bytes(width, 2 * FRAMES * ITEM, animation_mask_rows()))
    write(folder + "tab.png", png_bytes(TAB_W, 2 * TAB_HALF, tab_rows(TAB_W, TAB_HALF, False)))
    write(folder + "vertical_tab.png", png_bytes(width, 2 * VTAB_HALF, tab_rows(width, VTAB_HALF, True)))


PREVIEW_W, PREVIEW_H = 200, 150


def preview_rows():
    """The settings dialog's picture of the skin: its header and three rows, the
    second hovered, over a dim desktop."""
    back = back_rows()
    bands = list(range(HEADER + ITEM)) + list(range(HEADER + ITEM, HEADER + 2 * ITEM)) \
        + list(range(HEADER, HEADER + ITEM)) + list(range(HEADER + 4 * ITEM + SEPARATOR,
                                                          HEADER + 4 * ITEM + SEPARATOR + BOTTOM))
    left, top = (PREVIEW_W - SKIN_WIDTH) // 2, (PREVIEW_H - len(bands)) // 2
    rows = []
    for y in range(PREVIEW_H):
        row = bytearray()
        for x in range(PREVIEW_W):
            t = y / (PREVIEW_H - 1)
            px = mix((0.20, 0.26, 0.36), (0.10, 0.14, 0.22), t) + (1.0,)
            sy, sx = y - top, x - left
            if 0 <= sy < len(bands) and 0 <= sx < SKIN_WIDTH:
                src = back[bands[sy]][4 * sx:4 * sx + 4]
                px = over(px, tuple(v / 255 for v in src))
            row += to_bytes(px)
        rows.append(bytes(row))
    return rows


def jpeg_from_png(png):
    """ImageMagick's JPEG of a PNG, without metadata, so every run gives the same bytes."""
    with tempfile.TemporaryDirectory() as work:
        source, target = os.path.join(work, "in.png"), os.path.join(work, "out.jpg")
        with open(source, "wb") as f:
            f.write(png)
        subprocess.run(["convert", source, "-strip", "-quality", "90", target], check=True)
        with open(target, "rb") as f:
            return f.read()


def write_skin():
    write_skin_files(f"dist/Themes/{SKIN_NAME}/", SKIN_WIDTH, skin_ini())
    write(f"dist/Themes/{SKIN_NAME}/preview.jpg", jpeg_from_png(png_bytes(PREVIEW_W, PREVIEW_H, preview_rows())))
    write("dist/config.ini", config_ini())


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
    # The program's other icon groups, 1 to 4, after "MAINICON" in the resources.
    for name, pixel in (("zarvo2", alt_logo_pixel), ("shutdown", shutdown_pixel),
                        ("restart", restart_pixel), ("logout", logout_pixel)):
        write(f"resources/{name}.ico", ico_bytes([(s, image(s, pixel)) for s in (48, 32, 16)]))
    # The dialogs' OK and Cancel glyphs, 16 x 16 with alpha.
    write("resources/glyph_ok.png", png_bytes(16, 16, image(16, ok_glyph_pixel)))
    write("resources/glyph_cancel.png", png_bytes(16, 16, image(16, cancel_glyph_pixel)))
    write("dist/tray.ico", ico_bytes([(s, image(s, logo_pixel)) for s in (32, 16)]))

    side, frames = 128, 8
    rows = []
    for f in range(frames):
        rows += [b"".join(splash_frame(x, y, side, f, frames) for x in range(side)) for y in range(side)]
    write("dist/splash.png", png_bytes(side, side * frames, rows))

    write_skin()
    write_icons_skin()
    write_ember_skin()
    write_poof()
    write_about()
    write_weather()


# --- the icons-only skin --------------------------------------------------------
#
# Slate Icons: Slate's look one icon wide, without captions, so the hint window
# shows each row's caption beside the menu. The drawings above read the width and
# the slices from Slate's constants, so they are set to this skin's while its parts
# are drawn.

ICONS_SKIN_NAME = "SlateIcons"
ICONS_SKIN = {
    "SKIN_WIDTH": ICON_X + ICON_SIZE + 16,  # room right of the icon for the sub-menu arrow
    "LEFT_MARGIN": 20,
    "RIGHT_MARGIN": 20,
    "EDIT_X": 6,
}
ICONS_SKIN["EDIT_W"] = ICONS_SKIN["SKIN_WIDTH"] - 2 * ICONS_SKIN["EDIT_X"]


def icons_skin_ini():
    keys = {
        "Comments": "Slate Icons: the Slate panel one icon wide; captions show as hints beside it.",
        "ShowCaption": "0",
        "LeftMargin": str(ICONS_SKIN["LEFT_MARGIN"]),
        "RightMargin": str(ICONS_SKIN["RIGHT_MARGIN"]),
        "EditBoxX": str(ICONS_SKIN["EDIT_X"]),
        "EditBoxWidth": str(ICONS_SKIN["EDIT_W"]),
        "width": str(ICONS_SKIN["SKIN_WIDTH"]),
    }
    return skin_ini_with(keys)


def skin_ini_with(keys):
    """Slate's skin.ini with the values of `keys` in place of its own."""
    lines = []
    for line in skin_ini().decode("ascii").split("\r\n"):
        key = line.split("=", 1)[0]
        lines.append(f"{key}={keys[key]}" if "=" in line and key in keys else line)
    return "\r\n".join(lines).encode("ascii")


def write_variant(overrides, write_files):
    """Runs write_files with the module's constants set to a variant's, then puts
    Slate's back: the drawings read the width, slices and colours from them."""
    saved = {name: globals()[name] for name in overrides}
    globals().update(overrides)
    try:
        write_files()
    finally:
        globals().update(saved)


def write_icons_skin():
    write_variant(ICONS_SKIN, lambda: write_skin_files(f"dist/Themes/{ICONS_SKIN_NAME}/", ICONS_SKIN["SKIN_WIDTH"],
                                                       icons_skin_ini()))


# --- the recoloured skin ---------------------------------------------------------
#
# Ember: Slate with a warm amber hover light. It ships without mask.png, so the
# settings dialog offers no colourizing for it.

EMBER_SKIN_NAME = "Ember"
EMBER_SKIN = {
    "ACCENT_TOP": (0.95, 0.58, 0.22),
    "ACCENT_BOTTOM": (0.82, 0.36, 0.12),
    "ACCENT_RIM": (1.00, 0.80, 0.55),
}


def write_ember_skin():
    ini = skin_ini_with({"Comments": "Ember: the Slate panel with a warm amber hover light; it is not colourized."})
    write_variant(EMBER_SKIN, lambda: write_skin_files(f"dist/Themes/{EMBER_SKIN_NAME}/", SKIN_WIDTH, ini,
                                                       mask=False))


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



# --- deletion puff ------------------------------------------------------------

POOF_SIDE = 64
POOF_FRAMES = 5
# Blobs of the cloud: centre (u, v) and radius in -1..1 frame units at full size.
POOF_BLOBS = [(0.0, 0.05, 0.42), (-0.32, 0.18, 0.3), (0.33, 0.16, 0.31),
              (-0.18, -0.22, 0.3), (0.2, -0.24, 0.28), (0.0, 0.34, 0.26)]


def poof_pixel(x, y, frame):
    """One frame of the puff: a soft grey cloud of overlapping blobs that grows
    outwards from the centre and fades as the frames advance."""
    t = frame / (POOF_FRAMES - 1)
    grow = 0.45 + 0.55 * t
    fade = 0.9 * (1.0 - t) ** 1.3 + 0.08
    u = (x + 0.5) / POOF_SIDE * 2 - 1
    v = (y + 0.5) / POOF_SIDE * 2 - 1
    cover = 0.0
    shade = 0.0
    for bu, bv, r in POOF_BLOBS:
        cu, cv, rr = bu * grow, bv * grow, r * grow
        d = math.hypot(u - cu, v - cv) / rr
        a = clamp(1.0 - d) ** 0.8
        if a > cover:
            cover = a
            # lit from the top left: lighter towards the blob's upper left
            shade = clamp(0.5 - ((u - cu) + (v - cv)) / (4 * rr))
    grey = 0.72 + 0.2 * shade
    return to_bytes((grey, grey, grey + 0.02, cover * fade))


def write_poof():
    """dist/poof.png: five square frames stacked vertically, played where an item
    was deleted."""
    rows = []
    for f in range(POOF_FRAMES):
        rows += [b"".join(poof_pixel(x, y, f) for x in range(POOF_SIDE)) for y in range(POOF_SIDE)]
    write("dist/poof.png", png_bytes(POOF_SIDE, POOF_SIDE * POOF_FRAMES, rows))



# --- the about box ----------------------------------------------------------------

ABOUT_WIDTH = 265
ABOUT_BAND = 64     # the coloured band; the credits area starts below it
ABOUT_HEADER = 97   # the header reaches 33 px into the credits area, fading out there
ABOUT_FADE = 40
ABOUT_LOGO = 48


def about_header_pixel(x, y):
    """The band in the logo's blue-to-teal with soft rings behind the logo, then white
    fading out, so the credits vanish under the header as they scroll up."""
    if y >= ABOUT_BAND:
        return to_bytes((1.0, 1.0, 1.0, 1.0 - (y - ABOUT_BAND + 0.5) / (ABOUT_HEADER - ABOUT_BAND)))
    t = clamp(x / (ABOUT_WIDTH - 1))
    shade = 1.0 - 0.18 * (y / (ABOUT_BAND - 1))
    band = ((0.16 + 0.05 * t) * shade, (0.42 + 0.35 * t) * shade, (0.86 - 0.20 * t) * shade, 1.0)
    lx, ly = 16, (ABOUT_BAND - ABOUT_LOGO) // 2
    ring = abs(math.hypot(x - lx - ABOUT_LOGO / 2, y - ly - ABOUT_LOGO / 2) % 22 - 11) / 11
    px = over(band, (1.0, 1.0, 1.0, 0.07 * clamp(1.5 - 1.5 * ring) * clamp(1 - x / 180)))
    if lx <= x < lx + ABOUT_LOGO and ly <= y < ly + ABOUT_LOGO:
        logo = logo_pixel(x - lx, y - ly, ABOUT_LOGO)
        px = over(px, tuple(v / 255 for v in logo))
    return to_bytes(px)


def write_about():
    rows = [b"".join(about_header_pixel(x, y) for x in range(ABOUT_WIDTH)) for y in range(ABOUT_HEADER)]
    write("resources/about_header.png", png_bytes(ABOUT_WIDTH, ABOUT_HEADER, rows))
    fade = [to_bytes((1.0, 1.0, 1.0, (y + 0.5) / ABOUT_FADE)) * ABOUT_WIDTH for y in range(ABOUT_FADE)]
    write("resources/about_fade.png", png_bytes(ABOUT_WIDTH, ABOUT_FADE, fade))


# --- weather pictures -----------------------------------------------------------
#
# dist/weather/<code>.png for the service's icon codes 0 to 47, a few drawings shared
# across ranges of codes, and dist/weather/N/A.png, the picture of a code the folder
# has no picture for (the program's "weather\\N/A.png" is the file A.png in N\\).

WEATHER_SIZE = ICON_SIZE
SUN = (1.0, 0.80, 0.22)
MOON = (0.90, 0.92, 0.98)
CLOUD = (0.86, 0.89, 0.94)
DARK_CLOUD = (0.52, 0.56, 0.64)
RAIN = (0.36, 0.62, 0.98)
SNOW = (1.0, 1.0, 1.0)
BOLT = (1.0, 0.86, 0.20)


def disc(u, v, cx, cy, r, aa):
    return clamp(0.5 - (math.hypot(u - cx, v - cy) - r) / aa)


def cloud_cover(u, v, aa, dy=0.0):
    """A cloud of three discs over a flat base."""
    return max(disc(u, v, -0.38, 0.12 + dy, 0.30, aa), disc(u, v, 0.05, -0.08 + dy, 0.40, aa),
               disc(u, v, 0.42, 0.14 + dy, 0.28, aa),
               clamp(0.5 - rect_dist(u, v, -0.66, 0.10 + dy, 0.68, 0.42 + dy, 0.14) / aa))


def line_cover(u, v, strokes, width, aa):
    d = min(polyline_dist(u, v, points) for points in strokes)
    return clamp(0.5 - (d - width) / aa)


def weather_pixel(x, y, size, kind):
    u = (x + 0.5) / size * 2 - 1
    v = (y + 0.5) / size * 2 - 1
    aa = 2.0 / size
    px = (0.0, 0.0, 0.0, 0.0)
    if kind == "sun":
        rays = [[(0.62 * math.sin(a), 0.62 * math.cos(a)), (0.88 * math.sin(a), 0.88 * math.cos(a))]
                for a in (k * math.pi / 4 for k in range(8))]
        px = over(px, SUN + (line_cover(u, v, rays, 0.06, aa),))
        return to_bytes(over(px, SUN + (disc(u, v, 0, 0, 0.45, aa),)))
    if kind == "moon":
        crescent = disc(u, v, 0, 0, 0.62, aa) * (1 - disc(u, v, 0.32, -0.22, 0.50, aa))
        return to_bytes(over(px, MOON + (crescent,)))
    if kind == "part":
        px = over(px, SUN + (disc(u, v, 0.30, -0.38, 0.42, aa),))
        return to_bytes(over(px, CLOUD + (cloud_cover(u, v, aa, 0.22),)))
    if kind == "fog":
        bars = [[(-0.75, k), (0.75, k)] for k in (-0.45, -0.05, 0.35)]
        return to_bytes(over(px, CLOUD + (0.85 * line_cover(u, v, bars, 0.09, aa),)))
    dark = kind in ("rain", "storm", "snow")
    px = over(px, (DARK_CLOUD if dark else CLOUD) + (cloud_cover(u, v, aa, -0.28),))
    if kind == "rain":
        drops = [[(cx, 0.42), (cx - 0.10, 0.78)] for cx in (-0.38, 0.02, 0.42)]
        px = over(px, RAIN + (line_cover(u, v, drops, 0.06, aa),))
    elif kind == "snow":
        flakes = max(disc(u, v, cx, cy, 0.09, aa) for cx, cy in ((-0.40, 0.52), (0.02, 0.72), (0.42, 0.52)))
        px = over(px, SNOW + (flakes,))
    elif kind == "storm":
        bolt = [[(0.10, 0.22), (-0.14, 0.56), (0.10, 0.56), (-0.10, 0.90)]]
        px = over(px, BOLT + (line_cover(u, v, bolt, 0.07, aa),))
    return to_bytes(px)


def na_pixel(x, y, size):
    """No picture: a grey ring with a bar across."""
    u = (x + 0.5) / size * 2 - 1
    v = (y + 0.5) / size * 2 - 1
    aa = 2.0 / size
    ring = clamp(0.5 - (abs(math.hypot(u, v) - 0.62) - 0.08) / aa)
    bar = line_cover(u, v, [[(-0.44, 0.44), (0.44, -0.44)]], 0.08, aa)
    return to_bytes((0.62, 0.66, 0.72, max(ring, bar)))


# The service's icon codes by drawing.
WEATHER_CODES = {
    "storm": [0, 1, 2, 3, 4, 17, 35, 37, 38, 39, 45, 47],
    "snow": [5, 6, 7, 8, 10, 13, 14, 15, 16, 18, 25, 41, 42, 43, 46],
    "rain": [9, 11, 12, 40],
    "fog": [19, 20, 21, 22, 23, 24],
    "cloud": [26, 27, 28],
    "part": [29, 30, 33, 34, 44],
    "moon": [31],
    "sun": [32, 36],
}


def write_weather():
    for kind, codes in WEATHER_CODES.items():
        data = png_bytes(WEATHER_SIZE, WEATHER_SIZE,
                         image(WEATHER_SIZE, lambda x, y, size: weather_pixel(x, y, size, kind)))
        for code in codes:
            write(f"dist/weather/{code}.png", data)
    write("dist/weather/N/A.png", png_bytes(WEATHER_SIZE, WEATHER_SIZE, image(WEATHER_SIZE, na_pixel)))


if __name__ == "__main__":
    main()
