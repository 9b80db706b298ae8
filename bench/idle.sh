#!/usr/bin/env bash
# Measures what the Linux program costs while it waits: CPU time and thread wake-ups over a quiet
# stretch, idle (before the start click) and while timing runs (one tick a second).
# Needs build/linux/velmora (cmake --workflow --preset linux) and Xvfb, xdotool.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-10}
exe=build/linux/velmora
[ -x "$exe" ] || { echo "build $exe first: cmake --workflow --preset linux" >&2; exit 1; }

display=:$((90 + RANDOM % 100))
Xvfb "$display" -screen 0 1920x1080x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
cleanup() { kill "$app" "$xvfb" 2>/dev/null || true; wait 2>/dev/null || true; }
trap cleanup EXIT
sleep 1
DISPLAY=$display QT_QPA_PLATFORM=xcb "$exe" &
app=$!
window=$(DISPLAY=$display timeout 10 xdotool search --sync --onlyvisible --name '^Velmora$' | head -n1)
# Let start-up settle, and the caret stop blinking as it does after a while without input.
sleep "${settle:-12}"

ticks_per_second=$(getconf CLK_TCK)
cpu_ticks() { awk '{print $14 + $15}' "/proc/$app/stat"; }
switches() {
  cat /proc/"$app"/task/*/status | awk '/^voluntary_ctxt_switches|^nonvoluntary_ctxt_switches/ {n += $2} END {print n}'
}
measure() {
  local label=$1 c0 s0 c1 s1
  c0=$(cpu_ticks); s0=$(switches)
  sleep "$seconds"
  c1=$(cpu_ticks); s1=$(switches)
  awk -v l="$label" -v c=$((c1 - c0)) -v s=$((s1 - s0)) -v t="$seconds" -v hz="$ticks_per_second" \
    'BEGIN {printf "%-8s CPU %6.1f ms over %d s   wake-ups %6.1f per second\n", l, c * 1000 / hz, t, s / t}'
}

measure idle
# 按钮1 sits at 24,184 (112 x 56) in the client area.
DISPLAY=$display xdotool mousemove --window "$window" 80 212 click 1
sleep 0.2
measure timing
