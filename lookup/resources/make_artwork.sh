#!/usr/bin/env bash
# Regenerates every picture of the lookup window from scratch.
#
#   bash lookup/resources/make_artwork.sh [output-dir]
#
# Output (default: the directory of this script):
#   welcome.jpg        505x334  welcome picture shown over the result pane
#   skin.jpg           271x218  frame skin; the window cuts its frame pieces
#                               out of it (bands, edges, corners, and the rest
#                               look of the minimise/close buttons top right)
#   ico.bmp            16x16    title icon
#   min_hover.bmp      18x16    minimise button, hover
#   min_pressed.bmp    17x16    minimise button, pressed
#   close_hover.bmp    16x16    close button, hover
#   close_pressed.bmp  16x16    close button, pressed
#   help.png save.png print.png  19x19 side buttons (transparent)
#   command1.json               stored settings of the search button Command1
#                               (its property bag, mouse icon = hand.png)
#   hand.png, hand.cur 32x32    pointing-hand mouse pointer,
#                               HOTSPOT x=6 y=0 (top of the index finger,
#                               its left tip pixel); hand.cur carries the
#                               same hotspot in its directory entry.
#
# Skin geometry (pixels; the window works in twips, 15 per pixel):
#   title band   rows 0..27 blue, row 28 dark rule, rows 29..31 soft shadow,
#                rows 32..39 window background #FAFAFA
#   side edges   cols 0..4 blue, col 5 dark rule, cols 6..8 shadow, rest #FAFAFA
#   bottom band  rows h-40..h-27 #FAFAFA, h-26/h-25 glow, h-24 dark rule,
#                h-23..h-1 blue strip (the white ownership line sits on it)
#   top-right corner piece = skin x 160..270, y 0..28; inside it the rest
#   glyph of "minimise" is centred in the 17x16 box at piece (68,5) and the
#   rest glyph of "close" in the 16x16 box at piece (90,5).
#   Hover/pressed bitmaps are cut from the same band so they blend in.
#
# Only python3 (standard library) and ImageMagick's convert are used; the
# output is byte-for-byte repeatable on the same tool versions.
set -euo pipefail

here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
out="${1:-$here}"
mkdir -p "$out"
out="$(cd "$out" && pwd)"

command -v convert >/dev/null || { echo "ImageMagick 'convert' is required" >&2; exit 1; }
command -v python3 >/dev/null || { echo "python3 is required" >&2; exit 1; }

HEI=/usr/share/fonts/truetype/wqy/wqy-microhei.ttc
LATIN_BOLD=/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf
for f in "$HEI" "$LATIN_BOLD"; do
  [ -f "$f" ] || { echo "missing font $f (fonts-wqy-microhei, fonts-dejavu-core)" >&2; exit 1; }
done

tmp="$(mktemp -d)"
trap 'rm -rf "$tmp"' EXIT

# Texts of the welcome picture.
HINT='输入号码或名称，点击“查看”开始查询'
HINT_PT=12
# Width of the hint line decides the width of the pill drawn around it.
hint_w="$(convert -font "$HEI" -pointsize "$HINT_PT" label:"$HINT" -format '%w' info:)"

python3 - "$tmp" "$out" "$hint_w" <<'PY'
import math, os, struct, sys, zlib

tmp, out, hint_w = sys.argv[1], sys.argv[2], int(sys.argv[3])

# ---------------------------------------------------------------- raster kit

def clamp(v, lo=0.0, hi=1.0):
    return lo if v < lo else hi if v > hi else v

def mix(a, b, t):
    return tuple(a[i] + (b[i] - a[i]) * t for i in range(len(a)))

def hx(s):
    s = s.lstrip('#')
    return tuple(int(s[i:i + 2], 16) for i in (0, 2, 4))

def vgrad(stops):
    """Colour function of y from [(y, colour), ...] (sorted)."""
    def f(x, y):
        if y <= stops[0][0]:
            return stops[0][1]
        for (y0, c0), (y1, c1) in zip(stops, stops[1:]):
            if y <= y1:
                return mix(c0, c1, (y - y0) / (y1 - y0))
        return stops[-1][1]
    return f

class Img:
    def __init__(self, w, h, fill=(0, 0, 0, 0)):
        if len(fill) == 3:
            fill = tuple(fill) + (255,)
        self.w, self.h = w, h
        self.p = [list(map(float, fill)) for _ in range(w * h)]

    def px(self, x, y):
        return self.p[y * self.w + x]

    def put(self, x, y, c, cov=1.0):
        if not (0 <= x < self.w and 0 <= y < self.h):
            return
        a = (c[3] / 255.0 if len(c) == 4 else 1.0) * cov
        if a <= 0.0:
            return
        d = self.p[y * self.w + x]
        da = d[3] / 255.0
        oa = a + da * (1.0 - a)
        for i in range(3):
            d[i] = (c[i] * a + d[i] * da * (1.0 - a)) / oa
        d[3] = oa * 255.0

    def set(self, x, y, c):
        if 0 <= x < self.w and 0 <= y < self.h:
            self.p[y * self.w + x] = list(map(float, tuple(c) + ((255,) if len(c) == 3 else ())))

    def fill(self, sdf, colour, box=None, soft=1.0, alpha=1.0):
        """Paint where sdf < 0, antialiased over `soft` pixels."""
        x0, y0, x1, y1 = box if box else (0, 0, self.w, self.h)
        x0, y0 = max(0, int(math.floor(x0))), max(0, int(math.floor(y0)))
        x1, y1 = min(self.w, int(math.ceil(x1))), min(self.h, int(math.ceil(y1)))
        fn = colour if callable(colour) else None
        for y in range(y0, y1):
            for x in range(x0, x1):
                cx, cy = x + 0.5, y + 0.5
                cov = clamp(0.5 - sdf(cx, cy) / soft) * alpha
                if cov > 0.0:
                    self.put(x, y, fn(cx, cy) if fn else colour, cov)

    def crop(self, x, y, w, h):
        r = Img(w, h)
        for j in range(h):
            for i in range(w):
                r.p[j * w + i] = list(self.px(x + i, y + j))
        return r

    def paste(self, src, x, y):
        for j in range(src.h):
            for i in range(src.w):
                s = src.px(i, j)
                self.put(x + i, y + j, s)

    def rows8(self, alpha):
        for y in range(self.h):
            row = bytearray()
            for x in range(self.w):
                c = self.px(x, y)
                vals = c if alpha else c[:3]
                row += bytes(int(round(clamp(v, 0, 255))) for v in vals)
            yield bytes(row)

def write_ppm(path, img):
    with open(path, 'wb') as f:
        f.write(b'P6\n%d %d\n255\n' % (img.w, img.h))
        for r in img.rows8(False):
            f.write(r)

def write_png(path, img):
    raw = b''.join(b'\x00' + r for r in img.rows8(True))
    def chunk(t, d):
        return struct.pack('>I', len(d)) + t + d + struct.pack('>I', zlib.crc32(t + d) & 0xffffffff)
    data = (b'\x89PNG\r\n\x1a\n'
            + chunk(b'IHDR', struct.pack('>IIBBBBB', img.w, img.h, 8, 6, 0, 0, 0))
            + chunk(b'IDAT', zlib.compress(raw, 9))
            + chunk(b'IEND', b''))
    with open(path, 'wb') as f:
        f.write(data)

def write_bmp(path, img):
    """24-bit uncompressed Windows bitmap."""
    stride = (img.w * 3 + 3) & ~3
    rows = list(img.rows8(False))
    pix = bytearray()
    for r in reversed(rows):
        bgr = bytearray()
        for i in range(0, len(r), 3):
            bgr += bytes((r[i + 2], r[i + 1], r[i]))
        pix += bgr + b'\x00' * (stride - len(bgr))
    head = struct.pack('<2sIHHI', b'BM', 14 + 40 + len(pix), 0, 0, 54)
    info = struct.pack('<IiiHHIIiiII', 40, img.w, img.h, 1, 24, 0, len(pix), 2835, 2835, 0, 0)
    with open(path, 'wb') as f:
        f.write(head + info + pix)

def write_cur(path, img, hot_x, hot_y):
    """Windows cursor: one 32-bit image with alpha and an AND mask."""
    w, h = img.w, img.h
    rows = list(img.rows8(True))
    xor = bytearray()
    for r in reversed(rows):
        for i in range(0, len(r), 4):
            xor += bytes((r[i + 2], r[i + 1], r[i], r[i + 3]))
    mstride = ((w + 31) // 32) * 4
    mask = bytearray()
    for r in reversed(rows):
        line = bytearray(mstride)
        for x in range(w):
            if r[x * 4 + 3] == 0:
                line[x // 8] |= 0x80 >> (x % 8)
        mask += line
    info = struct.pack('<IiiHHIIiiII', 40, w, h * 2, 1, 32, 0, len(xor) + len(mask), 0, 0, 0, 0)
    res = info + xor + mask
    head = struct.pack('<HHH', 0, 2, 1)
    entry = struct.pack('<BBBBHHII', w & 0xff, h & 0xff, 0, 0, hot_x, hot_y, len(res), 6 + 16)
    with open(path, 'wb') as f:
        f.write(head + entry + res)

# ------------------------------------------------------------ distance fields

def sd_circle(cx, cy, r):
    return lambda x, y: math.hypot(x - cx, y - cy) - r

def sd_ring(cx, cy, r, half):
    return lambda x, y: abs(math.hypot(x - cx, y - cy) - r) - half

def sd_rrect(x0, y0, x1, y1, r):
    cx, cy = (x0 + x1) / 2.0, (y0 + y1) / 2.0
    hx_, hy_ = (x1 - x0) / 2.0 - r, (y1 - y0) / 2.0 - r
    def f(x, y):
        qx, qy = abs(x - cx) - hx_, abs(y - cy) - hy_
        return math.hypot(max(qx, 0.0), max(qy, 0.0)) + min(max(qx, qy), 0.0) - r
    return f

def sd_capsule(ax, ay, bx, by, r):
    bax, bay = bx - ax, by - ay
    ll = bax * bax + bay * bay
    def f(x, y):
        pax, pay = x - ax, y - ay
        t = clamp((pax * bax + pay * bay) / ll)
        return math.hypot(pax - bax * t, pay - bay * t) - r
    return f

def sd_arc(cx, cy, rm, half, a0, a1):
    """Band of radius rm +- half between angles a0..a1 (radians, y down), round ends."""
    e0 = (cx + rm * math.cos(a0), cy + rm * math.sin(a0))
    e1 = (cx + rm * math.cos(a1), cy + rm * math.sin(a1))
    def f(x, y):
        a = math.atan2(y - cy, x - cx)
        while a < a0:
            a += 2 * math.pi
        if a <= a1:
            return abs(math.hypot(x - cx, y - cy) - rm) - half
        return min(math.hypot(x - e0[0], y - e0[1]), math.hypot(x - e1[0], y - e1[1])) - half
    return f

def sd_poly(pts):
    """Signed distance to a simple polygon."""
    def f(x, y):
        d, sign, n = 1e9, 1.0, len(pts)
        for i in range(n):
            ax, ay = pts[i]
            bx, by = pts[(i + 1) % n]
            ex, ey, wx, wy = bx - ax, by - ay, x - ax, y - ay
            t = clamp((wx * ex + wy * ey) / (ex * ex + ey * ey))
            d = min(d, math.hypot(wx - ex * t, wy - ey * t))
            c1, c2, c3 = ay <= y, by > y, ex * wy > ey * wx
            if (c1 and c2 and c3) or (not c1 and not c2 and not c3):
                sign = -sign
        return sign * d
    return f

def sd_union(*fs):
    return lambda x, y: min(f(x, y) for f in fs)

def sd_cut(a, b):
    return lambda x, y: max(a(x, y), -b(x, y))

def sd_scaled(f, ox, oy, s):
    return lambda x, y: f((x - ox) / s, (y - oy) / s) * s

def sd_shift(f, dx, dy):
    return lambda x, y: f(x - dx, y - dy)

def sd_box_at(cx, cy, ang, hu, hv, r):
    """Rounded rectangle centred at (cx, cy), half sizes hu along angle ang and hv across."""
    ux, uy = math.cos(ang), math.sin(ang)
    base = sd_rrect(-hu, -hv, hu, hv, r)
    return lambda x, y: base((x - cx) * ux + (y - cy) * uy, -(x - cx) * uy + (y - cy) * ux)

def sd_smooth_union(a, b, k):
    def f(x, y):
        da, db = a(x, y), b(x, y)
        h = clamp(0.5 + 0.5 * (db - da) / k)
        return db + (da - db) * h - k * h * (1.0 - h)
    return f

def handset(half=0.09):
    """Telephone receiver in the unit square: earpiece top left, mouthpiece bottom right,
    handle bowed towards the lower left."""
    cx, cy, rm = 0.88, 0.12, 0.64
    a0, a1 = math.radians(100), math.radians(170)
    shape = sd_arc(cx, cy, rm, half, a0, a1)
    for a, side in ((a0, -1), (a1, 1)):
        ux, uy = math.cos(a), math.sin(a)
        tx, ty = -uy * side, ux * side
        cup = sd_box_at(cx + (rm - 0.05) * ux + 0.05 * tx, cy + (rm - 0.05) * uy + 0.05 * ty,
                        a, 0.11, 0.16, 0.10)
        shape = sd_smooth_union(shape, cup, 0.05)
    return shape

def desk_phone():
    """Desk telephone for a 16x16 cell: handset on the cradle, dial in the body."""
    hand = sd_union(sd_rrect(1.9, 1.9, 14.1, 4.6, 1.5),
                    sd_rrect(1.6, 2.4, 5.0, 6.6, 1.5), sd_rrect(11.0, 2.4, 14.4, 6.6, 1.5))
    trap = sd_poly([(6.0, 6.8), (10.0, 6.8), (13.2, 13.0), (2.8, 13.0)])
    body = lambda x, y: trap(x, y) - 0.7
    return sd_cut(sd_union(hand, body), sd_ring(8.0, 10.0, 1.6, 0.6))

# ------------------------------------------------------------------ palette

NAVY = hx('16345F')
OUTLINE = hx('173F7A')
RULE = hx('16468C')
BLUE_D = hx('1E5AAE')
BLUE = hx('2C6FC4')
BLUE_L = hx('5EA2E8')
SKY = hx('8CC0F2')
ORANGE = hx('F39C32')
ORANGE_D = hx('D9781A')
GREEN = hx('4CB782')
BG = hx('FAFAFA')
WHITE = (255, 255, 255)

# ------------------------------------------------------------------- region

def region_inside(w, h):
    """The window outline: two notched rectangles and four corner ellipses."""
    ells = [(-2, 0, 15, 35), (w - 15, 0, w + 2, 20), (-1, h - 20, 10, h), (w - 20, h - 40, w + 3, h + 4)]
    def inside(x, y):
        if 0 <= x < w and 5 <= y < h - 5:
            return True
        if 5 <= x < w - 5 and 0 <= y < h:
            return True
        for l, t, r, b in ells:
            ex, ey = (l + r) / 2.0, (t + b) / 2.0
            rx, ry = (r - l) / 2.0, (b - t) / 2.0
            if ((x + 0.5 - ex) / rx) ** 2 + ((y + 0.5 - ey) / ry) ** 2 <= 1.0:
                return True
        return False
    return inside

def ring_depth(w, h, inside, limit=3):
    """Chessboard distance from the outside of the region, capped at limit."""
    d = [[limit] * w for _ in range(h)]
    for y in range(h):
        for x in range(w):
            if not inside(x, y):
                d[y][x] = 0
                continue
            best = limit
            for r in range(1, limit):
                hit = False
                for j in range(-r, r + 1):
                    for i in range(-r, r + 1):
                        if max(abs(i), abs(j)) != r:
                            continue
                        xx, yy = x + i, y + j
                        if not (0 <= xx < w and 0 <= yy < h) or not inside(xx, yy):
                            hit = True
                            break
                    if hit:
                        break
                if hit:
                    best = r
                    break
            d[y][x] = best
    return d

# --------------------------------------------------------------------- skin

SKIN_W, SKIN_H = 271, 218
TITLE = vgrad([(0, hx('6FB1F2')), (13.5, hx('4A90DE')), (14.5, hx('3478CB')), (27, hx('2462B4'))])
STRIP = vgrad([(0, hx('4A90DE')), (10, hx('3478CB')), (22, hx('2462B4'))])
SHADOW = {0: hx('BFD3EC'), 1: hx('DEE7F3'), 2: hx('F1F4F8')}
SIDE = {2: hx('4A90DE'), 3: hx('3A80D2'), 4: hx('2E70C2')}

def skin_base(x, y, w, h):
    """Frame colour before the outer outline/bevel rings."""
    xe = min(x, w - 1 - x)
    if y <= 27:
        return TITLE(x, y)
    if y == 28:
        return RULE
    r = y - (h - 40)                      # row inside the bottom band
    if r >= 17:
        return STRIP(x, r - 17)
    if r == 16:
        return RULE
    if xe <= 4:
        return SIDE.get(xe, SIDE[2])
    if xe == 5:
        return RULE
    c = BG
    s = xe - 6
    if s in SHADOW:
        c = SHADOW[s]
    t = y - 29
    if t in SHADOW:
        c = tuple(min(a, b) for a, b in zip(c, SHADOW[t]))
    if r in (14, 15):
        g = hx('EAF0F8') if r == 14 else hx('D3E0F1')
        c = tuple(min(a, b) for a, b in zip(c, g))
    return c

def make_skin():
    w, h = SKIN_W, SKIN_H
    inside = region_inside(w, h)
    depth = ring_depth(w, h, inside)
    img = Img(w, h, BG)
    for y in range(h):
        for x in range(w):
            d = depth[y][x]
            base = skin_base(x, y, w, h)
            if d <= 1:
                c = OUTLINE
            elif d == 2:
                c = mix(base, WHITE, 0.38)
            else:
                c = base
            img.set(x, y, c)
    return img

# Rest / hover / pressed glyphs of the two title buttons.
MIN_BOX = (160 + 68, 5)      # skin position of the 17x16 minimise box
CLOSE_BOX = (160 + 90, 5)    # skin position of the 16x16 close box

CLOSE_X = [
    '##....##',
    '###..###',
    '.######.',
    '..####..',
    '..####..',
    '.######.',
    '###..###',
    '##....##',
]
MIN_BAR = ['#########', '#########']

def stamp(img, pattern, ox, oy, colour, shade):
    """Crisp glyph with a one-pixel drop shade below/right where the glyph is not."""
    on = {(ox + i, oy + j) for j, row in enumerate(pattern) for i, ch in enumerate(row) if ch == '#'}
    if shade:
        for (x, y) in sorted(on):
            for dx, dy in ((0, 1),):
                if (x + dx, y + dy) not in on:
                    img.put(x + dx, y + dy, shade)
    for (x, y) in sorted(on):
        img.set(x, y, colour)

def glyph_min(img, ox, oy, colour, shade):
    stamp(img, MIN_BAR, ox + 4, oy + 10, colour, shade)

def glyph_close(img, ox, oy, colour, shade):
    stamp(img, CLOSE_X, ox + 4, oy + 4, colour, shade)

def face(img, w, h, top, bottom, border, inner):
    r = sd_rrect(0, 0, w, h, 3.2)
    img.fill(r, border)
    body = sd_rrect(1, 1, w - 1, h - 1, 2.3)
    img.fill(body, vgrad([(1, top), (h - 1, bottom)]))
    if inner:
        img.fill(sd_rrect(1.0, 1.0, w - 1.0, 2.0, 0.5), inner, (1, 1, w - 1, 2))

def button_picture(skin, box, w, kind, state):
    pic = skin.crop(box[0], box[1], w, 16)
    shade = (10, 30, 70, 110)
    if kind == 'min':
        if state == 'hover':
            face(pic, w, 16, hx('A9D2FA'), hx('5C9FE6'), (235, 246, 255, 235), (255, 255, 255, 150))
            glyph_min(pic, 0, 0, WHITE, (20, 60, 130, 120))
        else:
            face(pic, w, 16, hx('163E78'), hx('2A66B4'), (10, 34, 74, 255), (0, 0, 0, 70))
            glyph_min(pic, 1, 1, hx('E6EEF9'), None)
    else:
        if state == 'hover':
            face(pic, w, 16, hx('F7907F'), hx('D8402F'), (255, 232, 226, 235), (255, 255, 255, 150))
            glyph_close(pic, 0, 0, WHITE, (120, 20, 10, 120))
        else:
            face(pic, w, 16, hx('8E1C14'), hx('BE3A2C'), (70, 12, 8, 255), (0, 0, 0, 70))
            glyph_close(pic, 1, 1, hx('F6E4E0'), None)
    return pic

def title_icon(skin):
    ico = skin.crop(7, 5, 16, 16)
    ico.fill(sd_rrect(0, 0, 16, 16, 3.6), (12, 40, 90, 255))
    ico.fill(sd_rrect(0.9, 0.9, 15.1, 15.1, 2.8), vgrad([(1, hx('FFC964')), (15, hx('EE8A1E'))]))
    phone = sd_shift(desk_phone(), 0, 0.2)
    ico.fill(sd_shift(phone, 0.3, 0.7), (120, 60, 0, 110))
    ico.fill(phone, WHITE)
    return ico

skin_plain = make_skin()
skin = skin_plain.crop(0, 0, SKIN_W, SKIN_H)
glyph_min(skin, MIN_BOX[0], MIN_BOX[1], WHITE, (10, 40, 95, 130))
glyph_close(skin, CLOSE_BOX[0], CLOSE_BOX[1], WHITE, (10, 40, 95, 130))
write_ppm(os.path.join(tmp, 'skin.ppm'), skin)

write_bmp(os.path.join(out, 'min_hover.bmp'), button_picture(skin_plain, MIN_BOX, 18, 'min', 'hover'))
write_bmp(os.path.join(out, 'min_pressed.bmp'), button_picture(skin_plain, MIN_BOX, 17, 'min', 'pressed'))
write_bmp(os.path.join(out, 'close_hover.bmp'), button_picture(skin_plain, CLOSE_BOX, 16, 'close', 'hover'))
write_bmp(os.path.join(out, 'close_pressed.bmp'), button_picture(skin_plain, CLOSE_BOX, 16, 'close', 'pressed'))
write_bmp(os.path.join(out, 'ico.bmp'), title_icon(skin_plain))

# ------------------------------------------------------------- side buttons

def pixel_art(rows, palette):
    img = Img(len(rows[0]), len(rows))
    for y, row in enumerate(rows):
        assert len(row) == img.w, (y, row)
        for x, ch in enumerate(row):
            if ch != '.':
                img.set(x, y, palette[ch])
    return img

def help_icon():
    img = Img(19, 19)
    img.fill(sd_circle(9.5, 10.0, 8.6), (20, 60, 120, 60))
    img.fill(sd_circle(9.5, 9.5, 8.6), hx('1B5AA8'))
    img.fill(sd_circle(9.5, 9.5, 7.6), vgrad([(2, hx('7DB8F2')), (17, hx('2A6CC2'))]))
    img.fill(sd_rrect(4.2, 2.4, 14.8, 8.0, 3.0), (255, 255, 255, 55))
    q = [
        '.####.',
        '##..##',
        '....##',
        '...##.',
        '..##..',
        '..##..',
        '......',
        '..##..',
    ]
    for j, row in enumerate(q):
        for i, ch in enumerate(row):
            if ch == '#':
                img.put(7 + i, 6 + j, (12, 45, 100, 120))
    for j, row in enumerate(q):
        for i, ch in enumerate(row):
            if ch == '#':
                img.set(6 + i, 5 + j, WHITE)
    return img

def save_icon():
    """Floppy disk with a pencil across its label."""
    K, B, b, d = hx('1C3F73'), hx('3A7FD0'), hx('77B0EE'), hx('2A63AE')
    S, s_, h = hx('DCE2EA'), hx('A7B2C2'), hx('50627C')
    W, l = hx('FFFFFF'), hx('A9BDD6')
    img = Img(19, 19)
    for y in range(1, 16):
        for x in range(1, 16):
            if x + (16 - y) > 28:          # chamfered top right corner
                continue
            edge = x in (1, 15) or y in (1, 15) or x + (16 - y) == 28
            img.set(x, y, K if edge else (b if x == 2 else (d if y == 14 else B)))
    for y in range(2, 7):
        for x in range(4, 12):
            img.set(x, y, s_ if y == 6 else (h if x in (9, 10) and y < 6 else S))
    for y in range(9, 15):
        for x in range(3, 14):
            img.set(x, y, l if y in (11, 13) and 4 <= x <= 12 else W)
    # pencil, tip at the lower left, drawn crisp from its own axis frame
    tipx, tipy, L, R = 7.6, 17.6, 12.6, 2.0
    ax, ay = math.sqrt(0.5), -math.sqrt(0.5)
    def local(x, y):
        dx, dy = x + 0.5 - tipx, y + 0.5 - tipy
        return dx * ax + dy * ay, -dx * ay + dy * ax
    def inside(x, y):
        u, v = local(x, y)
        if u < 0 or u > L:
            return False
        return abs(v) <= (R * u / 4.2 if u < 4.2 else R)
    pen = {}
    for y in range(19):
        for x in range(19):
            if not inside(x, y):
                continue
            u, v = local(x, y)
            if any(not inside(x + i, y + j) for i, j in ((1, 0), (-1, 0), (0, 1), (0, -1))):
                c = hx('4A2E0C')
                if u < 1.8:
                    c = hx('262626')
            elif u < 1.8:
                c = hx('333333')
            elif u < 4.2:
                c = hx('F3D6A4')
            elif u > L - 2.6:
                c = hx('F08A8A') if v < 0.3 else hx('C85A5A')
            elif u > L - 4.0:
                c = hx('C3CBD6') if v < 0.3 else hx('8E99A8')
            else:
                c = hx('FFD45C') if v < -0.6 else (hx('E29A1B') if v > 0.6 else hx('FBBE3A'))
            pen[(x, y)] = c
    for (x, y), c in sorted(pen.items()):
        img.set(x, y, c)
    return img

def print_icon():
    pal = {
        'K': hx('3E4756'), 'k': hx('6B7687'),
        'W': hx('FFFFFF'), 'l': hx('8FB4E0'), 'f': hx('E9EEF4'),
        'G': hx('E7EAF0'), 'g': hx('C9CFD9'), 'm': hx('A9B1BE'), 'D': hx('596273'),
        'L': hx('37C46B'), 'B': hx('2C6FC4'),
    }
    rows = [
        '...................',
        '....KKKKKKKKKK.....',
        '....KWWWWWWWWK.....',
        '....KWllllllWK.....',
        '....KWWWWWWWWK.....',
        '....KWlllllWWK.....',
        '.KKKKKKKKKKKKKKKKK.',
        'KGGGGGGGGGGGGGGGGGK',
        'KGGGGGGGGGGGGGLLGGK',
        'KgggggggggggggggggK',
        'KgggggggggggggggggK',
        'KmmmDDDDDDDDDDDmmmK',
        'KmmmKWWWWWWWWWKmmmK',
        '.KKKKWllllllWKKKKK.',
        '....KWWWWWWWWWK....',
        '....KWlllllllWK....',
        '....KWWWWWWWWWK....',
        '....KKKKKKKKKKK....',
        '...................',
    ]
    return pixel_art(rows, pal)

write_png(os.path.join(out, 'help.png'), help_icon())
write_png(os.path.join(out, 'save.png'), save_icon())
write_png(os.path.join(out, 'print.png'), print_icon())

# ------------------------------------------------------------- hand pointer

HAND = [
    '......XX........................',
    '.....X..X.......................',
    '.....X..X.......................',
    '.....X..X.......................',
    '.....X..X.......................',
    '.....X..XXX.....................',
    '.....X..X..XXX..................',
    '.....X..X..X..XX................',
    '.XX..X..X..X..X.X...............',
    'X..X.X........X..X..............',
    'X...XX...........X..............',
    '.X...X...........X..............',
    '..X..............X..............',
    '..X.............X...............',
    '...X............X...............',
    '....X..........X................',
    '....X..........X................',
    '.....X.........X................',
    '.....XXXXXXXXXXX................',
]
HOT = (6, 0)

def hand_pointer():
    w = h = 32
    img = Img(w, h)
    grid = [row.ljust(w, ' ') for row in HAND] + [' ' * w] * (h - len(HAND))
    # the inside of the outline: flood from the outside, everything not reached is hand
    outside = [[False] * w for _ in range(h)]
    stack = [(x, y) for x in range(w) for y in (0, h - 1)] + [(x, y) for y in range(h) for x in (0, w - 1)]
    while stack:
        x, y = stack.pop()
        if not (0 <= x < w and 0 <= y < h) or outside[y][x] or grid[y][x] == 'X':
            continue
        outside[y][x] = True
        stack += [(x + 1, y), (x - 1, y), (x, y + 1), (x, y - 1)]
    shadow = (0, 0, 0, 70)
    for y in range(h):
        for x in range(w):
            if not outside[y][x] and x + 1 < w and y + 1 < h:
                img.put(x + 1, y + 1, shadow)
    for y in range(h):
        for x in range(w):
            if grid[y][x] == 'X':
                img.set(x, y, (0, 0, 0))
            elif not outside[y][x]:
                img.set(x, y, WHITE)
    return img

hand = hand_pointer()
write_png(os.path.join(out, 'hand.png'), hand)
write_cur(os.path.join(out, 'hand.cur'), hand, *HOT)

# ------------------------------------------------------------ welcome base

def welcome():
    W, H = 505, 334
    img = Img(W, H, BG)
    top, bot = hx('F6FAFF'), hx('D3E4F7')
    for y in range(H):
        for x in range(W):
            img.set(x, y, mix(top, bot, clamp(0.65 * y / H + 0.35 * x / W)))
    # soft light disc and ring top right
    img.fill(sd_circle(478, 30, 175), (255, 255, 255, 95), soft=2)
    img.fill(sd_ring(478, 30, 132, 0.6), (255, 255, 255, 170))
    img.fill(sd_ring(478, 30, 205, 0.6), (44, 111, 196, 28))
    # dotted texture top left
    for j in range(5):
        for i in range(9):
            cx, cy = 22 + i * 10, 20 + j * 10
            img.fill(sd_circle(cx, cy, 1.15), (44, 111, 196, 40), (cx - 3, cy - 3, cx + 3, cy + 3))
    # waves at the bottom
    def wave(base, amp, per, ph):
        return lambda x: base + amp * math.sin(x / W * 2 * math.pi * per + ph)
    back = wave(281, 7, 1.1, 0.6)
    front = wave(295, 6, 0.9, 2.6)
    for x in range(W):
        yb, yf = back(x + 0.5), front(x + 0.5)
        for y in range(int(yb) - 1, H):
            img.put(x, y, (94, 162, 232, 90), clamp(y + 0.5 - yb + 0.5))
        for y in range(int(yf) - 1, H):
            c = mix(BLUE, BLUE_D, clamp((y - yf) / (H - yf)))
            img.put(x, y, c, clamp(y + 0.5 - yf + 0.5))
        # thin light crest on the front wave
        y = int(yf)
        img.put(x, y, (255, 255, 255, 70), 1.0 - (yf - y))

    # ---- directory book
    bx0, by0, bx1, by1 = 64, 46, 186, 230
    img.fill(sd_rrect(bx0 + 6, by0 + 12, bx1 + 10, by1 + 12, 12), (22, 52, 95, 60), soft=9)
    # page block behind the cover
    img.fill(sd_rrect(bx0 + 8, by0 + 6, bx1 + 8, by1 + 4, 8), hx('B9CCE4'))
    img.fill(sd_rrect(bx0 + 8, by0 + 7, bx1 + 7, by1 + 3, 7), hx('F2F6FB'))
    for k in range(1, 7):
        x = bx1 + k
        img.fill(sd_rrect(x - 0.5, by0 + 10, x + 0.5, by1 - 2, 0.5), (150, 175, 205, 70))
    # cover
    img.fill(sd_rrect(bx0, by0, bx1, by1, 10), hx('A9C2E2'))
    img.fill(sd_rrect(bx0 + 1, by0 + 1, bx1 - 1, by1 - 1, 9), WHITE)
    # spine
    spine = sd_cut(sd_rrect(bx0, by0, bx1, by1, 10), sd_rrect(bx0 + 18, by0 - 5, bx1 + 5, by1 + 5, 0))
    img.fill(spine, vgrad([(by0, hx('3C86DA')), (by1, hx('1E56A6'))]))
    for yy in (by0 + 22, by1 - 22):
        img.fill(sd_rrect(bx0 + 4, yy, bx0 + 14, yy + 2, 1), (255, 255, 255, 110))
    # header panel on the cover
    img.fill(sd_rrect(bx0 + 28, by0 + 14, bx1 - 12, by0 + 44, 6), hx('EAF2FC'))
    img.fill(sd_rrect(bx0 + 36, by0 + 22, bx0 + 88, by0 + 27, 2.5), hx('2C6FC4'))
    img.fill(sd_rrect(bx0 + 36, by0 + 32, bx0 + 70, by0 + 36, 2), hx('9DBFE6'))
    # entries
    dots = [BLUE_L, ORANGE, GREEN, hx('9C86DE'), BLUE_L]
    for k in range(5):
        yy = by0 + 62 + k * 26
        img.fill(sd_circle(bx0 + 40, yy, 8), dots[k])
        img.fill(sd_circle(bx0 + 40, yy - 2.5, 2.8), (255, 255, 255, 220))
        img.fill(sd_rrect(bx0 + 35, yy + 1.8, bx0 + 45, yy + 9, 4.2), (255, 255, 255, 220),
                 box=(bx0 + 30, yy - 9, bx0 + 50, yy + 9))
        img.fill(sd_cut(sd_circle(bx0 + 40, yy, 12), sd_circle(bx0 + 40, yy, 8)), WHITE,
                 box=(bx0 + 28, yy - 12, bx0 + 52, yy + 12))
        img.fill(sd_rrect(bx0 + 55, yy - 6, bx0 + 55 + (64 if k % 2 == 0 else 52), yy - 1, 2.5), hx('C3D2E5'))
        img.fill(sd_rrect(bx0 + 55, yy + 3, bx0 + 55 + (38 if k % 2 == 0 else 46), yy + 7, 2), hx('DEE6F0'))
    # index tabs
    for k, c in enumerate((ORANGE, GREEN, BLUE_L)):
        yy = by0 + 20 + k * 22
        img.fill(sd_rrect(bx1 + 2, yy, bx1 + 15, yy + 17, 4), c)
    # ---- magnifier over the lower right of the book
    mx, my, mr = 176, 190, 23
    img.fill(sd_capsule(mx + 17, my + 17, mx + 38, my + 38, 6.5), (22, 52, 95, 50), soft=5)
    img.fill(sd_circle(mx + 2, my + 5, mr + 5), (22, 52, 95, 55), soft=6)
    img.fill(sd_circle(mx, my, mr), (234, 244, 255, 150))
    img.fill(sd_ring(mx, my, mr, 3.6), vgrad([(my - mr, hx('3C86DA')), (my + mr, hx('1B4F98'))]))
    img.fill(sd_arc(mx, my, mr - 8, 1.8, math.radians(195), math.radians(255)), (255, 255, 255, 230))
    img.fill(sd_capsule(mx + 18, my + 18, mx + 34, my + 34, 5.8), vgrad([(my + 16, hx('2B3F5E')), (my + 38, hx('16243A'))]))
    img.fill(sd_capsule(mx + 17.5, my + 17.5, mx + 21, my + 21, 6.6), hx('1B4F98'))
    # ---- handset badge at the lower left of the book
    cx, cy, r = 60, 224, 38
    img.fill(sd_circle(cx + 3, cy + 8, r + 2), (22, 52, 95, 70), soft=8)
    img.fill(sd_circle(cx, cy, r + 3), WHITE)
    img.fill(sd_circle(cx, cy, r), vgrad([(cy - r, hx('FFB347')), (cy + r, hx('E8731A'))]))
    img.fill(sd_cut(sd_circle(cx, cy, r - 2), sd_circle(cx + 8, cy + 30, r + 6)), (255, 255, 255, 45))
    hs = sd_scaled(handset(0.085), cx - 27, cy - 25, 52)
    img.fill(sd_shift(hs, 1.2, 2.0), (140, 60, 0, 120))
    img.fill(hs, WHITE)
    # ---- text column decorations
    tx = 230
    img.fill(sd_rrect(tx + 2, 140, tx + 40, 144, 2), ORANGE)
    img.fill(sd_rrect(tx + 45, 140, tx + 55, 144, 2), BLUE_L)
    # hint pill
    pw = hint_w + 46
    py0, py1 = 190, 218
    img.fill(sd_rrect(tx, py0 + 3, tx + pw, py1 + 3, 14), (22, 52, 95, 40), soft=4)
    img.fill(sd_rrect(tx, py0, tx + pw, py1, 14), hx('B7CFEC'))
    img.fill(sd_rrect(tx + 1, py0 + 1, tx + pw - 1, py1 - 1, 13), WHITE)
    gx, gy = tx + 17, py0 + 12.5
    img.fill(sd_ring(gx, gy, 4.6, 1.0), BLUE)
    img.fill(sd_capsule(gx + 3.6, gy + 3.6, gx + 7.2, gy + 7.2, 1.3), BLUE)
    return img

write_ppm(os.path.join(tmp, 'welcome.ppm'), welcome())
PY

# Title, subtitle and hint lettering of the welcome picture, then JPEG.
TX=230
convert "$tmp/welcome.ppm" \
  -font "$LATIN_BOLD" -pointsize 12 -kerning 3.2 -fill '#2C6FC4' -annotate +$((TX + 1))+80 'MARLOWEN' \
  -kerning 0 \
  -font "$HEI" -pointsize 36 -fill '#9FB8D8' -annotate +$((TX + 1))+127 '电话查询' \
  -fill '#16345F' -stroke '#16345F' -strokewidth 0.9 -annotate +${TX}+126 '电话查询' \
  -stroke none \
  -font "$HEI" -pointsize 14 -fill '#4A6487' -annotate +$((TX + 1))+170 '按号码查名称 · 按名称查号码' \
  -font "$HEI" -pointsize "$HINT_PT" -fill '#34557F' -annotate +$((TX + 30))+209 "$HINT" \
  -font "$HEI" -pointsize 12 -fill '#FFFFFF' -annotate +22+322 'Marlowen 电话号码查询服务' \
  -fill '#DCEBFB' -gravity SouthEast -annotate +22+12 '快速 · 准确 · 便捷' \
  -strip -sampling-factor 1x1 -quality 93 "$out/welcome.jpg"

convert "$tmp/skin.ppm" -strip -sampling-factor 1x1 -quality 95 "$out/skin.jpg"

# The stored settings of the search button Command1, as its form keeps them: its property bag
# in JSON, with the hand pointer as its mouse icon.
python3 - "$out" <<'PY'
import base64, json, os, sys
out = sys.argv[1]
with open(os.path.join(out, 'hand.png'), 'rb') as f:
    png = base64.b64encode(f.read()).decode('ascii')
font = {'name': '宋体', 'size': 9, 'bold': False, 'italic': False, 'underline': False,
        'strikeout': False}
bag = {'properties': [
    {'name': 'Caption', 'value': '查看'},
    {'name': 'BackStyle', 'value': 2},
    {'name': 'Font', 'value': {'font': font}},
    {'name': 'cGradient', 'value': 0},
    {'name': 'Mode', 'value': 0},
    {'name': 'Value', 'value': False},
    {'name': 'cBack', 'value': 0x8000000F},
    {'name': 'mPointer', 'value': 99},
    {'name': 'mIcon', 'value': {'picture': {'kind': 'cursor', 'png': png, 'hotSpot': [6, 0]}}},
]}
with open(os.path.join(out, 'command1.json'), 'w', encoding='utf-8') as f:
    json.dump(bag, f, ensure_ascii=False, indent=4)
    f.write('\n')
PY

cat > "$out/lookup.qrc" <<'QRC'
<!DOCTYPE RCC>
<RCC version="1.0">
  <qresource prefix="/lookup">
    <file>welcome.jpg</file>
    <file>skin.jpg</file>
    <file>ico.bmp</file>
    <file>min_hover.bmp</file>
    <file>min_pressed.bmp</file>
    <file>close_hover.bmp</file>
    <file>close_pressed.bmp</file>
    <file>help.png</file>
    <file>save.png</file>
    <file>print.png</file>
    <file>hand.png</file>
    <file>hand.cur</file>
    <file>command1.json</file>
  </qresource>
</RCC>
QRC

echo "artwork written to $out"
