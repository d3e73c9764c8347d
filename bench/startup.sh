#!/bin/bash
# Start-up of the whole program on a virtual display with no network, its web
# sites answered by its own loopback server: five runs, each timed from
# process creation to the first painted payoff curve and to the first loaded
# page, and the memory of the program with all its engine processes once that
# page is in.
#
# Targets: first curve under 150 ms (median), memory under 300 MB.
#
# Usage: bench/startup.sh [PROGRAM]   (default /work/main/build/src/app/wqzlumo)
set -u

if [ -z "${WQZ_BENCH_INNER:-}" ]; then
    # One virtual display for all runs; xvfb-run removes it afterwards.
    WQZ_BENCH_INNER=1 exec xvfb-run -a -s "-screen 0 1280x1024x24" bash "$0" "$@"
fi

PROGRAM=${1:-/work/main/build/src/app/wqzlumo}
RUNS=5
HERE=$(cd "$(dirname "$0")" && pwd)
WORK=$(mktemp -d)

source "$HERE/../tests/app/run_program.sh"

cleanup() {
    stop_program
    rm -rf "$WORK"
}
trap cleanup EXIT
trap 'exit 1' INT TERM

if [ ! -x "$PROGRAM" ]; then
    echo "no program at $PROGRAM" >&2
    exit 1
fi


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

: >"$WORK/curve" >"$WORK/page" >"$WORK/rss" >"$WORK/pss"
for run in $(seq "$RUNS"); do
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
    curve=$(awk '$2 == "first-curve" { print $3 }' "$WORK/run$run.err")
    page=$(awk '$2 == "first-page" { print $3 }' "$WORK/run$run.err")
    rss=$(sum_status_kb VmRSS $pids)
    pss=$(sum_pss_kb $pids)
    echo "run $run: first curve ${curve:-?} ms, first page $page ms," \
        "RSS $((rss / 1024)) MB, PSS $((pss / 1024)) MB ($(echo $pids | wc -w) processes)"
    [ -n "$curve" ] && echo "$curve" >>"$WORK/curve"
    echo "$page" >>"$WORK/page"
    echo "$rss" >>"$WORK/rss"
    echo "$pss" >>"$WORK/pss"
    stop_program
done

if [ ! -s "$WORK/page" ]; then
    echo "no run finished" >&2
    exit 1
fi
echo "median first curve: $(median <"$WORK/curve") ms (target < 150)"
echo "median first page:  $(median <"$WORK/page") ms"
echo "median memory:      $(($(median <"$WORK/rss") / 1024)) MB summed RSS (target < 300)," \
    "$(($(median <"$WORK/pss") / 1024)) MB summed PSS"
