#!/usr/bin/env python3
"""Draws Velmora's stopwatch icon and writes assets/velmora.png and assets/velmora.ico.

Standard library only, so the icon can be rebuilt on any machine with Python 3:
    python3 assets/make_icon.py
The output is the same bytes on every run: the drawing is pure arithmetic and
zlib at a fixed level is deterministic.
"""

import math
import os
import struct
import zlib

SIZE = 128
SAMPLES = 4  # 4x4 sub-samples per pixel give the edges their anti-aliasing

# Geometry in pixel units of the 128x128 image; y grows downwards.
CX, CY = 64.0, 74.0
RIM_OUTER = 50.0
RIM_INNER = 40.0  # a 10 px rim is still a full pixel once Windows shrinks us to 16x16
HAND_ANGLE = 60.0  # degrees clockwise from 12 o'clock: about 2 o'clock

RIM = (38, 50, 56, 255)
RIM_EDGE = (24, 32, 36, 255)
FACE = (250, 250, 246, 255)
TICK = (55, 71, 79, 255)
BUTTON = (69, 90, 100, 255)
HAND = (230, 74, 25, 255)
HUB_CENTRE = (38, 50, 56, 255)


def circle(px, py, cx, cy, r):
    return (px - cx) ** 2 + (py - cy) ** 2 <= r * r


def box(px, py, cx, cy, half_w, half_h, radius, angle_deg=0.0):
    """Rounded rectangle centred on (cx, cy), turned clockwise by angle_deg."""
    a = math.radians(-angle_deg)
    dx, dy = px - cx, py - cy
    lx = dx * math.cos(a) - dy * math.sin(a)
    ly = dx * math.sin(a) + dy * math.cos(a)
    qx = abs(lx) - (half_w - radius)
    qy = abs(ly) - (half_h - radius)
    outside = math.hypot(max(qx, 0.0), max(qy, 0.0))
    return outside + min(max(qx, qy), 0.0) <= radius


def capsule(px, py, ax, ay, bx, by, r):
    """Segment from a to b with round ends of radius r."""
    vx, vy = bx - ax, by - ay
    t = ((px - ax) * vx + (py - ay) * vy) / (vx * vx + vy * vy)
    t = min(max(t, 0.0), 1.0)
    return (px - ax - t * vx) ** 2 + (py - ay - t * vy) ** 2 <= r * r


def polar(r, angle_deg):
    a = math.radians(angle_deg)
    return CX + r * math.sin(a), CY - r * math.cos(a)


TICKS = []
for hour in range(12):
    major = hour % 3 == 0
    length = 9.0 if major else 5.0
    outer = RIM_INNER - 3.5
    TICKS.append((polar(outer, hour * 30), polar(outer - length, hour * 30), 2.2 if major else 1.3))

HAND_TIP = polar(RIM_INNER - 8.0, HAND_ANGLE)
HAND_TAIL = polar(-7.0, HAND_ANGLE)
SIDE_BUTTON = polar(RIM_OUTER + 2.0, 45.0)


def sample(px, py):
    """Colour of one sub-sample; later shapes paint over earlier ones."""
    colour = (0, 0, 0, 0)
    if box(px, py, SIDE_BUTTON[0], SIDE_BUTTON[1], 6.0, 7.0, 1.5, 45.0):
        colour = BUTTON
    if box(px, py, CX, 18.0, 6.0, 8.0, 0.0):
        colour = BUTTON
    if box(px, py, CX, 10.0, 15.0, 6.0, 3.0):
        colour = RIM
    if circle(px, py, CX, CY, RIM_OUTER):
        colour = RIM_EDGE if not circle(px, py, CX, CY, RIM_OUTER - 2.0) else RIM
    if circle(px, py, CX, CY, RIM_INNER):
        colour = FACE
        for a, b, r in TICKS:
            if capsule(px, py, a[0], a[1], b[0], b[1], r):
                colour = TICK
                break
        if capsule(px, py, HAND_TAIL[0], HAND_TAIL[1], HAND_TIP[0], HAND_TIP[1], 4.5):
            colour = HAND
        if circle(px, py, CX, CY, 7.5):
            colour = HAND
        if circle(px, py, CX, CY, 2.5):
            colour = HUB_CENTRE
    return colour


def render():
    """Rows of straight (not premultiplied) RGBA pixels, top row first."""
    n = SAMPLES * SAMPLES
    rows = []
    for y in range(SIZE):
        row = []
        for x in range(SIZE):
            r = g = b = a = 0
            for sy in range(SAMPLES):
                for sx in range(SAMPLES):
                    cr, cg, cb, ca = sample(x + (sx + 0.5) / SAMPLES, y + (sy + 0.5) / SAMPLES)
                    r += cr * ca
                    g += cg * ca
                    b += cb * ca
                    a += ca
            if a == 0:
                row.append((0, 0, 0, 0))
            else:
                # Integer rounding keeps the bytes identical across runs and machines.
                row.append(((r + a // 2) // a, (g + a // 2) // a, (b + a // 2) // a, (a + n // 2) // n))
        rows.append(row)
    return rows


def png_bytes(rows):
    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)

    raw = bytearray()
    for row in rows:
        raw.append(0)  # filter type None
        for pixel in row:
            raw.extend(pixel)
    header = struct.pack(">IIBBBBB", SIZE, SIZE, 8, 6, 0, 0, 0)  # 8-bit RGBA, no interlace
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"IDAT", zlib.compress(bytes(raw), 9))
            + chunk(b"IEND", b""))


def ico_bytes(rows):
    # An uncompressed DIB is the one icon image form every Windows version and Wine load;
    # the height counts the colour rows and the AND-mask rows together, hence 2 * SIZE.
    pixels = bytearray()
    mask = bytearray()
    mask_stride = ((SIZE + 31) // 32) * 4
    for row in reversed(rows):  # DIB rows run bottom-up
        bits = bytearray(mask_stride)
        for x, (r, g, b, a) in enumerate(row):
            pixels.extend((b, g, r, a))
            if a == 0:
                bits[x // 8] |= 0x80 >> (x % 8)
        mask.extend(bits)
    info = struct.pack("<IiiHHIIiiII", 40, SIZE, 2 * SIZE, 1, 32, 0, len(pixels) + len(mask), 0, 0, 0, 0)
    image = info + bytes(pixels) + bytes(mask)
    directory = struct.pack("<HHH", 0, 1, 1)
    # Width and height 128 fit the one-byte fields as they are (0 would mean 256).
    entry = struct.pack("<BBBBHHII", SIZE, SIZE, 0, 0, 1, 32, len(image), 6 + 16)
    return directory + entry + image


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    rows = render()
    with open(os.path.join(here, "velmora.png"), "wb") as f:
        f.write(png_bytes(rows))
    with open(os.path.join(here, "velmora.ico"), "wb") as f:
        f.write(ico_bytes(rows))


if __name__ == "__main__":
    main()
