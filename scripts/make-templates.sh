#!/usr/bin/env bash
# Regenerates the sample templates in template/ with ImageMagick (apt-get install imagemagick).
# Each template: a preview picture, "head" with the shop sign, "main" with pictures and the page
# text, "class" with one folder per category (names with "-" are sub-categories).
# The page text is UTF-8, the code page the Linux programs use.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
font=DejaVu-Sans-Bold

banner() {  # file width height colour1 colour2 caption quality
    # The caption's size: a quarter of the height, smaller when the text would not fit.
    local size=$(($3 / 4)) fit=$(($2 * 12 / (10 * ${#6})))
    [ "$fit" -lt "$size" ] && size=$fit
    convert -size "$2x$3" "gradient:$4-$5" -font "$font" -pointsize "$size" -fill white \
        -gravity center -annotate +0+0 "$6" -strip -quality "$7" "$1"
}

tile() {  # file colour caption
    convert -size 96x96 "xc:$2" -font "$font" -pointsize 18 -fill white -gravity center \
        -annotate +0+0 "$3" -strip -quality 80 "$1"
}

make_garden() {
    local t=$root/template/spring-garden
    rm -rf "$t" && mkdir -p "$t/head" "$t/main" "$t/class"
    banner "$t/preview.jpg" 480 320 '#7cc576' '#f6e58d' 'Spring Garden' 80
    # A richly textured sign over 40,960 bytes, so that it travels in chunks; the seed keeps the
    # file the same from run to run.
    convert -seed 7 -size 950x150 plasma:'#a8e063'-'#3c8d2f' -blur 0x1 -font "$font" -pointsize 56 -fill white \
        -stroke '#2d572c' -strokewidth 2 -gravity center -annotate +0+0 'Spring Garden' \
        -strip -quality 92 "$t/head/sign.jpg"
    banner "$t/main/welcome.jpg" 750 240 '#55a630' '#d4e09b' 'Welcome to our garden' 70
    banner "$t/main/new.jpg" 360 200 '#f28482' '#f5cac3' 'New arrivals' 70
    convert -size 360x200 xc:'#84a59d' -font "$font" -pointsize 30 -fill white \
        -gravity center -annotate +0+0 'Free shipping' "$t/main/shipping.gif"
    cat >"$t/main/page.txt" <<'TEXT'
<div style="text-align:center;font-family:sans-serif">
<img src="welcome.jpg" alt="欢迎光临">
<table align="center"><tr>
<td><a href="{店铺URL}"><img src="new.jpg" alt="新品上架"></a></td>
<td><img src="shipping.gif" alt="全场包邮"></td>
</tr></table>
<p>春日花园小店欢迎您！店铺编号 {店铺ID}，收藏本店：<a href="{店铺URL}">{店铺URL}</a></p>
</div>
TEXT
    mkdir -p "$t/class/dresses" "$t/class/shoes" "$t/class/bags"
    tile "$t/class/dresses/连衣裙.jpg" '#e5989b' 'Dress'
    tile "$t/class/dresses/连衣裙-长款.jpg" '#b5838d' 'Long'
    tile "$t/class/dresses/连衣裙-短款.jpg" '#6d6875' 'Short'
    tile "$t/class/shoes/鞋子.jpg" '#588157' 'Shoes'
    tile "$t/class/bags/包包.jpg" '#a3b18a' 'Bags'
}

make_ocean() {
    local t=$root/template/ocean-blue
    rm -rf "$t" && mkdir -p "$t/head" "$t/main" "$t/class"
    banner "$t/preview.jpg" 480 320 '#0077b6' '#90e0ef' 'Ocean Blue' 80
    convert -size 950x150 gradient:'#03045e'-'#00b4d8' -font "$font" -pointsize 56 \
        -fill white -gravity center -annotate +0+0 'Ocean Blue' "$t/head/sign.gif"
    banner "$t/main/top.jpg" 750 240 '#023e8a' '#48cae4' 'Deep sea deals' 70
    banner "$t/main/sale.jpg" 360 200 '#0096c7' '#caf0f8' 'Summer sale' 70
    banner "$t/main/gift.jpg" 360 200 '#00b4d8' '#ade8f4' 'Gifts' 70
    cat >"$t/main/content.txt" <<'TEXT'
<div style="font-family:sans-serif">
<p><img src="top.jpg" alt="Deep sea deals"></p>
<p><img src="sale.jpg" alt="Summer sale"> <img src="gift.jpg" alt="Gifts"></p>
<p>Shop {店铺ID}: <a href="{店铺URL}">{店铺URL}</a></p>
</div>
TEXT
    mkdir -p "$t/class/Shirts" "$t/class/Hats" "$t/class/Sandals"
    tile "$t/class/Shirts/Shirts.jpg" '#0077b6' 'Shirts'
    tile "$t/class/Shirts/Shirts-Linen.jpg" '#0096c7' 'Linen'
    tile "$t/class/Hats/Hats.jpg" '#00b4d8' 'Hats'
    tile "$t/class/Sandals/Sandals.jpg" '#48cae4' 'Sandals'
    tile "$t/class/Sandals/Sandals-Kids.jpg" '#90e0ef' 'Kids'
}

# The page texts start with a UTF-8 byte-order mark, so the program reads them as UTF-8 whatever
# the system's code page is.
with_bom() {
    printf '\xEF\xBB\xBF' | cat - "$1" >"$1.tmp" && mv "$1.tmp" "$1"
}

make_garden
make_ocean
with_bom "$root/template/spring-garden/main/page.txt"
with_bom "$root/template/ocean-blue/main/content.txt"
find "$root/template" -type f -printf '%s\t%P\n' | sort -k2
