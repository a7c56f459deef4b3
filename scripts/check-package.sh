#!/usr/bin/env bash
# Checks a kesto-decor Debian package: lintian (errors fail; warnings are shown), then the
# package unpacked into a temporary root (dpkg-deb -x), where each program must print the
# package's version, the desktop entry must name one main category, the icon must be there at
# each size and scalable, and kesto-decorate must find the packaged templates through
# XDG_DATA_DIRS alone. Usage: scripts/check-package.sh PACKAGE.deb
set -euo pipefail
deb=$(realpath "$1")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

fail() {
    echo "kesto: package check: $*" >&2
    exit 1
}

# lintian warns when run as root (as CI does); that line says nothing about the package.
if ! lintian --fail-on error --tag-display-limit 0 "$deb" >"$work/lintian.log" 2>&1; then
    grep -v 'running with root privileges' "$work/lintian.log" >&2 || true
    fail "lintian found errors"
fi
grep -v 'running with root privileges' "$work/lintian.log" || true

root=$work/root
dpkg-deb -x "$deb" "$root"
version=$(dpkg-deb -f "$deb" Version)
for program in kesto-design kesto-decorate kesto-market; do
    printed=$("$root/usr/bin/$program" --version) || fail "$program --version failed"
    [ "$printed" = "$program $version" ] ||
        fail "$program --version printed '$printed', the package is $version"
done

# One main category in the desktop entry: menus list the program once under each.
entry=$root/usr/share/applications/kesto-design.desktop
main='AudioVideo|Audio|Video|Development|Education|Game|Graphics|Network|Office|Science'
main_categories=$(sed -n 's/^Categories=//p' "$entry" | tr ';' '\n' |
    grep -cxE "$main|Settings|System|Utility" || true)
[ "$main_categories" = 1 ] || fail "the desktop entry names $main_categories main categories, not one"

# The icon at each size the icon theme looks for, each PNG of the size its folder names, and
# scalable.
icons=$root/usr/share/icons/hicolor
for size in 16 22 24 32 48 64 128 256; do
    icon=$icons/${size}x${size}/apps/kesto-design.png
    [ -f "$icon" ] || fail "the package has no ${size}x${size} icon"
    # A PNG's width and height are the big-endian words at bytes 16 and 20.
    read -r width height < <(od -An -tu1 -j16 -N8 "$icon" |
        awk '{print $3 * 256 + $4, $7 * 256 + $8}')
    [ "$width $height" = "$size $size" ] ||
        fail "the ${size}x${size} icon is ${width}x${height}"
done
[ -f "$icons/scalable/apps/kesto-design.svg" ] || fail "the package has no scalable icon"

# The packaged templates, found by name with an empty user data folder and the unpacked
# root's share folder as the only system data folder.
mkdir -p "$work/home"
decorate() {
    env XDG_DATA_HOME="$work/home" XDG_DATA_DIRS="$root/usr/share" \
        "$root/usr/bin/kesto-decorate" "$@"
}
shared=$root/usr/share/kesto-decor/templates
listed=$(decorate --list-templates | sort)
expected=$(for folder in "$shared"/*/; do
    name=$(basename "$folder")
    printf '%s\t%s\n' "$name" "$shared/$name/"
done | sort)
[ -n "$expected" ] || fail "the package holds no templates"
[ "$listed" = "$expected" ] ||
    fail "kesto-decorate --list-templates printed"$'\n'"$listed"$'\n'"instead of"$'\n'"$expected"
for folder in "$shared"/*/; do
    name=$(basename "$folder")
    decorate --check --template "$name" >"$work/check.log" 2>&1 ||
        { cat "$work/check.log" >&2; fail "kesto-decorate --check --template $name failed"; }
done
echo "  $(basename "$deb"): lintian without errors; $version; icons 16-256 and scalable; templates found through XDG_DATA_DIRS"
