#!/usr/bin/env python3
"""Draws the board artwork: the wood tile and the four stone images.

Writes PNG files with the standard library only (zlib + struct).
Usage: tools/genart/genart.py [output-folder]   (default: assets/board)
"""
import math
import os
import random
import struct
import sys
import zlib

KEY = (250, 188, 94)          # transparent colour of the stone images
MARK = (247, 57, 57)          # last-move cross
WOOD_DARK = (241, 180, 89)
WOOD_MID = (255, 189, 90)
WOOD_LIGHT = (255, 198, 107)
WOOD_SHADES = 48              # colours of the tile (at most 180)
TILE_W, TILE_H = 60, 120
STONE_SIDE, DISC = 58, 55
SHADOW = 3


def write_png(path, width, height, pixels):
    """pixels: list of rows, each a list of (r, g, b)."""
    raw = bytearray()
    for row in pixels:
        raw.append(0)
        for r, g, b in row:
            raw += bytes((r, g, b))

    def chunk(tag, data):
        c = struct.pack(">I", len(data)) + tag + data
        return c + struct.pack(">I", zlib.crc32(tag + data) & 0xFFFFFFFF)

    png = b"\x89PNG\r\n\x1a\n"
    png += chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0))
    png += chunk(b"IDAT", zlib.compress(bytes(raw), 9))
    png += chunk(b"IEND", b"")
    with open(path, "wb") as f:
        f.write(png)


def lerp(a, b, t):
    return tuple(a[i] + (b[i] - a[i]) * t for i in range(3))


def clamp8(v):
    return max(0, min(255, int(round(v))))


# ---------------------------------------------------------------- wood

def wood_ramp(t):
    """t 0 = darkest grain, 0.5 = body colour, 1 = lightest."""
    if t < 0.5:
        return lerp(WOOD_DARK, WOOD_MID, t / 0.5)
    return lerp(WOOD_MID, WOOD_LIGHT, (t - 0.5) / 0.5)


def wood_tile():
    rnd = random.Random(1957)
    two_pi = 2 * math.pi
    # Straight grain: a sum of waves across the tile (periodic in 60 so tiles join), each
    # line slightly wavy along the tile (periodic in 120).
    waves = [(k, rnd.uniform(0, two_pi), a) for k, a in
             ((1, 0.30), (2, 0.18), (3, 0.22), (5, 0.12), (7, 0.16), (11, 0.10), (13, 0.07),
              (17, 0.06), (19, 0.05))]
    bend = [(1, rnd.uniform(0, two_pi), 1.6), (2, rnd.uniform(0, two_pi), 0.7),
            (3, rnd.uniform(0, two_pi), 0.35)]
    # A few fine dark lines at fixed places across the tile.
    lines = [(rnd.uniform(0, TILE_W), rnd.uniform(0.35, 0.75), rnd.uniform(0.45, 1.0))
             for _ in range(13)]
    # Lighter streaks between the lines (the soft early wood).
    streaks = [(rnd.uniform(0, TILE_W), rnd.uniform(0.15, 0.3), rnd.uniform(1.5, 3.0))
               for _ in range(5)]
    rows = []
    for y in range(TILE_H):
        row = []
        for x in range(TILE_W):
            shift = sum(a * math.sin(two_pi * k * y / TILE_H + p) for k, p, a in bend)
            u = x + shift * (0.6 + 0.4 * math.sin(two_pi * x / TILE_W))
            v = sum(a * math.sin(two_pi * k * u / TILE_W + p) for k, p, a in waves)
            t = 0.6 + 0.45 * v
            for cx, depth, width in lines:
                dx = (u - cx + TILE_W / 2) % TILE_W - TILE_W / 2
                t -= depth * math.exp(-(dx / width) ** 2)
            for cx, height, width in streaks:
                dx = (u - cx + TILE_W / 2) % TILE_W - TILE_W / 2
                t += height * math.exp(-(dx / width) ** 2)
            t += rnd.uniform(-0.06, 0.06)
            t = min(1.0, max(0.0, t))
            q = round(t * (WOOD_SHADES - 1)) / (WOOD_SHADES - 1)
            row.append(tuple(clamp8(c) for c in wood_ramp(q)))
        rows.append(row)
    return rows


# ---------------------------------------------------------------- stones

def coverage(px, py, cx, cy, r, sub=4):
    """Share of pixel (px, py) inside the circle, by supersampling."""
    inside = 0
    for i in range(sub):
        for j in range(sub):
            x = px + (i + 0.5) / sub
            y = py + (j + 0.5) / sub
            if (x - cx) ** 2 + (y - cy) ** 2 <= r * r:
                inside += 1
    return inside / (sub * sub)


def shade(colour, nx, ny):
    """Stone surface colour at normalised disc position (nx, ny), |n| <= 1."""
    rr = min(1.0, nx * nx + ny * ny)
    # A go stone is a flattened lens: a shallow dome, steeper at the rim.
    nz = math.sqrt(1.0 - rr) * 0.55 + 0.0001
    length = math.sqrt(nx * nx + ny * ny + nz * nz)
    n = (nx / length, ny / length, nz / length)
    light = (-0.55, -0.62, 0.56)
    ll = math.sqrt(sum(c * c for c in light))
    light = tuple(c / ll for c in light)
    diffuse = max(0.0, sum(n[i] * light[i] for i in range(3)))
    # Specular (Blinn) toward a viewer straight above.
    h = (light[0], light[1], light[2] + 1.0)
    hl = math.sqrt(sum(c * c for c in h))
    specular = max(0.0, sum(n[i] * h[i] / hl for i in range(3)))
    if colour == "black":
        base = 14 + 70 * diffuse ** 2
        glow = 170 * specular ** 50 + 60 * specular ** 7
        rim = 10 * max(0.0, rr - 0.8) / 0.2       # faint reflected light at the lower rim
        v = base + glow + rim * max(0.0, nx + ny)
        return (v * 0.97, v * 0.98, v * 1.04)
    base = 168 + 82 * diffuse
    glow = 60 * specular ** 30
    v = base + glow
    # Clam-shell white is slightly warm in the shade.
    return (v, v * 0.985, v * 0.95)


def stone_image(colour, marked):
    size = STONE_SIDE
    r = DISC / 2.0
    cx = cy = r
    sx, sy = cx + SHADOW, cy + SHADOW
    shadow_col = (150, 100, 40)
    rows = []
    for py in range(size):
        row = []
        for px in range(size):
            c_disc = coverage(px, py, cx, cy, r)
            c_shadow = coverage(px, py, sx, sy, r - 0.5)
            if c_disc == 0 and c_shadow == 0:
                row.append(KEY)
                continue
            # What lies under the disc edge: shadow, or the board's average wood.
            under = lerp(KEY, shadow_col, c_shadow)
            if c_disc > 0:
                nx = (px + 0.5 - cx) / r
                ny = (py + 0.5 - cy) / r
                surf = shade(colour, nx, ny)
                col = lerp(under, surf, c_disc)
            else:
                col = under
            pix = tuple(clamp8(c) for c in col)
            if pix == KEY:
                pix = (pix[0], pix[1], pix[2] - 1)
            row.append(pix)
        rows.append(row)
    if marked:
        # A cross over the middle of the disc, a fifth of the disc long each way.
        arm = 8
        half = 1
        mid = int(cx)
        for t in range(-arm, arm + 1):
            for w in range(-half, half + 1):
                rows[mid + w][mid + t] = MARK
                rows[mid + t][mid + w] = MARK
    return rows


def main():
    out = sys.argv[1] if len(sys.argv) > 1 else os.path.join("assets", "board")
    os.makedirs(out, exist_ok=True)
    tile = wood_tile()
    colours = {p for row in tile for p in row}
    assert len(colours) <= 180, len(colours)
    write_png(os.path.join(out, "wood.png"), TILE_W, TILE_H, tile)
    for name, colour, marked in (("stone-black", "black", False), ("stone-white", "white", False),
                                 ("stone-black-marked", "black", True),
                                 ("stone-white-marked", "white", True)):
        write_png(os.path.join(out, name + ".png"), STONE_SIDE, STONE_SIDE,
                  stone_image(colour, marked))
    print("wood colours:", len(colours))


if __name__ == "__main__":
    main()
