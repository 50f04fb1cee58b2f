#!/usr/bin/env python3
"""Draws the style's images, one PNG per name, and the about dialog's pictures.

Run from anywhere; it writes below ../resources/. The images are committed, so
this only needs running again when the list of names or the drawing changes.
With --sheet FILE it also writes an enlarged contact sheet of the images the
program shows, to look at them side by side.

The images the program shows (panel header buttons, refresh button, server
state icons, check and radio marks, message and monitoring icons, arrows, the
about picture and logo) are drawn from antialiased shapes; the other names get
a plain antialiased shape. The media widgets' images keep their flat shapes.
"""
import math
import os
import struct
import sys
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))
OUT = os.path.join(HERE, "..", "resources")

ACCENT = (0, 147, 221)
WHITE = (255, 255, 255)
LIGHT = (196, 196, 196)
GREY = (111, 111, 111)
DARK = (66, 66, 66)
INK = (34, 34, 34)
DISABLED = (98, 98, 98)
RED = (255, 0, 0)
ORANGE = (236, 117, 0)
GREEN = (60, 180, 75)
YELLOW = (255, 255, 100)
GREYBLUE = (167, 175, 190)
GROUPBLUE = (0, 92, 160)
BADRED = (190, 40, 110)
PANEL = (66, 66, 66)


def png_bytes(width, height, rows):
    """rows: one bytes object of RGBA values per line."""
    raw = bytearray()
    for row in rows:
        raw.append(0)
        raw.extend(row)

    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)
    png = b"\x89PNG\r\n\x1a\n"
    png += chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 6, 0, 0, 0))
    png += chunk(b"IDAT", zlib.compress(bytes(raw), 9))
    png += chunk(b"IEND", b"")
    return png


def save(path, data):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "wb") as f:
        f.write(data)


def write_png(path, width, height, pixel):
    rows = [b"".join(pixel(x, y) for x in range(width)) for y in range(height)]
    save(path, png_bytes(width, height, rows))


# ---- flat shapes: the media widgets' images and the fallback for other names ----

def flat_inside(shape, size):
    """Inside test of a flat shape, in pixel-centre coordinates."""
    w, h = size
    cx, cy = (w - 1) / 2.0, (h - 1) / 2.0
    r = min(w, h) * 0.38

    def inside(x, y):
        dx, dy = x - cx, y - cy
        if shape == "circle":
            return dx * dx + dy * dy <= r * r
        if shape == "ring":
            d = math.hypot(dx, dy)
            return r * 0.6 <= d <= r
        if shape == "square":
            return abs(dx) <= r and abs(dy) <= r
        if shape == "frame":
            return (abs(dx) <= r and abs(dy) <= r) and not (abs(dx) < r - 2 and abs(dy) < r - 2)
        if shape == "cross":
            return (abs(dx - dy) < 1.6 or abs(dx + dy) < 1.6) and abs(dx) <= r and abs(dy) <= r
        if shape == "plus":
            return (abs(dx) < 1.6 or abs(dy) < 1.6) and abs(dx) <= r and abs(dy) <= r
        if shape == "bar":
            return abs(dy) < max(1.5, h * 0.08) and abs(dx) <= r
        if shape in ("right", "left", "up", "down"):
            u, v = {"right": (dx, dy), "left": (-dx, dy), "down": (dy, dx), "up": (-dy, dx)}[shape]
            return -r <= u <= r and abs(v) <= (r - u) / 2.0
        return shape == "fill"

    return inside


def flat_pixel(shape, size, colour):
    inside = flat_inside(shape, size)

    def pixel(x, y):
        if inside(x, y):
            return bytes(colour + (255,))
        return b"\x00\x00\x00\x00"

    return pixel


def colour_for(name):
    if name.endswith("_disabled") or "_disabled" in name or name.endswith("_off"):
        return DISABLED
    if name.endswith("_over") or "_over" in name:
        return WHITE
    if name.endswith("_on") or "_on_" in name or "_active" in name or name.endswith("_pressed"):
        return ACCENT
    for key, colour in (("error", RED), ("critical", RED), ("bad", RED), ("warning", ORANGE),
                        ("good", GREEN), ("ok", GREEN), ("record", RED), ("blocked", RED),
                        ("unknown", GREYBLUE), ("playout", ACCENT), ("ingest", RED),
                        ("capture", RED), ("transform", YELLOW), ("transfer", GREEN)):
        if key in name:
            return colour
    return GREYBLUE


def shape_for(name):
    for key, shape in (("close", "cross"), ("delete", "cross"), ("add", "plus"), ("pin", "square"),
                       ("fold", "down"), ("settings", "ring"), ("eject", "up"), ("stop", "square"),
                       ("record", "circle"), ("pause", "bar"), ("backward", "left"),
                       ("forward", "right"), ("play", "right"), ("scrollbar_up", "up"),
                       ("scrollbar_down", "down"), ("scrollbar_left", "left"),
                       ("scrollbar_right", "right"), ("scroll_up", "up"), ("scroll_down", "down"),
                       ("dropdown", "down"), ("dropup", "up"), ("arrow_right", "right"),
                       ("arrow_up", "up"), ("checkbox", "frame"), ("radiobutton", "ring"),
                       ("monitoring", "circle"), ("discovery", "circle"), ("message", "circle"),
                       ("logo", "fill")):
        if key in name:
            return shape
    return "square"


# ---- antialiased drawing: shapes as inside tests, sampled 4 x 4 per pixel ----

class Shape:
    """A region of the plane: a bounding box (x0, y0, x1, y1) and an inside test."""

    def __init__(self, box, inside):
        self.box = box
        self.inside = inside

    def __or__(self, other):
        a, b = self.box, other.box
        return Shape((min(a[0], b[0]), min(a[1], b[1]), max(a[2], b[2]), max(a[3], b[3])),
                     lambda x, y: self.inside(x, y) or other.inside(x, y))

    def __sub__(self, other):
        return Shape(self.box, lambda x, y: self.inside(x, y) and not other.inside(x, y))

    def rotated(self, degrees, cx, cy):
        c, s = math.cos(math.radians(degrees)), math.sin(math.radians(degrees))
        x0, y0, x1, y1 = self.box
        corners = [(cx + (x - cx) * c - (y - cy) * s, cy + (x - cx) * s + (y - cy) * c)
                   for x, y in ((x0, y0), (x1, y0), (x0, y1), (x1, y1))]
        box = (min(p[0] for p in corners), min(p[1] for p in corners),
               max(p[0] for p in corners), max(p[1] for p in corners))
        return Shape(box, lambda x, y: self.inside(cx + (x - cx) * c + (y - cy) * s,
                                                   cy - (x - cx) * s + (y - cy) * c))

    def moved(self, dx, dy):
        x0, y0, x1, y1 = self.box
        return Shape((x0 + dx, y0 + dy, x1 + dx, y1 + dy), lambda x, y: self.inside(x - dx, y - dy))


def union(shapes):
    result = shapes[0]
    for s in shapes[1:]:
        result = result | s
    return result


def circle(cx, cy, r):
    return Shape((cx - r, cy - r, cx + r, cy + r),
                 lambda x, y: (x - cx) ** 2 + (y - cy) ** 2 <= r * r)


def ring(cx, cy, outer, inner):
    return circle(cx, cy, outer) - circle(cx, cy, inner)


def rect(x0, y0, x1, y1, radius=0.0):
    def inside(x, y):
        if not (x0 <= x <= x1 and y0 <= y <= y1):
            return False
        dx = max(x0 + radius - x, 0.0, x - (x1 - radius))
        dy = max(y0 + radius - y, 0.0, y - (y1 - radius))
        return dx * dx + dy * dy <= radius * radius
    return Shape((x0, y0, x1, y1), inside)


def capsule(x1, y1, x2, y2, width):
    """A line of the given width with round ends."""
    hw = width / 2.0
    vx, vy = x2 - x1, y2 - y1
    length2 = vx * vx + vy * vy or 1e-9

    def inside(x, y):
        t = max(0.0, min(1.0, ((x - x1) * vx + (y - y1) * vy) / length2))
        px, py = x1 + t * vx - x, y1 + t * vy - y
        return px * px + py * py <= hw * hw
    return Shape((min(x1, x2) - hw, min(y1, y2) - hw, max(x1, x2) + hw, max(y1, y2) + hw), inside)


def polyline(points, width):
    return union([capsule(a[0], a[1], b[0], b[1], width) for a, b in zip(points, points[1:])])


def polygon(points):
    xs, ys = [p[0] for p in points], [p[1] for p in points]
    edges = list(zip(points, points[1:] + points[:1]))

    def inside(x, y):
        odd = False
        for (xa, ya), (xb, yb) in edges:
            if (ya > y) != (yb > y) and x < xa + (y - ya) * (xb - xa) / (yb - ya):
                odd = not odd
        return odd
    return Shape((min(xs), min(ys), max(xs), max(ys)), inside)


def regular(cx, cy, r, corners, start=-90.0):
    return polygon([(cx + r * math.cos(math.radians(start + 360.0 * i / corners)),
                     cy + r * math.sin(math.radians(start + 360.0 * i / corners)))
                    for i in range(corners)])


def arc(cx, cy, r, width, start, end):
    """A round-ended stroke along a circle, clockwise on screen from start to end degrees."""
    hw = width / 2.0
    span = (end - start) % 360.0 or 360.0

    def inside(x, y):
        d = math.hypot(x - cx, y - cy)
        if abs(d - r) > hw:
            return False
        return (math.degrees(math.atan2(y - cy, x - cx)) - start) % 360.0 <= span
    ends = [circle(cx + r * math.cos(math.radians(a)), cy + r * math.sin(math.radians(a)), hw)
            for a in (start, start + span)]
    return Shape((cx - r - hw, cy - r - hw, cx + r + hw, cy + r + hw), inside) | ends[0] | ends[1]


def point_on(cx, cy, r, degrees):
    return (cx + r * math.cos(math.radians(degrees)), cy + r * math.sin(math.radians(degrees)))


class Canvas:
    """Premultiplied RGBA in floats; shapes are composited source-over."""
    SAMPLES = 4

    def __init__(self, width, height):
        self.width, self.height = width, height
        self.pixels = [[0.0, 0.0, 0.0, 0.0] for _ in range(width * height)]

    def fill(self, shape, colour):
        """colour: (r, g, b), (r, g, b, a) or a function of (x, y) giving one."""
        n = self.SAMPLES
        offsets = [(i + 0.5) / n for i in range(n)]
        x0, y0, x1, y1 = shape.box
        for y in range(max(0, int(math.floor(y0))), min(self.height, int(math.ceil(y1)) + 1)):
            for x in range(max(0, int(math.floor(x0))), min(self.width, int(math.ceil(x1)) + 1)):
                hits = sum(1 for oy in offsets for ox in offsets if shape.inside(x + ox, y + oy))
                if hits:
                    c = colour(x + 0.5, y + 0.5) if callable(colour) else colour
                    self.blend(x, y, c, hits / float(n * n))

    def blend(self, x, y, colour, coverage=1.0):
        a = coverage * (colour[3] / 255.0 if len(colour) > 3 else 1.0)
        p = self.pixels[y * self.width + x]
        for i in range(3):
            p[i] = colour[i] / 255.0 * a + p[i] * (1.0 - a)
        p[3] = a + p[3] * (1.0 - a)

    def rgba(self, x, y):
        r, g, b, a = self.pixels[y * self.width + x]
        if a <= 0.0:
            return (0, 0, 0, 0)
        return tuple(int(round(min(1.0, v / a) * 255)) for v in (r, g, b)) + (int(round(a * 255)),)

    def png(self):
        return png_bytes(self.width, self.height,
                         [bytes(v for x in range(self.width) for v in self.rgba(x, y))
                          for y in range(self.height)])


# ---- glyphs: centred on (cx, cy), about 2 s across ----

def tick(cx, cy, s, width):
    return polyline([(cx - s, cy), (cx - 0.35 * s, cy + 0.65 * s), (cx + s, cy - 0.7 * s)], width)


def cross(cx, cy, s, width):
    return capsule(cx - s, cy - s, cx + s, cy + s, width) | capsule(cx + s, cy - s, cx - s, cy + s, width)


def plus(cx, cy, s, width):
    return capsule(cx - s, cy, cx + s, cy, width) | capsule(cx, cy - s, cx, cy + s, width)


def exclamation(cx, cy, s):
    return capsule(cx, cy - s, cx, cy + 0.3 * s, 0.42 * s) | circle(cx, cy + 0.85 * s, 0.24 * s)


def question(cx, cy, s):
    hook = arc(cx, cy - 0.4 * s, 0.48 * s, 0.32 * s, 190, 45)
    bend = point_on(cx, cy - 0.4 * s, 0.48 * s, 45)
    return (hook | capsule(bend[0], bend[1], cx, cy + 0.35 * s, 0.32 * s)
            | circle(cx, cy + 0.85 * s, 0.2 * s))


def letter_i(cx, cy, s):
    return circle(cx, cy - 0.62 * s, 0.22 * s) | capsule(cx, cy - 0.15 * s, cx, cy + 0.75 * s, 0.36 * s)


def play(cx, cy, s):
    return polygon([(cx - 0.6 * s, cy - 0.8 * s), (cx + 0.85 * s, cy), (cx - 0.6 * s, cy + 0.8 * s)])


def lens(cx, cy, s):
    return ring(cx, cy, 0.85 * s, 0.55 * s) | circle(cx, cy, 0.32 * s)


def swap_arrows(cx, cy, s):
    w = 0.26 * s
    top = capsule(cx - 0.85 * s, cy - 0.4 * s, cx + 0.4 * s, cy - 0.4 * s, w) | polygon(
        [(cx + 0.3 * s, cy - 0.8 * s), (cx + 0.95 * s, cy - 0.4 * s), (cx + 0.3 * s, cy)])
    bottom = capsule(cx - 0.4 * s, cy + 0.4 * s, cx + 0.85 * s, cy + 0.4 * s, w) | polygon(
        [(cx - 0.3 * s, cy), (cx - 0.95 * s, cy + 0.4 * s), (cx - 0.3 * s, cy + 0.8 * s)])
    return top | bottom


def gear(cx, cy, r):
    teeth = [rect(cx - 0.18 * r, cy - r, cx + 0.18 * r, cy - 0.6 * r).rotated(45 * k, cx, cy)
             for k in range(8)]
    return union([ring(cx, cy, 0.72 * r, 0.3 * r)] + teeth)


def wrench(cx, cy, s):
    hx, hy = cx + 0.3 * s, cy - 0.3 * s
    head = circle(hx, hy, 0.5 * s) - rect(hx - 0.17 * s, hy - s, hx + 0.17 * s, hy).rotated(45, hx, hy)
    return head | capsule(cx - 0.75 * s, cy + 0.75 * s, hx, hy, 0.36 * s)


def letter_q(cx, cy, s):
    return ring(cx, cy, 0.68 * s, 0.4 * s) | capsule(cx + 0.25 * s, cy + 0.25 * s,
                                                     cx + 0.8 * s, cy + 0.8 * s, 0.28 * s)


TURN = {"down": 0, "left": 90, "up": 180, "right": -90}


def chevron(cx, cy, s, width, direction):
    return polyline([(cx - s, cy - 0.5 * s), (cx, cy + 0.5 * s), (cx + s, cy - 0.5 * s)],
                    width).rotated(TURN[direction], cx, cy)


def triangle(cx, cy, s, direction):
    return polygon([(cx - s, cy - 0.55 * s), (cx + s, cy - 0.55 * s),
                    (cx, cy + 0.6 * s)]).rotated(TURN[direction], cx, cy)


def turning_arrow(cx, cy, r, width, start, end):
    """An arc turning clockwise from start to end degrees, with its head at the end."""
    tangent = (-math.sin(math.radians(end)), math.cos(math.radians(end)))
    radial = (math.cos(math.radians(end)), math.sin(math.radians(end)))
    base = point_on(cx, cy, r, end)
    head = 1.45 * width
    tip = (base[0] + tangent[0] * head * 1.3, base[1] + tangent[1] * head * 1.3)
    return arc(cx, cy, r, width, start, end - 4) | polygon(
        [tip, (base[0] + radial[0] * head, base[1] + radial[1] * head),
         (base[0] - radial[0] * head, base[1] - radial[1] * head)])


def mirrored(shape, cx):
    x0, y0, x1, y1 = shape.box
    return Shape((2 * cx - x1, y0, 2 * cx - x0, y1), lambda x, y: shape.inside(2 * cx - x, y))


# ---- the style's images ----

def hover_colour(name, normal=LIGHT):
    return WHITE if "_over" in name else normal


def pin(angle, head, needle):
    """A push pin, needle down at angle 0, in a 40 x 40 button."""
    c = 20.0
    body = union([rect(14, 7, 26, 11.5, 1.5),
                  polygon([(16.5, 11), (23.5, 11), (24.5, 19.5), (15.5, 19.5)]),
                  rect(12, 19, 28, 22.5, 1.2)])
    point = capsule(20, 22.5, 20, 33, 1.8)
    return [(body.rotated(angle, c, c), head), (point.rotated(angle, c, c), needle)]


def draw_header_button(canvas, name):
    colour = hover_colour(name)
    if name.startswith("btn_pin_"):
        # Unpinned: the pin lies on its side, pointing at the panel's edge.
        angle = {"left": 90, "right": -90, "bottom": 180}[name[len("btn_pin_"):]]
        parts = pin(angle, LIGHT, LIGHT)
    elif "pin" in name:
        # Pinned: upright and stuck in, with a blue head.
        parts = pin(0, (90, 195, 245) if "_over" in name else ACCENT, colour)
    elif "fold" in name:
        # Folded shows where it opens (down); unfolded shows it closes again (up).
        parts = [(chevron(20, 20, 7, 3.2, "up" if "_on" in name else "down"), colour)]
    elif "close" in name:
        parts = [(cross(20, 20, 6, 3.0), colour)]
    else:
        parts = [(gear(20, 20, 9.5), colour)]
    for shape, c in parts:
        canvas.fill(shape, c)


def draw_discovery(canvas, name):
    kind = name[len("icon_discovery_"):]
    c = 12.0
    if kind == "unknown":
        canvas.fill(ring(c, c, 10.5, 8.6), (140, 140, 140))
        canvas.fill(question(c, c, 6.0), LIGHT)
        return
    if kind == "harlen_blocked":
        canvas.fill(regular(c, c, 11.2, 8, -90 + 22.5), RED)
        canvas.fill(capsule(6.5, c, 17.5, c, 3.2), WHITE)
        return
    if kind == "quorel":
        canvas.fill(polygon([(c, 1), (23, c), (c, 23), (1, c)]), YELLOW)
        canvas.fill(letter_q(c, c - 0.5, 5.5), INK)
        return
    if kind == "maintenance":
        canvas.fill(regular(c, c, 11.2, 6, 0), GREYBLUE)
        canvas.fill(wrench(c, c, 6.2), INK)
        return
    service = kind.split("_")[1]
    glyph = {"playout": play, "capture": lens, "transfer": swap_arrows,
             "transform": lambda x, y, s: gear(x, y, 1.15 * s)}[service]
    if kind.endswith("_group"):
        # Grouped: a second service behind the first.
        canvas.fill(circle(15.5, 8.5, 8) - circle(10, 14, 9.7), GROUPBLUE)
        canvas.fill(circle(10, 14, 8.5), ACCENT)
        canvas.fill(glyph(10, 14, 4.6), WHITE)
    elif kind.endswith("_active"):
        # Busy: a square badge in orange.
        canvas.fill(rect(1.5, 1.5, 22.5, 22.5, 4.5), ORANGE)
        canvas.fill(glyph(c, c, 6.0), WHITE)
    else:
        # Free: a round badge in green.
        canvas.fill(circle(c, c, 10.8), GREEN)
        canvas.fill(glyph(c, c, 6.0), WHITE)


def draw_monitoring(canvas, name):
    state = name[len("monitoring_"):]
    c = 8.0
    parts = {
        "good": [(circle(c, c, 7.3), GREEN), (tick(c, c + 0.3, 3.6, 1.8), WHITE)],
        "ok": [(tick(c, c + 0.5, 6.2, 2.8), GREEN)],
        "warning": [(polygon([(c, 0.8), (15.4, 14.6), (0.6, 14.6)]), ORANGE),
                    (exclamation(c, 9.2, 3.6), INK)],
        "error": [(circle(c, c, 7.3), RED), (cross(c, c, 3.0, 1.8), WHITE)],
        "critical": [(regular(c, c, 7.8, 8, -90 + 22.5), (170, 0, 0)), (exclamation(c, c, 4.2), WHITE)],
        "bad": [(rect(1, 1, 15, 15, 3), BADRED), (capsule(4.5, c, 11.5, c, 2.2), WHITE)],
        "off": [(ring(c, c, 7.0, 5.0), GREY)],
        "unknown": [(circle(c, c, 7.3), GREYBLUE), (question(c, c, 4.6), INK)],
    }[state]
    for shape, colour in parts:
        canvas.fill(shape, colour)


def draw_message(canvas, name):
    kind = name[len("icon_message_"):]
    c = 12.0
    if kind == "info":
        canvas.fill(circle(c, c, 10.5), ACCENT)
        canvas.fill(letter_i(c, c, 6.5), WHITE)
    elif kind == "warning":
        canvas.fill(polygon([(c, 1.5), (23, 21.5), (1, 21.5)]), ORANGE)
        canvas.fill(exclamation(c, 14, 5.2), INK)
    elif kind == "error":
        canvas.fill(circle(c, c, 10.5), RED)
        canvas.fill(cross(c, c, 4.5, 2.6), WHITE)
    else:
        canvas.fill(rect(2, 3.5, 22, 17, 4) | polygon([(6, 16), (12, 16), (5.5, 22)]), LIGHT)
        for x in (7.5, 12, 16.5):
            canvas.fill(circle(x, 10.3, 1.5), INK)


def padlock(closed):
    body = rect(5.5, 11, 18.5, 20.5, 1.5)
    if closed:
        shackle = arc(12, 9.5, 4.3, 2.2, 180, 0) | capsule(7.7, 9.5, 7.7, 11.5, 2.2) \
            | capsule(16.3, 9.5, 16.3, 11.5, 2.2)
    else:
        shackle = arc(16.3, 7, 4.3, 2.2, 180, 0) | capsule(20.6, 7, 20.6, 9.5, 2.2)
    return body | shackle


def draw_small_icon(canvas, name):
    """The 24-pixel tool icons and arrows; False for names without a drawing of their own."""
    c = 12.0
    colour = hover_colour(name)
    stem = name.replace("_over", "")
    shapes = {
        "icon_refresh": lambda: turning_arrow(c, c, 7.0, 2.6, -50, 250),
        "icon_redo": lambda: turning_arrow(c, 14, 6.5, 2.4, 190, 340),
        "icon_undo": lambda: mirrored(turning_arrow(c, 14, 6.5, 2.4, 190, 340), c),
        "icon_add": lambda: plus(c, c, 7, 2.8),
        "icon_delete": lambda: cross(c, c, 6, 2.8),
        "icon_dropdown": lambda: triangle(c, c, 5, "down"),
        "icon_dropup": lambda: triangle(c, c, 5, "up"),
        "icon_scroll_up": lambda: triangle(c, c, 5, "up"),
        "icon_scroll_down": lambda: triangle(c, c, 5, "down"),
        "icon_fold_up": lambda: chevron(c, c, 6, 2.6, "up"),
        "icon_fold_down": lambda: chevron(c, c, 6, 2.6, "down"),
        "icon_locked": lambda: padlock(True),
        "icon_unlocked": lambda: padlock(False),
    }
    if stem not in shapes:
        return False
    canvas.fill(shapes[stem](), colour)
    return True


def draw_indicator(canvas, name):
    if name == "indicator_checkbox":
        # The tick of a checked box; an unchecked box shows no image.
        canvas.fill(tick(8, 8.3, 4.6, 2.2), WHITE)
    elif name == "indicator_radiobutton":
        canvas.fill(circle(8, 8, 3.6), WHITE)
    else:
        grip = rect(4, 1, 12, 15, 2.0)
        lines = capsule(6.6, 5, 6.6, 11, 1.0) | capsule(9.4, 5, 9.4, 11, 1.0)
        turn = 90 if name.endswith("_v") else 0
        canvas.fill(grip.rotated(turn, 8, 8), LIGHT)
        canvas.fill(lines.rotated(turn, 8, 8), DARK)


def draw_scrollbar(canvas, name):
    direction = name[len("btn_scrollbar_"):].replace("_on", "")
    canvas.fill(triangle(8, 8, 4.6, direction), ACCENT if name.endswith("_on") else LIGHT)


def draw_product_logo(canvas, name):
    w, h = canvas.width, canvas.height
    canvas.fill(rect(0.5, 0.5, w - 0.5, h - 0.5, 6), ACCENT)
    canvas.fill(play(16, h / 2.0, 9), WHITE)
    canvas.fill(capsule(34, 11, w - 14, 11, 4) | capsule(34, 21, w * 0.6, 21, 4), WHITE)


def draw_fallback(canvas, name):
    shape = shape_for(name)
    inside = flat_inside(shape, (canvas.width, canvas.height))
    canvas.fill(Shape((0, 0, canvas.width, canvas.height), lambda x, y: inside(x - 0.5, y - 0.5)),
                colour_for(name))


def draw_style_image(name, size):
    canvas = Canvas(*size)
    if name.startswith("btn_header") or name.startswith("btn_command_header") \
            or name.startswith("btn_pin_"):
        draw_header_button(canvas, name)
    elif name.startswith("icon_discovery_"):
        draw_discovery(canvas, name)
    elif name.startswith("monitoring_"):
        draw_monitoring(canvas, name)
    elif name.startswith("icon_message_"):
        draw_message(canvas, name)
    elif name.startswith("indicator_"):
        draw_indicator(canvas, name)
    elif name.startswith("btn_scrollbar_"):
        draw_scrollbar(canvas, name)
    elif name.endswith("Logo"):
        draw_product_logo(canvas, name)
    elif not draw_small_icon(canvas, name):
        draw_fallback(canvas, name)
    return canvas


# ---- the about dialog's picture and logo ----

def mix(a, b, t):
    return tuple(int(round(a[i] + (b[i] - a[i]) * t)) for i in range(3))


def draw_about_picture():
    """A server rack sending out discovery waves, with a log sheet coming back."""
    w, h = 240, 440
    canvas = Canvas(w, h)
    canvas.fill(rect(0, 0, w, h), lambda x, y: mix((8, 46, 82), (22, 22, 26), y / h))

    def fill(shape, colour):
        canvas.fill(shape.moved(0, 20), colour)

    cx, cy = 120.0, 250.0
    for i, r in enumerate((46, 78, 110, 142, 174)):
        fill(arc(cx, cy, r, 5, 215, 325), ACCENT + (int(200 - 34 * i),))
    # Other servers answering out in the network.
    nodes = [(34, 92), (62, 52), (196, 70), (214, 128), (28, 150)]
    for (x1, y1), (x2, y2) in zip(nodes, nodes[1:]):
        fill(capsule(x1, y1, x2, y2, 1.5), (120, 170, 210, 110))
    for x, y in nodes:
        fill(circle(x, y, 6), (120, 200, 240))
        fill(circle(x, y, 2.5), (8, 46, 82))
    # The rack.
    fill(rect(66, 236, 174, 374, 6), (54, 58, 66))
    for i in range(4):
        top = 246 + 31 * i
        fill(rect(76, top, 164, top + 24, 3), (84, 90, 100))
        for j in range(4):
            fill(rect(88 + 9 * j, top + 7, 92 + 9 * j, top + 17, 1), (40, 44, 50))
        fill(circle(146, top + 12, 3), GREEN if i != 2 else ORANGE)
        fill(circle(156, top + 12, 3), ACCENT)
    fill(rect(80, 374, 92, 382, 1) | rect(148, 374, 160, 382, 1), (40, 44, 50))
    # A log sheet with a folded corner.
    sheet = polygon([(132, 150), (180, 150), (196, 166), (196, 222), (132, 222)])
    fill(sheet.rotated(8, 164, 186), (232, 236, 240))
    fill(polygon([(180, 150), (196, 166), (180, 166)]).rotated(8, 164, 186), (180, 186, 196))
    for i, length in enumerate((44, 34, 48, 28, 40, 46, 22)):
        fill(capsule(140, 172 + 7 * i, 140 + length, 172 + 7 * i, 2.2).rotated(8, 164, 186),
                    (120, 128, 140) if i % 3 else ACCENT)
    return canvas


def draw_logo():
    """The letters J, O and X with a blue dot."""
    canvas = Canvas(120, 40)
    stroke = 5.0
    letters = union([capsule(16, 8, 28, 8, stroke), capsule(24, 8, 24, 24, stroke),
                     arc(17, 24, 7, stroke, 0, 180),
                     ring(52, 20, 14.5, 9.5),
                     capsule(76, 8, 96, 32, stroke), capsule(96, 8, 76, 32, stroke)])
    canvas.fill(letters, WHITE)
    canvas.fill(circle(108, 29, 4), ACCENT)
    return canvas


# ---- contact sheet ----

def contact_sheet(images, scale=3):
    """The named canvases enlarged on the panel colour, eight to a row, then the about pictures."""
    names = [n for n in images if n not in ("About", "JOX_Logo")]
    cell = 40 * scale + 8
    columns = 8
    rows = (len(names) + columns - 1) // columns
    about, logo = images["About"], images["JOX_Logo"]
    width = max(columns * cell, about.width + logo.width * 2 + 24)
    height = rows * cell + about.height + 8
    sheet = Canvas(width, height)
    for i in range(width * height):
        sheet.pixels[i] = [c / 255.0 for c in PANEL] + [1.0]

    def paste(canvas, left, top, factor):
        for y in range(canvas.height * factor):
            for x in range(canvas.width * factor):
                c = canvas.rgba(x // factor, y // factor)
                if c[3]:
                    sheet.blend(left + x, top + y, c[:3] + (c[3],))

    for i, name in enumerate(names):
        left, top = (i % columns) * cell + 4, (i // columns) * cell + 4
        image = images[name]
        if name.startswith("indicator_checkbox"):
            # As the style sheet shows it: a tick on blue when checked, empty dark when not.
            box = Canvas(16, 16)
            box.fill(rect(0, 0, 16, 16), (98, 98, 98))
            box.fill(rect(1, 1, 15, 15), ACCENT if name.endswith(":on") else (18, 18, 18))
            if name.endswith(":on"):
                box.fill(Shape((0, 0, 16, 16), lambda x, y: True),
                         lambda x, y: image.rgba(int(x), int(y)))
            image = box
        paste(image, left, top, scale * 40 // max(image.width, image.height))
    top = rows * cell + 4
    paste(about, 4, top, 1)
    paste(logo, about.width + 16, top, 2)
    return sheet


def expand(stem, variants):
    return [stem + v for v in variants]


def style_names():
    names = ["HarlenClientLogo", "Harlen4kClientLogo", "HarlenPlayLogo"]
    for b in ("close", "fold", "fold_on", "pin", "settings"):
        names += ["btn_header_" + b, "btn_header_" + b + "_over"]
    names += expand("btn_command_header_fold", ["", "_on", "_over", "_on_over"])
    names += ["btn_pin_" + s for s in ("bottom", "left", "right")]
    names += expand("btn_eject", ["", "_disabled", "_over"])
    names += ["btn_record_stop"]
    for m in ("ingest", "playout", "transform"):
        names += ["btn_mode_%s_%s" % (m, s) for s in ("off", "on", "over")]
    names += ["btn_mode_ingest_disabled"]
    for d in ("up", "down", "left", "right"):
        names += ["btn_scrollbar_" + d, "btn_scrollbar_" + d + "_on"]
    names += ["icon_discovery_unknown", "icon_discovery_maintenance", "icon_discovery_quorel",
              "icon_discovery_harlen_blocked"]
    for k in ("playout", "capture", "transfer", "transform"):
        names += expand("icon_discovery_harlen_" + k, ["", "_active", "_group"])
    names += ["icon_message_" + k for k in ("message", "info", "warning", "error")]
    for t in ("backward", "forward", "fast_backward", "fast_forward", "step_backward",
              "step_forward", "pause"):
        names += expand("icon_" + t, ["_ingest", "_playout", "_transform"])
    for t in ("stop", "record", "eject", "loop", "goto", "goto_begin", "goto_end", "goto_in",
              "goto_out"):
        names += expand("icon_" + t, ["_ingest", "_playout"])
    for m in ("autoedit", "crash", "list", "single"):
        names += ["icon_mode_%s_%s" % (m, s) for s in ("off", "ingest", "playout", "transform")]
    for p in ("min", "max", "some"):
        names += expand("icon_playlist_" + p, ["_playout", "_record", "_transform"])
    names += ["icon_stepmode_field", "icon_stepmode_frame"]
    for t in ("loop", "manual"):
        names += ["icon_trigger_%s_%s" % (t, s) for s in ("on", "off")]
    for t in ("channel", "list", "playout", "record", "showcase", "transform"):
        names += ["icon_tab_%s_%s" % (t, s) for s in ("on", "off")]
    names += ["icon_tab_channel_locked", "icon_tab_groupleader", "icon_tab_groupmember"]
    for t in ("add", "delete", "alpha", "redo", "undo", "refresh", "routing", "video",
              "scroll_up", "scroll_down"):
        names += ["icon_" + t, "icon_" + t + "_over"]
    names += ["icon_dropdown", "icon_dropup", "icon_fold_up", "icon_fold_down", "icon_locked",
              "icon_unlocked", "icon_transform", "icon_transform_transform",
              "icon_indicator_active", "icon_indicator_done"]
    names += ["indicator_checkbox", "indicator_radiobutton", "indicator_slider_h",
              "indicator_slider_v"]
    names += ["monitoring_" + s for s in ("bad", "critical", "error", "good", "off", "ok",
                                          "unknown", "warning")]
    return names


def size_for(name):
    if name.endswith("Logo"):
        return (160, 32)
    if name.startswith("btn_header") or name.startswith("btn_command_header") \
            or name.startswith("btn_pin_"):
        return (40, 40)
    if name.startswith("btn_scrollbar") or name.startswith("indicator_") \
            or name.startswith("monitoring_"):
        return (16, 16)
    return (24, 24)


def media_names():
    names = []
    for family in ("bottomTab_active", "bottomTab_nonactive", "topTab_active", "topTab_nonactive",
                   "menubar", "menubutton_normal", "menubutton_pressed", "pushbutton_normal",
                   "pushbutton_normal_pressed", "pushbutton_highlight", "pushbutton_hlPressed",
                   "pushbutton_disabled", "pushbutton_disabledPressed", "radio_active",
                   "radio_normal"):
        names += ["style/%s_%d" % (family, i) for i in range(1, 10)]
    names += ["style/check_%s_9" % s for s in ("active", "normal", "disabled", "partiallyactive",
                                               "partiallyactive_disabled")]
    names += ["style/menu_mark_" + s for s in ("active", "disabled", "normal")]
    names += ["style/eject"]
    names += ["clip_" + s for s in ("audio", "video", "videoaudio", "group", "pending", "unknown")]
    names += ["io_button", "io_marker", "io_range_button", "scrub_9", "scrubbar_9",
              "scrubbar_playhead", "slider", "slider_rotate"]
    names += ["timeline_" + s for s in ("text", "thumb", "thumb_all", "wave")]
    names += ["tl_start", "vtr_io", "led_on", "led_off", "step", "10step", "play", "loop",
              "pingPong", "skip", "ff_arrows", "mode_edit", "mode_master", "mode_trim",
              "arrow_right", "arrow_up", "arrow_right_small", "arrow_up_small"]
    for s in ("critical", "info", "question", "warning"):
        names += ["icon_" + s, "icon_" + s + "_small"]
    names += ["folder_open", "folder_close", "filenew", "fileopen", "filesave", "defrag_drive",
              "defrag_folder", "flow", "focusborder", "smiley", "cursor_joxcross",
              "jox_logo_small", "not_supported"]
    return names


SHEET_NAMES = [
    "btn_header_pin", "btn_header_pin_over", "btn_pin_left", "btn_pin_right", "btn_pin_bottom",
    "btn_header_fold", "btn_header_fold_over", "btn_header_fold_on", "btn_header_fold_on_over",
    "btn_header_close", "btn_header_settings", "icon_refresh", "icon_refresh_over",
    "indicator_checkbox:off", "indicator_checkbox:on", "indicator_radiobutton",
    "icon_discovery_harlen_playout", "icon_discovery_harlen_playout_active",
    "icon_discovery_harlen_playout_group", "icon_discovery_harlen_capture",
    "icon_discovery_harlen_capture_active", "icon_discovery_harlen_capture_group",
    "icon_discovery_harlen_transfer", "icon_discovery_harlen_transfer_active",
    "icon_discovery_harlen_transfer_group", "icon_discovery_harlen_transform",
    "icon_discovery_harlen_transform_active", "icon_discovery_harlen_transform_group",
    "icon_discovery_harlen_blocked", "icon_discovery_unknown", "icon_discovery_quorel",
    "icon_discovery_maintenance",
] + ["monitoring_" + s for s in ("good", "ok", "warning", "error", "critical", "bad", "off",
                                 "unknown")] + [
    "icon_message_message", "icon_message_info", "icon_message_warning", "icon_message_error",
    "icon_fold_down", "icon_fold_up", "icon_dropdown", "icon_scroll_up", "btn_scrollbar_left",
    "btn_scrollbar_right_on", "indicator_slider_h", "indicator_slider_v", "icon_undo", "icon_redo",
    "icon_locked", "icon_unlocked", "icon_add", "icon_delete"]


def main():
    style = style_names()
    assert len(style) == 189 and len(set(style)) == 189, len(style)
    drawn = {}
    for name in style:
        drawn[name] = draw_style_image(name, size_for(name))
        save(os.path.join(OUT, "HarlenStyle", name + ".png"), drawn[name].png())
    drawn["About"] = draw_about_picture()
    drawn["JOX_Logo"] = draw_logo()
    save(os.path.join(OUT, "about", "About.png"), drawn["About"].png())
    save(os.path.join(OUT, "about", "JOX_Logo.png"), drawn["JOX_Logo"].png())
    media = media_names()
    assert len(media) == 201 and len(set(media)) == 201, len(media)
    for name in media:
        size = (8, 8) if name.startswith("style/") and name[-2] == "_" and name[-1].isdigit() \
            and not name.startswith("style/check_") else (16, 16)
        write_png(os.path.join(OUT, "data", name + ".png"), size[0], size[1],
                  flat_pixel(shape_for(name), size, colour_for(name)))
    # A small UYVY test picture in place of an unsupported format's preview.
    with open(os.path.join(OUT, "data", "not_supported.yuv"), "wb") as f:
        f.write(bytes([128, 60, 128, 60]) * (64 * 48 // 2))
    if len(sys.argv) == 3 and sys.argv[1] == "--sheet":
        shown = {n: drawn[n.split(":")[0]] for n in SHEET_NAMES}
        shown["About"], shown["JOX_Logo"] = drawn["About"], drawn["JOX_Logo"]
        sheet = contact_sheet(shown)
        save(sys.argv[2], sheet.png())


if __name__ == "__main__":
    main()
