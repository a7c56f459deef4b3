#!/usr/bin/env bash
# Installs the Debian packages listed in scripts/packages.txt (and in any further list files
# given as arguments) that are missing, and the source package index JsonCpp's Windows build
# needs. Quiet and quick when everything is there.
#   install-deps.sh [--no-recommends] [LIST...]
# --no-recommends leaves out the packages the missing ones only recommend (the demo's browser
# would otherwise bring some eighty, daemons among them).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
apt_options=()
if [ "${1:-}" = --no-recommends ]; then
    apt_options=(--no-install-recommends)
    shift
fi

mapfile -t wanted < <(cat "$root/scripts/packages.txt" "$@" | grep -v '^\s*#' | awk 'NF { print $1 }')
missing=()
for package in "${wanted[@]}"; do
    status=$(dpkg-query -W -f='${Status}' "$package" 2>/dev/null || true)
    [ "$status" = "install ok installed" ] || missing+=("$package")
done

# JsonCpp's Windows build unpacks Debian's source package, which needs deb-src entries. They
# mirror the machine's own Debian sources (same addresses, suites and components), so the project
# names no archive of its own.
sources=/etc/apt/sources.list.d/kesto-deb-src.sources
need_update=0
wanted_sources=$("$root/scripts/deb-src-entries.sh" "$sources")
if [ -z "$wanted_sources" ]; then
    rm -f "$sources"
elif [ "$wanted_sources" != "$(cat "$sources" 2>/dev/null)" ]; then
    printf '%s\n' "$wanted_sources" >"$sources"
    need_update=1
fi

if [ ${#missing[@]} -gt 0 ] || [ $need_update -eq 1 ]; then
    echo "kesto: installing ${missing[*]:-the source package index}"
    export DEBIAN_FRONTEND=noninteractive
    apt-get update -qq
    if [ ${#missing[@]} -gt 0 ]; then
        apt-get install -y -qq "${apt_options[@]}" "${missing[@]}" >/dev/null
    fi
fi
