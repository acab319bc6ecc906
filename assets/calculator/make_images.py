#!/usr/bin/env python3
"""Draws the manual calculator's button images into this folder.

52 card buttons (card_<rank><suit>.png, 24 x 32) and, for the opponent counts
1 to 9, a normal, a selected and a disabled button (opponents_<n>.png,
opponents_<n>_selected.png, opponents_<n>_disabled.png, 24 x 24). Glyphs are
drawn from the small pixel patterns below, doubled in size. Run it again after
changing a pattern or a colour; it needs only the Python standard library.
"""

import os
import struct
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))

# 5 x 7 rank and digit glyphs.
GLYPHS = {
    "A": ["01110", "10001", "10001", "11111", "10001", "10001", "10001"],
    "2": ["01110", "10001", "00001", "00110", "01000", "10000", "11111"],
    "3": ["11110", "00001", "00001", "01110", "00001", "00001", "11110"],
    "4": ["00010", "00110", "01010", "10010", "11111", "00010", "00010"],
    "5": ["11111", "10000", "11110", "00001", "00001", "10001", "01110"],
    "6": ["00110", "01000", "10000", "11110", "10001", "10001", "01110"],
    "7": ["11111", "00001", "00010", "00100", "01000", "01000", "01000"],
    "8": ["01110", "10001", "10001", "01110", "10001", "10001", "01110"],
    "9": ["01110", "10001", "10001", "01111", "00001", "00010", "01100"],
    "T": ["11111", "00100", "00100", "00100", "00100", "00100", "00100"],
    "J": ["00111", "00010", "00010", "00010", "00010", "10010", "01100"],
    "Q": ["01110", "10001", "10001", "10001", "10101", "10010", "01101"],
    "K": ["10001", "10010", "10100", "11000", "10100", "10010", "10001"],
    "1": ["00100", "01100", "00100", "00100", "00100", "00100", "01110"],
}

# 7 x 7 suit symbols.
SUITS = {
    "s": ["0001000", "0011100", "0111110", "1111111", "1111111", "0010100", "0111110"],
    "h": ["0110110", "1111111", "1111111", "1111111", "0111110", "0011100", "0001000"],
    "d": ["0001000", "0011100", "0111110", "1111111", "0111110", "0011100", "0001000"],
    "c": ["0011100", "0011100", "1101011", "1111111", "1101011", "0001000", "0011100"],
}

# Four colours, so that a suit is told apart at a glance.
SUIT_COLOURS = {"s": (0, 0, 0), "h": (200, 0, 0), "d": (0, 70, 200), "c": (0, 130, 0)}


def write_png(path, width, height, pixels):
    """Writes RGB pixels (rows of (r, g, b) tuples) as an 8-bit PNG."""
    raw = b"".join(b"\x00" + bytes(c for px in row for c in px) for row in pixels)

    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)

    header = struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0)
    with open(path, "wb") as f:
        f.write(b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"IDAT", zlib.compress(raw, 9)) +
                chunk(b"IEND", b""))


def canvas(width, height, colour):
    return [[colour] * width for _ in range(height)]


def frame(pixels, colour):
    height, width = len(pixels), len(pixels[0])
    for x in range(width):
        pixels[0][x] = pixels[height - 1][x] = colour
    for y in range(height):
        pixels[y][0] = pixels[y][width - 1] = colour


def stamp(pixels, pattern, left, top, colour, scale=2):
    for y, line in enumerate(pattern):
        for x, bit in enumerate(line):
            if bit == "1":
                for dy in range(scale):
                    for dx in range(scale):
                        pixels[top + y * scale + dy][left + x * scale + dx] = colour


def card(rank, suit):
    pixels = canvas(24, 32, (255, 255, 255))
    frame(pixels, (120, 120, 120))
    colour = SUIT_COLOURS[suit]
    stamp(pixels, GLYPHS[rank], 7, 2, colour)
    stamp(pixels, SUITS[suit], 5, 17, colour)
    return pixels


def opponent_button(count, state):
    background, ink, border = {
        "": ((239, 223, 207), (0, 51, 102), (150, 120, 90)),
        "_selected": ((0, 110, 0), (255, 255, 255), (0, 60, 0)),
        "_disabled": ((215, 215, 215), (160, 160, 160), (180, 180, 180)),
    }[state]
    pixels = canvas(24, 24, background)
    frame(pixels, border)
    stamp(pixels, GLYPHS[str(count)], 7, 5, ink)
    return pixels


def main():
    for suit in "schd":
        for rank in "A23456789TJQK":
            write_png(os.path.join(HERE, "card_%s%s.png" % (rank, suit)), 24, 32, card(rank, suit))
    for count in range(1, 10):
        for state in ("", "_selected", "_disabled"):
            write_png(os.path.join(HERE, "opponents_%d%s.png" % (count, state)), 24, 24,
                      opponent_button(count, state))


if __name__ == "__main__":
    main()
