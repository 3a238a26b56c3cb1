#!/usr/bin/env bash
# The real program under a virtual X server and a window manager: it starts on a small deck,
# grades one card through a real mouse click on "Вспомнил", is closed through the window
# manager, answers Yes to the exit question, and must leave the deck file and sorabi.ini byte for
# byte as expected.
#
# Usage: e2e_test.sh <sorabi executable> <data folder>
# Exits 77 (skipped) when Xvfb or xdotool is not installed (scripts/install-deps.sh test adds them).
#
# The data folder holds the program's start files and what it must write at exit:
#   words.sb -> expected.sb    The run is sequential and manual (Style=1, ShowNewCard=0). The
#                              stored position *0 gives the second active word (猫) as the first
#                              card; "Вспомнил" adds 1 to its attempts (0=2 -> 0=3) and, in manual
#                              mode, brings the next card at once: 水 is switched off, so the
#                              next active word is こんにちは, position 2 in the active list.
#                              Position line *0 -> *2; every other byte stays.
#   sorabi.ini -> expected.ini The keys already in the file keep their lines and values; the
#                              missing ones are appended in the writing order (TopWordStyle ...
#                              KFontColor, then JColor, KColor, TColor; FormPos is already there).
#                              FormPos=0, so no PosLeft/PosTop is written. CR LF line ends stay.
#                              Dictionary stays the bare name: it is found beside the program,
#                              whatever the current folder is.
# ShowTranslation=600 keeps the answer hidden for the whole run, so the window keeps its height
# (and the button its place) between measuring and clicking.
set -euo pipefail

if [ $# -ne 2 ]; then
    echo "usage: $0 <sorabi executable> <data folder>" >&2
    exit 2
fi
program=$(readlink -f "$1")
data=$(readlink -f "$2")
here=$(dirname "$(readlink -f "$0")")

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
app=$work/app
shot=$work/screen.png
pids=()
sorabi=

cleanup() {
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
trap cleanup EXIT
trap 'exit 130' INT TERM

fail() {
    echo "FAIL: $*" >&2
    if [ -n "${DISPLAY:-}" ]; then
        echo "windows on the display:" >&2
        wmctrl -l >&2 || true
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

# wait_for <seconds> <what> <command...>: runs the command every 50 ms until it succeeds.
wait_for() {
    local seconds=$1 what=$2
    shift 2
    local deadline=$((${EPOCHREALTIME//[^0-9]/} + seconds * 1000000))
    until "$@"; do
        ((${EPOCHREALTIME//[^0-9]/} < deadline)) || fail "timed out after ${seconds}s waiting for $what"
        sleep 0.05
    done
}

# The program folder: the executable with its own settings and deck. Its home and runtime
# folders live in the work folder too, so nothing of the user's desktop takes part.
mkdir -p "$app" "$work/home" "$work/runtime"
chmod 700 "$work/runtime"
cp "$program" "$app/sorabi"
cp "$data/sorabi.ini" "$data/words.sb" "$app/"
export HOME=$work/home XDG_CONFIG_HOME=$work/home/.config XDG_CACHE_HOME=$work/home/.cache
export XDG_RUNTIME_DIR=$work/runtime QT_QPA_PLATFORM=xcb
# A UTF-8 locale whatever the caller's: xdotool matches the Russian window titles only then, and
# the program's 8-bit text is UTF-8.
export LC_ALL=C.UTF-8
# For a sanitizer build: leaks inside the desktop's system libraries are not ours.
export LSAN_OPTIONS=${LSAN_OPTIONS:+$LSAN_OPTIONS:}suppressions=$here/lsan.supp
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

# Started from another folder, so the bare deck name must be found beside the program.
(cd / && exec "$app/sorabi") >"$work/sorabi.log" 2>&1 &
sorabi=$!

# Alive, and not merely a child that has ended and waits to be reaped.
running() {
    local stat
    stat=$(cat "/proc/$sorabi/stat" 2>/dev/null) || return 1
    stat=${stat##*) }
    [ "${stat:0:1}" != Z ]
}

find_main() {
    # A deck that does not load shows an error box instead: no use waiting for the title.
    if xdotool search --all --pid "$sorabi" --onlyvisible --name '^Ошибка$' >/dev/null 2>&1; then
        screenshot
        fail "the program showed an error box at start"
    fi
    win=$(xdotool search --all --pid "$sorabi" --onlyvisible --name '^Sorabi v\.0\.9\.2 \[words\.sb\] $' 2>/dev/null | head -n1)
    [ -n "$win" ]
}
alive_and() {
    running || fail "the program ended early"
    "$@"
}
wait_for 60 "the main window with the deck loaded" alive_and find_main

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
wait_for 30 "the main window to settle" geometry_settled
read -r cx cy cw ch <<<"$geom"
[ "$cw" -eq 381 ] || fail "client width is $cw, expected 381"
# The default place is the top of the screen for the frame, so the title bar is on screen.
top_extent=$(xprop -id "$win" _NET_FRAME_EXTENTS | awk -F'[=,]' '{ print $4 + 0 }')
[ "$cy" -eq "$top_extent" ] || fail "the frame's top is at $((cy - top_extent)), expected 0"

# "Вспомнил" sits in the button panel (43 px) above the status bar (19 px): left 182, top 14,
# 23 x 22, so its centre is 193 px from the left and 62 - 25 px above the bottom.
bx=$((cx + 193))
by=$((cy + ch - 62 + 25))
timeout 20 xdotool mousemove --sync "$bx" "$by" click 1 || fail "could not click at $bx,$by"

screenshot

# The manager's close request, as the close box would send it.
wmctrl -i -c "$win"
find_question() {
    box=$(xdotool search --all --pid "$sorabi" --onlyvisible --name '^Сообщение$' 2>/dev/null | head -n1)
    [ -n "$box" ]
}
wait_for 30 "the exit question" alive_and find_question
# "Да" is the default button.
timeout 20 xdotool windowactivate --sync "$box" key Return || fail "could not answer the exit question"

exited() { ! running; }
wait_for 30 "the program to end" exited
status=0
wait "$sorabi" || status=$?
sorabi=
[ "$status" -eq 0 ] || fail "the program ended with status $status"

ok=1
if ! cmp "$data/expected.sb" "$app/words.sb" >&2; then
    ok=0
    diff <(iconv -f UTF-16 -t UTF-8 "$data/expected.sb") <(iconv -f UTF-16 -t UTF-8 "$app/words.sb") >&2 || true
fi
if ! cmp "$data/expected.ini" "$app/sorabi.ini" >&2; then
    ok=0
    diff "$data/expected.ini" "$app/sorabi.ini" >&2 || true
fi
[ "$ok" -eq 1 ] || fail "the files written at exit differ from the expected ones"
echo "PASS: graded one card through the window and saved deck and settings on exit"
