"""Shared pieces of the end-to-end tests: each test runs the real Ostrel program on its own
Xvfb display, with its own settings store and its own ALSA configuration whose capture
devices play raw files the test writes itself (no sound card needed). Only the Python
standard library and command-line tools (Xvfb, xdotool, ImageMagick, sqlite3) are used."""

import math
import os
import signal
import sqlite3
import struct
import subprocess
import sys
import tempfile
import time

ROOT = 2147483649  # the per-user part of the store
KEY = "Quandrel\\Brisolt 2013"

# Colours as (r, g, b) on screen.
BLACK = (0, 0, 0)
LIME = (0, 255, 0)
YELLOW = (255, 255, 0)
RED = (255, 0, 0)
TEAL = (0, 128, 128)
MAROON = (128, 0, 0)
LIT = {LIME, YELLOW, RED}
UNLIT = {TEAL, MAROON}


def fail(message):
    print("FAIL: " + message, file=sys.stderr)
    sys.exit(1)


def write_stereo_raw(path, left, right, frames):
    """Writes `frames` frames of 16-bit little-endian interleaved stereo; left and right are
    functions of the frame number giving the sample value."""
    with open(path, "wb") as f:
        chunk = 4096
        for start in range(0, frames, chunk):
            n = min(chunk, frames - start)
            f.write(struct.pack("<%dh" % (2 * n),
                                *[v for i in range(start, start + n)
                                  for v in (left(i), right(i))]))


def sine16(amplitude):
    """A sine with a 16-sample period: any 16 consecutive samples hold the exact peak
    (sample 4 of each period is amplitude * sin(pi/2)), so every measured block of the
    meter sees the same peak, also where ALSA repeats the file's last period."""
    return lambda i: int(round(amplitude * math.sin(2 * math.pi * (i % 16) / 16)))


def write_alsa_conf(path, devices):
    """devices: list of (pcm name, raw file). The first one is also the default PCM, which
    PortAudio's ALSA scan needs to exist."""
    text = ""
    for name, raw in devices:
        text += ('pcm.%s {\n  type file\n  slave.pcm { type null }\n  file "/dev/null"\n'
                 '  infile "%s"\n  format "raw"\n}\n' % (name, raw))
    text += "pcm.!default %s\n" % devices[0][0]
    with open(path, "w") as f:
        f.write(text)


_PA_PROBE = r"""
import ctypes, sys
class Info(ctypes.Structure):
    _fields_ = [('structVersion', ctypes.c_int), ('name', ctypes.c_char_p),
                ('hostApi', ctypes.c_int), ('maxInputChannels', ctypes.c_int),
                ('maxOutputChannels', ctypes.c_int)] + \
               [(n, ctypes.c_double) for n in ('li', 'lo', 'hi', 'ho', 'rate')]
pa = ctypes.CDLL('libportaudio.so.2')
pa.Pa_GetDeviceInfo.restype = ctypes.POINTER(Info)
if pa.Pa_Initialize() != 0:
    sys.exit(2)
names = []
for i in range(pa.Pa_GetDeviceCount()):
    d = pa.Pa_GetDeviceInfo(i).contents
    if d.maxInputChannels > 0:
        names.append(d.name.decode())
pa.Pa_Terminate()
print('\n'.join(names))
"""


def capture_device_number(alsa_conf, pcm_name):
    """The program numbers capture devices as PortAudio lists its input-capable devices;
    ask PortAudio itself (through ctypes) under the same ALSA configuration."""
    env = dict(os.environ, ALSA_CONFIG_PATH=alsa_conf)
    out = subprocess.run([sys.executable, "-c", _PA_PROBE], env=env, capture_output=True,
                         text=True, timeout=60)
    if out.returncode != 0:
        fail("PortAudio probe failed: " + out.stderr[-500:])
    names = out.stdout.splitlines()
    if pcm_name not in names:
        fail("capture device %s not listed by PortAudio: %s" % (pcm_name, names))
    return names.index(pcm_name)


def seed_settings(config_home, values):
    """values: name -> int (REG_DWORD) or str (text)."""
    os.makedirs(os.path.join(config_home, "ostrel"), exist_ok=True)
    db = sqlite3.connect(os.path.join(config_home, "ostrel", "registry.sqlite3"))
    db.execute("CREATE TABLE IF NOT EXISTS keys (root INTEGER NOT NULL, path TEXT NOT NULL "
               "COLLATE NOCASE, PRIMARY KEY (root, path))")
    db.execute('CREATE TABLE IF NOT EXISTS "values" (root INTEGER NOT NULL, path TEXT NOT '
               "NULL COLLATE NOCASE, name TEXT NOT NULL COLLATE NOCASE, type INTEGER NOT "
               "NULL, data, PRIMARY KEY (root, path, name))")
    db.executemany("INSERT OR REPLACE INTO keys VALUES (?, ?)",
                   [(ROOT, "Quandrel"), (ROOT, KEY)])
    db.executemany('INSERT OR REPLACE INTO "values" VALUES (?, ?, ?, ?, ?)',
                   [(ROOT, KEY, name, 4 if isinstance(v, int) else 1, v)
                    for name, v in values.items()])
    db.commit()
    db.close()


class Screen:
    """One screenshot as raw RGB bytes."""

    def __init__(self, data, width, height):
        self.data, self.width, self.height = data, width, height

    def pixel(self, x, y):
        i = 3 * (y * self.width + x)
        return tuple(self.data[i:i + 3])


class Session:
    """Xvfb + the program, torn down on exit whatever happens."""

    WIDTH, HEIGHT = 1920, 1080

    def __init__(self, program, config_home, alsa_conf, workdir):
        self.program, self.config_home, self.alsa_conf = program, config_home, alsa_conf
        self.workdir = workdir
        self.xvfb = self.app = None
        self.window = None

    def __enter__(self):
        r, w = os.pipe()
        self.xvfb = subprocess.Popen(
            ["Xvfb", "-displayfd", str(w), "-screen", "0",
             "%dx%dx24" % (self.WIDTH, self.HEIGHT), "-nolisten", "tcp"],
            pass_fds=(w,), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        os.close(w)
        number = b""
        deadline = time.monotonic() + 30
        while not number.endswith(b"\n") and time.monotonic() < deadline:
            chunk = os.read(r, 16)
            if not chunk:
                break
            number += chunk
        os.close(r)
        if not number.strip():
            self.__exit__(None, None, None)
            fail("Xvfb did not report a display")
        self.display = ":" + number.decode().strip()
        runtime = os.path.join(self.workdir, "runtime")
        os.makedirs(runtime, mode=0o700, exist_ok=True)
        self.env = dict(os.environ, DISPLAY=self.display, XDG_CONFIG_HOME=self.config_home,
                        ALSA_CONFIG_PATH=self.alsa_conf, XDG_RUNTIME_DIR=runtime,
                        QT_QPA_PLATFORM="xcb", HOME=self.workdir)
        self.log = open(os.path.join(self.workdir, "program.log"), "w")
        self.app = subprocess.Popen([self.program], env=self.env, stdout=self.log,
                                    stderr=subprocess.STDOUT)
        return self

    def __exit__(self, *exc):
        for proc in (self.app, self.xvfb):
            if proc is not None and proc.poll() is None:
                proc.send_signal(signal.SIGTERM)
                try:
                    proc.wait(timeout=5)
                except subprocess.TimeoutExpired:
                    proc.kill()
                    proc.wait()
        return False

    def tool(self, *args):
        return subprocess.run(list(args), env=self.env, capture_output=True, text=True,
                              timeout=30)

    def find_window(self, title="Multi Ostrel", timeout=30):
        """Returns (x, y, width, height) of the program's main window."""
        deadline = time.monotonic() + timeout
        while time.monotonic() < deadline:
            if self.app.poll() is not None:
                fail("the program ended early with code %d" % self.app.returncode)
            found = self.tool("xdotool", "search", "--onlyvisible", "--name", title)
            ids = found.stdout.split()
            if ids:
                self.window = ids[0]
                geo = self.tool("xdotool", "getwindowgeometry", "--shell", self.window)
                g = dict(line.split("=", 1) for line in geo.stdout.split())
                return int(g["X"]), int(g["Y"]), int(g["WIDTH"]), int(g["HEIGHT"])
            time.sleep(0.2)
        fail("no window named %r appeared" % title)

    def screenshot(self, save_as=None):
        path = save_as or os.path.join(self.workdir, "shot.png")
        got = self.tool("import", "-window", "root", path)
        if got.returncode != 0:
            fail("screenshot failed: " + got.stderr)
        raw = subprocess.run(["convert", path, "-depth", "8", "rgb:-"], capture_output=True,
                             timeout=30).stdout
        if len(raw) != 3 * self.WIDTH * self.HEIGHT:
            fail("unexpected screenshot size %d" % len(raw))
        return Screen(raw, self.WIDTH, self.HEIGHT)


def grab(session, x, y, width, height):
    """A rectangle of the screen as raw RGB bytes in one quick step (no file), for polling
    short-lived pictures such as the 450 ms alarm flash."""
    got = subprocess.run(["import", "-window", "root", "-crop",
                          "%dx%d+%d+%d" % (width, height, x, y), "-depth", "8", "rgb:-"],
                         env=session.env, capture_output=True, timeout=30)
    if got.returncode != 0 or len(got.stdout) != 3 * width * height:
        fail("screen grab failed: " + got.stderr.decode(errors="replace"))
    return got.stdout


def find_meter(screen, window, min_run=300):
    """Finds the inner area of the leftmost vertical level meter inside the window: the
    leftmost column holding a long unbroken run of meter pixels (spot colours and the black
    rows between spots) with many coloured ones, bordered on its left by the bevel. Returns
    (left, top, bottom) in screen pixels, bottom inclusive."""
    wx, wy, ww, wh = window
    meter = LIT | UNLIT | {BLACK}
    for x in range(max(wx, 1), min(wx + ww, screen.width)):
        run_start, coloured = None, 0
        for y in range(wy, min(wy + wh, screen.height) + 1):
            p = screen.pixel(x, y) if y < min(wy + wh, screen.height) else None
            if p in meter:
                if run_start is None:
                    run_start, coloured = y, 0
                if p != BLACK:
                    coloured += 1
            else:
                if run_start is not None and y - run_start >= min_run and \
                        coloured >= (y - run_start) // 3 and \
                        screen.pixel(x - 1, run_start) not in meter:
                    return x, run_start, y - 1
                run_start = None
    return None
