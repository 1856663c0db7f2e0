#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The Windows program under Wine, on Xvfb with openbox: the typing and
# clipboard scripts against monvert.exe, then what only Windows has: the
# placement and stacking Windows asks for, English settings, the terminal
# mode in cmd and the installer. Wine is not Windows; it is what runs here.
#   wine.sh BUILD_DIR CLIPBOARD_OWNER
BUILD=$(cd "$1" && pwd)
OWNER=$2
HERE=$(cd "$(dirname "$0")" && pwd)
export WINEPREFIX="$BUILD/wineprefix" WINEARCH=win64 WINEDEBUG=-all \
    WINEDLLOVERRIDES="mscoree,mshtml=;winedbg.exe=d"
if [ ! -d "$WINEPREFIX/drive_c" ]; then
    wineboot -i >/dev/null 2>&1
    wineserver -w
    # Wine 8 uses its own fonts only from inside the prefix.
    cp /usr/share/wine/fonts/*.ttf "$WINEPREFIX/drive_c/windows/Fonts/"
fi
trap 'wineserver -k 2>/dev/null' EXIT

# Wine draws the frame inside the X window it makes: the client area starts
# after its border and caption, which are the classic ones.
export E2E_WINE=1 E2E_CLIENT_X=3 E2E_CLIENT_Y=19
MONVERT="wine $BUILD/src/monvert.exe"
status=0
bash "$HERE/e2e_typing.sh" "$MONVERT" "$BUILD/screenshots" || status=1
bash "$HERE/e2e_clipboard.sh" "$MONVERT" "$OWNER" || status=1

source "$HERE/lib.sh"
start_desktop
start_monvert en_US.UTF-8
check "at the top-left corner" sh -c "xwininfo -id $WINDOW | grep -q 'upper-left X:  0' && xwininfo -id $WINDOW | grep -q 'upper-left Y:  0'"
states=$(xprop -id "$WINDOW" _NET_WM_STATE)
check "on top" grep -q _NET_WM_STATE_ABOVE <<<"$states"
check "no taskbar button" grep -q _NET_WM_STATE_SKIP_TASKBAR <<<"$states"
activate
xdotool type --delay 30 1000000
xdotool key Return
check "English settings: 1000000 and Enter copy Euro 516.46" clipboard_is "Euro 516.46"
own_clipboard 1000
click_at 44 8
check "English settings: a click on Lire turns 1000 into Euro 0.52" clipboard_is "Euro 0.52"
# Wine's X window is the whole frame: the classic one, six pixels wider than the client.
outer_width_is() { [ "$(xwininfo -id "$WINDOW" | awk '/Width:/ {print $2}')" = "$1" ]; }
sleep 0.6 # no double-click with the click before
double_click_at 12 8
check "a double-click on Eu folds the window to the label" wait_until $E2E_PATIENCE outer_width_is 31
xdotool type --delay 30 5
xdotool key Return
check "folded, 5 and Enter leave the clipboard" clipboard_is "Euro 0.52"
double_click_at 12 8
check "the next one unfolds it" wait_until $E2E_PATIENCE outer_width_is 310
second_start() {
    "${MONVERT_COMMAND[@]}" 2>/dev/null
    sleep 1
    [ "$(xdotool search --onlyvisible --name '^Monvert$' | wc -l)" = 1 ]
}
check "a second start ends, leaving one window" second_start
xdotool key --clearmodifiers alt+F4
ended() { ! kill -0 "$MONVERT_PID" 2>/dev/null; }
check "closing the window ends the program" wait_until $E2E_PATIENCE ended

# Self-contained: the programs import the system's DLLs alone.
only_system_dlls() {
    local dlls
    dlls=$(x86_64-w64-mingw32-objdump -p "$BUILD/src/monvert.exe" "$BUILD/src/monvert.com" \
        | sed -n 's/.*DLL Name: //p' | tr 'a-z' 'A-Z' | sort -u | tr '\n' ' ')
    echo "    imports: $dlls"
    [ "$dlls" = "COMCTL32.DLL DWMAPI.DLL GDI32.DLL KERNEL32.DLL MSVCRT.DLL OLE32.DLL SHELL32.DLL USER32.DLL " ]
}
check "monvert.exe and monvert.com import system DLLs only" only_system_dlls

# What only the Win32 forms have, inside the program's own process: a move to
# a 144 dpi screen, the names a screen reader hears, a clipboard another
# program holds, a text block with more after its zero.
LC_ALL=it_IT.UTF-8 wine "$BUILD/tst_win32.exe" 2>/dev/null | tr -d '\r' >"$E2E_TMP/win32"
sed -n 's/^    /    /p' "$E2E_TMP/win32"
while IFS= read -r line; do
    case $line in
    "PASS: "*) check "${line#PASS: }" true ;;
    "FAIL: "*) check "${line#FAIL: }" false ;;
    esac
done <"$E2E_TMP/win32"
check "the in-process checks ran to their end" grep -q "^win32: 0 failed" "$E2E_TMP/win32"

# The terminal mode, from cmd in the program's folder.
in_cmd() { (cd "$BUILD/src" && LC_ALL=$1 wine cmd /c "$2" 2>/dev/null | tr -d '\r'); }
check "cmd, Italian settings: monvert --from-lire 1000 1000000" \
    test "$(in_cmd it_IT.UTF-8 'monvert --from-lire 1000 1000000')" = $'Euro 0,52\nEuro 516,46'
check "cmd, English settings: monvert --from-euro 10" \
    test "$(in_cmd en_US.UTF-8 'monvert --from-euro 10')" = "L. 19,363"
check "cmd, Italian settings: messages in Italian" \
    test "$(in_cmd it_IT.UTF-8 'monvert --from-lire abc 2>&1')" = "monvert: riga 1: non è un importo: abc"
check "cmd: a line that is no amount gives status 1" \
    test "$(in_cmd it_IT.UTF-8 'monvert --from-lire abc >NUL 2>NUL & echo %ERRORLEVEL%')" = 1

# The installer: Program Files, the Start menu, and gone again.
MSI=$(ls "$BUILD"/monvert-*-x64.msi)
installed="$WINEPREFIX/drive_c/Program Files/Monvert"
shortcut() { find "$WINEPREFIX/drive_c" -path '*Start Menu/Programs/Monvert.lnk' | grep -q .; }
wine msiexec /i "Z:${MSI//\//\\}" /qn >/dev/null 2>&1
check "the MSI installs monvert.exe and monvert.com under Program Files" \
    test -f "$installed/monvert.exe" -a -f "$installed/monvert.com"
check "and a Start menu shortcut" shortcut
wine msiexec /x "Z:${MSI//\//\\}" /qn >/dev/null 2>&1
removed() { [ ! -e "$installed/monvert.exe" ] && ! shortcut; }
check "msiexec /x removes them" removed

finish || status=1
exit $status
