#!/usr/bin/env bash
# The main window under a real window manager: its outer frame, frame included, is 321 x 357
# centred on a 1920 x 1080 screen (799, 361); the size hints pin the size; there is no way to
# maximise it, the title bar's double click included; Esc and the window manager's close
# (WM_DELETE_WINDOW, as the close box sends it) each end the program with exit code 0.
#
#   xvfb_window_test.sh path/to/velmora
set -uo pipefail

app=${1:?usage: xvfb_window_test.sh path/to/velmora}
source "$(dirname "$0")/x11_session.sh"
x11_start 1920x1080

failures=0
check() { # what, expected, actual
    if [ "$2" == "$3" ]; then
        echo "ok: $1: $3"
    else
        echo "FAIL: $1: expected $2, got $3" >&2
        failures=$((failures + 1))
    fi
}

launch() {
    QT_QPA_PLATFORM=xcb "$app" >"$x11_work/app.log" 2>&1 &
    app_pid=$!
    x11_pids+=("$app_pid")
    window=$(x11_find_window "$app_pid") || x11_fail "no Velmora window: $(cat "$x11_work/app.log")"
}

# Waits up to 10 s for the program to end by itself (a zombie has ended: nobody has collected
# its status yet), then puts its exit code in $code; one that does not end is killed.
app_ended() {
    local state
    state=$(ps -o stat= -p "$app_pid" 2>/dev/null) || return 0
    [[ $state == Z* ]]
}
wait_exit() {
    x11_wait_for 100 app_ended || kill "$app_pid" 2>/dev/null
    code=0
    wait "$app_pid" || code=$?
    x11_forget "$app_pid"
}

expected_outer="799 361 321 357"

# --- geometry, hints, actions; then Esc ----------------------------------------------------------
launch
# The client is fitted once the window manager has said how wide its frame is.
settled() { [ "$(x11_outer_rect "$window")" == "$expected_outer" ]; }
x11_wait_for 50 settled
check "outer frame (left top width height)" "$expected_outer" "$(x11_outer_rect "$window")"

hints=$(xprop -id "$window" WM_NORMAL_HINTS)
min=$(sed -n 's/.*minimum size: \([0-9]* by [0-9]*\).*/\1/p' <<<"$hints")
max=$(sed -n 's/.*maximum size: \([0-9]* by [0-9]*\).*/\1/p' <<<"$hints")
client=$(xwininfo -id "$window" | awk '/^ *Width:/ {w=$2} /^ *Height:/ {h=$2} END {print w " by " h}')
check "minimum size hint" "$client" "$min"
check "maximum size hint" "$client" "$max"

actions=$(xprop -id "$window" _NET_WM_ALLOWED_ACTIONS)
check "maximise among the allowed actions" "no" "$(grep -q MAXIMIZE <<<"$actions" && echo yes || echo no)"
check "minimise among the allowed actions" "yes" "$(grep -q _NET_WM_ACTION_MINIMIZE <<<"$actions" && echo yes || echo no)"
check "close among the allowed actions" "yes" "$(grep -q _NET_WM_ACTION_CLOSE <<<"$actions" && echo yes || echo no)"
check "title" '_NET_WM_NAME(UTF8_STRING) = "Velmora"' "$(xprop -id "$window" _NET_WM_NAME)"

# A double click on the title bar, which maximises a window that allows it.
read -r left top _ _ <<<"$(x11_outer_rect "$window")"
xdotool mousemove $((left + 40)) $((top + 8)) click --repeat 2 --delay 100 1
sleep 0.5
check "outer frame after a double click on the title bar" "$expected_outer" "$(x11_outer_rect "$window")"
check "maximised state" "no" "$(xprop -id "$window" _NET_WM_STATE | grep -q MAXIMIZED && echo yes || echo no)"

xdotool windowactivate --sync "$window" >/dev/null 2>&1 || true
xdotool key --clearmodifiers Escape
wait_exit
check "exit code after Esc" 0 "$code"

# --- the window manager's close ------------------------------------------------------------------
launch
xdotool windowactivate --sync "$window" >/dev/null 2>&1 || true
# openbox's stock binding for Close, which sends WM_DELETE_WINDOW like the close box.
xdotool key --clearmodifiers alt+F4
wait_exit
check "exit code after the window manager's close" 0 "$code"

if [ "$failures" -gt 0 ]; then
    echo "$failures check(s) failed" >&2
    exit 1
fi
echo "all checks passed"
