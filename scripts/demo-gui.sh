#!/usr/bin/env bash
# The desktop program against kesto-market, to try by hand: kesto-market on a free loopback
# port asking for the transaction password, kesto-design going through it with its own scratch
# data folder (so the user's real login cookies are neither used nor touched). Closing the
# window stops everything.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$root/build/linux
if [ -z "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
    echo "kesto: the desktop program needs a display (DISPLAY or WAYLAND_DISPLAY)" >&2
    exit 2
fi
source "$root/scripts/market-session.sh"
start_market "$build" --password-required 10001
echo "kesto: kesto-market is the marketplace at $http_proxy"
echo "kesto: press 登录 and log in as 10001 with the password kesto123; when the marketplace asks"
echo "kesto: for the transaction password, it is 888888. Close the window to stop."
mkdir -p "$work/data" "$work/config"
XDG_DATA_HOME=$work/data XDG_CONFIG_HOME=$work/config "$build/app/gtk/kesto-design"
