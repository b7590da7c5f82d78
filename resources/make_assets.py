#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""Makes the program's own icon and sounds: a bell-shaped icon and two short tones.

Run it again only to change them; its output is kept in the repository.
"""
import math
import struct
import wave
import zlib
from pathlib import Path

HERE = Path(__file__).resolve().parent


def tone(path, parts, rate=22050, volume=0.45):
    """parts: list of (frequency in Hz, seconds); each part fades out."""
    frames = bytearray()
    for freq, seconds in parts:
        count = int(rate * seconds)
        for i in range(count):
            t = i / rate
            fade = min(1.0, i / (rate * 0.005)) * (1.0 - i / count) ** 2
            value = volume * fade * (math.sin(2 * math.pi * freq * t) + 0.3 * math.sin(4 * math.pi * freq * t))
            frames += struct.pack('<h', max(-32767, min(32767, int(value * 32767 / 1.3))))
    with wave.open(str(path), 'wb') as w:
        w.setnchannels(1)
        w.setsampwidth(2)
        w.setframerate(rate)
        w.writeframes(bytes(frames))


def write_png(path, width, height, rows):
    """Writes RGBA rows, each starting with its filter byte, as a PNG file."""
    def chunk(kind, data):
        body = kind + data
        return struct.pack('>I', len(data)) + body + struct.pack('>I', zlib.crc32(body) & 0xFFFFFFFF)

    path.write_bytes(b'\x89PNG\r\n\x1a\n' + chunk(b'IHDR', struct.pack('>IIBBBBB', width, height, 8, 6, 0, 0, 0))
                     + chunk(b'IDAT', zlib.compress(b''.join(rows), 9)) + chunk(b'IEND', b''))


def png(path, size):
    """A round amber face with a darker rim and a white clock hand pair."""
    rows = []
    c = (size - 1) / 2
    r = size * 0.46
    for y in range(size):
        row = bytearray([0])
        for x in range(size):
            d = math.hypot(x - c, y - c)
            if d > r + 0.5:
                row += bytes((0, 0, 0, 0))
                continue
            alpha = int(255 * max(0.0, min(1.0, r + 0.5 - d)))
            colour = (0xE8, 0x9A, 0x1C) if d < r * 0.82 else (0x9C, 0x52, 0x0A)
            # Hands: one up to twelve, one towards three.
            hand_w = max(1.0, size / 16)
            if (abs(x - c) <= hand_w / 2 and c - r * 0.65 <= y <= c) or \
               (abs(y - c) <= hand_w / 2 and c <= x <= c + r * 0.5):
                colour = (0xFF, 0xFF, 0xFF)
            row += bytes((*colour, alpha))
        rows.append(bytes(row))
    write_png(path, size, size, rows)


def menu_bitmap(path, scale=1):
    """The note window's 16 x 16 menu picture: three dark bars on a pale square, in few colours."""
    size = 16 * scale
    rows = []
    for y in range(size):
        row = bytearray([0])
        for x in range(size):
            if x < scale or x >= size - scale or y < scale or y >= size - scale:
                colour = (0x80, 0x80, 0x80, 255)
            elif 2 <= x // scale <= 13 and y // scale in (4, 5, 8, 9, 12, 13):
                colour = (0x00, 0x00, 0x80, 255)
            else:
                colour = (0xFF, 0xFF, 0xE1, 255)
            row += bytes(colour)
        rows.append(bytes(row))

    write_png(path, size, size, rows)


def segment_distance(px, py, ax, ay, bx, by):
    dx, dy = bx - ax, by - ay
    t = 0.0 if dx == dy == 0 else max(0.0, min(1.0, ((px - ax) * dx + (py - ay) * dy) / (dx * dx + dy * dy)))
    return math.hypot(px - ax - t * dx, py - ay - t * dy)


def glyph(path, size, strokes, colour):
    """Draws round-capped strokes given on a 16-unit grid at any size, edges smoothed by 4 x 4
    samples per pixel, so that the 32-pixel picture is as sharp as the 16-pixel one."""
    scale = size / 16
    lines = [(width * scale, [(x * scale, y * scale) for x, y in points]) for width, points in strokes]
    rows = []
    for y in range(size):
        row = bytearray([0])
        for x in range(size):
            hits = 0
            for sy in range(4):
                for sx in range(4):
                    px, py = x + (sx + 0.5) / 4, y + (sy + 0.5) / 4
                    if any(segment_distance(px, py, *a, *b) <= width / 2
                           for width, points in lines for a, b in zip(points, points[1:])):
                        hits += 1
            row += bytes((*colour, hits * 255 // 16))
        rows.append(bytes(row))
    write_png(path, size, size, rows)


def arc(cx, cy, r, start, end, steps=12):
    """Points along a circle's arc, angles in degrees, clockwise on the screen."""
    return [(cx + r * math.cos(math.radians(start + (end - start) * i / steps)),
             cy + r * math.sin(math.radians(start + (end - start) * i / steps))) for i in range(steps + 1)]


# The setup dialog's button glyphs: a plus, a turning arrow, a waste bin and a cross.
GLYPHS = {
    'add': ((0x1E, 0x8C, 0x2E), [(2.6, [(8, 2.5), (8, 13.5)]), (2.6, [(2.5, 8), (13.5, 8)])]),
    'update': ((0x1E, 0x5A, 0xB4), [(2.0, arc(8, 8, 5.2, -60, 250)), (2.0, [(10.6, 3.5), (10.6, 7.2), (14.2, 6.0)])]),
    'delete': ((0x9C, 0x1C, 0x1C), [(1.6, [(2.5, 4), (13.5, 4)]), (1.6, [(6.2, 4), (6.5, 2.2), (9.5, 2.2), (9.8, 4)]),
                                    (1.6, [(4, 4), (5, 14), (11, 14), (12, 4)]), (1.3, [(6.8, 6.5), (7, 11.5)]),
                                    (1.3, [(9.2, 6.5), (9, 11.5)])]),
    'close': ((0x50, 0x50, 0x50), [(2.4, [(3.5, 3.5), (12.5, 12.5)]), (2.4, [(12.5, 3.5), (3.5, 12.5)])]),
}


def banner(path, scale=1):
    """The about box's picture: the clock face on a sky-blue band that fades to white."""
    width, height = 140 * scale, 34 * scale
    rows = []
    c = height / 2 - 0.5
    r = height * 0.40
    for y in range(height):
        row = bytearray([0])
        for x in range(width):
            t = x / (width - 1)
            colour = (int(0x1E + (0xFF - 0x1E) * t), int(0x6E + (0xFF - 0x6E) * t), int(0xC8 + (0xFF - 0xC8) * t))
            d = math.hypot(x - c - 4 * scale, y - c)
            if d <= r:
                colour = (0xE8, 0x9A, 0x1C) if d < r * 0.82 else (0x9C, 0x52, 0x0A)
                if (abs(x - c - 4 * scale) <= scale and c - r * 0.65 <= y <= c) or \
                   (abs(y - c) <= scale and c + 4 * scale <= x <= c + 4 * scale + r * 0.5):
                    colour = (0xFF, 0xFF, 0xFF)
            elif height - 3 * scale <= y < height - scale and x > height:
                colour = (0x80, 0x00, 0x00)
            row += bytes((*colour, 255))
        rows.append(bytes(row))

    write_png(path, width, height, rows)


if __name__ == '__main__':
    (HERE / 'sounds').mkdir(exist_ok=True)
    (HERE / 'icons').mkdir(exist_ok=True)
    tone(HERE / 'sounds' / 'ringin.wav', [(660, 0.18), (880, 0.18), (1320, 0.35)])
    tone(HERE / 'sounds' / 'Nudgeon.wav', [(988, 0.25), (784, 0.45)])
    for size in (16, 22, 32, 48, 64, 128):
        png(HERE / 'icons' / f'nudgeon-{size}.png', size)
    for scale, suffix in ((1, ''), (2, '@2x')):
        menu_bitmap(HERE / 'icons' / f'memo-menu{suffix}.png', scale)
        banner(HERE / 'icons' / f'about-banner{suffix}.png', scale)
        for name, (colour, strokes) in GLYPHS.items():
            glyph(HERE / 'icons' / f'{name}{suffix}.png', 16 * scale, strokes, colour)
