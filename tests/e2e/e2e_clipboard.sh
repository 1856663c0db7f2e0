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
answers() {
    activate
    xdotool mousemove --window "$WINDOW" 250 8 click 1
    xdotool key ctrl+a type "$1"
    xdotool key Return
    wait_until 20 sh -c "[ \"\$(timeout 5 xclip -selection clipboard -o 2>/dev/null)\" = '$2' ]" \
        || { echo "    clipboard holds: '$(clipboard | head -c 80)', expected '$2'"; return 1; }
}

# Starts a misbehaving owner and sets OWNER_WINDOW to its window.
start_owner() {
    "$OWNER" "$1" >"$E2E_TMP/owner-$1" &
    OWNER_PID=$!
    E2E_PIDS+=($OWNER_PID)
    wait_until 10 test -s "$E2E_TMP/owner-$1"
    OWNER_WINDOW=$(cat "$E2E_TMP/owner-$1")
}

start_owner silent
click_at 44 8
check "an owner that never answers: still running" alive
check "an owner that never answers: still the owner" owner_is "$OWNER_WINDOW"
check "an owner that never answers: answers again after the timeout" answers 7 "L. 13.554"
kill "$OWNER_PID" 2>/dev/null

start_owner dies
click_at 44 8
check "an owner that dies mid-transfer: still running" alive
check "an owner that dies mid-transfer: nobody took its place" owner_is 0
check "an owner that dies mid-transfer: answers again" answers 10 "L. 19.363"

# Each file goes on the clipboard through xclip, which stays its owner; after
# a click on "Lire" the clipboard must still hold exactly those bytes.
kept_after_click() {
    local file=$1
    xclip -selection clipboard -t "${2:-UTF8_STRING}" -i "$file"
    wait_until 10 sh -c "timeout 10 xclip -selection clipboard -t '${2:-UTF8_STRING}' -o | cmp -s - '$file'"
    click_at 44 8
    wait_until 20 settled || { echo "    still busy 20 s after the click"; return 1; }
    alive || { echo "    Monvert is gone"; return 1; }
    # xclip serves one incremental transfer at a time: while Monvert is still
    # fetching a large text, a second reader gets nothing. A clipboard Monvert
    # had replaced would stay replaced, so reading again until it matches
    # hides no fault.
    wait_until 30 sh -c "timeout 5 xclip -selection clipboard -t '${2:-UTF8_STRING}' -o | cmp -s - '$file'" \
        || { echo "    the clipboard changed"; return 1; }
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
check "an embedded NUL: kept" kept_after_click "$E2E_TMP/nul"
check "an embedded NUL as plain STRING: kept" kept_after_click "$E2E_TMP/nul" STRING
check "right-to-left marks around a number: kept" kept_after_click "$E2E_TMP/rtl-marks"
check "a byte order mark and a zero-width space: kept" kept_after_click "$E2E_TMP/invisible"

# A mebibyte that is an amount after all: blanks around it are allowed.
{ head -c $MIB /dev/zero | tr '\0' ' '; printf '1000\n'; } >"$E2E_TMP/padded"
xclip -selection clipboard -i "$E2E_TMP/padded"
wait_until 10 sh -c "timeout 10 xclip -selection clipboard -o | cmp -s - '$E2E_TMP/padded'"
click_at 44 8
check "comes to rest with a mebibyte in its box" wait_until 20 settled
check "1 MiB of blanks around 1000 converts" clipboard_is "Euro 0,52"
check "answers after a mebibyte in its box" answers 10 "L. 19.363"

check "nothing on standard error" stderr_is_empty
finish
