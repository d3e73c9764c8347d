#!/bin/bash
# Installs the program into a scratch prefix, as a user or a package does,
# checks what a desktop reads there (the entry, the AppStream description, the
# icons, the types of position files and exercise packs) and the sample pack,
# then starts the installed program on a virtual display with no network and
# a position file to open: its window must show that position, and its
# plugins (the engine, the pages' server) must come from the prefix, with
# nothing at all taken from the build folder.
#
# Usage: test_install.sh CMAKE BUILD_DIR PLUGIN_DIR APP_ID VERSION
#   PLUGIN_DIR: the plugins' folder under the prefix; VERSION: the project's.
# Exit status 0 when all holds, 1 otherwise.
set -u

if [ -z "${WQZ_TEST_INNER:-}" ]; then
    # One virtual display for the whole test; xvfb-run removes it afterwards.
    WQZ_TEST_INNER=1 exec timeout -k 10 110 \
        xvfb-run -a -s "-screen 0 1280x1024x24" bash "$0" "$@"
fi

CMAKE=$1
BUILD=$(cd "$2" && pwd -P)
PLUGIN_DIR=$3
ID=$4
VERSION=$5
HERE=$(cd "$(dirname "$0")" && pwd)
WORK=$(mktemp -d)
WORK=$(cd "$WORK" && pwd -P)
PREFIX=$WORK/prefix

source "$HERE/run_program.sh"

cleanup() {
    stop_program
    rm -rf "$WORK"
}
trap cleanup EXIT
trap 'exit 1' INT TERM

fail() {
    echo "test_install: $*" >&2
    exit 1
}

if ! "$CMAKE" --install "$BUILD" --prefix "$PREFIX" >"$WORK/install.log" 2>&1; then
    cat "$WORK/install.log" >&2
    fail "cmake --install failed"
fi

# The entry: valid without so much as a hint, and naming what is installed.
entry=$PREFIX/share/applications/$ID.desktop
[ -f "$entry" ] || fail "no desktop entry $entry"
said=$(desktop-file-validate "$entry" 2>&1) && [ -z "$said" ] ||
    fail "desktop-file-validate: $said"
exec_line=$(sed -n 's/^Exec=\([^ ]*\).*/\1/p' "$entry")
[ -x "$PREFIX/bin/$exec_line" ] || fail "Exec=$exec_line is not in $PREFIX/bin"
grep -qx "Icon=$ID" "$entry" || fail "the entry's icon is not $ID"
# A file the student opens from the file manager is passed on.
grep -qx "Exec=$exec_line %f" "$entry" || fail "the entry does not pass the file on (%f)"

# The AppStream description: valid, launching the entry above, and its newest
# release the version being built.
meta=$PREFIX/share/metainfo/$ID.metainfo.xml
[ -f "$meta" ] || fail "no metainfo $meta"
appstreamcli validate --no-net "$meta" >&2 || fail "appstreamcli rejects $meta"
grep -q "<launchable type=\"desktop-id\">$ID.desktop</launchable>" "$meta" ||
    fail "the metainfo does not launch $ID.desktop"
newest=$(grep -o '<release version="[^"]*"' "$meta" | head -n 1 | cut -d'"' -f2)
[ "$newest" = "$VERSION" ] || fail "the newest release is $newest, the project $VERSION"

# The types of the position files and of the exercise packs: well-formed,
# and read by shared-mime-info itself, without a word, into a database that
# gives each glob its type and makes each a kind of JSON; the entry and the
# description name the same types.
mime=$PREFIX/share/mime/packages/$ID.xml
[ -f "$mime" ] || fail "no MIME type $mime"
xmllint --noout "$mime" || fail "xmllint rejects $mime"
types="application/x-wqz-position:wqzpos application/x-wqz-pack:wqzpack"
declared=$(sed -n 's/.*<mime-type type="\([^"]*\)".*/\1/p' "$mime" | tr '\n' ' ')
[ "$declared" = "application/x-wqz-position application/x-wqz-pack " ] ||
    fail "$mime should declare the position and the pack types, not '$declared'"
mkdir -p "$WORK/mime/packages"
cp "$mime" "$WORK/mime/packages/"
# (The scratch folder is named as the one searched, or it says so.)
said=$(XDG_DATA_HOME=$WORK XDG_DATA_DIRS=$WORK update-mime-database "$WORK/mime" 2>&1) &&
    [ -z "$said" ] ||
    fail "update-mime-database: $said"
for pair in $types; do
    mimetype=${pair%:*}
    glob=${pair##*:}
    grep -qx "[0-9]*:$mimetype:\*\.$glob" "$WORK/mime/globs2" ||
        fail "the database does not give *.$glob the type $mimetype"
    grep -qx "$mimetype application/json" "$WORK/mime/subclasses" ||
        fail "the database does not make $mimetype a kind of application/json"
    grep -q "<mediatype>$mimetype</mediatype>" "$meta" ||
        fail "the metainfo does not list $mimetype"
done
grep -qx "MimeType=application/x-wqz-position;application/x-wqz-pack;" "$entry" ||
    fail "the entry does not open both types: $(grep '^MimeType=' "$entry")"

# The sample pack, where the help page says it is: an exercise pack of the
# format the program reads.
sample=$PREFIX/share/$ID/packs/sample.wqzpack
[ -f "$sample" ] || fail "no sample pack $sample"
python3 -c '
import json, sys
pack = json.load(open(sys.argv[1], encoding="utf-8"))
assert pack["format"] == "wqz-exercise-pack" and pack["formatVersion"] == 1, "not a pack"
assert pack["questions"], "no questions"
' "$sample" || fail "the sample pack $sample is no pack of format 1"

# The icons: the drawing itself and bitmaps of the sizes their folders say.
icons=$PREFIX/share/icons/hicolor
[ -s "$icons/scalable/apps/$ID.svg" ] || fail "no scalable icon"
for size in 48 64 128 256; do
    png=$icons/${size}x${size}/apps/$ID.png
    [ -f "$png" ] || fail "no icon $png"
    got=$(identify -format '%m %wx%h' "$png" 2>&1)
    [ "$got" = "PNG ${size}x${size}" ] || fail "$png is $got"
done

# The installed program, as the file manager starts it for a position file
# (a strangle, in the profit diagram): the window's title names the file only
# once the position in it is shown.
cat >"$WORK/strangle given.wqzpos" <<'POSITION'
{"format":"wqz-position","version":1,
 "rows":[{"callQty":"0","callPrice":"5.00","strike":"45","putQty":"1","putPrice":"2.00"},
         {"callQty":"1","callPrice":"2.00","strike":"55","putQty":"0","putPrice":"5.00"}],
 "underlyingQty":"0","range":{"top":"50","bottom":"-10","from":"1","to":"100"},
 "diagram":"profit","curveColor":"#ffff00"}
POSITION
start_program "$PREFIX/bin/wqzlumo" "$WORK/program.err" "$WORK/strangle given.wqzpos"
shown=""
for _ in $(seq 600); do
    if xwininfo -name "strangle given.wqzpos - WQZ Option Payoffs Tutorial" >/dev/null 2>&1; then
        shown=1
        break
    fi
    kill -0 "$PROGRAM_PID" 2>/dev/null || break
    sleep 0.1
done
if [ -z "$shown" ]; then
    tail -n 20 "$WORK/program.err" >&2
    xwininfo -root -tree | grep -F '"' >&2
    fail "the installed program's window never showed the position given to it"
fi

# The engine starts once the window is on screen; the first page needs it.
if ! wait_first_page "$WORK/program.err"; then
    tail -n 20 "$WORK/program.err" >&2
    fail "the installed program never showed its first page"
fi
maps=$(cat "/proc/$PROGRAM_PID/maps")
# The engine and the bundled pages' server come up together.
for name in libwqzweb.so libwqzsites.so; do
    plugin=$PREFIX/$PLUGIN_DIR/$name
    grep -qF " $plugin" <<<"$maps" || fail "the plugin $name was not loaded from $plugin"
done
if grep -F " $BUILD/" <<<"$maps" >&2; then
    fail "the installed program uses files from the build folder"
fi
echo "test_install: installed into $PREFIX, types for *.wqzpos and *.wqzpack, a sample pack, window shown with the file given, plugins from $PREFIX/$PLUGIN_DIR" >&2
exit 0
