#!/usr/bin/python3
"""Makes every picture of the game from the drawings in cards.py and skin.py.

Usage: make_images.py OUTPUT_FOLDER [--hires FOLDER]
  OUTPUT_FOLDER   receives the GIF and JPEG files under their game names
  --hires FOLDER  also keeps the card sheet at four times the size (whatoo@4x.png)
                  and the SVG sources of all pictures there

The SVG drawings are rendered with rsvg-convert and turned into GIF or JPEG with
ImageMagick.  Pictures with a see-through part carry the key colour magenta
(255, 0, 255): they are drawn on a transparent ground, their edges are made
hard (alpha threshold at one half), their colours reduced to at most 255, and
only then the ground is filled with magenta, so that no drawn pixel can become
the key colour and the key colour stays exact.
"""
import os
import shutil
import subprocess
import sys
import tempfile

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, HERE)
sys.dont_write_bytecode = True  # keep the source folder free of compiled files

import cards  # noqa: E402
import skin  # noqa: E402
from svg import defs, g, svg_file, tr  # noqa: E402

CONVERT = "/usr/bin/convert"
MONTAGE = "/usr/bin/montage"
RSVG = "rsvg-convert"
KEY = "#FF00FF"


class Maker:
    def __init__(self, out, work, hires=None):
        self.out = out
        self.work = work
        self.hires = hires
        self.made = []

    # ------------------------------------------------------------ tool calls
    def run(self, cmd):
        res = subprocess.run(cmd, stdout=subprocess.PIPE, stderr=subprocess.PIPE, text=True)
        if res.returncode != 0:
            sys.stderr.write(res.stdout + res.stderr)
            raise SystemExit("failed: " + " ".join(cmd))
        return res.stdout

    def tmp(self, name):
        return os.path.join(self.work, name)

    def render(self, name, svg_text):
        """Writes an SVG source and renders it to a PNG of its own size; returns the PNG path."""
        src = self.tmp(name + ".svg")
        with open(src, "w", encoding="utf-8") as f:
            f.write(svg_text)
        if self.hires:
            shutil.copy(src, os.path.join(self.hires, name + ".svg"))
        png = self.tmp(name + ".png")
        self.run([RSVG, "-o", png, src])
        return png

    def target(self, name):
        self.made.append(name)
        return os.path.join(self.out, name)

    # ------------------------------------------------------------ writers
    def gif_plain(self, png, name, dither=True):
        """An opaque picture as GIF (at most 256 colours)."""
        self.run([CONVERT, png, "-alpha", "off"] + (["-dither", "FloydSteinberg"] if dither else ["+dither"])
                 + ["-colors", "256", "+repage", "-strip", "gif:" + self.target(name)])

    def gif_keyed(self, png, name, dither=False):
        """A picture with a transparent ground as GIF whose ground is exact magenta."""
        self.run([CONVERT, png, "-channel", "A", "-threshold", "50%", "+channel"]
                 + (["-dither", "FloydSteinberg"] if dither else ["+dither"])
                 + ["-colors", "255", "-background", KEY, "-alpha", "remove", "-alpha", "off",
                    "+repage", "-strip", "gif:" + self.target(name)])

    def gif_transparent(self, png, name):
        """A picture with a see-through ground as GIF: the ground is the GIF's own
        transparent colour, which the game keeps when it draws the picture."""
        self.run([CONVERT, png, "-channel", "A", "-threshold", "50%", "+channel", "+dither",
                  "-colors", "255", "+repage", "-strip", "gif:" + self.target(name)])

    def jpeg(self, png, name):
        self.run([CONVERT, png, "-alpha", "off", "-sampling-factor", "1x1", "-quality", "92", "-strip",
                  "jpeg:" + self.target(name)])

    def over(self, background_png, x, y, w, h, face_png, out_png):
        """Lays a transparent face over the (x, y, w, h) cut of a background picture."""
        self.run([CONVERT, background_png, "-crop", "%dx%d+%d+%d" % (w, h, x, y), "+repage", face_png,
                  "-compose", "over", "-composite", out_png])
        return out_png

    def strip_over(self, background_png, x, y, w, h, strip_svg, name, frames=2):
        """A button strip (normal, pressed) laid over the place where the button is painted."""
        faces = self.render(name + ".faces", strip_svg)
        parts = []
        for k in range(frames):
            face = self.tmp("%s.%d.face.png" % (name, k))
            self.run([CONVERT, faces, "-crop", "%dx%d+%d+0" % (w, h, w * k), "+repage", face])
            parts.append(self.over(background_png, x, y, w, h, face, self.tmp("%s.%d.png" % (name, k))))
        joined = self.tmp(name + ".joined.png")
        self.run([CONVERT] + parts + ["+append", "+repage", joined])
        return joined

    # ------------------------------------------------------------ pictures
    def card_sheet(self):
        """whatoo.gif: 60 cells of 36 x 55, 15 columns by 4 rows."""
        cells = []
        for k in range(60):
            if k < 48:
                body = cards.month_card(k)
            elif k == 48:
                body = cards.card_back()
            elif k == 49:
                body = cards.bomb_card()
            elif k == 50:
                body = cards.overlay_match()
            elif k <= 55:
                body = cards.service_card(k - 51)
            elif k <= 57:
                body = cards.mission_marker(k - 56)
            elif k == 58:
                body = cards.overlay_bomb()
            else:
                body = cards.overlay_shake()
            cells.append(g(body, transform=tr((k % 15) * cards.W, (k // 15) * cards.H)))
        big = self.render("whatoo", svg_file(15 * cards.W, 4 * cards.H, defs(cards.CARD_DEFS) + "".join(cells)))
        if self.hires:
            shutil.copy(big, os.path.join(self.hires, "whatoo@4x.png"))
        small = self.tmp("whatoo.small.png")
        self.shrink_cells(big, 15, small)
        self.gif_keyed(small, "whatoo.gif")

    def shrink_cells(self, big, columns, out_png):
        """Scales a sheet of 144 x 220 cells down to 36 x 55 cell by cell (nothing bleeds across cells)."""
        cut = self.tmp("cells")
        os.makedirs(cut, exist_ok=True)
        self.run([CONVERT, big, "-crop", "%dx%d" % (cards.W, cards.H), "+repage", "-filter", "Lanczos",
                  "-resize", "36x55!", os.path.join(cut, "c%03d.png")])
        files = sorted(os.listdir(cut))
        self.run([MONTAGE] + [os.path.join(cut, f) for f in files]
                 + ["-mode", "concatenate", "-tile", "%dx" % columns, "-background", "none", out_png])
        shutil.rmtree(cut)

    def bomb_strip(self):
        """img_Bomb.gif: four 36 x 55 frames of the bomb card going off."""
        cells = [g(cards.bomb_frame(k + 1), transform=tr(k * cards.W, 0)) for k in range(4)]
        big = self.render("img_Bomb", svg_file(4 * cards.W, cards.H, defs(cards.CARD_DEFS) + "".join(cells)))
        small = self.tmp("img_Bomb.small.png")
        self.shrink_cells(big, 4, small)
        self.gif_plain(small, "img_Bomb.gif", dither=False)

    def all(self):
        board_png = self.render("img_groom", skin.board())
        self.jpeg(board_png, "img_groom.jpg")

        self.card_sheet()
        self.bomb_strip()

        # board pieces
        self.gif_keyed(self.render("img_Avatas", skin.avatar_sheet()), "img_Avatas.gif")
        self.gif_plain(self.render("img_Mission", skin.mission_strip()), "img_Mission.gif")
        self.gif_keyed(self.render("img_MissionGubun", skin.mission_nameplates()), "img_MissionGubun.gif")
        self.gif_plain(self.render("num_Mission_BeSu", skin.mission_badges()), "num_Mission_BeSu.gif",
                       dither=False)
        self.gif_plain(self.render("num_current", skin.digit_strip("current")), "num_current.gif", dither=False)
        self.gif_plain(self.render("num_state", skin.digit_strip("state")), "num_state.gif", dither=False)
        sun = self.render("img_Sun.face", skin.sun_marker())
        sx, sy = skin.SUN_OTHER
        self.gif_plain(self.over(board_png, sx, sy, 21, 22, sun, self.tmp("img_Sun.png")), "img_Sun.gif",
                       dither=False)
        self.gif_transparent(self.render("img_Countdown", skin.countdown_strip()), "img_Countdown.gif")
        for k in range(1, 6):
            self.gif_keyed(self.render("eft_GO%d" % k, skin.go_effect(k)), "eft_GO%d.gif" % k)

        # buttons on the board
        x, y, w, h = skin.START_BUTTON
        start = self.render("btn_GameStart.face", skin.start_button())
        self.gif_plain(self.over(board_png, x, y, w, h, start, self.tmp("btn_GameStart.png")), "btn_GameStart.gif")
        for name, kind, place in (("btn_GameMenu_Option.gif", "option", "option"),
                                  ("btn_GameMenu_Min.gif", "min", "min"),
                                  ("btn_GameMenu_Max.gif", "max", "max"),
                                  ("btn_GameMenu_Res.gif", "res", "max"),
                                  ("btn_GameMenu_Exit2.gif", "exit", "exit")):
            x, y, w, h = skin.TITLE_BUTTONS[place]
            self.gif_plain(self.strip_over(board_png, x, y, w, h, skin.title_button(kind), name[:-4]), name)
        x, y, w, h = skin.TITLE_BUTTONS["waitexit"]
        self.gif_plain(self.strip_over(board_png, x, y, w, h, skin.wait_exit_button(), "btn_WaitMenu_Exit"),
                       "btn_WaitMenu_Exit.gif")

        # dialogs and their buttons
        dialog_pngs = {}
        for key, draw in (("Wave", skin.dialog_wave), ("Select", skin.dialog_select),
                          ("WaveOK", skin.dialog_waveok), ("Chong", skin.dialog_chong),
                          ("Hwatable", skin.dialog_hwatable), ("GukJin", skin.dialog_gukjin),
                          ("Result", skin.dialog_result), ("Result2", skin.dialog_result2)):
            png = self.render("pop_Window_" + key, draw())
            dialog_pngs[key] = png
            self.gif_keyed(png, "pop_Window_%s.gif" % key, dither=True)
        for name, key, svg_text, on in (("btn_HwatableMenu_Go", "go", skin.go_button(), "Hwatable"),
                                        ("btn_HwatableMenu_Stop", "stop", skin.stop_button(), "Hwatable"),
                                        ("btn_GukJin_Yes", "yes", skin.yes_button(), "GukJin"),
                                        ("btn_GukJin_No", "no", skin.no_button(), "GukJin"),
                                        ("btn_ResultOK", "ok", skin.result_ok_button(), "Result")):
            x, y, w, h = skin.DIALOG_BUTTONS[key]
            self.gif_plain(self.strip_over(dialog_pngs[on], x, y, w, h, svg_text, name), name + ".gif")

        # the login window and its buttons
        login = self.render("pop_Window_Login", skin.login_window())
        self.gif_keyed(login, "pop_Window_Login.gif", dither=True)
        for name, kind in (("btn_LoginMember", "member"), ("btn_LoginLoss", "loss"), ("btn_LoginHome", "home"),
                           ("btn_LoginOK", "ok")):
            x, y, w, h = skin.LOGIN_BUTTONS[kind]
            self.gif_plain(self.strip_over(login, x, y, w, h, skin.login_button(kind), name), name + ".gif")


def main():
    args = sys.argv[1:]
    hires = None
    if "--hires" in args:
        i = args.index("--hires")
        hires = args[i + 1]
        del args[i:i + 2]
        os.makedirs(hires, exist_ok=True)
    out = args[0]
    os.makedirs(out, exist_ok=True)
    with tempfile.TemporaryDirectory() as work:
        m = Maker(out, work, hires)
        m.all()
    print("made %d pictures" % len(m.made))


if __name__ == "__main__":
    main()
