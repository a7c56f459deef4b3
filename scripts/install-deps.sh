#!/usr/bin/env bash
# Installs the Debian packages listed in scripts/packages.txt (and in any further list files
# given as arguments) that are missing, and the source package index JsonCpp's Windows build
# needs. Quiet and quick when everything is there.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)

mapfile -t wanted < <(cat "$root/scripts/packages.txt" "$@" | grep -v '^\s*#' | awk 'NF { print $1 }')
missing=()
for package in "${wanted[@]}"; do
    status=$(dpkg-query -W -f='${Status}' "$package" 2>/dev/null || true)
    [ "$status" = "install ok installed" ] || missing+=("$package")
done

# JsonCpp's Windows build unpacks Debian's source package, which needs a deb-src entry.
sources=/etc/apt/sources.list.d/kesto-deb-src.sources
need_update=0
if ! grep -rqs '^Types:.*deb-src\|^deb-src' /etc/apt/sources.list /etc/apt/sources.list.d/; then
    cat >"$sources" <<'SOURCES'
Types: deb-src
URIs: http://deb.debian.org/debian
Suites: bookworm bookworm-updates
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg
SOURCES
    need_update=1
fi

if [ ${#missing[@]} -gt 0 ] || [ $need_update -eq 1 ]; then
    echo "kesto: installing ${missing[*]:-the source package index}"
    export DEBIAN_FRONTEND=noninteractive
    apt-get update -qq
    if [ ${#missing[@]} -gt 0 ]; then
        apt-get install -y -qq "${missing[@]}" >/dev/null
    fi
fi
