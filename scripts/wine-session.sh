#!/usr/bin/env bash
# The Wine session of a build tree: a prefix of its own under BUILD/wineprefix and, for the tests
# that open windows, one virtual 1920 x 1080 display.
#
#   wine-session.sh prefix BUILD   make the prefix ready (once; later calls return at once)
#   wine-session.sh start BUILD    the prefix, then Xvfb on a free display number
#   wine-session.sh env BUILD      print the exports that run Wine in this session
#   wine-session.sh stop BUILD     end the session's wineserver and its Xvfb, whatever state
#                                  they are in
#
# The prefix is set up as a Windows system with East Asian support is: the UI fonts link to a
# CJK font (here WenQuanYi Micro Hei from Debian's fonts-wqy-microhei), so that DEFAULT_GUI_FONT
# draws Chinese captions instead of empty boxes while the program stays on DEFAULT_GUI_FONT.
set -euo pipefail

if [ $# -ne 2 ]; then
  echo "usage: wine-session.sh prefix|start|env|stop BUILD_DIR" >&2
  exit 2
fi
command=$1
build=$(cd "$2" && pwd)
session="$build/wine-session"
prefix="$build/wineprefix"
mkdir -p "$session"

cjk_font=/usr/share/fonts/truetype/wqy/wqy-microhei.ttc
cjk_face="WenQuanYi Micro Hei"
wine_fonts=/usr/share/wine/fonts

wine_env() {
  export WINEPREFIX="$prefix"
  export WINEDEBUG="${WINEDEBUG:--all}"
  # No Mono and no Gecko: nothing here needs them, and fetching them is not possible.
  export WINEDLLOVERRIDES="mscoree,mshtml="
  export WINEARCH=win64
  if [ -s "$session/display" ]; then
    DISPLAY=":$(cat "$session/display")"
    export DISPLAY
  fi
}

# Runs a Wine tool for the prefix: no display, output to the log, and without the lock's
# descriptor, which a wineserver left running would otherwise hold on to.
offscreen() {
  (unset DISPLAY; "$@") >>"$session/wineboot.log" 2>&1 9>&-
}

make_prefix() {
  wine_env
  if [ -f "$prefix/.velmora-ready" ]; then
    return 0
  fi
  local font
  for font in "$cjk_font" "$wine_fonts/tahoma.ttf" "$wine_fonts/marlett.ttf"; do
    if [ ! -f "$font" ]; then
      echo "wine-session.sh: $font is missing (scripts/install-deps.sh installs it)" >&2
      exit 1
    fi
  done
  rm -rf "$prefix"
  : >"$session/wineboot.log"
  # wineboot shows no window of its own when there is no display to show it on.
  offscreen wineboot -i
  offscreen wineserver -w
  mkdir -p "$prefix/drive_c/windows/Fonts"
  # Wine's own faces (Tahoma behind DEFAULT_GUI_FONT, Marlett for the title-bar boxes) from
  # Debian's fonts-wine, which this Wine does not look for by itself, and the CJK font.
  cp "$wine_fonts"/*.ttf "$prefix/drive_c/windows/Fonts/"
  cp "$cjk_font" "$prefix/drive_c/windows/Fonts/"
  local link face
  link="$(basename "$cjk_font"),$cjk_face"
  local key='HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontLink\SystemLink'
  for face in "Tahoma" "MS Shell Dlg" "MS Shell Dlg 2" "Microsoft Sans Serif" "Segoe UI"; do
    offscreen wine reg add "$key" /v "$face" /t REG_MULTI_SZ /d "$link" /f
  done
  # No window manager runs on the virtual display: Wine draws the frames itself, as Windows
  # does, so that the title bar with its boxes is there to be seen and clicked.
  offscreen wine reg add 'HKCU\Software\Wine\X11 Driver' /v Decorated /d N /f
  offscreen wineserver -w
  touch "$prefix/.velmora-ready"
}

case "$command" in
prefix)
  # Serialised: two tests may be the first to ask.
  exec 9>"$session/prefix.lock"
  flock 9
  make_prefix
  ;;
start)
  exec 9>"$session/prefix.lock"
  flock 9
  make_prefix
  if [ -s "$session/xvfb.pid" ] && kill -0 "$(cat "$session/xvfb.pid")" 2>/dev/null; then
    exit 0
  fi
  rm -f "$session/display" "$session/xvfb.pid"
  # A display number well away from the usual ones, tried until one is free. Xvfb is detached
  # from our output, so that CTest does not wait for it to end.
  for _ in $(seq 20); do
    n=$((200 + RANDOM % 700))
    [ -e "/tmp/.X$n-lock" ] && continue
    setsid Xvfb ":$n" -screen 0 1920x1080x24 -nolisten tcp 9>&- \
      </dev/null >"$session/xvfb.log" 2>&1 &
    pid=$!
    for _ in $(seq 100); do
      [ -S "/tmp/.X11-unix/X$n" ] && break
      kill -0 "$pid" 2>/dev/null || break
      sleep 0.1
    done
    if kill -0 "$pid" 2>/dev/null && [ -S "/tmp/.X11-unix/X$n" ]; then
      echo "$pid" >"$session/xvfb.pid"
      echo "$n" >"$session/display"
      break
    fi
    kill "$pid" 2>/dev/null || true
  done
  if [ ! -s "$session/display" ]; then
    echo "wine-session.sh: Xvfb did not start; its log:" >&2
    cat "$session/xvfb.log" >&2
    exit 1
  fi
  echo "wine-session.sh: display :$(cat "$session/display")"
  ;;
env)
  wine_env
  echo "export WINEPREFIX='$WINEPREFIX' WINEDEBUG='$WINEDEBUG'" \
    "WINEDLLOVERRIDES='$WINEDLLOVERRIDES' WINEARCH='$WINEARCH'"
  if [ -n "${DISPLAY:-}" ]; then echo "export DISPLAY='$DISPLAY'"; fi
  ;;
stop)
  wine_env
  wineserver -k 2>/dev/null || true
  if [ -s "$session/xvfb.pid" ]; then
    pid=$(cat "$session/xvfb.pid")
    if kill -0 "$pid" 2>/dev/null; then
      kill "$pid" 2>/dev/null || true
      for _ in $(seq 50); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
      kill -9 "$pid" 2>/dev/null || true
    fi
  fi
  rm -f "$session/display" "$session/xvfb.pid"
  ;;
*)
  echo "wine-session.sh: unknown command $command" >&2
  exit 2
  ;;
esac
