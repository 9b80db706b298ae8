# Sourced by the scripts that need a real X display: a virtual X server on a free display and a
# window manager that draws frames (openbox with its stock settings), both stopped on exit
# together with every process registered in x11_pids.
#
#   source x11_session.sh; x11_start 1920x1080    then DISPLAY is set

x11_pids=()
x11_work=$(mktemp -d)

x11_stop() {
    local pid
    for pid in "${x11_pids[@]}"; do
        kill "$pid" 2>/dev/null || true
    done
    for pid in "${x11_pids[@]}"; do
        wait "$pid" 2>/dev/null || true
    done
    rm -rf "$x11_work"
}
trap x11_stop EXIT
# A signal ends the script through its exit, so the cleanup runs then too.
trap 'exit 143' TERM
trap 'exit 130' INT
trap 'exit 129' HUP

# Drops a process that the caller has waited for already.
x11_forget() {
    local pid kept=()
    for pid in "${x11_pids[@]}"; do
        [ "$pid" == "$1" ] || kept+=("$pid")
    done
    x11_pids=("${kept[@]}")
}

x11_fail() {
    echo "FAIL: $*" >&2
    exit 1
}

# Runs the command until it succeeds, at most $1 tenths of a second.
x11_wait_for() {
    local tenths=$1
    shift
    local i
    for ((i = 0; i < tenths; i++)); do
        if "$@" >/dev/null 2>&1; then
            return 0
        fi
        sleep 0.1
    done
    return 1
}

x11_start() {
    local screen=$1
    local tool
    for tool in Xvfb openbox xprop xwininfo xdotool; do
        command -v "$tool" >/dev/null || x11_fail "$tool is missing (scripts/install-deps.sh installs it)"
    done
    # -displayfd: the server picks a free display and writes its number once it accepts clients.
    Xvfb -displayfd 3 -screen 0 "${screen}x24" -nolisten tcp 3>"$x11_work/display" \
        2>"$x11_work/xvfb.log" &
    x11_pids+=($!)
    x11_wait_for 100 test -s "$x11_work/display" ||
        x11_fail "Xvfb did not start: $(cat "$x11_work/xvfb.log")"
    export DISPLAY=":$(head -n1 "$x11_work/display")"
    # The stock settings, never the user's own.
    XDG_CONFIG_HOME="$x11_work/config" openbox --sm-disable >"$x11_work/openbox.log" 2>&1 &
    x11_pids+=($!)
    x11_wait_for 100 sh -c 'xprop -root _NET_SUPPORTING_WM_CHECK | grep -q "window id"' ||
        x11_fail "openbox did not start: $(cat "$x11_work/openbox.log")"
}

# The program's main window (mapped, titled Velmora) of process $1, waiting up to 10 s.
x11_find_window() {
    local pid=$1 id=""
    local i
    for ((i = 0; i < 100; i++)); do
        id=$(xdotool search --onlyvisible --pid "$pid" --name '^Velmora$' 2>/dev/null | head -n1) || true
        if [ -n "$id" ]; then
            echo "$id"
            return 0
        fi
        kill -0 "$pid" 2>/dev/null || break
        sleep 0.1
    done
    return 1
}

# "left top width height" of the window's outer frame: the client's place and size from
# xwininfo, widened by _NET_FRAME_EXTENTS (left, right, top, bottom).
x11_outer_rect() {
    local id=$1 info extents x y w h l r t b
    info=$(xwininfo -id "$id")
    x=$(awk '/Absolute upper-left X:/ {print $4}' <<<"$info")
    y=$(awk '/Absolute upper-left Y:/ {print $4}' <<<"$info")
    w=$(awk '/^ *Width:/ {print $2}' <<<"$info")
    h=$(awk '/^ *Height:/ {print $2}' <<<"$info")
    extents=$(xprop -id "$id" _NET_FRAME_EXTENTS | sed -n 's/.*= *//p' | tr -d ' ')
    [ -n "$extents" ] || extents=0,0,0,0
    IFS=, read -r l r t b <<<"$extents"
    echo "$((x - l)) $((y - t)) $((w + l + r)) $((h + t + b))"
}
