#!/usr/bin/env bash
# The real program under Xvfb: first start with an empty store, the input setup confirmed,
# the main window moved and closed by a window-manager close; the store then holds every
# value of the close step, and the next start puts the window back where it was left.
# Usage: first_start_restart.sh BUILD_DIR
set -euo pipefail
build=$(cd "$1" && pwd)
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
pids=()
cleanup() {
  for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done
  rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "FAIL: $*"; exit 1; }

Xvfb -displayfd 3 -screen 0 1920x1080x24 -nolisten tcp 3>"$work/display" >/dev/null 2>&1 &
pids+=($!)
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
export DISPLAY=:$(head -n1 "$work/display")
# The tests around it run headless; this one needs real X windows.
export QT_QPA_PLATFORM=xcb
export XDG_CONFIG_HOME=$work/config XDG_RUNTIME_DIR=$work/runtime
mkdir -m 700 "$XDG_RUNTIME_DIR"
# No sound card: a self-contained ALSA configuration with nothing but a null device.
printf 'pcm.!default { type null }\nctl.!default { type hw card 0 }\n' > "$work/asound.conf"
export ALSA_CONFIG_PATH=$work/asound.conf
store=$XDG_CONFIG_HOME/ostrel/registry.sqlite3
key="root = 2147483649 AND path = 'Quandrel\\Brisolt 2013'"

wait_for_window() {  # name -> window id
  local id=""
  for _ in $(seq 200); do
    id=$(xdotool search --onlyvisible --name "$1" 2>/dev/null | head -n1 || true)
    [ -n "$id" ] && { echo "$id"; return 0; }
    sleep 0.1
  done
  return 1
}
wait_for_exit() {
  for _ in $(seq 200); do kill -0 "$1" 2>/dev/null || return 0; sleep 0.1; done
  return 1
}

# ---- First start ------------------------------------------------------------------------
(cd "$build" && exec ./Ostrel) > "$work/run1.log" 2>&1 &
prog=$!
pids+=($prog)
setup=$(wait_for_window "Multi Mode Input Setup") || fail "the input setup did not open at first start"
eval "$(xdotool getwindowgeometry --shell "$setup")"
# Click "OK" (bottom right, left of "Cancel").
xdotool mousemove $((X + WIDTH - 155)) $((Y + HEIGHT - 27)) click 1
for _ in $(seq 100); do
  [ "$(sqlite3 "$store" "SELECT data FROM \"values\" WHERE $key AND name = 'is Sound'" 2>/dev/null)" = 1 ] && break
  sleep 0.1
done
[ "$(sqlite3 "$store" "SELECT data FROM \"values\" WHERE $key AND name = 'is Sound'")" = 1 ] ||
  fail "OK in the input setup did not store \"is Sound\""

main=$(wait_for_window "Multi Ostrel") || fail "no main window"
xdotool windowmove "$main" 137 61
sleep 0.5
python3 "$here/wm_close.py" "$main"
wait_for_exit "$prog" || fail "the program did not end after its main window was closed"

# Every value of the close step, under its name and kind.
names=()
for n in $(seq 24); do
  for p in "Level Delay" "Level Speed" "Level Decay" "Level NumPeaks" "Level Sensi" \
           "Level Bar1Color" "Level Bar2Color" "Level Bar3Color" "Level Point1" "Level Point2" \
           "LedColor"; do
    names+=("$p$n")
  done
done
names+=("Point1" "rg Meter" "rg Integral ms" "rg Interval" "rg Integral" "rg Stereo" "Peaks nr"
        "PSpot Space" "Leave Peaks" "rg Mode" "Window Left" "Window Top" "Window height"
        "Input Mode" "db_value" "sec_value" "nEdit2" "db_value2" "cb detect" "Stay Top" "arlam sec")
missing=0
for name in "${names[@]}"; do
  kind=$(sqlite3 "$store" "SELECT type || typeof(data) FROM \"values\" WHERE $key AND name = '$name'")
  [ "$kind" = "4integer" ] || { echo "missing or wrong kind: $name ($kind)"; missing=$((missing + 1)); }
done
kind=$(sqlite3 "$store" "SELECT type || typeof(data) FROM \"values\" WHERE $key AND name = 'arlam file'")
[ "$kind" = "1text" ] || { echo "missing or wrong kind: arlam file ($kind)"; missing=$((missing + 1)); }
[ "$missing" = 0 ] || fail "$missing values of the close step are not in the store"
[ "$(sqlite3 "$store" "SELECT data FROM \"values\" WHERE $key AND name = 'Window Left'")" = 137 ] ||
  fail "Window Left is not where the window was left"
[ "$(sqlite3 "$store" "SELECT data FROM \"values\" WHERE $key AND name = 'Window Top'")" = 61 ] ||
  fail "Window Top is not where the window was left"
[ "$(sqlite3 "$store" "PRAGMA integrity_check")" = ok ] || fail "the store is damaged"

# ---- Second start: no setup window, the main window where it was left --------------------
(cd "$build" && exec ./Ostrel) > "$work/run2.log" 2>&1 &
prog=$!
pids+=($prog)
main=$(wait_for_window "Multi Ostrel") || fail "no main window at the second start"
sleep 0.5
xdotool search --onlyvisible --name "Multi Mode Input Setup" >/dev/null 2>&1 &&
  fail "the input setup opened again although it was confirmed"
eval "$(xdotool getwindowgeometry --shell "$main")"
[ "$X" = 137 ] && [ "$Y" = 61 ] || fail "the window came back at $X,$Y instead of 137,61"
python3 "$here/wm_close.py" "$main"
wait_for_exit "$prog" || fail "the program did not end at the second close"
echo "first start, close and restart: all values stored and restored"
