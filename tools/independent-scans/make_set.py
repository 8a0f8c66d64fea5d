#!/usr/bin/python3
"""Marked answer sheets and their captures, made apart from the program's own
scan generator so that the sheet reader is not tuned against one drawing of
the world only.

The input is the PDF of blank sheets that `orvalis-banco hojas` printed (one
of a 40-question exam in two versions, one of a 100-question exam on two
pages), rasterized here with pdftoppm. Where the boxes are is found on those
rasters (hollow printed squares), not taken from the program's layout code.
Marks are drawn as hand strokes (polylines with jitter, a bow, pressure that
swells and fades, ballpoint skips, felt-tip width, pencil grain), then each
marked page is captured as a flatbed scanner, an office copier or a phone
held over a desk would give it. Every choice comes from one fixed seed.

    make_set.py SHEETS40.pdf SHEETS100.pdf OUTDIR

writes the images and truth.tsv into OUTDIR (Debian: python3-numpy,
python3-opencv, poppler-utils)."""

import math
import os
import subprocess
import sys
import tempfile

import cv2
import numpy as np

SEED = 61120

# Ink as the share of light each channel lets through (R, G, B).
BLACK = (0.13, 0.13, 0.17)
BLUE = (0.16, 0.26, 0.62)
LIGHT_BLUE = (0.38, 0.52, 0.86)
DARK_RED = (0.52, 0.10, 0.13)
FELT_BLACK = (0.07, 0.07, 0.08)
FELT_BLUE = (0.10, 0.17, 0.52)
GRAPHITE = (0.40, 0.40, 0.43)


class Pen:
    def __init__(self, name, colour, width, alpha, texture):
        self.name = name
        self.colour = np.array(colour, np.float32)
        self.width = width  # mm
        self.alpha = alpha
        self.texture = texture  # "ball", "felt" or "pencil"


PENS = {
    "black": Pen("black", BLACK, 0.42, 0.93, "ball"),
    "blue": Pen("blue", BLUE, 0.42, 0.92, "ball"),
    "light-blue": Pen("light-blue", LIGHT_BLUE, 0.40, 0.85, "ball"),
    "dark-red": Pen("dark-red", DARK_RED, 0.44, 0.92, "ball"),
    "felt-black": Pen("felt-black", FELT_BLACK, 1.15, 0.97, "felt"),
    "felt-blue": Pen("felt-blue", FELT_BLUE, 1.15, 0.96, "felt"),
    "pencil": Pen("pencil", GRAPHITE, 0.5, 0.6, "pencil"),
}

# ---------------------------------------------------------------------------
# Where the boxes are, found on the printed raster.


class Layout:
    """Boxes of one printed page in millimetres (x, y, w, h): answers[q] =
    (yes, no) for the questions on the page in their printed order, dni[c][d]
    the box of digit d in column c, writes[c] the write-in box of column c,
    marks the centres of the corner marks."""

    def __init__(self, grey, dpi, first):
        ppm = dpi / 25.4
        dark = (grey < 170).astype(np.uint8)
        n, _, stats, _ = cv2.connectedComponentsWithStats(dark, connectivity=8)
        squares, writes, marks = [], [], []
        for i in range(1, n):
            x, y, w, h, area = (int(v) for v in stats[i])
            wm, hm = w / ppm, h / ppm
            inner = dark[y + h // 4:y + 3 * h // 4, x + w // 4:x + 3 * w // 4]
            hollow = inner.size > 0 and inner.sum() == 0
            rect = (x / ppm, y / ppm, wm, hm)
            if 4.6 <= wm <= 5.8 and 4.6 <= hm <= 5.8 and hollow:
                squares.append(rect)
            elif 5.8 < wm <= 7.0 and 6.6 <= hm <= 7.8 and hollow:
                writes.append(rect)
            elif 9.0 <= wm <= 11.5 and abs(wm - hm) < 0.6 and area > 0.5 * w * h:
                # A corner mark: a dark core inside a light ring inside the square.
                cx, cy = x + w // 2, y + h // 2
                ring = int(2.2 * ppm)
                if dark[cy, cx] and not any(dark[cy + dy, cx + dx] for dx, dy in
                                            ((ring, 0), (-ring, 0), (0, ring), (0, -ring))):
                    marks.append((rect[0] + wm / 2, rect[1] + hm / 2))
        if len(marks) != 4:
            raise SystemExit("%d corner marks found, not 4" % len(marks))
        self.marks = sorted(marks)
        self.writes = sorted(writes)
        self.dni = []
        taken = set()
        for wx, wy, ww, wh in self.writes:
            column = [s for s in squares
                      if abs(s[0] + s[2] / 2 - (wx + ww / 2)) < 1.5 and s[1] > wy + wh]
            column.sort(key=lambda s: s[1])
            column = column[:10]
            if len(column) != 10:
                raise SystemExit("a DNI column without ten boxes")
            taken.update(column)
            self.dni.append(column)
        rest = [s for s in squares if s not in taken]
        # Columns of boxes by x; a question is a Sí box with the No box
        # beside it, numbered down each column, then the next column.
        rest.sort(key=lambda s: s[0])
        columns = []
        for s in rest:
            if columns and abs(s[0] - columns[-1][-1][0]) < 2.0:
                columns[-1].append(s)
            else:
                columns.append([s])
        if len(columns) % 2:
            raise SystemExit("an odd number of box columns")
        self.answers = []
        for yes_col, no_col in zip(columns[0::2], columns[1::2]):
            if not 8.0 < no_col[0][0] - yes_col[0][0] < 14.0 or len(yes_col) != len(no_col):
                raise SystemExit("a Sí column without its No column")
            for yes, no in zip(sorted(yes_col, key=lambda s: s[1]),
                               sorted(no_col, key=lambda s: s[1])):
                if abs(yes[1] - no[1]) > 0.5:
                    raise SystemExit("a Sí box without a No box beside it")
                self.answers.append((yes, no))
        self.first = first
        self.all_boxes = [b for pair in self.answers for b in pair] + list(taken) + self.writes


# ---------------------------------------------------------------------------
# Strokes.


def rot(v, angle):
    c, s = math.cos(angle), math.sin(angle)
    return np.array([c * v[0] - s * v[1], s * v[0] + c * v[1]])


def hand_line(rng, p0, p1, bow=0.07, wobble=0.05, density=10.0):
    """Points of a stroke drawn by hand from p0 to p1 (mm): a slight bow,
    a wobble of a few low frequencies, sometimes a hook where the pen lifts."""
    p0, p1 = np.asarray(p0, float), np.asarray(p1, float)
    d = p1 - p0
    length = max(float(np.hypot(*d)), 1e-3)
    n = max(8, int(length * density))
    t = np.linspace(0.0, 1.0, n)
    normal = np.array([-d[1], d[0]]) / length
    off = rng.normal(0.0, bow) * length * 4 * t * (1 - t)
    for _ in range(2):
        off += rng.normal(0.0, wobble) * np.sin(2 * math.pi * (rng.uniform(0.5, 2.5) * t
                                                              + rng.uniform(0, 1)))
    pts = p0 + t[:, None] * d + off[:, None] * normal
    if rng.random() < 0.35:
        # A hook at the end: the pen turns back as it leaves the paper.
        back = rot(d / length, rng.choice([-1, 1]) * rng.uniform(2.0, 2.6))
        size = rng.uniform(0.25, 0.6)
        hook = [pts[-1] + back * size * k / 3 for k in (1, 2, 3)]
        pts = np.vstack([pts, hook])
    return pts


def pressure(rng, n, start=0.12, end=0.18):
    t = np.linspace(0.0, 1.0, n)
    p = np.clip(t / start, 0, 1) ** 0.6 * np.clip((1 - t) / end, 0, 1) ** 0.5
    swell = 1 + 0.08 * np.sin(2 * math.pi * (rng.uniform(0.5, 1.5) * t + rng.uniform(0, 1)))
    return np.clip((0.4 + 0.6 * p) * swell, 0, 1)


class Sheet:
    """A page being marked: RGB floats, 1.0 the white of the paper."""

    def __init__(self, grey, dpi):
        self.dpi = dpi
        self.ppm = dpi / 25.4
        g = grey.astype(np.float32) / 255.0
        self.img = np.dstack([g, g, g])

    def alpha_of(self, rng, pts, pen, width=None, press=None):
        """The ink's opacity on a patch: (x0, y0, alpha)."""
        width = pen.width if width is None else width
        press = pressure(rng, len(pts)) if press is None else press
        ppm = self.ppm
        pad = width * 1.2 + 0.6
        x0 = max(0, int(math.floor((pts[:, 0].min() - pad) * ppm)))
        y0 = max(0, int(math.floor((pts[:, 1].min() - pad) * ppm)))
        x1 = min(self.img.shape[1], int(math.ceil((pts[:, 0].max() + pad) * ppm)))
        y1 = min(self.img.shape[0], int(math.ceil((pts[:, 1].max() + pad) * ppm)))
        if x1 <= x0 or y1 <= y0:
            return x0, y0, np.zeros((0, 0), np.float32)
        ss = 4
        big = np.zeros(((y1 - y0) * ss, (x1 - x0) * ss), np.float32)
        q = (pts * ppm - np.array([x0, y0])) * ss
        for i in range(len(pts) - 1):
            p = 0.5 * (press[i] + press[i + 1])
            w = width * (0.55 + 0.45 * p) if pen.texture != "felt" else width * (0.8 + 0.2 * p)
            th = max(1, int(round(w * ppm * ss)))
            a = (int(round(q[i][0])), int(round(q[i][1])))
            b = (int(round(q[i + 1][0])), int(round(q[i + 1][1])))
            cv2.line(big, a, b, float(p), th, cv2.LINE_8)
        alpha = cv2.resize(big, (x1 - x0, y1 - y0), interpolation=cv2.INTER_AREA)
        h, w = alpha.shape
        if pen.texture == "ball":
            # Ballpoint ink skips along the stroke: fine streaks of less ink.
            skips = cv2.GaussianBlur(rng.random((h, w)).astype(np.float32), (0, 0), 0.7)
            alpha *= np.clip(1.25 - 0.9 * skips, 0.55, 1.0)
        elif pen.texture == "pencil":
            grain = rng.random((h, w)).astype(np.float32)
            alpha *= 0.45 + 0.55 * grain
        else:
            alpha *= 0.93 + 0.07 * rng.random((h, w)).astype(np.float32)
        return x0, y0, np.clip(alpha * pen.alpha, 0, 1)

    def apply(self, x0, y0, alpha, colour):
        if alpha.size == 0:
            return
        h, w = alpha.shape
        region = self.img[y0:y0 + h, x0:x0 + w]
        region *= 1.0 - alpha[..., None] * (1.0 - np.asarray(colour, np.float32))

    def stroke(self, rng, pts, pen, width=None, press=None):
        x0, y0, a = self.alpha_of(rng, pts, pen, width, press)
        self.apply(x0, y0, a, pen.colour)

    def cover(self, polygon_mm, colour):
        """Something lying over the page (paper, a finger): replaces it."""
        pts = np.round(np.asarray(polygon_mm) * self.ppm * 4).astype(np.int32)
        mask = np.zeros(self.img.shape[:2], np.uint8)
        cv2.fillPoly(mask, [pts], 255, cv2.LINE_AA, shift=2)
        m = mask.astype(np.float32)[..., None] / 255.0
        self.img = self.img * (1 - m) + np.asarray(colour, np.float32) * m
        return mask


def copy_of(sheet):
    other = Sheet(np.full((1, 1), 255, np.uint8), sheet.dpi)
    other.img = sheet.img.copy()
    return other


def centre(box):
    return np.array([box[0] + box[2] / 2, box[1] + box[3] / 2])


# ---------------------------------------------------------------------------
# Marks, each on one printed box (x, y, w, h in mm).


def mark_cross(sheet, rng, box, pen, half=(1.4, 2.1)):
    c = centre(box) + rng.normal(0, 0.25, 2)
    turn = rng.normal(0, 0.18)
    a, b = rng.uniform(*half), rng.uniform(*half)
    j = lambda: rng.normal(0, 0.22, 2)
    s1 = hand_line(rng, c + rot((-a, -a), turn) + j(), c + rot((a, a), turn) + j())
    s2 = (c + rot((b, -b), turn) + j(), c + rot((-b, b), turn) + j())
    if rng.random() < 0.3:
        s2 = s2[::-1]
    sheet.stroke(rng, s1, pen)
    sheet.stroke(rng, hand_line(rng, *s2), pen)


def mark_small(sheet, rng, box, pen):
    # A cross about half the box, not always in its middle.
    c = centre(box) + rng.uniform(-0.5, 0.5, 2)
    turn = rng.normal(0, 0.2)
    a, b = rng.uniform(0.95, 1.3), rng.uniform(0.95, 1.3)
    sheet.stroke(rng, hand_line(rng, c + rot((-a, -a), turn), c + rot((a, a), turn),
                                wobble=0.03), pen)
    sheet.stroke(rng, hand_line(rng, c + rot((b, -b), turn), c + rot((-b, b), turn),
                                wobble=0.03), pen)


def mark_tick(sheet, rng, box, pen):
    c = centre(box) + rng.normal(0, 0.2, 2)
    turn = rng.normal(0, 0.15)
    p0 = c + rot((-1.8, -0.1), turn) + rng.normal(0, 0.2, 2)
    p1 = c + rot((-0.5, 1.7), turn) + rng.normal(0, 0.15, 2)
    p2 = c + rot((2.1, -2.3), turn) + rng.normal(0, 0.3, 2)
    pts = np.vstack([hand_line(rng, p0, p1, bow=0.05)[:-1], hand_line(rng, p1, p2, bow=0.08)])
    sheet.stroke(rng, pts, pen)


def mark_bold(sheet, rng, box, pen):
    """A felt-tip cross bigger than the box, running past its edges: far to
    the sides, less up and down (the next row is 2 mm away)."""
    c = centre(box) + rng.normal(0, 0.3, 2)
    width = pen.width * rng.uniform(0.9, 1.15)
    reach_x = lambda: 2.5 + rng.uniform(0.8, 2.6)
    reach_y = lambda: 2.5 + rng.uniform(0.3, max(0.35, 1.7 - width / 2))
    s1 = hand_line(rng, c + (-reach_x(), -reach_y()), c + (reach_x(), reach_y()), wobble=0.08)
    s2 = hand_line(rng, c + (reach_x(), -reach_y()), c + (-reach_x(), reach_y()), wobble=0.08)
    sheet.stroke(rng, s1, pen, width=width)
    sheet.stroke(rng, s2, pen, width=width)


def mark_outside(sheet, rng, box, pen):
    # Each stroke begins well outside the box and ends inside it.
    c = centre(box)
    out_x = lambda: 2.5 + rng.uniform(1.5, 3.5)
    out_y = lambda: 2.5 + rng.uniform(0.3, 1.3)
    s1 = hand_line(rng, c + (-out_x(), -out_y()), c + rng.uniform(1.3, 2.0, 2))
    s2 = hand_line(rng, c + (out_x(), -out_y()), c + (-rng.uniform(1.3, 2.0), rng.uniform(1.3, 2.0)))
    sheet.stroke(rng, s1, pen)
    sheet.stroke(rng, s2, pen)


def zigzag(rng, box, spacing, angle, overshoot, reach=1.0, jitter=0.25):
    """A back-and-forth path over a box: lines `spacing` apart at `angle`."""
    c = centre(box)
    u = np.array([math.cos(angle), math.sin(angle)])
    v = np.array([-u[1], u[0]])
    half = box[2] / 2 * math.sqrt(2) + overshoot
    pts = []
    k = -half
    side = 1
    while k <= -half + 2 * half * reach:
        # Clip the line to the box grown by the overshoot.
        ends = []
        for t in np.linspace(-half * 1.5, half * 1.5, 61):
            p = c + v * k + u * t
            if abs(p[0] - c[0]) <= box[2] / 2 + overshoot and abs(p[1] - c[1]) <= box[3] / 2 + overshoot:
                ends.append(p)
        if ends:
            a, b = ends[0], ends[-1]
            if side < 0:
                a, b = b, a
            pts.append(a + rng.normal(0, spacing * jitter, 2))
            pts.append(b + rng.normal(0, spacing * jitter, 2))
            side = -side
        k += spacing * rng.uniform(0.8, 1.2)
    return np.array(pts)


def dense(pts, per_mm=8.0):
    out = [pts[0]]
    for a, b in zip(pts[:-1], pts[1:]):
        n = max(2, int(np.hypot(*(b - a)) * per_mm))
        out.extend(a + (b - a) * t for t in np.linspace(0, 1, n)[1:])
    return np.array(out)


def mark_fill(sheet, rng, box, pen):
    """The box filled completely: two dense passes across each other."""
    for angle in (rng.uniform(0.3, 0.7), rng.uniform(-1.4, -0.9)):
        pts = dense(zigzag(rng, box, rng.uniform(0.22, 0.3), angle, 0.35))
        sheet.stroke(rng, pts, pen, width=pen.width * 1.15,
                     press=np.clip(0.85 + 0.15 * rng.random(len(pts)), 0, 1))


def mark_hurried(sheet, rng, box, pen):
    """A fill in a hurry: a loose scribble, uneven, running over the edges,
    with white left between its strokes."""
    pts = dense(zigzag(rng, box, rng.uniform(0.5, 0.8), rng.uniform(-1.2, 1.2),
                       rng.uniform(0.3, 0.9), reach=rng.uniform(0.8, 1.0), jitter=0.7))
    sheet.stroke(rng, pts, pen, press=np.clip(0.75 + 0.25 * rng.random(len(pts)), 0, 1))


def mark_erased(sheet, rng, box):
    """A pencil cross rubbed out: a ghost of the strokes and a grey haze of
    graphite spread around the box."""
    pencil = PENS["pencil"]
    c = centre(box) + rng.normal(0, 0.3, 2)
    a = rng.uniform(1.4, 2.1)
    ppm = sheet.ppm
    r = int(6.5 * ppm)
    cx, cy = int(c[0] * ppm), int(c[1] * ppm)
    x0, y0 = max(0, cx - r), max(0, cy - r)
    x1, y1 = min(sheet.img.shape[1], cx + r), min(sheet.img.shape[0], cy + r)
    layer = np.zeros((y1 - y0, x1 - x0), np.float32)
    for s in ((c + (-a, -a), c + (a, a)), (c + (a, -a), c + (-a, a))):
        sx, sy, al = sheet.alpha_of(rng, hand_line(rng, *s), pencil)
        part = layer[sy - y0:sy - y0 + al.shape[0], sx - x0:sx - x0 + al.shape[1]]
        part[:] = np.maximum(part, al[:part.shape[0], :part.shape[1]])
    layer = cv2.GaussianBlur(layer, (0, 0), 0.3 * ppm) * rng.uniform(0.18, 0.3)
    haze = np.zeros_like(layer)
    hc = (int((c[0] + rng.normal(0, 0.5)) * ppm) - x0, int((c[1] + rng.normal(0, 0.3)) * ppm) - y0)
    axes = (int(rng.uniform(3.0, 4.2) * ppm), int(rng.uniform(2.4, 3.0) * ppm))
    cv2.ellipse(haze, hc, axes, rng.uniform(-25, 25), 0, 360, 1.0, -1)
    haze = cv2.GaussianBlur(haze, (0, 0), 0.8 * ppm)
    haze *= rng.uniform(0.07, 0.12) * (0.7 + 0.3 * rng.random(haze.shape).astype(np.float32))
    sheet.apply(x0, y0, np.clip(layer + haze, 0, 1), pencil.colour)


def far_from_boxes(layout, point, radius, gap=1.6):
    for b in layout.all_boxes:
        if (b[0] - gap - radius < point[0] < b[0] + b[2] + gap + radius
                and b[1] - gap - radius < point[1] < b[1] + b[3] + gap + radius):
            return False
    for m in layout.marks:
        if abs(point[0] - m[0]) < 8 + radius and abs(point[1] - m[1]) < 8 + radius:
            return False
    return True


def stray_ink(sheet, rng, layout, pen, near, count):
    """Dots, dashes and doodles near a question's boxes but clear of every box."""
    kinds = []
    for _ in range(count):
        for _ in range(200):
            kind = rng.choice(["dot", "dash", "spiral", "star", "tick-number", "arrow"])
            radius = {"dot": 0.5, "dash": 1.5, "spiral": 2.5, "star": 2.2,
                      "tick-number": 1.2, "arrow": 3.5}[kind]
            yes, no = layout.answers[near]
            if kind == "tick-number":
                p = np.array([yes[0] - rng.uniform(3.2, 4.2), yes[1] + 2.5 + rng.normal(0, 0.4)])
            else:
                p = np.array([rng.uniform(yes[0] - 8, no[0] + 20), rng.uniform(yes[1] - 5, yes[1] + 10)])
            if far_from_boxes(layout, p, radius) and 20 < p[0] < 195 and 60 < p[1] < 280:
                break
        else:
            continue
        kinds.append(kind)
        if kind == "dot":
            d = rng.uniform(0.3, 0.7)
            sheet.stroke(rng, np.array([p, p + rng.normal(0, 0.05, 2)]), pen, width=d,
                         press=np.array([1.0, 1.0]))
        elif kind == "dash":
            a = rng.uniform(0, math.pi)
            sheet.stroke(rng, hand_line(rng, p - rot((1.4, 0), a), p + rot((1.4, 0), a)), pen)
        elif kind == "spiral":
            t = np.linspace(0, rng.uniform(3.5, 5.5) * math.pi, 80)
            r = 0.15 + 2.2 * t / t[-1]
            sheet.stroke(rng, p + np.c_[r * np.cos(t), r * np.sin(t)] + rng.normal(0, 0.04, (80, 2)), pen)
        elif kind == "star":
            t = np.arange(6) * 4 * math.pi / 5 + rng.uniform(0, 1)
            sheet.stroke(rng, dense(p + 2.0 * np.c_[np.cos(t), np.sin(t)]), pen)
        elif kind == "tick-number":
            sheet.stroke(rng, np.vstack([hand_line(rng, p + (-0.8, 0), p + (-0.2, 0.8)),
                                         hand_line(rng, p + (-0.2, 0.8), p + (1.0, -1.0))]), pen)
        else:
            a = rng.uniform(0, 2 * math.pi)
            tip = p + rot((3.0, 0), a)
            sheet.stroke(rng, hand_line(rng, p - rot((3.0, 0), a), tip), pen)
            sheet.stroke(rng, hand_line(rng, tip, tip + rot((-1.2, 0.8), a)), pen)
            sheet.stroke(rng, hand_line(rng, tip, tip + rot((-1.2, -0.8), a)), pen)
    return kinds


def write_text(sheet, rng, text, x, baseline, height, pen, max_width=None):
    """Handwriting: each letter of a single-stroke script face, turned,
    scaled and lifted a little on its own, slanted, in the pen's ink."""
    ppm = sheet.ppm
    font = cv2.FONT_HERSHEY_SCRIPT_SIMPLEX
    (_, cap), _ = cv2.getTextSize("H", font, 1.0, 1)
    scale_mm = height / cap  # mm per font unit
    cursor = x
    for ch in text:
        if ch == " ":
            cursor += height * rng.uniform(0.5, 0.8)
            continue
        s = scale_mm * rng.uniform(0.9, 1.1)
        (w, h), base = cv2.getTextSize(ch, font, 1.0, 1)
        ss = 4
        k = s * ppm * ss  # pixels per font unit on the big patch
        pad = int(height * ppm * ss)
        W, H = int(w * k) + 2 * pad, int((h + base) * k) + 2 * pad
        big = np.zeros((H, W), np.float32)
        th = max(1, int(round(pen.width * ppm * ss * rng.uniform(0.8, 1.0))))
        cv2.putText(big, ch, (pad, pad + int(h * k)), font, k, 1.0, th, cv2.LINE_AA)
        m = cv2.getRotationMatrix2D((W / 2, H / 2), rng.normal(0, 5), 1.0)
        m[0, 1] += -0.25  # a writer's slant
        m[0, 2] += 0.25 * H / 2
        big = cv2.warpAffine(big, m, (W, H))
        lift = rng.normal(0, 0.25)
        px0 = int((cursor) * ppm) - pad // ss
        py0 = int((baseline + lift) * ppm) - int(h * k / ss) - pad // ss
        alpha = cv2.resize(big, (W // ss, H // ss), interpolation=cv2.INTER_AREA)
        skips = cv2.GaussianBlur(rng.random(alpha.shape).astype(np.float32), (0, 0), 0.7)
        alpha = np.clip(alpha * np.clip(1.25 - 0.9 * skips, 0.55, 1.0) * pen.alpha, 0, 1)
        if px0 < 0 or py0 < 0:
            continue
        hh = min(alpha.shape[0], sheet.img.shape[0] - py0)
        ww = min(alpha.shape[1], sheet.img.shape[1] - px0)
        sheet.apply(px0, py0, alpha[:hh, :ww], pen.colour)
        cursor += w * s * rng.uniform(0.92, 1.05)
        if max_width and cursor > x + max_width:
            break


# ---------------------------------------------------------------------------
# What a student does with one question, and what a reader may make of it.

CLEAR = {"cross", "tick", "bold", "small", "outside", "correction", "fill-only", "blank",
         "stray"}


def plan_question(rng, kinds, weights):
    kind = rng.choice(kinds, p=np.asarray(weights) / np.sum(weights))
    if kind in ("blank", "fill-only", "hurried-only", "erased-only", "stray"):
        meant = "-"
    else:
        meant = rng.choice(["S", "N"])
    return str(kind), str(meant)


def accept_of(kind, meant):
    if kind in CLEAR:
        return meant
    # Ambiguous: a doubt is never wrong.
    return meant + "?"


def mark_question(sheet, rng, layout, q, kind, meant, pen, bold_pen):
    yes, no = layout.answers[q]
    box = yes if meant == "S" else no
    other = no if meant == "S" else yes
    either = yes if rng.random() < 0.5 else no
    if kind == "cross":
        mark_cross(sheet, rng, box, pen)
    elif kind == "tick":
        mark_tick(sheet, rng, box, pen)
    elif kind == "bold":
        mark_bold(sheet, rng, box, bold_pen)
    elif kind == "small":
        mark_small(sheet, rng, box, pen)
    elif kind == "outside":
        mark_outside(sheet, rng, box, pen)
    elif kind == "correction":
        mark_fill(sheet, rng, other, pen)
        mark_cross(sheet, rng, box, pen)
    elif kind == "hurried-correction":
        mark_hurried(sheet, rng, other, pen)
        mark_cross(sheet, rng, box, pen)
    elif kind == "erased-other":
        mark_erased(sheet, rng, other)
        mark_cross(sheet, rng, box, pen)
    elif kind == "fill-only":
        mark_fill(sheet, rng, either, pen)
    elif kind == "hurried-only":
        mark_hurried(sheet, rng, either, pen)
    elif kind == "erased-only":
        mark_erased(sheet, rng, either)
    elif kind in ("blank", "stray"):
        pass
    else:
        raise ValueError(kind)


class Marked:
    def __init__(self, sheet, layout, meant, accept, kinds, dni, dni_accept, pens, each):
        self.sheet, self.layout, self.each = sheet, layout, each
        self.meant, self.accept, self.kinds = meant, accept, kinds
        self.dni, self.dni_accept, self.pens = dni, dni_accept, pens


BLANK_KINDS = ("blank", "fill-only", "hurried-only", "erased-only", "stray")


def mark_sheet(grey, dpi, first, plan_rng, ink_rng, pen, bold_pen, kinds, weights, dni=True,
               name=None, dni_correction=False, strays=3, must_have=()):
    """Marks one printed page. What the student does is drawn from plan_rng
    first, the same at every resolution; the strokes' own randomness from
    ink_rng."""
    sheet = Sheet(grey, dpi)
    layout = Layout(grey, dpi, first)
    n = len(layout.answers)
    rng = plan_rng
    plan = [plan_question(rng, kinds, weights) for _ in range(n)]
    # Every kind the sheet is meant to show appears at least once.
    for place, kind in zip(rng.permutation(n), must_have):
        plan[place] = (kind, "-" if kind in BLANK_KINDS else str(rng.choice(["S", "N"])))
    extra = [int(q) for q in rng.choice(n, size=strays, replace=False)] if strays else []
    digits = "".join(str(d) for d in rng.integers(0, 10, 8)) if dni and layout.writes else "-"
    corrected = int(rng.integers(0, 8)) if dni_correction else -1
    wrong_digit = int(rng.integers(1, 10))

    rng = ink_rng
    used = set()
    for q, (kind, meant) in enumerate(plan):
        mark_question(sheet, rng, layout, q, kind, meant, pen, bold_pen)
        used.add(kind)
    stray_kinds = []
    for q in [q for q, (k, _) in enumerate(plan) if k == "stray"] + extra:
        stray_kinds += stray_ink(sheet, rng, layout, pen, q, 1)
    used.discard("stray")
    if stray_kinds:
        used.add("stray-ink")
    dni_accept = "-"
    if digits != "-":
        for c, d in enumerate(digits):
            wx, wy, ww, wh = layout.writes[c]
            write_text(sheet, rng, d, wx + 1.2 + rng.normal(0, 0.3), wy + wh - 1.3, 4.2, pen)
            box = layout.dni[c][int(d)]
            style = rng.choice(["cross", "cross", "small", "tick"])
            {"cross": mark_cross, "small": mark_small, "tick": mark_tick}[style](sheet, rng, box, pen)
            if c == corrected:
                # A digit first crossed by mistake, then filled to cancel it.
                mark_fill(sheet, rng, layout.dni[c][(int(d) + wrong_digit) % 10], pen)
                used.add("dni-correction")
        dni_accept = " ".join(digits)
        used.update(["dni-crossed", "dni-written"])
    if name and first == 1:
        write_text(sheet, rng, name, 63 + rng.uniform(0, 6), 46.6 + rng.normal(0, 0.3), 4.0, pen,
                   max_width=68)
        used.add("name")
    pens = {pen.name}
    if "bold" in used:
        pens.add(bold_pen.name)
    if used & {"erased-only", "erased-other"}:
        pens.add("pencil")
    meant = "".join(m for _, m in plan)
    accept = " ".join(accept_of(k, m) for k, m in plan)
    each = " ".join(k for k, _ in plan)
    return Marked(sheet, layout, meant, accept, sorted(used), digits, dni_accept, sorted(pens),
                  each)


# ---------------------------------------------------------------------------
# Captures. Each takes the marked page (RGB floats) and gives an 8-bit image.


def grey_of(img):
    return img[..., 0] * 0.299 + img[..., 1] * 0.587 + img[..., 2] * 0.114


def page_mask(shape, m, size, perspective=False):
    ones = np.ones(shape[:2], np.float32)
    if perspective:
        return cv2.warpPerspective(ones, m, size, flags=cv2.INTER_LINEAR)
    return cv2.warpAffine(ones, m, size, flags=cv2.INTER_LINEAR)


def flatbed(rng, img, dpi, angle=0.25, colour=False):
    """A flatbed scanner: the page laid by hand on the glass, white lid
    behind it, the paper's edge a faint grey line, levels set so that the
    paper reads white."""
    h, w = img.shape[:2]
    ppm = dpi / 25.4
    m = cv2.getRotationMatrix2D((w / 2, h / 2), rng.uniform(-angle, angle), 1.0)
    m[:, 2] += rng.uniform(-1.5, 1.5, 2) * ppm
    out = cv2.warpAffine(img, m, (w, h), flags=cv2.INTER_LINEAR, borderValue=(0.985,) * 3)
    mask = page_mask(img.shape, m, (w, h))
    edge = cv2.GaussianBlur(mask - cv2.erode(mask, np.ones((3, 3), np.uint8)), (0, 0), 0.8)
    out *= 1 - 0.35 * edge[..., None]
    out = cv2.GaussianBlur(out, (0, 0), 0.45)
    out += rng.normal(0, 0.006, out.shape).astype(np.float32)
    out = np.clip(out / 0.96, 0, 1)  # levels: the paper white, its noise gone
    return out if colour else grey_of(out)


def copier(rng, img, dpi, angle, turn=0, noise=0.012):
    """An office copier's scan to file: the page fed a little crooked (or
    turned), shifted, a hair scaled, toner that does not reach black, grey
    paper, blur, noise, dust and a faint streak from the glass."""
    h, w = img.shape[:2]
    ppm = dpi / 25.4
    if turn in (90, 270):
        size = (h, w)
    else:
        size = (w, h)
    m = cv2.getRotationMatrix2D((w / 2, h / 2), turn + angle, rng.uniform(0.985, 1.015))
    m[:, 2] += np.array([size[0] / 2 - w / 2, size[1] / 2 - h / 2]) + rng.uniform(-3, 3, 2) * ppm
    g = grey_of(img)
    out = cv2.warpAffine(g, m, size, flags=cv2.INTER_LINEAR, borderValue=0.97)
    out = 0.08 + 0.84 * out ** 1.15  # toner grey and paper grey
    out = cv2.GaussianBlur(out, (0, 0), 0.55 * dpi / 150)
    out += rng.normal(0, noise, out.shape).astype(np.float32)
    for _ in range(int(rng.integers(30, 90))):
        p = (int(rng.integers(0, size[0])), int(rng.integers(0, size[1])))
        cv2.circle(out, p, int(rng.integers(0, 2)), float(rng.uniform(0.2, 0.6)), -1)
    x = int(rng.integers(size[0] // 5, size[0] * 4 // 5))
    out[:, x:x + 2] *= 0.93
    return out


def desk(rng, w, h):
    """A wooden or dark laminate desk."""
    kind = rng.choice(["walnut", "oak", "laminate"])
    base = {"walnut": (0.30, 0.19, 0.11), "oak": (0.46, 0.33, 0.20),
            "laminate": (0.23, 0.23, 0.25)}[kind]
    low = cv2.resize(rng.random((6, 6)).astype(np.float32), (w, h), interpolation=cv2.INTER_CUBIC)
    streaks = cv2.resize(rng.random((h // 2, 14)).astype(np.float32), (w, h),
                         interpolation=cv2.INTER_CUBIC)
    grain = 0.8 + 0.12 * low + (0.18 if kind != "laminate" else 0.05) * streaks
    grain += rng.normal(0, 0.02, (h, w)).astype(np.float32)
    if rng.random() < 0.5:
        grain = cv2.resize(grain.T.copy(), (w, h))
    return np.dstack([grain * c for c in base]).astype(np.float32)


def camera_corners(rng, size, fill, pitch, yaw, roll, focal=0.62):
    """Where a page's corners land in a phone's frame: a pinhole camera over
    the page, tilted by pitch and yaw, turned by roll, at the distance where
    the page covers `fill` of the frame's area."""
    w, h = size
    f = focal * math.hypot(w, h)
    rx, ry, rz = (math.radians(a) for a in (pitch, yaw, roll))
    Rx = np.array([[1, 0, 0], [0, math.cos(rx), -math.sin(rx)], [0, math.sin(rx), math.cos(rx)]])
    Ry = np.array([[math.cos(ry), 0, math.sin(ry)], [0, 1, 0], [-math.sin(ry), 0, math.cos(ry)]])
    Rz = np.array([[math.cos(rz), -math.sin(rz), 0], [math.sin(rz), math.cos(rz), 0], [0, 0, 1]])
    R = Rz @ Rx @ Ry
    page = np.array([[-105, -148.5, 0], [105, -148.5, 0], [105, 148.5, 0], [-105, 148.5, 0]], float)

    def project(dist):
        cam = page @ R.T + np.array([0, 0, dist])
        return f * cam[:, :2] / cam[:, 2:3]

    def area(uv):
        x, y = uv[:, 0], uv[:, 1]
        return 0.5 * abs(np.dot(x, np.roll(y, 1)) - np.dot(y, np.roll(x, 1)))

    dist = f * 297.0 / h
    for _ in range(8):
        dist *= math.sqrt(area(project(dist)) / (fill * w * h))
    for _ in range(60):
        uv = project(dist)
        span = uv.max(0) - uv.min(0)
        room = np.array([w, h]) * 0.98 - span
        if (room > 0).all():
            shift = rng.uniform(-room / 2, room / 2) - (uv.max(0) + uv.min(0)) / 2
            return (uv + shift + np.array([w / 2, h / 2])).astype(np.float32)
        dist *= 1.02
    raise SystemExit("the page does not fit the frame")


def phone(rng, img, size, fill, pitch, yaw, roll, quality, shadow=0.4, light=0.4, thumb=None,
          layout=None, dpi=300):
    """A phone photo of the page lying on a desk: perspective, light falling
    off to one side, a soft shadow over part of it, a warm or cool cast,
    vignetting, blur, sensor noise, JPEG. `thumb` = index of a corner mark
    (0 top left, 1 top right, 2 bottom right, 3 bottom left) that a thumb
    holding the page covers; no box of `layout` may be under it."""
    w, h = size
    dst = camera_corners(rng, size, fill, pitch, yaw, roll)
    ph, pw = img.shape[:2]
    scale = min(1.0, np.ptp(dst[:, 1]) / ph * 1.3)
    small = cv2.resize(img, (int(pw * scale), int(ph * scale)), interpolation=cv2.INTER_AREA)
    sh, sw = small.shape[:2]
    ppm = dpi / 25.4 * sw / pw  # pixels of `small` per millimetre of the page
    src = np.array([[0, 0], [sw, 0], [sw, sh], [0, sh]], np.float32)
    H = cv2.getPerspectiveTransform(src, dst)
    page = cv2.warpPerspective(small, H, size, flags=cv2.INTER_LINEAR)
    mask = page_mask(small.shape, H, size, perspective=True)[..., None]
    table = desk(rng, w, h)
    contact = cv2.GaussianBlur(mask[..., 0], (0, 0), 0.006 * w)
    contact = np.roll(contact, (int(0.003 * h), int(0.003 * w)), (0, 1))
    table *= (1 - 0.45 * contact)[..., None]
    frame = table * (1 - mask) + page * mask
    yy, xx = np.mgrid[0:h, 0:w].astype(np.float32)
    a = rng.uniform(0, 2 * math.pi)
    ramp = ((xx - w / 2) * math.cos(a) + (yy - h / 2) * math.sin(a)) / (0.5 * math.hypot(w, h))
    lightfield = 1.0 - light * (ramp + 1) / 2
    # A soft shadow (a hand, the phone) across part of the page.
    shade = np.zeros((h, w), np.float32)
    b = a + rng.uniform(-0.8, 0.8)
    cx, cy = w / 2 + math.cos(b) * w * 0.55, h / 2 + math.sin(b) * h * 0.55
    cv2.ellipse(shade, (int(cx), int(cy)), (int(w * rng.uniform(0.35, 0.5)), int(h * rng.uniform(0.18, 0.3))),
                math.degrees(b) + 90, 0, 360, 1.0, -1)
    shade = cv2.GaussianBlur(shade, (0, 0), 0.035 * math.hypot(w, h))
    lightfield *= 1 - shadow * shade
    r2 = ((xx - w / 2) ** 2 + (yy - h / 2) ** 2) / (0.25 * (w * w + h * h))
    lightfield *= 1 - 0.22 * r2
    if thumb is not None:
        thumb_over(frame, H, ppm, layout, thumb)
    cast = np.array(rng.choice([(1.04, 0.98, 0.86), (0.95, 0.99, 1.06), (1.0, 0.97, 0.93)]),
                    np.float32)
    frame = frame * lightfield[..., None] * cast * rng.uniform(1.02, 1.12)
    frame = cv2.GaussianBlur(frame, (0, 0), rng.uniform(0.6, 1.0))
    sharp = cv2.GaussianBlur(frame, (0, 0), 2.0)
    frame = frame + 0.5 * (frame - sharp)
    frame += rng.normal(0, 0.014, (h, w, 1)).astype(np.float32)
    chroma = cv2.resize(rng.normal(0, 0.012, (h // 2, w // 2, 3)).astype(np.float32), (w, h))
    frame += chroma
    return np.clip(frame, 0, 1), quality


def thumb_over(frame, H, ppm_src, layout, corner):
    """A thumb pressing the page down over one corner mark, drawn in the
    frame (it reaches off the page): a skin-coloured rounded shape with
    shading and a nail, covering the whole mark and no box."""
    # The marks found on the raster, in the order top left, top right,
    # bottom right, bottom left.
    by_y = sorted(layout.marks, key=lambda m: m[1])
    top, bottom = sorted(by_y[:2]), sorted(by_y[2:])
    mark_mm = np.array([top[0], top[1], bottom[1], bottom[0]][corner])
    inward = np.array([[1, 1], [-1, 1], [-1, -1], [1, -1]][corner], float)
    # The thumb comes from outside the page, over the corner, along the diagonal.
    tip = np.array(mark_mm) + inward * 5.0
    root = np.array(mark_mm) - inward * 34.0
    def to_frame(p):
        v = H @ np.array([p[0] * ppm_src, p[1] * ppm_src, 1.0])
        return v[:2] / v[2]
    a, b = to_frame(tip), to_frame(root)
    mm_px = np.hypot(*(to_frame(np.array(mark_mm) + (10, 0)) - to_frame(mark_mm))) / 10
    h, w = frame.shape[:2]
    shape = np.zeros((h, w), np.float32)
    length = np.hypot(*(a - b))
    angle = math.degrees(math.atan2(*(a - b)[::-1]))
    mid = (a + b) / 2
    cv2.ellipse(shape, (int(mid[0]), int(mid[1])), (int(length / 2 + 4 * mm_px), int(11 * mm_px)),
                angle, 0, 360, 1.0, -1, cv2.LINE_AA)
    shape = cv2.GaussianBlur(shape, (0, 0), 0.6 * mm_px)
    shape = np.clip(shape * 1.6, 0, 1)
    for dx in (-5, 0, 5):
        for dy in (-5, 0, 5):
            p = to_frame(mark_mm + (dx, dy))
            if shape[int(p[1]), int(p[0])] < 0.99:
                raise SystemExit("the thumb leaves part of the corner mark visible")
    for box in layout.all_boxes:
        for p in (box[:2], (box[0] + box[2], box[1] + box[3])):
            q = to_frame(np.array(p))
            if shape[int(q[1]), int(q[0])] > 0.01:
                raise SystemExit("the thumb covers a box")
    skin = np.array([0.78, 0.56, 0.45], np.float32)
    yy, xx = np.mgrid[0:h, 0:w].astype(np.float32)
    across = ((xx - mid[0]) * -math.sin(math.radians(angle))
              + (yy - mid[1]) * math.cos(math.radians(angle))) / (11 * mm_px)
    tone = (0.75 + 0.25 * np.clip(1 - across ** 2, 0, 1))[..., None]
    nail = np.zeros((h, w), np.float32)
    ntip = a + (b - a) * (3.5 * mm_px / length)
    cv2.ellipse(nail, (int(ntip[0]), int(ntip[1])), (int(5 * mm_px), int(4.5 * mm_px)), angle, 0, 360, 1.0, -1)
    nail = cv2.GaussianBlur(nail, (0, 0), 0.5 * mm_px)[..., None]
    colour = skin * tone * (1 - 0.3 * nail) + np.array([0.92, 0.80, 0.76], np.float32) * 0.3 * nail
    # A shadow of the thumb on the paper beside it.
    drop = np.roll(cv2.GaussianBlur(shape, (0, 0), 2 * mm_px), (int(2 * mm_px), int(2 * mm_px)), (0, 1))
    frame *= (1 - 0.35 * drop * (1 - shape))[..., None]
    frame[:] = frame * (1 - shape[..., None]) + colour * shape[..., None]


def not_a_sheet(rng, dpi):
    """A worksheet of another kind: printed text, a table, four solid squares
    in the corners, and handwriting; but no answer sheet's marks or code."""
    ppm = dpi / 25.4
    w, h = int(210 * ppm), int(297 * ppm)
    g = np.ones((h, w), np.float32)
    font = cv2.FONT_HERSHEY_SIMPLEX
    def text(s, x, y, size_mm, thick=0.25):
        k = size_mm * ppm / cv2.getTextSize("H", font, 1.0, 1)[0][1]
        cv2.putText(g, s, (int(x * ppm), int(y * ppm)), font, k, 0.0,
                    max(1, int(thick * ppm)), cv2.LINE_AA)
    for x, y in ((8, 8), (192, 8), (192, 279), (8, 279)):
        cv2.rectangle(g, (int(x * ppm), int(y * ppm)), (int((x + 10) * ppm), int((y + 10) * ppm)), 0.0, -1)
    text("Ejercicios de repaso - tema 4", 25, 32, 5, 0.5)
    lines = ["1. Explique con sus palabras que es el coste de oportunidad.",
             "2. Dibuje la curva de oferta de un bien normal y senale sus ejes.",
             "3. Calcule la elasticidad precio si el precio sube un 10 % y la",
             "   cantidad demandada baja un 5 %.",
             "4. Complete la tabla con los ingresos totales de cada precio."]
    for i, s in enumerate(lines):
        text(s, 22, 50 + 9 * i, 3.0)
    for r in range(6):
        for c in range(4):
            x, y = 30 + c * 38, 110 + r * 11
            cv2.rectangle(g, (int(x * ppm), int(y * ppm)), (int((x + 38) * ppm), int((y + 11) * ppm)), 0.0,
                          max(1, int(0.25 * ppm)))
    for c, s in enumerate(["Precio", "Cantidad", "Ingreso", "Variacion"]):
        text(s, 32 + c * 38, 117.5, 3.0)
    for i in range(12):
        y = 190 + 7 * i
        cv2.line(g, (int(22 * ppm), int(y * ppm)), (int(188 * ppm), int(y * ppm)), 0.55, max(1, int(0.15 * ppm)))
    sheet = Sheet((g * 255).astype(np.uint8), dpi)
    pen = PENS["blue"]
    for i, s in enumerate(["El coste de oportunidad es lo que", "se deja de ganar al elegir otra",
                           "cosa con los mismos recursos."]):
        write_text(sheet, rng, s, 24, 189 + 7 * i, 4.0, pen, max_width=160)
    return sheet.img


# ---------------------------------------------------------------------------


def save(path, img, quality=None):
    u8 = np.clip(img * 255 + 0.5, 0, 255).astype(np.uint8)
    if u8.ndim == 3:
        u8 = u8[..., ::-1]  # OpenCV writes BGR
    if path.endswith(".png"):
        cv2.imwrite(path, u8, [cv2.IMWRITE_PNG_COMPRESSION, 9])
    else:
        cv2.imwrite(path, u8, [cv2.IMWRITE_JPEG_QUALITY, int(quality), cv2.IMWRITE_JPEG_OPTIMIZE, 1])


def rasterize(pdf, dpi, folder, stem):
    subprocess.run(["pdftoppm", "-gray", "-png", "-r", str(dpi), pdf, os.path.join(folder, stem)],
                   check=True)


def load_page(folder, stem, page):
    names = sorted(n for n in os.listdir(folder) if n.startswith(stem + "-"))
    return cv2.imread(os.path.join(folder, names[page]), cv2.IMREAD_GRAYSCALE)


NAMES = ["Irene Castell Mora", "Tomas Herrero Gil", "Nuria Prats Lomba", "Ander Soler Ruano",
         "Elena Vidal Sastre", "Marcos Ibarra Lin", "Lucia Ferrer Oca", "Pablo Cano Ribas",
         "Sara Molina Teba"]

ALL = ["cross", "tick", "bold", "small", "outside", "correction", "hurried-correction",
       "erased-other", "fill-only", "hurried-only", "erased-only", "blank", "stray"]


def main():
    if len(sys.argv) != 4:
        sys.exit(__doc__)
    pdf40, pdf100, outdir = sys.argv[1:]
    os.makedirs(outdir, exist_ok=True)
    tmp = tempfile.mkdtemp(prefix="orvalis-independent-")
    for dpi in (150, 200, 300):
        rasterize(pdf40, dpi, tmp, "e40-%d" % dpi)
        rasterize(pdf100, dpi, tmp, "e100-%d" % dpi)

    # The marked sheets: (name, exam, sheet page, dpi, pen, bold pen, kinds and weights, options).
    # Pages of the 40-question PDF: A-001..A-004, then B-001..B-004.
    designs = {
        "s1": dict(stem="e40", page=0, pen="black", bold="felt-black",
                   w={"cross": 5, "tick": 3, "small": 3, "outside": 2, "blank": 1},
                   must=["cross", "tick", "small", "outside", "blank"]),
        "s2": dict(stem="e40", page=1, pen="blue", bold="felt-blue",
                   w={"bold": 5, "cross": 2, "outside": 3, "stray": 2, "blank": 1},
                   must=["bold", "outside", "stray"], strays=6),
        "s3": dict(stem="e40", page=2, pen="dark-red", bold="felt-black",
                   w={"correction": 4, "fill-only": 2, "hurried-correction": 2, "hurried-only": 2,
                      "cross": 3, "tick": 1, "blank": 1},
                   must=["correction", "fill-only", "hurried-correction", "hurried-only"],
                   dni_correction=True),
        "s4": dict(stem="e40", page=3, pen="black", bold="felt-black",
                   w={"erased-only": 3, "erased-other": 4, "cross": 4, "tick": 2, "stray": 1,
                      "blank": 1},
                   must=["erased-only", "erased-other", "stray"], strays=4),
        "s5": dict(stem="e40", page=4, pen="light-blue", bold="felt-blue",
                   w={k: 1 for k in ALL}, must=ALL),
        "s6": dict(stem="e40", page=5, pen="black", bold="felt-black",
                   w={"bold": 3, "small": 3, "correction": 2, "erased-other": 2, "cross": 2,
                      "erased-only": 1, "blank": 1},
                   must=["bold", "small", "correction", "erased-other", "erased-only"]),
        "s7": dict(stem="e40", page=6, pen="dark-red", bold="felt-black",
                   w={k: 1 for k in ALL}, must=ALL),
        "s8": dict(stem="e40", page=7, pen="blue", bold="felt-blue",
                   w={"cross": 4, "tick": 2, "bold": 2, "small": 2, "correction": 2,
                      "hurried-only": 1, "erased-only": 1, "blank": 1},
                   must=["cross", "tick", "bold", "small", "correction"]),
        "f1": dict(stem="e100", page=0, pen="black", bold="felt-black",
                   w={"cross": 5, "tick": 2, "bold": 2, "small": 2, "outside": 1, "correction": 2,
                      "erased-other": 1, "hurried-only": 1, "blank": 2},
                   must=["cross", "bold", "small", "correction", "erased-other"]),
        "f2": dict(stem="e100", page=1, pen="black", bold="felt-black",
                   w={"cross": 5, "tick": 2, "bold": 2, "small": 2, "correction": 1,
                      "erased-only": 1, "blank": 2},
                   must=["cross", "bold", "small", "erased-only"], first=77),
    }

    # The images: (file, design, capture, dpi drawn at, capture arguments).
    images = [
        ("01-flatbed-200.png", "s1", "flatbed", 200, {}),
        ("02-copier-150.jpg", "s1", "copier", 150, dict(angle=1.3, quality=80)),
        ("03-turned-180.jpg", "s1", "copier", 200, dict(angle=-1.6, turn=180, quality=75)),
        ("04-flatbed-300-colour.jpg", "s2", "flatbed", 300, dict(colour=True, quality=82)),
        ("05-phone-desk.jpg", "s2", "phone", 300,
         dict(size=(1500, 2000), fill=0.55, pitch=14, yaw=-6, roll=5, quality=70)),
        ("06-flatbed-200-colour.jpg", "s3", "flatbed", 200, dict(colour=True, quality=85)),
        ("07-phone-shadow.jpg", "s3", "phone", 300,
         dict(size=(1500, 2000), fill=0.85, pitch=9, yaw=7, roll=-3, quality=55, shadow=0.5)),
        ("08-copier-200.jpg", "s4", "copier", 200, dict(angle=-0.8, quality=80)),
        ("09-turned-90.jpg", "s4", "copier", 150, dict(angle=2.5, turn=90, quality=80)),
        ("10-phone-far.jpg", "s5", "phone", 300,
         dict(size=(2000, 1500), fill=0.5, pitch=18, yaw=4, roll=-88, quality=65)),
        ("11-flatbed-150-colour.jpg", "s5", "flatbed", 150, dict(colour=True, quality=88)),
        ("12-copier-300.jpg", "s6", "copier", 300, dict(angle=1.8, quality=70)),
        ("13-turned-270.jpg", "s6", "copier", 200, dict(angle=-3.0, turn=270, quality=78)),
        ("14-phone-upside-down.jpg", "s7", "phone", 300,
         dict(size=(1500, 2000), fill=0.7, pitch=12, yaw=-9, roll=172, quality=80)),
        ("15-flatbed-200-grey.jpg", "s7", "flatbed", 200, dict(quality=85)),
        ("16-corner-covered-paper.jpg", "s8", "covered", 200, dict(angle=0.9, quality=80)),
        ("17-phone-thumb.jpg", "s8", "phone", 300,
         dict(size=(1500, 2000), fill=0.72, pitch=10, yaw=5, roll=2, quality=70, thumb=3)),
        ("18-long-page1-copier.jpg", "f1", "copier", 200, dict(angle=0.7, quality=80)),
        ("19-long-page2-copier.jpg", "f2", "copier", 200, dict(angle=-1.1, quality=80)),
        ("20-long-page2-phone.jpg", "f2", "phone", 300,
         dict(size=(1500, 2000), fill=0.65, pitch=15, yaw=-5, roll=-6, quality=60)),
        ("21-not-a-sheet.jpg", None, "copier", 200, dict(angle=0.6, quality=80)),
    ]

    marked = {}
    rows = []
    for index, (name, design, capture, dpi, args) in enumerate(images):
        rng = np.random.default_rng(SEED + index)
        args = dict(args)
        quality = args.pop("quality", None)
        if design is None:
            page = not_a_sheet(rng, dpi)
            out = copier(rng, page, dpi, args["angle"])
            save(os.path.join(outdir, name), out, quality)
            rows.append([name, "copier", str(dpi), "0", "-", "-", "refuse", "-", "-", "-", "-",
                         "blue", "not-a-sheet", "-"])
            continue
        d = designs[design]
        key = (design, dpi)
        if key not in marked:
            # A design is marked the same way at every resolution it is drawn at.
            number = list(designs).index(design)
            grey = load_page(tmp, "%s-%d" % (d["stem"], dpi), d["page"])
            first = d.get("first", 1)
            marked[key] = mark_sheet(
                grey, dpi, first, np.random.default_rng(SEED * 7 + number),
                np.random.default_rng(SEED * 11 + number * 1000 + dpi), PENS[d["pen"]], PENS[d["bold"]], list(d["w"]),
                list(d["w"].values()), dni=first == 1,
                name=NAMES[list(designs).index(design) % len(NAMES)],
                dni_correction=d.get("dni_correction", False), strays=d.get("strays", 2),
                must_have=d["must"])
        m = marked[key]
        img = m.sheet.img
        extra = []
        if capture == "flatbed":
            out = flatbed(rng, img, dpi, colour=args.get("colour", False))
        elif capture == "copier":
            out = copier(rng, img, dpi, args["angle"], args.get("turn", 0))
            if args.get("turn"):
                extra.append("turned-%d" % args["turn"])
        elif capture == "covered":
            # A scrap of squared paper over the bottom right corner mark, on the glass.
            ppm = dpi / 25.4
            tri = [(171.0, 297.5), (210.5, 297.5), (210.5, 256.0)]
            for box in m.layout.all_boxes:
                if box[0] + box[2] + box[1] + box[3] > 171.0 + 297.5 - 3:
                    raise SystemExit("the paper scrap covers a box")
            sheet = copy_of(m.sheet)
            mask = sheet.cover(tri, (0.95, 0.95, 0.93))
            grid = np.zeros(mask.shape, np.uint8)
            for k in range(0, int(60 * ppm), int(5 * ppm)):
                cv2.line(grid, (int(160 * ppm) + k, 0), (int(160 * ppm) + k, grid.shape[0]), 255, 1)
                cv2.line(grid, (0, int(250 * ppm) + k), (grid.shape[1], int(250 * ppm) + k), 255, 1)
            sel = (grid > 0) & (mask > 128)
            sheet.img[sel] *= np.array([0.8, 0.85, 0.97], np.float32)
            edge = cv2.GaussianBlur(cv2.Canny(mask, 50, 150).astype(np.float32) / 255, (0, 0), 1.2)
            sheet.img *= (1 - 0.5 * np.clip(edge * 3, 0, 1))[..., None]
            out = copier(rng, sheet.img, dpi, args["angle"])
            capture = "copier"
            extra.append("corner-covered")
        elif capture == "phone":
            out, quality = phone(rng, img, args["size"], args["fill"], args["pitch"], args["yaw"],
                                 args["roll"], quality, shadow=args.get("shadow", 0.4),
                                 thumb=args.get("thumb"), layout=m.layout, dpi=dpi)
            if args.get("thumb") is not None:
                extra.append("corner-covered")
        save(os.path.join(outdir, name), out, quality)
        total = {"e40": 40, "e100": 100}[d["stem"]]
        rows.append([name, capture, str(dpi), str(total), str(d["page"] + 1 if d["stem"] == "e100" else 1),
                     str(d.get("first", 1)), "read", m.meant, m.accept, m.dni, m.dni_accept,
                     ",".join(m.pens), ",".join(m.kinds + extra), m.each])

    with open(os.path.join(outdir, "truth.tsv"), "w", encoding="utf-8") as f:
        f.write(TRUTH_HEAD)
        f.write("\t".join(["file", "capture", "dpi", "questions", "page", "first", "must",
                           "meant", "accept", "dni", "dni_accept", "pens", "marks", "each"])
                + "\n")
        for r in rows:
            f.write("\t".join(r) + "\n")


TRUTH_HEAD = """\
# What each image of this folder shows, written by make_set.py as it drew it.
# file: the image. capture: flatbed, copier (a page turned 90/180/270 degrees
# says so in marks) or phone. dpi: the resolution the page was drawn at.
# questions: the exam's number of questions. page: the page of the sheet
# (1-based). first: the number of the first question on that page.
# must: read (an answer sheet) or refuse (not an answer sheet).
# meant: what the student plainly meant for each question on the page, in
# order: S (Si), N (No) or - (blank).
# accept: for each question, the readings that are not wrong: one letter
# for a clear mark (it must be read as meant; a doubt there is counted),
# the meant letter and ? for an ambiguous one (an erasure, a hurried fill).
# dni: the 8 digits crossed in the DNI grid, or -; dni_accept the same
# digits one by one. pens: the inks. marks: the kinds of mark on the page.
# each: the kind of mark of each question, in order.
"""


if __name__ == "__main__":
    main()
