#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Installs the build into a scratch prefix and checks the desktop metadata with
# the validators the desktop environments themselves use.
set -u
BUILD=$1
PREFIX=$(mktemp -d)
trap 'rm -rf "$PREFIX"' EXIT
passed=0
failed=0
check() {
    local description=$1
    shift
    if "$@"; then passed=$((passed + 1)); echo "PASS: $description"
    else failed=$((failed + 1)); echo "FAIL: $description"; fi
}

cmake --install "$BUILD" --prefix "$PREFIX" >/dev/null
installed=$(cd "$PREFIX" && find . -type f | sort | tr '\n' ' ')
expected="./bin/monvert ./share/applications/org.monvert.Monvert.desktop ./share/icons/hicolor/16x16/apps/org.monvert.Monvert.png ./share/icons/hicolor/32x32/apps/org.monvert.Monvert.png ./share/metainfo/org.monvert.Monvert.metainfo.xml "
check "installs the program, desktop entry, icons and metadata" test "$installed" = "$expected"
check "desktop entry is valid" desktop-file-validate "$PREFIX/share/applications/org.monvert.Monvert.desktop"
check "AppStream metadata is valid" appstreamcli validate --no-net "$PREFIX/share/metainfo/org.monvert.Monvert.metainfo.xml"
check "metadata carries the project version" grep -q 'release version="1.00"' "$PREFIX/share/metainfo/org.monvert.Monvert.metainfo.xml"
check "--version answers without a display" test "$(env -u DISPLAY -u WAYLAND_DISPLAY "$PREFIX/bin/monvert" --version)" = "Monvert 1.00"
check "--help shows a usage" sh -c "env -u DISPLAY '$PREFIX/bin/monvert' --help | grep -q '^Usage: monvert'"
echo "packaging: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
