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

check "nothing on standard error" stderr_is_empty
finish
