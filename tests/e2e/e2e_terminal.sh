#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# From a terminal, with no display: files of amounts over the whole range
# converted line by line and compared with an exact reference worked out
# apart; lines that are no amounts keep the output aligned and are reported.
MONVERT=$1
source "$(dirname "$0")/lib.sh"
monvert() { env -u DISPLAY -u WAYLAND_DISPLAY "$MONVERT" "$@"; }

for locale in it_IT.UTF-8 en_US.UTF-8; do
    dir="$E2E_TMP/${locale%%_*}"
    mkdir -p "$dir"
    /usr/bin/python3 "$(dirname "$0")/amounts.py" "${locale%%_*}" 10000 7 "$dir"
    for mode in from-lire from-euro from-lire-number; do
        options=("--${mode%-number}")
        [ "$mode" = from-lire-number ] && options+=(--number)
        LC_ALL=$locale monvert "${options[@]}" <"$dir/in" >"$dir/out-$mode" 2>"$dir/err-$mode"
        status=$?
        check "$locale: 10.000 amounts ${options[*]}, exact line for line" \
            sh -c "[ $status = 0 ] && [ ! -s '$dir/err-$mode' ] && cmp '$dir/out-$mode' '$dir/$mode'"
    done
done

# Lines that are no amounts: an empty line each, one message each, status 1.
long=$(printf '9%.0s' {1..100})
printf '1000\nabc\n\n1.5\n10\r\nx\ty\033[31m\n%s\n1.000.000\n' "$long" >"$E2E_TMP/bad"
LC_ALL=it_IT.UTF-8 monvert --from-lire <"$E2E_TMP/bad" >"$E2E_TMP/bad.out" 2>"$E2E_TMP/bad.err"
status=$?
sed 's/^/    /' "$E2E_TMP/bad.err"
check "bad lines: exit status 1" test "$status" = 1
expected=$'Euro 0,52\n\n\n\nEuro 0,01\n\n\nEuro 516,46'
check "bad lines: one output line for each input line, empty where no amount" \
    test "$(cat "$E2E_TMP/bad.out")" = "$expected"
check "bad lines: one message for each" test "$(grep -c '^monvert: riga [0-9]*: non è un importo: ' "$E2E_TMP/bad.err")" = 5
check "bad lines: control characters escaped" grep -qF 'riga 6: non è un importo: x\ty\x1B[31m' "$E2E_TMP/bad.err"
check "bad lines: a long text cut to 80 characters" \
    grep -qx "monvert: riga 7: non è un importo: $(printf '9%.0s' {1..80})..." "$E2E_TMP/bad.err"

check "amounts as arguments" test "$(LC_ALL=it_IT.UTF-8 monvert --from-euro 10 'Euro 516,46')" \
    = $'L. 19.363\nL. 1.000.006'
it() { LC_ALL=it_IT.UTF-8 monvert "$@" 2>"$E2E_TMP/it.err"; }
check "no Euro in words that start with E" test "$(it --from-euro 'Esercizio 2024' 'Errore 404' \
    'EGP 1.000' 'E£ 1.000' 'EL. 19.363' '£ 10'; echo end)" = $'\n\n\n\n\n\nend'
check "Italian texts: the lira sign and words" test "$(it --from-lire '£ 10.000' '10.000 lire' \
    'Lire 1.000.000' '10 euro'; it --from-euro '516,46 euro')" = $'Euro 5,16\nEuro 5,16\nEuro 516,46\n\nL. 1.000.006'
check "every decimal counts" test "$(it --from-euro 1000,000258 0,000258)" = $'L. 1.936.270\nL. 0'
check "English settings: L. 10.000 is ten thousand Lire" \
    test "$(LC_ALL=en_US.UTF-8 monvert --from-lire 'L. 10.000')" = "Euro 5.16"
check "a negative amount is no option" test "$(it --from-euro -5)" = "L. -9.681"
it --from-lire 5 abc >/dev/null
check "the second argument is line 2" grep -q '^monvert: riga 2: ' "$E2E_TMP/it.err"
printf '1\nabc' | it --from-lire >/dev/null
check "a last line without a line end is counted" grep -q '^monvert: riga 2: ' "$E2E_TMP/it.err"

LC_ALL=it_IT.UTF-8 monvert --from-lire --from-euro 5 2>/dev/null
status=$?
check "a usage error: exit status 2" test "$status" = 2
# Failures of input and output: a message that names them, a status of their own.
io_failure() {
    local expected=$1
    shift
    LC_ALL=en_US.UTF-8 "$@" 2>"$E2E_TMP/io.err"
    local status=$?
    sed 's/^/    /' "$E2E_TMP/io.err"
    [ $status = 3 ] && grep -q "^monvert: $expected" "$E2E_TMP/io.err"
}
check "a full disk" io_failure "cannot write output: No space left" sh -c "'$MONVERT' --from-lire 1000 >/dev/full"
check "a closed output" io_failure "cannot write output" sh -c "'$MONVERT' --from-lire 1000 >&-"
check "a directory for input" io_failure "cannot read input" sh -c "'$MONVERT' --from-lire </"
check "a closed input" io_failure "cannot read input" sh -c "'$MONVERT' --from-lire <&-"
check "a broken pipe stops the reading" io_failure "cannot write output: Broken pipe" \
    bash -c "trap '' PIPE; seq 3000000 | '$MONVERT' --from-lire | head -1 >/dev/null; exit \${PIPESTATUS[1]}"
check "a broken pipe under the default SIGPIPE ends it as it ends cat" \
    bash -c "seq 3000000 | '$MONVERT' --from-lire 2>'$E2E_TMP/pipe.err' | head -1 >/dev/null; [ \${PIPESTATUS[1]} = 141 ] && [ ! -s '$E2E_TMP/pipe.err' ]"
check "a system's reason in the user's language, accents and all" \
    sh -c "LC_ALL=it_IT.UTF-8 '$MONVERT' --from-lire </ 2>&1 | grep -qx \"monvert: impossibile leggere l'input: È una directory\""
# A window program that is there but cannot run is named, with the reason.
mkdir -p "$E2E_TMP/bin" "$E2E_TMP/share"
cp "$MONVERT" "$E2E_TMP/bin/monvert"
cp "$(dirname "$MONVERT")/monvert-window" "$E2E_TMP/bin/monvert-window"
chmod -x "$E2E_TMP/bin/monvert-window"
check "a window program that cannot run: its name and the real reason" \
    sh -c "LC_ALL=en_US.UTF-8 DISPLAY=:0 '$E2E_TMP/bin/monvert' 2>&1 | grep -qx \"monvert: cannot start the window $E2E_TMP/bin/monvert-window: Permission denied\""
check "after -- even --help is an amount" sh -c "! '$MONVERT' --from-euro -- --help 2>/dev/null"
long_blanks=$(printf ' %.0s' {1..40000})
check "blanks around a line are not counted against the limit" \
    test "$(printf '%s1000\n' "$long_blanks" | LC_ALL=it_IT.UTF-8 monvert --from-lire)" = "Euro 0,52"
printf 'a\u202eb\n' | monvert --from-lire 2>"$E2E_TMP/bidi.err" >/dev/null
check "bidirectional overrides escaped in messages" grep -qF 'a\u202Eb' "$E2E_TMP/bidi.err"
# A program that writes one amount and waits for the answer gets it at once.
check "answers as soon as asked" /usr/bin/python3 - "$MONVERT" <<'PY'
import os, select, subprocess, sys
p = subprocess.Popen([sys.argv[1], "--from-lire"], stdin=subprocess.PIPE, stdout=subprocess.PIPE,
                     env=dict(os.environ, LC_ALL="it_IT.UTF-8"))
for amount, answer in ((b"1000\n", b"Euro 0,52\n"), (b"1000000\n", b"Euro 516,46\n")):
    p.stdin.write(amount)
    p.stdin.flush()
    ready, _, _ = select.select([p.stdout], [], [], 5)
    if not ready or p.stdout.readline() != answer:
        sys.exit("no answer")
p.stdin.close()
sys.exit(p.wait())
PY
# Messages in the user's language.
check "--help in Italian" sh -c "LC_ALL=it_IT.UTF-8 '$MONVERT' --help | grep -q '^Uso: monvert'"
check "--help in English" sh -c "LC_ALL=en_US.UTF-8 '$MONVERT' --help | grep -q '^Usage: monvert'"
it --from-lire abc >/dev/null
check "no amount, in Italian" grep -qx 'monvert: riga 1: non è un importo: abc' "$E2E_TMP/it.err"
no_qt() { ! LD_DEBUG=libs monvert --from-lire 5 2>&1 >/dev/null | grep libQt6; }
check "loads no Qt library" no_qt
finish
