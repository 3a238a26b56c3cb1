#!/usr/bin/env bash
# Stroke-order pictures with no "pics" folder: the real program, with the stroke table beside it,
# shows a card of two kanji; both pictures are drawn into the user's cache and shown from there,
# and a click on one plays it (ink appears in that picture only).
#
# Usage: pictures_test.sh <sorabi executable> <stroke table>
# Exits 77 (skipped) when Xvfb or xdotool is not installed.
set -euo pipefail

if [ $# -ne 2 ]; then
    echo "usage: $0 <sorabi executable> <stroke table>" >&2
    exit 2
fi
program=$(readlink -f "$1")
table=$(readlink -f "$2")
e2e_here=$(dirname "$(readlink -f "$0")")
# shellcheck source=lib.sh
. "$e2e_here/lib.sh"
e2e_init
command -v convert >/dev/null || fail "ImageMagick is not installed"

app=$work/app
mkdir -p "$app"
cp "$program" "$app/sorabi"
cp "$table" "$app/"
{
    printf '\xff\xfe'
    printf '*0\r\n猫山=ねこやま=кошка и гора=0=0\r\n' | iconv -f UTF-8 -t UTF-16LE
} >"$app/words.sb"
printf '[MAIN]\nDictionary=words.sb\nStyle=1\nShowNewCard=60\nShowTranslation=600\n' >"$app/sorabi.ini"

start_program "$app"
wait_for 60 "the main window" alive_and find_window '^Sorabi v\.0\.9\.2 \[words\.sb\] $'
hint=
find_hint() {
    hint=$(xdotool search --all --pid "$sorabi" --onlyvisible --name '^Написание$' 2>/dev/null | head -n1)
    [ -n "$hint" ]
}
wait_for 30 "the hint window" alive_and find_hint

# Both pictures drawn into the cache, with the attribution.
cache=$XDG_CACHE_HOME/sorabi/pics
for name in 944C 8E52; do # 猫 山
    [ -s "$cache/$name.gif" ] || fail "no cached picture $name.gif"
    head -c 6 "$cache/$name.gif" | grep -q GIF89a || fail "$name.gif is not a GIF"
    grep -q KanjiVG "$cache/$name.gif" || fail "$name.gif lacks the attribution"
done
[ -z "$(find "$app" -name '*.gif')" ] || fail "pictures were written beside the program"

# Two pictures of 150 x 150 side by side.
size_settled() {
    xwininfo -id "$hint" | awk '/Width:/ { w = $NF } /Height:/ { h = $NF } END { exit !(w >= 300 && h >= 150) }'
}
wait_for 10 "the hint window's size for two pictures" size_settled

# The share of dark (ink) pixels in picture n (0 or 1) as a whole percentage.
ink() {
    import -window "$hint" "$work/hint.png" 2>/dev/null || fail "no screenshot of the hint window"
    convert "$work/hint.png" -crop "150x150+$(($1 * 150))+0" +repage -colorspace gray \
        -threshold 35% -format '%[fx:round(100 * (1 - mean))]' info:
}
# Unplayed, each picture shows its first frame: the pale kanji, no ink.
[ "$(ink 0)" -eq 0 ] && [ "$(ink 1)" -eq 0 ] || fail "a picture shows ink before it is played"
# Real pictures, not the question mark: the pale kanji's ground is the lilac of the pictures.
convert "$work/hint.png" -crop 1x1+2+2 -format '%[hex:p{0,0}]' info: | grep -qi '^DCDCFF' ||
    fail "the first picture is not a drawn stroke-order picture"

read -r hx hy < <(xwininfo -id "$hint" | awk '/Absolute upper-left X:/ { x = $NF } /Absolute upper-left Y:/ { y = $NF } END { print x, y }')
timeout 20 xdotool mousemove $((hx + 75)) $((hy + 75)) sleep 0.05 click 1 || fail "could not click the picture"
played() { [ "$(ink 0)" -gt 0 ]; }
wait_for 10 "ink in the clicked picture" played
[ "$(ink 1)" -eq 0 ] || fail "the picture not clicked plays too"
echo "PASS: two drawn pictures from the cache, one played"
