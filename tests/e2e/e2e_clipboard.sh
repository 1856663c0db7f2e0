#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Hostile clipboards: owners that never answer or die mid-transfer, a
# mebibyte of text, bytes that are not UTF-8, invisible characters. Monvert
# must outlive them all, answer again after the toolkit's clipboard timeout,
# and leave the clipboard as it was whenever nothing converted.
MONVERT=$1
OWNER=$2
source "$(dirname "$0")/lib.sh"

start_desktop
start_monvert it_IT.UTF-8

alive() { kill -0 "$MONVERT_PID" 2>/dev/null; }

# Monvert has handled every event sent so far once it has used no processor
# time for a while: a click on a mebibyte can take seconds in a sanitizer
# build, and a check made before it is handled would prove nothing. A window
# that never comes to rest with a long text in a box fails here too.
cpu_ticks() { awk '{print $14 + $15}' "/proc/$MONVERT_PID/stat"; }
settled() {
    local before
    before=$(cpu_ticks)
    sleep 0.3
    [ "$(cpu_ticks)" = "$before" ]
}
owner_is() { [ "$("$OWNER" owner)" = "$1" ] || { echo "    owner: $("$OWNER" owner), expected $1"; return 1; }; }

# Typing in the Euro box and Enter put the converted amount on the clipboard:
# the window is answering again.
copied() { [ "$(timeout 5 xclip -selection clipboard -o 2>/dev/null)" = "$1" ]; }
# What the clipboard serves is no amount Monvert converted.
no_conversion() { ! timeout 5 xclip -selection clipboard -o 2>/dev/null | grep -q '^Euro \|^L\. '; }
answers() {
    activate
    click_at 250 8
    xdotool key ctrl+a type "$1"
    xdotool key Return
    if [ -n "${E2E_WINE:-}" ]; then
        # Wine's own clipboard bridge may hold the Windows clipboard for
        # seconds while it asks a silent X owner; the copy then beeps after
        # its second of tries, and the user presses Enter in the box again.
        local _
        for _ in 1 2 3 4; do
            wait_until 5 copied "$2" && return 0
            click_at 250 8
            xdotool key Return
        done
    fi
    wait_until $E2E_PATIENCE copied "$2" || { echo "    clipboard holds: '$(clipboard | head -c 80)', expected '$2'"; return 1; }
}

# Starts a misbehaving owner and sets OWNER_WINDOW to its window.
start_owner() {
    "$OWNER" "$1" >"$E2E_TMP/owner-$1" &
    OWNER_PID=$!
    E2E_PIDS+=($OWNER_PID)
    wait_until $E2E_PATIENCE test -s "$E2E_TMP/owner-$1"
    OWNER_WINDOW=$(head -n1 "$E2E_TMP/owner-$1")
}

start_owner silent
# Clicks made while the first one waits are dropped, not each waited out.
for _ in 1 2 3 4; do
    click_at 44 8
    sleep 0.7
done
check "an owner that never answers: still running" alive
check "an owner that never answers: still the owner" owner_is "$OWNER_WINDOW"
check "an owner that never answers: answers again after the timeout" answers 7 "L. 13.554"
# Each click asks for the offered formats once (xclip, reading the clipboard
# above, asks for the text itself).
asked_once() {
    local asked
    asked=$(grep -c "request TARGETS" "$E2E_TMP/owner-silent")
    [ "$asked" = 1 ] || { echo "    asked for the formats $asked times"; return 1; }
}
check "an owner that never answers: four clicks, one wait" asked_once
kill "$OWNER_PID" 2>/dev/null

# A paste waits like a click, and the clicks queued behind it are dropped.
start_owner silent
click_at 100 8
xdotool key ctrl+v
for _ in 1 2 3; do
    click_at 44 8
    sleep 0.3
done
# (Under Wine, the paste is the system box's own and Wine's clipboard code
# asks the owner in its own time, so the count means nothing there.)
[ -n "${E2E_WINE:-}" ] || check "Ctrl+V, then three clicks on a silent owner: one wait" asked_once
check "Ctrl+V, then three clicks: answers again" answers 7 "L. 13.554"
kill "$OWNER_PID" 2>/dev/null

# A signal during such a wait ends the program at once: when the owner
# answers after the signal (once kill returns, the signal is pending and
# comes first), no conversion takes the owner's text.
start_owner silent
click_at 44 8
wait_until $E2E_PATIENCE grep -q "request TARGETS" "$E2E_TMP/owner-silent"
kill -TERM "$MONVERT_PID"
kill -USR1 "$OWNER_PID"
ended() { ! kill -0 "$MONVERT_PID" 2>/dev/null; }
check "SIGTERM during a wait on a silent owner ends the program" wait_until $E2E_PATIENCE ended
if [ -z "${E2E_WINE:-}" ]; then
    check "and the owner's late answer is not converted: the clipboard is still its" clipboard_is 1000
else
    check "and the owner's late answer is not converted" no_conversion
fi
kill "$OWNER_PID" 2>/dev/null
start_monvert it_IT.UTF-8

start_owner dies
click_at 44 8
check "an owner that dies mid-transfer: still running" alive
if [ -z "${E2E_WINE:-}" ]; then
    check "an owner that dies mid-transfer: nobody took its place" owner_is 0
else
    # Wine's own bridge may take the selection back for the Windows clipboard
    # it keeps, so the owner tells nothing there: what it serves must be no
    # conversion (the last copy, L. 13.554, or nothing).
    check "an owner that dies mid-transfer: no conversion took its place" no_conversion
fi
check "an owner that dies mid-transfer: answers again" answers 10 "L. 19.363"

# Monvert owns the clipboard now; another client asks it for MULTIPLE targets
# with property lists that hold no whole pairs of atoms, or that a second
# connection keeps changing. None reaches Qt's own handling.
# (Under Wine, Wine's own X11 clipboard code answers them, not Monvert's.)
if [ -z "${E2E_WINE:-}" ]; then
    "$OWNER" multiple 3000 >"$E2E_TMP/multiple"
    check "3000 malformed and racing MULTIPLE requests are refused" grep -qx "refused 3000 of 3000" "$E2E_TMP/multiple"
    check "so is a well-formed one" grep -qx "(refused)" "$E2E_TMP/multiple"
    check "MULTIPLE requests: still running" alive
    check "MULTIPLE requests: the clipboard still served" clipboard_is "L. 19.363"
    # Requests made up by hand, naming selections and atoms that do not
    # exist: the sender's mistakes, written to nobody's terminal.
    "$OWNER" malformed 3600
    check "3600 malformed requests: still running, the clipboard still served" clipboard_is "L. 19.363"
    check "3600 malformed requests: nothing on standard error" stderr_is_empty
fi

# Each file goes on the clipboard through xclip, which stays its owner; after
# a click on "Lire" the clipboard must still hold exactly those bytes.
kept_after_click() {
    local file=$1
    xclip -selection clipboard -t "${2:-UTF8_STRING}" -i "$file"
    wait_until $E2E_PATIENCE sh -c "timeout 10 xclip -selection clipboard -t '${2:-UTF8_STRING}' -o | cmp -s - '$file'"
    click_at 44 8
    # Wine's single-line box lays out 32.767 characters in seconds, and
    # several times over when they hold line breaks.
    wait_until $((2 * E2E_PATIENCE)) settled || { echo "    still busy $((2 * E2E_PATIENCE)) s after the click"; return 1; }
    alive || { echo "    Monvert is gone"; return 1; }
    # Under Wine, what the X clipboard serves once Wine's bridge has fetched a
    # large text (slowly, on a busy machine, and then as it pleases) is the
    # bridge's: what must hold is that no conversion took the text's place.
    if [ -n "${E2E_WINE:-}" ]; then
        no_conversion || { echo "    clipboard holds: '$(clipboard | head -c 80)'"; return 1; }
        return
    fi
    # xclip serves one incremental transfer at a time: while Monvert is still
    # fetching a large text, a second reader gets nothing. A clipboard Monvert
    # had replaced would stay replaced, so reading again until it matches
    # hides no fault.
    wait_until $E2E_PATIENCE sh -c "timeout 5 xclip -selection clipboard -t '${2:-UTF8_STRING}' -o | cmp -s - '$file'" \
        || { echo "    the clipboard changed: it holds '$(timeout 5 xclip -selection clipboard -o 2>/dev/null | head -c 40 | od -An -c | tr -s ' ' | head -c 160)'"; return 1; }
}

MIB=1048576
head -c $MIB /dev/zero | tr '\0' 7 >"$E2E_TMP/digits"
head -c $MIB /dev/urandom | base64 -w 0 | head -c $MIB >"$E2E_TMP/garbage"
head -c $MIB /dev/zero | tr '\0' 1 | fold -w 80 >"$E2E_TMP/lines"
printf '1\xff\xfe000' >"$E2E_TMP/invalid-utf8"
printf '10\x0000' >"$E2E_TMP/nul"
printf '\u200f1000\u200f' >"$E2E_TMP/rtl-marks"
printf '\ufeff1.000\u200b' >"$E2E_TMP/invisible"
check "1 MiB of digits: kept" kept_after_click "$E2E_TMP/digits"
check "1 MiB of mixed garbage: kept" kept_after_click "$E2E_TMP/garbage"
check "1 MiB of lines of 80 digits: kept" kept_after_click "$E2E_TMP/lines"
check "invalid UTF-8: kept" kept_after_click "$E2E_TMP/invalid-utf8"
# converted_after_click FILE AMOUNT: Wine's bridge takes in a new X clipboard
# in its own time, and a click before that reads the text it had: a person
# clicks again.
converted_after_click() {
    xclip -selection clipboard -i "$1"
    local _
    for _ in 1 2 3; do
        sleep 0.6 # no double-click with the click before
        click_at 44 8
        wait_until $E2E_PATIENCE settled
        wait_until 5 copied "$2" && return 0
    done
    echo "    clipboard holds: '$(clipboard | head -c 80)'"
    return 1
}
if [ -z "${E2E_WINE:-}" ]; then
    check "an embedded NUL: kept" kept_after_click "$E2E_TMP/nul"
else
    # Windows' plain text ends at its first zero: Monvert reads the 10 before
    # it, as the box's own paste does.
    check "an embedded NUL: the text up to it, 10 Lire, converts" \
        converted_after_click "$E2E_TMP/nul" "Euro 0,01"
fi
# A C string's end, which some programs hand over with the text: the
# terminal mode reads such a line the same way.
printf '1000\x00' >"$E2E_TMP/trailing-nul"
check "one NUL ending the text: 1000 Lire converts" \
    converted_after_click "$E2E_TMP/trailing-nul" "Euro 0,52"
# Which X11 formats reach the program is the toolkit's business: Qt's here,
# Wine's under Wine.
[ -n "${E2E_WINE:-}" ] || check "an embedded NUL as plain STRING: kept" kept_after_click "$E2E_TMP/nul" STRING
check "right-to-left marks around a number: kept" kept_after_click "$E2E_TMP/rtl-marks"
check "a byte order mark and a zero-width space: kept" kept_after_click "$E2E_TMP/invisible"

# Text the way some programs offer it: only as UTF-8 text/plain, or only as
# compound text.
converts_from() {
    printf '%s' "$2" | xclip -selection clipboard -t "$1" -i
    wait_until $E2E_PATIENCE sh -c "[ \"\$(timeout 5 xclip -selection clipboard -t '$1' -o)\" = '$2' ]"
    sleep 0.5 # no double-click with the click before
    click_at 44 8
    clipboard_is "$3"
}
if [ -z "${E2E_WINE:-}" ]; then
    check "text offered only as text/plain;charset=utf-8 converts" \
        converts_from "text/plain;charset=utf-8" 1000 "Euro 0,52"
    check "text offered only as COMPOUND_TEXT converts" converts_from COMPOUND_TEXT 5000 "Euro 2,58"
fi

# Sixteen mebibytes: the box takes its first 32.767 characters, nothing
# converts, and the memory is given back once the boxes are emptied.
resident_kib() { awk '/^VmRSS/ {print $2}' "/proc/$MONVERT_PID/status"; }
wait_until $E2E_PATIENCE settled
before=$(resident_kib)
head -c $((16 * MIB)) /dev/zero | tr '\0' 7 >"$E2E_TMP/digits16"
check "16 MiB of digits: kept" kept_after_click "$E2E_TMP/digits16"
for box in 100 250; do
    click_at "$box" 8
    xdotool key ctrl+a Delete
done
wait_until $E2E_PATIENCE settled
after=$(resident_kib)
echo "    resident: ${before} KiB before, $after KiB after the 16 MiB click and emptying both boxes"
if [ -z "${MONVERT_SANITIZED:-}" ] && [ -z "${E2E_WINE:-}" ]; then
    check "16 MiB of digits: resident memory back within 10 MiB" test $((after - before)) -le 10240
fi

# A mebibyte that is an amount after all: blanks around it are allowed.
{ head -c $MIB /dev/zero | tr '\0' ' '; printf '1000\n'; } >"$E2E_TMP/padded"
xclip -selection clipboard -i "$E2E_TMP/padded"
wait_until $E2E_PATIENCE sh -c "timeout 10 xclip -selection clipboard -o | cmp -s - '$E2E_TMP/padded'"
click_at 44 8
check "comes to rest with a mebibyte in its box" wait_until $E2E_PATIENCE settled
if [ -n "${E2E_WINE:-}" ]; then
    # Wine's bridge takes in a new X clipboard in its own time, and a click
    # before that reads the text it had; a person clicks again.
    for _ in 1 2 3; do
        wait_until 5 copied "Euro 0,52" && break
        sleep 0.6 # no double-click with the click before
        click_at 44 8
        wait_until $E2E_PATIENCE settled
    done
fi
check "1 MiB of blanks around 1000 converts" clipboard_is "Euro 0,52"
check "answers after a mebibyte in its box" answers 10 "L. 19.363"

check "nothing on standard error" stderr_is_empty

# SIGTERM ends Monvert through its event loop, so the toolkit hands the
# clipboard to a clipboard manager and the amount outlives the program. (On
# Windows the clipboard is the system's and outlives every program; the
# installer test closes the window instead.)
if [ -n "${E2E_WINE:-}" ]; then
    finish
    exit
fi
"$OWNER" manager >"$E2E_TMP/manager" &
E2E_PIDS+=($!)
wait_until $E2E_PATIENCE test -s "$E2E_TMP/manager"
# SIGHUP is what closing the terminal Monvert was started from sends. Each
# round copies an amount of its own, so the manager cannot hold it from before.
for round in "TERM 10 L. 19.363" "HUP 5 L. 9.681"; do
    read -r signal euro lire <<<"$round"
    [ $signal = TERM ] || start_monvert it_IT.UTF-8
    check "answers with a clipboard manager running" answers "$euro" "$lire"
    kill -$signal "$MONVERT_PID"
    check "SIG$signal ends the program" wait_until $E2E_PATIENCE ended
    check "after SIG$signal the amount outlives the program on the clipboard" clipboard_is "$lire"
done
finish
