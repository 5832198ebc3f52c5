#!/usr/bin/env python3
"""Renews the screenshots of the manual (docs/images/*.png) from the real program under a
private Xvfb: eight channels live from file-backed ALSA devices playing tones of different
levels, with labels, then each window opened through the menu as a user would.

Usage: scripts/manual_screenshots.py [BUILD_DIR]   (needs Xvfb, xdotool, ImageMagick)"""

import os
import shutil
import subprocess
import sys
import tempfile
import time

here = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(here, "..", "tests", "e2e"))
import ostrel_e2e as e2e  # noqa: E402

IMAGES = os.path.join(here, "..", "docs", "images")
MENU_ITEMS = {"Level outfit": 55, "Select audio input": 77, "Level labels": 99,
              "Program Skin": 121, "Show Logfile": 144}  # offsets below the window's top


def main():
    build = os.path.abspath(sys.argv[1] if len(sys.argv) > 1 else "build")
    work = tempfile.mkdtemp(prefix="ostrel_shots_")
    try:
        devices = []
        for k, (left, right) in enumerate([(20000, 14000), (9000, 12000), (3000, 2500),
                                           (26000, 800)], start=1):
            raw = os.path.join(work, "tone%d.raw" % k)
            e2e.write_stereo_raw(raw, e2e.sine16(left), e2e.sine16(right), 44100 * 60)
            devices.append(("ostrel_tone%d" % k, raw))
        conf = os.path.join(work, "asound.conf")
        e2e.write_alsa_conf(conf, devices)
        settings = {"is Sound": 1, "rg Mode": 2, "rg Meter": 0}
        for k, (name, _) in enumerate(devices, start=1):
            settings["multi_%d" % k] = e2e.capture_device_number(conf, name)
        for n, label in enumerate(["Kck", "Snr", "OHL", "OHR", "Bas", "Gtr", "Vox", "Key"], 1):
            settings["Edit %d" % n] = label
        home = os.path.join(work, "config")
        e2e.seed_settings(home, settings)
        os.makedirs(IMAGES, exist_ok=True)
        with e2e.Session(os.path.join(build, "Ostrel"), home, conf, work) as s:
            x, y, _, _ = s.find_window()
            main_window = s.window
            time.sleep(3)  # the information window has gone, the meters have settled
            s.tool("import", "-window", main_window, os.path.join(IMAGES, "main.png"))
            for item, title, image in [("Level outfit", "Level settings", "settings.png"),
                                       ("Select audio input", "Multi Mode Input Setup",
                                        "input_setup.png"),
                                       ("Level labels", "Label for the Levels", "labels.png"),
                                       ("Program Skin", "Bars preference", "skins.png"),
                                       ("Show Logfile", "Logfile", "log.png")]:
                s.tool("xdotool", "mousemove", str(x + 25), str(y + 10), "click", "1")
                time.sleep(0.6)
                s.tool("xdotool", "mousemove", str(x + 68), str(y + MENU_ITEMS[item]),
                       "click", "1")
                time.sleep(1.5)
                found = s.tool("xdotool", "search", "--onlyvisible", "--name", "^%s$" % title)
                ids = found.stdout.split()
                if not ids:
                    e2e.fail("%r did not open %r" % (item, title))
                s.tool("import", "-window", ids[-1], os.path.join(IMAGES, image))
                s.tool("python3", os.path.join(here, "..", "tests", "e2e", "wm_close.py"),
                       ids[-1])
                time.sleep(0.8)
        print("screenshots written to", os.path.normpath(IMAGES))
    finally:
        shutil.rmtree(work, ignore_errors=True)


if __name__ == "__main__":
    main()
