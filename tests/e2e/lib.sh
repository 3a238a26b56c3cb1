#!/usr/bin/env bash
# Shared by the end-to-end scripts: a virtual X server with a window manager, the program started
# in a folder of its own, waiting, clicking and failing with a report.
#
# A script sources this file after setting nothing; it gets:
#   e2e_init                     checks the tools (exit 77 when Xvfb or xdotool is missing), makes
#                                the work folder $work and starts Xvfb and openbox ($DISPLAY)
#   start_program <dir> [args]   starts <dir>/sorabi from / ; its pid is $sorabi
#   wait_for <s> <what> <cmd..>  runs cmd every 50 ms until it succeeds, fails after s seconds
#   find_window <title regex>    sets $win to the program's visible window with that title
#   settle_window                waits until $win is framed and still; sets cx cy cw ch
#   click_grade <left>           clicks the picture button at <left> in the button panel
#   fail <text>                  reports (windows, screenshot, program output) and exits 1
set -euo pipefail

work=
shot=
pids=()
sorabi=

e2e_init() {
    for tool in Xvfb xdotool; do
        if ! command -v "$tool" >/dev/null; then
            echo "SKIPPED: $tool is not installed (scripts/install-deps.sh test installs it)"
            exit 77
        fi
    done
    for tool in openbox wmctrl xwininfo xprop; do
        if ! command -v "$tool" >/dev/null; then
            echo "FAIL: $tool is not installed (scripts/install-deps.sh test installs it)" >&2
            exit 1
        fi
    done
    work=$(mktemp -d "${TMPDIR:-/tmp}/sorabi-e2e.XXXXXX")
    shot=$work/screen.png
    trap e2e_cleanup EXIT
    trap 'exit 130' INT TERM

    # Home and runtime folders live in the work folder, so nothing of the user's desktop takes
    # part.
    mkdir -p "$work/home" "$work/runtime"
    chmod 700 "$work/runtime"
    export HOME=$work/home XDG_CONFIG_HOME=$work/home/.config XDG_CACHE_HOME=$work/home/.cache
    export XDG_RUNTIME_DIR=$work/runtime QT_QPA_PLATFORM=xcb
    # A UTF-8 locale whatever the caller's: xdotool matches the Russian window titles only then,
    # and the program's 8-bit text is UTF-8.
    export LC_ALL=C.UTF-8
    # For a sanitizer build: leaks inside the desktop's system libraries are not ours.
    export LSAN_OPTIONS=${LSAN_OPTIONS:+$LSAN_OPTIONS:}suppressions=$e2e_here/lsan.supp
    unset WAYLAND_DISPLAY SESSION_MANAGER DBUS_SESSION_BUS_ADDRESS

    # Xvfb picks a free display itself and writes its number once it accepts clients.
    Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp 3>"$work/display" >"$work/xvfb.log" 2>&1 &
    pids+=($!)
    display_ready() { grep -qE '^[0-9]+$' "$work/display"; }
    wait_for 30 "Xvfb" display_ready
    export DISPLAY=:$(head -n1 "$work/display")

    # An empty configuration: no menu, no key bindings, no session; closing a window still goes
    # through the manager (_NET_CLOSE_WINDOW becomes WM_DELETE_WINDOW for the client).
    printf '<?xml version="1.0"?>\n<openbox_config xmlns="http://openbox.org/3.4/rc"/>\n' >"$work/rc.xml"
    openbox --sm-disable --config-file "$work/rc.xml" >"$work/openbox.log" 2>&1 &
    pids+=($!)
    wm_ready() {
        xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' &&
            xprop -root _NET_SUPPORTED 2>/dev/null | grep -q '_NET_CLOSE_WINDOW'
    }
    wait_for 30 "the window manager" wm_ready
}

e2e_cleanup() {
    local status=$?
    local i
    if [ -n "$sorabi" ]; then
        kill "$sorabi" 2>/dev/null || true
        wait "$sorabi" 2>/dev/null || true
    fi
    for ((i = ${#pids[@]} - 1; i >= 0; i--)); do
        kill "${pids[i]}" 2>/dev/null || true
    done
    for pid in "${pids[@]}"; do
        wait "$pid" 2>/dev/null || true
    done
    if [ "$status" -eq 0 ]; then
        rm -rf "$work"
    else
        echo "kept for inspection: $work" >&2
    fi
}

fail() {
    echo "FAIL: $*" >&2
    if [ -n "${DISPLAY:-}" ]; then
        echo "windows on the display:" >&2
        wmctrl -l >&2 || true
        screenshot
    fi
    if [ -s "$shot" ]; then
        echo "screenshot: $shot" >&2
    fi
    if [ -s "$work/sorabi.log" ]; then
        echo "program output ($work/sorabi.log):" >&2
        cat "$work/sorabi.log" >&2
    fi
    exit 1
}

# The whole screen, for a failure report; ImageMagick is optional.
screenshot() {
    if command -v import >/dev/null; then
        import -window root "$shot" 2>/dev/null || true
    fi
}

wait_for() {
    local seconds=$1 what=$2
    shift 2
    local deadline=$((${EPOCHREALTIME//[^0-9]/} + seconds * 1000000))
    until "$@"; do
        ((${EPOCHREALTIME//[^0-9]/} < deadline)) || fail "timed out after ${seconds}s waiting for $what"
        sleep 0.05
    done
}

# Started from another folder, so bare deck names must be found beside the program.
start_program() {
    local dir=$1
    shift
    (cd / && exec "$dir/sorabi" "$@") >>"$work/sorabi.log" 2>&1 &
    sorabi=$!
}

# Alive, and not merely a child that has ended and waits to be reaped.
running() {
    local stat
    stat=$(cat "/proc/$sorabi/stat" 2>/dev/null) || return 1
    stat=${stat##*) }
    [ "${stat:0:1}" != Z ]
}
alive_and() {
    running || fail "the program ended early"
    "$@"
}
exited() { ! running; }

# The program's visible window whose title matches; an error box instead fails at once.
find_window() {
    if xdotool search --all --pid "$sorabi" --onlyvisible --name '^Ошибка$' >/dev/null 2>&1; then
        fail "the program showed an error box"
    fi
    win=$(xdotool search --all --pid "$sorabi" --onlyvisible --name "$1" 2>/dev/null | head -n1)
    [ -n "$win" ]
}

# A box of the program with the caption given; its window is $box.
find_box() {
    box=$(xdotool search --all --pid "$sorabi" --onlyvisible --name "^$1\$" 2>/dev/null | head -n1)
    [ -n "$box" ]
}

# Client area on screen: absolute position and size, once the manager has framed the window and
# the first card has given it its height.
client_geometry() {
    xwininfo -id "$win" | awk '
        /Absolute upper-left X:/ { x = $NF } /Absolute upper-left Y:/ { y = $NF }
        /Width:/ { w = $NF } /Height:/ { h = $NF }
        END { print x, y, w, h }'
}
geometry_settled() {
    xprop -id "$win" _NET_FRAME_EXTENTS | grep -q '=' || return 1
    local first
    first=$(client_geometry)
    sleep 0.2
    geom=$(client_geometry)
    [ "$first" = "$geom" ]
}
settle_window() {
    wait_for 30 "the main window to settle" geometry_settled
    read -r cx cy cw ch <<<"$geom"
}

# The picture buttons sit in the button panel (43 px) above the status bar (19 px), 22 px high
# from 13 or 14 px down; "Вспомнил" is at left 182, "Не вспомнил" at 207, both 23 wide.
click_grade() {
    local bx=$((cx + $1 + 11)) by=$((cy + ch - 62 + 25))
    # Without --sync: it waits for a motion that never comes when the pointer is there already.
    timeout 20 xdotool mousemove "$bx" "$by" sleep 0.05 click 1 || fail "could not click at $bx,$by"
}

# The counts of a deck file, as "misses attempts" per word line, in order.
deck_counts() {
    iconv -f UTF-16 -t UTF-8 "$1" | tr -d '\r' | awk -F= 'NR > 1 { print $(NF - 1), $NF }'
}
