#!/usr/bin/env python3
"""Draws the action icons, the move-list marks and the replay-button glyphs as PNG files.

Run from the repository root:  python3 tools/make_icons.py
Writes assets/icons/icon00.png .. icon24.png (16 x 16), mk1_0.png .. mk1_2.png (12 x 15) and
the glyphs of the seven replay buttons (btnKifu*.png, four states for the auto button).
Only the standard library is used: a small anti-aliased rasteriser and a PNG writer.
"""
import math
import os
import struct
import zlib

OUT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "assets", "icons")
SS = 4  # samples per pixel and axis


class Canvas:
    def __init__(self, w, h):
        self.w, self.h = w, h
        self.px = [[(0.0, 0.0, 0.0, 0.0) for _ in range(w)] for _ in range(h)]

    def _blend(self, x, y, rgba, cover):
        if cover <= 0:
            return
        r, g, b, a = rgba
        a = a * cover
        dr, dg, db, da = self.px[y][x]
        oa = a + da * (1 - a)
        if oa <= 0:
            return
        self.px[y][x] = ((r * a + dr * da * (1 - a)) / oa, (g * a + dg * da * (1 - a)) / oa,
                         (b * a + db * da * (1 - a)) / oa, oa)

    def shape(self, inside, colour, bbox=None):
        """inside(x, y) -> colour tuple, True, or False/None for each sample point."""
        x0, y0, x1, y1 = bbox or (0, 0, self.w, self.h)
        for py in range(max(0, int(y0) - 1), min(self.h, int(math.ceil(y1)) + 1)):
            for px in range(max(0, int(x0) - 1), min(self.w, int(math.ceil(x1)) + 1)):
                acc = [0.0, 0.0, 0.0, 0.0]
                n = 0
                for sy in range(SS):
                    for sx in range(SS):
                        x = px + (sx + 0.5) / SS
                        y = py + (sy + 0.5) / SS
                        c = inside(x, y)
                        if c:
                            col = colour if c is True else c
                            col = tuple(v / 255.0 for v in col) + ((1.0,) if len(col) == 3 else ())
                            for i in range(4):
                                acc[i] += col[i]
                            n += 1
                if n:
                    cover = n / (SS * SS)
                    self._blend(px, py, tuple(v / n for v in acc), cover)

    def rect(self, x0, y0, x1, y1, colour):
        self.shape(lambda x, y: x0 <= x < x1 and y0 <= y < y1, colour, (x0, y0, x1, y1))

    def frame(self, x0, y0, x1, y1, fill, border):
        self.rect(x0, y0, x1, y1, border)
        self.rect(x0 + 1, y0 + 1, x1 - 1, y1 - 1, fill)

    def circle(self, cx, cy, r, colour):
        self.shape(lambda x, y: (x - cx) ** 2 + (y - cy) ** 2 <= r * r, colour,
                   (cx - r, cy - r, cx + r, cy + r))

    def ring(self, cx, cy, r0, r1, colour, a0=0, a1=360):
        def inside(x, y):
            d = (x - cx) ** 2 + (y - cy) ** 2
            if not (r0 * r0 <= d <= r1 * r1):
                return False
            ang = math.degrees(math.atan2(y - cy, x - cx)) % 360
            return (a0 <= ang <= a1) if a0 <= a1 else (ang >= a0 or ang <= a1)
        self.shape(inside, colour, (cx - r1, cy - r1, cx + r1, cy + r1))

    def stone(self, cx, cy, r, black):
        """A shaded Go stone lit from the upper left."""
        def inside(x, y):
            d = math.hypot(x - cx, y - cy)
            if d > r:
                return False
            hl = math.hypot(x - (cx - r * 0.35), y - (cy - r * 0.35)) / (r * 1.3)
            hl = min(1.0, hl)
            if black:
                v = 110 - 100 * hl
                return (v, v, v + 4)
            v = 255 - 85 * hl * hl
            return (v, v, v - 6)
        self.shape(inside, (0, 0, 0), (cx - r, cy - r, cx + r, cy + r))
        if not black:
            self.ring(cx, cy, r - 0.8, r, (120, 120, 110))

    def poly(self, pts, colour):
        xs = [p[0] for p in pts]
        ys = [p[1] for p in pts]

        def inside(x, y):
            c = False
            j = len(pts) - 1
            for i in range(len(pts)):
                xi, yi = pts[i]
                xj, yj = pts[j]
                if (yi > y) != (yj > y) and x < (xj - xi) * (y - yi) / (yj - yi) + xi:
                    c = not c
                j = i
            return c
        self.shape(inside, colour, (min(xs), min(ys), max(xs), max(ys)))

    def line(self, x0, y0, x1, y1, width, colour):
        dx, dy = x1 - x0, y1 - y0
        ln = math.hypot(dx, dy) or 1
        nx, ny = -dy / ln * width / 2, dx / ln * width / 2
        self.poly([(x0 + nx, y0 + ny), (x1 + nx, y1 + ny), (x1 - nx, y1 - ny), (x0 - nx, y0 - ny)],
                  colour)

    def outlined_poly(self, pts, fill, border):
        self.poly(pts, fill)
        for i in range(len(pts)):
            a, b = pts[i], pts[(i + 1) % len(pts)]
            self.line(a[0], a[1], b[0], b[1], 1.0, border)

    def save(self, name):
        raw = b""
        for row in self.px:
            raw += b"\x00"
            for r, g, b, a in row:
                raw += bytes((round(r * 255), round(g * 255), round(b * 255), round(a * 255)))

        def chunk(tag, data):
            c = struct.pack(">I", len(data)) + tag + data
            return c + struct.pack(">I", zlib.crc32(tag + data) & 0xFFFFFFFF)
        png = b"\x89PNG\r\n\x1a\n"
        png += chunk(b"IHDR", struct.pack(">IIBBBBB", self.w, self.h, 8, 6, 0, 0, 0))
        png += chunk(b"IDAT", zlib.compress(raw, 9))
        png += chunk(b"IEND", b"")
        with open(os.path.join(OUT, name), "wb") as f:
            f.write(png)


# Colours
BLACK = (0, 0, 0)
DARK = (40, 40, 40)
WHITE = (255, 255, 255)
YELLOW = (250, 204, 72)
YELLOW_D = (176, 128, 24)
BLUE = (44, 92, 196)
BLUE_D = (20, 44, 110)
GREEN = (40, 160, 60)
GREEN_D = (16, 90, 30)
RED = (214, 48, 40)
RED_D = (120, 20, 16)
WOOD = (236, 180, 90)
WOOD_D = (150, 96, 30)
GREY = (150, 150, 150)
BROWN = (150, 96, 48)
BROWN_D = (90, 54, 20)


def tri_right(c, x0, x1, cy, half, fill, border):
    c.outlined_poly([(x0, cy - half), (x1, cy), (x0, cy + half)], fill, border)


def tri_left(c, x0, x1, cy, half, fill, border):
    c.outlined_poly([(x1, cy - half), (x0, cy), (x1, cy + half)], fill, border)


def folder(c, open_):
    c.frame(1, 3, 8, 6, YELLOW, YELLOW_D)
    c.frame(1, 5, 14, 14, (236, 180, 60), YELLOW_D)
    if open_:
        c.outlined_poly([(3.5, 8), (15.5, 8), (13, 14), (1, 14)], YELLOW, YELLOW_D)


def disk(c, x=1, y=1, s=14):
    c.frame(x, y, x + s, y + s, BLUE, BLUE_D)
    c.rect(x + 3, y + 1, x + s - 3, y + 6, WHITE)
    c.rect(x + s - 6, y + 2, x + s - 4, y + 5, BLUE_D)
    c.frame(x + 2, y + 8, x + s - 2, y + s, (220, 220, 220), BLUE_D)


def clipboard(c):
    c.frame(2, 2, 14, 16, BROWN, BROWN_D)
    c.frame(4, 4, 12, 15, WHITE, GREY)
    c.frame(5, 1, 11, 4, (200, 200, 200), DARK)
    for y in (7, 9, 11, 13):
        c.rect(5.5, y, 10.5, y + 0.8, (90, 90, 160))


def arrow_arc(c, cx, cy, r, a0, a1, colour, head_at_start):
    c.ring(cx, cy, r - 1.6, r + 0.4, colour, a0, a1)
    ang = math.radians(a0 if head_at_start else a1)
    hx, hy = cx + r * math.cos(ang) - 0.6 * math.cos(ang), cy + r * math.sin(ang)
    # tangent direction pointing along the travel of the arrow
    t = -1 if head_at_start else 1
    tx, ty = -math.sin(ang) * t, math.cos(ang) * t
    nx, ny = math.cos(ang), math.sin(ang)
    c.poly([(hx + tx * 3.5, hy + ty * 3.5), (hx + nx * 3.2, hy + ny * 3.2),
            (hx - nx * 3.2, hy - ny * 3.2)], colour)


def icons():
    draw = {}

    def icon(i):
        def reg(f):
            draw[i] = f
            return f
        return reg

    @icon(0)
    def _(c):  # open a record: open folder
        folder(c, True)

    @icon(1)
    def _(c):  # save: disk
        disk(c)

    @icon(2)
    def _(c):  # help contents: book with a question mark
        c.frame(2, 1, 14, 15, BLUE, BLUE_D)
        c.rect(3, 13, 14, 15, WHITE)
        c.ring(8, 5.5, 1.6, 3.2, YELLOW, 180, 90)
        c.rect(7.2, 8, 8.8, 10, YELLOW)
        c.rect(7.2, 10.8, 8.8, 12.2, YELLOW)

    def replay_icon(c, kind):
        col, dcol = GREEN, GREEN_D
        if kind == "first":
            c.rect(2, 3, 4, 13, dcol)
            tri_left(c, 4, 9, 8, 5, col, dcol)
            tri_left(c, 9, 14, 8, 5, col, dcol)
        elif kind == "back10":
            tri_left(c, 1, 8, 8, 5, col, dcol)
            tri_left(c, 8, 15, 8, 5, col, dcol)
        elif kind == "back":
            tri_left(c, 4, 12, 8, 6, col, dcol)
        elif kind == "next":
            tri_right(c, 4, 12, 8, 6, col, dcol)
        elif kind == "next10":
            tri_right(c, 1, 8, 8, 5, col, dcol)
            tri_right(c, 8, 15, 8, 5, col, dcol)
        elif kind == "last":
            tri_right(c, 2, 7, 8, 5, col, dcol)
            tri_right(c, 7, 12, 8, 5, col, dcol)
            c.rect(12, 3, 14, 13, dcol)

    for i, kind in ((3, "first"), (4, "back10"), (5, "back"), (6, "next"), (7, "next10"),
                    (8, "last")):
        draw[i] = (lambda k: lambda c: replay_icon(c, k))(kind)

    def disc(c, dark, light, play):
        c.circle(8, 8, 7.5, dark)
        c.circle(8, 8, 6.5, light)
        if play:
            c.poly([(6, 4.5), (12, 8), (6, 11.5)], WHITE)
        else:
            c.rect(5, 5, 11, 11, WHITE)

    draw[9] = lambda c: disc(c, BLUE_D, BLUE, True)     # automatic replay: play button
    draw[10] = lambda c: disc(c, RED_D, RED, False)     # replay running: stop button
    draw[16] = lambda c: disc(c, GREEN_D, GREEN, True)  # resume play

    @icon(11)
    def _(c):  # save under a new name: disk with a pencil
        disk(c, 0, 2, 12)
        c.line(7, 14, 14.5, 6.5, 2.6, (60, 60, 60))
        c.line(7.5, 13.5, 14, 7, 1.6, YELLOW)
        c.poly([(5.5, 15.5), (6.4, 12.6), (8.4, 14.6)], (60, 60, 60))

    @icon(12)
    def _(c):  # settings: gear
        pts = []
        for k in range(32):
            a = math.radians(k * 360 / 32)
            r = 7.2 if (k // 2) % 2 == 0 else 5.2
            pts.append((8 + r * math.cos(a), 8 + r * math.sin(a)))
        c.outlined_poly(pts, GREY, DARK)
        c.circle(8, 8, 2.4, DARK)
        c.circle(8, 8, 1.6, WHITE)

    @icon(13)
    def _(c):  # reload: circular arrow
        arrow_arc(c, 8, 8.5, 5.8, 200, 100, GREEN_D, False)

    @icon(14)
    def _(c):  # new game: small empty board
        c.frame(0, 0, 16, 16, WOOD, WOOD_D)
        for k in range(4):
            v = 2.5 + k * 3.6
            c.rect(v, 2.5, v + 0.8, 13.6, BLACK)
            c.rect(2.5, v, 13.6, v + 0.8, BLACK)
        c.rect(13, 0, 16, 3, (255, 236, 120))
        c.circle(14, 2, 1.2, (255, 200, 0))

    @icon(15)
    def _(c):  # black stone
        c.stone(8, 8, 7, True)

    @icon(17)
    def _(c):  # white stone
        c.stone(8, 8, 7, False)

    @icon(18)
    def _(c):  # pass: an arrow jumping over a point
        c.rect(1, 13, 15, 14, WOOD_D)
        c.circle(8, 12.5, 2, BLACK)
        arrow_arc(c, 8, 10, 5.5, 190, 350, BLUE, False)

    @icon(19)
    def _(c):  # resign: white flag
        c.rect(3, 1, 4.5, 16, BROWN_D)
        c.outlined_poly([(4.5, 2), (14, 3), (12, 6), (14, 9), (4.5, 9)], WHITE, GREY)

    @icon(20)
    def _(c):  # suspend: pause bars
        c.frame(3, 2, 7, 14, (240, 150, 40), RED_D)
        c.frame(9, 2, 13, 14, (240, 150, 40), RED_D)

    @icon(21)
    def _(c):  # hint: light bulb
        c.circle(8, 6, 5, YELLOW_D)
        c.circle(8, 6, 4, (255, 240, 130))
        c.rect(6, 10, 10, 14, GREY)
        c.rect(6, 11.5, 10, 12.2, DARK)
        c.rect(7, 14, 9, 15.5, DARK)

    @icon(22)
    def _(c):  # copy the record: clipboard with a sheet
        clipboard(c)

    @icon(23)
    def _(c):  # paste a record: clipboard with an arrow onto it
        clipboard(c)
        c.poly([(9, 9), (15.5, 9), (12.25, 14)], GREEN)
        c.rect(11, 5, 13.5, 9.5, GREEN)

    @icon(24)
    def _(c):  # take back: curved arrow to the left
        arrow_arc(c, 8.5, 9, 5.5, 200, 20, BLUE, True)

    for i in range(25):
        c = Canvas(16, 16)
        draw[i](c)
        c.save("icon%02d.png" % i)


def marks():
    c = Canvas(12, 15)  # current position: an orange pointer
    c.outlined_poly([(2, 3), (10, 7.5), (2, 12)], (255, 170, 40), (120, 60, 0))
    c.save("mk1_0.png")
    c = Canvas(12, 15)
    c.stone(6, 7.5, 5.3, True)
    c.save("mk1_1.png")
    c = Canvas(12, 15)
    c.stone(6, 7.5, 5.3, False)
    c.save("mk1_2.png")


def glyphs():
    ink, ink_d = (24, 24, 24), (0, 0, 0)

    def glyph(name, f):
        c = Canvas(16, 16)
        f(c)
        c.save(name)

    glyph("btnKifuFirst.png", lambda c: (c.rect(2, 3, 4, 13, ink), tri_left(c, 4, 9, 8, 5, ink, ink_d),
                                          tri_left(c, 9, 14, 8, 5, ink, ink_d)))
    glyph("btnKifuBack10.png", lambda c: (tri_left(c, 1, 8, 8, 5, ink, ink_d),
                                           tri_left(c, 8, 15, 8, 5, ink, ink_d)))
    glyph("btnKifuBack.png", lambda c: tri_left(c, 4, 11, 8, 5, ink, ink_d))
    glyph("btnKifuNext.png", lambda c: tri_right(c, 5, 12, 8, 5, ink, ink_d))
    glyph("btnKifuNext10.png", lambda c: (tri_right(c, 1, 8, 8, 5, ink, ink_d),
                                           tri_right(c, 8, 15, 8, 5, ink, ink_d)))
    glyph("btnKifuLast.png", lambda c: (tri_right(c, 2, 7, 8, 5, ink, ink_d),
                                         tri_right(c, 7, 12, 8, 5, ink, ink_d),
                                         c.rect(12, 3, 14, 13, ink)))
    # The auto button: up (play), disabled, pressed (play, pushed in), held down (stop).
    glyph("btnKifuAuto_up.png", lambda c: tri_right(c, 4, 13, 8, 6, GREEN, GREEN_D))
    glyph("btnKifuAuto_disabled.png", lambda c: (tri_right(c, 5, 14, 9, 6, WHITE, WHITE),
                                                  tri_right(c, 4, 13, 8, 6, GREY, GREY)))
    glyph("btnKifuAuto_pressed.png", lambda c: tri_right(c, 5, 14, 9, 6, GREEN_D, GREEN_D))
    glyph("btnKifuAuto_down.png", lambda c: c.frame(4, 4, 12, 12, RED, RED_D))


if __name__ == "__main__":
    os.makedirs(OUT, exist_ok=True)
    icons()
    marks()
    glyphs()
