#!/usr/bin/env python3
"""Runs the real program on its own X display with capture input 1 playing digital silence
through a file-backed ALSA device and the silence detector on (1 second), and checks that
channel 1's scale picture flashes red on screen: first shown normally, then, after the
start-up pass and the silent checks, filled with red over its whole height. The flash
lasts 450 ms, so the picture is polled with quick grabs of its area (about 5 a second).

Usage: silence_alarm_test.py <path to Ostrel>"""

import os
import shutil
import sys
import tempfile
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import ostrel_e2e as e2e  # noqa: E402

RATE = 44100


def red_share(session, x0, x1, y0, y1):
    data = e2e.grab(session, x0, y0, x1 - x0, y1 - y0)
    red = sum(1 for i in range(0, len(data), 3) if data[i:i + 3] == b"\xff\x00\x00")
    return red / (len(data) // 3)


def main():
    program = sys.argv[1]
    work = tempfile.mkdtemp(prefix="ostrel_e2e_silence_")
    raw = os.path.join(work, "zero.raw")
    with open(raw, "wb") as f:
        f.write(bytes(4 * RATE * 10))  # 16-bit stereo zeros; ALSA repeats them after the end
    conf = os.path.join(work, "asound.conf")
    e2e.write_alsa_conf(conf, [("ostrel_zero", raw)])
    device = e2e.capture_device_number(conf, "ostrel_zero")
    config_home = os.path.join(work, "config")
    settings = {"is Sound": 1, "rg Mode": 0, "multi_1": device, "cb detect": 1,
                "sec_value": 1}
    settings.update({"multi_%d" % k: -2 for k in range(2, 13)})
    e2e.seed_settings(config_home, settings)

    with e2e.Session(program, config_home, conf, work) as session:
        window = session.find_window()
        found = None
        deadline = time.monotonic() + 15
        while found is None and time.monotonic() < deadline:
            screen = session.screenshot()
            found = e2e.find_meter(screen, window)
        if found is None:
            e2e.fail("channel 1's meter was not found on screen (files kept in %s)" % work)
        left, top, bottom = found
        # Channel 1's strip starts one bevel pixel and one pixel before the meter's inner
        # area; its scale picture lies at x 20..56 of the strip, beside the meter. The rows
        # checked stay clear of the picture's top rows, which the flash leaves black.
        strip = left - 2
        area = (strip + 21, strip + 56, top + 10, bottom - 10)
        before = red_share(session, *area)
        if before > 0.5:
            e2e.fail("the scale picture is red before any alarm (%.0f%%)" % (100 * before))

        seen = None
        deadline = time.monotonic() + 20
        while seen is None and time.monotonic() < deadline:
            share = red_share(session, *area)
            if share >= 0.99:
                seen = share
        if seen is None:
            session.screenshot(os.path.join(work, "last.png"))
            e2e.fail("channel 1's scale picture never flashed red (files kept in %s)" % work)
        print("scale picture of channel 1: %.0f%% red before, %.0f%% red in the alarm flash"
              % (100 * before, 100 * seen))
    shutil.rmtree(work, ignore_errors=True)
    return 0


if __name__ == "__main__":
    sys.exit(main())
