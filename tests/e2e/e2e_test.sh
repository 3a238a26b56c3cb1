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
e2e_here=$(dirname "$(readlink -f "$0")")
# shellcheck source=lib.sh
. "$e2e_here/lib.sh"
e2e_init

# The program folder: the executable with its own settings and deck.
app=$work/app
mkdir -p "$app"
cp "$program" "$app/sorabi"
cp "$data/sorabi.ini" "$data/words.sb" "$app/"
start_program "$app"
wait_for 60 "the main window with the deck loaded" alive_and find_window '^Sorabi v\.0\.9\.2 \[words\.sb\] $'

settle_window
[ "$cw" -eq 381 ] || fail "client width is $cw, expected 381"
# The default place is the top of the screen for the frame, so the title bar is on screen.
top_extent=$(xprop -id "$win" _NET_FRAME_EXTENTS | awk -F'[=,]' '{ print $4 + 0 }')
[ "$cy" -eq "$top_extent" ] || fail "the frame's top is at $((cy - top_extent)), expected 0"

click_grade 182 # "Вспомнил"

screenshot

# The manager's close request, as the close box would send it.
wmctrl -i -c "$win"
wait_for 30 "the exit question" alive_and find_box Сообщение
# "Да" is the default button.
timeout 20 xdotool windowactivate --sync "$box" key Return || fail "could not answer the exit question"

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
