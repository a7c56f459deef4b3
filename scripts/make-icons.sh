#!/usr/bin/env bash
# Draws kesto-design's icons from packaging/icons/kesto-design.svg: one PNG per size the
# desktop's icon theme looks for (packaging/icons/<size>.png, installed under
# hicolor/<size>x<size>/apps) and the Windows icon with the sizes Explorer and the taskbar use
# (app/win32/kesto_design.ico, 256 stored as PNG). The results are committed, so a build needs
# neither tool: run this after changing the drawing (apt-get install librsvg2-bin imagemagick).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
icons=$root/packaging/icons
svg=$icons/kesto-design.svg
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

for size in 16 22 24 32 48 64 128 256; do
    rsvg-convert --width "$size" --height "$size" "$svg" --output "$work/$size.png"
    # No time stamps or other chunks that change from run to run.
    convert "$work/$size.png" -strip "PNG32:$icons/$size.png"
done
windows_sizes=()
for size in 16 24 32 48 64 256; do
    windows_sizes+=("$icons/$size.png")
done
convert "${windows_sizes[@]}" "$root/app/win32/kesto_design.ico"
