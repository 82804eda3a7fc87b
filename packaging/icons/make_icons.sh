#!/usr/bin/env bash
# Regenerates the application icons of the five programs.
#
#   bash packaging/icons/make_icons.sh [--preview DIR] [output-dir]
#
# Output (default: the hicolor folder beside this script):
#   hicolor/<N>x<N>/apps/<name>.png  for N in 16 24 32 48 64 128 256
# Names: dialvane-numseek (lookup by number), dialvane-dialseek (lookup by
# name), dialvane-kestrova (customer management), dialvane-pennote (rich-text
# editor), dialvane-inkleaf (paste-and-print).
#
# All five share one look: a blue rounded square (the lookup window's skin
# colour) carrying a white symbol with an orange accent. The sizes up to 32 px
# are drawn from their own pixel-aligned layouts so they stay crisp; 48 px and
# up are drawn from one 256-unit layout.
#
# --preview DIR also writes contact sheets of every size on light and dark
# backgrounds into DIR (needs ImageMagick's convert).
#
# Only python3 (standard library) is needed for the icons; the PNG files are
# written without time stamps, so the output is byte-for-byte repeatable.
set -euo pipefail

here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
preview=""
if [ "${1:-}" = "--preview" ]; then
  preview="${2:?--preview needs a folder}"
  shift 2
fi
out="${1:-$here/hicolor}"
mkdir -p "$out"
out="$(cd "$out" && pwd)"

command -v python3 >/dev/null || { echo "python3 is required" >&2; exit 1; }

python3 - "$out" <<'PY'
import math, os, struct, sys, zlib

OUT = sys.argv[1]
SIZES = (16, 24, 32, 48, 64, 128, 256)

# ------------------------------------------------------------------ shapes
# A shape is a signed distance function (negative inside) in design units
# plus a bounding box that limits the pixels it is evaluated at.

def clamp(v, lo=0.0, hi=1.0):
    return lo if v < lo else hi if v > hi else v


class Shape:
    __slots__ = ('d', 'bb')

    def __init__(self, d, bb):
        self.d = d
        self.bb = bb


def circle(cx, cy, r):
    return Shape(lambda x, y: math.hypot(x - cx, y - cy) - r, (cx - r, cy - r, cx + r, cy + r))


def rbox(x0, y0, x1, y1, r=0.0):
    cx, cy = (x0 + x1) / 2, (y0 + y1) / 2
    hw, hh = (x1 - x0) / 2 - r, (y1 - y0) / 2 - r

    def d(x, y):
        qx = abs(x - cx) - hw
        qy = abs(y - cy) - hh
        return math.hypot(max(qx, 0.0), max(qy, 0.0)) + min(max(qx, qy), 0.0) - r
    return Shape(d, (x0, y0, x1, y1))


def seg(ax, ay, bx, by, r):
    """Capsule of radius r around the segment a-b."""
    dx, dy = bx - ax, by - ay
    l2 = dx * dx + dy * dy

    def d(x, y):
        px, py = x - ax, y - ay
        h = clamp((px * dx + py * dy) / l2) if l2 else 0.0
        return math.hypot(px - dx * h, py - dy * h) - r
    return Shape(d, (min(ax, bx) - r, min(ay, by) - r, max(ax, bx) + r, max(ay, by) + r))


def poly(pts):
    n = len(pts)

    def d(x, y):
        dd = (x - pts[0][0]) ** 2 + (y - pts[0][1]) ** 2
        s = 1.0
        j = n - 1
        for i in range(n):
            vix, viy = pts[i]
            vjx, vjy = pts[j]
            ex, ey = vjx - vix, vjy - viy
            wx, wy = x - vix, y - viy
            h = clamp((wx * ex + wy * ey) / (ex * ex + ey * ey))
            bx, by = wx - ex * h, wy - ey * h
            dd = min(dd, bx * bx + by * by)
            c1 = y >= viy
            c2 = y < vjy
            c3 = ex * wy > ey * wx
            if (c1 and c2 and c3) or (not c1 and not c2 and not c3):
                s = -s
            j = i
        return s * math.sqrt(dd)
    xs = [p[0] for p in pts]
    ys = [p[1] for p in pts]
    return Shape(d, (min(xs), min(ys), max(xs), max(ys)))


def arc(cx, cy, radius, a0, a1, r):
    """Capsule of radius r along a circular arc from angle a0 to a1 (degrees, y down)."""
    span = (a1 - a0) % 360
    e0 = (cx + radius * math.cos(math.radians(a0)), cy + radius * math.sin(math.radians(a0)))
    e1 = (cx + radius * math.cos(math.radians(a1)), cy + radius * math.sin(math.radians(a1)))

    def d(x, y):
        t = (math.degrees(math.atan2(y - cy, x - cx)) - a0) % 360
        if t <= span:
            return abs(math.hypot(x - cx, y - cy) - radius) - r
        return min(math.hypot(x - e0[0], y - e0[1]), math.hypot(x - e1[0], y - e1[1])) - r
    R = radius + r
    return Shape(d, (cx - R, cy - R, cx + R, cy + R))


def union(*shapes):
    def d(x, y):
        return min(s.d(x, y) for s in shapes)
    bbs = [s.bb for s in shapes]
    return Shape(d, (min(b[0] for b in bbs), min(b[1] for b in bbs),
                     max(b[2] for b in bbs), max(b[3] for b in bbs)))


def inter(a, b):
    return Shape(lambda x, y: max(a.d(x, y), b.d(x, y)),
                 (max(a.bb[0], b.bb[0]), max(a.bb[1], b.bb[1]),
                  min(a.bb[2], b.bb[2]), min(a.bb[3], b.bb[3])))


def sub(a, b):
    return Shape(lambda x, y: max(a.d(x, y), -b.d(x, y)), a.bb)


def grow(a, k):
    return Shape(lambda x, y: a.d(x, y) - k, (a.bb[0] - k, a.bb[1] - k, a.bb[2] + k, a.bb[3] + k))


def outline(a, w):
    """Band of width 2w centred on the edge of a."""
    return Shape(lambda x, y: abs(a.d(x, y)) - w, (a.bb[0] - w, a.bb[1] - w, a.bb[2] + w, a.bb[3] + w))


def move(a, dx, dy):
    return Shape(lambda x, y: a.d(x - dx, y - dy), (a.bb[0] + dx, a.bb[1] + dy, a.bb[2] + dx, a.bb[3] + dy))


def rot(a, deg, cx, cy):
    c, s = math.cos(math.radians(deg)), math.sin(math.radians(deg))

    def d(x, y):
        px, py = x - cx, y - cy
        return a.d(cx + px * c + py * s, cy - px * s + py * c)
    xs, ys = [], []
    for bx in (a.bb[0], a.bb[2]):
        for by in (a.bb[1], a.bb[3]):
            px, py = bx - cx, by - cy
            xs.append(cx + px * c - py * s)
            ys.append(cy + px * s + py * c)
    return Shape(d, (min(xs), min(ys), max(xs), max(ys)))

# ------------------------------------------------------------------ paint

def hx(s, a=1.0):
    s = s.lstrip('#')
    return (int(s[0:2], 16) / 255.0, int(s[2:4], 16) / 255.0, int(s[4:6], 16) / 255.0, a)


def lin(x0, y0, x1, y1, stops):
    """Linear gradient from (x0,y0) to (x1,y1) over [(t, colour), ...]."""
    dx, dy = x1 - x0, y1 - y0
    l2 = dx * dx + dy * dy

    def f(x, y):
        t = clamp(((x - x0) * dx + (y - y0) * dy) / l2)
        for (t0, c0), (t1, c1) in zip(stops, stops[1:]):
            if t <= t1:
                u = 0.0 if t1 == t0 else (t - t0) / (t1 - t0)
                return tuple(c0[i] + (c1[i] - c0[i]) * u for i in range(4))
        return stops[-1][1]
    return f


class Canvas:
    def __init__(self, n, design):
        self.n = n
        self.k = n / design            # pixels per design unit
        self.p = [[0.0, 0.0, 0.0, 0.0] for _ in range(n * n)]   # premultiplied

    def paint(self, shape, colour, clip=None, soft=0.0, alpha=1.0):
        """Composite colour where shape is inside; soft (design units) blurs the edge."""
        n, k = self.n, self.k
        bb = shape.bb
        if clip is not None:
            bb = (max(bb[0], clip.bb[0]), max(bb[1], clip.bb[1]),
                  min(bb[2], clip.bb[2]), min(bb[3], clip.bb[3]))
        m = soft + 2.0 / k
        x0, y0 = max(0, int(math.floor((bb[0] - m) * k))), max(0, int(math.floor((bb[1] - m) * k)))
        x1, y1 = min(n, int(math.ceil((bb[2] + m) * k))), min(n, int(math.ceil((bb[3] + m) * k)))
        w = max(1.0, soft * k)
        fn = colour if callable(colour) else None
        for py in range(y0, y1):
            y = (py + 0.5) / k
            row = py * n
            for px in range(x0, x1):
                x = (px + 0.5) / k
                d = shape.d(x, y) * k
                if w > 1.0:
                    t = clamp(0.5 - d / w)
                    cov = t * t * (3 - 2 * t)
                else:
                    cov = clamp(0.5 - d)
                if cov <= 0.0:
                    continue
                if clip is not None:
                    cov *= clamp(0.5 - clip.d(x, y) * k)
                    if cov <= 0.0:
                        continue
                c = fn(x, y) if fn else colour
                a = c[3] * cov * alpha
                dst = self.p[row + px]
                ia = 1.0 - a
                dst[0] = c[0] * a + dst[0] * ia
                dst[1] = c[1] * a + dst[1] * ia
                dst[2] = c[2] * a + dst[2] * ia
                dst[3] = a + dst[3] * ia

    def png(self, path):
        n = self.n
        raw = bytearray()
        for py in range(n):
            raw.append(0)
            for px in range(n):
                r, g, b, a = self.p[py * n + px]
                if a <= 0.0:
                    raw += b'\0\0\0\0'
                    continue
                raw += bytes((int(round(clamp(r / a) * 255)), int(round(clamp(g / a) * 255)),
                              int(round(clamp(b / a) * 255)), int(round(clamp(a) * 255))))

        def chunk(tag, data):
            body = tag + data
            return struct.pack('>I', len(data)) + body + struct.pack('>I', zlib.crc32(body) & 0xffffffff)
        data = (b'\x89PNG\r\n\x1a\n'
                + chunk(b'IHDR', struct.pack('>IIBBBBB', n, n, 8, 6, 0, 0, 0))
                + chunk(b'IDAT', zlib.compress(bytes(raw), 9))
                + chunk(b'IEND', b''))
        os.makedirs(os.path.dirname(path), exist_ok=True)
        with open(path, 'wb') as f:
            f.write(data)

# ------------------------------------------------------------------ palette

WHITE = hx('#ffffff')
# Paper fades to pale blue down the 256-unit layout; at the small sizes it stays white.
PAPER = lin(0, 0, 0, 256, [(0.0, hx('#ffffff')), (1.0, hx('#e4edf8'))])
BLUE = hx('#1f5fa8')
BLUE_DARK = hx('#173f73')
LINE = hx('#a9c0de')
ORANGE = hx('#f58a1f')
SHADOW = hx('#0a2a55')


def orange_grad(y0, y1):
    return lin(0, y0, 0, y1, [(0.0, hx('#ffb04a')), (1.0, hx('#ee7410'))])

# ------------------------------------------------------------------ the base

class Icon:
    """One icon being drawn: a canvas, its base tile and helpers."""

    def __init__(self, n):
        self.n = n
        self.small = n <= 32
        self.design = n if self.small else 256
        self.c = Canvas(n, self.design)
        D = self.design
        if self.small:
            # Pixel-aligned tile: the whole square at 16 px, a small margin above.
            r = {16: 3.0, 24: 4.0, 32: 5.5}[n]
            inset = {16: 0.0, 24: 1.0, 32: 2.0}[n]
            self.tile = rbox(inset, inset, D - inset, D - inset, r)
            top, bottom = inset, D - inset
        else:
            self.tile = rbox(16, 16, 240, 240, 46)
            top, bottom = 16.0, 240.0
        self.base_paint = lin(0, top, 0, bottom, [(0.0, hx('#4f98e6')), (0.55, hx('#2467b3')),
                                                   (1.0, hx('#1a4f91'))])
        self.top, self.bottom = top, bottom

    def draw_base(self):
        c, t = self.c, self.tile
        if not self.small:
            c.paint(move(t, 0, 5), hx('#000000', 0.28), soft=10)
            c.paint(move(t, 0, 2), hx('#000000', 0.18), soft=3)
        c.paint(t, self.base_paint)
        # Soft gloss over the upper part, as on the lookup window's title band.
        D = self.design
        gloss = inter(t, circle(D * 0.5, -D * 0.55, D * 1.0))
        h = self.top + (self.bottom - self.top) * 0.45
        c.paint(gloss, lin(0, self.top, 0, h, [(0.0, hx('#ffffff', 0.22)), (1.0, hx('#ffffff', 0.04))]))
        # Darker rim, lighter top edge.
        rim = 1.0 / c.k
        c.paint(sub(t, grow(t, -rim)), hx('#0f3a70', 0.55))
        c.paint(inter(sub(grow(t, -rim), grow(t, -2 * rim)),
                      rbox(0, 0, D, self.top + (self.bottom - self.top) * 0.5)),
                lin(0, self.top, 0, self.top + (self.bottom - self.top) * 0.5,
                    [(0.0, hx('#ffffff', 0.45)), (1.0, hx('#ffffff', 0.0))]))

    def knockout(self, shape, width):
        """Separates a foreground part from what lies under it with a band of tile colour."""
        self.c.paint(grow(shape, width), self.base_paint, clip=self.tile)

    def drop(self, shape, dy=4.0, soft=6.0, alpha=0.35):
        """Soft shadow of a symbol on the tile."""
        if self.small:
            return
        self.c.paint(move(shape, 0, dy), SHADOW, clip=self.tile, soft=soft, alpha=alpha)

# ------------------------------------------------------------------ symbols

def obox(cx, cy, hw, hh, angle, r=0.0):
    """Box of half sizes hw x hh centred on (cx, cy), its long side turned by angle degrees."""
    return rot(rbox(cx - hw, cy - hh, cx + hw, cy + hh, r), angle, cx, cy)


def handset(cx, cy, radius, thick, cup, cup_len, a0=62.0, a1=208.0, shift=0.0):
    """Telephone handset bent around (cx, cy): mouthpiece at angle a0, earpiece at a1."""
    parts = [arc(cx, cy, radius, a0, a1, thick / 2)]
    outer = radius + thick / 2
    for a, sgn in ((a0, -1), (a1, 1)):
        ra = math.radians(a)
        rx, ry = math.cos(ra), math.sin(ra)
        tx, ty = -ry * sgn, rx * sgn          # along the handle, away from it
        q = outer - cup / 2
        px = cx + q * rx + shift * tx
        py = cy + q * ry + shift * ty
        parts.append(obox(px, py, cup_len / 2, cup / 2, math.degrees(math.atan2(ty, tx)),
                          min(cup, cup_len) * 0.45))
    return union(*parts)


def hash_sign(cx, cy, size, w, slant=0.18):
    """Slanted '#' of round-ended strokes of radius w, size units tall."""
    h = size / 2
    g = size / 6
    s = slant * h
    return union(seg(cx - g + s, cy - h, cx - g - s, cy + h, w),
                 seg(cx + g + s, cy - h, cx + g - s, cy + h, w),
                 seg(cx - h, cy - g, cx + h, cy - g, w),
                 seg(cx - h, cy + g, cx + h, cy + g, w))


def person(cx, cy, s):
    """Head and shoulders centred near (cx, cy); s is the head radius."""
    return union(circle(cx, cy - s * 0.75, s),
                 inter(circle(cx, cy + s * 2.4, s * 1.9), rbox(cx - 3 * s, cy - 3 * s, cx + 3 * s, cy + s * 2.0)))


def leaf(cx, cy, length, width, angle):
    """Pointed leaf along its length, turned by angle degrees from upright."""
    half = length / 2
    # Two circles whose overlap is width wide and length long.
    R = (half * half + (width / 2) ** 2) / width
    off = R - width / 2
    lens = inter(circle(cx - off, cy, R), circle(cx + off, cy, R))
    return rot(lens, angle, cx, cy)


def pen(tx, ty, length, w, angle):
    """Pencil with its point at (tx, ty), lying along angle degrees; returns its parts."""
    h = w / 2
    cone = 0.24 * length
    cap = 0.12 * length
    parts = {
        'lead': poly([(tx, ty), (tx + cone * 0.38, ty - h * 0.38), (tx + cone * 0.38, ty + h * 0.38)]),
        'wood': poly([(tx, ty), (tx + cone, ty - h), (tx + cone, ty + h)]),
        'body': rbox(tx + cone - 0.5, ty - h, tx + length - cap, ty + h),
        'stripe': rbox(tx + cone - 0.5, ty - h * 0.22, tx + length - cap, ty + h * 0.22),
        'band': rbox(tx + length - cap - w * 0.28, ty - h, tx + length - cap + 0.5, ty + h),
        'cap': rbox(tx + length - cap - w * 0.5, ty - h, tx + length, ty + h, h * 0.8),
    }
    parts = {k: rot(v, angle, tx, ty) for k, v in parts.items()}
    parts['all'] = union(parts['wood'], parts['body'], parts['cap'])
    return parts


def magnifier(cx, cy, r, ring, handle_len, handle_w, angle=45.0):
    """Lens of radius r with a ring of the given width and a handle leaving at angle degrees."""
    a = math.radians(angle)
    hx0, hy0 = cx + (r + ring * 0.3) * math.cos(a), cy + (r + ring * 0.3) * math.sin(a)
    hx1, hy1 = cx + (r + handle_len) * math.cos(a), cy + (r + handle_len) * math.sin(a)
    return {
        'ring': outline(circle(cx, cy, r), ring / 2),
        'glass': circle(cx, cy, r),
        'handle': seg(hx0, hy0, hx1, hy1, handle_w / 2),
        'all': union(circle(cx, cy, r + ring / 2), seg(hx0, hy0, hx1, hy1, handle_w / 2)),
    }


# ------------------------------------------------------------------ icons

def numseek(n):
    ic = Icon(n)
    ic.draw_base()
    c = ic.c
    if ic.small:
        return small_numseek(ic)
    hs = handset(140, 112, 70, 28, 52, 58, a0=58, a1=212, shift=4)
    ic.drop(hs)
    c.paint(hs, PAPER)
    hsh = hash_sign(176, 80, 60, 7.5)
    ic.drop(hsh, dy=3, soft=4, alpha=0.3)
    c.paint(hsh, orange_grad(50, 110))
    return c


def dialseek(n):
    ic = Icon(n)
    ic.draw_base()
    c = ic.c
    if ic.small:
        return small_dialseek(ic)
    hs = handset(140, 112, 70, 28, 52, 58, a0=58, a1=212, shift=4)
    ic.drop(hs)
    c.paint(hs, PAPER)
    mg = magnifier(170, 80, 29, 12, 32, 17)
    ic.knockout(mg['all'], 5)
    ic.drop(mg['all'], dy=3, soft=4, alpha=0.3)
    c.paint(mg['glass'], hx('#ffffff', 0.22))
    if n >= 64:
        c.paint(person(170, 85, 10), WHITE, clip=mg['glass'])
    c.paint(mg['handle'], BLUE_DARK if n >= 128 else ORANGE)
    c.paint(mg['ring'], orange_grad(45, 115))
    return c


def kestrova(n):
    ic = Icon(n)
    ic.draw_base()
    c = ic.c
    if ic.small:
        return small_kestrova(ic)
    card = rbox(36, 58, 198, 176, 14)
    ic.drop(card)
    c.paint(card, PAPER)
    avatar = circle(82, 112, 28)
    c.paint(avatar, hx('#d2e3f7'))
    c.paint(person(82, 116, 11), BLUE, clip=avatar)
    c.paint(seg(124, 92, 176, 92, 5.5), BLUE)
    c.paint(seg(124, 114, 178, 114, 4), LINE)
    c.paint(seg(124, 132, 160, 132, 4), LINE)
    cal = rbox(142, 138, 222, 214, 11)
    ic.knockout(cal, 6)
    ic.drop(cal, dy=3, soft=4, alpha=0.3)
    c.paint(cal, PAPER)
    c.paint(inter(cal, rbox(140, 136, 224, 162)), orange_grad(138, 162))
    for x in (164, 200):
        c.paint(seg(x, 128, x, 146, 5.5), BLUE_DARK)
    for j, y in enumerate((170, 190)):
        for i, x in enumerate((151, 173, 195)):
            cell = rbox(x, y, x + 16, y + 13, 2.5)
            c.paint(cell, ORANGE if (i, j) == (2, 1) else hx('#b9cde6'))
    return c


def pennote(n):
    ic = Icon(n)
    ic.draw_base()
    c = ic.c
    if ic.small:
        return small_pennote(ic)
    page = grow(poly([(68, 40), (146, 40), (180, 74), (180, 214), (68, 214)]), 4)
    ic.drop(page)
    c.paint(page, PAPER)
    c.paint(grow(poly([(146, 40), (146, 74), (180, 74)]), 2), hx('#c3d6ee'))
    c.paint(seg(88, 72, 128, 72, 6), BLUE)
    for y, x1 in ((98, 160), (118, 152), (138, 160), (158, 128), (178, 146)):
        c.paint(seg(88, y, x1, y, 3.5), LINE)
    c.paint(seg(88, 118, 112, 118, 4.5), BLUE)
    p = pen(118, 204, 136, 26, -45)
    ic.knockout(p['all'], 5)
    ic.drop(p['all'], dy=3, soft=4, alpha=0.3)
    c.paint(p['wood'], hx('#f6d6a8'))
    c.paint(p['lead'], hx('#2a3a52'))
    c.paint(p['body'], lin(0, 140, 40, 180, [(0.0, hx('#ffb04a')), (1.0, hx('#ec7010'))]))
    c.paint(p['stripe'], hx('#ffffff', 0.25))
    c.paint(p['cap'], BLUE_DARK)
    c.paint(p['band'], hx('#dfe8f4'))
    return c


def inkleaf(n):
    ic = Icon(n)
    ic.draw_base()
    c = ic.c
    if ic.small:
        return small_inkleaf(ic)
    sheet_in = rbox(80, 38, 176, 112, 6)
    c.paint(sheet_in, PAPER)
    for y in (60, 76):
        c.paint(seg(98, y, 158, y, 3.5), LINE)
    body = rbox(40, 96, 216, 182, 20)
    ic.drop(body)
    c.paint(body, lin(0, 96, 0, 182, [(0.0, hx('#ffffff')), (1.0, hx('#d3e0f1'))]))
    c.paint(circle(190, 122, 7), ORANGE)
    slot = rbox(62, 150, 194, 162, 6)
    c.paint(slot, BLUE_DARK)
    sheet_out = rbox(80, 156, 176, 226, 6)
    c.paint(sheet_out, PAPER, clip=rbox(0, 157, 256, 256))
    c.paint(rbox(80, 157, 176, 162), hx('#0a2a55', 0.25))
    lf = leaf(130, 190, 50, 24, 45)
    c.paint(lf, orange_grad(170, 210))
    if n >= 64:
        c.paint(inter(seg(112, 208, 148, 172, 1.8), lf), hx('#ffffff', 0.75))
    c.paint(seg(108, 212, 116, 204, 2.6), hx('#ee7410'))
    return c


# The small sizes: coordinates are pixels, straight edges sit on pixel lines.
# 16 px is drawn pixel by pixel.

PIX = {
    'W': WHITE,
    'v': hx('#ffffff', 0.55),
    'u': hx('#ffffff', 0.28),
    'p': hx('#d6e3f3'),
    'q': hx('#b4cae6'),
    'l': LINE,
    'b': BLUE,
    'c': hx('#8fb0d6'),
    'B': BLUE_DARK,
    'O': ORANGE,
    'o': hx('#f58a1f', 0.5),
    'y': hx('#f6d6a8'),
    'g': hx('#2a3a52'),
}

ART16 = {
    'numseek': [
        "................",
        "................",
        "..vWWv...O.O....",
        "..WWWW..OOOOO...",
        "..WWWv...O.O....",
        "..WWv...OOOOO...",
        "..WW.....O.O....",
        "..WW............",
        "..WWv...........",
        "..vWWv...vWWv...",
        "...WWWv..WWWW...",
        "...vWWWWWWWWW...",
        "....vWWWWWWWv...",
        "................",
        "................",
        "................",
    ],
    'dialseek': [
        "................",
        "................",
        "..vWWv...OOO....",
        "..WWWW..OuuuO...",
        "..WWWv..OuuuO...",
        "..WWv...OuuuO...",
        "..WW.....OOOO...",
        "..WW........OO..",
        "..WWv........OO.",
        "..vWWv...vWWv...",
        "...WWWv..WWWW...",
        "...vWWWWWWWWW...",
        "....vWWWWWWWv...",
        "................",
        "................",
        "................",
    ],
    'kestrova': [
        "................",
        "................",
        ".vWWWWWWWWWv....",
        ".WWWWWWWWWWW....",
        ".WWbbWWbbbbW....",
        ".WWbbWWWWWWW....",
        ".WWWWWWllllW....",
        ".WcbbcW..B.B....",
        ".WbbbbW..OOOOO..",
        ".vWWWWv.OOOOOOO.",
        "........WWWWWWW.",
        "........WWWWWWW.",
        "........WqqWOOW.",
        "........WqqWOOW.",
        "........vWWWWWv.",
        "................",
    ],
    'pennote': [
        "................",
        "..WWWWWWq.......",
        "..WWWWWWqq......",
        "..WbbbbWqqq.....",
        "..WWWWWWWWWW.B..",
        "..WllllllllKBBB.",
        "..WWWWWWWWKqBBB.",
        "..WllllllKOOqB..",
        "..WWWWWWKOOOO...",
        "..WllllKOOOO....",
        "..WWWWKOOOOK....",
        "..WllKOOOOKW....",
        "..WWWKyOOKWW....",
        "..WWKyyKWWWW....",
        "..WKgKWWWWWW....",
        "................",
    ],
    'inkleaf': [
        "................",
        "....WWWWWWWW....",
        "....WllllllW....",
        "....WWWWWWWW....",
        "....WllllWWW....",
        ".vWWWWWWWWWWWWv.",
        ".WWWWWWWWWWWWWW.",
        ".WWWWWWWWWWWOWW.",
        ".pppppppppppppp.",
        ".ppBBBBBBBBBBpp.",
        ".pppWWWWWWWWppp.",
        ".vppWWWWWOOWppv.",
        "....WWWWOOOW....",
        "....WWWOOWWW....",
        "....WWOWWWWW....",
        "................",
    ],
}


# A magnifier for 24 px, placed with its top left corner at (13, 3).
MAGNIFIER24 = [
    "..OOO.....",
    ".OOOOO....",
    "OOuuuOO...",
    "OOuuuOO...",
    "OOuuuOO...",
    ".OOOOOO...",
    "..OOOOOO..",
    ".....OOOO.",
    "......OOO.",
]


def pixmap(ic, rows, x0=0, y0=0):
    """Paints a pixel map: one character a pixel, '.' leaves the pixel as it is."""
    for y, row in enumerate(rows):
        for x, ch in enumerate(row):
            if ch == '.':
                continue
            px, py = x0 + x, y0 + y
            col = ic.base_paint(px + 0.5, py + 0.5) if ch == 'K' else PIX[ch]
            ic.c.paint(rbox(px, py, px + 1, py + 1), col)


def pixel_hash(x, y, bar, hole, over):
    """Upright '#' of pixel-aligned bars; (x, y) is its top left corner."""
    span = 2 * over + 2 * bar + hole
    a0, a1 = over, over + bar + hole
    return union(rbox(x + a0, y, x + a0 + bar, y + span), rbox(x + a1, y, x + a1 + bar, y + span),
                 rbox(x, y + a0, x + span, y + a0 + bar), rbox(x, y + a1, x + span, y + a1 + bar))


def small_handset(n):
    if n == 24:
        return handset(13, 10.5, 6.9, 3.4, 5.8, 6.0, a0=58, a1=212, shift=0.4)
    return handset(17.5, 14, 8.8, 4.0, 7.0, 7.4, a0=58, a1=212, shift=0.5)


def small_numseek(ic):
    c, n = ic.c, ic.n
    if n == 16:
        pixmap(ic, ART16['numseek'])
        return c
    c.paint(small_handset(n), PAPER)
    if n == 24:
        c.paint(pixel_hash(14, 3, 1, 2, 1), orange_grad(3, 9))
    else:
        c.paint(pixel_hash(18, 5, 2, 2, 1), orange_grad(5, 13))
    return c


def small_dialseek(ic):
    c, n = ic.c, ic.n
    if n == 16:
        pixmap(ic, ART16['dialseek'])
        return c
    c.paint(small_handset(n), PAPER)
    if n == 24:
        pixmap(ic, MAGNIFIER24, 13, 3)
        return c
    mg = magnifier(21.5, 10, 3.2, 2.2, 3.6, 2.8)
    c.paint(mg['glass'], hx('#ffffff', 0.3))
    c.paint(mg['handle'], ORANGE)
    c.paint(mg['ring'], ORANGE)
    return c


def small_kestrova(ic):
    c, n = ic.c, ic.n
    if n == 16:
        pixmap(ic, ART16['kestrova'])
        return c
    if n == 24:
        card = rbox(2, 5, 19, 17, 1.5)
        c.paint(card, PAPER)
        c.paint(rbox(5, 7, 8, 10, 0.7), BLUE)
        c.paint(rbox(4, 11, 9, 16, 2.2), BLUE, clip=rbox(0, 0, 24, 14))
        c.paint(rbox(10, 7, 17, 9), BLUE)
        c.paint(rbox(10, 10, 15, 11), LINE)
        cal = rbox(13, 13, 22, 22, 1.2)
        ic.knockout(cal, 1.0)
        c.paint(cal, PAPER)
        c.paint(inter(cal, rbox(13, 13, 22, 16)), ORANGE)
        for x in (15, 19):
            c.paint(rbox(x, 12, x + 1, 14), BLUE_DARK)
        c.paint(rbox(14, 17, 17, 20), hx('#b9cde6'))
        c.paint(rbox(18, 17, 21, 20), ORANGE)
    else:
        card = rbox(4, 7, 25, 22, 2)
        c.paint(card, PAPER)
        c.paint(circle(10, 12, 2.0), BLUE)
        c.paint(rbox(6, 15, 14, 22, 3.2), BLUE, clip=rbox(0, 0, 32, 19))
        c.paint(rbox(15, 11, 22, 13), BLUE)
        c.paint(rbox(15, 14, 22, 15), LINE)
        c.paint(rbox(15, 16, 19, 17), LINE)
        cal = rbox(18, 17, 28, 27, 1.5)
        ic.knockout(cal, 1.0)
        c.paint(cal, PAPER)
        c.paint(inter(cal, rbox(18, 17, 28, 20)), orange_grad(17, 20))
        for x in (20, 25):
            c.paint(rbox(x, 15.5, x + 1.5, 18.5, 0.5), BLUE_DARK)
        for j, y in enumerate((21, 24)):
            for i, x in enumerate((19, 22, 25)):
                c.paint(rbox(x, y, x + 2, y + 2), ORANGE if (i, j) == (2, 1) else hx('#b9cde6'))
    return c


def small_pennote(ic):
    c, n = ic.c, ic.n
    if n == 16:
        pixmap(ic, ART16['pennote'])
        return c
    if n == 24:
        c.paint(poly([(5, 2), (14, 2), (18, 6), (18, 22), (5, 22)]), PAPER)
        c.paint(poly([(14, 2), (14, 6), (18, 6)]), hx('#c3d6ee'))
        c.paint(rbox(7, 5, 12, 7), BLUE)
        for y, x1 in ((9, 16), (12, 15), (15, 16), (18, 12)):
            c.paint(rbox(7, y, x1, y + 1), LINE)
        p = pen(9.5, 19.5, 15, 4.4, -45)
    else:
        c.paint(poly([(8, 4), (18, 4), (23, 9), (23, 28), (8, 28)]), PAPER)
        c.paint(poly([(18, 4), (18, 9), (23, 9)]), hx('#c3d6ee'))
        c.paint(rbox(10, 8, 16, 10), BLUE)
        for y, x1 in ((12, 21), (15, 20), (18, 21), (21, 16), (24, 18)):
            c.paint(rbox(10, y, x1, y + 1), LINE)
        c.paint(rbox(10, 15, 13, 16), BLUE)
        p = pen(13.5, 25.5, 19, 5.2, -45)
    ic.knockout(p['all'], 1.0)
    c.paint(p['wood'], hx('#f6d6a8'))
    c.paint(p['lead'], hx('#2a3a52'))
    c.paint(p['body'], ORANGE)
    c.paint(p['cap'], BLUE_DARK)
    c.paint(p['band'], hx('#dfe8f4'))
    return c


def small_inkleaf(ic):
    c, n = ic.c, ic.n
    if n == 16:
        pixmap(ic, ART16['inkleaf'])
        return c
    body_paint = lin(0, 0, 0, n, [(0.3, hx('#ffffff')), (0.7, hx('#d3e0f1'))])
    if n == 24:
        c.paint(rbox(7, 3, 17, 10), PAPER)
        c.paint(rbox(9, 5, 15, 6), LINE)
        c.paint(rbox(3, 9, 21, 17, 2), body_paint)
        c.paint(rbox(17, 11, 19, 13), ORANGE)
        c.paint(rbox(5, 14, 19, 16, 0.8), BLUE_DARK)
        c.paint(rbox(7, 15, 17, 22, 0.8), PAPER, clip=rbox(0, 15, 24, 24))
        c.paint(rbox(7, 15, 17, 16), hx('#0a2a55', 0.25))
        c.paint(leaf(12, 18.6, 5.6, 2.8, 45), ORANGE)
    else:
        c.paint(rbox(10, 5, 22, 14, 1), PAPER)
        c.paint(rbox(12, 7, 20, 8), LINE)
        c.paint(rbox(12, 9, 18, 10), LINE)
        c.paint(rbox(5, 12, 27, 23, 2.5), body_paint)
        c.paint(rbox(22, 14, 24, 16), ORANGE)
        c.paint(rbox(7, 18, 25, 20, 1), BLUE_DARK)
        c.paint(rbox(10, 19, 22, 28, 1), PAPER, clip=rbox(0, 19, 32, 32))
        c.paint(rbox(10, 19, 22, 20), hx('#0a2a55', 0.25))
        c.paint(leaf(16, 23.8, 6.6, 3.2, 45), orange_grad(21, 27))
    return c


ICONS = {
    'dialvane-numseek': numseek,
    'dialvane-dialseek': dialseek,
    'dialvane-kestrova': kestrova,
    'dialvane-pennote': pennote,
    'dialvane-inkleaf': inkleaf,
}

for name, fn in ICONS.items():
    for n in SIZES:
        fn(n).png(os.path.join(OUT, '%dx%d' % (n, n), 'apps', name + '.png'))
PY

if [ -n "$preview" ]; then
  command -v convert >/dev/null || { echo "the preview needs ImageMagick 'convert'" >&2; exit 1; }
  mkdir -p "$preview"
  names="dialvane-numseek dialvane-dialseek dialvane-kestrova dialvane-pennote dialvane-inkleaf"
  tmp="$(mktemp -d)"
  trap 'rm -rf "$tmp"' EXIT
  actual=()
  for bg in '#f2f2f2' '#2b2b2b'; do
    tag=$([ "$bg" = '#f2f2f2' ] && echo light || echo dark)
    rows=()
    true_rows=()
    for name in $names; do
      cells=()
      # Small sizes enlarged four times pixel for pixel, large ones as they are.
      for n in 16 24 32 48; do
        convert "$out/${n}x${n}/apps/$name.png" -filter point -resize 400% \
          -background "$bg" -gravity center -extent 208x264 "$tmp/$name-$n-$tag.png"
        cells+=("$tmp/$name-$n-$tag.png")
      done
      for n in 64 128 256; do
        convert "$out/${n}x${n}/apps/$name.png" -background "$bg" -gravity center \
          -extent "$((n + 16))x264" "$tmp/$name-$n-$tag.png"
        cells+=("$tmp/$name-$n-$tag.png")
      done
      convert -background "$bg" "${cells[@]}" +append "$tmp/row-$name-$tag.png"
      rows+=("$tmp/row-$name-$tag.png")
      # Every size at its true size.
      tcells=()
      for n in 16 24 32 48 64 128; do
        convert "$out/${n}x${n}/apps/$name.png" -background "$bg" -gravity center \
          -extent "$((n + 12))x140" "$tmp/$name-t$n-$tag.png"
        tcells+=("$tmp/$name-t$n-$tag.png")
      done
      convert -background "$bg" "${tcells[@]}" +append "$tmp/trow-$name-$tag.png"
      true_rows+=("$tmp/trow-$name-$tag.png")
    done
    convert -background "$bg" "${rows[@]}" -append -alpha remove "$preview/sheet-$tag.png"
    convert -background "$bg" "${true_rows[@]}" -append -alpha remove "$tmp/actual-$tag.png"
    actual+=("$tmp/actual-$tag.png")
  done
  convert "${actual[@]}" +append "$preview/sheet-actual.png"
  echo "preview: $preview/sheet-light.png $preview/sheet-dark.png $preview/sheet-actual.png"
fi
