#!/usr/bin/env bash
# Screenshots of the Windows build under Wine, for anyone to look at: the window idle, while
# timing runs and paused, as docs/windows-idle.png, docs/windows-running.png and
# docs/windows-paused.png. Needs a build (cmake --workflow --preset windows, or its build step).
#
#   scripts/screenshot-windows.sh [BUILD_DIR]     (default: build/windows)
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=$(cd "${1:-$root/build/windows}" && pwd)
program="$build/velmora.exe"
driver="$build/tests/win32/velmora_driver.exe"
for file in "$program" "$driver"; do
  if [ ! -f "$file" ]; then
    echo "screenshot-windows.sh: $file is missing; build first (cmake --workflow --preset windows)" >&2
    exit 1
  fi
done

session="$root/scripts/wine-session.sh"
# A session that was already running (a test run, say) is left as it was found.
owned=yes
if [ -s "$build/wine-session/xvfb.pid" ] && kill -0 "$(cat "$build/wine-session/xvfb.pid")" 2>/dev/null; then
  owned=no
fi
finish() {
  if [ "$owned" = yes ]; then "$session" stop "$build"; fi
}
trap finish EXIT
"$session" start "$build" >/dev/null
# shellcheck source=/dev/null
source <("$session" env "$build")

mkdir -p "$root/docs"
for state in idle running paused; do
  # To a file, not a pipe: the program the driver leaves running would hold a pipe open.
  wine "$driver" "show-$state" "$program" >"$build/wine-session/show.txt"
  geometry=$(sed -n 's/^window //p' "$build/wine-session/show.txt" | tr -d '\r')
  if [ -z "$geometry" ]; then
    echo "screenshot-windows.sh: the program did not reach the $state state" >&2
    exit 1
  fi
  import -display "$DISPLAY" -window root -crop "$geometry" +repage "$root/docs/windows-$state.png"
  echo "docs/windows-$state.png ($geometry)"
  wineserver -k # ends the program; the next state starts afresh
  wineserver -w
done
