# Draws Rotaline's pictures (window backgrounds, icon, About picture, Up/Down faces) into this folder.
#
# Run with a Python 3 that has Pillow (Debian: python3-pil):  python3 draw_assets.py
# Output is deterministic: no randomness, only geometry and fixed colours.

import math
import os
import struct

from PIL import Image, ImageChops, ImageDraw, ImageFilter

HERE = os.path.dirname(os.path.abspath(__file__))

BG_SIZE = (412, 382)
SS = 4  # supersampling factor: Pillow draws no anti-aliased lines itself

SLATE_DEEP = (13, 17, 23)
SLATE = (30, 39, 50)
RUST_DEEP = (70, 27, 11)
RUST = (118, 47, 17)
AMBER = (236, 132, 44)
EMBER = (196, 84, 26)


def out(name):
    return os.path.join(HERE, name)


def mix(a, b, t):
    t = 0.0 if t < 0 else 1.0 if t > 1 else t
    return tuple(int(round(a[i] + (b[i] - a[i]) * t)) for i in range(3))


def smooth(t):
    t = 0.0 if t < 0 else 1.0 if t > 1 else t
    return t * t * (3 - 2 * t)


def field(size, colour_at):
    w, h = size
    img = Image.new("RGB", size)
    img.putdata([colour_at(x, y) for y in range(h) for x in range(w)])
    return img


def layer(size):
    w, h = size
    return Image.new("RGBA", (w * SS, h * SS), (0, 0, 0, 0))


def flatten(base, over):
    small = over.resize(base.size, Image.LANCZOS)
    return Image.alpha_composite(base.convert("RGBA"), small).convert("RGB")


def ellipse_point(cx, cy, rx, ry, tilt, t):
    x, y = rx * math.cos(t), ry * math.sin(t)
    c, s = math.cos(tilt), math.sin(tilt)
    return cx + x * c - y * s, cy + x * s + y * c


def arc_points(cx, cy, rx, ry, tilt, t0, t1, steps=120):
    return [ellipse_point(cx, cy, rx, ry, tilt, t0 + (t1 - t0) * i / steps)
            for i in range(steps + 1)]


def scaled(points):
    return [(x * SS, y * SS) for x, y in points]


def arrowhead(draw, tip, direction, length, half_width, fill):
    dx, dy = direction
    n = math.hypot(dx, dy) or 1.0
    dx, dy = dx / n, dy / n
    bx, by = tip[0] - dx * length, tip[1] - dy * length
    pts = [tip, (bx - dy * half_width, by + dx * half_width),
           (bx + dy * half_width, by - dx * half_width)]
    draw.polygon(scaled(pts), fill=fill)


def orbit_arrow(draw, cx, cy, rx, ry, tilt, t0, t1, width, fill, head=True):
    """A stretch of an orbit with an arrowhead at its leading end."""
    pts = arc_points(cx, cy, rx, ry, tilt, t0, t1)
    # Stop the stroke short of the tip so the head stays pointed.
    trim = max(2, len(pts) // 24) if head else 0
    draw.line(scaled(pts[:len(pts) - trim]), fill=fill, width=int(width * SS), joint="curve")
    if head:
        a, b = pts[-4], pts[-1]
        arrowhead(draw, b, (b[0] - a[0], b[1] - a[1]), width * 3.2, width * 2.0, fill)


def dotted_orbit(draw, cx, cy, rx, ry, tilt, count, radius, fill, phase=0.0):
    for i in range(count):
        x, y = ellipse_point(cx, cy, rx, ry, tilt, phase + 2 * math.pi * i / count)
        draw.ellipse([(x - radius) * SS, (y - radius) * SS, (x + radius) * SS, (y + radius) * SS],
                     fill=fill)


def dashed_orbit(draw, cx, cy, rx, ry, tilt, dashes, duty, width, fill, phase=0.0):
    step = 2 * math.pi / dashes
    for i in range(dashes):
        t0 = phase + i * step
        draw.line(scaled(arc_points(cx, cy, rx, ry, tilt, t0, t0 + step * duty, 12)),
                  fill=fill, width=int(width * SS))


def line_grid(draw, size, spacing, fill, major_every=4, major_fill=None):
    w, h = size
    for i, x in enumerate(range(spacing // 2, w, spacing)):
        f = major_fill if major_fill and i % major_every == 0 else fill
        draw.line([(x * SS, 0), (x * SS, h * SS)], fill=f, width=SS // 2 or 1)
    for i, y in enumerate(range(spacing // 2, h, spacing)):
        f = major_fill if major_fill and i % major_every == 0 else fill
        draw.line([(0, y * SS), (w * SS, y * SS)], fill=f, width=SS // 2 or 1)


def dot_grid(draw, size, spacing, radius, fill, keep=lambda x, y: True):
    w, h = size
    for y in range(spacing // 2, h, spacing):
        for x in range(spacing // 2, w, spacing):
            if keep(x, y):
                draw.ellipse([(x - radius) * SS, (y - radius) * SS,
                              (x + radius) * SS, (y + radius) * SS], fill=fill)


def vignette(img, strength):
    w, h = img.size
    cx, cy = w / 2, h / 2
    norm = math.hypot(cx, cy)

    def shade(x, y):
        d = math.hypot(x - cx, y - cy) / norm
        v = int(255 * (1 - strength * smooth((d - 0.45) / 0.55)))
        return (v, v, v)

    return ImageChops.multiply(img, field(img.size, shade))


# ---------------------------------------------------------------- chooser

def chooser_background():
    w, h = BG_SIZE
    ocx, ocy = 326, 88  # the orbit sits in the free upper right, clear of list, title and buttons

    def base(x, y):
        # Dark slate where the yellow title and the list are, warming to rust lower right.
        t = smooth((0.55 * x / w + 0.45 * y / h - 0.15) / 0.95)
        c = mix(SLATE_DEEP, SLATE, smooth(y / h * 1.4))
        c = mix(c, RUST_DEEP, t)
        c = mix(c, RUST, smooth((t - 0.55) / 0.45) * 0.8)
        glow = max(0.0, 1 - math.hypot((x - ocx) / 120, (y - ocy) / 95))
        return mix(c, EMBER, 0.28 * glow * glow)

    img = field(BG_SIZE, base)

    ov = layer(BG_SIZE)
    d = ImageDraw.Draw(ov)
    line_grid(d, BG_SIZE, 16, (150, 175, 200, 14), 4, (170, 195, 220, 26))

    tilt = math.radians(-16)
    rings = [(78, 34), (60, 26), (42, 18), (24, 10)]
    for i, (rx, ry) in enumerate(rings):
        dashed_orbit(d, ocx, ocy, rx, ry, tilt, 36 + 12 * (3 - i), 0.45, 0.9,
                     (240, 170, 110, 46))
    # Each ring carries one lit stretch with a head: the cycle moving on.
    lit = [(0.35, 2.25), (3.05, 4.75), (5.1, 6.7), (1.6, 3.2)]
    for (rx, ry), (t0, t1) in zip(rings, lit):
        orbit_arrow(d, ocx, ocy, rx, ry, tilt, t0, t1, 1.6, AMBER + (150,))
    # The maps of the cycle: beads on the orbits.
    for i, (rx, ry) in enumerate(rings):
        dotted_orbit(d, ocx, ocy, rx, ry, tilt, 3 + i % 2, 1.6, (255, 205, 150, 110), phase=0.9 + 1.3 * i)
    # Hub.
    for r, a in ((9, 40), (5, 90)):
        d.ellipse([(ocx - r) * SS, (ocy - r) * SS, (ocx + r) * SS, (ocy + r) * SS],
                  outline=(255, 190, 120, a), width=SS)
    d.ellipse([(ocx - 2) * SS, (ocy - 2) * SS, (ocx + 2) * SS, (ocy + 2) * SS],
              fill=(255, 214, 160, 170))

    # A hairline frame off to the right hints at an instrument panel without crowding the buttons.
    d.rectangle([244 * SS, 150 * SS, 404 * SS, 372 * SS], outline=(200, 150, 110, 34), width=SS // 2)
    for yy in (150, 372):
        for xx in (244, 404):
            d.rectangle([(xx - 2) * SS, (yy - 2) * SS, (xx + 2) * SS, (yy + 2) * SS],
                        fill=(230, 160, 100, 60))

    img = flatten(img, ov)
    return vignette(img, 0.35)


# ---------------------------------------------------------------- editor

def editor_background():
    w, h = BG_SIZE
    rcx, rcy = 208, 240  # centre of the About picture: the rings frame it

    def base(x, y):
        d = math.hypot((x - rcx) / 240, (y - rcy) / 210)
        c = mix(RUST, RUST_DEEP, smooth(d * 1.2))
        c = mix(c, SLATE, smooth((d - 0.35) / 0.7))
        # The headings and the address line need a calm, dark ground.
        c = mix(c, SLATE_DEEP, 0.75 * smooth((24 - y) / 24))
        c = mix(c, SLATE_DEEP, 0.7 * smooth((y - 336) / 18))
        return c

    img = field(BG_SIZE, base)

    ov = layer(BG_SIZE)
    d = ImageDraw.Draw(ov)
    dot_grid(d, BG_SIZE, 12, 0.7, (190, 210, 230, 40), keep=lambda x, y: y < 340)

    # Concentric rings about the picture; most lie under the lists and show in the gaps.
    for r, a in ((62, 40), (84, 32), (118, 26), (160, 22)):
        dashed_orbit(d, rcx, rcy, r, r, 0, int(r * 0.55), 0.5, 0.9, (240, 170, 110, a))
    # The inner ring is the cycle itself: three arcs chasing each other round the picture.
    for k in range(3):
        t0 = math.radians(-80 + 120 * k)
        orbit_arrow(d, rcx, rcy, 44, 44, 0, t0, t0 + math.radians(92), 2.0, AMBER + (170,))
    dotted_orbit(d, rcx, rcy, 84, 84, 0, 12, 1.8, (255, 205, 150, 110), phase=0.26)

    # Spokes from the middle column outwards, like routes between the two lists.
    for ang in (-150, -120, -60, -30, 30, 150):
        a = math.radians(ang)
        p0 = (rcx + 50 * math.cos(a), rcy + 50 * math.sin(a))
        p1 = (rcx + 175 * math.cos(a), rcy + 175 * math.sin(a))
        d.line(scaled([p0, p1]), fill=(230, 160, 110, 22), width=SS // 2)

    # Rule above the address line.
    d.line([(12 * SS, 346 * SS), (400 * SS, 346 * SS)], fill=(236, 132, 44, 90), width=SS // 2)
    for xx in (12, 400):
        d.ellipse([(xx - 1.5) * SS, (346 - 1.5) * SS, (xx + 1.5) * SS, (346 + 1.5) * SS],
                  fill=(236, 132, 44, 140))

    img = flatten(img, ov)
    return vignette(img, 0.3)


# ---------------------------------------------------------------- icon

def emblem(size, ring_fill, ring_edge, pin_fill, pin_edge, hole_fill, shading=True):
    """A circular arrow round a map pin, drawn at `size` pixels square (RGBA)."""
    s = size / 32.0
    img = Image.new("RGBA", (size, size), (0, 0, 0, 0))
    d = ImageDraw.Draw(img)
    cx, cy = 16 * s, 17.4 * s
    r_out, r_in = 13.6 * s, 9.0 * s
    start, end = -48, 244  # degrees, clockwise from 3 o'clock in screen coords; the gap is at the top right
    edge = max(1, round(0.9 * s))

    def ring(ro, ri, fill):
        m = Image.new("L", (size, size), 0)
        md = ImageDraw.Draw(m)
        md.pieslice([cx - ro, cy - ro, cx + ro, cy + ro], start, end, fill=255)
        md.ellipse([cx - ri, cy - ri, cx + ri, cy + ri], fill=0)
        img.paste(fill, (0, 0), m)

    def head(grow, fill):
        # The head caps the clockwise end of the arc and points on into the gap.
        a = math.radians(end)
        rm = (r_out + r_in) / 2
        bx, by = cx + rm * math.cos(a), cy + rm * math.sin(a)
        tx, ty = -math.sin(a), math.cos(a)
        nx, ny = math.cos(a), math.sin(a)
        half = (r_out - r_in) / 2 + 3.0 * s + grow
        length = 6.6 * s + grow * 1.6
        pts = [(bx + tx * length, by + ty * length),
               (bx + nx * half - tx * grow, by + ny * half - ty * grow),
               (bx - nx * half - tx * grow, by - ny * half - ty * grow)]
        d.polygon(pts, fill=fill)

    ring(r_out + edge, r_in - edge, ring_edge)
    head(edge * 1.2, ring_edge)
    ring(r_out, r_in, ring_fill)
    head(0, ring_fill)
    if shading:
        # A lighter band along the ring's upper inner edge gives it some roundness.
        hi = Image.new("L", (size, size), 0)
        hd = ImageDraw.Draw(hi)
        hd.pieslice([cx - r_out + 1.6 * s, cy - r_out + 1.6 * s, cx + r_out - 1.6 * s, cy + r_out - 1.6 * s],
                    150, 232, fill=255)
        hd.ellipse([cx - r_in - 1.4 * s, cy - r_in - 1.4 * s, cx + r_in + 1.4 * s, cy + r_in + 1.4 * s], fill=0)
        img.paste(mix(ring_fill, (255, 236, 180), 0.5) + (255,), (0, 0), hi)

    # Map pin: a round head narrowing to a point.
    px, py, pr, tip = 16 * s, 15.0 * s, 4.8 * s, 24.0 * s

    def pin(grow, fill):
        r = pr + grow
        d.ellipse([px - r, py - r, px + r, py + r], fill=fill)
        k = r * 0.82
        d.polygon([(px - k, py + r * 0.55), (px + k, py + r * 0.55), (px, tip + grow * 1.2)], fill=fill)

    pin(edge, pin_edge)
    pin(0, pin_fill)
    hr = 2.0 * s
    d.ellipse([px - hr, py - hr, px + hr, py + hr], fill=hole_fill)
    return img


ICON_RING = (232, 118, 34, 255)
ICON_RING_EDGE = (92, 34, 10, 255)
ICON_PIN = (70, 92, 118, 255)
ICON_PIN_EDGE = (20, 26, 34, 255)
ICON_HOLE = (255, 236, 120, 255)


def icon_rgba(size):
    big = emblem(size * 8, ICON_RING, ICON_RING_EDGE, ICON_PIN, ICON_PIN_EDGE, ICON_HOLE)
    return big.resize((size, size), Image.LANCZOS)


def icon_16_colours():
    """32 x 32, index 0 transparent (and black, so an ICO's XOR mask leaves the screen alone), 15 colours."""
    rgba = icon_rgba(32)
    px = list(rgba.getdata())
    opaque = [p[:3] for p in px if p[3] >= 128]
    strip = Image.new("RGB", (len(opaque), 1))
    strip.putdata(opaque)
    pal_img = strip.quantize(colors=15, method=Image.Quantize.MEDIANCUT, dither=Image.Dither.NONE)
    colours = pal_img.getpalette()[:15 * 3]
    colours += [0] * (15 * 3 - len(colours))

    entries = [tuple(colours[i * 3:i * 3 + 3]) for i in range(15)]

    def nearest(c):
        return min(range(15), key=lambda i: sum((c[k] - entries[i][k]) ** 2 for k in range(3)))

    mapped = [nearest(p[:3]) for p in px]

    indices = [m + 1 if p[3] >= 128 else 0 for p, m in zip(px, mapped)]
    palette = [(0, 0, 0)] + entries
    img = Image.new("P", rgba.size)
    img.putpalette([c for rgb3 in palette for c in rgb3])
    img.putdata(indices)
    return img, palette, indices


def ico_image_4bit(palette, indices, size=32):
    # Pillow writes ICO entries as PNG or 8-bit BMP only; the classic 16-colour icon is written by hand.
    # Index 0 is see-through: its AND-mask bit is set and its colour must be black.
    row_xor = size // 2
    row_and = ((size + 31) // 32) * 4
    xor = bytearray()
    mask = bytearray()
    for y in range(size - 1, -1, -1):
        row = indices[y * size:(y + 1) * size]
        for x in range(0, size, 2):
            xor.append((row[x] << 4) | row[x + 1])
        bits = bytearray(row_and)
        for x in range(size):
            if row[x] == 0:
                bits[x // 8] |= 0x80 >> (x % 8)
        mask += bits
    assert len(xor) == row_xor * size
    colours = b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in palette)
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 4, 0,
                         len(xor) + len(mask), 0, 0, 16, 0)
    return (size, 16, 4, header + colours + bytes(xor) + bytes(mask))


def ico_image_32bit(rgba):
    """A true-colour entry with alpha, for the sizes between the classic icon and the PNG one."""
    size = rgba.size[0]
    row_and = ((size + 31) // 32) * 4
    px = list(rgba.getdata())
    xor = bytearray()
    mask = bytearray()
    for y in range(size - 1, -1, -1):
        bits = bytearray(row_and)
        for x in range(size):
            r, g, b, a = px[y * size + x]
            xor += bytes((b, g, r, a))
            if a == 0:
                bits[x // 8] |= 0x80 >> (x % 8)
        mask += bits
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0,
                         len(xor) + len(mask), 0, 0, 0, 0)
    return (size, 0, 32, header + bytes(xor) + bytes(mask))


def ico_image_png(rgba):
    import io
    data = io.BytesIO()
    rgba.save(data, format="PNG", optimize=True)
    return (rgba.size[0], 0, 32, data.getvalue())


def write_ico(path, images):
    """images: (size, colour count, bits per pixel, bytes); the first is the one listed first."""
    directory = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    entries = b""
    for size, colours, bits, data in images:
        side = 0 if size >= 256 else size
        entries += struct.pack("<BBBBHHII", side, side, colours, 0, 1, bits, len(data), offset)
        offset += len(data)
    with open(path, "wb") as f:
        f.write(directory + entries + b"".join(image[3] for image in images))


def write_ico_4bit(path, palette, indices, size=32):
    write_ico(path, [ico_image_4bit(palette, indices, size)])


# ---------------------------------------------------------------- About picture

def about_bitmap():
    n = 64
    # Height map of the emblem, softened so the light catches slopes rather than steps.
    shape = emblem(n * 8, (255, 255, 255, 255), (0, 0, 0, 0), (255, 255, 255, 255),
                   (0, 0, 0, 0), (90, 90, 90, 255), shading=False)
    inset = 5
    height = Image.new("L", (n * 8, n * 8), 0)
    height.paste(shape.convert("L"), (0, 0), shape.getchannel("A"))
    height = height.resize((n - 2 * inset, n - 2 * inset), Image.LANCZOS)
    plate = Image.new("L", (n, n), 0)
    plate.paste(height, (inset, inset))
    plate = plate.filter(ImageFilter.GaussianBlur(0.6))
    hmap = list(plate.getdata())

    def hv(x, y):
        x = min(max(x, 0), n - 1)
        y = min(max(y, 0), n - 1)
        return hmap[y * n + x]

    c = (n - 1) / 2
    pixels = []
    for y in range(n):
        for x in range(n):
            # A softly domed tile so the flat parts are not dead grey.
            base = 150 - 26 * (math.hypot(x - c, y - c) / (c * 1.42)) ** 2
            slope = (hv(x - 1, y - 1) - hv(x + 1, y + 1)) / 255.0
            v = base + 120 * slope + 30 * hv(x, y) / 255.0
            # Bevel: light from the top left, as on a raised button.
            if x < 2 or y < 2:
                v = 232 if (x < 1 or y < 1) else 205
            if x > n - 3 or y > n - 3:
                v = 52 if (x > n - 2 or y > n - 2) else 96
            pixels.append(int(min(255, max(0, round(v)))))
    img = Image.new("L", (n, n))
    img.putdata(pixels)
    return img


# ---------------------------------------------------------------- Up / Down faces

def chevrons(pointing_up):
    """Two stacked solid arrowheads on a white-every-other-pixel ground; index 0 is see-through."""
    n = 32
    transparent, white, black = 0, 1, 2
    px = [[white if (x + y) % 2 == 0 else transparent for x in range(n)] for y in range(n)]
    # Each head is 8 rows of widths 2, 4 .. 16 about the middle; two rows apart; rows 7..24 in all.
    for top in (7, 17):
        for i in range(8):
            y = top + i if pointing_up else n - 1 - (top + i)
            half = i + 1
            for x in range(16 - half, 16 + half):
                px[y][x] = black
    img = Image.new("P", (n, n))
    # Index 0 is button-face grey, so a reader that ignores transparency still shows a sensible face.
    palette = [(212, 208, 200), (255, 255, 255), (0, 0, 0)] + [(192, 192, 192)] * 13
    img.putpalette([c for rgb in palette for c in rgb])
    img.putdata([v for row in px for v in row])
    return img


# ---------------------------------------------------------------- main

def main():
    chooser_background().save(out("chooser-background.jpg"), quality=85, optimize=True,
                              progressive=False, subsampling="4:2:0")
    editor_background().save(out("editor-background.jpg"), quality=85, optimize=True,
                             progressive=False, subsampling="4:2:0")

    icon, palette, indices = icon_16_colours()
    icon.save(out("rotaline.png"), transparency=0, bits=4, optimize=True)
    # The program file's icon: the 32 x 32 16-colour one first, then larger ones for Explorer.
    write_ico(out("rotaline.ico"), [ico_image_4bit(palette, indices),
                                    ico_image_32bit(icon_rgba(48)),
                                    ico_image_png(icon_rgba(256))])
    icon_rgba(256).save(out("rotaline-256.png"), optimize=True)

    about_bitmap().save(out("about.bmp"))

    chevrons(True).save(out("arrow-up.png"), transparency=0, bits=4, optimize=True)
    chevrons(False).save(out("arrow-down.png"), transparency=0, bits=4, optimize=True)
    # The same faces as icons for the Windows program's picture buttons.
    face_palette = [(0, 0, 0), (255, 255, 255), (0, 0, 0)] + [(0, 0, 0)] * 13
    write_ico_4bit(out("arrow-up.ico"), face_palette, list(chevrons(True).getdata()))
    write_ico_4bit(out("arrow-down.ico"), face_palette, list(chevrons(False).getdata()))


if __name__ == "__main__":
    main()
