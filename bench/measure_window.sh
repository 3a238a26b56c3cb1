#!/usr/bin/env bash
# Start-up time and memory of the program's window against a bare Qt window of the same size,
# under one virtual X server and window manager, in the same run:
#  - start-up: from spawning the process to its window being viewable with its title; sorabi on
#    the sample deck, so the first card is on screen. Runs interleaved, medians compared; the CPU
#    time used up to then is shown too, as it stays steady when the machine is busy.
#  - memory: VmRSS after the window is up and the program has idled 1 s; sorabi on a generated
#    10,000-word deck.
# The goals are start-up within 1.5x and memory within 1.3x of the bare window. A third row, the
# bare window showing one word, tells what any window that draws Japanese text pays.
#
# Usage: bench/measure_window.sh [build-dir] [runs]   (defaults: build-bench 15)
# Build first (Release):
#   cmake -S . -B build-bench -DCMAKE_BUILD_TYPE=Release -DSORABI_BUILD_BENCH=ON
#   cmake --build build-bench -j2 --target sorabi bare_window window_wait
set -euo pipefail
cd "$(dirname "$0")/.."

build=$(readlink -f "${1:-build-bench}")
runs=${2:-15}
memory_runs=5

for f in sorabi bench/bare_window bench/window_wait; do
    if [ ! -x "$build/$f" ]; then
        echo "missing $build/$f; build it as shown at the top of $0" >&2
        exit 1
    fi
done
for tool in Xvfb openbox xprop iconv; do
    command -v "$tool" >/dev/null || { echo "$tool is not installed" >&2; exit 1; }
done

work=$(mktemp -d "${TMPDIR:-/tmp}/sorabi-measure.XXXXXX")
pids=()
cleanup() {
    local i
    for ((i = ${#pids[@]} - 1; i >= 0; i--)); do
        kill "${pids[i]}" 2>/dev/null || true
        wait "${pids[i]}" 2>/dev/null || true
    done
    rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

# The programs run from one folder; sorabi without a settings file runs on the defaults and,
# ended by a signal, writes nothing back.
mkdir -p "$work/app" "$work/home" "$work/runtime"
chmod 700 "$work/runtime"
cp "$build/sorabi" "$build/bench/bare_window" "$work/app/"
cp resources/sample.sb "$work/app/sample.sb"
{
    printf '\xff\xfe'
    { printf '*0\r\n'; seq 1 10000 | awk '{ printf "漢字%d=かな%d=translation %d=0=0\r\n", $1, $1, $1 }'; } |
        iconv -f UTF-8 -t UTF-16LE
} >"$work/app/big.sb"
export HOME=$work/home XDG_CONFIG_HOME=$work/home/.config XDG_CACHE_HOME=$work/home/.cache
export XDG_RUNTIME_DIR=$work/runtime QT_QPA_PLATFORM=xcb LC_ALL=C.UTF-8
unset WAYLAND_DISPLAY SESSION_MANAGER DBUS_SESSION_BUS_ADDRESS

Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp 3>"$work/display" 2>/dev/null &
pids+=($!)
for _ in $(seq 600); do
    grep -qE '^[0-9]+$' "$work/display" && break
    sleep 0.05
done
grep -qE '^[0-9]+$' "$work/display" || { echo "Xvfb did not start" >&2; exit 1; }
export DISPLAY=:$(head -n1 "$work/display")
printf '<?xml version="1.0"?>\n<openbox_config xmlns="http://openbox.org/3.4/rc"/>\n' >"$work/rc.xml"
openbox --sm-disable --config-file "$work/rc.xml" >/dev/null 2>&1 &
pids+=($!)
wm_ready() { xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'; }
for _ in $(seq 600); do
    wm_ready && break
    sleep 0.05
done
wm_ready || { echo "openbox did not start" >&2; exit 1; }

wait_tool=$build/bench/window_wait
sorabi_title='Sorabi v.0.9.2 [sample.sb]'
big_title='Sorabi v.0.9.2 [big.sb]'
bare_title='Bare window'

field() { sed -n "s/.*\<$1=\([0-9.]*\).*/\1/p"; }
median() { sort -n | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }

# measure <file> <window_wait options and arguments...>: one run, its output line appended.
measure() {
    local out=$1
    shift
    (cd "$work/app" && "$wait_tool" "$@") >>"$work/$out"
}

# The three programs: sorabi, the bare window, and the bare window with one word on a label (the
# floor of any window that draws text; it tells the font machinery's share from ours).
start_sorabi=("$sorabi_title" ./sorabi sample.sb)
start_bare=("$bare_title" ./bare_window)
start_label=("$bare_title" ./bare_window 漢字1)

# One run of each first, so that all start from a warm page cache.
load_before=$(cut -d' ' -f1-3 /proc/loadavg)
measure warmup "${start_sorabi[@]}"
measure warmup "${start_bare[@]}"
measure warmup "${start_label[@]}"
for ((i = 0; i < runs; i++)); do
    measure start.sorabi "${start_sorabi[@]}"
    measure start.bare "${start_bare[@]}"
    measure start.label "${start_label[@]}"
done
for ((i = 0; i < memory_runs; i++)); do
    measure mem.sorabi --idle 1 "$big_title" ./sorabi big.sb
    measure mem.bare --idle 1 "${start_bare[@]}"
    measure mem.label --idle 1 "${start_label[@]}"
done

names=(sorabi bare label)
declare -A label=([sorabi]="sorabi" [bare]="bare window" [label]="bare window + one word")
declare -A start mem
echo "load average before: $load_before; after: $(cut -d' ' -f1-3 /proc/loadavg)"
echo "start-up to a viewable window, $runs runs each, interleaved (ms):"
printf '  %-26s %8s %8s %8s\n' "" median min max
for n in "${names[@]}"; do
    start[$n]=$(field startup_ms <"$work/start.$n" | median)
    printf '  %-26s %8.1f %8.1f %8.1f\n' "${label[$n]}" "${start[$n]}" \
        "$(field startup_ms <"$work/start.$n" | sort -n | head -n1)" \
        "$(field startup_ms <"$work/start.$n" | sort -n | tail -n1)"
done
awk -v s="${start[sorabi]}" -v b="${start[bare]}" -v l="${start[label]}" \
    'BEGIN { printf "  sorabi / bare %.2fx (goal 1.5x); sorabi / one word %.2fx\n", s / b, s / l }'
# The CPU time used up to the window is much steadier than the wall clock on a busy machine.
echo "CPU time of the process up to its window, same runs (ms):"
declare -A cpu
for n in "${names[@]}"; do
    cpu[$n]=$(field cpu_ms <"$work/start.$n" | median)
    printf '  %-26s %8.1f\n' "${label[$n]}" "${cpu[$n]}"
done
awk -v s="${cpu[sorabi]}" -v b="${cpu[bare]}" -v l="${cpu[label]}" \
    'BEGIN { printf "  sorabi / bare %.2fx; sorabi / one word %.2fx\n", s / b, s / l }'

echo "resident memory after 1 s idle, median of $memory_runs (kB; sorabi on 10,000 words):"
printf '  %-26s %8s %8s %8s\n' "" VmRSS RssAnon RssFile
for n in "${names[@]}"; do
    mem[$n]=$(field rss_kb <"$work/mem.$n" | median)
    printf '  %-26s %8.0f %8.0f %8.0f\n' "${label[$n]}" "${mem[$n]}" \
        "$(field anon_kb <"$work/mem.$n" | median)" "$(field file_kb <"$work/mem.$n" | median)"
done
awk -v s="${mem[sorabi]}" -v b="${mem[bare]}" -v l="${mem[label]}" \
    'BEGIN { printf "  sorabi / bare %.2fx (goal 1.3x); sorabi / one word %.2fx\n", s / b, s / l }'
