#!/usr/bin/env python3

# SPDX-FileCopyrightText: 2026 The Tarmalo developers
#
# SPDX-License-Identifier: GPL-3.0-or-later

"""Draws Tarmalo's banner and icons from scratch.

Everything is procedural: signed-distance shapes rendered with numpy, plus
a little noise and blur so the banner reads as a photograph rather than as
clip-art.  The random generators are seeded, so re-running gives the same
files.  Needs numpy and PIL (Debian: python3-numpy, python3-pil).

Usage: make_art.py [OUTPUT_DIR]   (default: the folder this script is in)
"""

import os
import struct
import sys

import numpy as np
from PIL import Image

# ---------------------------------------------------------------------------
# Shape helpers: every function returns a signed distance field (negative
# inside) over the pixel grid given by the coordinate arrays X, Y.
# ---------------------------------------------------------------------------


def grid(w, h, scale=1.0):
    """Pixel-centre coordinates of a w x h image, in units of 1/scale px."""
    ys, xs = np.mgrid[0:h, 0:w].astype(np.float64)
    return (xs + 0.5) / scale, (ys + 0.5) / scale


def sd_segment(X, Y, a, b, ra, rb=None):
    """Capsule from a to b whose radius runs from ra to rb."""
    if rb is None:
        rb = ra
    ax, ay = a
    bx, by = b
    dx, dy = bx - ax, by - ay
    px, py = X - ax, Y - ay
    h = np.clip((px * dx + py * dy) / (dx * dx + dy * dy), 0.0, 1.0)
    return np.hypot(px - h * dx, py - h * dy) - (ra + (rb - ra) * h)


def sd_ellipse(X, Y, c, rx, ry):
    # Not an exact distance, but close enough near the edge for smooth edges.
    nx, ny = (X - c[0]) / rx, (Y - c[1]) / ry
    return (np.sqrt(nx * nx + ny * ny) - 1.0) * min(rx, ry)


def sd_circle(X, Y, c, r):
    return np.hypot(X - c[0], Y - c[1]) - r


def sd_box(X, Y, c, hw, hh, r=0.0, angle=0.0):
    """Rounded box centred at c, half sizes hw x hh, rotated by angle (rad)."""
    ca, sa = np.cos(angle), np.sin(angle)
    px, py = X - c[0], Y - c[1]
    lx = px * ca + py * sa
    ly = -px * sa + py * ca
    qx = np.abs(lx) - (hw - r)
    qy = np.abs(ly) - (hh - r)
    out = np.hypot(np.maximum(qx, 0), np.maximum(qy, 0))
    return out + np.minimum(np.maximum(qx, qy), 0) - r


def sd_polygon(X, Y, pts):
    """Exact signed distance to a simple polygon."""
    pts = [tuple(map(float, p)) for p in pts]
    d = (X - pts[0][0]) ** 2 + (Y - pts[0][1]) ** 2
    s = np.ones_like(X)
    n = len(pts)
    j = n - 1
    for i in range(n):
        vix, viy = pts[i]
        vjx, vjy = pts[j]
        ex, ey = vjx - vix, vjy - viy
        wx, wy = X - vix, Y - viy
        h = np.clip((wx * ex + wy * ey) / (ex * ex + ey * ey), 0, 1)
        bx, by = wx - ex * h, wy - ey * h
        d = np.minimum(d, bx * bx + by * by)
        c1 = Y >= viy
        c2 = Y < vjy
        c3 = ex * wy > ey * wx
        flip = (c1 & c2 & c3) | (~c1 & ~c2 & ~c3)
        s = np.where(flip, -s, s)
        j = i
    return s * np.sqrt(d)


def smin(a, b, k):
    """Smooth union: joins limbs without creases."""
    h = np.clip(0.5 + 0.5 * (b - a) / k, 0, 1)
    return b * (1 - h) + a * h - k * h * (1 - h)


def union(*ds):
    out = ds[0]
    for d in ds[1:]:
        out = np.minimum(out, d)
    return out


def coverage(d, soft=0.7):
    """Anti-aliased coverage of a distance field; soft is the edge width in px."""
    return np.clip(0.5 - d / soft, 0.0, 1.0)


# ---------------------------------------------------------------------------
# Image helpers
# ---------------------------------------------------------------------------


def blur1d(a, sigma, axis):
    if sigma <= 0:
        return a
    r = max(1, int(np.ceil(sigma * 3)))
    k = np.exp(-0.5 * (np.arange(-r, r + 1) / sigma) ** 2)
    k /= k.sum()
    pad = [(0, 0)] * a.ndim
    pad[axis] = (r, r)
    p = np.pad(a, pad, mode="reflect" if a.shape[axis] > r else "edge")
    out = np.zeros_like(a, dtype=np.float64)
    n = a.shape[axis]
    for i, w in enumerate(k):
        sl = [slice(None)] * a.ndim
        sl[axis] = slice(i, i + n)
        out += w * p[tuple(sl)]
    return out


def blur(a, sx, sy=None):
    if sy is None:
        sy = sx
    return blur1d(blur1d(a, sx, 1), sy, 0)


def value_noise(rng, w, h, cell):
    """Smooth noise with features about `cell` pixels across, range ~[-1, 1]."""
    gw, gh = int(w / cell) + 3, int(h / cell) + 3
    g = rng.uniform(-1, 1, (gh, gw)).astype(np.float32)
    im = Image.fromarray(g, "F").resize((int(gw * cell), int(gh * cell)), Image.BICUBIC)
    a = np.asarray(im, dtype=np.float64)
    return a[cell:cell + h, cell:cell + w] if cell >= 1 else a[:h, :w]


def fbm(rng, w, h, cell, octaves=4):
    out = np.zeros((h, w))
    amp, total = 1.0, 0.0
    for _ in range(octaves):
        c = max(1, int(cell))
        out += amp * value_noise(rng, w, h, c)
        total += amp
        amp *= 0.5
        cell /= 2
    return out / total


def save_png(path, rgb_or_rgba):
    a = np.clip(np.rint(rgb_or_rgba), 0, 255).astype(np.uint8)
    mode = "RGBA" if a.shape[2] == 4 else "RGB"
    Image.fromarray(a, mode).save(path, optimize=True)


# ---------------------------------------------------------------------------
# The banner
# ---------------------------------------------------------------------------

BANNER_W, BANNER_H = 599, 274

# Eye level of the camera (where the outside horizon lies) and the floor
# line of the window wall; the traveller's feet are nearer, lower down.
HORIZON_Y = 68.0
WALL_FLOOR_Y = 136.0
FEET_Y = 238.0


def traveller(X, Y, x0, feet_y, s):
    """Distance field of a walking traveller pulling a cabin trolley.

    Modelled in units where the person is 100 tall, feet at 0, hip at x 0,
    walking to the right; s converts units to pixels.
    """
    U = (X - x0) / s
    V = (Y - feet_y) / s
    def seg(a, b, ra, rb=None):
        # Limbs a shade thicker than life: the banner is shown very small.
        return sd_segment(U, V, a, b, ra * 1.15, (ra if rb is None else rb) * 1.15)

    head = sd_ellipse(U, V, (2.2, -93.2), 5.5, 6.6)
    nose = sd_ellipse(U, V, (7.4, -92.2), 1.3, 1.6)
    head = smin(head, nose, 1.2)
    neck = seg((1.2, -88.0), (0.4, -82.0), 2.5)
    shoulders = sd_ellipse(U, V, (0.2, -78.5), 7.0, 4.8)
    chest = seg((0.4, -78.0), (-0.4, -56.0), 6.4, 5.9)
    coat = sd_polygon(U, V, [(-6.6, -80), (6.2, -80), (7.4, -68), (6.8, -56),
                             (10.0, -35.5), (-9.5, -35.0), (-7.2, -56), (-7.6, -70)])
    body = smin(smin(smin(head, neck, 1.5), shoulders, 2.0), smin(chest, coat, 1.5), 2.0)

    # Free arm swings forward, the other reaches back to the trolley handle.
    front_arm = smin(seg((1.5, -78.5), (7.6, -65.5), 3.1, 2.7),
                     seg((7.6, -65.5), (15.0, -56.5), 2.7, 2.2), 1.0)
    front_hand = sd_ellipse(U, V, (16.2, -55.0), 2.3, 2.6)
    back_arm = smin(seg((-1.5, -78.5), (-5.6, -64.0), 3.1, 2.7),
                    seg((-5.6, -64.0), (-10.2, -51.5), 2.7, 2.2), 1.0)
    back_hand = sd_ellipse(U, V, (-10.8, -50.0), 2.4, 2.2)
    arms = union(smin(front_arm, front_hand, 1.0), smin(back_arm, back_hand, 1.0))

    # Stride: front heel striking, back foot pushing off its toes.
    front_leg = smin(seg((1.8, -50.5), (6.4, -27.0), 4.6, 3.4),
                     seg((6.4, -27.0), (11.4, -4.2), 3.3, 2.1), 1.2)
    front_foot = seg((10.4, -1.9), (17.6, -2.6), 1.9, 1.5)
    back_leg = smin(seg((-1.6, -50.5), (-4.4, -27.0), 4.6, 3.4),
                    seg((-4.4, -27.0), (-10.6, -6.5), 3.3, 2.1), 1.2)
    back_foot = seg((-12.0, -5.4), (-4.4, -1.3), 1.9, 1.3)
    legs = union(smin(front_leg, front_foot, 1.0), smin(back_leg, back_foot, 1.0))

    person = smin(smin(body, arms, 0.8), smin(legs, chest, 2.5), 0.8)

    # Cabin trolley, tipped onto its wheels, the handle rising to the hand.
    wheel = np.array([-31.0, -1.7])
    hand = np.array([-10.8, -50.0])
    u = (hand - wheel) / np.linalg.norm(hand - wheel)
    n = np.array([-u[1], u[0]])  # the side away from the ground
    if n[1] > 0:
        n = -n
    case_len, case_depth = 33.0, 13.5
    centre = wheel + u * (1.2 + case_len / 2) + n * (case_depth / 2 - 0.3)
    angle = np.arctan2(u[1], u[0]) - np.pi / 2
    case = sd_box(U, V, centre, case_depth / 2, case_len / 2, 2.2, angle)
    case_top = wheel + u * (case_len + 1.0)
    handle = union(seg(tuple(case_top), tuple(hand), 0.75),
                   seg(tuple(case_top + n * 0.9), tuple(case_top + u * 6 + n * 0.9), 0.9))
    wheels = union(sd_circle(U, V, tuple(wheel), 1.7),
                   sd_circle(U, V, tuple(wheel + n * 1.6 + u * 0.4), 1.5))
    strap = seg(tuple(centre + u * 14.8 + n * 2.5), tuple(centre + u * 16.8 + n * 2.5), 1.3)
    trolley = union(case, handle, wheels, strap)

    return np.minimum(person, trolley) * s


def airliner(X, Y, nose_x, belly_y, s):
    """Side view of a parked airliner facing left, s pixels per metre."""
    U = (X - nose_x) / s
    V = (Y - belly_y) / s
    body = sd_segment(U, V, (2.0, -2.0), (30.0, -2.0), 2.0)
    cone = sd_polygon(U, V, [(28.0, -4.0), (38.5, -4.0), (39.5, -3.0),
                             (38.0, -2.2), (28.0, 0.0)])
    fin = sd_polygon(U, V, [(29.5, -3.6), (34.0, -11.5), (36.6, -11.5), (38.6, -3.6)])
    stab = sd_polygon(U, V, [(33.0, -3.4), (37.2, -5.0), (38.6, -4.8), (37.6, -3.2)])
    wing = sd_polygon(U, V, [(13.0, -0.6), (18.0, -0.6), (25.0, 0.9), (24.0, 1.2)])
    engine = sd_box(U, V, (13.8, 0.9), 2.2, 0.9, 0.8)
    gear = union(sd_segment(U, V, (5.0, 0.0), (5.0, 2.6), 0.18),
                 sd_segment(U, V, (17.0, 0.0), (17.0, 2.6), 0.25))
    d = union(smin(body, cone, 0.6), fin, stab, wing, engine, gear)
    return d * s


def jet_bridge(X, Y):
    """The boarding bridge running from the terminal to the aircraft door."""
    tunnel = sd_polygon(X, Y, [(236, 37), (352, 45), (352, 59), (236, 55)])
    cab = sd_box(X, Y, (357.0, 51.0), 8.0, 10.0, 1.0)
    leg = union(sd_box(X, Y, (300.0, 66.0), 1.6, 10.0), sd_box(X, Y, (300.0, 76.0), 5.0, 1.5))
    return union(tunnel, cab, leg)


def seats(X, Y, x_from, x_to):
    """A row of linked departure-lounge seats in front of the window."""
    d = np.full(X.shape, 1e3)
    pitch = 27.0
    x = x_from
    while x < x_to:
        back = sd_box(X, Y, (x + 9.0, 128.0), 9.5, 14.0, 3.5)
        seat = sd_box(X, Y, (x + 12.0, 142.0), 12.0, 3.0, 1.5)
        d = np.minimum(d, np.minimum(back, seat))
        x += pitch
    beam = sd_box(X, Y, ((x_from + x) / 2 + 6, 147.5), (x - x_from) / 2 + 4, 1.6)
    feet = union(*[sd_box(X, Y, (xx, 156.0), 1.5, 9.0) for xx in
                   np.linspace(x_from + 14, x - 14, 4)])
    return union(d, beam, feet)


def tone_map(L):
    """Luminance to the picture's dark blue-grey palette (sRGB 0..255)."""
    t = 1.0 - np.exp(-np.maximum(L, 0) * 1.35)
    stops = np.array([0.0, 0.18, 0.45, 0.75, 1.0])
    cols = np.array([[7, 9, 15], [28, 37, 52], [72, 88, 110],
                     [150, 166, 186], [232, 238, 244]], dtype=np.float64)
    out = np.empty(L.shape + (3,))
    for c in range(3):
        out[..., c] = np.interp(t, stops, cols[:, c])
    return out


def make_banner():
    rng = np.random.default_rng(20240611)
    W, H = BANNER_W, BANNER_H
    X, Y = grid(W, H)

    # --- Outside: an overcast sky brightening towards the horizon, the apron,
    # a distant skyline and a parked airliner, all softened by haze.
    sky_t = np.clip(Y / HORIZON_Y, 0, 1)
    sky = 0.88 + 0.42 * sky_t ** 2 + 0.10 * fbm(rng, W, H, 80)
    sky += 0.06 * np.clip(fbm(rng, W, H, 30), 0, 1)
    apron = 0.88 - 0.10 * np.clip((Y - HORIZON_Y) / 50, 0, 1) + 0.05 * fbm(rng, W, H, 20)
    outside = np.where(Y < HORIZON_Y, sky, apron)
    skyline_h = 4.0 + 3.0 * fbm(rng, W, 1, 25)[0] + 6.0 * (np.abs(X[0] - 120) < 40)
    skyline = (Y > HORIZON_Y - skyline_h[None, :]) & (Y < HORIZON_Y + 1.5)
    outside = np.where(skyline, outside * 0.80, outside)
    plane = coverage(airliner(X, Y, 362.0, 74.0, 6.2), 0.9)
    # Lit from above by the overcast: pale crown, darker belly and engine.
    plane_L = 0.70 - 0.22 * np.clip((Y - 52.0) / 22.0, 0, 1)
    outside = outside * (1 - plane) + plane * plane_L
    windows = plane * (np.abs(Y - 59.5) < 0.8) * (X > 378) * (X < 540)
    outside -= 0.10 * windows
    bridge = coverage(jet_bridge(X, Y), 0.9)
    outside = outside * (1 - bridge) + bridge * (0.42 + 0.1 * (Y < 46))

    # --- The glass wall: tall panes between steel mullions, a transom and a
    # solid sill.  Mullions are slightly lit on one side by the daylight.
    frame = np.zeros((H, W))
    for mx in np.arange(18.0, W + 40, 76.0):
        frame = np.maximum(frame, coverage(sd_box(X, Y, (mx, 70.0), 3.2, 80.0), 0.8))
        lit = coverage(sd_box(X, Y, (mx + 2.6, 70.0), 0.7, 80.0), 0.8)
        frame -= 0.25 * lit
    frame = np.maximum(frame, coverage(sd_box(X, Y, (W / 2, 42.0), W, 2.0), 0.8))
    frame = np.maximum(frame, coverage(sd_box(X, Y, (W / 2, 118.0), W, 2.6), 0.8))
    frame = np.maximum(frame, (Y > 119.5).astype(float))
    frame = np.clip(frame, 0, 1)
    glass = outside * 0.92
    # Faint reflections of the hall's lights streaking across the glass.
    streak = np.clip(np.sin((X * 0.55 + Y * 0.9) / 23.0) * 1.3 - 0.7, 0, 1)
    glass += 0.035 * streak
    wall = glass * (1 - frame) + frame * (0.07 + 0.03 * fbm(rng, W, H, 12))
    sill_shade = np.clip((Y - 119) / 17.0, 0, 1)
    # The low wall under the glass catches some daylight on its top edge.
    sill = 0.13 + 0.06 * (1 - sill_shade) + 0.02 * fbm(rng, W, H, 10)
    sill += 0.18 * np.exp(-((Y - 121.0) / 1.2) ** 2)
    wall = np.where(Y > 119.5, sill, wall)

    # Glow of the bright windows spills over the frames, as in a real exposure.
    bright = np.clip(wall - 0.6, 0, None)
    wall = wall + 0.35 * blur(bright, 6) + 0.25 * blur(bright, 18)

    # A fellow passenger by the window, out of focus in the background.
    other = coverage(traveller_standing(X, Y, 492.0, 150.0, 0.82), 0.9)
    seat_row = coverage(seats(X, Y, 372.0, W + 30), 0.9)

    # --- Floor: polished stone reflecting the window wall and the seats.
    floor_base = 0.05 + 0.02 * fbm(rng, W, H, 40)
    refl_y = np.clip(2 * WALL_FLOOR_Y - Y, 0, H - 1).astype(int)
    wall_refl = wall[refl_y, np.arange(W)[None, :].repeat(H, 0)]
    depth = np.clip((Y - WALL_FLOOR_Y) / (H - WALL_FLOOR_Y), 0, 1)
    fresnel = 0.46 * (1 - depth) ** 1.2 + 0.06
    floor = floor_base + fresnel * blur(wall_refl, 1.2, 5.0)

    # Background composite (depth order: wall, other traveller, seats, floor).
    bg = np.where(Y < WALL_FLOOR_Y, wall, floor)
    bg = bg * (1 - other) + other * 0.06
    other_refl = np.flip(other, 0)
    shift = int(round(2 * 150.0 - H))
    other_refl = np.roll(other_refl, shift, axis=0)
    other_refl[:150] = 0
    bg = bg * (1 - 0.45 * blur(other_refl, 1.0, 3.0))
    bg = bg * (1 - seat_row) + seat_row * (0.05 + 0.02 * (Y < 125))
    seat_refl = np.roll(np.flip(seat_row, 0), int(round(2 * 164.0 - H)), axis=0)
    seat_refl[:164] = 0
    bg = bg * (1 - 0.5 * blur(seat_refl, 1.0, 3.0))

    # Ceiling downlights mirrored in the floor as soft elongated highlights.
    for (lx, ly, a) in [(70, 176, 0.45), (300, 170, 0.35), (520, 181, 0.40),
                        (150, 228, 0.30), (430, 222, 0.35), (590, 250, 0.25)]:
        bg += a * np.exp(-(((X - lx) / 7.0) ** 2 + ((Y - ly) / 2.3) ** 2))

    # The background is a little out of focus: the traveller is the subject.
    bg = blur(bg, 1.1)

    # --- The traveller, sharp, backlit; trolley in hand.
    S = 1.9
    x0 = 216.0
    d = traveller(X, Y, x0, FEET_Y, S)
    fig = coverage(d, 0.8)
    # Light wrap: the bright windows bleed around the silhouette's edges.
    edge = fig * np.clip(1 - blur(fig, 1.6), 0, 1) * 2.2
    fig_fill = 0.025 + 0.025 * np.clip((FEET_Y - 40 - Y) / 150, 0, 1)
    fig_L = fig_fill + 0.55 * edge * blur(bg, 3.0)
    # Cast shadow and mirror image on the floor in front of the feet.
    refl = np.roll(np.flip(coverage(d, 1.5), 0), int(round(2 * FEET_Y - H)), axis=0)
    refl[:int(FEET_Y)] = 0
    refl = blur(refl, 1.5, 3.5) * np.clip(1 - (Y - FEET_Y) / 50, 0, 1)
    shadow = np.exp(-(((X - x0 + 20) / 70.0) ** 2 + ((Y - FEET_Y - 14) / 12.0) ** 2))
    shadow *= (Y > FEET_Y - 6)
    L = bg * (1 - 0.35 * shadow) * (1 - 0.5 * refl)
    L = L * (1 - fig) + fig * fig_L

    # --- Lens and film: vignette, grain, a slight softness.
    cx, cy = W * 0.45, H * 0.45
    r2 = ((X - cx) / (W * 0.62)) ** 2 + ((Y - cy) / (H * 0.75)) ** 2
    L *= 1.0 - 0.42 * np.clip(r2, 0, 1.6)
    L = blur(L, 0.45)
    grain = rng.normal(0, 1, (H, W))
    grain = 0.7 * grain + 0.5 * blur(rng.normal(0, 1, (H, W)), 0.8)
    L += grain * (0.010 + 0.018 * np.sqrt(np.clip(L, 0, 2)))

    rgb = tone_map(L)
    # A touch of cold cast in the shadows, neutral highlights.
    rgb[..., 2] += 4.0 * (1 - np.clip(L, 0, 1))
    rgb += rng.normal(0, 0.6, rgb.shape)
    return np.clip(np.rint(rgb), 0, 255).astype(np.uint8)


def traveller_standing(X, Y, x0, feet_y, s):
    """Someone waiting at the window, seen from behind, s px per unit."""
    U = (X - x0) / s
    V = (Y - feet_y) / s
    head = sd_ellipse(U, V, (0.0, -94.0), 5.8, 6.6)
    body = sd_segment(U, V, (0.0, -82.0), (0.0, -50.0), 8.0, 7.0)
    shoulders = sd_ellipse(U, V, (0.0, -80.0), 11.0, 4.8)
    coat = sd_polygon(U, V, [(-10, -80), (10, -80), (10.5, -40), (-10.5, -40)])
    legs = union(sd_segment(U, V, (-4.0, -45.0), (-4.2, -2.0), 4.0, 2.6),
                 sd_segment(U, V, (4.0, -45.0), (4.2, -2.0), 4.0, 2.6))
    arms = union(sd_segment(U, V, (-10.5, -78.0), (-12.0, -52.0), 3.0, 2.4),
                 sd_segment(U, V, (10.5, -78.0), (12.0, -52.0), 3.0, 2.4))
    bag = sd_box(U, V, (-15.0, -48.0), 3.5, 7.0, 1.5)
    d = smin(smin(head, body, 2.0), smin(shoulders, coat, 2.0), 2.0)
    return union(d, legs, arms, bag) * s


# ---------------------------------------------------------------------------
# Icons
#
# The 16-colour images are drawn by hand, pixel by pixel: nothing rendered
# and then reduced to 16 colours stays this crisp at 16 x 16.  The large
# desktop sizes are drawn as smooth shapes after the same design.
# ---------------------------------------------------------------------------

# The standard 16-colour palette, in its usual order.
VGA16 = [(0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0),
         (0, 0, 128), (128, 0, 128), (0, 128, 128), (192, 192, 192),
         (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0),
         (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255)]
TRANSPARENT = -1
WHITE = 15
# Pixel letters: '.' transparent, K black, N navy, G grey, S silver,
# B blue, Y yellow, W white.
LETTERS = {".": TRANSPARENT, "K": 0, "N": 4, "S": 7, "G": 8, "Y": 11, "B": 12, "W": 15}

# Program icon: an airliner's tail, and a passenger with a trolley walking
# up to it.  The passenger is stamped over the aircraft with a white rim.
TAIL_32 = """
................................
....................NNNNNNNN....
...................NBBBBBBBBN...
...................NBBBBBBBYN...
..................NBBBBBBYYYBN..
..................NBBBBYYYYBBN..
.................NBBBYYYYBBBBN..
.................NBYYYYBBBBBBBN.
................NYYYYBBBBBBBBBN.
................NYYBBBBBBBBBBBN.
...............NBBBBBBBBBBBBBBN.
...............NBBBBBBBBBBBBBBBN
..............NBBBBBBBBBBBBBBBBN
KKKKKKKKKKKKKKKKKKKKKKKKKKKKKKKK
WWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWK
WWWWWWWWWWWWWNWWNWWNWWNWWWWWWWKK
WWWWWWWWWWWWWWWWWWWWWWWWWWWWWKK.
BBBBBBBBBBBBBBBBBBBBBBBBBBBKK...
WWWWWWWWWWWWWWWWWWWWWWWWWKK.....
WWWWWWWWWWWWWWWWWWWWWWWKK.......
SSSSSSSSSSSSSSSSSSSSSKK.........
KKKKKKKKKKKKKKKKKKKKK...........
"""
PASSENGER_32 = """
.......KKK.....
......KKKKK....
......KKKKKK...
.......KKKK....
........KK.....
......KKKKK....
.....KKKKKKK...
.....KKKKKKKK..
....KKKKKK.KKK.
...KKKKKKK..KK.
...K.KKKKK.....
KKKK.KKKKKK....
KKK..KKKKKK....
KKK..KK..KK....
KKK..KK...KK...
KKK.KK....KK...
KKK.KK.....KK..
.K..KKK.....KKK
"""
# At 16 pixels the two stand apart: the tail with its stripe and a row of
# windows, and beside it the passenger as a signage-style pictogram, every
# stroke a whole pixel wide, with a white rim that keeps it visible on dark
# title bars too.
TAIL_16 = """
..........NNNNN.
.........NBBBBYN
.........NBBYYBN
........NBYYBBBN
........NYYBBBBN
.......NBBBBBBBN
.......NBBBBBBBN
......KKKKKKKKKK
......WWNWNWNWWK
......BBBBBBBBKK
......WWWWWWWKK.
......KKKKKKK...
"""
PASSENGER_16 = """
..KK..
..KK..
......
.KKKK.
K.KK.K
K.KK.K
..KK..
..KK..
.K..K.
.K..K.
.K..K.
KK..KK
"""

# Help icon: a question mark on a white speech bubble.
QUESTION_32 = """
....BBBBBB....
..BBBBBBBBBB..
.BBBBNNNNBBBB.
.BBBN....NBBBN
..NN.....BBBBN
........BBBBN.
.......BBBBN..
......BBBBN...
.....BBBBN....
.....BBBN.....
.....BBBN.....
......NN......
..............
.....BBB......
.....BBBN.....
.....BBBN.....
......NNN.....
"""
QUESTION_16 = """
.BBBB.
BB..BB
....BB
...BB.
..BB..
..BB..
......
..BB..
..BB..
"""


def pixel_rows(text):
    return [r for r in text.strip("\n").split("\n")]


def stamp(ix, text, ox, oy, rim=None, rim_clear=False):
    """Paints a pixel drawing onto ix at (ox, oy).  With rim set, pixels of
    the art underneath that touch the drawing take that colour, so the
    drawing stands in front of it; with rim_clear, so do the transparent
    ones."""
    ix = ix.copy()
    mask = np.zeros(ix.shape, dtype=bool)
    for y, row in enumerate(pixel_rows(text)):
        for x, ch in enumerate(row):
            if ch != ".":
                mask[oy + y, ox + x] = True
                ix[oy + y, ox + x] = LETTERS[ch]
    if rim is not None:
        pad = np.pad(mask, 1)
        h, w = mask.shape
        near = np.zeros_like(mask)
        for dy in range(3):
            for dx in range(3):
                near |= pad[dy:dy + h, dx:dx + w]
        ix[near & ~mask & ((ix != TRANSPARENT) | rim_clear)] = rim
    return ix


def canvas(size, text=None):
    ix = np.full((size, size), TRANSPARENT, dtype=np.int16)
    if text is not None:
        ix = stamp(ix, text, 0, 0)
    return ix


def speech_bubble(n, cx, cy, rx, ry, tail):
    """White bubble with a black edge and a grey drop shadow."""
    X, Y = grid(n, n)
    d = np.minimum(sd_ellipse(X, Y, (cx, cy), rx, ry), sd_polygon(X, Y, tail))
    inside = d <= 0
    ix = canvas(n)
    ix[inside] = WHITE
    pad = np.pad(inside, 1)
    edge = inside & ~(pad[:-2, 1:-1] & pad[2:, 1:-1] & pad[1:-1, :-2] & pad[1:-1, 2:])
    ix[edge] = LETTERS["K"]
    shadow = np.zeros_like(inside)
    shadow[1:, 1:] = inside[:-1, :-1]
    ix[shadow & ~inside] = LETTERS["G"]
    return ix


def tarmalo_16colour():
    i32 = stamp(canvas(32, TAIL_32), PASSENGER_32, 1, 14, rim=WHITE)
    i16 = stamp(stamp(canvas(16), TAIL_16, 0, 1), PASSENGER_16, 0, 3, rim=WHITE, rim_clear=True)
    return i32, i16


def help_16colour():
    b32 = speech_bubble(32, 16.0, 13.5, 15.0, 11.8, [(6, 20), (3.5, 30.5), (15, 24)])
    b16 = speech_bubble(16, 7.8, 7.0, 7.2, 6.4, [(3, 10.5), (1.5, 15.5), (8, 12.5)])
    return stamp(b32, QUESTION_32, 10, 5), stamp(b16, QUESTION_16, 5, 2)


def indexed_to_rgba(ix):
    pal = np.array(VGA16 + [(0, 0, 0)], dtype=np.uint8)
    rgba = np.zeros(ix.shape + (4,), dtype=np.uint8)
    rgba[..., :3] = pal[ix]
    rgba[..., 3] = np.where(ix == TRANSPARENT, 0, 255)
    return rgba


def save_indexed_png(path, ix):
    """Palette PNG: the 16 colours plus one fully transparent entry."""
    im = Image.fromarray(np.where(ix == TRANSPARENT, 16, ix).astype(np.uint8), "P")
    flat = [c for rgb in VGA16 + [(0, 0, 0)] for c in rgb]
    im.putpalette(flat)
    im.save(path, transparency=16, optimize=False)


def tarmalo_smooth(size):
    """The program icon drawn smoothly at any size, after the pixel design
    (a 32-unit box).  Returns straight-alpha RGBA as floats 0..1."""
    k = size / 32.0
    X, Y = grid(size, size, k)
    px = 1.0 / k  # one pixel in design units: edges stay one pixel soft

    fin = sd_polygon(X, Y, [(14.3, 13.2), (20.4, 1.3), (27.8, 1.3), (31.2, 13.2)])
    fin = smin(fin, sd_box(X, Y, (24.0, 1.8), 3.6, 0.5), 0.4)
    stripe = np.maximum(fin + 0.55, np.abs(Y - 8.6 + 0.5 * (X - 16.5)) - 0.95)
    fuselage = sd_polygon(X, Y, [(-3.0, 13.0), (30.6, 13.0), (32.0, 14.2), (31.6, 16.0),
                                 (21.0, 22.0), (-3.0, 22.0)])
    fuselage = np.maximum(fuselage, -(X + 0.2))  # keep a crisp cut at the left edge
    cheat = np.maximum(fuselage + 0.5, np.abs(Y - 17.5 + 0.32 * np.maximum(X - 20.0, 0)) - 0.55)
    windows = union(*[sd_box(X, Y, (wx, 15.4), 0.55, 0.75, 0.3) for wx in (13.5, 16.5, 19.5, 22.5)])
    fig = traveller(X, Y, 9.0, 31.2, 0.176)

    out = np.zeros((size, size, 4))

    def paint(d, rgb, alpha=1.0):
        a = coverage(d, px) * alpha
        rgb = np.broadcast_to(np.asarray(rgb, dtype=np.float64), (size, size, 3)) \
            if np.ndim(rgb) == 1 else rgb
        out[..., :3] = out[..., :3] * (1 - a[..., None]) + rgb * a[..., None]
        out[..., 3] = out[..., 3] * (1 - a) + a

    t = np.clip(Y / 13.0, 0, 1)[..., None]
    fin_rgb = (1 - t) * np.array([0.22, 0.52, 0.98]) + t * np.array([0.05, 0.20, 0.70])
    t = np.clip((Y - 13.0) / 9.0, 0, 1)[..., None]
    body_rgb = (1 - t) * np.array([1.0, 1.0, 1.0]) + t * np.array([0.74, 0.78, 0.84])
    dark = np.array([0.06, 0.08, 0.12])

    # Soft shadow of the whole group, for light and dark desktops alike.
    shape = coverage(union(fin, fuselage, fig), px)
    shadow = blur(shape, size / 64.0 + 0.5)
    shift = max(1, int(round(size / 48.0)))
    shadow = np.pad(shadow, ((shift, 0), (shift, 0)))[:size, :size] * 0.35
    out[..., 3] = shadow

    paint(fin - 0.45, np.array([0.02, 0.09, 0.35]))
    paint(fin, fin_rgb)
    paint(stripe, np.array([1.0, 0.80, 0.12]))
    paint(fuselage - 0.45, dark)
    paint(fuselage, body_rgb)
    paint(cheat, np.array([0.10, 0.36, 0.86]))
    paint(windows, np.array([0.10, 0.16, 0.32]))
    # A white rim sets the passenger in front of the aircraft; a fainter
    # one keeps the dark figure visible on dark desktops.
    over_plane = coverage(union(fin, fuselage), px)
    paint(fig - 0.9, np.array([1.0, 1.0, 1.0]), over_plane)
    paint(fig - 0.45, np.array([0.92, 0.94, 0.97]), 0.6 * (1 - over_plane))
    paint(fig, np.array([0.07, 0.08, 0.11]))
    return out


def write_ico(path, images):
    """Classic ICO: each image a 4-bit BMP with an AND mask for transparency."""
    entries, blobs = [], []
    offset = 6 + 16 * len(images)
    for ix in images:
        h, w = ix.shape
        xor_row = ((w * 4 + 31) // 32) * 4
        and_row = ((w + 31) // 32) * 4
        size_image = (xor_row + and_row) * h
        info = struct.pack("<IiiHHIIiiII", 40, w, 2 * h, 1, 4, 0, size_image, 0, 0, 0, 0)
        palette = b"".join(struct.pack("<BBBB", b, g, r, 0) for (r, g, b) in VGA16)
        colour = np.where(ix == TRANSPARENT, 0, ix).astype(np.uint8)
        xor = b""
        andm = b""
        for y in range(h - 1, -1, -1):  # bottom-up
            row = colour[y]
            packed = bytes((int(row[x]) << 4) | int(row[x + 1]) for x in range(0, w, 2))
            xor += packed + b"\0" * (xor_row - len(packed))
            bits = 0
            mask_bytes = bytearray()
            for x in range(w):
                bits = (bits << 1) | int(ix[y, x] == TRANSPARENT)
                if x % 8 == 7:
                    mask_bytes.append(bits)
                    bits = 0
            andm += bytes(mask_bytes) + b"\0" * (and_row - len(mask_bytes))
        blob = info + palette + xor + andm
        entries.append(struct.pack("<BBBBHHII", w % 256, h % 256, 16, 0, 1, 4, len(blob), offset))
        blobs.append(blob)
        offset += len(blob)
    with open(path, "wb") as f:
        f.write(struct.pack("<HHH", 0, 1, len(images)) + b"".join(entries) + b"".join(blobs))


def write_png_ico(path, png_paths):
    """ICO whose images are PNG files (Windows Vista on): the program file's icon."""
    blobs = [open(p, "rb").read() for p in png_paths]
    entries = []
    offset = 6 + 16 * len(blobs)
    for blob in blobs:
        w, h = struct.unpack(">II", blob[16:24])
        entries.append(struct.pack("<BBBBHHII", w % 256, h % 256, 0, 0, 1, 32, len(blob), offset))
        offset += len(blob)
    with open(path, "wb") as f:
        f.write(struct.pack("<HHH", 0, 1, len(blobs)) + b"".join(entries) + b"".join(blobs))


def write_bmp24(path, rgb):
    """Uncompressed 24-bit BMP, BITMAPINFOHEADER, rows bottom-up."""
    h, w, _ = rgb.shape
    row = w * 3
    pad = (4 - row % 4) % 4
    image_size = (row + pad) * h
    header = struct.pack("<2sIHHI", b"BM", 14 + 40 + image_size, 0, 0, 14 + 40)
    info = struct.pack("<IiiHHIIiiII", 40, w, h, 1, 24, 0, image_size, 3780, 3780, 0, 0)
    bgr = rgb[::-1, :, ::-1]  # bottom-up rows, blue first
    body = b"".join(bgr[y].tobytes() + b"\0" * pad for y in range(h))
    with open(path, "wb") as f:
        f.write(header + info + body)


def main():
    out = sys.argv[1] if len(sys.argv) > 1 else os.path.dirname(os.path.abspath(__file__))
    os.makedirs(os.path.join(out, "icons"), exist_ok=True)
    icons = os.path.join(out, "icons")
    write_bmp24(os.path.join(out, "banner.bmp"), make_banner())

    t32, t16 = tarmalo_16colour()
    write_ico(os.path.join(icons, "tarmalo.ico"), [t32, t16])
    save_indexed_png(os.path.join(icons, "tarmalo-32.png"), t32)
    save_indexed_png(os.path.join(icons, "tarmalo-16.png"), t16)

    h32, h16 = help_16colour()
    save_indexed_png(os.path.join(icons, "help-32.png"), h32)
    save_indexed_png(os.path.join(icons, "help-16.png"), h16)

    # Desktop icon theme sizes: the hand-drawn pixels where they exist,
    # the smooth drawing above that.
    for size in (16, 32, 48, 64, 128, 256):
        folder = os.path.join(icons, "hicolor", str(size))
        os.makedirs(folder, exist_ok=True)
        if size in (16, 32):
            rgba = indexed_to_rgba(t16 if size == 16 else t32)
        else:
            rgba = tarmalo_smooth(size) * 255.0
        save_png(os.path.join(folder, "tarmalo.png"), rgba)
    # The Windows program file carries every size in one icon.
    write_png_ico(os.path.join(icons, "tarmalo-windows.ico"),
                  [os.path.join(icons, "hicolor", str(s), "tarmalo.png") for s in (16, 32, 48, 64, 128, 256)])


if __name__ == "__main__":
    main()
