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
    # A new prefix says it is Windows 7; Monvert needs 10.
    wine winecfg /v win10 >/dev/null 2>&1
    # The server and its desktop, started here with no display, outlive
    # winecfg for a moment: a program started on Xvfb meanwhile would join
    # that desktop, find no display driver and make no window.
    wineserver -w
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
    [ "$(xdotool search --onlyvisible --name '^Monvert$' | wc -l)" = 1 ]
}
check "a second start ends, leaving one window" second_start

# Keys typed after switching to another window and back reach the box typed in.
activate
click_at 100 8
xdotool key ctrl+a
xdotool type --delay 30 12
xmessage -geometry 300x100+400+300 "another program" &
OTHER_PID=$!
E2E_PIDS+=($OTHER_PID)
OTHER=$(timeout 30 xdotool search --sync --onlyvisible --name '^xmessage$' | head -n1)
xdotool windowactivate --sync "$OTHER" >/dev/null 2>&1
activate
xdotool type --delay 30 3
xdotool key Return
check "back from another window, typing goes on in the box: 123 is Euro 0.06" clipboard_is "Euro 0.06"
kill "$OTHER_PID" 2>/dev/null
xdotool key --clearmodifiers alt+F4
ended() { ! kill -0 "$MONVERT_PID" 2>/dev/null; }
check "closing the window ends the program" wait_until $E2E_PATIENCE ended

# Started twice at the same moment: one of the two ends, and one window stays.
visible_windows() { xdotool search --onlyvisible --name '^Monvert$' 2>/dev/null | wc -l; }
one_window_of_two() {
    local first second pair lost=0 doubled=0
    for pair in $(seq 8); do
        "${MONVERT_COMMAND[@]}" 2>/dev/null &
        first=$!
        "${MONVERT_COMMAND[@]}" 2>/dev/null &
        second=$!
        wait_until $E2E_PATIENCE sh -c "! kill -0 $first 2>/dev/null || ! kill -0 $second 2>/dev/null"
        wait_until $E2E_PATIENCE sh -c '[ "$(xdotool search --onlyvisible --name "^Monvert\$" 2>/dev/null | wc -l)" -ge 1 ]'
        case $(visible_windows) in
        0) lost=$((lost + 1)) ;;
        1) ;;
        *) doubled=$((doubled + 1)) ;;
        esac
        kill "$first" "$second" 2>/dev/null
        wait "$first" "$second" 2>/dev/null
        wait_until $E2E_PATIENCE sh -c '[ "$(xdotool search --name "^Monvert\$" 2>/dev/null | wc -l)" = 0 ]'
    done
    [ $lost = 0 ] && [ $doubled = 0 ] || { echo "    of 8 pairs: $lost left no window, $doubled two"; return 1; }
}
check "8 pairs started at the same moment: one window each time" one_window_of_two

# The clipboard from the keyboard: monvert.com for the desktop's shortcut
# settings, with no window and with one; a shortcut of the program's own,
# pressed in another program (Wine hands hotkeys over while one of its own
# windows has the focus: Notepad here), which keeps the focus.
from_cmd() { (cd "$BUILD/src" && LC_ALL=it_IT.UTF-8 wine cmd /c "monvert $1 --clipboard" >"$E2E_TMP/cmd.out" 2>&1); }
own_clipboard 1000
check "monvert.com --from-lire --clipboard with no window: status 0" from_cmd --from-lire
check "and the window converted the clipboard" clipboard_is "Euro 0,52"
own_clipboard 10
check "monvert.com --from-euro --clipboard with a window: status 0" from_cmd --from-euro
check "the window converted the clipboard" clipboard_is "L. 19.363"
# Nothing converted is told, not passed off as done. Wine's bridge takes in
# a new X clipboard in its own time, and until then the ask reads the L.
# 19.363 before it, no Euro amount either: asked again until it reads abc.
own_clipboard abc
# The line is in the prefix's language, which a new prefix takes from the locale.
refused_from_cmd() { ! from_cmd --from-euro && tr -d '\r' <"$E2E_TMP/cmd.out" | grep -q '^monvert: .*: abc$'; }
said_abc() {
    wait_until $E2E_PATIENCE refused_from_cmd || { echo "    said: $(tr -d '\r' <"$E2E_TMP/cmd.out")"; return 1; }
}
check "monvert.com --from-euro --clipboard with abc: status 1 and a line naming it" said_abc
check "one window" test "$(xdotool search --onlyvisible --name '^Monvert$' | wc -l)" = 1
wineserver -k
wait_until $E2E_PATIENCE sh -c '[ "$(xdotool search --name "^Monvert\$" 2>/dev/null | wc -l)" = 0 ]'
MONVERT_COMMAND+=(--shortcut-from-lire=Ctrl+Shift+F9)
start_monvert en_US.UTF-8
wine notepad >/dev/null 2>&1 &
E2E_PIDS+=($!)
NOTEPAD=$(timeout 60 xdotool search --sync --onlyvisible --class notepad | head -n1)
xdotool windowactivate --sync "$NOTEPAD" >/dev/null 2>&1
own_clipboard 1000
xdotool key ctrl+shift+F9
check "Ctrl+Shift+F9 pressed in Notepad converts the clipboard" clipboard_is "Euro 0.52"
check "and Notepad keeps the focus" test "$(xdotool getactivewindow)" = "$NOTEPAD"
wineserver -k

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
# The status as cmd /c ends with it: cmd expands %ERRORLEVEL% when it reads
# the line, before the command runs, so an echo of it tells an older status.
status_in_cmd() {
    (cd "$BUILD/src" && LC_ALL=$1 wine cmd /c "$2" >/dev/null 2>&1)
    echo $?
}
check "cmd: a line that is no amount gives status 1" \
    test "$(status_in_cmd it_IT.UTF-8 'monvert --from-lire abc >NUL 2>NUL')" = 1
# Files as Windows' own tools write them: UTF-8 with a byte order mark, and
# UTF-16 with one, as Windows PowerShell 5.1's > does.
printf '\xef\xbb\xbf1000\r\n10\r\n' >"$BUILD/src/utf8-mark.txt"
printf '\xff\xfe1\x000\x000\x000\x00\r\x00\n\x00\xa3\x00 \x001\x000\x00.\x000\x000\x000\x00\r\x00\n\x00' \
    >"$BUILD/src/utf16-mark.txt"
check "cmd: a UTF-8 file with its byte order mark" \
    test "$(in_cmd it_IT.UTF-8 'monvert --from-lire < utf8-mark.txt')" = $'Euro 0,52\nEuro 0,01'
check "cmd: a UTF-16 file with its byte order mark, a line each, the lira sign read" \
    test "$(in_cmd it_IT.UTF-8 'monvert --from-lire < utf16-mark.txt')" = $'Euro 0,52\nEuro 5,16'
check "cmd: --help speaks of Windows, not of Qt or LC_ALL" \
    sh -c "out=\$(cd '$BUILD/src' && LC_ALL=en_US.UTF-8 wine cmd /c 'monvert --help' 2>/dev/null); \
        echo \"\$out\" | grep -q 'regional settings of Windows' && ! echo \"\$out\" | grep -q 'Qt\\|LC_ALL\\|SIGPIPE\\|cut '"

# The installer: for the user alone, with no elevation, in the user's own
# Programs folder and on the user's PATH; one entry however often the same
# version is installed; nothing left once removed; refused by Windows
# older than 10 version 1607.
MSI=$(ls "$BUILD"/monvert-*-x64.msi)
cp "$MSI" "$E2E_TMP/first.msi"
cmake --build "$BUILD" --target msi >/dev/null # another build: another product code
msiexec() { wine msiexec "$1" "Z:${2//\//\\}" /qn >/dev/null 2>&1; }
installed() { find "$WINEPREFIX/drive_c/users" -path '*/AppData/Local/Programs/Monvert/monvert.com' | grep -q .; }
shortcut() { find "$WINEPREFIX/drive_c" -path '*Start Menu/Programs/Monvert.lnk' | grep -q .; }
entries() { wine reg query 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall' /s 2>/dev/null | tr -d '\r' | grep -c 'DisplayName *REG_SZ *Monvert$'; }
user_path() { wine reg query 'HKCU\Environment' /v PATH 2>/dev/null | tr -d '\r'; }
check "the MSI asks for no elevation" sh -c "msiinfo suminfo '$MSI' | grep -q '^Source: [0-9]* (.*[89a-f])'"
msiexec /i "$E2E_TMP/first.msi"
check "it installs monvert.exe and monvert.com in the user's own Programs folder" installed
check "and a Start menu shortcut" shortcut
check "monvert works from a command prompt anywhere: the folder is on the user's PATH" \
    test "$(cd "$WINEPREFIX/drive_c" && LC_ALL=it_IT.UTF-8 wine cmd /c 'monvert --from-lire 1000' 2>/dev/null | tr -d '\r')" = "Euro 0,52"
icon_file() {
    local icon
    icon=$(wine reg query 'HKCU\Software\Microsoft\Installer\Products' /s 2>/dev/null | tr -d '\r' | sed -n 's/.*ProductIcon *REG_SZ *//p')
    [ -n "$icon" ] && [ -s "$(winepath -u "$icon" 2>/dev/null)" ]
}
check "the entry in the list of programs has the icon" icon_file
msiexec /i "$MSI"
check "another build of the same version replaces it: one entry" test "$(entries)" = 1
msiexec /x "$MSI"
removed() { ! installed && ! shortcut && [ "$(entries)" = 0 ] && ! user_path | grep -q 'Programs\\Monvert'; }
check "msiexec /x removes them, the entry, and the folder from PATH" removed
build=$(wine reg query 'HKLM\SOFTWARE\Microsoft\Windows NT\CurrentVersion' /v CurrentBuildNumber 2>/dev/null | tr -d '\r' | sed -n 's/.*REG_SZ *//p')
wine reg add 'HKLM\SOFTWARE\Microsoft\Windows NT\CurrentVersion' /v CurrentBuildNumber /d 10586 /f >/dev/null 2>&1
msiexec /i "$MSI"
check "Windows 10 version 1511 is refused" sh -c '! find "$0/drive_c/users" -path "*Programs/Monvert/monvert.exe" | grep -q .' "$WINEPREFIX"
wine reg add 'HKLM\SOFTWARE\Microsoft\Windows NT\CurrentVersion' /v CurrentBuildNumber /d "$build" /f >/dev/null 2>&1

finish || status=1
exit $status
