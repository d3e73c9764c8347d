# Sourced, not run. Starts the whole program as a user would, with no network
# (no host name resolves but those the program answers itself) and its
# start-up times on stderr, and stops it with all its engine processes.
# Needs WORK (a scratch folder, which also holds the program's settings); the
# sourcing script removes WORK itself.

PROGRAM_PID=""

# Every process below $1, children first-born first.
descendants() {
    local child
    for child in $(pgrep -P "$1"); do
        echo "$child"
        descendants "$child"
    done
}

# start_program PROGRAM ERRFILE [ARGUMENT...]: starts it in the background,
# telling it the moment it was launched to the microsecond. Its runtime folder
# is the test's own, so a window the user has open elsewhere is never handed
# the start instead.
start_program() {
    local program=$1 err=$2
    shift 2
    mkdir -p -m 700 "$WORK/runtime"
    # Settings of its own, never the user's: every start is a first start.
    XDG_RUNTIME_DIR=$WORK/runtime XDG_CONFIG_HOME="$WORK/config" \
        QTWEBENGINE_CHROMIUM_FLAGS='--host-resolver-rules="MAP * ~NOTFOUND"' \
        WQZ_TRACE_STARTUP=1 WQZ_LAUNCHED_AT=$EPOCHREALTIME "$program" "$@" 2>"$err" &
    PROGRAM_PID=$!
}

# wait_report WHAT ERRFILE: true once the program reports WHAT (first-curve,
# first-page), false when it ends first or a minute passes.
wait_report() {
    for _ in $(seq 1200); do
        grep -q "^wqz: $1 " "$2" && return 0
        kill -0 "$PROGRAM_PID" 2>/dev/null || return 1
        sleep 0.05
    done
    return 1
}

wait_first_page() {
    wait_report first-page "$1"
}

stop_program() {
    [ -n "$PROGRAM_PID" ] || return 0
    local pids
    pids="$PROGRAM_PID $(descendants "$PROGRAM_PID")"
    kill $pids 2>/dev/null
    for _ in $(seq 50); do
        kill -0 $pids 2>/dev/null || break
        sleep 0.1
    done
    kill -KILL $pids 2>/dev/null
    wait "$PROGRAM_PID" 2>/dev/null
    PROGRAM_PID=""
}
