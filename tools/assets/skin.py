"""The game's skin: board, panels, dialogs, buttons, digits, effects, avatars.

Each routine returns a complete SVG file as text (see svg.svg_file).  Pictures
that are drawn over a transparent ground get the magenta key colour from the
image maker; buttons are drawn alone and laid over the picture they sit on.
Coordinates are those of the 800 x 600 board and of each dialog window.
"""
import math

import cards
from svg import (FONT_SANS, FONT_SQUARE, circle, ctext, defs, ellipse, g, line, linear, n, outlined_text,
                 path, poly, radial, rect, round_rect_path, star_points, svg_file, tag, text, tr)

GOLD = "#d2a045"          # the gold of the board's text shadows (210, 160, 69)
GOLD_LIGHT = "#f3d27a"
GOLD_DARK = "#8a6220"
PARCHMENT = "#f1e4c0"
LOG_BROWN = "#8a5f10"     # the message log (138, 95, 16)
DIGIT_BG = "#0b2416"      # ground of the score and counter digits
FELT_LIGHT = "#23864c"
FELT = "#1a6e3d"
FELT_DARK = "#0e4626"
WOOD_TOP = "#4a2c16"
WOOD_BOTTOM = "#2a170a"
TITLE_TOP = "#3b2a1e"
TITLE_BOTTOM = "#120b06"
INK = "#1b1b1b"

BOARD_W, BOARD_H = 800, 600

# where things are on the board (x, y, w, h)
HUMAN_AVATAR = (698, 478, 100, 120)
OTHER_AVATAR = (698, 28, 100, 120)
MISSION_BOX = (588, 162, 210, 115)
LOG_BOX = (587, 286, 194, 185)
LOG_SCROLL = (781, 286, 17, 185)
START_BUTTON = (229, 366, 179, 55)
TITLE_TEXT = (96, 8, 308, 11)
SUN_HUMAN = (593, 485)
SUN_OTHER = (593, 34)
COUNTER_X = {"score": 396, "go": 466, "shake": 502, "ppeok": 552}
COUNTER_Y = {"human": 454, "other": 126}
PILE_ANCHORS = {0: ((4, 91), (95, 33), (95, 91), (245, 91)),
                1: ((4, 540), (95, 482), (95, 540), (245, 540))}
FLOOR_SLOTS = ((227, 175), (316, 175), (187, 268), (339, 268), (217, 359), (307, 359), (137, 175),
               (407, 175), (97, 268), (429, 268), (127, 359), (397, 359))
DECK = (258, 255)

# title-bar buttons: name -> (x, y, w, h)
TITLE_BUTTONS = {"option": (660, 4, 31, 19), "min": (693, 4, 31, 19), "max": (726, 4, 31, 19),
                 "exit": (759, 4, 31, 19), "waitexit": (752, 4, 40, 24)}

# the login window
LOGIN_W, LOGIN_H = 350, 354
LOGIN_FIELDS = {"name": (118, 112, 200, 24), "password": (118, 150, 200, 24)}
LOGIN_BUTTONS = {"close": (302, 4, 40, 24), "member": (28, 265, 95, 49), "loss": (129, 265, 95, 49),
                 "home": (230, 265, 95, 49), "ok": (236, 196, 57, 49)}

# the dialogs: name -> (w, h)
DIALOGS = {"Wave": (223, 148), "Select": (163, 126), "WaveOK": (223, 148), "Chong": (223, 148),
           "Hwatable": (223, 148), "GukJin": (223, 148), "Result": (306, 208), "Result2": (306, 208)}
COUNTDOWN = {"Wave": (91, 77), "Select": (33, 104), "Hwatable": (60, 107), "GukJin": (79, 65),
             "Result": (81, 180), "Result2": (81, 180)}
DIALOG_BUTTONS = {"go": (12, 40, 94, 59), "stop": (114, 40, 94, 59), "yes": (28, 96, 75, 34),
                  "no": (123, 96, 75, 34), "ok": (198, 164, 99, 40)}


# ------------------------------------------------------------------ shared bits

# The dark title strip along the top of the board and of the login window.
def title_strip(width, height=29):
    return (defs(linear("titlegrad", [(0, TITLE_TOP), (0.5, "#241810"), (1, TITLE_BOTTOM)]))
            + rect(0, 0, width, height, fill="url(#titlegrad)")
            + rect(0, height - 2, width, 1, fill=GOLD_DARK) + rect(0, height - 1, width, 1, fill="#000"))


# The small game emblem: a fan of three cards and the name in gold.
def emblem(x, y, s=1.0, name=True):
    body = ""
    for i, (col, rot) in enumerate((("#c0161c", -16), ("#f6efdc", 0), ("#c0161c", 16))):
        body += g(rect(-5, -14, 10, 15, rx="1.5", fill=col, stroke="#5a0a0c", stroke_width="1"),
                  transform=tr(8, 16, rot))
    body += circle(8, 6, 2.6, fill="#e0262b")
    if name:
        body += text(22, 14, "Velmaro", 12, fill=GOLD_LIGHT, font=FONT_SQUARE, anchor="start")
    return g(body, transform=tr(x, y, 0, s))


# A dashed card outline with a word, showing where a pile of captured cards starts.
def pile_place(x, y, label):
    return (path(round_rect_path(x + 0.5, y + 0.5, 35, 54, 4), fill="#000000", fill_opacity="0.12",
                 stroke="#7fc89a", stroke_opacity="0.45", stroke_width="1", stroke_dasharray="3 2")
            + ctext(x + 18, y + 27, label, 11, fill="#b9e6c8", fill_opacity="0.55", font=FONT_SANS))


# A small gold-framed box with a flat dark ground for digits.
def digit_box(x, y, w, h):
    return (rect(x - 2, y - 2, w + 4, h + 4, rx="2", fill=GOLD_DARK)
            + rect(x - 1, y - 1, w + 2, h + 2, rx="1", fill="#000")
            + rect(x, y, w, h, fill=DIGIT_BG))


# The counter bar of one side: score, Go, shake and ppeok boxes with their labels.
def counter_bar(y):
    body = path(round_rect_path(372, y - 5, 202, 24, 6), fill="#000", fill_opacity="0.35",
                stroke=GOLD_DARK, stroke_width="1")
    body += ctext(383, y + 7, "점", 10, fill=GOLD_LIGHT)
    body += digit_box(COUNTER_X["score"], y, 43, 14)
    for key, label, lx in (("go", "고", 452), ("shake", "흔", 488), ("ppeok", "뻑", 538)):
        body += ctext(lx + 4, y + 7, label, 10, fill=GOLD_LIGHT)
        body += digit_box(COUNTER_X[key], y, 10, 14)
    return body


# A parchment panel with a gold frame (player text panels).
def parchment_panel(x, y, w, h):
    return (rect(x, y, w, h, fill=GOLD_DARK) + rect(x + 1, y + 1, w - 2, h - 2, fill="#3a2410")
            + rect(x + 2, y + 2, w - 4, h - 4, fill=PARCHMENT))


# The avatar backdrop: a soft sky gradient in a gold frame.
def avatar_backdrop(x, y, w, h, idn):
    return (defs(linear(idn, [(0, "#5d8fc8"), (0.7, "#b9d4ee"), (1, "#e8f0f6")]),
                 tag("clipPath", rect(x, y, w, h), id=idn + "c"))
            + rect(x - 1, y - 1, w + 2, h + 2, fill=GOLD)
            + g(rect(x, y, w, h, fill="url(#%s)" % idn)
                + ellipse(x + w / 2.0, y + h + 8, w * 0.55, 26, fill="#7aa0c8", opacity="0.5"),
                clip_path="url(#%sc)" % idn))


# ------------------------------------------------------------------------ board

# A faint gold flower outline in the middle of the floor, under the draw pile.
def floor_emblem(cx, cy):
    body = ""
    for i in range(5):
        a = math.radians(-90 + 72 * i)
        body += circle(cx + 38 * math.cos(a), cy + 38 * math.sin(a), 30, fill="none")
    body += circle(cx, cy, 16, fill="none")
    return g(body, stroke=GOLD, stroke_width="1.2", opacity="0.16")

# The 800 x 600 board: felt table, title strip, player panels, mission box and log.
def board():
    d = defs(radial("felt", [(0, FELT_LIGHT), (0.6, FELT), (1, FELT_DARK)], cx=0.38, cy=0.5, r=0.75),
             radial("floor", [(0, "#2b9a58"), (0.8, "#1f7d45"), (1, "#1a6e3d")]),
             linear("wood", [(0, WOOD_TOP), (1, WOOD_BOTTOM)]),
             tag("pattern", path("M0,6 L6,0 M-1,1 L1,-1 M5,7 L7,5", stroke="#000", stroke_opacity="0.06",
                                 stroke_width="1"),
                 id="weave", width="6", height="6", patternUnits="userSpaceOnUse"))
    body = d + rect(0, 0, 586, 600, fill="url(#felt)") + rect(0, 0, 586, 600, fill="url(#weave)")
    body += rect(3.5, 32.5, 579, 564, rx="6", fill="none", stroke=GOLD, stroke_opacity="0.22",
                 stroke_width="1")

    # the floor: a lighter oval with a faint gold edge, and the place of the draw pile
    body += ellipse(281, 296, 236, 148, fill="url(#floor)", stroke=GOLD, stroke_opacity="0.35",
                    stroke_width="2")
    body += ellipse(281, 296, 228, 140, fill="none", stroke="#ffffff", stroke_opacity="0.08",
                    stroke_width="1", stroke_dasharray="4 4")
    body += floor_emblem(281, 296)
    body += path(round_rect_path(DECK[0] - 3, DECK[1] - 3, 48, 67, 5), fill="#000", fill_opacity="0.18",
                 stroke=GOLD, stroke_opacity="0.4", stroke_width="1")

    # the two sides: hand places and pile places with their kinds
    for seat, labels in ((0, ("광", "열끗", "띠", "피")), (1, ("광", "열끗", "띠", "피"))):
        for (x, y), label in zip(PILE_ANCHORS[seat], labels):
            body += pile_place(x, y, label)
    body += path(round_rect_path(0, 29, 586, 3, 0), fill="#000", fill_opacity="0.25")
    body += path(round_rect_path(391, 44, 100, 64, 6), fill="#000", fill_opacity="0.22",
                 stroke=GOLD, stroke_opacity="0.35", stroke_width="1")
    body += ctext(441, 38, "상대 패", 9, fill="#b9e6c8", fill_opacity="0.6")
    body += path(round_rect_path(385, 477, 199, 121, 8), fill="#000", fill_opacity="0.22",
                 stroke=GOLD, stroke_opacity="0.35", stroke_width="1")
    body += counter_bar(COUNTER_Y["other"]) + counter_bar(COUNTER_Y["human"])

    # the right-hand panel
    body += rect(586, 29, 214, 571, fill="url(#wood)")
    body += rect(586, 29, 2, 571, fill=GOLD_DARK) + rect(588, 29, 1, 571, fill="#000", opacity="0.6")
    for (ax, ay, aw, ah), py, label, idn in ((OTHER_AVATAR, 30, "상대", "skyo"),
                                             (HUMAN_AVATAR, 478, "나", "skyh")):
        body += parchment_panel(588, py - 1 if py == 478 else py, 109, 120 if py == 478 else 119)
        body += avatar_backdrop(ax, ay, aw, ah, idn)
        body += ctext(664, ay + 17, label, 13, fill="#7a4a1a", font=FONT_SANS)
        body += rect(620, ay + 27, 72, 1, fill=GOLD)
    # the mission box: closed doors, like the first frame of its animation
    body += mission_doors(MISSION_BOX[0], MISSION_BOX[1], 0)
    # the message log and its scroll bar strip
    lx, ly, lw, lh = LOG_BOX
    body += rect(lx - 1, ly - 1, lw + 19, lh + 2, fill=GOLD_DARK)
    body += rect(lx, ly, lw, lh, fill=LOG_BROWN)
    sx, sy, sw, sh = LOG_SCROLL
    body += rect(sx, sy, sw, sh, fill="#5a3e0c") + rect(sx, sy, 1, sh, fill="#3a2808")

    # title strip with emblem; the room title is written at (96, 8) by the game
    body += title_strip(800)
    body += emblem(4, 2)
    return svg_file(BOARD_W, BOARD_H, body)


# -------------------------------------------------------------- board pieces

# The mission box seen as two lacquered doors; step 0 is closed, 4 fully open.
def mission_doors(x, y, step):
    w, h = 210, 115
    ids = "mw%d_%d" % (x, step)
    body = defs(linear(ids, [(0, "#6a1a12"), (1, "#3a0c08")]))
    body += rect(x, y, w, h, fill="#2a170a")
    body += mission_open_card(x, y)
    opening = [0, 0.3, 0.6, 0.85, 1.0][step]
    half = (w - 8) / 2.0
    door_w = half * (1 - opening)
    if door_w > 0.5:
        for side in (0, 1):
            dx = x + 4 if side == 0 else x + w - 4 - door_w
            body += rect(dx, y + 4, door_w, h - 8, fill="url(#%s)" % ids, stroke=GOLD, stroke_width="1.5")
            if door_w > 30:
                body += rect(dx + 6, y + 12, door_w - 12, h - 24, fill="none", stroke=GOLD,
                             stroke_opacity="0.6", stroke_width="1")
        if step == 0:
            body += circle(x + w / 2.0, y + h / 2.0, 30, fill="#2a0806", stroke=GOLD, stroke_width="2.5")
            body += ctext(x + w / 2.0, y + h / 2.0 - 5, "미션", 17, fill=GOLD_LIGHT, font=FONT_SANS)
            body += ctext(x + w / 2.0, y + h / 2.0 + 14, "MISSION", 8, fill=GOLD, font=FONT_SQUARE)
    body += rect(x + 0.5, y + 0.5, w - 1, h - 1, fill="none", stroke=GOLD, stroke_width="1")
    return body


# The opened mission box: a parchment card for the mission's cards and text.
def mission_open_card(x, y):
    body = rect(x + 4, y + 4, 202, 107, rx="4", fill=PARCHMENT, stroke=GOLD_DARK, stroke_width="1.5")
    body += rect(x + 8, y + 8, 194, 99, rx="3", fill="none", stroke=GOLD, stroke_width="1",
                 stroke_dasharray="2 2")
    body += rect(x + 10, y + 78, 190, 24, rx="3", fill="#e6d29c")
    return body


# Five frames of the mission box opening, side by side (1050 x 115).
def mission_strip():
    body = "".join(mission_doors(210 * k, 0, k) for k in range(5))
    return svg_file(1050, 115, body)


# The mission result nameplates: frame 0 success (name goes at 71, 82), frame 1 failure.
def mission_nameplates():
    body = ""
    for k in range(2):
        x0 = 210 * k
        ok = k == 0
        fill = "#fff3c8" if ok else "#d8d8d8"
        edge = "#b8860b" if ok else "#6a6a6a"
        body += path("M%s,76 L%s,76 L%s,89 L%s,102 L%s,102 L%s,89Z" % (
            n(x0 + 8), n(x0 + 202), n(x0 + 196), n(x0 + 202), n(x0 + 8), n(x0 + 14)),
            fill=fill, stroke=edge, stroke_width="2")
        stamp = "#d42020" if ok else "#505050"
        body += circle(x0 + 40, 89, 17, fill="#ffffff", stroke=stamp, stroke_width="3")
        body += ctext(x0 + 40, 84, "미션", 9, fill=stamp)
        body += ctext(x0 + 40, 95, "성공" if ok else "실패", 10, fill=stamp)
        if ok:
            for sx, sy in ((x0 + 188, 66), (x0 + 20, 64), (x0 + 170, 110)):
                body += poly(star_points(sx, sy, 7, 3, 5), fill="#ffcc20", stroke="#a06000",
                             stroke_width="1")
        else:
            body += ctext(x0 + 125, 89, "다음 기회에...", 12, fill="#404040")
    return svg_file(420, 115, body)


# Mission multiplier badges for 2 and 3 on the parchment of the open mission box.
def mission_badges():
    body = rect(0, 0, 110, 55, fill=PARCHMENT)
    for k, m in enumerate((2, 3)):
        cx = 27.5 + 55 * k
        body += poly(star_points(cx, 27.5, 26, 21, 16), fill="#f0b020" if m == 2 else "#f07020",
                     stroke="#8a4a00", stroke_width="1.5")
        body += circle(cx, 27.5, 18, fill="#c8161c", stroke="#fff0b0", stroke_width="2")
        body += ctext(cx - 3, 26, str(m), 20, fill="#ffffff", font=FONT_SQUARE)
        body += ctext(cx + 9, 30, "배", 9, fill="#ffe080")
    return svg_file(110, 55, body)


# Digits 0..9 in cells of 10 x 14 on the dark digit ground; style picks the colours.
def digit_strip(style):
    fill, edge = ("#ffd84a", "#8a5a00") if style == "current" else ("#9ff0ff", "#0a5a70")
    body = rect(0, 0, 100, 14, fill=DIGIT_BG)
    for d in range(10):
        body += text(10 * d + 5, 12.2, str(d), 13.5, fill=fill, font=FONT_SQUARE, stroke=edge,
                     stroke_width="0.5")
    return svg_file(100, 14, body)


# The turn marker: a small red sun with rays, on a cut-out of the panel under it.
def sun_marker():
    body = poly(star_points(10.5, 11, 10.4, 7, 12), fill="#ff9a10", stroke="#b04000", stroke_width="0.8")
    body += circle(10.5, 11, 6.3, fill="#e8261c", stroke="#901008", stroke_width="0.8")
    body += circle(9, 9.5, 2, fill="#ff8a70")
    return svg_file(21, 22, body)


# ------------------------------------------------------------------- buttons

# A glossy rounded button face; pressed faces are darker and sit one pixel lower.
def button_face(w, h, base, dark, light, label, size, pressed, sub=None, radius=None, label_fill="#ffffff",
                idn="b"):
    r = radius if radius is not None else min(10, h / 3.0)
    off = 1 if pressed else 0
    top, bottom = (dark, base) if pressed else (light, base)
    body = defs(linear(idn + "g", [(0, top), (0.55, base), (1, dark if not pressed else base)]))
    body += path(round_rect_path(0.5, 0.5 + off, w - 1, h - 1.5, r), fill="#000", fill_opacity="0.45")
    body += path(round_rect_path(0.5, 0.5 + off, w - 1, h - 2, r), fill="url(#%sg)" % idn, stroke=GOLD_DARK,
                 stroke_width="1")
    if not pressed:
        body += path(round_rect_path(2, 2, w - 4, (h - 4) * 0.45, max(r - 2, 1)), fill="#ffffff",
                     fill_opacity="0.18")
    body += path(round_rect_path(1.5, 1.5 + off, w - 3, h - 4, max(r - 1, 1)), fill="none", stroke=GOLD_LIGHT,
                 stroke_opacity="0.7" if not pressed else "0.35", stroke_width="1")
    cy = h / 2.0 - 1 + off - (size * 0.22 if sub else 0)
    dark_label = label_fill.lower() in ("#3a2000",)
    body += outlined_text(w / 2.0, cy, label, size, label_fill, "#fff4c8" if dark_label else "#2a1000",
                          1.6 if dark_label else 2.2)
    if sub:
        body += ctext(w / 2.0, cy + size * 0.72, sub, max(7, size * 0.38), fill="#ffffff", fill_opacity="0.85",
                      font=FONT_SQUARE)
    return body


# Two faces of a button side by side: normal at x 0, pressed at x = w.
def button_strip(w, h, draw):
    return svg_file(2 * w, h, g(draw(False), transform=None) + g(draw(True), transform=tr(w, 0)))


# Title-bar button icons on small dark buttons (31 x 19).
def title_button(kind):
    def draw(pressed):
        w, h = 31, 19
        idn = "t" + kind + ("p" if pressed else "n")
        base, dark, light = (("#8a1a14", "#4a0a08", "#c8402a") if kind == "exit"
                             else ("#4a3a2a", "#221810", "#7a6448"))
        body = button_face(w, h, base, dark, light, "", 1, pressed, radius=4, idn=idn)
        o = 1 if pressed else 0
        st = dict(stroke="#f5e6c0", stroke_width="1.8", fill="none", stroke_linecap="round")
        cx, cy = 15.5, 9 + o
        if kind == "min":
            body += line(10, cy + 4, 21, cy + 4, **st)
        elif kind == "max":
            body += rect(10, cy - 4.5, 11, 9, **st) + line(10, cy - 3, 21, cy - 3, **st)
        elif kind == "res":
            body += rect(9, cy - 2, 9, 7, **st) + path("M12,%s V%s H22 V%s H19" % (n(cy - 2), n(cy - 5),
                                                                                   n(cy + 2)), **st)
        elif kind == "exit":
            body += path("M11,%s L20,%s M20,%s L11,%s" % (n(cy - 4.5), n(cy + 4.5), n(cy - 4.5), n(cy + 4.5)),
                         **dict(st, stroke_width="2.2"))
        elif kind == "option":
            pts = star_points(cx, cy, 6.5, 4.6, 8, -90)
            body += poly(pts, fill="#f5e6c0", stroke="none") + circle(cx, cy, 2.2, fill=dark)
        return body
    return button_strip(31, 19, draw)


# The waiting-room exit button (40 x 24): a red button with a cross.
def wait_exit_button():
    def draw(pressed):
        body = button_face(40, 24, "#9a1c14", "#4a0a08", "#d04a30", "", 1, pressed, radius=5,
                           idn="we" + ("p" if pressed else "n"))
        o = 1 if pressed else 0
        body += path("M15,%s L25,%s M25,%s L15,%s" % (n(6 + o), n(16 + o), n(6 + o), n(16 + o)),
                     stroke="#fff0d0", stroke_width="2.6", stroke_linecap="round")
        return body
    return button_strip(40, 24, draw)


# The start button (one face, 179 x 55).
def start_button():
    body = button_face(179, 55, "#b81c14", "#5a0806", "#f0603a", "게임 시작", 22, False, sub="START",
                       radius=14, label_fill="#fff2b0", idn="st")
    for x in (16, 163):
        body += g(rect(-6, -9, 12, 18, rx="2", fill="#f6efdc", stroke="#5a0a0c", stroke_width="1")
                  + circle(0, -2, 3, fill="#e0262b"), transform=tr(x, 26, -12 if x < 90 else 12))
    return svg_file(179, 55, body)


# A dialog or login button strip with a label.
def label_button(w, h, label, colours, size, sub=None, label_fill="#ffffff", radius=None, key="l"):
    base, dark, light = colours

    def draw(pressed):
        return button_face(w, h, base, dark, light, label, size, pressed, sub=sub, radius=radius,
                           label_fill=label_fill, idn=key + ("p" if pressed else "n"))
    return button_strip(w, h, draw)


RED_BTN = ("#c0221a", "#5a0806", "#f0603a")
BLUE_BTN = ("#1f52b8", "#0a1f5a", "#5a8ae8")
GREEN_BTN = ("#2a8a3a", "#0c3a14", "#5ac06a")
GREY_BTN = ("#6a6a72", "#2a2a30", "#a0a0aa")
BROWN_BTN = ("#8a5a22", "#3a220a", "#c08a48")
GOLD_BTN = ("#d8a020", "#6a4808", "#ffd870")


# The Go button (94 x 59): red, with the word for Go.
def go_button():
    return label_button(94, 59, "고", RED_BTN, 26, sub="GO", label_fill="#fff2b0", radius=12, key="go")


# The Stop button (94 x 59): blue, with the word for Stop.
def stop_button():
    return label_button(94, 59, "스톱", BLUE_BTN, 22, sub="STOP", label_fill="#ffffff", radius=12, key="sp")


# The yes button of the shake and September questions (75 x 34), green.
def yes_button():
    return label_button(75, 34, "예", GREEN_BTN, 16, radius=9, key="ye")


# The no button of the shake and September questions (75 x 34), grey.
def no_button():
    return label_button(75, 34, "아니오", GREY_BTN, 14, radius=9, key="no")


# The OK button of the result window (99 x 40), gold.
def result_ok_button():
    return label_button(99, 40, "확인", GOLD_BTN, 17, label_fill="#3a2000", radius=10, key="ok")


# The login window's buttons: join, lost account, home page (95 x 49) and OK (57 x 49).
def login_button(kind):
    if kind == "ok":
        return label_button(57, 49, "확인", RED_BTN, 15, sub="LOGIN", label_fill="#fff2b0", radius=10, key="lo")
    label, sub = {"member": ("회원가입", "JOIN"), "loss": ("정보찾기", "FIND ID"),
                  "home": ("홈페이지", "HOME")}[kind]
    return label_button(95, 49, label, BROWN_BTN, 14, sub=sub, radius=10, key="l" + kind)


# ------------------------------------------------------------------- dialogs

# The shake and September questions share their colours (their yes/no buttons are
# the same pictures), and so do the two result windows (the same OK button).
QUESTION_COLOURS = ("#1c4a2c", "#0a2414")
RESULT_COLOURS = ("#1c2a4a", "#0a1020")


# The common dialog frame: a rounded lacquer window with a gold rim on a transparent ground.
def dialog_frame(w, h, idn, title=None, colours=("#1c3a5c", "#0c1a2c")):
    top, bottom = colours
    body = defs(linear(idn, [(0, top), (1, bottom)]))
    body += path(round_rect_path(0.5, 0.5, w - 1, h - 1, 14), fill=GOLD_DARK)
    body += path(round_rect_path(2, 2, w - 4, h - 4, 12), fill=GOLD)
    body += path(round_rect_path(4, 4, w - 8, h - 8, 10), fill="url(#%s)" % idn)
    body += path(round_rect_path(6.5, 6.5, w - 13, h - 13, 8), fill="none", stroke=GOLD_LIGHT,
                 stroke_opacity="0.35", stroke_width="1")
    if title:
        body += ctext(w / 2.0, 18, title, 12, fill=GOLD_LIGHT)
    return body


# The track behind a dialog's countdown squares (nine squares of 9 px, 10 px apart).
def countdown_track(x0, y0, label=True):
    body = rect(x0 - 3, y0 - 3, 95, 15, rx="3", fill="#000", fill_opacity="0.55", stroke=GOLD_DARK,
                stroke_width="1")
    for i in range(9):
        body += rect(x0 + 10 * i, y0, 9, 9, fill="#ffffff", fill_opacity="0.08")
    if label:
        body += text(x0 - 7, y0 + 8, "시간", 9, fill=GOLD_LIGHT, anchor="end")
    return body


# A card-sized dark slot where the game draws a card in a dialog.
def card_slot(x, y):
    return path(round_rect_path(x - 1.5, y - 1.5, 39, 58, 4), fill="#000", fill_opacity="0.45",
                stroke=GOLD, stroke_opacity="0.6", stroke_width="1")


# The shake question: three cards at the top right, the question at the left, yes/no below.
def dialog_wave():
    w, h = DIALOGS["Wave"]
    body = dialog_frame(w, h, "dw", colours=QUESTION_COLOURS)
    for k in range(3):
        body += card_slot(69 + 51 * k, 11)
    body += ctext(36, 26, "흔들기", 12, fill=GOLD_LIGHT)
    body += ctext(36, 44, "흔드시", 10, fill="#ffffff")
    body += ctext(36, 57, "겠습니까?", 10, fill="#ffffff")
    body += countdown_track(*COUNTDOWN["Wave"])
    return svg_file(w, h, body)


# The floor choice: two card places, a line of help and the countdown.
def dialog_select():
    w, h = DIALOGS["Select"]
    body = dialog_frame(w, h, "ds")
    body += card_slot(32, 16) + card_slot(93, 16)
    body += ctext(81.5, 44, "or", 10, fill=GOLD_LIGHT, font=FONT_SQUARE)
    body += ctext(81.5, 86, "가져올 패를 고르세요", 11, fill="#ffffff")
    body += countdown_track(*COUNTDOWN["Select"], label=False)
    return svg_file(w, h, body)


# The display of shaken cards (name at 28, 24; three cards at y 66).
def dialog_waveok():
    w, h = DIALOGS["WaveOK"]
    body = dialog_frame(w, h, "dk", colours=("#1c3a5c", "#0c1a2c"))
    body += rect(14, 14, w - 28, 24, rx="5", fill="#000", fill_opacity="0.35")
    body += ctext(w / 2.0, 52, "흔들기 선언!", 11, fill=GOLD_LIGHT)
    for x in (43, 94, 145):
        body += card_slot(x, 66)
    body += ctext(w / 2.0, 134, "한 판 두 배", 9, fill="#c8d8f0")
    return svg_file(w, h, body)


# The display of a chongtong (name at 28, 24; four cards at y 66).
def dialog_chong():
    w, h = DIALOGS["Chong"]
    body = dialog_frame(w, h, "dc", colours=("#5a1410", "#2a0806"))
    body += rect(14, 14, w - 28, 24, rx="5", fill="#000", fill_opacity="0.35")
    body += ctext(w / 2.0, 52, "총통!", 12, fill=GOLD_LIGHT)
    for x in (16, 67, 118, 169):
        body += card_slot(x, 66)
    body += ctext(w / 2.0, 134, "네 장이 모두 모였습니다", 9, fill="#f0d0c0")
    return svg_file(w, h, body)


# The Go/Stop question: title, two big buttons, countdown and the amount line at (20, 126).
def dialog_hwatable():
    w, h = DIALOGS["Hwatable"]
    body = dialog_frame(w, h, "dh", colours=("#5a1410", "#240604"))
    body += ctext(w / 2.0, 22, "고 하시겠습니까?", 13, fill=GOLD_LIGHT)
    body += rect(10, 121, w - 20, 19, rx="4", fill="#000", fill_opacity="0.45")
    body += countdown_track(*COUNTDOWN["Hwatable"])
    return svg_file(w, h, body)


# The September animal question: the sake cup, the question, countdown, yes/no.
def dialog_gukjin():
    w, h = DIALOGS["GukJin"]
    body = dialog_frame(w, h, "dg", colours=QUESTION_COLOURS)
    body += g(defs(cards.CARD_DEFS) + cards.month_card(32), transform=tr(14, 12, 0, 0.28))
    body += text(62, 24, "9월 열끗(국진)을", 12, fill=GOLD_LIGHT, anchor="start")
    body += text(62, 41, "쌍피로 쓰시겠습니까?", 12, fill="#ffffff", anchor="start")
    body += text(62, 56, "예: 쌍피 · 아니오: 열끗", 9, fill="#b0d8b8", anchor="start")
    body += countdown_track(*COUNTDOWN["GukJin"], label=False)
    return svg_file(w, h, body)


# The result of a hand with details: emblem at the left, text lines from x 86, OK at the bottom.
def dialog_result():
    w, h = DIALOGS["Result"]
    body = dialog_frame(w, h, "dr", colours=RESULT_COLOURS)
    body += rect(82, 12, 212, 144, rx="6", fill="#000", fill_opacity="0.35")
    body += rect(82, 126, 212, 1, fill=GOLD, opacity="0.5")
    body += trophy(44, 74)
    body += ctext(44, 130, "게임 결과", 11, fill=GOLD_LIGHT)
    body += countdown_track(*COUNTDOWN["Result"])
    return svg_file(w, h, body)


# The result of a drawn hand: a large "draw" sign, OK and countdown.
def dialog_result2():
    w, h = DIALOGS["Result2"]
    body = dialog_frame(w, h, "dr2", colours=RESULT_COLOURS)
    body += ctext(w / 2.0, 30, "게임 결과", 12, fill=GOLD_LIGHT)
    body += outlined_text(w / 2.0, 84, "무승부", 40, "#e8e8f0", "#202030", 4)
    body += ctext(w / 2.0, 126, "이번 판은 나가리입니다", 12, fill="#b8b8c8")
    body += countdown_track(*COUNTDOWN["Result2"])
    return svg_file(w, h, body)


# A gold trophy cup.
def trophy(cx, cy):
    body = path("M%s,%s h36 v6 c0,22 -8,34 -18,36 c-10,-2 -18,-14 -18,-36z" % (n(cx - 18), n(cy - 34)),
                fill="#f0c030", stroke="#8a5a00", stroke_width="1.5")
    body += path("M%s,%s c-12,0 -14,18 0,22 M%s,%s c12,0 14,18 0,22" % (
        n(cx - 18), n(cy - 28), n(cx + 18), n(cy - 28)), fill="none", stroke="#f0c030", stroke_width="3")
    body += rect(cx - 4, cy + 8, 8, 12, fill="#d8a020") + rect(cx - 14, cy + 20, 28, 7, rx="2", fill="#b88010",
                                                               stroke="#6a4400", stroke_width="1")
    body += poly(star_points(cx, cy - 16, 9, 4, 5), fill="#fff6c0")
    return body


# ---------------------------------------------------------------- login window

# The login window: title strip, emblem, two entry fields and the button places.
def login_window():
    w, h = LOGIN_W, LOGIN_H
    body = defs(linear("lgbody", [(0, "#2a1a10"), (1, "#140c06")]),
                linear("lgcard", [(0, "#f6ebcf"), (1, "#e8d6a8")]))
    body += path(round_rect_path(0.5, 0.5, w - 1, h - 1, 12), fill=GOLD_DARK)
    body += path(round_rect_path(2, 2, w - 4, h - 4, 10), fill="url(#lgbody)")
    body += tag("clipPath", path(round_rect_path(2, 2, w - 4, h - 4, 10)), id="lgclip")
    body += g(title_strip(w), clip_path="url(#lgclip)")
    body += emblem(8, 5, 1.0)
    body += text(90, 21, "로그인", 12, fill="#f5e6c0", anchor="start")
    # the card with the fields
    body += path(round_rect_path(14, 42, w - 28, 212, 8), fill="url(#lgcard)", stroke=GOLD, stroke_width="1.5")
    for i, (col, rot) in enumerate((("#c0161c", -18), ("#f6efdc", 0), ("#c0161c", 18))):
        body += g(rect(-11, -34, 22, 34, rx="3", fill=col, stroke="#5a0a0c", stroke_width="1.2"),
                  transform=tr(58 + i * 6, 96, rot))
    body += circle(64, 70, 5, fill="#e0262b")
    body += text(96, 78, "Velmaro", 24, fill="#7a1010", font=FONT_SQUARE, anchor="start")
    body += text(98, 96, "맞고 · 화투 한 판", 11, fill="#6a4a20", anchor="start")
    for key, label in (("name", "게임명"), ("password", "비밀번호")):
        x, y, fw, fh = LOGIN_FIELDS[key]
        body += text(x - 10, y + 17, label, 12, fill="#4a2a10", anchor="end")
        body += rect(x - 1, y - 1, fw + 2, fh + 2, rx="3", fill="#8a6a3a")
        body += rect(x, y, fw, fh, rx="2", fill="#ffffff")
        body += rect(x + 1, y + 1, fw - 2, 2, fill="#000", opacity="0.08")
    body += text(30, 214, "게임명과 비밀번호를 입력하고", 11, fill="#5a3a1a", anchor="start")
    body += text(30, 232, "[확인]을 누르세요.", 11, fill="#5a3a1a", anchor="start")
    body += text(w / 2.0, 340, "처음 오셨나요? 회원가입 후 즐기세요", 10, fill="#c8a878")
    return svg_file(w, h, body)


# ---------------------------------------------------------------- effects

# burst colours of the Go effects, warmer with every Go
GO_COLOURS = {1: ("#ffe040", "#ff9a10"), 2: ("#ffb020", "#ff5a10"), 3: ("#ff6a30", "#d01010"),
              4: ("#ff5a8a", "#a01050"), 5: ("#a0f0ff", "#2060ff")}


# The Go effect for the k-th Go: a burst with "k고" in large outlined letters.
def go_effect(k):
    inner, outer = GO_COLOURS[k]
    body = poly(star_points(100, 66, 64, 40, 16), fill=outer, stroke="#401000", stroke_width="3",
                stroke_linejoin="round")
    body += poly(star_points(100, 66, 50, 34, 16, -79), fill=inner)
    body += outlined_text(100, 62, "%d고" % k, 46, "#ffffff", "#3a0a00", 7, font=FONT_SANS)
    body += outlined_text(100, 104, ["", "GO!", "GO! GO!", "THREE GO", "FOUR GO", "FIVE GO"][k], 13,
                          "#fff2b0", "#3a0a00", 3.5, font=FONT_SQUARE)
    for i in range(k):
        x = 100 + (i - (k - 1) / 2.0) * 18
        body += poly(star_points(x, 18, 8, 3.5, 5), fill="#fff6a0", stroke="#a05000", stroke_width="1")
    return svg_file(200, 132, body)


# The countdown strip: frames of 40 x 40 with the digits 1 to 5 on a red clock face.
def countdown_strip():
    body = ""
    for k in range(5):
        x = 40 * k
        body += circle(x + 20, 20, 17, fill="#d8201a", stroke="#ffd84a", stroke_width="2.5")
        for t in range(12):
            a = math.radians(t * 30)
            body += line(x + 20 + 13.5 * math.cos(a), 20 + 13.5 * math.sin(a), x + 20 + 15.5 * math.cos(a),
                         20 + 15.5 * math.sin(a), stroke="#ffe0a0", stroke_width="1")
        body += outlined_text(x + 20, 20, str(k + 1), 22, "#ffffff", "#5a0000", 3, font=FONT_SQUARE)
    return svg_file(200, 40, body)


# ------------------------------------------------------------------ avatars

SKIN = ("#f2c9a0", "#e8b48a", "#f6d4b4", "#d9a070", "#f0c098", "#e4b090")
MALE = (
    # hair colour, hair style, clothes, collar, extra
    ("#1a1410", "short", "#2a5ab0", "#ffffff", None),
    ("#3a2414", "side", "#6a2a8a", "#f0e0a0", "glasses"),
    ("#101010", "spiky", "#c0301a", "#222222", None),
    ("#5a5a60", "bald", "#2a6a3a", "#f5f0e0", "beard"),
    ("#2a1a0a", "cap", "#d08a10", "#ffffff", "cap"),
    ("#1a1410", "hanbok", "#1a3a6a", "#ffffff", "gat"),
)
FEMALE = (
    ("#1a1410", "long", "#d04a7a", "#ffffff", None),
    ("#4a2a14", "bob", "#2a8a8a", "#f5f0e0", None),
    ("#1a1010", "bun", "#8a2a2a", "#f0d080", "pin"),
    ("#6a3a1a", "pony", "#4a6ad0", "#ffffff", "glasses"),
    ("#2a1a10", "wave", "#5a2a80", "#f0e0ff", None),
    ("#101010", "hanbok", "#e0507a", "#f8f0c0", "pin"),
)


# One avatar portrait (head and shoulders) in a 100 x 120 cell.
def portrait(skin, hair, style, clothes, collar, extra, female):
    o = dict(stroke=INK, stroke_width="2", stroke_linejoin="round")
    body = ""
    # long hair behind the head
    if style in ("long", "wave", "hanbok") and female:
        body += path("M22,54 C18,20 82,20 78,54 L84,106 C70,112 30,112 16,106Z", fill=hair, **o)
    if style == "pony":
        body += path("M70,40 C92,44 94,78 84,96 C80,80 76,60 66,50Z", fill=hair, **o)
    # shoulders and clothes
    body += path("M6,120 C8,96 26,86 50,86 C74,86 92,96 94,120Z", fill=clothes, **o)
    if style == "hanbok":
        body += path("M36,88 L50,112 L64,88", fill="none", stroke=collar, stroke_width="6")
        body += path("M50,100 L40,120 M50,100 L62,120", stroke=INK, stroke_width="1.5")
    else:
        body += path("M38,88 L50,102 L62,88", fill=collar, **o)
    body += rect(43, 74, 14, 16, fill=skin, **o)
    # ears, face
    body += ellipse(27, 56, 5, 7, fill=skin, **o) + ellipse(73, 56, 5, 7, fill=skin, **o)
    body += path("M28,46 C28,22 72,22 72,46 L72,60 C72,76 60,84 50,84 C40,84 28,76 28,60Z", fill=skin, **o)
    # hair on top
    if style == "short":
        body += path("M26,48 C22,20 78,16 74,48 C70,34 60,30 50,32 C40,30 30,34 26,48Z", fill=hair, **o)
    elif style == "side":
        body += path("M26,50 C20,18 80,16 74,46 C64,30 44,34 30,40 C30,44 28,46 26,50Z", fill=hair, **o)
    elif style == "spiky":
        body += path("M26,48 L24,28 L34,32 L38,16 L46,28 L54,14 L60,28 L70,20 L70,32 L78,30 L74,48 "
                     "C68,36 32,36 26,48Z", fill=hair, **o)
    elif style == "bald":
        body += path("M26,52 C24,40 28,36 30,44 M74,52 C76,40 72,36 70,44", fill=hair, **o)
    elif style == "cap":
        body += path("M24,44 C24,16 76,16 76,44Z", fill="#d8261a", **o)
        body += path("M50,42 C64,40 84,42 92,48 C78,50 62,48 50,46Z", fill="#a01810", **o)
        body += circle(50, 22, 3, fill="#ffffff")
    elif style == "hanbok" and not female:
        body += path("M28,46 C26,26 74,26 72,46 C64,36 36,36 28,46Z", fill=hair, **o)
    elif style == "long" or style == "wave" or (style == "hanbok" and female):
        body += path("M27,52 C22,18 78,18 73,52 C70,40 62,30 46,32 C40,38 32,42 27,52Z", fill=hair, **o)
    elif style == "bob":
        body += path("M22,66 C14,18 86,18 78,66 L72,66 C72,48 66,36 50,34 C36,36 28,48 28,66Z", fill=hair, **o)
    elif style == "bun":
        body += circle(50, 18, 11, fill=hair, **o)
        body += path("M27,50 C22,20 78,20 73,50 C66,36 34,36 27,50Z", fill=hair, **o)
    elif style == "pony":
        body += path("M27,50 C22,20 78,20 73,50 C66,34 40,30 27,50Z", fill=hair, **o)
    # face details
    body += ellipse(41, 56, 3, 3.6, fill=INK) + ellipse(59, 56, 3, 3.6, fill=INK)
    body += circle(42, 55, 1, fill="#ffffff") + circle(60, 55, 1, fill="#ffffff")
    brow = "M35,47 Q41,44 46,47 M54,47 Q59,44 65,47"
    body += path(brow, fill="none", stroke=INK if not female else "#3a2a20", stroke_width="2" if not female else "1.5")
    body += path("M50,58 Q48,64 51,66", fill="none", stroke="#b07850", stroke_width="1.5")
    if female:
        body += path("M44,72 Q50,77 56,72", fill="#d04050", stroke="#902030", stroke_width="1.2")
        body += ellipse(35, 66, 4, 2.5, fill="#f08a8a", opacity="0.6") + ellipse(65, 66, 4, 2.5, fill="#f08a8a",
                                                                               opacity="0.6")
        body += path("M37,53 L34,51 M63,53 L66,51", stroke=INK, stroke_width="1.2")
    else:
        body += path("M43,72 Q50,76 57,72", fill="none", stroke="#7a3a2a", stroke_width="2")
    if extra == "glasses":
        body += circle(41, 56, 7, fill="none", stroke="#303030", stroke_width="2")
        body += circle(59, 56, 7, fill="none", stroke="#303030", stroke_width="2")
        body += line(48, 56, 52, 56, stroke="#303030", stroke_width="2")
    elif extra == "beard":
        body += path("M34,66 C36,84 64,84 66,66 C60,74 40,74 34,66Z", fill="#8a8a90", **o)
        body += path("M43,70 Q50,74 57,70", fill="none", stroke="#5a3030", stroke_width="2")
    elif extra == "gat":
        body += ellipse(50, 30, 34, 7, fill="#202020", fill_opacity="0.9", stroke="#000", stroke_width="1.5")
        body += path("M36,30 L38,10 L62,10 L64,30Z", fill="#202020", fill_opacity="0.9", stroke="#000",
                     stroke_width="1.5")
        body += path("M30,34 Q34,70 36,80 M70,34 Q66,70 64,80", fill="none", stroke="#202020", stroke_width="1.2")
    elif extra == "pin":
        body += rect(30, 22, 40, 4, rx="2", fill="#e0b020", stroke="#6a4a00", stroke_width="1",
                     transform="rotate(-15 50 24)")
        body += circle(31, 28, 4, fill="#e03040", stroke="#6a0a10", stroke_width="1")
    return body


# The computer's avatar: a friendly robot dealer.
def robot():
    o = dict(stroke=INK, stroke_width="2", stroke_linejoin="round")
    body = path("M6,120 C8,96 26,88 50,88 C74,88 92,96 94,120Z", fill="#5a6a80", **o)
    body += rect(36, 96, 28, 14, rx="3", fill="#2a3a50", **o)
    for i in range(3):
        body += circle(43 + i * 7, 103, 2, fill=["#ff4040", "#ffd040", "#40ff80"][i])
    body += rect(44, 76, 12, 14, fill="#8a9ab0", **o)
    body += line(50, 20, 50, 8, stroke=INK, stroke_width="2.5") + circle(50, 7, 4.5, fill="#ff4040", **o)
    body += path(round_rect_path(22, 20, 56, 58, 12), fill="#b8c8dc", **o)
    body += rect(16, 38, 8, 20, rx="3", fill="#8a9ab0", **o) + rect(76, 38, 8, 20, rx="3", fill="#8a9ab0", **o)
    body += path(round_rect_path(29, 32, 42, 24, 8), fill="#1a2a40", **o)
    body += circle(40, 44, 5.5, fill="#60e0ff") + circle(60, 44, 5.5, fill="#60e0ff")
    body += circle(41, 43, 2, fill="#ffffff") + circle(61, 43, 2, fill="#ffffff")
    body += path("M38,64 Q50,72 62,64", fill="none", stroke="#2a3a50", stroke_width="3", stroke_linecap="round")
    body += g(rect(-7, -10, 14, 20, rx="2", fill="#c0161c", stroke="#5a0a0c", stroke_width="1.2")
              + circle(0, -2, 3, fill="#f6efdc"), transform=tr(80, 104, 14))
    return body


AVATAR_COLUMNS = 6


# The avatar sheet: row 0 voice "M", row 1 voice "F", the computer at (0, 240).
def avatar_sheet():
    body = ""
    for row, people, female in ((0, MALE, False), (1, FEMALE, True)):
        for col, (hair, style, clothes, collar, extra) in enumerate(people):
            skin = SKIN[(col + row * 2) % len(SKIN)]
            body += g(portrait(skin, hair, style, clothes, collar, extra, female),
                      transform=tr(100 * col, 120 * row))
    body += g(robot(), transform=tr(0, 240))
    return svg_file(100 * AVATAR_COLUMNS, 360, body)
