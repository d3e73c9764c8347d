#!/bin/bash
# A second start while the program runs, as a file manager makes one: the
# running window is handed the file (or link) and the second start ends at
# once, its window brought to the front; with --new-window it opens a window
# of its own. A file that cannot be opened is told over a window that starts
# all the same, and a socket left by a run that was killed does not stop the
# next start.
#
# Usage: test_second_start.sh PROGRAM
# Exit status 0 when all holds, 1 otherwise.
set -u

if [ -z "${WQZ_TEST_INNER:-}" ]; then
    WQZ_TEST_INNER=1 exec timeout -k 10 230 \
        xvfb-run -a -s "-screen 0 1280x1024x24" bash "$0" "$@"
fi

PROGRAM=${1:?usage: test_second_start.sh PROGRAM}
HERE=$(cd "$(dirname "$0")" && pwd)
WORK=$(mktemp -d)
TITLE="WQZ Option Payoffs Tutorial"
# The user's folders are scratch ones: nothing of the user's is read or kept.
export XDG_DATA_HOME=$WORK/data XDG_CONFIG_HOME=$WORK/config
mkdir -p "$XDG_DATA_HOME" "$XDG_CONFIG_HOME"

source "$HERE/run_program.sh"

STARTED=()
cleanup() {
    local pid
    for pid in "${STARTED[@]}"; do
        PROGRAM_PID=$pid
        stop_program
    done
    rm -rf "$WORK"
}
trap cleanup EXIT
trap 'exit 1' INT TERM

fail() {
    echo "test_second_start: $*" >&2
    for f in "$WORK"/*.err; do
        [ -f "$f" ] && { echo "== $f" >&2; tail -n 10 "$f" >&2; }
    done
    xwininfo -root -tree | grep -F '"' >&2
    exit 1
}

# start NAME [ARGUMENT...]: the program in the background, its pid kept.
start() {
    local name=$1
    shift
    start_program "$PROGRAM" "$WORK/$name.err" "$@"
    STARTED+=("$PROGRAM_PID")
}

# Top-level windows with exactly this title.
windows_titled() {
    xwininfo -root -children | grep -cF "\"$1\": ("
}

# wait_for_windows TITLE COUNT: true once that many show, within a minute.
wait_for_windows() {
    for _ in $(seq 600); do
        [ "$(windows_titled "$1")" = "$2" ] && return 0
        sleep 0.1
    done
    return 1
}

# A second start with ARGUMENTS: it must end by itself, successfully, within
# a few seconds; prints how long it took in milliseconds.
second_start() {
    local begun=$EPOCHREALTIME status
    # The only start of the program a test lets end by itself: under the
    # sanitizers, what the toolkit's libraries keep until exit is not
    # counted against it.
    ASAN_OPTIONS=${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0 XDG_RUNTIME_DIR=$WORK/runtime \
        timeout 20 "$PROGRAM" "$@" 2>>"$WORK/second.err"
    status=$?
    [ "$status" = 0 ] || fail "the second start ended with status $status"
    echo $(((${EPOCHREALTIME/./} - ${begun/./}) / 1000))
}

position() {
    cat >"$1" <<POSITION
{"format":"wqz-position","version":1,
 "rows":[{"callQty":"1","callPrice":"5.00","strike":"50","putQty":"1","putPrice":"5.00"}],
 "underlyingQty":"0","range":{"top":"50","bottom":"-10","from":"1","to":"100"},
 "diagram":"$2","curveColor":"#ffff00"}
POSITION
}
mkdir -p "$WORK/files"
position "$WORK/files/straddle.wqzpos" payoff
echo "not a position" >"$WORK/files/broken.wqzpos"

# The first window, started without files.
start first
wait_for_windows "$TITLE" 1 || fail "the first window never showed"

# A second start with a file given relative to its own folder.
took=$(cd "$WORK/files" && second_start straddle.wqzpos) || exit 1
[ "$took" -lt 5000 ] || fail "the second start took ${took} ms to end"
wait_for_windows "straddle.wqzpos - $TITLE" 1 ||
    fail "the running window did not open the file handed to it"
[ "$(windows_titled "$TITLE")" = 0 ] || fail "a second window opened"
echo "test_second_start: a second start handed its file over and ended in ${took} ms" >&2

# A link, as Copy Link to Position gives it: the running window loads it as
# a new position, tied to no file.
second_start 'wqz-workbench:load?position=c1:1,p1:1&diagram=profit' >/dev/null || exit 1
wait_for_windows "$TITLE" 1 ||
    fail "the running window did not load the link handed to it as a new position"
[ "$(windows_titled "straddle.wqzpos - $TITLE")" = 0 ] ||
    fail "the link's position is still tied to the file"
# The file again, which asks nothing now, so that the first window is told
# apart from the next by its title.
(cd "$WORK/files" && second_start straddle.wqzpos) >/dev/null || exit 1
wait_for_windows "straddle.wqzpos - $TITLE" 1 ||
    fail "the running window did not open the file handed to it again"

# Asked for, a window of its own, beside the first and above it.
start apart --new-window
wait_for_windows "$TITLE" 1 || fail "--new-window opened no window of its own"
kill -0 "${STARTED[0]}" || fail "the first window ended"
# The upper of the two windows (xwininfo lists the root's children top first).
upper() {
    xwininfo -root -children |
        grep -oF -e "\"straddle.wqzpos - $TITLE\": (" -e "\"$TITLE\": (" | head -n 1
}
[ "$(upper)" = "\"$TITLE\": (" ] || fail "the new window did not open above the first"
# A start without files brings the running window forward and ends.
second_start >/dev/null || exit 1
for _ in $(seq 50); do
    [ "$(upper)" = "\"straddle.wqzpos - $TITLE\": (" ] && break
    sleep 0.1
done
[ "$(upper)" = "\"straddle.wqzpos - $TITLE\": (" ] ||
    fail "the running window did not come to the front"
PROGRAM_PID=${STARTED[1]}
stop_program

# The first is killed as a crash would end it: its socket stays behind, and
# the next start opens its own window with the broken file, tells what is
# wrong with it over that window and goes on running.
engine=$(descendants "${STARTED[0]}")
kill -KILL "${STARTED[0]}"
# shellcheck disable=SC2086
kill $engine 2>/dev/null
[ -S "$WORK/runtime/"*.open ] || fail "the first window left no socket to test with"
start next "$WORK/files/broken.wqzpos"
wait_for_windows "Quillmere" 1 || fail "no message about the broken file"
wait_for_windows "$TITLE" 1 || fail "the window did not start after the broken file"
# Nothing has the keyboard until a click (no window manager): click the
# message's text, then press Return as a student would.
xdotool mousemove --window "$(xdotool search --name '^Quillmere$' | head -n 1)" 20 20 click 1 \
    sleep 0.3 key Return
for _ in $(seq 50); do
    [ "$(windows_titled Quillmere)" = 0 ] && break
    sleep 0.1
done
[ "$(windows_titled Quillmere)" = 0 ] || fail "the message did not close on Return"
kill -0 "$PROGRAM_PID" || fail "the window ended after the message"
# And it is the one later starts hand their files to.
second_start "$WORK/files/straddle.wqzpos" >/dev/null || exit 1
wait_for_windows "straddle.wqzpos - $TITLE" 1 ||
    fail "the window started after a crash did not take the next file"
# File > Exit takes the socket away with the window.
xdotool mousemove --window "$(xdotool search --name "^straddle.wqzpos - $TITLE\$" | head -n 1)" \
    150 35 click 1 sleep 0.3 key alt+f sleep 0.3 key x
for _ in $(seq 100); do
    kill -0 "$PROGRAM_PID" 2>/dev/null || break
    sleep 0.1
done
kill -0 "$PROGRAM_PID" 2>/dev/null && fail "File > Exit did not end the program"
[ -z "$(ls -A "$WORK/runtime" | grep -F .open)" ] || fail "the socket outlived the window"
echo "test_second_start: link, --new-window, a broken file, a stale socket and Exit all as expected" >&2
exit 0
