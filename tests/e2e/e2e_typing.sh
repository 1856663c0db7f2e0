#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Typing into the real program converts at once; Enter copies the other box.
MONVERT=$1
SHOTS=${2:-$(mktemp -d)}
source "$(dirname "$0")/lib.sh"
mkdir -p "$SHOTS"

start_desktop
start_monvert it_IT.UTF-8
activate

# The Lire box has the focus; its first keystroke already converts.
xdotool type --delay 30 -- "1"
xdotool key Return
check "first keystroke in the Lire box converts" clipboard_is "Euro 0,00"

# Enter moved the focus to the Euro box; Shift+Tab goes back and selects all.
xdotool key shift+Tab
xdotool type --delay 30 -- "1000"
xdotool key Return
check "1000 Lire is Euro 0,52" clipboard_is "Euro 0,52"

xdotool type --delay 30 -- "10"
xdotool key Return
check "10 Euro is L. 19.363" clipboard_is "L. 19.363"

xdotool key Tab
xdotool type --delay 30 -- "-5"
xdotool key Return
check "-5 Euro is L. -9.681" clipboard_is "L. -9.681"

xdotool key Tab
xdotool type --delay 30 -- "E100"
xdotool key Return
check "E100 in the Euro box changes nothing" clipboard_is "L. -9.681"

xdotool key Tab
xdotool type --delay 30 -- "e 100"
xdotool key Return
check "e 100 in the Euro box changes nothing" clipboard_is "L. -9.681"

xdotool key Tab
xdotool type --delay 30 -- "5"
xdotool key Return
check "5 Euro is L. 9.681" clipboard_is "L. 9.681"

# Edit the display text in place: L. 9.681 becomes L. 19.681.
xdotool key Home Right Right Right
xdotool type --delay 30 -- "1"
xdotool key Return
check "editing L. 9.681 in the Lire box converts" clipboard_is "Euro 10,16"

xdotool key shift+Tab
xdotool type --delay 30 -- "1000000"
xdotool key Return
check "1000000 Lire is Euro 516,46" clipboard_is "Euro 516,46"
import -window root -crop 330x60+0+0 "$SHOTS/window-converted.png"

# Exact to the last lira and the last cent where a double's fifteen digits are not enough.
xdotool key ctrl+a
xdotool type --delay 30 -- "516476,6311"
xdotool key Return
check "516476,6311 Euro is exactly L. 1.000.038.206" clipboard_is "L. 1.000.038.206"
xdotool key ctrl+a
xdotool type --delay 30 -- "19362700009,6813"
xdotool key Return
check "19362700009,6813 Lire is exactly Euro 10.000.000,00" clipboard_is "Euro 10.000.000,00"

# The keypad's decimal key types the decimal comma, whatever the layout sends.
setxkbmap it
xdotool key ctrl+a KP_1 KP_2 KP_Decimal KP_5 KP_0 Return
check "12,50 on the Italian keypad is L. 24.203" clipboard_is "L. 24.203"
setxkbmap us

# A slip leaves the other box grey, and Enter copies nothing from it.
xdotool key Tab ctrl+a
xdotool type --delay 30 -- "12.5"
# The darkest pixel inside the Lire box: black text when current, grey when stale.
darkest_in_lire_box() {
    import -window root -crop 330x60+0+0 "$SHOTS/window-stale.png"
    convert "$SHOTS/window-stale.png" -crop 105x14+60+23 -colorspace Gray -format '%[fx:int(255*minima)]' info:
}
is_grey_now() { [ "$(darkest_in_lire_box)" -gt 80 ]; }
is_grey() { wait_until $E2E_PATIENCE is_grey_now || { echo "    darkest pixel $(darkest_in_lire_box)"; return 1; }; }
check "12.5 in the Euro box greys the Lire box" is_grey
xdotool key Return
sleep 0.3
check "Enter leaves the clipboard as it was" clipboard_is "L. 24.203"

# The middle button pastes the selection, not the clipboard. (Windows has no
# such selection, and its boxes no middle-button paste.)
if [ -z "${E2E_WINE:-}" ]; then
    own_clipboard "1000"
    click_at 100 8
    xdotool key ctrl+a Delete
    # After the select-all, which made the box's text the selection.
    printf 123 | xclip -selection primary -i
    wait_until $E2E_PATIENCE sh -c '[ "$(timeout 5 xclip -selection primary -o)" = 123 ]'
    click_at 100 8 2
    xdotool key Return
    check "the middle button pastes the selection: 123 Lire, Euro 0,06" clipboard_is "Euro 0,06"
fi

check "nothing on standard error" stderr_is_empty

# Under English settings ten thousand Lire written the Italian way is ten
# thousand Lire. A text that is no amount leaves the clipboard as it was, and
# the box that did not follow says why at once.
stop_monvert
start_monvert en_US.UTF-8
own_clipboard "L. 10.000"
click_at 44 8
check "English settings: a click on Lire turns L. 10.000 into Euro 5.16" clipboard_is "Euro 5.16"
# A window of the program's besides its own: Qt's tooltip, or Wine's, which
# carries the program's class.
tooltip_shown() {
    local window
    for window in $(xdotool search --onlyvisible --pid "$MONVERT_PID" 2>/dev/null) \
        $(xdotool search --onlyvisible --class '^monvert.exe$' 2>/dev/null); do
        [ "$window" != "$WINDOW" ] && return 0
    done
    return 1
}
own_clipboard "L. 10.00.0"
sleep 0.6 # no double-click with the click before
click_at 44 8
check "a click on Lire with no amount says why at once" wait_until $E2E_PATIENCE tooltip_shown
check "and leaves the clipboard as it was" clipboard_is "L. 10.00.0"
finish
