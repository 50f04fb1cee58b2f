#!/usr/bin/env python3
"""Draws the style's images: simple flat shapes, one PNG per name.

Run from anywhere; it writes below ../resources/. The images are committed, so
this only needs running again when the list of names or the drawing changes.
"""
import math
import os
import struct
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))
OUT = os.path.join(HERE, "..", "resources")

ACCENT = (0, 147, 221)
WHITE = (255, 255, 255)
GREY = (111, 111, 111)
DARK = (66, 66, 66)
DISABLED = (98, 98, 98)
RED = (255, 0, 0)
ORANGE = (236, 117, 0)
GREEN = (60, 180, 75)
YELLOW = (255, 255, 100)
GREYBLUE = (167, 175, 190)


def write_png(path, width, height, pixel):
    rows = bytearray()
    for y in range(height):
        rows.append(0)
        for x in range(width):
            rows.extend(pixel(x, y))
    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)
    png = b"\x89PNG\r\n\x1a\n"
    png += chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 6, 0, 0, 0))
    png += chunk(b"IDAT", zlib.compress(bytes(rows), 9))
    png += chunk(b"IEND", b"")
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "wb") as f:
        f.write(png)


def shape_pixel(shape, size, colour):
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
        if shape == "fill":
            return True
        if shape == "gradient":
            return True
        return False

    def pixel(x, y):
        if shape == "gradient":
            t = y / max(1, h - 1)
            return bytes((int(50 + 48 * t), int(50 + 48 * t), int(50 + 48 * t), 255))
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


def draw(folder, name, size):
    write_png(os.path.join(OUT, folder, name + ".png"), size[0], size[1],
              shape_pixel(shape_for(name), size, colour_for(name)))


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
    if name.startswith("btn_header") or name.startswith("btn_command_header"):
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


def main():
    style = style_names()
    assert len(style) == 189 and len(set(style)) == 189, len(style)
    for name in style:
        draw("HarlenStyle", name, size_for(name))
    write_png(os.path.join(OUT, "about", "About.png"), 240, 400,
              shape_pixel("gradient", (240, 400), WHITE))
    write_png(os.path.join(OUT, "about", "JOX_Logo.png"), 120, 40,
              shape_pixel("fill", (120, 40), ACCENT))
    media = media_names()
    assert len(media) == 201 and len(set(media)) == 201, len(media)
    for name in media:
        size = (8, 8) if name.startswith("style/") and name[-2] == "_" and name[-1].isdigit() \
            and not name.startswith("style/check_") else (16, 16)
        draw("data", name, size)
    # A small UYVY test picture in place of an unsupported format's preview.
    with open(os.path.join(OUT, "data", "not_supported.yuv"), "wb") as f:
        f.write(bytes([128, 60, 128, 60]) * (64 * 48 // 2))


if __name__ == "__main__":
    main()
