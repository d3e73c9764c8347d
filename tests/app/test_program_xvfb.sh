#!/bin/bash
# Starts the program as a user would, on a virtual display with no network (no
# host name resolves but those the program answers itself), and checks the
# screen once the first page is in: the workbench shows its yellow payoff
# curve and the browser, to the right of it, shows the program's own first
# page (its headings have a colour of their own).
#
# Usage: test_program_xvfb.sh PROGRAM
# Exit status 0 when both are seen, 1 otherwise.
set -u

if [ -z "${WQZ_TEST_INNER:-}" ]; then
    # One virtual display for the whole test; xvfb-run removes it afterwards.
    WQZ_TEST_INNER=1 exec timeout -k 10 170 \
        xvfb-run -a -s "-screen 0 1280x1024x24" bash "$0" "$@"
fi

PROGRAM=${1:?usage: test_program_xvfb.sh PROGRAM}
HERE=$(cd "$(dirname "$0")" && pwd)
WORK=$(mktemp -d)

say() { echo "test_program_xvfb: $*" >&2; }

source "$HERE/run_program.sh"

cleanup() {
    stop_program
    rm -rf "$WORK"
}
trap cleanup EXIT
trap 'exit 1' INT TERM

start_program "$PROGRAM" "$WORK/program.err"
if ! wait_first_page "$WORK/program.err"; then
    say "the first page never finished loading"
    tail -n 20 "$WORK/program.err" >&2
    exit 1
fi
grep '^wqz: ' "$WORK/program.err" >&2

# The engine paints shortly after it reports the load: look a few times.
for attempt in $(seq 20); do
    sleep 0.25
    if ! import -window root -define png:compression-filter=0 PNG24:"$WORK/shot.png" 2>"$WORK/import.err"; then
        say "no screenshot"
        cat "$WORK/import.err" >&2
        continue
    fi
    if python3 - "$WORK/shot.png" <<'PYTHON'
import struct
import sys
import zlib

CURVE = (255, 255, 0)
PAGE = (0x0D, 0x3B, 0x66)


def read_png(path):
    with open(path, "rb") as f:
        data = f.read()
    if data[:8] != b"\x89PNG\r\n\x1a\n":
        raise ValueError("not a PNG")
    pos, idat = 8, b""
    width = height = depth = colour = interlace = None
    while pos < len(data):
        length, kind = struct.unpack(">I4s", data[pos:pos + 8])
        body = data[pos + 8:pos + 8 + length]
        pos += 12 + length
        if kind == b"IHDR":
            width, height, depth, colour, _, _, interlace = struct.unpack(">IIBBBBB", body)
        elif kind == b"IDAT":
            idat += body
        elif kind == b"IEND":
            break
    channels = {2: 3, 6: 4}.get(colour)
    if depth != 8 or channels is None or interlace != 0:
        raise ValueError(f"unexpected PNG layout: depth {depth}, colour {colour}")
    raw = zlib.decompress(idat)
    stride = width * channels
    rows, previous, i = [], bytearray(stride), 0
    for _ in range(height):
        kind = raw[i]
        line = bytearray(raw[i + 1:i + 1 + stride])
        i += 1 + stride
        for x in range(stride if kind else 0):
            a = line[x - channels] if x >= channels else 0
            b = previous[x]
            c = previous[x - channels] if x >= channels else 0
            if kind == 1:
                line[x] = (line[x] + a) & 0xFF
            elif kind == 2:
                line[x] = (line[x] + b) & 0xFF
            elif kind == 3:
                line[x] = (line[x] + (a + b) // 2) & 0xFF
            elif kind == 4:
                p = a + b - c
                pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
                pred = a if pa <= pb and pa <= pc else (b if pb <= pc else c)
                line[x] = (line[x] + pred) & 0xFF
        rows.append(bytes(line))
        previous = line
    return width, height, channels, rows


width, height, channels, rows = read_png(sys.argv[1])
curve_x, page_x = [], []
for row in rows:
    for colour, found in ((CURVE, curve_x), (PAGE, page_x)):
        wanted = bytes(colour)
        at = row.find(wanted)
        while at >= 0:
            if at % channels == 0:
                found.append(at // channels)
            at = row.find(wanted, at + 1)

print(f"curve pixels {len(curve_x)}, page pixels {len(page_x)}", file=sys.stderr)
if len(curve_x) < 50 or len(page_x) < 200:
    sys.exit(1)
curve_x.sort()
# The curve lies in the workbench, to the left of the browser's page.
if curve_x[len(curve_x) // 2] >= min(page_x):
    print("the curve is not left of the page", file=sys.stderr)
    sys.exit(1)
sys.exit(0)
PYTHON
    then
        exit 0
    fi
done
say "the screen never showed both the curve and the page"
exit 1
