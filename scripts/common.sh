#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Shared by scripts/run, scripts/test and scripts/bench: installs what is
# missing and builds. Sourced, not run.

ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
export DEBIAN_FRONTEND=noninteractive

BUILD_PACKAGES=(cmake ninja-build g++ pkg-config gettext qt6-base-dev qt6-qpa-plugins libgl-dev libxcb1-dev
    fonts-dejavu-core qt6-translations-l10n)

as_root() {
    if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

# Installs the named Debian packages that are not installed yet, and only those.
ensure_packages() {
    local missing=()
    local pkg
    for pkg in "$@"; do
        dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q 'install ok installed' \
            || missing+=("$pkg")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    echo "== installing: ${missing[*]}"
    as_root apt-get update -qq
    as_root apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
}

# Generates the glibc locales the tests and the program are run under:
# it_IT.UTF-8, or a single-byte one such as fr_FR.ISO-8859-1.
ensure_locales() {
    local wanted=("$@") missing=() loc line
    for loc in "${wanted[@]}"; do
        # locale -a writes the character set in lower case without dashes.
        local listed=${loc#*.}
        listed=${loc%%.*}.$(tr -d '-' <<<"${listed,,}")
        locale -a 2>/dev/null | grep -qix "$listed" || missing+=("$loc")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    ensure_packages locales
    for loc in "${missing[@]}"; do
        # /etc/locale.gen names UTF-8 locales in full, the others by language.
        if [ "${loc#*.}" = UTF-8 ]; then line="$loc UTF-8"; else line="${loc%%.*} ${loc#*.}"; fi
        as_root sed -i "s/^# *\(${line}\)\$/\1/" /etc/locale.gen
        grep -qx "$line" /etc/locale.gen || echo "$line" | as_root tee -a /etc/locale.gen >/dev/null
    done
    as_root locale-gen >/dev/null
}

# configure_and_build DIR [cmake args...]
configure_and_build() {
    local dir=$1
    shift
    cmake -S "$ROOT" -B "$dir" -G Ninja "$@" >"$dir.configure.log" 2>&1 \
        || { cat "$dir.configure.log"; return 1; }
    cmake --build "$dir"
}
