#!/usr/bin/env bash
# Pictures of the main window under a real window manager, frame included: docs/linux-idle.png
# at start, docs/linux-running.png two seconds after a click on the start button, and
# docs/linux-paused.png after a click on the pause button.
#
#   screenshot_linux.sh [path/to/velmora] [output folder]
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
app=${1:-$root/build/linux/velmora}
out=${2:-$root/docs}
[ -x "$app" ] || { echo "no program at $app: build it first (cmake --workflow --preset linux)" >&2; exit 1; }
for tool in import convert; do
    command -v "$tool" >/dev/null || { echo "ImageMagick's $tool is missing (scripts/install-deps.sh)" >&2; exit 1; }
done

source "$here/x11_session.sh"
x11_start 1920x1080
mkdir -p "$out"

QT_QPA_PLATFORM=xcb "$app" >"$x11_work/app.log" 2>&1 &
app_pid=$!
x11_pids+=("$app_pid")
window=$(x11_find_window "$app_pid") || x11_fail "no Velmora window: $(cat "$x11_work/app.log")"
settled() { [ "$(x11_outer_rect "$window")" == "799 361 321 357" ]; }
x11_wait_for 50 settled || x11_fail "the frame is $(x11_outer_rect "$window"), not 799 361 321 357"

read -r left top width height <<<"$(x11_outer_rect "$window")"
info=$(xwininfo -id "$window")
client_x=$(awk '/Absolute upper-left X:/ {print $4}' <<<"$info")
client_y=$(awk '/Absolute upper-left Y:/ {print $4}' <<<"$info")

shot() {
    sleep 0.25 # let the last change reach the screen
    import -window root -crop "${width}x${height}+${left}+${top}" +repage "$out/linux-$1.png"
    echo "wrote $out/linux-$1.png"
}
click_at() { # client x, y
    xdotool mousemove $((client_x + $1)) $((client_y + $2)) click 1
    xdotool mousemove $((left + width + 40)) $((top + height + 40)) # the pointer out of the picture
}

xdotool mousemove $((left + width + 40)) $((top + height + 40))
# The caret blinks: of a few pictures a quarter second apart, keep the one that shows it (the
# darkest start of the edit box).
best=""
for try in 1 2 3 4; do
    shot "idle-$try" >/dev/null
    darkness=$(convert "$out/linux-idle-$try.png" -crop 16x40+$((client_x - left + 18))+$((client_y - top + 88)) \
        -colorspace gray -format '%[fx:1-mean]' info:)
    if [ -z "$best" ] || awk "BEGIN {exit !($darkness > $best_darkness)}"; then
        best=$try
        best_darkness=$darkness
    fi
done
for try in 1 2 3 4; do
    if [ "$try" == "$best" ]; then
        mv "$out/linux-idle-$try.png" "$out/linux-idle.png"
    else
        rm -f "$out/linux-idle-$try.png"
    fi
done
echo "wrote $out/linux-idle.png"
click_at 80 212 # the start button, 24,184 112x56
sleep 2.2
shot running
click_at 232 212 # the pause button, 176,184 112x56
shot paused
xdotool key --clearmodifiers Escape
wait "$app_pid"
x11_forget "$app_pid"
