#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The real window on a real desktop: placement at start, stacking, clipboard
# commands on the labels, folding, and closing.
MONVERT=$1
SHOTS=${2:-$(mktemp -d)}
# X11 clients that misbehave, or tell what the window manager does.
OWNER=$3
# A session bus of its own, for the accessibility bus that screen readers use.
if [ -z "${E2E_SESSION_BUS:-}" ]; then
    E2E_SESSION_BUS=1 exec dbus-run-session -- bash "$0" "$@"
fi
source "$(dirname "$0")/lib.sh"
mkdir -p "$SHOTS"

# Room for two monitors side by side; one monitor shows it all until told otherwise.
E2E_SCREEN=3200x1200 start_desktop
start_monvert it_IT.UTF-8

echo "    frame extents (left, right, top, bottom): $(xprop -id "$WINDOW" _NET_FRAME_EXTENTS | sed -n 's/.*= //p')"
check "the outer rectangle at start is the row and openbox's frame at the corner" outer_rectangle_is "0 0 307 41"
check "the client area is 305 by 20, whatever the frame" client_size_is "305 20"
states=$(xprop -id "$WINDOW" _NET_WM_STATE)
check "kept above ordinary windows" grep -q _NET_WM_STATE_ABOVE <<<"$states"
check "no taskbar button" grep -q _NET_WM_STATE_SKIP_TASKBAR <<<"$states"
check "not in the pager" grep -q _NET_WM_STATE_SKIP_PAGER <<<"$states"
check "the window class is the desktop entry's" grep -q '"monvert"' <<<"$(xprop -id "$WINDOW" WM_CLASS)"
icon_sizes_are() {
    [ "$(xprop -id "$WINDOW" _NET_WM_ICON | grep -o '([0-9]* x' | tr -dc '0-9\n' | sort -n | tr '\n' ' ')" = "$1" ]
}
check "the window icon goes from 16 to 128 pixels" wait_until $E2E_PATIENCE icon_sizes_are "16 32 48 64 128 "
not_active() { ! xprop -root _NET_ACTIVE_WINDOW | grep -qi "$(printf '0x%x' "$WINDOW")"; }
check "not activated at start" not_active
import -window root -crop 330x60+0+0 "$SHOTS/window-start.png"

# Labels in client pixels: Eu 0-24, Lire 32-57, Euro 176-206; the row is 20 high.
own_clipboard "1000"
click_at 44 8
check "a click on Lire converts a clipboard that xclip owns" clipboard_is "Euro 0,52"

own_clipboard "5000"
click_at 12 8
check "a click on Eu converts from Lire" clipboard_is "Euro 2,58"

own_clipboard "10"
click_at 190 8
check "a click on Euro converts from Euro" clipboard_is "L. 19.363"
# The Lire text on the clipboard is no Euro amount: nothing converts. (A
# pause first, or the two clicks make a double-click.)
sleep 0.6
click_at 190 8
sleep 0.5
check "a second click on Euro leaves L. 19.363 on the clipboard" clipboard_is "L. 19.363"
activate
click_at 100 8
xdotool key ctrl+a ctrl+c
check "and the Lire box as it was" clipboard_is "L. 19.363"

# Only the box's own currency reads; a word that starts with E is no Euro.
click_after_a_pause() {
    sleep 0.6 # or two clicks in a row make a double-click
    click_at "$@"
    sleep 0.3
}
for text in "Esercizio 2024" "Errore 404" "EGP 1.000" "E£ 1.000" "EL. 19.363" "£ 10.000"; do
    own_clipboard "$text"
    click_after_a_pause 190 8
    check "a click on Euro leaves '$text' as it was" clipboard_is "$text"
done
for text in "£ 10.000" "10.000 lire"; do
    own_clipboard "$text"
    click_after_a_pause 44 8
    check "a click on Lire reads '$text' as Lire" clipboard_is "Euro 5,16"
done
own_clipboard "516,46 euro"
click_after_a_pause 190 8
check "a click on Euro reads '516,46 euro'" clipboard_is "L. 1.000.006"

convert -size 8x8 xc:red "$E2E_TMP/picture.png"
xclip -selection clipboard -t image/png -i "$E2E_TMP/picture.png"
offers_picture() { timeout 5 xclip -selection clipboard -t TARGETS -o 2>/dev/null | grep -q image/png; }
wait_until $E2E_PATIENCE offers_picture
click_at 44 8
sleep 0.5
same_picture() { offers_picture && timeout 5 xclip -selection clipboard -t image/png -o | cmp -s - "$E2E_TMP/picture.png"; }
check "a click on Lire leaves a picture on the clipboard as it was" same_picture

# An ordinary window over ours, activated: ours stays above it.
xmessage -geometry 400x200+0+0 "an ordinary window" &
XMESSAGE_PID=$!
E2E_PIDS+=($!)
OTHER=$(timeout 10 xdotool search --sync --onlyvisible --name '^xmessage$' | head -n1)
xdotool windowactivate --sync "$OTHER" >/dev/null 2>&1
stays_above() {
    local stacking ours theirs
    stacking=$(xprop -root _NET_CLIENT_LIST_STACKING | sed -n 's/.*# //p' | tr -d ',')
    ours=$(printf '0x%x' "$WINDOW")
    theirs=$(printf '0x%x' "$OTHER")
    # Bottom to top: ours must come after theirs.
    [[ " $stacking " == *" $theirs "*"$ours "* ]]
}
check "stays above an ordinary window activated afterwards" stays_above
kill "$XMESSAGE_PID" 2>/dev/null

own_clipboard "1000"
double_click_at 12 8
check "a double-click on Eu folds the window to the label" client_size_is "25 20"
check "the double-click on Eu converted the clipboard once" clipboard_is "Euro 0,52"
activate
xdotool type --delay 30 5
xdotool key Return
sleep 0.3
check "folded, 5 and Enter reach no box and leave the clipboard" clipboard_is "Euro 0,52"
import -window root -crop 330x60+0+0 "$SHOTS/window-folded.png"
double_click_at 12 8
check "the next double-click unfolds it, a pixel narrower than at start" client_size_is "304 20"

xdotool windowactivate --sync "$WINDOW" >/dev/null 2>&1
xdotool key --clearmodifiers alt+F4
ended() { ! kill -0 "$MONVERT_PID" 2>/dev/null; }
check "closing the window ends the program" wait_until $E2E_PATIENCE ended
check "nothing on standard error" stderr_is_empty

frame_at_corner() {
    local rectangle
    rectangle=$(outer_rectangle)
    [ "${rectangle% * *}" = "0 0" ]
}

# The row fills the client area's height, whatever height the manager gives
# (KWin gives more than asked): the bottom line of pixels under the Lire box
# is the box's, not the window's dark background.
row_fills() {
    local height pixel
    height=$(client_size | cut -d' ' -f2)
    import -window "$WINDOW" "$E2E_TMP/client.png"
    pixel=$(convert "$E2E_TMP/client.png" -format "%[fx:int(255*p{100,$((height - 2))}.b)]" info:)
    [ "$pixel" -gt 150 ] || { echo "    a band under the row: blue $pixel at the bottom of the Lire box"; return 1; }
}

# Each window manager's own frame goes around the same whole row of
# controls, and folding and unfolding leave its corner where it was. Sizes:
# at start, folded and unfolded; fluxbox on a 75 dpi screen, where the
# whole window is counted at 75 dpi.
for wm in xfwm4 metacity twm icewm kwin_x11 fluxbox; do
    stop_window_manager
    sizes=("305 20" "25 20" "304 20")
    if [ $wm = fluxbox ]; then
        echo "Xft.dpi: 75" | xrdb -merge
        sizes=("238 16" "20 16" "238 16")
    fi
    start_window_manager $wm
    start_monvert it_IT.UTF-8
    echo "    $wm: frame extents $(xprop -id "$WINDOW" _NET_FRAME_EXTENTS | sed -n 's/.*= //p'), client area $(client_size)"
    # KWin chooses the height itself; the width is still the row's.
    sized() {
        if [ $wm = kwin_x11 ]; then
            wait_until $E2E_PATIENCE sh -c '[ "$(xwininfo -id "$1" | awk "/Width:/ {print \$2}")" = "$2" ]' _ "$WINDOW" "${1% *}"
        else
            client_size_is "$1"
        fi
    }
    size=${sizes[0]/ / by }
    [ $wm = kwin_x11 ] && size="${sizes[0]% *} wide"
    check "$wm: the client area is $size" sized "${sizes[0]}"
    check "$wm: the row fills the client area's height" row_fills
    # twm tells nobody its frame; the others must put its corner at the screen's.
    [ $wm = twm ] || check "$wm: the frame at the corner" wait_until $E2E_PATIENCE frame_at_corner
    import -window root -crop 330x70+0+0 "$SHOTS/window-$wm.png"
    # Keys go where the window manager has put the focus, which a busy
    # one does in its own time after the click.
    activate
    click_at 100 8
    xdotool type --delay 30 1000000
    xdotool key Return
    check "$wm: 1000000 and Enter copy Euro 516,46" clipboard_is "Euro 516,46"
    double_click_at 12 8
    check "$wm: a double-click on Eu folds to the label" sized "${sizes[1]}"
    [ $wm = twm ] || check "$wm: folded, the frame still at the corner" wait_until $E2E_PATIENCE frame_at_corner
    double_click_at 12 8
    check "$wm: the next unfolds" sized "${sizes[2]}"
    check "$wm: unfolded, the row fills the client area's height" row_fills
    [ $wm = twm ] || check "$wm: unfolded, the frame still at the corner" wait_until $E2E_PATIENCE frame_at_corner
    stop_monvert
    [ $wm = fluxbox ] && echo "Xft.dpi: 96" | xrdb -merge
done

# Scaled screens: the client area scales, the frame's corner stays at the
# screen's (the window manager's frame extents are device pixels, Qt's
# geometry is not).
placed_at_corner() {
    start_monvert it_IT.UTF-8
    wait_until $E2E_PATIENCE frame_at_corner && client_size_is "$1"
    local placed=$?
    echo "    outer rectangle $(outer_rectangle), client area $(client_size)"
    stop_monvert
    return $placed
}
for wm in xfwm4 openbox; do
    stop_window_manager
    start_window_manager $wm
    for factor in 1.5 2; do
        export QT_SCALE_FACTOR=$factor
        check "$wm, QT_SCALE_FACTOR=$factor: the row fills the client area, the frame at the corner" \
            placed_at_corner "$([ $factor = 2 ] && echo "610 40" || echo "458 30")"
        unset QT_SCALE_FACTOR
    done
    for dpi in 144 192; do
        echo "Xft.dpi: $dpi" | xrdb -merge
        check "$wm, Xft.dpi $dpi: the row fills the client area, the frame at the corner" \
            placed_at_corner "$([ $dpi = 192 ] && echo "610 40" || echo "458 30")"
    done
    echo "Xft.dpi: 96" | xrdb -merge
done

# A window manager that comes late, as on a busy login: the whole frame in sight.
stop_window_manager
start_monvert it_IT.UTF-8
sleep 2
start_window_manager
check "a window manager started 2 s later frames it at the corner" wait_until $E2E_PATIENCE frame_at_corner
echo "    outer rectangle $(outer_rectangle)"
stop_monvert

# Several monitors and desktops, as people switch between them. Monitors are
# RandR 1.5's, on the one screen: set_monitors NAME/GEOMETRY... ("*" the primary).
set_monitors() {
    local name
    for name in $(xrandr --listmonitors | awk 'NR > 1 {sub(/^[*+]*/, "", $2); print $2}'); do
        xrandr --delmonitor "$name" 2>/dev/null
    done
    local monitor
    for monitor in "$@"; do
        read -ra name <<<"$monitor"
        xrandr --setmonitor "${name[@]}" >/dev/null
    done
}
whole_on_a_monitor() {
    local x y w h monitor mx my mw mh
    read -r x y w h <<<"$(outer_rectangle)"
    while read -r monitor; do
        read -r mw mh mx my <<<"$(sed 's|/[0-9]*||g; s|[x+]| |g' <<<"$monitor")"
        [ "$x" -ge "$mx" ] && [ "$y" -ge "$my" ] && [ $((x + w)) -le $((mx + mw)) ] \
            && [ $((y + h)) -le $((my + mh)) ] && return 0
    done < <(xrandr --listmonitors | awk 'NR > 1 {print $3}')
    echo "    outer rectangle $x $y $w $h on no monitor whole: $(xrandr --listmonitors | awk 'NR > 1 {print $3}' | tr '\n' ' ')"
    return 1
}
corner_is() { local rectangle; rectangle=$(outer_rectangle); [ "${rectangle% * *}" = "$1" ]; }
states_kept() {
    local states
    states=$(xprop -id "$WINDOW" _NET_WM_STATE)
    grep -q ABOVE <<<"$states" && grep -q SKIP_TASKBAR <<<"$states" && grep -q SKIP_PAGER <<<"$states"
}
on_current_desktop() { [ "$(xdotool get_desktop_for_window "$WINDOW" 2>/dev/null)" = "$(xdotool get_desktop)" ]; }
for wm in openbox xfwm4 kwin_x11 icewm; do
    stop_window_manager
    start_window_manager $wm
    # The screen's corner on no monitor: the primary's work area instead.
    set_monitors "LEFT 1280/338x800/211+0+400 screen" "*RIGHT 1920/508x1200/317+1280+0 none"
    start_monvert it_IT.UTF-8
    check "$wm: the screen's corner on no monitor, the row is on one whole" wait_until $E2E_PATIENCE whole_on_a_monitor
    stop_monvert
    # A scaled screen's second monitor: folding leaves the corner where it is.
    echo "Xft.dpi: 144" | xrdb -merge
    set_monitors "*A 1280/338x1024/270+0+0 screen" "B 1920/508x1200/317+1280+0 none"
    start_monvert it_IT.UTF-8
    xdotool windowmove "$WINDOW" 2000 100
    wait_until $E2E_PATIENCE sh -c '[ "$(xwininfo -id "$0" | awk "/Absolute upper-left X/ {print \$4}")" != 0 ]' "$WINDOW"
    placed=$(outer_rectangle)
    double_click_at 12 8
    check "$wm, 144 dpi, on the second monitor: folding leaves the corner at ${placed% * *}" \
        wait_until $E2E_PATIENCE corner_is "${placed% * *}"
    double_click_at 12 8
    unfolded_at() { corner_is "$1" && [ "$(outer_rectangle | cut -d' ' -f3)" -gt 100 ]; }
    check "$wm, 144 dpi, on the second monitor: so does unfolding" \
        wait_until $E2E_PATIENCE unfolded_at "${placed% * *}"
    # Its monitor unplugged: placed as at start; a second start finds it there.
    xrandr --delmonitor B
    check "$wm: its monitor unplugged, the row is on another whole" wait_until $E2E_PATIENCE whole_on_a_monitor
    "$MONVERT"
    check "$wm: and a second start leaves it whole on a monitor" whole_on_a_monitor
    # In the far corner of the scaled monitor, which Qt counts smaller: a
    # second start leaves it there. What the window manager did for a start
    # made after it, it did for this one.
    xdotool windowmove "$WINDOW" 800 900
    wait_until $E2E_PATIENCE sh -c '[ "$(xwininfo -id "$0" | awk "/Absolute upper-left Y/ {print \$4}")" -gt 800 ]' "$WINDOW"
    placed=$(outer_rectangle)
    "$MONVERT"
    wmctrl -i -r "$WINDOW" -b add,shaded
    wait_until $E2E_PATIENCE sh -c "xprop -id $WINDOW _NET_WM_STATE | grep -q SHADED"
    "$MONVERT"
    wait_until $E2E_PATIENCE sh -c "! xprop -id $WINDOW _NET_WM_STATE | grep -q SHADED"
    check "$wm, 144 dpi, in the monitor's far corner: a second start leaves it at ${placed% * *}" \
        corner_is "${placed% * *}"
    # Dragged off every monitor, none of them removed: brought back whole.
    xdotool windowmove "$WINDOW" 5000 5000
    "$MONVERT"
    check "$wm: off every monitor, a second start brings it back whole on one" \
        wait_until $E2E_PATIENCE whole_on_a_monitor
    stop_monvert
    echo "Xft.dpi: 96" | xrdb -merge
    set_monitors
    # Another desktop, shaded, withdrawn: a second start brings it back whole.
    start_monvert it_IT.UTF-8
    wmctrl -n 2
    wmctrl -s 1
    wait_until $E2E_PATIENCE sh -c '[ "$(xdotool get_desktop)" = 1 ]'
    "$MONVERT"
    check "$wm: from another desktop, a second start brings it to this one" wait_until $E2E_PATIENCE on_current_desktop
    wmctrl -i -r "$WINDOW" -b add,shaded
    wait_until $E2E_PATIENCE sh -c "xprop -id $WINDOW _NET_WM_STATE | grep -q SHADED"
    "$MONVERT"
    check "$wm: shaded, a second start unshades it" \
        wait_until $E2E_PATIENCE sh -c "! xprop -id $WINDOW _NET_WM_STATE | grep -q SHADED"
    xdotool windowunmap "$WINDOW"
    wait_until $E2E_PATIENCE sh -c "xwininfo -id $WINDOW | grep -q IsUnMapped"
    "$MONVERT"
    check "$wm: withdrawn by another program, mapped again on top and with no taskbar button" \
        wait_until $E2E_PATIENCE states_kept
    wmctrl -s 0
    stop_monvert
done
stop_window_manager
start_window_manager

# As a screen reader sees it, through the real AT-SPI bus.
/usr/libexec/at-spi-bus-launcher --launch-immediately >/dev/null 2>&1 &
E2E_PIDS+=($!)
export QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1
start_monvert it_IT.UTF-8
activate
atspi() { /usr/bin/python3 "$(dirname "$0")/atspi.py" "$MONVERT_PID" "$@"; }
click_at 250 8
xdotool type --delay 30 -- "10.5"
# The toolkit tells the bus in its own time: the tree is read again until
# the grey box is in it.
tree_shows() { atspi tree >"$E2E_TMP/tree" 2>/dev/null && grep -q "$1" "$E2E_TMP/tree"; }
wait_until $E2E_PATIENCE tree_shows '^text: Lire description='
sed 's/^/    /' "$E2E_TMP/tree"
check "the boxes are known by their labels" \
    sh -c "grep -q '^text: Lire ' '$E2E_TMP/tree' && grep -qx 'text: Euro' '$E2E_TMP/tree'"
check "an out-of-date box says so and why, in Italian" grep -qx \
    "text: Lire description=Importo non aggiornato: non è la conversione dell'altra casella; Non è un importo: 10.5" "$E2E_TMP/tree"
check "each label is a button that can be pressed" \
    sh -c "[ \$(grep -c '^push button: .* actions=Press\$' '$E2E_TMP/tree') = 3 ]"
first_menu_entry_is() {
    local entry
    entry=$(atspi menu 250 8 "$WINDOW")
    echo "    first entry: $entry"
    [ "${entry%%$'\t'*}" = "$1" ]
}
check "the context menu is Qt's, in Italian: Annulla first" first_menu_entry_is Annulla
xdotool key Escape
own_clipboard "1000"
atspi press Lire
check "pressing Lire from a screen reader converts the clipboard" clipboard_is "Euro 0,52"
# A screen reader's edit is the user's: the other box follows, and Enter
# never copies the amount it held before.
atspi settext Euro 10
activate
click_at 250 8
xdotool key Return
check "a screen reader's 10 in the Euro box converts: Enter copies L. 19.363" clipboard_is "L. 19.363"
stop_monvert
unset QT_LINUX_ACCESSIBILITY_ALWAYS_ON

# One Monvert a display: a second start brings the first back and ends,
# whatever state it left the window in and however long ago.
start_monvert it_IT.UTF-8
check "a second start exits with status 0" "$MONVERT"
check "and leaves one window titled Monvert" \
    test "$(xdotool search --onlyvisible --name '^Monvert$' | wc -l)" = 1
stop_monvert
start_monvert it_IT.UTF-8
double_click_at 12 8
client_size_is "25 20" >/dev/null
"$MONVERT"
check "the first second start unfolds a freshly folded window" client_size_is "304 20"
viewable() { xwininfo -id "$WINDOW" | grep -q IsViewable; }
for delay in 1 2 3; do
    xdotool windowminimize "$WINDOW"
    wait_until $E2E_PATIENCE sh -c "xwininfo -id $WINDOW | grep -q IsUnMapped"
    sleep $delay # left minimized for a while, as a person leaves it
    "$MONVERT"
    check "a second start shows again a window minimized $delay s ago" wait_until $E2E_PATIENCE viewable
done
kill -KILL "$MONVERT_PID"
wait "$MONVERT_PID" 2>/dev/null
start_monvert it_IT.UTF-8
check "after the first was killed, a start shows a window" test -n "$WINDOW"
stop_monvert

# Started twice at the same moment, as a double-clicked launcher does: one
# of the two ends, and one window stays.
visible_windows() { xdotool search --onlyvisible --name '^Monvert$' 2>/dev/null | wc -l; }
one_window_of_two() {
    local first second pair doubled=0
    for pair in $(seq 30); do
        LC_ALL=it_IT.UTF-8 "$MONVERT" 2>/dev/null &
        first=$!
        LC_ALL=it_IT.UTF-8 "$MONVERT" 2>/dev/null &
        second=$!
        wait_until $E2E_PATIENCE sh -c "! kill -0 $first 2>/dev/null || ! kill -0 $second 2>/dev/null"
        wait_until $E2E_PATIENCE sh -c '[ "$(xdotool search --onlyvisible --name "^Monvert\$" 2>/dev/null | wc -l)" -ge 1 ]'
        [ "$(visible_windows)" = 1 ] || doubled=$((doubled + 1))
        kill "$first" "$second" 2>/dev/null
        wait "$first" "$second" 2>/dev/null
        wait_until $E2E_PATIENCE sh -c '[ "$(xdotool search --name "^Monvert\$" 2>/dev/null | wc -l)" = 0 ]'
    done
    [ $doubled = 0 ] || { echo "    two windows in $doubled pairs of 30"; return 1; }
}
check "30 pairs started at the same moment: one window each time" one_window_of_two

# The clipboard from the keyboard: a command for the desktop's shortcut
# settings, and shortcuts of the program's own, pressed in another
# application, which keeps the focus.
converts_with() { LC_ALL=it_IT.UTF-8 "$MONVERT" "$@" 2>>"$E2E_TMP/monvert.err"; }
own_clipboard 1000
check "--from-lire --clipboard with no window: status 0 once the clipboard holds the conversion" converts_with --from-lire --clipboard
check "and the window converted the clipboard" clipboard_is "Euro 0,52"
WINDOW=$(xdotool search --onlyvisible --name '^Monvert$' | head -n1)
xmessage -geometry 300x100+400+300 "another program" &
E2E_PIDS+=($!)
OTHER=$(timeout 30 xdotool search --sync --onlyvisible --name '^xmessage$' | head -n1)
other_active() { [ "$(xdotool getactivewindow 2>/dev/null)" = "$OTHER" ]; }
activate_other() {
    xdotool windowactivate --sync "$OTHER" >/dev/null 2>&1
    wait_until $E2E_PATIENCE other_active
}
activate_other
own_clipboard 10
check "--from-euro --clipboard with a window: status 0" converts_with --from-euro --clipboard
check "the window converted the clipboard" clipboard_is "L. 19.363"
# A focus taken would stay taken; the wait is for xdotool, whose search
# fails while a window it walks past goes away.
one_window_other_active() {
    one_and_other() { [ "$(xdotool search --onlyvisible --name '^Monvert$' 2>/dev/null | wc -l)" = 1 ] && other_active; }
    wait_until $E2E_PATIENCE one_and_other || {
        echo "    Monvert windows: $(xdotool search --onlyvisible --name '^Monvert$' 2>/dev/null | wc -l)," \
            "active: $(xdotool getactivewindow 2>/dev/null), the other program: $OTHER"
        return 1
    }
}
check "one window, and the other program kept the focus" one_window_other_active
# Status 0 only once the clipboard holds the conversion: an owner that
# answers after 300 ms, as a busy program does, is read right after.
read_right_after() {
    local _ owner stale=0
    for _ in 1 2 3 4 5; do
        "$OWNER" slow 300 >"$E2E_TMP/slow" &
        owner=$!
        wait_until $E2E_PATIENCE test -s "$E2E_TMP/slow"
        LC_ALL=it_IT.UTF-8 "$MONVERT" --from-lire --clipboard || return 1
        [ "$(clipboard)" = "Euro 0,52" ] || stale=$((stale + 1))
        kill "$owner" 2>/dev/null
        wait "$owner" 2>/dev/null
    done
    [ $stale = 0 ] || { echo "    $stale of 5 reads right after the command were stale"; return 1; }
}
check "an owner answering after 300 ms: status 0, and the conversion there right after" read_right_after
# Nothing converted is told, with its reason, and the clipboard kept: with
# the window running, then with none to ask.
refused_naming() {
    own_clipboard abc
    ! LC_ALL=en_US.UTF-8 "$MONVERT" --from-lire --clipboard 2>"$E2E_TMP/refused.err" \
        && [ "$(wc -l <"$E2E_TMP/refused.err")" = 1 ] \
        && grep -q 'not an amount: abc' "$E2E_TMP/refused.err" && clipboard_is abc
}
check "abc with a window: status 1, one line naming it, the clipboard kept" refused_naming
no_window() { wait_until $E2E_PATIENCE sh -c '[ "$(xdotool search --name "^Monvert\$" 2>/dev/null | wc -l)" = 0 ]'; }
kill -TERM "$(xdotool getwindowpid "$WINDOW")"
no_window
check "abc with no window: status 1, one line naming it, the clipboard kept" refused_naming
WINDOW=$(timeout $E2E_PATIENCE xdotool search --sync --onlyvisible --name '^Monvert$' | head -n1)
kill -TERM "$(xdotool getwindowpid "$WINDOW")"
no_window
# Ctrl+F11 is another program's: said so, the window starts, the other works.
f11=$(xmodmap -pke | awk '$4 == "F11" {print $2; exit}')
"$OWNER" grab "$f11" 4 >"$E2E_TMP/grab" &
E2E_PIDS+=($!)
wait_until $E2E_PATIENCE test -s "$E2E_TMP/grab"
MONVERT_COMMAND=("$MONVERT" --shortcut-from-lire=Ctrl+Shift+F9 --shortcut-from-euro=Ctrl+F11)
start_monvert it_IT.UTF-8
MONVERT_COMMAND=("$MONVERT")
check "a combination another program holds: one line that names it" \
    sh -c "[ \$(wc -l <'$E2E_TMP/monvert.err') = 1 ] && grep -q 'Ctrl+F11' '$E2E_TMP/monvert.err'"
activate
click_at 250 8
xdotool type --delay 30 7
activate_other
own_clipboard 1000
xdotool key ctrl+shift+F9
check "Ctrl+Shift+F9 pressed in another program converts the clipboard from Lire" clipboard_is "Euro 0,52"
check "and that program keeps the focus" one_window_other_active
xdotool key Num_Lock
own_clipboard 2000
xdotool key ctrl+shift+F9
check "with NumLock on too" clipboard_is "Euro 1,03"
xdotool key Num_Lock
# Held down as a person holds it: one conversion, whatever the repeats. The
# window still shows 1000 and its conversion, which Enter copies again.
own_clipboard 1000
xdotool keydown ctrl+shift+F9
sleep 1.5 # the gesture: the combination held
xdotool keyup ctrl+shift+F9
check "held for 1.5 s: the clipboard holds Euro 0,52" clipboard_is "Euro 0,52"
own_clipboard x
activate
click_at 100 8
xdotool key Return
check "and Enter in the Lire box then copies Euro 0,52, its conversion" clipboard_is "Euro 0,52"
# Back to the window with a second start: the box last typed in has the keys.
"$MONVERT"
activate
xdotool key ctrl+a
xdotool type --delay 30 5
xdotool key Return
check "a second start brings it back with the focus in the Euro box typed in before" clipboard_is "L. 9.681"
# Started again with shortcuts: told that the running window keeps its own.
check "a second start with shortcuts: told the window keeps its own" \
    sh -c "LC_ALL=C.UTF-8 '$MONVERT' --shortcut-from-lire=Ctrl+Shift+F11 2>&1 | grep -q 'runs already'"
stop_monvert
# Another layout while it runs: the combination is on the key that types
# the letter now.
MONVERT_COMMAND=("$MONVERT" --shortcut-from-lire=Ctrl+Alt+L)
start_monvert it_IT.UTF-8
l_key() { xmodmap -pke | awk '$4 == "l" {print $2; exit}'; }
us_l=$(l_key)
setxkbmap us -variant dvorak
wait_until $E2E_PATIENCE sh -c "[ \"\$(xmodmap -pke | awk '\$4 == \"l\" {print \$2; exit}')\" != '$us_l' ]"
activate_other
own_clipboard 1000
xdotool key ctrl+alt+l
check "after a change to Dvorak, Ctrl+Alt+L typed where Dvorak has L converts" clipboard_is "Euro 0,52"
stop_monvert
# A layout with no L, and one combination given twice: said as they are.
setxkbmap ru
MONVERT_COMMAND=("$MONVERT" --shortcut-from-lire=Ctrl+Alt+L --shortcut-from-euro=Ctrl+Alt+L)
start_monvert C.UTF-8
MONVERT_COMMAND=("$MONVERT")
check "under ru: no message calls the combination taken" sh -c "! grep -q 'taken' '$E2E_TMP/monvert.err'"
check "under ru: a line says no key of the layout types L" grep -q 'no key of the current keyboard layout types L' "$E2E_TMP/monvert.err"
check "one combination for both directions: a line naming it" grep -q 'Ctrl+Alt+L is given to both' "$E2E_TMP/monvert.err"
stop_monvert
setxkbmap us

# A long amount's tooltip comes and goes; only the main window's end is the
# program's.
start_monvert it_IT.UTF-8
tooltip_shown() {
    local window
    for window in $(xdotool search --onlyvisible --pid "$MONVERT_PID" 2>/dev/null); do
        xprop -id "$window" _NET_WM_WINDOW_TYPE 2>/dev/null | grep -q TOOLTIP && return 0
    done
    return 1
}
no_tooltip() { ! tooltip_shown; }
hover_tooltip() {
    xdotool mousemove --window "$WINDOW" "$1" 12
    xdotool mousemove --window "$WINDOW" $(($1 + 2)) 10
    wait_until $E2E_PATIENCE tooltip_shown || { echo "    no tooltip over the box at $1"; return 1; }
    xdotool mousemove 600 400
    wait_until $E2E_PATIENCE no_tooltip
    kill -0 "$MONVERT_PID" 2>/dev/null && viewable
}
activate
click_at 250 8
xdotool type --delay 20 922337203685477
check "resting on the Lire box with a cut amount shows its tooltip; the window stays" hover_tooltip 100
click_at 100 8
xdotool key ctrl+a
xdotool type --delay 20 1234567890123456789012345678
check "resting on the Euro box with a cut amount shows its tooltip; the window stays" hover_tooltip 250
# Scripts the font lacks OpenType tables for: Syriac, Thaana, Devanagari.
own_clipboard "ܐܒܓ ދވތ अआइ"
click_at 44 8
wait_until $E2E_PATIENCE tooltip_shown
check "tooltips and scripts without OpenType tables: nothing on standard error" stderr_is_empty
stop_monvert

# Another program destroys the window: the program ends as on closing.
start_monvert it_IT.UTF-8
xdotool windowclose "$WINDOW"
check "a window destroyed by another program ends the program" wait_until $E2E_PATIENCE ended

# No display at all: one line that says so, no abort.
env -u DISPLAY "$MONVERT" 2>"$E2E_TMP/nodisplay.err"
status=$?
check "without a display: exit status 1" test "$status" = 1
check "without a display: one line that names DISPLAY" \
    sh -c "[ \$(wc -l <'$E2E_TMP/nodisplay.err') = 1 ] && grep -q DISPLAY '$E2E_TMP/nodisplay.err'"
env -u DISPLAY "$MONVERT" --bogus 2>/dev/null
status=$?
check "an unknown argument without a display: exit status 2" test "$status" = 2
env -u DISPLAY WAYLAND_DISPLAY=wayland-9 "$MONVERT" 2>"$E2E_TMP/nowayland.err"
status=$?
check "a Wayland display that names no compositor: one line, exit status 1" \
    sh -c "[ $status = 1 ] && [ \$(wc -l <'$E2E_TMP/nowayland.err') = 1 ]"

# A real Wayland compositor, weston with no screen, and its XWayland.
weston --backend=headless-backend.so --socket=monvert-test --xwayland --idle-time=0 \
    >"$E2E_TMP/weston.log" 2>&1 &
E2E_PIDS+=($!)
started weston "$E2E_TMP/weston.log" test -S "$XDG_RUNTIME_DIR/monvert-test"
# The socket comes before weston says where XWayland listens.
started XWayland "$E2E_TMP/weston.log" grep -q 'xserver listening on display' "$E2E_TMP/weston.log"
XWAYLAND=$(sed -n 's/.*xserver listening on display \(:[0-9]*\).*/\1/p' "$E2E_TMP/weston.log")
DISPLAY=$XWAYLAND WAYLAND_DISPLAY=monvert-test XDG_SESSION_TYPE=wayland LC_ALL=C.UTF-8 \
    "$MONVERT" --shortcut-from-lire=Ctrl+Shift+F9 2>"$E2E_TMP/xwayland.err" &
E2E_PIDS+=($!)
shown_on_xwayland() {
    local window
    for window in $(DISPLAY=$XWAYLAND xdotool search --name '^Monvert$' 2>/dev/null); do
        DISPLAY=$XWAYLAND xwininfo -id "$window" | grep -q IsViewable \
            && [ "$(DISPLAY=$XWAYLAND xwininfo -id "$window" | awk '/Width:/ {w = $2} /Height:/ {h = $2} END {print w, h}')" = "305 20" ] \
            && return 0
    done
    return 1
}
check "weston with XWayland: the window is shown, its row whole" wait_until $E2E_PATIENCE shown_on_xwayland
check "through XWayland in a Wayland session, a shortcut names the command to bind" \
    grep -q 'monvert --from-lire --clipboard' "$E2E_TMP/xwayland.err"
env -u DISPLAY WAYLAND_DISPLAY=monvert-test LC_ALL=en_US.UTF-8 "$MONVERT" 2>"$E2E_TMP/wayland.err" &
WAYLAND_PID=$!
E2E_PIDS+=($WAYLAND_PID)
wait_until $E2E_PATIENCE test -s "$E2E_TMP/wayland.err"
check "pure Wayland: the window runs and says once what it cannot do" \
    sh -c "kill -0 $WAYLAND_PID && [ \$(wc -l <'$E2E_TMP/wayland.err') = 1 ]"
# One Monvert a Wayland display too, over a socket of its own; a start that
# opened a second window would not end.
on_wayland() {
    timeout $E2E_PATIENCE env -u DISPLAY WAYLAND_DISPLAY=monvert-test LC_ALL=en_US.UTF-8 \
        "$MONVERT" "$@" 2>/dev/null
}
wait_until $E2E_PATIENCE test -S "$XDG_RUNTIME_DIR/monvert-monvert-test"
check "pure Wayland: a second start asks the window there and ends" on_wayland
# Weston with no seat gives no window the keyboard focus, and Wayland offers
# the clipboard to the focused window alone: said, not passed off as done.
no_focus_said() {
    ! timeout $E2E_PATIENCE env -u DISPLAY WAYLAND_DISPLAY=monvert-test LC_ALL=en_US.UTF-8 \
        "$MONVERT" --from-lire --clipboard 2>"$E2E_TMP/nofocus.err" \
        && [ "$(wc -l <"$E2E_TMP/nofocus.err")" = 1 ] && grep -q 'focus' "$E2E_TMP/nofocus.err"
}
check "pure Wayland: --from-lire --clipboard without the focus fails with one line" no_focus_said
# Programs that are not Monvert on the window's socket: one that asks and
# hangs up at once, noise, three that connect and say nothing.
SOCKET=$XDG_RUNTIME_DIR/monvert-monvert-test
PEER='import socket, sys, time
s = socket.socket(socket.AF_UNIX); s.connect(sys.argv[1]); s.sendall(bytes.fromhex(sys.argv[2]))
print(flush=True); time.sleep(float(sys.argv[3])); s.close()'
peer() { python3 -c "$PEER" "$SOCKET" "$@"; }
for request in 4c 52 58 00 "$(head -c 4096 /dev/urandom | od -An -tx1 | tr -d ' \n')"; do
    peer "$request" 0
done
check "pure Wayland: peers that hang up at once or send noise leave the window running" \
    kill -0 "$WAYLAND_PID"
for _ in 1 2 3; do
    python3 -c "$PEER" "$SOCKET" "" 60 >>"$E2E_TMP/silent" &
    E2E_PIDS+=($!)
done
wait_until $E2E_PATIENCE sh -c "[ \$(wc -l <'$E2E_TMP/silent') = 3 ]"
check "pure Wayland: with three silent peers, a second start is answered and ends" on_wayland
by_path() {
    local _
    for _ in 1 2 3; do
        timeout $E2E_PATIENCE env -u DISPLAY -u XDG_RUNTIME_DIR \
            WAYLAND_DISPLAY="$XDG_RUNTIME_DIR/monvert-test" "$MONVERT" 2>/dev/null || return 1
    done
}
check "pure Wayland: no runtime folder, the display by its path: three starts find the window" by_path
check "pure Wayland: the first window still runs" kill -0 "$WAYLAND_PID"
finish
