#!/usr/bin/env bash
# The demo: kesto-market on a free loopback port, the demo account logged in through the member
# host's login form, kesto-decorate applying a sample template with all three areas, and a
# screenshot of the decorated shop front from headless Chromium. Stops everything it started.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$root/build/linux
out=$root/build/demo
template=${1:-spring-garden}
if [ ! -d "$root/template/$template" ]; then
    echo "kesto: no template named '$template'; the templates are:" >&2
    for folder in "$root"/template/*/; do
        echo "  $(basename "$folder")" >&2
    done
    exit 2
fi
mkdir -p "$out"
source "$root/scripts/market-session.sh"
start_market "$build"
echo "kesto: kesto-market is the marketplace at $http_proxy"

echo "kesto: logging in as the demo account 10001 through the login form"
curl -sf -o /dev/null -c "$work/cookies.txt" \
    "http://member.kesto.example/cgi-bin/login_entry?LoginLevel=2"
curl -sf -o /dev/null -b "$work/cookies.txt" -c "$work/cookies.txt" \
    --data 'u=10001&p=kesto123' "http://member.kesto.example/cgi-bin/login_submit"

echo "kesto: decorating the shop with the template $template"
"$build/cli/kesto-decorate" --template "$build/cli/template/$template" \
    --cookies "$work/cookies.txt" --yes

echo "kesto: taking a screenshot of the shop front"
chromium --headless --no-sandbox --disable-gpu --disable-quic --no-first-run \
    --disable-background-networking --disable-component-update --disable-sync \
    --user-data-dir="$work/chromium" --proxy-server="$http_proxy" --window-size=1024,900 \
    --hide-scrollbars --screenshot="$out/shop-front.png" "http://shop.kesto.example/10001" \
    >"$work/chromium.log" 2>&1 || { cat "$work/chromium.log"; exit 1; }
echo "kesto: the address above lived only as long as the demo's kesto-market, which stops now;"
echo "kesto: the decorated shop front is in the screenshot $out/shop-front.png"
