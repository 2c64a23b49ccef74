#!/usr/bin/env python3
"""Renders the default skins, the icon store and the button click sound.

Writes, below the folder of this script:
  skins/Default_QVGA/*.png, skins/Default_VGA/*.png  the skin images
  skins/Default_*/TlwButton.wav                      the button click
  icon_store/QVGA/*.png, icon_store/VGA/*.png        the profile icons

Every picture is drawn from signed distance functions in a 32-unit design
square and rendered at the size of its resolution class (QVGA: 1 pixel per
96-dpi unit, VGA: 2), so edges are anti-aliased and alpha is real. Only the
standard library is used (zlib for PNG), and the output is byte-for-byte
deterministic, so the generated files can be committed and compared.

Usage: python3 assets/render_assets.py [--check]
  --check  renders into memory and fails when a committed file differs
"""

import math
import os
import struct
import sys
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))

# ---------------------------------------------------------------------------
# Signed distance shapes. A shape is a function (x, y) -> distance in design
# units, negative inside. Design space: 32 x 32 units, y down.


def circle(cx, cy, r):
    return lambda x, y: math.hypot(x - cx, y - cy) - r


def box(x0, y0, x1, y1, r=0.0):
    """Rounded rectangle from (x0, y0) to (x1, y1) with corner radius r."""
    cx, cy = (x0 + x1) / 2, (y0 + y1) / 2
    hx, hy = (x1 - x0) / 2 - r, (y1 - y0) / 2 - r

    def f(x, y):
        qx, qy = abs(x - cx) - hx, abs(y - cy) - hy
        outside = math.hypot(max(qx, 0.0), max(qy, 0.0))
        return outside + min(max(qx, qy), 0.0) - r
    return f


def segment(x0, y0, x1, y1, width):
    """A stroke with round caps."""
    dx, dy = x1 - x0, y1 - y0
    length2 = dx * dx + dy * dy or 1e-9

    def f(x, y):
        t = ((x - x0) * dx + (y - y0) * dy) / length2
        t = min(1.0, max(0.0, t))
        return math.hypot(x - (x0 + t * dx), y - (y0 + t * dy)) - width / 2
    return f


def polyline(points, width):
    return union(*[segment(*points[i], *points[i + 1], width) for i in range(len(points) - 1)])


def polygon(points):
    n = len(points)

    def f(x, y):
        d = float("inf")
        inside = False
        for i in range(n):
            ax, ay = points[i]
            bx, by = points[(i + 1) % n]
            ex, ey = bx - ax, by - ay
            wx, wy = x - ax, y - ay
            t = min(1.0, max(0.0, (wx * ex + wy * ey) / (ex * ex + ey * ey or 1e-9)))
            d = min(d, math.hypot(wx - ex * t, wy - ey * t))
            if (ay > y) != (by > y) and x < ax + (y - ay) * ex / (ey or 1e-9):
                inside = not inside
        return -d if inside else d
    return f


def arc(cx, cy, r, a0, a1, width):
    """Stroke along a circle from angle a0 to a1 (degrees, clockwise from +x
    with y down), round caps."""
    r0, r1 = math.radians(a0), math.radians(a1)
    ends = [(cx + r * math.cos(r0), cy + r * math.sin(r0)), (cx + r * math.cos(r1), cy + r * math.sin(r1))]
    span = (r1 - r0) % (2 * math.pi)

    def f(x, y):
        a = (math.atan2(y - cy, x - cx) - r0) % (2 * math.pi)
        if a <= span:
            return abs(math.hypot(x - cx, y - cy) - r) - width / 2
        return min(math.hypot(x - ex, y - ey) for ex, ey in ends) - width / 2
    return f


def ring(cx, cy, r, width):
    return lambda x, y: abs(math.hypot(x - cx, y - cy) - r) - width / 2


def union(*shapes):
    return lambda x, y: min(s(x, y) for s in shapes)


def intersect(*shapes):
    return lambda x, y: max(s(x, y) for s in shapes)


def subtract(a, b):
    return lambda x, y: max(a(x, y), -b(x, y))


def grow(shape, amount):
    return lambda x, y: shape(x, y) - amount


def rotate(shape, cx, cy, degrees):
    c, s = math.cos(math.radians(-degrees)), math.sin(math.radians(-degrees))
    return lambda x, y: shape(cx + (x - cx) * c - (y - cy) * s, cy + (x - cx) * s + (y - cy) * c)


def translate(shape, dx, dy):
    return lambda x, y: shape(x - dx, y - dy)


# ---------------------------------------------------------------------------
# Paints: a colour, or a function of the design position giving a colour.


def rgb(hex_text):
    v = int(hex_text.lstrip("#"), 16)
    return ((v >> 16) & 255, (v >> 8) & 255, v & 255)


def vertical(top, bottom, y0=0.0, y1=32.0):
    top, bottom = rgb(top), rgb(bottom)

    def paint(x, y):
        t = min(1.0, max(0.0, (y - y0) / (y1 - y0)))
        return tuple(a + (b - a) * t for a, b in zip(top, bottom))
    return paint


def solid(hex_text):
    c = rgb(hex_text)
    return lambda x, y: c


# ---------------------------------------------------------------------------
# The canvas: premultiplied floating-point RGBA, composited with "over".


class Canvas:
    def __init__(self, width, height, units_w=32.0, units_h=32.0):
        self.width, self.height = width, height
        self.sx, self.sy = width / units_w, height / units_h
        self.px = [[0.0, 0.0, 0.0, 0.0] for _ in range(width * height)]

    def fill(self, shape, paint, opacity=1.0):
        if isinstance(paint, str):
            paint = solid(paint)
        scale = min(self.sx, self.sy)  # pixels per design unit, for the edge width
        for j in range(self.height):
            y = (j + 0.5) / self.sy
            for i in range(self.width):
                x = (i + 0.5) / self.sx
                d = shape(x, y) * scale
                if d >= 0.5:
                    continue
                cover = (1.0 if d <= -0.5 else 0.5 - d) * opacity
                r, g, b = paint(x, y)
                p = self.px[j * self.width + i]
                keep = 1.0 - cover
                p[0] = r / 255 * cover + p[0] * keep
                p[1] = g / 255 * cover + p[1] * keep
                p[2] = b / 255 * cover + p[2] * keep
                p[3] = cover + p[3] * keep

    def outlined(self, shape, paint, outline, width=1.5):
        """Fills shape with the outline colour, then its inside, inset by width."""
        self.fill(shape, outline)
        self.fill(grow(shape, -width), paint)

    def rgba_rows(self):
        rows = []
        for j in range(self.height):
            row = bytearray()
            for i in range(self.width):
                r, g, b, a = self.px[j * self.width + i]
                if a <= 0.0:
                    row += b"\0\0\0\0"
                    continue
                row += bytes(min(255, int(c / a * 255 + 0.5)) for c in (r, g, b))
                row.append(min(255, int(a * 255 + 0.5)))
            rows.append(bytes(row))
        return rows


def png_bytes(canvas):
    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)
    raw = b"".join(b"\0" + row for row in canvas.rgba_rows())
    header = struct.pack(">IIBBBBB", canvas.width, canvas.height, 8, 6, 0, 0, 0)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"IDAT", zlib.compress(raw, 9)) +
            chunk(b"IEND", b""))


# ---------------------------------------------------------------------------
# Palette and shared pieces.

INK = "#1E2B3A"          # outlines and dark glyphs
WHITE = "#FFFFFF"
ON_TOP, ON_BOTTOM, ON_EDGE = "#63C95B", "#2D8A2A", "#1F5E1D"        # switch on
OFF_TOP, OFF_BOTTOM, OFF_EDGE = "#C3C8CE", "#8E959D", "#656C74"     # switch off
BLUE_TOP, BLUE_BOTTOM, BLUE_EDGE = "#5AA8F2", "#2068C0", "#163F73"
RED = "#D93A2E"
YELLOW = "#F5C52A"
ORANGE = "#F08A1C"


def badge(c, active):
    """The rounded square behind switch and counter glyphs."""
    shape = box(1, 1, 31, 31, 7)
    if active:
        c.outlined(shape, vertical(ON_TOP, ON_BOTTOM), ON_EDGE)
    else:
        c.outlined(shape, vertical(OFF_TOP, OFF_BOTTOM), OFF_EDGE)
    # A soft gloss on the upper half.
    c.fill(intersect(box(2.5, 2.5, 29.5, 29.5, 5.5), box(2.5, 2.5, 29.5, 15, 5.5)), WHITE, 0.18)


def glyph_colour(active):
    return WHITE if active else "#F2F4F6"


# ---------------------------------------------------------------------------
# Glyphs: each draws into a canvas in design units.


def draw_bluetooth(c, colour):
    c.fill(polyline([(10, 11), (21.5, 21.5), (16, 27), (16, 5), (21.5, 10.5), (10, 21)], 3.0), colour)


def draw_wifi(c, colour):
    c.fill(circle(16, 24.5, 2.8), colour)
    for r in (7.0, 12.5):
        c.fill(arc(16, 25, r, 225, 315, 3.2), colour)


def draw_phone_radio(c, colour):
    # An antenna mast with radio waves on both sides.
    c.fill(polygon([(14.2, 13), (17.8, 13), (20, 27), (12, 27)]), colour)
    c.fill(circle(16, 11, 3), colour)
    for r in (6.0, 10.5):
        c.fill(arc(16, 11, r, 140, 220, 2.6), colour)
        c.fill(arc(16, 11, r, 320, 40, 2.6), colour)


def draw_envelope(c, colour, x0=6, y0=9, x1=26, y1=23, line=INK):
    c.fill(box(x0, y0, x1, y1, 1.5), colour)
    mid = (x0 + x1) / 2
    c.fill(polyline([(x0 + 1.5, y0 + 1.5), (mid, y0 + (y1 - y0) * 0.55), (x1 - 1.5, y0 + 1.5)], 1.6), line)


def draw_push_mail(c, colour, back):
    draw_envelope(c, colour, 5, 7, 24, 21, back)
    # A round arrow: mail arrives by itself.
    c.fill(circle(23, 23, 6.5), back)
    c.fill(arc(23, 23, 4, 200, 90, 2.2), colour)
    c.fill(polygon([(17.5, 20.5), (21.5, 20.5), (19.5, 24)]), colour)


def draw_data_connect(c, colour):
    # Two arrows, up and down: data flowing both ways.
    c.fill(segment(11.5, 10, 11.5, 25, 3.2), colour)
    c.fill(polygon([(5.5, 12.5), (11.5, 5), (17.5, 12.5)]), colour)
    c.fill(segment(20.5, 7, 20.5, 22, 3.2), colour)
    c.fill(polygon([(14.5, 19.5), (20.5, 27), (26.5, 19.5)]), colour)


def switch_image(kind, active):
    def draw(c):
        badge(c, active)
        colour = glyph_colour(active)
        back = ON_BOTTOM if active else OFF_BOTTOM
        if kind == "bluetooth":
            draw_bluetooth(c, colour)
        elif kind == "wifi":
            draw_wifi(c, colour)
        elif kind == "phone_radio":
            draw_phone_radio(c, colour)
        elif kind == "push_mail":
            draw_push_mail(c, colour, back)
        elif kind == "data_connect":
            draw_data_connect(c, colour)
        if not active:
            # A diagonal bar marks the switched-off state besides the grey.
            c.fill(segment(7, 25, 25, 7, 4.6), OFF_BOTTOM)
            c.fill(segment(7, 25, 25, 7, 2.4), "#F7F8F9")
    return draw


def handset(c, colour):
    """A telephone receiver lying diagonally."""
    body = arc(16, 16, 10, 100, 170, 4.5)
    c.fill(body, colour)
    c.fill(rotate(box(4.5, 11, 10.5, 16.5, 2), 16, 16, -5), colour)
    c.fill(rotate(box(15.5, 21.5, 21, 27.5, 2), 16, 16, 5), colour)


def counter_image(kind):
    def draw(c):
        c.outlined(box(1, 1, 31, 31, 7), vertical(BLUE_TOP, BLUE_BOTTOM), BLUE_EDGE)
        c.fill(intersect(box(2.5, 2.5, 29.5, 29.5, 5.5), box(2.5, 2.5, 29.5, 15, 5.5)), WHITE, 0.18)
        if kind == "message":
            bubble = union(box(5, 7, 27, 21, 5), polygon([(9, 19), (15, 19), (8, 27)]))
            c.fill(bubble, WHITE)
            for x in (11, 16, 21):
                c.fill(circle(x, 14, 1.7), BLUE_BOTTOM)
        elif kind == "email":
            draw_envelope(c, WHITE, 5, 8, 27, 24, BLUE_BOTTOM)
        elif kind == "missed":
            handset(c, WHITE)
            c.fill(segment(19, 6, 26, 13, 2.6), "#FFD2CC")
            c.fill(polygon([(27.5, 7), (27.5, 14.5), (20, 14.5)]), "#FFD2CC")
        elif kind == "voice":
            c.fill(ring(10, 16, 4.5, 2.8), WHITE)
            c.fill(ring(22, 16, 4.5, 2.8), WHITE)
            c.fill(segment(10, 20.5, 22, 20.5, 2.8), WHITE)
    return draw


def trigger_image(kind):
    def draw(c):
        if kind == "manual":
            # A person: the profile was chosen by hand.
            c.outlined(circle(16, 16, 15), vertical(BLUE_TOP, BLUE_BOTTOM), BLUE_EDGE)
            c.fill(circle(16, 11.5, 5), WHITE)
            c.fill(intersect(circle(16, 30, 11), circle(16, 16, 13.5)), WHITE)
        elif kind == "time":
            c.outlined(circle(16, 16, 15), vertical("#FFFFFF", "#DDE3EA"), INK, 2.2)
            for k in range(12):
                a = math.radians(k * 30)
                length = 2.5 if k % 3 == 0 else 1.2
                c.fill(segment(16 + 10.5 * math.cos(a), 16 + 10.5 * math.sin(a),
                               16 + (10.5 - length) * math.cos(a), 16 + (10.5 - length) * math.sin(a), 1.4), INK)
            c.fill(segment(16, 16, 16, 8, 2.4), INK)
            c.fill(segment(16, 16, 21.5, 19, 2.4), INK)
            c.fill(circle(16, 16, 1.8), RED)
        elif kind == "outlook":
            # A calendar sheet.
            c.outlined(box(3, 5, 29, 30, 3.5), vertical("#FFFFFF", "#E4E8EE"), INK, 1.8)
            c.fill(intersect(box(4.8, 6.8, 27.2, 28.2, 2), box(0, 0, 32, 12.5)), vertical("#F0605A", "#C9302A"))
            c.fill(segment(10, 3, 10, 8.5, 2.4), INK)
            c.fill(segment(22, 3, 22, 8.5, 2.4), INK)
            for row in range(3):
                for col in range(4):
                    c.fill(box(7.5 + col * 4.6, 15 + row * 4.2, 10.3 + col * 4.6, 17.4 + row * 4.2, 0.5),
                           RED if (row, col) == (1, 2) else "#5B6878")
        elif kind == "power":
            # A plug: power source and accessories.
            c.outlined(circle(16, 16, 15), vertical("#FFE27A", "#F0A81C"), "#8A5A08")
            c.fill(polygon([(18.5, 4.5), (9, 18), (15, 18), (13, 27.5), (23, 13.5), (17, 13.5)]), INK)
        elif kind == "location":
            pin = union(circle(16, 12.5, 10), polygon([(7.2, 17), (24.8, 17), (16, 30.5)]))
            c.outlined(pin, vertical("#F0605A", "#B8251E"), "#6E1410")
            c.fill(circle(16, 12.5, 4), WHITE)
    return draw


def plugin_icon(c):
    # The application's own mark: a blue tile with a switch knob and sound waves.
    c.outlined(box(1, 1, 31, 31, 7), vertical(BLUE_TOP, BLUE_BOTTOM), BLUE_EDGE)
    c.fill(intersect(box(2.5, 2.5, 29.5, 29.5, 5.5), box(2.5, 2.5, 29.5, 15, 5.5)), WHITE, 0.2)
    c.fill(polygon([(6, 12.5), (10.5, 12.5), (16, 7), (16, 25), (10.5, 19.5), (6, 19.5)]), WHITE)
    c.fill(arc(16.5, 16, 5, 300, 60, 2.4), WHITE)
    c.fill(arc(16.5, 16, 10, 305, 55, 2.4), WHITE)


def padlock(locked):
    def draw(c):
        shackle_x = 0 if locked else 7
        c.fill(arc(11 + shackle_x + 5, 12, 6.5, 180, 360, 6.4), INK)
        c.fill(segment(9.5 + shackle_x, 12, 9.5 + shackle_x, 16 if locked else 10, 6.4), INK)
        c.fill(segment(22.5 + shackle_x, 12, 22.5 + shackle_x, 16, 6.4), INK)
        c.fill(arc(11 + shackle_x + 5, 12, 6.5, 180, 360, 3.2), "#C7CDD4")
        c.fill(segment(9.5 + shackle_x, 12, 9.5 + shackle_x, 16 if locked else 10, 3.2), "#C7CDD4")
        c.fill(segment(22.5 + shackle_x, 12, 22.5 + shackle_x, 16, 3.2), "#C7CDD4")
        body = box(4 if locked else 2, 15, 28 if locked else 26, 30, 3)
        if locked:
            c.outlined(body, vertical("#FFD866", "#E09A12"), "#7A4E06", 1.8)
        else:
            c.outlined(body, vertical("#D8DDE3", "#9AA2AB"), "#545C66", 1.8)
        cx = 16 if locked else 14
        c.fill(circle(cx, 21, 2.4), INK)
        c.fill(segment(cx, 21, cx, 26, 2), INK)
    return draw


def menu_background(c):
    # A tile of the skinned menu's item background: repeated across the width.
    c.fill(box(-1, -1, 9, 41), vertical("#FDFEFF", "#E3E9F0", 0, 40))
    c.fill(box(-1, 39, 9, 40), "#B9C3CF")
    c.fill(box(-1, 0, 9, 1), WHITE)


def taskbar_background(c):
    c.fill(box(0.5, 0.5, 17.5, 17.5, 3.5), vertical("#4D6E96", "#1E3556", 0, 18), 0.85)
    c.fill(box(1.5, 1.5, 16.5, 8.5, 2.5), WHITE, 0.12)


def autoselection(c):
    # Two circling arrows: the phone picks the profile by itself.
    c.outlined(circle(16, 16, 15), vertical(ON_TOP, ON_BOTTOM), ON_EDGE)
    c.fill(arc(16, 16, 8.5, 200, 340, 3.2), WHITE)
    c.fill(arc(16, 16, 8.5, 20, 160, 3.2), WHITE)
    c.fill(polygon([(21.5, 5.5), (27.5, 13.5), (19, 14)]), WHITE)
    c.fill(polygon([(10.5, 26.5), (4.5, 18.5), (13, 18)]), WHITE)
    c.fill(circle(16, 16, 2.5), WHITE)


def configuration(c):
    # A gear.
    teeth = [rotate(box(13.2, 2.5, 18.8, 10, 1.2), 16, 16, k * 45) for k in range(8)]
    gear = subtract(union(circle(16, 16, 10.5), *teeth), circle(16, 16, 4.2))
    c.outlined(gear, vertical("#B6C0CB", "#6A7682"), "#39424C", 1.6)


# Profile icons of the icon store.

def speaker(c, colour, edge):
    c.outlined(polygon([(3, 12), (9, 12), (16, 5), (16, 27), (9, 20), (3, 20)]), colour, edge, 1.4)


def icon_mute(c):
    speaker(c, vertical("#8C9AAB", "#4E5C6D"), INK)
    c.fill(segment(19.5, 10.5, 29, 21.5, 3.6), RED)
    c.fill(segment(29, 10.5, 19.5, 21.5, 3.6), RED)


def icon_night(c):
    moon = subtract(circle(14, 17, 12), circle(20, 12, 10))
    c.outlined(moon, vertical("#FFE98A", "#E8B820"), "#6B5410", 1.4)
    for (x, y, r) in ((25.5, 19.5, 4.0), (27, 7, 3.0)):
        k = r * 0.28
        c.fill(polygon([(x, y - r), (x + k, y - k), (x + r, y), (x + k, y + k), (x, y + r), (x - k, y + k),
                        (x - r, y), (x - k, y - k)]), "#FFE98A")


def icon_day(c):
    for k in range(8):
        a = math.radians(k * 45)
        c.fill(segment(16 + 11 * math.cos(a), 16 + 11 * math.sin(a),
                       16 + 14.2 * math.cos(a), 16 + 14.2 * math.sin(a), 3.0), ORANGE)
    c.outlined(circle(16, 16, 8.5), vertical("#FFE45C", "#F39A12"), "#9A5A06", 1.4)


def icon_car(c):
    body = union(box(2, 15, 30, 24, 3.5), polygon([(8, 16), (11.5, 8.5), (21.5, 8.5), (26, 16)]))
    c.outlined(body, vertical("#F0605A", "#B8251E"), "#5E120E", 1.4)
    c.fill(polygon([(10.5, 15.5), (13, 10.5), (15.6, 10.5), (15.6, 15.5)]), "#CFE6FA")
    c.fill(polygon([(17.4, 15.5), (17.4, 10.5), (20.6, 10.5), (23.5, 15.5)]), "#CFE6FA")
    for x in (9, 23):
        c.fill(circle(x, 24, 4.6), INK)
        c.fill(circle(x, 24, 1.8), "#C7CDD4")


def icon_flight(c):
    plane = union(
        segment(16, 3, 16, 26, 4.2),
        polygon([(3, 17.5), (16, 10), (29, 17.5), (29, 20), (16, 16.5), (3, 20)]),
        polygon([(10.5, 28.5), (16, 24.5), (21.5, 28.5), (21.5, 30), (16, 28.5), (10.5, 30)]))
    c.outlined(plane, vertical("#6FB4F5", "#2369C2"), BLUE_EDGE, 1.3)


def icon_generic(c):
    # A bell: a sound profile of its own kind.
    bell = union(intersect(circle(16, 15, 10), box(0, 4, 32, 22)), box(6, 14, 26, 22), box(3, 21, 29, 25, 2))
    c.outlined(bell, vertical("#FFE27A", "#E9A317"), "#7A4E06", 1.4)
    c.fill(circle(16, 27, 3), "#7A4E06")
    c.fill(circle(16, 4, 2.2), "#7A4E06")


# ---------------------------------------------------------------------------
# What is made: name -> (draw function, width units, height units, design units).

SWITCH_KINDS = ["bluetooth", "wifi", "phone_radio", "push_mail", "data_connect"]
COUNTERS = ["message", "email", "missed", "voice"]


def skin_images():
    images = {}
    for kind in ["manual", "time", "outlook", "power", "location"]:
        images["trigger_" + kind] = (trigger_image(kind), 16, 16)
    for kind in SWITCH_KINDS:
        for state, active in (("disabled", False), ("active", True)):
            images["switch_%s_%s" % (state, kind)] = (switch_image(kind, active), 16, 16)
            images["switch_%s_%s_large" % (state, kind)] = (switch_image(kind, active), 32, 32)
    images["tallowin_plugin_icon"] = (plugin_icon, 16, 16)
    images["profile_locked"] = (padlock(True), 16, 16)
    images["profile_unlocked"] = (padlock(False), 16, 16)
    for kind in COUNTERS:
        images[kind + "_counter"] = (counter_image(kind), 16, 16)
        images[kind + "_counter_large"] = (counter_image(kind), 32, 32)
    images["menu"] = (menu_background, 8, 40, (8.0, 40.0))
    images["tskbar"] = (taskbar_background, 18, 18, (18.0, 18.0))
    images["autoselection"] = (autoselection, 32, 32)
    images["configuration"] = (configuration, 32, 32)
    return images


def icon_store_images():
    images = {}
    for name, draw in (("mute", icon_mute), ("night", icon_night), ("day", icon_day), ("car", icon_car),
                       ("Flight mode", icon_flight), ("Generic", icon_generic)):
        images[name] = (draw, 16, 16)
        images[name + "_large"] = (draw, 32, 32)
    return images


def render(entry, pixels_per_unit):
    draw, w, h = entry[0], entry[1], entry[2]
    units = entry[3] if len(entry) > 3 else (32.0, 32.0)
    c = Canvas(w * pixels_per_unit, h * pixels_per_unit, *units)
    draw(c)
    return png_bytes(c)


def click_wav():
    """A short, soft click: 22.05 kHz mono 16-bit, 30 ms."""
    rate, count = 22050, 660
    seed = 12345
    samples = bytearray()
    for n in range(count):
        t = n / rate
        seed = (seed * 1103515245 + 12345) & 0x7FFFFFFF
        noise = (seed / 0x7FFFFFFF) * 2 - 1
        envelope = math.exp(-t * 260)
        value = envelope * (0.55 * math.sin(2 * math.pi * 2400 * t) + 0.25 * math.sin(2 * math.pi * 900 * t) +
                            0.2 * noise * math.exp(-t * 900))
        samples += struct.pack("<h", int(max(-1.0, min(1.0, value)) * 20000))
    header = struct.pack("<4sI4s4sIHHIIHH4sI", b"RIFF", 36 + len(samples), b"WAVE", b"fmt ", 16, 1, 1, rate,
                         rate * 2, 2, 16, b"data", len(samples))
    return header + bytes(samples)


def outputs():
    """Every file to write: relative path -> bytes."""
    files = {}
    for folder, ppu in (("Default_QVGA", 1), ("Default_VGA", 2)):
        for name, entry in skin_images().items():
            files["skins/%s/%s.png" % (folder, name)] = render(entry, ppu)
        files["skins/%s/TlwButton.wav" % folder] = click_wav()
    for folder, ppu in (("QVGA", 1), ("VGA", 2)):
        for name, entry in icon_store_images().items():
            files["icon_store/%s/%s.png" % (folder, name)] = render(entry, ppu)
    return files


def main(argv):
    check = "--check" in argv
    differing = []
    for rel, data in sorted(outputs().items()):
        path = os.path.join(HERE, rel)
        if check:
            try:
                with open(path, "rb") as f:
                    if f.read() != data:
                        differing.append(rel)
            except OSError:
                differing.append(rel)
            continue
        os.makedirs(os.path.dirname(path), exist_ok=True)
        with open(path, "wb") as f:
            f.write(data)
    if differing:
        print("out of date: " + ", ".join(differing), file=sys.stderr)
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
