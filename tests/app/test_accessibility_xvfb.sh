#!/bin/bash
# Reads the running program through the accessibility bus, as a screen reader
# does: a virtual display, a private session bus, the AT-SPI bus on it, the
# program told to speak to it, and atspi_check.py reading the window.
#
# Usage: test_accessibility_xvfb.sh PROGRAM
# Exit status 0 when the check passes, 1 when it fails or a tool it needs is
# missing, 77 (skipped) only when the accessibility bus itself cannot be
# started here.
set -u

HERE=$(cd "$(dirname "$0")" && pwd)
say() { echo "test_accessibility_xvfb: $*" >&2; }

if [ -z "${WQZ_TEST_INNER:-}" ]; then
    for tool in xvfb-run xdotool python3; do
        if ! command -v "$tool" >/dev/null; then
            say "$tool is not installed (scripts/setup.sh installs it)"
            exit 1
        fi
    done
    if ! command -v dbus-run-session >/dev/null; then
        say "SKIP: no session bus to start the accessibility bus on (dbus-run-session)"
        exit 77
    fi
    # Nothing the program or the buses write lands in the user's home: the
    # session bus starts services (the accessibility bus among them) with
    # the environment it was given, so the scratch folders come first.
    WORK=$(mktemp -d)
    export HOME="$WORK/home" XDG_CONFIG_HOME="$WORK/config" XDG_DATA_HOME="$WORK/data"
    export XDG_CACHE_HOME="$WORK/cache" XDG_RUNTIME_DIR="$WORK/runtime"
    mkdir -p "$HOME" "$XDG_CONFIG_HOME" "$XDG_DATA_HOME" "$XDG_CACHE_HOME" "$XDG_RUNTIME_DIR"
    chmod 700 "$XDG_RUNTIME_DIR"
    # One display and one session bus for the whole test, both gone after.
    WQZ_TEST_INNER=1 WORK="$WORK" timeout -k 10 230 \
        xvfb-run -a -s "-screen 0 1280x1024x24" dbus-run-session -- bash "$0" "$@"
    status=$?
    rm -rf "$WORK"
    exit $status
fi

PROGRAM=${1:?usage: test_accessibility_xvfb.sh PROGRAM}
BUS_PID=""

source "$HERE/run_program.sh"

cleanup() {
    stop_program
    [ -n "$BUS_PID" ] && kill "$BUS_PID" 2>/dev/null && wait "$BUS_PID" 2>/dev/null
}
trap cleanup EXIT
trap 'exit 1' INT TERM

# Debian's bindings live with Debian's interpreter, which another python3
# first on the PATH does not see.
PYTHON=""
for candidate in python3 /usr/bin/python3; do
    if "$candidate" -c 'import pyatspi' 2>/dev/null; then
        PYTHON=$candidate
        break
    fi
done
if [ -z "$PYTHON" ]; then
    say "python3-pyatspi cannot be imported (scripts/setup.sh installs it)"
    exit 1
fi

launcher=""
for candidate in /usr/libexec/at-spi-bus-launcher /usr/lib/at-spi2-core/at-spi-bus-launcher; do
    [ -x "$candidate" ] && launcher=$candidate && break
done
if [ -z "$launcher" ]; then
    say "SKIP: no at-spi-bus-launcher (Debian's at-spi2-core)"
    exit 77
fi
"$launcher" --launch-immediately 2>"$WORK/bus.err" &
BUS_PID=$!

# The bus is up once the launcher holds its name on the session bus (asked
# without starting a second launcher) and answers with its address.
address=""
for _ in $(seq 200); do
    if dbus-send --session --print-reply=literal --dest=org.freedesktop.DBus /org/freedesktop/DBus \
        org.freedesktop.DBus.NameHasOwner string:org.a11y.Bus 2>/dev/null | grep -q true; then
        address=$(dbus-send --session --print-reply=literal --dest=org.a11y.Bus /org/a11y/bus \
            org.a11y.Bus.GetAddress 2>/dev/null | tr -d ' ')
        break
    fi
    kill -0 "$BUS_PID" 2>/dev/null || break
    sleep 0.1
done
if [ -z "$address" ]; then
    say "SKIP: the AT-SPI bus did not start"
    cat "$WORK/bus.err" >&2
    exit 77
fi
say "accessibility bus at $address"

QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 start_program "$PROGRAM" "$WORK/program.err"
if ! wait_report first-curve "$WORK/program.err"; then
    say "the program never drew its first curve"
    tail -n 20 "$WORK/program.err" >&2
    exit 1
fi

"$PYTHON" "$HERE/atspi_check.py" "$PROGRAM_PID"
status=$?
if ! kill -0 "$PROGRAM_PID" 2>/dev/null; then
    say "the program ended during the check"
    tail -n 20 "$WORK/program.err" >&2
    status=1
fi
exit $status
