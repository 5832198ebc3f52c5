#!/usr/bin/env python3
"""Runs the real program on its own X display with capture input 1 playing a steady sine
through a file-backed ALSA device, and checks that channel 1's bar on screen lights exactly
the spots the chosen meter standard gives for that sine: the spot count, the zone colours of
the lit spots, the unlit colours above them and the black rows between spots.

Usage: meter_standard_test.py <path to Ostrel> <"rg Meter" index 0..4>"""

import math
import os
import shutil
import struct
import sys
import tempfile
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import ostrel_e2e as e2e  # noqa: E402

AMPLITUDE = 3000
RATE = 44100
FULL_SCALE = 32767

# "rg Meter" index -> (meter standard of the response curve, bottom of the bar in dB,
# default bottom point, default top point), as the settings window applies them.
STANDARDS = {
    0: (0, -49, 57, 84),  # Nordic N9
    1: (1, -72, 58, 84),  # DIN 45406
    2: (2, -50, 57, 84),  # BBC
    3: (3, -49, 57, 84),  # EBU
    4: (1, -72, 58, 84),  # Digital PPM drives the meters as DIN does
}


def f32(x):
    return struct.unpack("f", struct.pack("f", x))[0]


def shaped(standard, h):
    """The direct response curve of the standard (no integration, no reference level)."""
    v = math.trunc(h)
    if standard == 0:
        if 33 <= v <= 229:
            return math.trunc(-7.57611e-6 * h * h + 1.24245 * h + 70.712)
        if v >= 230:
            return math.trunc(-7.57611e-6 * h * h + 1.24245 * h + 181.712)
    elif standard == 1:
        if 0 <= v < 5820:
            return math.trunc(6.2408e-6 * h * h + 0.083969 * h + 4.92065)
        if v >= 5820:
            return math.trunc(3.3894e-5 * h * h - 0.121814 * h + 359.222)
    elif standard == 2:
        if v >= 1:
            return math.trunc(5.3e-5 * h * h + 0.0662 * h + 111.2)
    elif standard == 3:
        if v >= 1:
            return math.trunc(0.00451076 * h ** 1.45118)
    return math.trunc(h)


def expected_spots(standard, sensitivity, spot_count):
    # Every block peaks at AMPLITUDE, so the step-up decay holds the shaped level itself.
    g = shaped(standard, AMPLITUDE)
    d = f32(20 * math.log10(max(g / FULL_SCALE, 0.000001)))
    p = round((d - sensitivity) * spot_count / -sensitivity)  # ties to even
    return min(max(p, 0), spot_count)


def expected_column(inner_height, point1, point2, lit, space=1):
    """Colour of every inner row from the top, for one spot row each and `space` black rows
    between spots; spot 1 is the lowest."""
    n = max((inner_height + space) // (1 + space), 1)
    margin = (inner_height - ((1 + space) * n - space)) // 2
    zone1, zone2 = point1 * n // 100, point2 * n // 100
    rows = [e2e.BLACK] * inner_height
    for i in range(1, n + 1):
        row = inner_height - margin - 1 - (1 + space) * (i - 1)
        zone = 3 if i > zone2 else 2 if i > zone1 else 1
        if i <= lit:
            rows[row] = {1: e2e.LIME, 2: e2e.YELLOW, 3: e2e.RED}[zone]
        else:
            rows[row] = {1: e2e.TEAL, 2: e2e.TEAL, 3: e2e.MAROON}[zone]
    return rows, n


def main():
    program, index = sys.argv[1], int(sys.argv[2])
    standard, sensitivity, point1, point2 = STANDARDS[index]
    work = tempfile.mkdtemp(prefix="ostrel_e2e_meter_")
    raw = os.path.join(work, "sine.raw")
    # Long enough that the unpaced file device is still inside the sine when it is read;
    # after the end ALSA repeats the last period, which holds the same peak.
    e2e.write_stereo_raw(raw, e2e.sine16(AMPLITUDE), lambda i: 0, RATE * 10)
    conf = os.path.join(work, "asound.conf")
    e2e.write_alsa_conf(conf, [("ostrel_sine", raw)])
    device = e2e.capture_device_number(conf, "ostrel_sine")
    config_home = os.path.join(work, "config")
    settings = {"is Sound": 1, "rg Mode": 0, "rg Meter": index, "multi_1": device}
    settings.update({"multi_%d" % k: -2 for k in range(2, 13)})
    e2e.seed_settings(config_home, settings)

    with e2e.Session(program, config_home, conf, work) as session:
        window = session.find_window()
        deadline = time.monotonic() + 30
        last = "no meter found"
        matches = 0
        while time.monotonic() < deadline:
            time.sleep(0.5)
            screen = session.screenshot()
            found = e2e.find_meter(screen, window)
            if found is None:
                continue
            left, top, bottom = found
            height = bottom - top + 1
            want, spot_count = expected_column(height, point1, point2, 0)
            lit_want = expected_spots(standard, sensitivity, spot_count)
            want, _ = expected_column(height, point1, point2, lit_want)
            # Two columns of the bar: both edges of a spot are painted alike.
            got = [screen.pixel(left + 1, y) for y in range(top, bottom + 1)]
            got2 = [screen.pixel(left + 14, y) for y in range(top, bottom + 1)]
            lit_got = sum(1 for p in got if p in e2e.LIT)
            if got == want and got2 == want:
                matches += 1
                if matches == 2:  # the same picture on two screenshots: settled
                    print("standard %d: %d of %d spots lit, inner height %d at x %d y %d"
                          % (index, lit_got, spot_count, height, left, top))
                    shutil.rmtree(work, ignore_errors=True)
                    return 0
                continue
            matches = 0
            wrong = [(top + i, g, w) for i, (g, w) in enumerate(zip(got, want)) if g != w]
            last = ("inner x %d, rows %d..%d: %d lit on screen, %d expected of %d spots; "
                    "first differing rows (y, screen, expected): %s"
                    % (left, top, bottom, lit_got, lit_want, spot_count, wrong[:4]))
        session.screenshot(os.path.join(work, "last.png"))
    e2e.fail("standard %d never showed the expected bar: %s (files kept in %s)"
             % (index, last, work))


if __name__ == "__main__":
    sys.exit(main())
