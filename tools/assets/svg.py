"""Small helpers for writing SVG text by hand.

Every drawing routine of the generator returns SVG markup as a string; these
helpers keep that markup short.  Numbers are written with at most two decimals
so that the output is the same on every run.
"""
import math

FONT_SANS = "NanumGothic"
FONT_SQUARE = "NanumSquare"
FONT_SERIF = "NanumMyeongjo"
FONT_ROUND = "NanumSquareRound"


def n(v):
    """A number as short, stable text."""
    if isinstance(v, int):
        return str(v)
    s = "%.2f" % v
    s = s.rstrip("0").rstrip(".")
    return "0" if s == "-0" else s


def attrs(**kw):
    out = []
    for k, v in kw.items():
        if v is None:
            continue
        k = k.rstrip("_").replace("_", "-")
        if isinstance(v, float):
            v = n(v)
        out.append('%s="%s"' % (k, v))
    return " ".join(out)


def tag(name, body=None, **kw):
    a = attrs(**kw)
    head = "<%s%s" % (name, (" " + a) if a else "")
    if body is None:
        return head + "/>"
    return head + ">" + body + "</%s>" % name


def g(*children, **kw):
    return tag("g", "".join(children), **kw)


def rect(x, y, w, h, **kw):
    return tag("rect", x=n(x), y=n(y), width=n(w), height=n(h), **kw)


def circle(cx, cy, r, **kw):
    return tag("circle", cx=n(cx), cy=n(cy), r=n(r), **kw)


def ellipse(cx, cy, rx, ry, **kw):
    return tag("ellipse", cx=n(cx), cy=n(cy), rx=n(rx), ry=n(ry), **kw)


def line(x1, y1, x2, y2, **kw):
    return tag("line", x1=n(x1), y1=n(y1), x2=n(x2), y2=n(y2), **kw)


def path(d, **kw):
    return tag("path", d=d, **kw)


def poly(points, **kw):
    return tag("polygon", points=" ".join("%s,%s" % (n(x), n(y)) for x, y in points), **kw)


def polyline(points, **kw):
    return tag("polyline", points=" ".join("%s,%s" % (n(x), n(y)) for x, y in points), **kw)


def esc(s):
    return s.replace("&", "&amp;").replace("<", "&lt;").replace(">", "&gt;")


def text(x, y, s, size, fill="#000", font=FONT_SANS, weight="bold", anchor="middle", **kw):
    """Text with its baseline at y; anchor is start, middle or end."""
    return tag("text", esc(s), x=n(x), y=n(y), font_family=font, font_size=n(size),
               font_weight=weight, text_anchor=anchor, fill=fill, **kw)


def ctext(x, y, s, size, **kw):
    """Text whose middle (not baseline) sits at y; Nanum capitals are about 0.72 em tall."""
    return text(x, y + size * 0.36, s, size, **kw)


def outlined_text(x, y, s, size, fill, outline, width, **kw):
    """Text with a solid outline drawn behind it."""
    return (ctext(x, y, s, size, stroke=outline, stroke_width=n(width), stroke_linejoin="round",
                  fill=outline, **kw) + ctext(x, y, s, size, fill=fill, **kw))


def linear(id_, stops, x1=0, y1=0, x2=0, y2=1):
    """A linear gradient; stops is a list of (offset 0..1, colour)."""
    body = "".join(tag("stop", offset=n(o), stop_color=c) for o, c in stops)
    return tag("linearGradient", body, id=id_, x1=n(x1), y1=n(y1), x2=n(x2), y2=n(y2))


def radial(id_, stops, cx=0.5, cy=0.5, r=0.5, fx=None, fy=None):
    body = "".join(tag("stop", offset=n(o), stop_color=c) for o, c in stops)
    return tag("radialGradient", body, id=id_, cx=n(cx), cy=n(cy), r=n(r),
               fx=None if fx is None else n(fx), fy=None if fy is None else n(fy))


def defs(*items):
    return tag("defs", "".join(items))


def svg_file(w, h, body, view=None):
    """A complete SVG file of w x h pixels; view gives another viewBox size."""
    vw, vh = view if view else (w, h)
    return ('<?xml version="1.0" encoding="UTF-8"?>\n'
            '<svg xmlns="http://www.w3.org/2000/svg" width="%s" height="%s" viewBox="0 0 %s %s">'
            % (n(w), n(h), n(vw), n(vh)) + body + "</svg>\n")


def tr(x=0, y=0, rot=0, sx=1, sy=None):
    """A transform attribute value: translate, then rotate, then scale."""
    parts = []
    if x or y:
        parts.append("translate(%s %s)" % (n(x), n(y)))
    if rot:
        parts.append("rotate(%s)" % n(rot))
    if sx != 1 or (sy is not None and sy != sx):
        parts.append("scale(%s %s)" % (n(sx), n(sy if sy is not None else sx)))
    return " ".join(parts) if parts else None


# The corner points of a star with the given outer and inner radius.
def star_points(cx, cy, r_out, r_in, points, rot=-90):
    pts = []
    for i in range(points * 2):
        r = r_out if i % 2 == 0 else r_in
        a = math.radians(rot + i * 180.0 / points)
        pts.append((cx + r * math.cos(a), cy + r * math.sin(a)))
    return pts


# The outline of a rectangle with round corners, as path data.
def round_rect_path(x, y, w, h, r):
    return ("M%s,%sH%sA%s,%s 0 0 1 %s,%sV%sA%s,%s 0 0 1 %s,%sH%sA%s,%s 0 0 1 %s,%sV%sA%s,%s 0 0 1 %s,%sZ"
            % (n(x + r), n(y), n(x + w - r), n(r), n(r), n(x + w), n(y + r), n(y + h - r), n(r), n(r),
               n(x + w - r), n(y + h), n(x + r), n(r), n(r), n(x), n(y + h - r), n(y + r), n(r), n(r),
               n(x + r), n(y)))
