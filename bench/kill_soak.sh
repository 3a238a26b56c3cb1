#!/usr/bin/env bash
# Killed at random moments, the trainer must never lose what it saved: the real program under a
# virtual X server grades quickly with real mouse clicks and is killed with SIGKILL, again and
# again, on the same deck. After every kill the deck must load, no word's counts may have gone
# down, and every grading older than the autosave's second (plus a margin for the click to arrive)
# must be in it.
#
# Usage: bench/kill_soak.sh <build-dir> [iterations]   (defaults: build 100)
# Needs sorabi and tests/deck_probe built in <build-dir> (the test build has both).
# Prints one line per kill and the figures at the end; exit status 1 on any loss.
set -euo pipefail
cd "$(dirname "$0")/.."

build=$(readlink -f "${1:-build}")
iterations=${2:-100}
program=$build/sorabi
probe=$build/tests/deck_probe
for f in "$program" "$probe"; do
    [ -x "$f" ] || { echo "missing $f: build the tests first (scripts/test.sh)" >&2; exit 1; }
done
e2e_here=$PWD/tests/e2e
# shellcheck source=../tests/e2e/lib.sh
. "$e2e_here/lib.sh"
e2e_init

# Cards that all look alike keep the window's height, so the grading button stays in place.
app=$work/app
mkdir -p "$app"
cp "$program" "$app/sorabi"
{
    printf '\xff\xfe'
    {
        printf '*0\r\n'
        for i in $(seq 1 40); do printf '語=ご=слово=0=0\r\n'; done
    } | iconv -f UTF-8 -t UTF-16LE
} >"$app/words.sb"
printf '[MAIN]\nDictionary=words.sb\nStyle=1\nShowNewCard=0\nShowTranslation=600\nShowHint=0\nFormPos=0\n' \
    >"$app/sorabi.ini"

now_ms() { echo $((${EPOCHREALTIME//[^0-9]/} / 1000)); }
total_attempts() {
    local line
    line=$("$probe" "$app/words.sb") || return 1
    line=${line##*attempts=}
    echo "${line%% *}"
}

saved=0 # attempts in the deck after the last kill
lost=0
loads=0
sent_total=0
kept_total=0
max_unsaved_ms=0 # the oldest grading that was not in the deck, in ms before the kill
prev_counts=$(deck_counts "$app/words.sb")
for ((i = 1; i <= iterations; i++)); do
    start_program "$app"
    clicks=()
    mode=$((RANDOM % 10))
    if [ "$mode" -eq 0 ]; then
        # Killed during its start, before any grading.
        sleep "0.$((RANDOM % 10))"
    else
        wait_for 60 "the main window" alive_and find_window '^Sorabi v\.0\.9\.2 \[words\.sb\] $'
        settle_window
        n=$((1 + RANDOM % 25))
        bx=$((cx + 193)) by=$((cy + ch - 37))
        xdotool mousemove "$bx" "$by" sleep 0.05
        for ((k = 0; k < n; k++)); do
            xdotool click 1
            clicks+=("$(now_ms)")
            sleep 0.0$((5 + RANDOM % 5))
        done
        # Killed at a random moment within 2.5 s of the last grading.
        sleep "$((RANDOM % 3)).$((RANDOM % 10))"
    fi
    killed=$(now_ms)
    kill -KILL "$sorabi"
    wait "$sorabi" 2>/dev/null || true
    sorabi=

    if ! now=$(total_attempts); then
        echo "kill $i: the deck does not load" >&2
        lost=$((lost + 1))
        continue
    fi
    loads=$((loads + 1))
    counts=$(deck_counts "$app/words.sb")
    # No word's count goes down.
    if ! paste -d' ' <(echo "$prev_counts") <(echo "$counts") |
        awk '$3 < $1 || $4 < $2 { bad = 1 } END { exit bad }'; then
        echo "kill $i: a count went down" >&2
        lost=$((lost + 1))
    fi
    prev_counts=$counts
    gained=$((now - saved))
    sent=${#clicks[@]}
    # Gradings sent more than 1.5 s before the kill must all be in the deck.
    old=0
    for t in "${clicks[@]}"; do
        ((killed - t > 1500)) && old=$((old + 1))
    done
    if ((gained < old)); then
        echo "kill $i: $gained of $old gradings older than 1.5 s were saved" >&2
        lost=$((lost + 1))
    fi
    if ((gained < sent)); then
        # The oldest grading that did not reach the deck.
        age=$((killed - clicks[gained]))
        ((age > max_unsaved_ms)) && max_unsaved_ms=$age
    fi
    sent_total=$((sent_total + sent))
    kept_total=$((kept_total + gained))
    echo "kill $i: sent $sent, older than 1.5 s $old, saved $gained (deck: $now attempts)"
    saved=$now
done

echo
echo "kills: $iterations, decks that loaded: $loads, losses: $lost"
echo "gradings sent: $sent_total, saved: $kept_total"
echo "oldest grading not yet saved at a kill: ${max_unsaved_ms} ms"
[ "$lost" -eq 0 ]
