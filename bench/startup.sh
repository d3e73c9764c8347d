#!/bin/bash
# Start-up of the whole program against a floor, on one virtual display with
# no network, its web sites answered by its own loopback server.
#
# Each run starts the floor (a bare Qt window that paints one line) and then
# the program, so both meet the same machine; each is timed from its launch to
# its first paint (the program's first painted payoff curve). Each start comes
# after a second of quiet: on these virtual machines a program started right
# after another one ended runs markedly slower or faster depending on what
# that one did, which would favour whichever runs second. The program also
# reports its first loaded page, and the memory of it with all its engine
# processes is read once that page is in. The medians are printed with the
# ratio of the program's first curve to the floor's.
#
# Targets: first curve within 1.10 x the floor (median), memory under 250 MB.
#
# Usage: bench/startup.sh [PROGRAM [FLOOR]]
#   defaults: build/src/app/wqzlumo and build/bench/bench_floor_window of this
#   repository; WQZ_BENCH_RUNS sets the number of runs (default 9).
set -u

if [ -z "${WQZ_BENCH_INNER:-}" ]; then
    # One virtual display for all runs; xvfb-run removes it afterwards.
    WQZ_BENCH_INNER=1 exec xvfb-run -a -s "-screen 0 1280x1024x24" bash "$0" "$@"
fi

HERE=$(cd "$(dirname "$0")" && pwd)
PROGRAM=${1:-$HERE/../build/src/app/wqzlumo}
FLOOR=${2:-$HERE/../build/bench/bench_floor_window}
RUNS=${WQZ_BENCH_RUNS:-9}
WORK=$(mktemp -d)

source "$HERE/../tests/app/run_program.sh"

cleanup() {
    stop_program
    rm -rf "$WORK"
}
trap cleanup EXIT
trap 'exit 1' INT TERM

for p in "$PROGRAM" "$FLOOR"; do
    if [ ! -x "$p" ]; then
        echo "no program at $p" >&2
        exit 1
    fi
done

# Sums a /proc/PID/status field (in kB) over the given processes.
sum_status_kb() {
    local field=$1 total=0 pid kb
    shift
    for pid in "$@"; do
        kb=$(awk -v f="$field:" '$1 == f { print $2 }' "/proc/$pid/status" 2>/dev/null)
        total=$((total + ${kb:-0}))
    done
    echo "$total"
}

# Sums the proportional set size (shared pages split among their users) in kB.
sum_pss_kb() {
    local total=0 pid kb
    for pid in "$@"; do
        kb=$(awk '$1 == "Pss:" { print $2 }' "/proc/$pid/smaps_rollup" 2>/dev/null)
        total=$((total + ${kb:-0}))
    done
    echo "$total"
}

median() {
    sort -n | awk '{ v[NR] = $1 } END { if (NR) print v[int((NR + 1) / 2)] }'
}

# first_paint ERRFILE: the first curve a run reported, or nothing.
first_paint() {
    awk '$2 == "first-curve" { print $3 }' "$1"
}

: >"$WORK/floor" >"$WORK/curve" >"$WORK/page" >"$WORK/rss" >"$WORK/pss"
for run in $(seq "$RUNS"); do
    sleep 1
    start_program "$FLOOR" "$WORK/floor$run.err"
    wait_report first-curve "$WORK/floor$run.err"
    stop_program
    floor=$(first_paint "$WORK/floor$run.err")

    sleep 1
    start_program "$PROGRAM" "$WORK/run$run.err"
    if ! wait_first_page "$WORK/run$run.err"; then
        echo "run $run: the first page never finished loading" >&2
        tail -n 5 "$WORK/run$run.err" >&2
        stop_program
        continue
    fi
    # Let the page's rendering settle before reading the memory.
    sleep 1
    pids="$PROGRAM_PID $(descendants "$PROGRAM_PID")"
    curve=$(first_paint "$WORK/run$run.err")
    page=$(awk '$2 == "first-page" { print $3 }' "$WORK/run$run.err")
    rss=$(sum_status_kb VmRSS $pids)
    pss=$(sum_pss_kb $pids)
    echo "run $run: floor ${floor:-?} ms, first curve ${curve:-?} ms, first page $page ms," \
        "RSS $((rss / 1024)) MB, PSS $((pss / 1024)) MB ($(echo $pids | wc -w) processes)"
    [ -n "$floor" ] && echo "$floor" >>"$WORK/floor"
    [ -n "$curve" ] && echo "$curve" >>"$WORK/curve"
    echo "$page" >>"$WORK/page"
    echo "$rss" >>"$WORK/rss"
    echo "$pss" >>"$WORK/pss"
    stop_program
done

if [ ! -s "$WORK/page" ] || [ ! -s "$WORK/floor" ]; then
    echo "no run finished" >&2
    exit 1
fi
floor=$(median <"$WORK/floor")
curve=$(median <"$WORK/curve")
echo "median floor:       $floor ms (a bare Qt window painting one line)"
echo "median first curve: $curve ms"
echo "program / floor:    $(awk -v c="$curve" -v f="$floor" 'BEGIN { printf "%.2f", c / f }')" \
    "(target <= 1.10)"
echo "median first page:  $(median <"$WORK/page") ms"
echo "median memory:      $(($(median <"$WORK/rss") / 1024)) MB summed RSS (target < 250)," \
    "$(($(median <"$WORK/pss") / 1024)) MB summed PSS"
