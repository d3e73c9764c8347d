#!/usr/bin/env bash
# Installs every Debian package that building, running and testing need.
# Packages already present are skipped; apt is only asked when one is missing.
set -euo pipefail

packages=(
    # build
    cmake ninja-build g++ pkg-config
    qt6-base-dev libgl-dev libfontconfig-dev
    qt6-webengine-dev libx11-dev
    # the diagram exported as an SVG drawing
    qt6-svg-dev
    libcurl4-openssl-dev
    # the loopback web server that serves the bundled pages
    libcpp-httplib-dev
    # option pricing before expiry
    libquantlib0-dev
    libbenchmark-dev
    # the icon's bitmaps, drawn from its SVG at build time
    librsvg2-bin
    # the .deb (cpack -G DEB): dpkg-shlibdeps, and file to find what it reads
    dpkg-dev file
    # the fuzz test
    clang-14 libclang-rt-14-dev
    # the program's face
    fonts-liberation2 fonts-dejavu-core
    # running without a display, and looking at the window; x11-utils brings
    # xmessage, whose windows stand in for a school's launcher in tests
    xvfb xauth imagemagick x11-utils
    # a real pointer and keyboard on that display, for the tests that drag
    # and type as a student does
    xdotool
    # the loopback servers that stand in for the maker's sites in tests
    python3 python3-pyftpdlib
    # reading the window as a screen reader does: the accessibility bus on a
    # private session bus, and its Python client
    dbus at-spi2-core python3-pyatspi
    # checking the installed desktop entry and AppStream description
    desktop-file-utils appstream
    # and the type of the position files (update-mime-database, xmllint)
    shared-mime-info libxml2-utils
    # reading back the printed page's PDF: its text, pages and pictures
    poppler-utils
)

missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$p")
    fi
done

if [ ${#missing[@]} -eq 0 ]; then
    exit 0
fi

echo "Installing: ${missing[*]}"
as_root=()
if [ "$(id -u)" -ne 0 ]; then
    as_root=(sudo)
fi
"${as_root[@]}" apt-get update -qq
DEBIAN_FRONTEND=noninteractive "${as_root[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
