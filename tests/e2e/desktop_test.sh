#!/usr/bin/env bash
# The trainer beside other work, on the real program under a virtual X server and openbox:
#   1. while another window has the keyboard, the timer's card brings the (minimised) window up
#      over the other windows and the keyboard stays where it was;
#   2. over 30 cards in a row, the "Написание" window is on screen and on top for each;
#   3. the window's keys: Space reveals the answer, Enter grades "Вспомнил",
#      Backspace "Не вспомнил" (the autosave shows both in the deck).
#
# Usage: desktop_test.sh <sorabi executable> <deck_probe executable>
# Exits 77 (skipped) when Xvfb or xdotool is not installed. Takes a minute: the shortest time
# between timer cards is one.
set -euo pipefail

if [ $# -ne 2 ]; then
    echo "usage: $0 <sorabi executable> <deck_probe executable>" >&2
    exit 2
fi
program=$(readlink -f "$1")
probe=$(readlink -f "$2")
e2e_here=$(dirname "$(readlink -f "$0")")
# shellcheck source=lib.sh
. "$e2e_here/lib.sh"
e2e_init
command -v xmessage >/dev/null || fail "xmessage is not installed (x11-utils)"

# Every word has kanji, so the hint window belongs on screen with every card; an empty "pics"
# folder gives each kanji the question-mark picture.
app=$work/app
mkdir -p "$app/pics"
cp "$program" "$app/sorabi"
{
    printf '\xff\xfe'
    {
        printf '*0\r\n'
        for k in 一 二 三 四 五 六 七 八 九 十 山 川 木 花 雨 水 火 土 金 日 月 年 人 口 目 耳 手 足 犬 猫 鳥 魚; do
            printf '%s=かな=слово=0=0\r\n' "$k"
        done
    } | iconv -f UTF-8 -t UTF-16LE
} >"$app/words.sb"
printf '[MAIN]\nDictionary=words.sb\nStyle=1\nShowNewCard=1\nShowTranslation=600\nFormPos=0\n' >"$app/sorabi.ini"

# The other program the user is typing in.
xmessage -geometry 300x100+100+300 "typing here" &
pids+=($!)
other=
find_other() {
    other=$(xdotool search --all --onlyvisible --class Xmessage 2>/dev/null | head -n1)
    [ -n "$other" ]
}
wait_for 30 "the other window" find_other

main_title='^Sorabi v\.0\.9\.2 \[words\.sb\] $'
start_program "$app"
wait_for 60 "the main window" alive_and find_window "$main_title"
settle_window
hint=
find_hint() {
    hint=$(xdotool search --all --pid "$sorabi" --onlyvisible --name '^Написание$' 2>/dev/null | head -n1)
    [ -n "$hint" ]
}
wait_for 30 "the hint window" alive_and find_hint

active_window() { printf '%d' "$(xprop -root _NET_ACTIVE_WINDOW | awk '{ print $NF }')"; }
# The frame (client list entry) of a window is the window itself for openbox's client list.
stacked_above() { # <upper> <lower>: upper comes later in the stacking order, bottom to top
    local ids id n=0 pa=-1 pb=-1
    ids=$(xprop -root _NET_CLIENT_LIST_STACKING | sed 's/.*# //; s/,//g')
    for id in $ids; do
        [ "$((id))" -eq "$1" ] && pa=$n
        [ "$((id))" -eq "$2" ] && pb=$n
        n=$((n + 1))
    done
    [ "$pa" -gt "$pb" ] && [ "$pb" -ge 0 ]
}

# 1. The keyboard goes to the other window; the trainer is minimised; the timer's card comes.
xdotool windowminimize --sync "$win" || fail "could not minimise the window"
xdotool windowactivate --sync "$other" || fail "could not activate the other window"
[ "$(active_window)" -eq "$other" ] || fail "the other window did not get the keyboard"
viewable() { xwininfo -id "$win" | grep -q 'IsViewable'; }
wait_for 75 "the timer's card" alive_and viewable
sleep 0.3
[ "$(active_window)" -eq "$other" ] || fail "the card took the keyboard ($(active_window) is active)"
stacked_above "$win" "$other" || fail "the card's window is not above the other window"
echo "ok 1: the timer's card came up on top and the keyboard stayed with the other window"

# 2. Thirty cards in a row through the window's own key (Right is "Следующее слово").
# Keys go to the window that has the keyboard, as the user's do.
xdotool windowactivate --sync "$win" || fail "could not activate the main window"
for i in $(seq 1 30); do
    xdotool key Right
    sleep 0.25
    xwininfo -id "$hint" | grep -q 'IsViewable' || fail "card $i: the hint window is not on screen"
    xprop -id "$hint" _NET_WM_STATE | grep -q _NET_WM_STATE_ABOVE ||
        fail "card $i: the hint window is not kept above the others"
done
echo "ok 2: 30 cards, the hint window on screen and on top for each"

# 3. Space reveals the answer: the second label (yellow, below the 27 px panel and the 105 px top
# label, 58 px in the fonts the install script brings) gets its text.
second_label_colours() {
    import -window "$win" "$work/label.png" 2>/dev/null || return 1
    convert "$work/label.png" -crop 381x50+0+128 +repage -format %k info:
}
[ "$(second_label_colours)" -eq 1 ] || fail "the answer shows before Space"
xdotool key space
revealed() { [ "$(second_label_colours)" -gt 1 ]; }
wait_for 10 "Space to reveal the answer" alive_and revealed
attempts() {
    local line
    line=$("$probe" "$app/words.sb") || fail "the deck does not load: $line"
    echo "$line" | sed -E 's/.*attempts=([0-9]+) misses=([0-9]+).*/\1 \2/'
}
xdotool key Return
sleep 0.3
xdotool key Right
sleep 0.3
xdotool key BackSpace
graded() { [ "$(attempts)" = "2 1" ]; }
wait_for 10 "the gradings of Enter and Backspace in the deck" alive_and graded
# Every Right brought a card: the first card was position 1, the timer's card 2, then 30 and 1
# more cards by Right, in a deck of 32 words: position 1.
position=$(iconv -f UTF-16 -t UTF-8 "$app/words.sb" | head -n1 | tr -d '\r')
[ "$position" = "*1" ] || fail "the deck's position is $position, expected *1 after 33 cards"
echo "ok 3: Space revealed, Enter and Backspace graded"
echo "PASS: desktop"
