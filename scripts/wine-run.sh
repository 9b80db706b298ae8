#!/usr/bin/env bash
# Runs a Windows executable of a build tree under Wine, in that build tree's own prefix
# (BUILD/wineprefix, made ready on first use) and on its virtual display when one is running
# (scripts/wine-session.sh start). CMake uses it as the emulator of cross-built tests:
#   wine-run.sh BUILD/tests/velmora_sim_tests.exe [arguments...]
set -euo pipefail

if [ $# -lt 1 ]; then
  echo "usage: wine-run.sh PROGRAM.exe [ARGUMENT...]" >&2
  exit 2
fi
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)

# The build tree is the nearest directory above the program that holds a CMakeCache.txt.
build=$(cd "$(dirname "$1")" && pwd)
while [ "$build" != / ] && [ ! -f "$build/CMakeCache.txt" ]; do
  build=$(dirname "$build")
done
if [ ! -f "$build/CMakeCache.txt" ]; then
  echo "wine-run.sh: $1 is not inside a build tree" >&2
  exit 2
fi

"$here/wine-session.sh" prefix "$build"
# shellcheck source=/dev/null
source <("$here/wine-session.sh" env "$build")
exec wine "$@"
