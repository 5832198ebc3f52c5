#!/usr/bin/env bash
# CPU of the program and of the X server while 24 meters follow a moving signal at 1000
# readings per second each, under a private Xvfb. Usage: bench/display_load.sh [build] [seconds]
set -euo pipefail
build=${1:-build}
seconds=${2:-20}
fdfile=$(mktemp)
Xvfb -displayfd 3 -screen 0 1920x1080x24 -nolisten tcp 3>"$fdfile" >/dev/null 2>&1 &
xvfb=$!
trap 'kill $xvfb 2>/dev/null || true; rm -f "$fdfile"' EXIT
for _ in $(seq 50); do [ -s "$fdfile" ] && break; sleep 0.1; done
export DISPLAY=:$(head -n1 "$fdfile") XDG_CONFIG_HOME=$(mktemp -d)

ticks() { awk '{print $14 + $15}' "/proc/$1/stat"; }
hz=$(getconf CLK_TCK)

"$build/bench/load_display" "$seconds" > /tmp/load_display.out &
prog=$!
sleep 2.5                       # window up and warmed
p0=$(ticks $prog); x0=$(ticks $xvfb); t0=$(date +%s.%N)
sleep "$seconds"
p1=$(ticks $prog); x1=$(ticks $xvfb); t1=$(date +%s.%N)
import -window root /tmp/display_load.png 2>/dev/null || true
wait $prog
cat /tmp/load_display.out
awk -v p=$((p1 - p0)) -v x=$((x1 - x0)) -v hz="$hz" -v t0="$t0" -v t1="$t1" 'BEGIN {
  wall = t1 - t0
  printf "program: %.2f %% of one core\nX server: %.2f %% of one core\ntogether: %.2f %%\n",
         100 * p / hz / wall, 100 * x / hz / wall, 100 * (p + x) / hz / wall }'
echo "screenshot: /tmp/display_load.png"
