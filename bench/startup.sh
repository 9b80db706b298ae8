#!/usr/bin/env bash
# Measures start-up of the Linux program: from exec to its window mapped on the X server, and
# from Esc to the process gone. Needs build/linux/velmora, Xvfb and xdotool.
set -euo pipefail
cd "$(dirname "$0")/.."
runs=${1:-10}
exe=build/linux/velmora
[ -x "$exe" ] || { echo "build $exe first: cmake --workflow --preset linux" >&2; exit 1; }

display=:$((90 + RANDOM % 100))
Xvfb "$display" -screen 0 1920x1080x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
trap 'kill $xvfb 2>/dev/null; wait 2>/dev/null || true' EXIT
sleep 1
export DISPLAY=$display QT_QPA_PLATFORM=xcb

ms() { echo $(( ($(date +%s%N) - $1) / 1000000 )); }
shown=() ended=()
for _ in $(seq "$runs"); do
  t0=$(date +%s%N)
  "$exe" 2>/dev/null &
  app=$!
  # Polled, not --sync: that waits half a second between looks.
  window=""
  for _ in $(seq 2000); do
    window=$(xdotool search --onlyvisible --name '^Velmora$' 2>/dev/null | head -n1) || true
    [ -n "$window" ] && break
  done
  shown+=("$(ms "$t0")")
  t1=$(date +%s%N)
  xdotool windowfocus --sync "$window" key Escape
  wait "$app"
  ended+=("$(ms "$t1")")
done
summary() { printf '%s\n' "$@" | sort -n | awk '{a[NR]=$1} END {printf "median %d ms, best %d ms, worst %d ms", a[int((NR+1)/2)], a[1], a[NR]}'; }
echo "exec to window shown:  $(summary "${shown[@]}")   ($runs runs)"
echo "Esc to process ended:  $(summary "${ended[@]}")"
