#!/usr/bin/env bash
# Times one thumbnail per tool as a whole process, with its peak memory, on the same pictures in
# the same run: our make_thumbnail, vipsthumbnail -s 60x60 and ImageMagick's
# convert -resize 60x60 -quality 80. Pictures: a 4000 x 3000 JPEG, a 2000 x 2000 PNG and an
# animated GIF, made once in the work folder.
#   bench/thumbnail_compare.sh BUILD_FOLDER [WORK_FOLDER] [RUNS]
# Needs libvips-tools (vipsthumbnail) and imagemagick, for measuring only. Each figure is the
# median of RUNS runs (default 5).
set -euo pipefail
build=${1:?usage: thumbnail_compare.sh BUILD_FOLDER [WORK_FOLDER] [RUNS]}
work=${2:-/tmp/kesto-thumbnail-bench}
runs=${3:-5}
ours=$build/bench/make_thumbnail
convert=/usr/bin/convert
for tool in "$ours" /usr/bin/vipsthumbnail "$convert" /usr/bin/time; do
    [ -x "$tool" ] || { echo "thumbnail_compare: $tool is missing" >&2; exit 1; }
done
mkdir -p "$work"

[ -s "$work/photo.jpg" ] ||
    "$convert" -size 4000x3000 -seed 1 plasma:fractal -quality 90 "$work/photo.jpg"
[ -s "$work/picture.png" ] ||
    "$convert" -size 2000x2000 -seed 2 plasma:fractal "$work/picture.png"
[ -s "$work/animation.gif" ] ||
    "$convert" -size 800x600 -seed 3 plasma:fractal -seed 4 plasma:fractal -seed 5 plasma:fractal \
        -seed 6 plasma:fractal -set delay 20 -loop 0 "$work/animation.gif"

# Prints "seconds KiB" of the median run (by time) of the command.
measure() {
    local i
    for ((i = 0; i < runs; i++)); do
        /usr/bin/time -f '%e %M' "$@" 2>&1 >/dev/null | tail -n 1
    done | sort -n | sed -n "$(((runs + 1) / 2))p"
}

printf '%-14s %-14s %9s %9s\n' picture tool seconds MiB
for picture in photo.jpg picture.png animation.gif; do
    source=$work/$picture
    read -r s k < <(measure "$ours" "$source" "$work/ours.jpg")
    printf '%-14s %-14s %9s %9.1f\n' "$picture" make_thumbnail "$s" "$(bc -l <<<"$k/1024")"
    read -r s k < <(measure /usr/bin/vipsthumbnail -s 60x60 -o "$work/vips.jpg[Q=80]" "$source")
    printf '%-14s %-14s %9s %9.1f\n' "$picture" vipsthumbnail "$s" "$(bc -l <<<"$k/1024")"
    read -r s k < <(measure "$convert" "$source[0]" -resize 60x60 -quality 80 "$work/magick.jpg")
    printf '%-14s %-14s %9s %9.1f\n' "$picture" convert "$s" "$(bc -l <<<"$k/1024")"
done
