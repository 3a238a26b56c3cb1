#!/usr/bin/env bash
# The ways a day with the trainer ends, on the real program under a virtual X server:
#   1. SIGTERM right after two gradings writes the deck and the settings, without a box;
#   2. SIGKILL three seconds after a grading leaves a whole deck that holds it;
#   3. a second start ends at once and brings the one window back up;
#   3b. a second start with a deck (a double click on a deck file) hands it to the running one,
#      which saves its deck and opens the new one;
#   4. a second copy of the program (another folder) refuses the deck the first one has open;
#   5. a deck that cannot be written at exit: after the error box, "Да" to "Выйти без
#      сохранения?" ends the program, and the settings are still written.
#
# Usage: endings_test.sh <sorabi executable> <deck_probe executable> <data folder>
# Exits 77 (skipped) when Xvfb or xdotool is not installed.
set -euo pipefail

if [ $# -ne 3 ]; then
    echo "usage: $0 <sorabi executable> <deck_probe executable> <data folder>" >&2
    exit 2
fi
program=$(readlink -f "$1")
probe=$(readlink -f "$2")
data=$(readlink -f "$3")
e2e_here=$(dirname "$(readlink -f "$0")")
# shellcheck source=lib.sh
. "$e2e_here/lib.sh"
e2e_init

main_title='^Sorabi v\.0\.9\.2 \[words\.sb\] $'

# A fresh program folder <name> with the test deck and settings (manual mode: every grading
# brings the next card at once).
new_app() {
    app=$work/$1
    mkdir -p "$app"
    cp "$program" "$app/sorabi"
    cp "$data/sorabi.ini" "$data/words.sb" "$app/"
}

# Total attempts of a deck file, which must load.
attempts_of() {
    local line
    line=$("$probe" "$1") || fail "the deck does not load: $line"
    line=${line##*attempts=}
    echo "${line%% *}"
}

start_and_settle() {
    start_program "$app" "$@"
    wait_for 60 "the main window with the deck loaded" alive_and find_window "$main_title"
    settle_window
}

end_status() {
    wait_for 30 "the program to end" exited
    status=0
    wait "$sorabi" || status=$?
    sorabi=
}

before=$(attempts_of "$data/words.sb")

# 1. SIGTERM right after two gradings: no time for the autosave; the signal writes both files.
new_app term
start_and_settle
click_grade 182
# The next card may give the window another height: the buttons move with its bottom.
settle_window
click_grade 207
# Time for the program to take the click. The settings file, which no grading changes, shows
# that the signal wrote the files.
sleep 0.2
kill -TERM "$sorabi"
end_status
[ "$status" -eq 0 ] || fail "SIGTERM: the program ended with status $status"
after=$(attempts_of "$app/words.sb")
[ "$after" -eq $((before + 2)) ] || fail "SIGTERM: $after attempts in the deck, expected $((before + 2))"
cmp "$data/expected.ini" "$app/sorabi.ini" >&2 || fail "SIGTERM: the settings were not written as at exit"
echo "ok 1: SIGTERM after two gradings saved the deck ($before -> $after attempts) and the settings"

# 2. SIGKILL three seconds after a grading: the autosave has written it.
new_app kill
start_and_settle
click_grade 182
sleep 3
kill -KILL "$sorabi"
end_status
after=$(attempts_of "$app/words.sb")
[ "$after" -eq $((before + 1)) ] || fail "SIGKILL: $after attempts in the deck, expected $((before + 1))"
leftovers=$(find "$app" -mindepth 1 -not -name sorabi -not -name words.sb -not -name sorabi.ini)
[ -z "$leftovers" ] || fail "SIGKILL: files left beside the deck: $leftovers"
echo "ok 2: SIGKILL three seconds after a grading kept it"

# 3. A second start, while the window is minimised: it ends and the one window comes back.
new_app second
start_and_settle
first=$sorabi
first_win=$win
xdotool windowminimize --sync "$win" || fail "could not minimise the window"
second_status=0
timeout 20 "$app/sorabi" >>"$work/sorabi.log" 2>&1 || second_status=$?
[ "$second_status" -eq 0 ] || fail "the second start ended with status $second_status"
count_windows() {
    local n
    n=$(xdotool search --all --onlyvisible --name "$main_title" 2>/dev/null | wc -l)
    [ "$n" -eq 1 ]
}
shown_again() { ! xprop -id "$win" _NET_WM_STATE | grep -q _NET_WM_STATE_HIDDEN; }
wait_for 10 "the window to come back" shown_again
count_windows || fail "expected one window of the program"
echo "ok 3: a second start ended and brought the window back"

# 3b. A second start from another folder with a deck named relative to it: the running copy
# saves the grading just made and opens that deck; a start with the first deck switches back.
settle_window
graded_before=$(attempts_of "$app/words.sb")
click_grade 182
mkdir -p "$work/decks"
{
    printf '\xff\xfe'
    printf '*0\r\n山=やま=гора=0=0\r\n' | iconv -f UTF-8 -t UTF-16LE
} >"$work/decks/animals.sb"
handed_status=0
(cd "$work/decks" && timeout 20 "$app/sorabi" animals.sb) >>"$work/sorabi.log" 2>&1 || handed_status=$?
[ "$handed_status" -eq 0 ] || fail "the start with a deck ended with status $handed_status"
wait_for 10 "the running window on the handed deck" alive_and find_window '^Sorabi v\.0\.9\.2 \[animals\.sb\] $'
[ "$win" = "$first_win" ] || fail "the handed deck opened in another window"
[ "$(attempts_of "$app/words.sb")" -eq $((graded_before + 1)) ] ||
    fail "the old deck was not saved before the switch"
timeout 20 "$app/sorabi" "$app/words.sb" >>"$work/sorabi.log" 2>&1 || fail "the start back ended badly"
wait_for 10 "the running window back on its deck" alive_and find_window "$main_title"
echo "ok 3b: a deck handed to the running copy was opened after the old one was saved"

# 4. Another copy of the program in another folder, on the deck the first copy has open.
other=$work/other
mkdir -p "$other"
cp "$program" "$other/sorabi"
printf '[MAIN]\nDictionary=%s\nShowNewCard=0\n' "$app/words.sb" >"$other/sorabi.ini"
start_program "$other"
wait_for 30 "the error box of the second copy" alive_and find_box Ошибка
timeout 20 xdotool windowactivate --sync "$box" key Return || fail "could not close the error box"
wait_for 30 "the second copy's window without a deck" alive_and find_window '^Sorabi v\.0\.9\.2$'
kill -TERM "$sorabi"
end_status
[ "$status" -eq 0 ] || fail "the second copy ended with status $status"
sorabi=$first
win=$first_win
settle_window
echo "ok 4: a second copy refused the deck in use"

# 5. The deck cannot be written at exit: "Да" to ending without saving.
click_grade 182
sleep 1.5 # the autosave writes the grading
rm "$app/words.sb"
mkdir "$app/words.sb"
rm "$app/sorabi.ini"
wmctrl -i -c "$win"
wait_for 30 "the exit question" alive_and find_box Сообщение
timeout 20 xdotool windowactivate --sync "$box" key Return || fail "could not answer the exit question"
wait_for 30 "the error box" alive_and find_box Ошибка
timeout 20 xdotool windowactivate --sync "$box" key Return || fail "could not close the error box"
wait_for 30 "the question whether to end without saving" alive_and find_box Сообщение
# "Нет" is the default: Shift+Tab moves to "Да", Space presses it.
timeout 20 xdotool windowactivate --sync "$box" key shift+Tab space ||
    fail "could not answer the question"
end_status
[ "$status" -eq 0 ] || fail "the program ended with status $status"
[ -s "$app/sorabi.ini" ] || fail "the settings were not written after Да"
echo "ok 5: a deck that could not be written ended with Да, the settings written"
echo "PASS: endings"
