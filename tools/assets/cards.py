"""The card faces of the flower-card deck, drawn as vector art.

Every card is drawn in a 144 x 220 box (four times the 36 x 55 card of the
game) and scaled down by the sheet renderer.  Card numbers follow the game:
month m holds cards 4(m-1) .. 4(m-1)+3; see CARD_KINDS for which is which.
"""
from svg import (FONT_SANS, FONT_SERIF, circle, ctext, ellipse, g, line, n, path, poly, polyline, rect,
                 round_rect_path, star_points, tag, tr)
import math

W, H = 144, 220
INSET = 8          # the red border around the picture
INNER = (INSET, INSET, W - 2 * INSET, H - 2 * INSET)

# colours of the deck
RED = "#d42a2a"
DEEP_RED = "#9c1418"
BORDER_RED = "#c0161c"
INK = "#1b1b1b"
CREAM = "#f6efdc"
GREEN = "#2e7d34"
DARK_GREEN = "#1d4a22"
LEAF_GREEN = "#3f9a3c"
YELLOW = "#f4c52c"
GOLD = "#e0a82a"
PINK = "#f7b3c6"
BLUE = "#2a56b8"
NAVY = "#1c2f6e"
PURPLE = "#5a3d99"
BROWN = "#7b4a22"
DARK_BROWN = "#4a2a12"
WHITE = "#ffffff"
SLATE = "#30343f"

# card number -> (kind, detail); kinds: bright, animal, ribbon, junk, double
CARD_KINDS = {}
for _m in range(12):
    for _i in range(4):
        CARD_KINDS[4 * _m + _i] = ("junk", None)
CARD_KINDS.update({
    0: ("bright", "crane"), 1: ("ribbon", "poem"),
    4: ("animal", "warbler"), 5: ("ribbon", "poem"),
    8: ("bright", "curtain"), 9: ("ribbon", "poem"),
    12: ("animal", "cuckoo"), 13: ("ribbon", "grass"),
    16: ("animal", "bridge"), 17: ("ribbon", "grass"),
    20: ("animal", "butterflies"), 21: ("ribbon", "blue"),
    24: ("animal", "boar"), 25: ("ribbon", "grass"),
    28: ("bright", "moon"), 29: ("animal", "geese"),
    32: ("animal", "sakecup"), 33: ("ribbon", "blue"),
    36: ("animal", "deer"), 37: ("ribbon", "blue"),
    40: ("bright", "phoenix"), 41: ("double", None),
    44: ("bright", "rainman"), 45: ("animal", "swallow"), 46: ("ribbon", "plain"),
    47: ("double", "drum"),
})


# ---------------------------------------------------------------- small parts

# A leaf: a pointed oval from (0,0) along the negative y axis, length l, width w.
def leaf(x, y, l, w, rot, fill, stroke=None, sw=2, vein=None):
    d = "M0,0 C%s,%s %s,%s 0,%s C%s,%s %s,%s 0,0Z" % (
        n(w * 0.6), n(-l * 0.2), n(w * 0.5), n(-l * 0.8), n(-l),
        n(-w * 0.5), n(-l * 0.8), n(-w * 0.6), n(-l * 0.2))
    body = path(d, fill=fill, stroke=stroke, stroke_width=n(sw) if stroke else None)
    if vein:
        body += line(0, -l * 0.1, 0, -l * 0.85, stroke=vein, stroke_width="1.5")
    return g(body, transform=tr(x, y, rot))


# A branch: a thick curved stroke through the given points.
def branch(points, width, colour=DARK_BROWN):
    d = "M%s,%s" % (n(points[0][0]), n(points[0][1]))
    for i in range(1, len(points)):
        x0, y0 = points[i - 1]
        x1, y1 = points[i]
        mx, my = (x0 + x1) / 2.0, (y0 + y1) / 2.0
        d += " Q%s,%s %s,%s" % (n(x0), n(y0), n(mx), n(my)) if i > 1 else ""
    d += " L%s,%s" % (n(points[-1][0]), n(points[-1][1]))
    return path(d, fill="none", stroke=colour, stroke_width=n(width), stroke_linecap="round",
                stroke_linejoin="round")


# A five-petal blossom (plum or cherry) centred at (x, y).
def blossom(x, y, r, petal, centre, notch=False, rot=0):
    parts = []
    for i in range(5):
        a = math.radians(rot - 90 + i * 72)
        px, py = x + r * 0.62 * math.cos(a), y + r * 0.62 * math.sin(a)
        parts.append(circle(px, py, r * 0.5, fill=petal, stroke=DEEP_RED if not notch else "#d9738e",
                            stroke_width="1.2"))
    parts.append(circle(x, y, r * 0.32, fill=centre))
    if notch:
        for i in range(5):
            a = math.radians(rot - 90 + i * 72)
            parts.append(line(x + r * 0.3 * math.cos(a), y + r * 0.3 * math.sin(a),
                              x + r * 0.95 * math.cos(a), y + r * 0.95 * math.sin(a),
                              stroke="#e27d98", stroke_width="1.2"))
    return "".join(parts)


# A pine needle clump: a dark fan with lighter needles.
def pine_clump(x, y, r, rot=0):
    d = "M%s,0 A%s,%s 0 0 1 %s,0Z" % (n(-r), n(r), n(r * 0.62), n(r))
    needles = "".join(line(0, 0, r * 0.95 * math.cos(math.radians(a)), -r * 0.58 * math.sin(math.radians(a)),
                           stroke="#5ea65c", stroke_width="1.6") for a in range(15, 170, 15))
    return g(path(d, fill=DARK_GREEN, stroke=INK, stroke_width="2") + needles,
             transform=tr(x, y, rot))


# A maple leaf: a seven-pointed red star with a stalk.
def maple_leaf(x, y, r, rot=0, colour="#d8321e"):
    pts = star_points(0, 0, r, r * 0.45, 7)
    body = line(0, 0, 0, r * 1.3, stroke=DARK_BROWN, stroke_width="2")
    body += poly(pts, fill=colour, stroke=DEEP_RED, stroke_width="1.5", stroke_linejoin="round")
    body += "".join(line(0, 0, p[0] * 0.8, p[1] * 0.8, stroke=DEEP_RED, stroke_width="1")
                    for p in pts[::2])
    return g(body, transform=tr(x, y, rot))


# A chrysanthemum head: many petals around a small centre.
def chrysanthemum(x, y, r, petal=YELLOW, edge="#b57d0c", centre="#e06a10"):
    parts = []
    for layer, scale in ((0, 1.0), (1, 0.7)):
        for i in range(16):
            a = i * 22.5 + layer * 11.25
            parts.append(g(ellipse(0, -r * scale * 0.55, r * 0.13, r * scale * 0.45, fill=petal,
                                   stroke=edge, stroke_width="1"), transform=tr(x, y, a)))
    parts.append(circle(x, y, r * 0.22, fill=centre, stroke=edge, stroke_width="1"))
    return "".join(parts)


# A peony: rings of round petals in red shades.
def peony(x, y, r):
    parts = []
    for ring, (rr, col) in enumerate(((r, "#c81d25"), (r * 0.72, "#e0353a"), (r * 0.45, "#f05a5a"))):
        for i in range(8):
            a = math.radians(i * 45 + ring * 22)
            parts.append(circle(x + rr * 0.5 * math.cos(a), y + rr * 0.5 * math.sin(a), rr * 0.48,
                                fill=col, stroke=DEEP_RED, stroke_width="1.2"))
    parts.append(circle(x, y, r * 0.18, fill=YELLOW, stroke=DEEP_RED, stroke_width="1"))
    return "".join(parts)


# Peony leaves: a spray of dark pointed leaves.
def peony_leaves(x, y, s, rot=0):
    body = ""
    for a in (-60, -25, 10, 45):
        body += leaf(0, 0, 46 * s, 22 * s, a, DARK_GREEN, INK, 1.5, vein="#4f8f4a")
    return g(body, transform=tr(x, y, rot))


# An iris flower: three hanging and three standing purple petals.
def iris_flower(x, y, s):
    body = ""
    for a in (-50, 0, 50):
        body += leaf(0, 0, 26 * s, 14 * s, a, "#7a56c8", "#2c1a5c", 1.2)
    for a in (130, 180, 230):
        body += leaf(0, 0, 24 * s, 16 * s, a, PURPLE, "#2c1a5c", 1.2)
    body += ellipse(0, 8 * s, 3 * s, 6 * s, fill=YELLOW)
    return g(body, transform=tr(x, y))


# A tall iris blade, rising from (x, y).
def iris_blade(x, y, h, lean, w=9):
    tipx = x + lean
    d = "M%s,%s Q%s,%s %s,%s Q%s,%s %s,%sZ" % (
        n(x - w / 2), n(y), n(x + lean * 0.3 - w / 2), n(y - h * 0.6), n(tipx), n(y - h),
        n(x + lean * 0.3 + w / 2), n(y - h * 0.6), n(x + w / 2), n(y))
    return path(d, fill=LEAF_GREEN, stroke=DARK_GREEN, stroke_width="1.5")


# A hanging wisteria strand (the black "heuk-ssari" of April).
def wisteria_strand(x, y, length, sway):
    pts = []
    steps = 8
    for i in range(steps + 1):
        t = i / float(steps)
        pts.append((x + sway * math.sin(t * math.pi * 1.3), y + length * t))
    body = polyline(pts, fill="none", stroke=INK, stroke_width="4.5")
    for i in range(1, steps + 1):
        px, py = pts[i]
        side = 1 if i % 2 else -1
        body += leaf(px, py, 22, 10, side * 120, INK)
        if i % 2 == 0:
            body += circle(px + side * 6, py + 7, 4.2, fill=RED)
    return body


# Bush clover: an arching stem with small round red leaves.
def clover_spray(x, y, length, bend, flip=1):
    pts = []
    for i in range(11):
        t = i / 10.0
        pts.append((x + flip * (length * t), y - bend * math.sin(t * math.pi * 0.9) - length * 0.55 * t))
    body = polyline(pts, fill="none", stroke="#7a1512", stroke_width="3")
    for i in range(2, 11, 2):
        px, py = pts[i]
        for a in (-50, 10, 70):
            body += leaf(px, py, 16, 11, flip * a - 10, "#e0352c", DEEP_RED, 1.2)
        body += circle(px - flip * 4, py + 9, 4, fill="#f070a0", stroke="#a0285a", stroke_width="1")
    return body


# Paulownia: a big black rounded leaf.
def paulownia_leaf(x, y, s, rot=0):
    d = ("M0,0 C-18,-4 -34,-18 -30,-36 C-36,-46 -24,-58 -12,-54 C-6,-66 8,-66 14,-54 "
         "C26,-58 38,-46 30,-34 C36,-18 18,-4 0,0Z")
    body = path(d, fill=INK, stroke="#000", stroke_width="1")
    body += path("M0,-2 L0,-50 M0,-20 L-18,-36 M0,-20 L18,-36", stroke="#5a5a5a", stroke_width="1.5",
                 fill="none")
    return g(body, transform=tr(x, y, rot, s))


# Paulownia flower stalk: a column of small yellow-white buds.
def paulownia_flower(x, y, s, colour="#f3dc6a"):
    body = line(0, 0, 0, -64, stroke="#6b5a2a", stroke_width="4")
    for i in range(7):
        yy = -8 - i * 8.5
        for dx in (-10, 0, 10):
            body += circle(dx * (1 - i * 0.1), yy, 6.5 - i * 0.5, fill=colour, stroke="#8d6a1a",
                           stroke_width="1.2")
    body += circle(0, -68, 5, fill=colour, stroke="#8d6a1a", stroke_width="1.2")
    return g(body, transform=tr(x, y, 0, s))


# Willow strands for the rain month: drooping green lines.
def willow(x, y, length, count, spread, colour="#58a84a"):
    body = ""
    for i in range(count):
        sx = x + (i - count / 2.0) * spread
        d = "M%s,%s Q%s,%s %s,%s" % (n(sx), n(y), n(sx + 14), n(y + length * 0.5), n(sx + 4), n(y + length))
        body += path(d, fill="none", stroke=colour, stroke_width="3", stroke_linecap="round")
        for k in range(1, 6):
            t = k / 6.0
            lx = sx + 14 * 2 * t * (1 - t) + 4 * t * t
            ly = y + length * t
            body += leaf(lx, ly, 12, 5, 160 if k % 2 else 200, colour)
    return body


# Slanted rain lines.
def rain_lines(colour="#8d96a8"):
    body = ""
    for i in range(-4, 14):
        x0 = i * 14
        body += line(x0, 0, x0 + 40, 220, stroke=colour, stroke_width="1.5", opacity="0.7")
    return body


# A lightning bolt.
def bolt(x, y, s, colour=YELLOW):
    pts = [(0, 0), (14, 0), (6, 22), (18, 22), (-6, 58), (2, 30), (-10, 30)]
    return poly([(x + px * s, y + py * s) for px, py in pts], fill=colour, stroke=DEEP_RED,
                stroke_width="1.5", stroke_linejoin="round")


# ---------------------------------------------------------------- month plants

# January: pine branches with dark needle clumps.
def plant_pine(v):
    body = branch([(14, 214), (40, 180), (36, 150), (60, 128), (96, 118), (136, 100)], 12)
    body += branch([(40, 180), (80, 176), (120, 160)], 9)
    body += branch([(36, 150), (24, 110), (40, 70)], 8)
    for x, y, r, a in ((40, 72, 30, -10), (30, 150, 32, -10), (70, 124, 34, 0), (110, 110, 32, 6),
                       (118, 62, 26, 14), (92, 170, 32, -6), (128, 158, 24, 10), (22, 200, 24, -20),
                       (76, 56, 22, -4)):
        body += pine_clump(x, y, r, a)
    if v == 1:
        body = g(body, transform="translate(144 0) scale(-1 1)")
    return body


# February: a crooked plum branch with red blossoms.
def plant_plum(v):
    body = branch([(10, 200), (40, 170), (52, 130), (90, 104), (100, 70), (132, 40)], 8, INK)
    body += branch([(52, 130), (30, 100), (24, 64)], 5, INK)
    body += branch([(90, 104), (124, 110)], 4, INK)
    for x, y, r in ((24, 60, 14), (46, 96, 15), (100, 66, 15), (126, 36, 12), (122, 108, 14),
                    (74, 118, 13), (40, 160, 14), (112, 86, 10)):
        body += blossom(x, y, r, RED, WHITE)
    for x, y in ((34, 76), (62, 110), (130, 60), (18, 120)):
        body += circle(x, y, 4, fill=RED)
    if v == 1:
        body = g(body, transform="translate(144 0) scale(-1 1)")
    return body


# March: clouds of pink cherry blossoms.
def plant_cherry(v, top=True):
    body = rect(8, 8, 128, 204, fill="#fbe3ea") if top else rect(8, 8, 128, 100, fill="#fbe3ea")
    body += branch([(8, 200), (50, 150), (60, 100), (100, 60), (136, 40)], 7, DARK_BROWN)
    body += branch([(60, 100), (30, 60)], 5, DARK_BROWN)
    spots = [(26, 40, 16), (56, 28, 17), (90, 38, 16), (120, 26, 15), (40, 70, 15), (76, 66, 17),
             (112, 66, 15), (22, 100, 14), (58, 98, 14), (96, 98, 15), (128, 96, 13)]
    if top:
        spots += [(40, 136, 15), (80, 130, 16), (118, 134, 14), (26, 170, 14), (64, 168, 16),
                  (102, 172, 15), (44, 200, 13), (88, 204, 14), (128, 196, 12)]
    for x, y, r in spots:
        body += blossom(x, y, r, PINK, "#fff3a8", notch=True, rot=(x * 7) % 72)
    if v == 1:
        body = g(body, transform="translate(144 0) scale(-1 1)")
    return body


# April: black wisteria strands hanging from the top.
def plant_wisteria(v):
    body = ""
    for x, l, s in ((28, 150, 10), (58, 180, -8), (92, 140, 12), (120, 170, -10)):
        body += wisteria_strand(x, 8, l, s)
    if v == 1:
        body = g(body, transform="translate(144 0) scale(-1 1)")
    return body


# May: tall iris blades with purple flowers.
def plant_iris(v, flowers_y=0):
    body = ""
    for x, h, lean in ((20, 170, 10), (40, 190, -6), (62, 150, 14), (86, 196, -10), (108, 160, 8),
                       (126, 184, -6)):
        body += iris_blade(x, 214, h, lean)
    for x, y, s in ((30, 56, 1.0), (78, 40, 1.1), (118, 70, 1.0), (58, 100, 0.9)):
        body += iris_flower(x, y + flowers_y, s)
    if v == 1:
        body = g(body, transform="translate(144 0) scale(-1 1)")
    return body


# June: large red peonies with dark leaves.
def plant_peony(v):
    body = peony_leaves(40, 200, 1.2, 0) + peony_leaves(110, 210, 1.1, 10)
    body += peony(72, 132, 44)
    body += peony(30, 60, 22) + peony(118, 70, 20)
    if v == 1:
        body = g(body, transform="translate(144 0) scale(-1 1)")
    return body


# July: arching red bush clover.
def plant_clover(v):
    body = ""
    body += clover_spray(10, 200, 120, 40)
    body += clover_spray(20, 130, 110, 30)
    body += clover_spray(134, 90, 100, 20, flip=-1)
    if v == 1:
        body = g(body, transform="translate(144 0) scale(-1 1)")
    return body


# August: a black hill with pale pampas grass under a red or pale sky.
def plant_pampas(v, sky="#c9252b", hill_top=120):
    body = rect(8, 8, 128, hill_top + 20, fill=sky) if sky else ""
    d = "M0,%s C30,%s 60,%s 90,%s C110,%s 130,%s 144,%s L144,220 L0,220Z" % (
        n(hill_top + 18), n(hill_top - 8), n(hill_top - 6), n(hill_top + 4), n(hill_top + 10),
        n(hill_top), n(hill_top + 8))
    body += path(d, fill=INK)
    for i in range(14):
        x0 = 6 + i * 10
        y0 = hill_top + 10 + (i * 37) % 60
        body += path("M%s,220 Q%s,%s %s,%s" % (n(x0), n(x0 + 4), n(y0 + 30), n(x0 + 12), n(y0)),
                     fill="none", stroke="#d8d8c8", stroke_width="1.6")
    if v == 1:
        body = g(body, transform="translate(144 0) scale(-1 1)")
    return body


# September: yellow and red chrysanthemums with green leaves.
def plant_chrysanthemum(v):
    body = ""
    for x, y, a in ((30, 200, -30), (60, 190, 10), (110, 204, 30), (90, 150, -20), (40, 140, 25)):
        body += leaf(x, y, 40, 22, a, GREEN, DARK_GREEN, 1.5, vein="#8cc482")
    body += branch([(60, 214), (66, 150), (70, 90)], 3, DARK_GREEN)
    body += chrysanthemum(70, 80, 34)
    body += chrysanthemum(30, 130, 22, petal="#ef4a3a", edge=DEEP_RED, centre=YELLOW)
    body += chrysanthemum(112, 128, 24)
    if v == 1:
        body = g(body, transform="translate(144 0) scale(-1 1)")
    return body


# October: red maple leaves on dark twigs.
def plant_maple(v):
    body = branch([(136, 20), (100, 50), (70, 60), (40, 90), (20, 130)], 4, DARK_BROWN)
    body += branch([(100, 50), (110, 100), (96, 150)], 3, DARK_BROWN)
    for x, y, r, a in ((34, 40, 22, -10), (74, 36, 20, 12), (116, 48, 18, -20), (54, 84, 22, 18),
                       (100, 96, 22, -8), (24, 128, 20, 30), (80, 136, 20, 4), (118, 150, 18, -26),
                       (44, 176, 22, 8), (98, 190, 20, -12)):
        body += maple_leaf(x, y, r, a)
    if v == 1:
        body = g(body, transform="translate(144 0) scale(-1 1)")
    return body


# November: big black paulownia leaves with a pale flower stalk.
def plant_paulownia(v, flower="#f3dc6a"):
    body = paulownia_flower(72, 96, 1.2, flower)
    body += paulownia_leaf(36, 214, 1.6, -20) + paulownia_leaf(108, 214, 1.6, 20)
    body += paulownia_leaf(72, 190, 1.3, 0)
    if v == 1:
        body = g(body, transform="translate(144 0) scale(-1 1)")
    return body


# December: willow strands and rain over a dark ground.
def plant_willow(v):
    body = rain_lines() + willow(72, 8, 110, 6, 22)
    if v == 1:
        body = g(body, transform="translate(144 0) scale(-1 1)")
    return body


# ---------------------------------------------------------------- figures

# January bright: the red sun and the white crane with its red crown.
def fig_crane():
    body = line(60, 148, 54, 196, stroke="#333", stroke_width="3.5")
    body += line(72, 148, 76, 196, stroke="#333", stroke_width="3.5")
    body += path("M46,196 L62,196 M68,196 L86,196", stroke="#333", stroke_width="3")
    body += path("M30,128 C20,134 10,146 14,158 C26,152 38,146 48,142Z", fill=INK)
    body += path("M28,128 C32,100 70,92 96,104 C104,112 100,128 86,136 C66,146 40,148 28,128Z",
                 fill=WHITE, stroke=INK, stroke_width="2.5")
    body += path("M40,124 C54,116 70,114 84,118 M44,132 C58,126 72,126 82,128", fill="none",
                 stroke="#9a9a9a", stroke_width="1.6")
    body += path("M88,108 C100,92 108,78 102,58", fill="none", stroke=INK, stroke_width="8",
                 stroke_linecap="round")
    body += ellipse(101, 52, 8, 7, fill=INK)
    body += circle(100, 46, 5, fill="#e0262b")
    body += poly([(107, 50), (130, 58), (107, 56)], fill="#c9b48a", stroke=INK, stroke_width="1")
    body += circle(103, 51, 1.6, fill=WHITE)
    return body


# February animal: a bush warbler perched on the plum branch.
def fig_warbler():
    body = branch([(8, 150), (60, 140), (136, 150)], 6, INK)
    body += path("M40,120 L14,112 L18,126Z", fill="#6d7a1e", stroke=INK, stroke_width="1.5")
    body += ellipse(68, 118, 30, 20, fill="#9aab2e", stroke=INK, stroke_width="2",
                    transform="rotate(-12 68 118)")
    body += ellipse(72, 126, 18, 10, fill="#e9e08a", transform="rotate(-12 72 126)")
    body += path("M50,110 C62,102 78,104 86,112 C76,114 62,116 50,110Z", fill="#6d7a1e")
    body += circle(96, 98, 14, fill="#9aab2e", stroke=INK, stroke_width="2")
    body += circle(100, 95, 3, fill=INK) + circle(101, 94, 1, fill=WHITE)
    body += poly([(108, 98), (120, 100), (108, 103)], fill=INK)
    body += line(64, 136, 62, 146, stroke=INK, stroke_width="2.5") + line(74, 136, 76, 146,
                                                                           stroke=INK, stroke_width="2.5")
    for x, y in ((24, 160), (120, 138), (100, 164)):
        body += blossom(x, y, 12, RED, WHITE)
    return body


# March bright: the striped curtain under the cherry blossoms.
def fig_curtain():
    body = rect(8, 104, 128, 10, fill=DARK_BROWN)
    stripes = ""
    for i in range(8):
        x = 8 + i * 16
        stripes += rect(x, 114, 16, 80, fill=RED if i % 2 == 0 else WHITE)
    scallop = CURTAIN_EDGE
    body += g(stripes + rect(8, 180, 128, 40, fill=RED), clip_path="url(#curtainclip)")
    body += path(scallop, fill="none", stroke=INK, stroke_width="2")
    for x in (40, 104):
        body += circle(x, 146, 12, fill=WHITE, stroke=INK, stroke_width="2")
        body += blossom(x, 146, 10, PINK, "#fff3a8", notch=True)
    body += rect(8, 104, 128, 10, fill="none", stroke=INK, stroke_width="2")
    return body


# April animal: a cuckoo flying across a yellow crescent moon.
def fig_cuckoo():
    body = path("M118,30 A26,26 0 1 0 128,78 A20,20 0 1 1 118,30Z", fill=YELLOW, stroke="#a27a10",
                stroke_width="1.5")
    body += path("M40,110 C56,96 80,94 100,104 L126,98 L108,112 C92,124 62,124 40,110Z",
                 fill="#b5322a", stroke=INK, stroke_width="2")
    body += path("M62,104 C60,80 70,62 96,50 C92,74 86,92 78,104Z", fill="#7a1f18", stroke=INK,
                 stroke_width="2")
    body += path("M70,116 C76,134 92,146 110,150 C96,132 90,122 84,114Z", fill="#7a1f18", stroke=INK,
                 stroke_width="2")
    body += circle(44, 108, 10, fill="#b5322a", stroke=INK, stroke_width="2")
    body += poly([(34, 106), (22, 110), (34, 112)], fill=INK)
    body += circle(42, 106, 2.2, fill=YELLOW)
    return body


# May animal: the wooden plank bridge among the irises.
def fig_bridge():
    body = ""
    planks = [[(8, 150), (92, 112), (108, 126), (18, 170)], [(72, 132), (136, 150), (136, 174), (66, 154)]]
    for x in (20, 46, 72):
        body += line(x, 166 - (x - 8) * 0.45, x, 214, stroke=DARK_BROWN, stroke_width="6")
    for x in (92, 116):
        body += line(x, 152 + (x - 66) * 0.3, x, 214, stroke=DARK_BROWN, stroke_width="6")
    for pts in planks:
        body += poly(pts, fill="#c8903c", stroke=DARK_BROWN, stroke_width="3")
    body += path("M10,156 L92,118 M74,138 L136,156", stroke="#ecc078", stroke_width="2.5")
    body += path("M14,164 L100,124 M70,148 L136,166", stroke="#9a6424", stroke_width="1.5")
    return body


# One butterfly with spotted wings, centred at (x, y).
def butterfly(x, y, s, rot, wing, spot):
    body = ""
    for side in (-1, 1):
        body += path("M0,0 C%s,-30 %s,-34 %s,-6Z" % (n(side * 10), n(side * 36), n(side * 30)), fill=wing,
                     stroke=INK, stroke_width="1.5")
        body += path("M0,2 C%s,12 %s,26 %s,18Z" % (n(side * 8), n(side * 24), n(side * 22)), fill=wing,
                     stroke=INK, stroke_width="1.5")
        body += circle(side * 20, -16, 4.5, fill=spot)
    body += ellipse(0, 2, 3, 14, fill=INK)
    body += path("M-1,-10 L-8,-24 M1,-10 L8,-24", stroke=INK, stroke_width="1.2")
    return g(body, transform=tr(x, y, rot, s))


# June animal: two butterflies over the peony.
def fig_butterflies():
    return butterfly(46, 56, 1.15, -15, "#3b6fd0", YELLOW) + butterfly(104, 104, 1.0, 20, YELLOW, "#3b6fd0")


# July animal: a running boar beneath the bush clover.
def fig_boar():
    body = path("M22,168 C20,144 44,128 78,126 C104,124 122,134 128,150 L140,160 L136,170 L126,170 "
                "C118,184 96,190 70,190 C46,190 24,184 22,168Z", fill="#5a3a1e", stroke=INK,
                stroke_width="2.5")
    body += path("M30,176 C50,186 90,188 120,172 C100,180 60,182 30,176Z", fill="#8a6238")
    body += path("M30,150 C50,132 80,126 104,130", fill="none", stroke="#2a1a0a", stroke_width="5",
                 stroke_linecap="round")
    for x0, x1 in ((40, 36), (58, 62), (96, 94), (112, 118)):
        body += line(x0, 182, x1, 206, stroke=INK, stroke_width="7", stroke_linecap="round")
    body += path("M128,164 C134,160 136,154 134,148", fill="none", stroke=WHITE, stroke_width="3",
                 stroke_linecap="round")
    body += ellipse(138, 165, 3, 5, fill="#3a2410")
    body += circle(116, 146, 3.2, fill=WHITE) + circle(116, 146, 1.6, fill=INK)
    body += path("M104,136 L108,122 L116,134Z", fill=INK)
    body += path("M22,160 C14,158 12,150 18,148", fill="none", stroke=INK, stroke_width="3",
                 stroke_linecap="round")
    return body


# August bright: the full moon on the red sky over the black hill.
def fig_moon():
    return (circle(72, 74, 46, fill="#fff7e0", stroke="#e8d8a0", stroke_width="3")
            + circle(72, 74, 40, fill="none", stroke="#f3e6b8", stroke_width="2"))


# One flying goose in black silhouette.
def goose(x, y, s):
    body = path("M0,0 C10,-4 24,-4 32,0 C24,4 10,4 0,0Z", fill=INK)
    body += path("M10,-1 C4,-18 -4,-26 -14,-30 C0,-18 6,-10 6,0Z", fill=INK)
    body += path("M14,1 C16,14 22,22 30,26 C24,14 22,8 20,1Z", fill=INK)
    body += path("M32,0 L42,-4 L40,0Z", fill=INK)
    return g(body, transform=tr(x, y, -10, s))


# August animal: three geese flying over the hill.
def fig_geese():
    return goose(20, 60, 1.2) + goose(70, 40, 1.0) + goose(84, 90, 1.1)


# September animal: the red lacquer sake cup with its gold mark.
def fig_sakecup():
    body = ellipse(72, 176, 30, 8, fill="#7a1010", stroke=INK, stroke_width="2")
    body += path("M54,176 L60,160 L84,160 L90,176Z", fill="#a0161a", stroke=INK, stroke_width="2")
    body += path("M16,110 C20,150 44,166 72,166 C100,166 124,150 128,110Z", fill="#c8181e", stroke=INK,
                 stroke_width="2.5")
    body += ellipse(72, 110, 56, 14, fill="#e03a30", stroke="#f0c040", stroke_width="4")
    body += ellipse(72, 110, 44, 9, fill="#b81418")
    body += circle(72, 140, 17, fill=GOLD, stroke="#8a5a0a", stroke_width="1.5")
    body += ctext(72, 140, "壽", 22, fill="#8a1010", font=FONT_SANS)
    return body


# October animal: a deer looking back among the maples.
def fig_deer():
    body = path("M34,140 C30,122 50,112 80,114 C100,116 108,124 108,134 C108,148 96,156 72,156 "
                "C52,156 36,152 34,140Z", fill="#b8732e", stroke=INK, stroke_width="2.5")
    for x0, x1 in ((44, 40), (56, 58), (88, 86), (100, 104)):
        body += line(x0, 150, x1, 204, stroke="#7a4a1c", stroke_width="5", stroke_linecap="round")
        body += line(x1, 200, x1, 206, stroke=INK, stroke_width="5", stroke_linecap="round")
    for x, y in ((56, 126), (70, 132), (84, 124), (64, 142), (92, 138)):
        body += circle(x, y, 3, fill="#f6e6c0")
    body += path("M98,122 C104,104 106,92 100,82 L112,80 C118,96 114,112 108,126Z", fill="#b8732e",
                 stroke=INK, stroke_width="2")
    body += path("M96,84 C98,72 110,68 118,72 L128,80 C120,86 110,90 100,90Z", fill="#b8732e",
                 stroke=INK, stroke_width="2")
    body += circle(114, 76, 2.2, fill=INK)
    body += path("M104,72 L96,52 L88,46 M96,52 L100,40 M110,70 L116,50 L124,44 M116,50 L112,38",
                 fill="none", stroke="#5a3210", stroke_width="3", stroke_linecap="round")
    body += path("M34,134 L26,126", stroke=INK, stroke_width="3", stroke_linecap="round")
    return body


# November bright: the phoenix with its long bright tail.
def fig_phoenix():
    body = ""
    tails = (("#d42a2a", -10), ("#2e8b3a", 8), ("#2a56b8", 26), ("#f4c52c", 44))
    for col, a in tails:
        body += g(path("M0,0 C-30,10 -50,40 -44,80 C-40,60 -26,30 4,14Z", fill=col, stroke=INK,
                       stroke_width="1.5"), transform=tr(76, 100, a))
    body += path("M58,102 C60,78 80,64 100,70 C110,84 104,104 86,114 C74,118 62,114 58,102Z",
                 fill="#2e8b3a", stroke=INK, stroke_width="2")
    body += path("M66,96 C76,84 92,82 100,88 C92,96 80,100 66,96Z", fill=YELLOW)
    body += path("M96,72 C96,56 104,40 116,34 C124,42 120,58 108,72Z", fill="#d42a2a", stroke=INK,
                 stroke_width="2")
    body += circle(116, 38, 9, fill="#f4c52c", stroke=INK, stroke_width="1.5")
    body += path("M112,30 C110,20 116,14 124,16 C118,22 118,26 120,30Z", fill="#d42a2a", stroke=INK,
                 stroke_width="1")
    body += poly([(124, 38), (136, 42), (124, 44)], fill="#e07020")
    body += circle(118, 37, 2, fill=INK)
    return body


# December bright: the man with the yellow umbrella in the rain, and a frog.
def fig_rainman():
    body = path("M22,80 C30,40 96,28 120,64 Z", fill="#f0c020", stroke=INK, stroke_width="2.5")
    for x in (40, 58, 76, 96):
        body += line(71, 46, x, 76 - (x - 22) * 0.14, stroke="#a07a10", stroke_width="1.5")
    body += line(70, 48, 74, 130, stroke=INK, stroke_width="3")
    body += circle(78, 90, 11, fill="#f2d2b0", stroke=INK, stroke_width="2")
    body += path("M70,84 C74,76 86,78 88,86 C84,82 76,82 70,84Z", fill=INK)
    body += path("M62,102 C66,98 92,98 96,104 L108,178 L50,178Z", fill="#c8202a", stroke=INK,
                 stroke_width="2.5")
    body += path("M64,104 L56,178 M94,104 L100,178", stroke=INK, stroke_width="1.5")
    body += path("M52,178 L48,196 L64,196 M96,178 L100,196 L114,196", fill="none", stroke=INK,
                 stroke_width="3")
    body += path("M8,204 C40,196 100,212 136,200 L136,212 L8,212Z", fill="#2a3e8a")
    body += ellipse(28, 190, 10, 7, fill="#3c9a3c", stroke=INK, stroke_width="1.5")
    body += circle(24, 185, 2, fill=YELLOW)
    return body


# December animal: a swallow darting through the willow.
def fig_swallow():
    body = path("M30,70 C50,60 70,70 88,88 L132,60 L100,98 L124,128 L86,104 C64,112 40,100 30,70Z",
                fill="#1e2f70", stroke="#0a0f28", stroke_width="2")
    body += path("M44,80 C60,74 74,82 84,96 C70,100 54,96 44,80Z", fill=WHITE)
    body += path("M56,76 C50,50 60,30 80,20 C78,44 74,62 70,80Z", fill="#16224f", stroke="#0a0f28",
                 stroke_width="1.5")
    body += circle(36, 72, 8, fill="#d42a2a")
    body += poly([(28, 70), (18, 72), (28, 75)], fill=INK)
    body += circle(38, 68, 2, fill=WHITE)
    return body


# December double junk: the thunder drum with its lightning.
def fig_drum():
    body = bolt(26, 20, 1.4) + bolt(104, 36, 1.2)
    body += ellipse(72, 150, 40, 30, fill="#b81418", stroke=INK, stroke_width="3")
    body += ellipse(72, 150, 28, 20, fill="#e03a30", stroke=GOLD, stroke_width="3")
    for a in range(0, 360, 120):
        body += g(path("M0,0 C6,-6 14,-4 14,4 C8,2 4,4 0,0Z", fill=GOLD), transform=tr(72, 150, a, 1.4))
    for i in range(10):
        a = math.radians(i * 36)
        body += circle(72 + 40 * math.cos(a), 150 + 30 * math.sin(a), 3, fill=GOLD, stroke=INK,
                       stroke_width="1")
    return body


# ---------------------------------------------------------------- marks

# A ribbon hanging across the card; poem ribbons carry writing.
def ribbon(style, dark_ground=False):
    colours = {"poem": ("#d81e26", "#7a0c10"), "grass": ("#d81e26", "#7a0c10"),
               "blue": ("#2648b0", "#0e1e5a"), "plain": ("#d81e26", "#7a0c10")}
    fill, edge = colours[style]
    d = "M44,22 L76,22 L96,170 L86,186 L74,172 L66,176Z"
    body = path("M40,20 C52,10 70,10 80,20 L76,28 L44,28Z", fill=fill, stroke=edge, stroke_width="2")
    body += path(d, fill=fill, stroke=edge, stroke_width="2.5", stroke_linejoin="round")
    body += path("M50,30 L84,170", stroke="#ffffff", stroke_width="2", opacity="0.35")
    if style == "poem":
        for i, ch in enumerate("홍단"):
            body += g(ctext(0, 0, ch, 24, fill=INK, font=FONT_SERIF),
                      transform=tr(64 + i * 7.6 + 2, 64 + i * 46, 7.5))
    if style == "blue":
        body += path("M54,40 L76,150", stroke="#9fb6f0", stroke_width="2", opacity="0.8")
    if style == "plain":
        body += path("M50,70 L84,66 M54,100 L88,96", stroke=INK, stroke_width="3")
    return body


# The red circle with the character for "bright".
def bright_mark(x=28, y=30):
    return circle(x, y, 19, fill="#d81e26", stroke=WHITE, stroke_width="3") + ctext(
        x, y, "光", 24, fill=WHITE, font=FONT_SANS)


# The gold badge of a double junk card ("x2").
def double_mark(x=112, y=30, ring="#b81418", fill="#ffd84a"):
    return (circle(x, y, 21, fill=fill, stroke=ring, stroke_width="3.5")
            + ctext(x - 7, y + 2, "×", 16, fill=ring, font=FONT_SANS)
            + ctext(x + 5, y, "2", 26, fill=ring, font=FONT_SANS))


# The September animal's mark: it may also count as double junk.
def september_mark():
    return (circle(112, 30, 21, fill="#bfe6a8", stroke="#1d6a24", stroke_width="3.5")
            + ctext(105, 32, "×", 16, fill="#1d6a24", font=FONT_SANS)
            + ctext(117, 30, "2", 26, fill="#1d6a24", font=FONT_SANS))


# ---------------------------------------------------------------- whole cards

# Clip paths shared by all cards of a sheet (they are given once per SVG file).
CURTAIN_EDGE = "M8,194 " + " ".join("Q%s,210 %s,194" % (n(16 + i * 16), n(24 + i * 16))
                                     for i in range(8)) + " L136,114 L8,114Z"
CARD_DEFS = (tag("clipPath", path(round_rect_path(INSET, INSET, W - 2 * INSET, H - 2 * INSET, 7)),
                 id="cardinner")
             + tag("clipPath", path(CURTAIN_EDGE), id="curtainclip")
             + tag("clipPath", path(round_rect_path(3, 3, W - 6, H - 6, 8)), id="backclip"))

MONTH_GROUND = {1: CREAM, 2: CREAM, 3: CREAM, 4: CREAM, 5: CREAM, 6: CREAM, 7: CREAM, 8: CREAM,
                9: CREAM, 10: CREAM, 11: "#f3e7c4", 12: SLATE}


def frame(inner_body, ground):
    """The red border and rounded picture area around a card picture."""
    x, y, w, h = INNER
    return (rect(0, 0, W, H, fill=BORDER_RED)
            + rect(1, 1, W - 2, H - 2, fill="none", stroke="#6e0a0e", stroke_width="2")
            + g(rect(0, 0, W, H, fill=ground) + inner_body, clip_path="url(#cardinner)")
            + path(round_rect_path(x, y, w, h, 7), fill="none", stroke="#5a0a0c", stroke_width="2"))


# One month card, number c (0..47), as SVG markup in the 144 x 220 box.
def month_card(c):
    m = c // 4 + 1
    kind, detail = CARD_KINDS[c]
    i = c % 4
    v = 1 if i == 3 else 0
    ground = MONTH_GROUND[m]
    body = ""
    if m == 1:
        if c == 0:
            body = (circle(98, 60, 36, fill="#e0262b", stroke=DEEP_RED, stroke_width="2")
                    + g(plant_pine(1), transform="translate(52 110) scale(0.65)") + fig_crane())
        else:
            body = plant_pine(v)
    elif m == 2:
        body = fig_warbler() if c == 4 else plant_plum(v)
    elif m == 3:
        body = plant_cherry(v, top=(c != 8))
        if c == 8:
            body += fig_curtain()
    elif m == 4:
        body = plant_wisteria(v)
        if c == 12:
            body = g(plant_wisteria(0), transform="translate(0 60) scale(1 0.75)") + fig_cuckoo()
    elif m == 5:
        body = plant_iris(v)
        if c == 16:
            body = g(plant_iris(0, -10), transform="scale(1 0.8)") + fig_bridge()
    elif m == 6:
        if c == 20:
            body = g(plant_peony(0), transform="translate(18 60) scale(0.75)") + fig_butterflies()
        else:
            body = plant_peony(v)
    elif m == 7:
        if c == 24:
            body = g(plant_clover(0), transform="translate(0 -60)") + fig_boar()
        else:
            body = plant_clover(v)
    elif m == 8:
        if c == 28:
            body = plant_pampas(0, "#c9252b", 120) + fig_moon()
        elif c == 29:
            body = plant_pampas(0, "#c9252b", 130) + fig_geese()
        else:
            body = plant_pampas(v, "#c9252b" if i == 2 else None, 96 if i == 2 else 110)
    elif m == 9:
        if c == 32:
            body = g(plant_chrysanthemum(0), transform="translate(36 0) scale(0.6)") + fig_sakecup()
        else:
            body = plant_chrysanthemum(v)
    elif m == 10:
        if c == 36:
            body = g(plant_maple(0), transform="scale(1 0.55)") + fig_deer()
        else:
            body = plant_maple(v)
    elif m == 11:
        if c == 40:
            body = g(plant_paulownia(0), transform="translate(0 40) scale(1 0.82)") + fig_phoenix()
        elif c == 41:
            ground = "#e2463a"
            body = plant_paulownia(0, "#fff2b0")
        else:
            body = plant_paulownia(v)
    elif m == 12:
        if c == 44:
            body = rain_lines() + willow(110, 8, 80, 3, 14) + fig_rainman()
        elif c == 45:
            body = plant_willow(1) + fig_swallow()
        elif c == 46:
            body = plant_willow(0) + bolt(96, 100, 1.2)
        else:
            body = rain_lines() + fig_drum()
    if kind == "ribbon":
        body += ribbon(detail)
    if kind == "bright":
        body += bright_mark()
    if kind == "double":
        body += double_mark()
    if c == 32:
        body += september_mark()
    return frame(body, ground)


# The card back: dark red with a lattice and a gold medallion.
def card_back():
    x, y, w, h = INNER
    lattice = ""
    for k in range(-12, 20):
        lattice += line(k * 16, 0, k * 16 + 220, 220, stroke="#8a0e14", stroke_width="2")
        lattice += line(k * 16, 220, k * 16 + 220, 0, stroke="#8a0e14", stroke_width="2")
    body = rect(0, 0, W, H, fill="#b3141c") + lattice
    body += circle(72, 110, 30, fill="#8a0e14", stroke=GOLD, stroke_width="4")
    body += blossom(72, 110, 22, "#e0a82a", "#8a0e14", rot=0)
    body += path(round_rect_path(16, 16, 112, 188, 8), fill="none", stroke=GOLD, stroke_width="2.5")
    return rect(0, 0, W, H, fill="#7a0a10") + g(body, clip_path="url(#backclip)")


# The bomb card: a blank dark card bearing a round bomb and its word.
def bomb_card(spark=True):
    body = rect(0, 0, W, H, fill="#3a3a44")
    body += path(round_rect_path(12, 12, 120, 196, 8), fill="#4c4c58", stroke="#8a8a96", stroke_width="2")
    body += circle(70, 120, 40, fill="#151518", stroke="#000", stroke_width="2")
    body += ellipse(56, 104, 12, 8, fill="#6a6a78", transform="rotate(-35 56 104)")
    body += rect(88, 74, 18, 16, fill="#5a5a62", stroke="#000", stroke_width="2",
                 transform="rotate(40 97 82)")
    body += path("M102,74 C112,60 108,48 118,40", fill="none", stroke="#c8a060", stroke_width="4")
    if spark:
        body += poly(star_points(118, 38, 16, 6, 8), fill=YELLOW, stroke="#e05010", stroke_width="2")
    body += ctext(72, 186, "폭탄", 26, fill="#ffd84a", font=FONT_SANS)
    return frame(body, "#3a3a44")


# ground and ink colours of the five service cards
SERVICE_COLOURS = (("#ffd84a", "#b81418"), ("#bfe3ff", "#1c3f9a"), ("#ffc4d8", "#a0144a"),
                   ("#c8f0b0", "#1d6a24"), ("#e2ccff", "#4a2490"))


# A service card: a bright bonus card worth two junk (x2); k = 0..4 picks its colours.
def service_card(k):
    bg, ink = SERVICE_COLOURS[k]
    body = rect(0, 0, W, H, fill=bg)
    for i in range(8):
        a = i * 45
        body += g(poly([(0, 0), (-9, -120), (9, -120)], fill=WHITE, opacity="0.45"),
                  transform=tr(72, 116, a + 22.5))
    body += circle(72, 116, 44, fill=WHITE, stroke=ink, stroke_width="5")
    body += ctext(58, 120, "×", 34, fill=ink, font=FONT_SANS)
    body += ctext(84, 114, "2", 56, fill=ink, font=FONT_SANS)
    body += rect(8, 22, 128, 34, fill=ink)
    body += ctext(72, 39, "보너스", 26, fill=WHITE, font=FONT_SANS)
    body += rect(8, 176, 128, 30, fill=ink)
    body += ctext(72, 191, "쌍피", 24, fill=WHITE, font=FONT_SANS)
    for sx in (24, 120):
        body += poly(star_points(sx, 80, 10, 4, 5), fill=ink)
    return frame(body, bg)


# --------------------------------------------------------- overlays and markers
# These are drawn on a transparent ground; the sheet maker turns the ground into
# the magenta key colour.

# Overlay: this hand card matches a month on the floor (yellow frame, arrow).
def overlay_match():
    body = path(round_rect_path(4, 4, W - 8, H - 8, 10), fill="none", stroke="#ffe82a", stroke_width="12")
    body += path(round_rect_path(4, 4, W - 8, H - 8, 10), fill="none", stroke="#c08000", stroke_width="2")
    body += poly([(50, 10), (94, 10), (72, 40)], fill="#ffe82a", stroke="#8a5a00", stroke_width="3",
                 stroke_linejoin="round")
    return body


# Overlay: a candidate for a bomb (red frame, bomb badge).
def overlay_bomb():
    body = path(round_rect_path(4, 4, W - 8, H - 8, 10), fill="none", stroke="#ff3030", stroke_width="12")
    body += circle(72, 178, 26, fill="#ff3030", stroke=WHITE, stroke_width="4")
    body += ctext(72, 178, "폭", 30, fill=WHITE, font=FONT_SANS)
    return body


# Overlay: a candidate for a shake (cyan frame, shake badge).
def overlay_shake():
    body = path(round_rect_path(4, 4, W - 8, H - 8, 10), fill="none", stroke="#20d0ff", stroke_width="12")
    body += circle(72, 178, 26, fill="#1090e0", stroke=WHITE, stroke_width="4")
    body += ctext(72, 178, "흔", 30, fill=WHITE, font=FONT_SANS)
    return body


# Mission marker: a stamp over a captured mission card; seat 0 blue, seat 1 red.
def mission_marker(seat):
    col = "#1c6ae0" if seat == 0 else "#e0202a"
    body = circle(72, 110, 46, fill="none", stroke=col, stroke_width="12")
    body += polyline([(46, 112), (66, 134), (102, 86)], fill="none", stroke=col, stroke_width="16",
                     stroke_linecap="round", stroke_linejoin="round")
    body += polyline([(46, 112), (66, 134), (102, 86)], fill="none", stroke=WHITE, stroke_width="5",
                     stroke_linecap="round", stroke_linejoin="round")
    return body


# One frame of the bomb animation shown on the bomb card (k = 1..4).
def bomb_frame(k):
    if k == 1:
        body = bomb_card(spark=False)
        body += poly(star_points(112, 48, 34, 12, 10), fill="#ffec50", stroke="#ff6010", stroke_width="3")
        return body
    body = rect(0, 0, W, H, fill="#3a3a44")
    if k == 2:
        body += poly(star_points(72, 112, 70, 30, 12), fill="#ff8a10", stroke="#c02000", stroke_width="4")
        body += poly(star_points(72, 112, 44, 20, 10, -72), fill="#ffec50")
        body += circle(72, 112, 16, fill=WHITE)
    elif k == 3:
        body += poly(star_points(72, 110, 96, 40, 14), fill="#e02810", stroke="#801000", stroke_width="4")
        body += poly(star_points(72, 110, 70, 34, 12, -80), fill="#ff9a10")
        body += poly(star_points(72, 110, 40, 22, 10), fill="#ffec50")
        body += ctext(72, 112, "펑!", 36, fill="#801000", font=FONT_SANS)
    else:
        for x, y, r, col in ((50, 90, 40, "#8a8a94"), (96, 80, 34, "#9c9ca6"), (72, 130, 46, "#74747e"),
                             (40, 150, 28, "#66666e"), (104, 150, 30, "#86868e")):
            body += circle(x, y, r, fill=col)
        for x, y in ((30, 40), (120, 60), (20, 190), (124, 196), (70, 30)):
            body += poly(star_points(x, y, 10, 4, 4), fill="#ffb030")
    return frame(body, "#3a3a44")
