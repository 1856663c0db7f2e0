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
icons=""
for size in 128 16 22 24 256 32 48 64; do
    icons+="./share/icons/hicolor/${size}x${size}/apps/org.monvert.Monvert.png "
done
expected="./bin/monvert ./libexec/monvert/monvert-window ./share/applications/org.monvert.Monvert.desktop ./share/doc/monvert/changelog.gz ./share/doc/monvert/copyright ${icons}./share/icons/hicolor/scalable/apps/org.monvert.Monvert.svg ./share/locale/it/LC_MESSAGES/monvert.mo ./share/man/it/man1/monvert.1.gz ./share/man/man1/monvert.1.gz ./share/metainfo/org.monvert.Monvert.metainfo.xml "
check "installs the program, desktop entry, icons and metadata" test "$installed" = "$expected"
check "desktop entry is valid" desktop-file-validate "$PREFIX/share/applications/org.monvert.Monvert.desktop"
check "AppStream metadata is valid, strictly" \
    appstreamcli validate --no-net --strict "$PREFIX/share/metainfo/org.monvert.Monvert.metainfo.xml"
# Each theme icon is drawn at its own size.
sized_right() {
    local size
    for size in 16 22 24 32 48 64 128 256; do
        [ "$(identify -format '%wx%h' "$PREFIX/share/icons/hicolor/${size}x${size}/apps/org.monvert.Monvert.png")" = "${size}x${size}" ] \
            || { echo "    ${size}x${size} is not"; return 1; }
    done
}
check "the theme icons are 16 to 256 pixels" sized_right
entry="$PREFIX/share/applications/org.monvert.Monvert.desktop"
check "the desktop entry names the window class" grep -qx "StartupWMClass=monvert" "$entry"
check "the desktop entry has an Italian generic name" grep -q "^GenericName\[it\]=" "$entry"
check "the desktop entry offers both clipboard conversions as actions" \
    test "$(grep -c '^Exec=monvert --from-\(lire\|euro\) --clipboard$' "$entry")" = 2
check "metadata carries the project version" grep -q 'release version="1.00"' "$PREFIX/share/metainfo/org.monvert.Monvert.metainfo.xml"
check "--version answers without a display" test "$(env -u DISPLAY -u WAYLAND_DISPLAY "$PREFIX/bin/monvert" --version)" = "Monvert 1.00"
check "the Italian manual page" sh -c "zcat '$PREFIX/share/man/it/man1/monvert.1.gz' | grep -q '^.SH STATO D'"
check "--help in Italian from the installed catalogue" sh -c \
    "LC_ALL=it_IT.UTF-8 '$PREFIX/bin/monvert' --help | grep -q '^Uso: monvert'"
# Every message the programs write has its Italian translation.
SOURCE=$(cd "$(dirname "$0")/../.." && pwd)
(cd "$SOURCE" && xgettext --keyword=translated --from-code=UTF-8 -C -o "$PREFIX/monvert.pot" \
    $(git ls-files 'src/*.cpp'))
check "every message is translated into Italian" msgcmp "$SOURCE/packaging/po/it.po" "$PREFIX/monvert.pot"
no_qt() { ! LD_DEBUG=libs "$PREFIX/bin/monvert" --from-lire 1000 2>&1 >/dev/null | grep libQt6; }
check "the terminal mode loads no Qt library" no_qt
check "the installed command finds the window's program" sh -c \
    "env -u DISPLAY -u WAYLAND_DISPLAY LC_ALL=C.UTF-8 '$PREFIX/bin/monvert' 2>&1 | grep -q 'DISPLAY is not set'"
# The window's program lives one folder further down, and finds the
# catalogue from there too.
check "the installed window's program speaks Italian" sh -c \
    "env -u DISPLAY -u WAYLAND_DISPLAY LC_ALL=it_IT.UTF-8 '$PREFIX/bin/monvert' 2>&1 | grep -q 'DISPLAY non è impostata'"
check "--help shows a usage" sh -c "env -u DISPLAY LC_ALL=C.UTF-8 '$PREFIX/bin/monvert' --help | grep -q '^Usage: monvert'"
check "--help and the manual show the terminal mode with an example" sh -c \
    "env -u DISPLAY LC_ALL=C.UTF-8 '$PREFIX/bin/monvert' --help | grep -q 'monvert --from-lire --number' && zcat '$PREFIX/share/man/man1/monvert.1.gz' | grep -q 'from\\\\-lire'"

# The Debian package: the same files under /usr, the Qt libraries declared,
# and nothing lintian counts as an error.
(cd "$BUILD" && cpack -G DEB -B "$PREFIX/deb" >"$PREFIX/cpack.log" 2>&1) || cat "$PREFIX/cpack.log"
DEB=$(ls "$PREFIX"/deb/monvert_*.deb 2>/dev/null | head -n1)
check "cpack builds a Debian package" test -n "$DEB"
if [ -n "$DEB" ]; then
    packaged=$(dpkg-deb -c "$DEB" | awk '$1 !~ /^d/ {print $NF}' | sed 's|^\./usr/|./|' | sort | tr '\n' ' ')
    check "the package holds what cmake --install installs, under /usr" test "$packaged" = "$expected"
    depends=$(dpkg-deb -f "$DEB" Depends)
    declares() { grep -q "$1" <<<"$depends" || { echo "    Depends: $depends"; return 1; }; }
    check "the package declares Qt Widgets" declares libqt6widgets6
    check "the package declares Qt's platform plugins" declares qt6-qpa-plugins
    check "the package declares Qt's translations" declares qt6-translations-l10n
    lintian_clean() {
        local out status
        out=$(lintian --fail-on error "$DEB" 2>&1)
        status=$?
        grep -v 'root privileges' <<<"$out" | sed 's/^/    /'
        return $status
    }
    check "lintian finds no error" lintian_clean
fi
echo "packaging: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
