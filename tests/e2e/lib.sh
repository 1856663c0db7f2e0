#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# A real X11 desktop for end-to-end tests: Xvfb, openbox, the real program,
# driven with xdotool and read back through the real clipboard with xclip.
# Sourced by the test scripts; MONVERT names the program under test.

set -u
# The command that starts the program: its path, or "wine path/monvert.exe".
read -ra MONVERT_COMMAND <<<"$MONVERT"
# Where the client area starts in the window xdotool finds: Qt's X window is
# the client area itself, Wine's holds the frame Wine draws around it.
CLIENT_X=${E2E_CLIENT_X:-0}
CLIENT_Y=${E2E_CLIENT_Y:-0}
E2E_TMP=$(mktemp -d)
export XDG_RUNTIME_DIR="$E2E_TMP/runtime"
mkdir -m 700 "$XDG_RUNTIME_DIR"
E2E_PIDS=()
# How long anything that must happen may take: generous, because a busy
# machine (two other builds on two cores) makes everything slow, and a
# passing check waits no longer than it takes.
E2E_PATIENCE=${E2E_PATIENCE:-60}
PASSED=0
FAILED=0

e2e_cleanup() {
    local pid
    for pid in "${E2E_PIDS[@]}"; do kill "$pid" 2>/dev/null; done
    wait 2>/dev/null
    rm -rf "$E2E_TMP"
}
trap e2e_cleanup EXIT

# Polls `command` until it succeeds, for at most `seconds`.
wait_until() {
    local seconds=$1
    shift
    local deadline=$((SECONDS + seconds))
    until "$@"; do
        [ $SECONDS -ge $deadline ] && return 1
        sleep 0.05
    done
}

# started WHAT LOG command...: waits for what is starting to be up; if it
# never is, says what it waited for and how long, shows its log, and ends
# the script.
started() {
    local what=$1 log=$2
    shift 2
    wait_until "$E2E_PATIENCE" "$@" && return 0
    echo "$what did not start within $E2E_PATIENCE s"
    [ -f "$log" ] && tail -n 20 "$log"
    exit 1
}

start_desktop() {
    # -noreset: swapping window managers can leave the server without a client
    # for a moment, and a reset would drop connections and root resources.
    Xvfb -displayfd 3 -screen 0 "${E2E_SCREEN:-1280x800}x24" -nolisten tcp -noreset 3>"$E2E_TMP/display" 2>"$E2E_TMP/xvfb.log" &
    E2E_PIDS+=($!)
    started Xvfb "$E2E_TMP/xvfb.log" test -s "$E2E_TMP/display"
    export DISPLAY=":$(head -n1 "$E2E_TMP/display")"
    # Services that D-Bus starts for a window manager (KWin's global
    # shortcuts) need the display too, or they abort and are asked for
    # again and again.
    [ -n "${DBUS_SESSION_BUS_ADDRESS:-}" ] && dbus-update-activation-environment DISPLAY XDG_RUNTIME_DIR
    start_window_manager
}

# start_window_manager [openbox|xfwm4|metacity|twm|icewm|kwin_x11|fluxbox]: sets WM_PID.
start_window_manager() {
    local wm=${1:-openbox}
    case $wm in
    openbox) openbox --sm-disable >"$E2E_TMP/wm.log" 2>&1 & ;;
    xfwm4) xfwm4 --compositor=off --sm-client-disable >"$E2E_TMP/wm.log" 2>&1 & ;;
    icewm) icewm-session >"$E2E_TMP/wm.log" 2>&1 & ;;
    kwin_x11) QT_QPA_PLATFORM=xcb kwin_x11 --replace >"$E2E_TMP/wm.log" 2>&1 & ;;
    *) "$wm" >"$E2E_TMP/wm.log" 2>&1 & ;;
    esac
    WM_PID=$!
    E2E_PIDS+=($WM_PID)
    if [ "$wm" = twm ]; then
        # No EWMH to tell that it is up: it is once it has taken the root's redirection.
        started "$wm" "$E2E_TMP/wm.log" "$OWNER" managed
        return
    fi
    started "$wm" "$E2E_TMP/wm.log" sh -c 'xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q "window id"'
}

stop_window_manager() {
    # A session (icewm-session) takes its manager with it.
    pkill -P "$WM_PID" 2>/dev/null
    kill "$WM_PID" 2>/dev/null
    wait "$WM_PID" 2>/dev/null
    xprop -root -remove _NET_SUPPORTING_WM_CHECK
}

# Starts Monvert under the given locale and waits for its window: sets MONVERT_PID, WINDOW.
start_monvert() {
    local locale=${1:-it_IT.UTF-8}
    LC_ALL=$locale QT_QPA_PLATFORM=xcb "${MONVERT_COMMAND[@]}" >"$E2E_TMP/monvert.out" 2>"$E2E_TMP/monvert.err" &
    MONVERT_PID=$!
    E2E_PIDS+=($MONVERT_PID)
    # xdotool gives up on the first window that goes away while it walks the
    # tree, as the last one's may just after a kill: it looks again.
    WINDOW=""
    monvert_window() {
        WINDOW=$(xdotool search --onlyvisible --name '^Monvert$' 2>/dev/null | head -n1)
        [ -n "$WINDOW" ]
    }
    started "the Monvert window" "$E2E_TMP/monvert.err" monvert_window
    # The window manager takes its frame in its own time.
    wait_until 5 sh -c "xprop -id $WINDOW _NET_FRAME_EXTENTS 2>/dev/null | grep -q '='" || true
}

stop_monvert() {
    kill "$MONVERT_PID" 2>/dev/null
    wait "$MONVERT_PID" 2>/dev/null
}

activate() {
    xdotool windowactivate --sync "$WINDOW" >/dev/null 2>&1
    wait_until "$E2E_PATIENCE" sh -c "[ \"\$(xdotool getactivewindow 2>/dev/null)\" = $WINDOW ]"
}

clipboard() {
    timeout 5 xclip -selection clipboard -o 2>/dev/null
}

# Puts text on the clipboard from another program, which stays its owner.
own_clipboard() {
    printf '%s' "$1" | xclip -selection clipboard -i
    wait_until "$E2E_PATIENCE" sh -c "[ \"\$(timeout 5 xclip -selection clipboard -o 2>/dev/null)\" = '$1' ]"
}

check() {
    local description=$1
    shift
    if "$@"; then
        PASSED=$((PASSED + 1))
        echo "PASS: $description"
    else
        FAILED=$((FAILED + 1))
        echo "FAIL: $description"
    fi
}

clipboard_is() {
    wait_until "$E2E_PATIENCE" sh -c "[ \"\$(timeout 5 xclip -selection clipboard -o 2>/dev/null)\" = '$1' ]" \
        || { echo "    clipboard holds: '$(clipboard | head -c 80)', expected '$1'"; return 1; }
}

finish() {
    echo "e2e: $PASSED passed, $FAILED failed"
    [ "$FAILED" -eq 0 ]
}

stderr_is_empty() {
    # Wine says, on every start, that it has no 32-bit half.
    grep -v 'wine32\|multiarch\|dpkg --add-architecture\|apt-get install wine32\|^$' \
        "$E2E_TMP/monvert.err" >"$E2E_TMP/monvert.err.own"
    [ ! -s "$E2E_TMP/monvert.err.own" ] || { sed 's/^/    stderr: /' "$E2E_TMP/monvert.err.own"; return 1; }
}

# The window's outer rectangle, frame included: "x y width height".
outer_rectangle() {
    local x y w h extents l r t b
    x=$(xwininfo -id "$WINDOW" | awk '/Absolute upper-left X/ {print $4}')
    y=$(xwininfo -id "$WINDOW" | awk '/Absolute upper-left Y/ {print $4}')
    w=$(xwininfo -id "$WINDOW" | awk '/Width:/ {print $2}')
    h=$(xwininfo -id "$WINDOW" | awk '/Height:/ {print $2}')
    extents=$(xprop -id "$WINDOW" _NET_FRAME_EXTENTS | sed -n 's/.*= //p' | tr -d ' ')
    IFS=, read -r l r t b <<<"${extents:-0,0,0,0}"
    echo "$((x - l)) $((y - t)) $((w + l + r)) $((h + t + b))"
}

outer_rectangle_now_is() { [ "$(outer_rectangle)" = "$1" ]; }
outer_rectangle_is() {
    wait_until "$E2E_PATIENCE" outer_rectangle_now_is "$1" || { echo "    outer rectangle: $(outer_rectangle), expected $1"; return 1; }
}

# The client area, without the frame: "width height".
client_size() {
    xwininfo -id "$WINDOW" | awk '/Width:/ {w = $2} /Height:/ {h = $2} END {print w, h}'
}

client_size_now_is() { [ "$(client_size)" = "$1" ]; }
client_size_is() {
    wait_until "$E2E_PATIENCE" client_size_now_is "$1" || { echo "    client area: $(client_size), expected $1"; return 1; }
}

# Clicks at a point of the window's client area.
click_at() {
    xdotool mousemove --window "$WINDOW" $(($1 + CLIENT_X)) $(($2 + CLIENT_Y)) click "${3:-1}"
}

double_click_at() {
    xdotool mousemove --window "$WINDOW" $(($1 + CLIENT_X)) $(($2 + CLIENT_Y)) click --repeat 2 --delay 60 1
}
