#!/usr/bin/env bash
# The whole program under load: 24 channels live from 12 real-time paced capture devices at
# 48000 Hz, under a private Xvfb, for the given seconds. Prints the CPU of the program and of
# the X server (share of one core), the program's resident memory and the frames dropped.
# Needs pulseaudio and pulseaudio-utils (a private null sink paces the file devices).
# Usage: bench/capture_load.sh [build] [seconds]
set -euo pipefail
build=$(cd "${1:-build}" && pwd)
seconds=${2:-30}
work=$(mktemp -d)
pids=()
cleanup() { for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done; rm -rf "$work"; }
trap cleanup EXIT

export XDG_RUNTIME_DIR=$work/runtime HOME=$work/home XDG_CONFIG_HOME=$work/config
mkdir -p -m 700 "$XDG_RUNTIME_DIR" "$HOME"
cat > "$work/pa.pa" <<PA
load-module module-native-protocol-unix auth-anonymous=1
load-module module-null-sink sink_name=ostrel_null rate=48000 channels=2 format=s16le
set-default-sink ostrel_null
set-default-source ostrel_null.monitor
PA
pulseaudio -n -F "$work/pa.pa" --daemonize=no --exit-idle-time=-1 >/dev/null 2>&1 &
pids+=($!)
sleep 1
pacat --playback --device=ostrel_null --raw --rate=48000 --channels=2 --format=s16le \
  --latency-msec=20 /dev/zero &
pids+=($!)

# Twelve paced file devices, each a different steady tone, long enough for the run.
python3 - "$work" "$((seconds + 30))" <<'PY'
import math, struct, sys
work, secs = sys.argv[1], int(sys.argv[2])
conf = ['pcm.ostrel_pulsemon { type pulse; device "ostrel_null.monitor" }']
for k in range(1, 13):
    amp = 1000 * k
    period = [int(amp * math.sin(2 * math.pi * i / 48)) for i in range(48)]  # 1 kHz
    block = b"".join(struct.pack("<hh", s, s // 2) for s in period)
    with open(f"{work}/tone{k}.raw", "wb") as f:
        f.write(block * (1000 * secs))
    conf.append(f'pcm.ostrel_paced{k} {{ type file; slave.pcm "ostrel_pulsemon"; '
                f'file "/dev/null"; infile "{work}/tone{k}.raw"; format "raw" }}')
conf.append('pcm.!default "ostrel_pulsemon"')
open(f"{work}/asound.conf", "w").write("\n".join(conf) + "\n")
PY
export ALSA_CONFIG_PATH=$work/asound.conf

# The program numbers capture devices as PortAudio lists them; list_capture_devices prints
# that list, so each paced device's number can be stored for its input.
store=$XDG_CONFIG_HOME/ostrel/registry.sqlite3
mkdir -p "$(dirname "$store")"
"$build/bench/list_capture_devices" > "$work/devices.txt"
sqlite3 "$store" <<SQL
CREATE TABLE IF NOT EXISTS keys (root INTEGER NOT NULL, path TEXT NOT NULL COLLATE NOCASE, PRIMARY KEY (root, path));
CREATE TABLE IF NOT EXISTS "values" (root INTEGER NOT NULL, path TEXT NOT NULL COLLATE NOCASE, name TEXT NOT NULL COLLATE NOCASE, type INTEGER NOT NULL, data, PRIMARY KEY (root, path, name));
INSERT INTO keys VALUES (2147483649, 'Quandrel'), (2147483649, 'Quandrel\Brisolt 2013');
INSERT INTO "values" VALUES (2147483649, 'Quandrel\Brisolt 2013', 'is Sound', 4, 1),
  (2147483649, 'Quandrel\Brisolt 2013', 'rg Mode', 4, 4),
  (2147483649, 'Quandrel\Brisolt 2013', 'Samplerate', 4, 1);
SQL
for k in $(seq 12); do
  dev=$(grep -n "^ostrel_paced$k\$" "$work/devices.txt" | cut -d: -f1)
  [ -n "$dev" ] || { echo "device ostrel_paced$k not found"; cat "$work/devices.txt"; exit 1; }
  sqlite3 "$store" "INSERT INTO \"values\" VALUES (2147483649, 'Quandrel\Brisolt 2013', 'multi_$k', 4, $((dev - 1)))"
done

Xvfb -displayfd 3 -screen 0 1920x1080x24 -nolisten tcp 3>"$work/display" >/dev/null 2>&1 &
xvfb=$!
pids+=($xvfb)
for _ in $(seq 50); do [ -s "$work/display" ] && break; sleep 0.1; done
export DISPLAY=:$(head -n1 "$work/display")

(cd "$build" && exec ${OSTREL_WRAP:-} ./Ostrel) > "$work/ostrel.log" 2>&1 &
prog=$!
pids+=($prog)
sleep 5  # start-up pass done, all inputs running
ticks() { awk '{print $14 + $15}' "/proc/$1/stat"; }
hz=$(getconf CLK_TCK)
p0=$(ticks $prog); x0=$(ticks $xvfb); t0=$(date +%s.%N)
sleep "$seconds"
p1=$(ticks $prog); x1=$(ticks $xvfb); t1=$(date +%s.%N)
rss=$(awk '/VmRSS/ {print $2}' "/proc/$prog/status")
import -window root /tmp/capture_load.png 2>/dev/null || true
main=$(xdotool search --name "Multi Ostrel" | head -n1)
python3 "$(dirname "$0")/../tests/e2e/wm_close.py" "$main"
for _ in $(seq 100); do kill -0 $prog 2>/dev/null || break; sleep 0.1; done
awk -v p=$((p1 - p0)) -v x=$((x1 - x0)) -v hz="$hz" -v t0="$t0" -v t1="$t1" -v rss="$rss" 'BEGIN {
  wall = t1 - t0
  printf "program: %.2f %% of one core\nX server: %.2f %% of one core\ntogether: %.2f %%\n",
         100 * p / hz / wall, 100 * x / hz / wall, 100 * (p + x) / hz / wall
  printf "resident memory: %.1f MB\n", rss / 1024 }'
dropped=$(grep -o '[0-9]* captured frames were dropped' "$work/ostrel.log" | cut -d' ' -f1 || true)
echo "frames dropped: ${dropped:-0}"
echo "screenshot: /tmp/capture_load.png"
