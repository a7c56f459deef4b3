#!/usr/bin/env bash
# A whole decoration job from the Windows kesto-decorate.exe, under Wine, against kesto-market:
# the login's cookies come from a cookies.txt, the requests go through WinINet with the proxy set
# in Wine's registry, and the job must decorate all three areas and reach "装修完成。" with no
# request refused by the market. Wine runs the program in LOCALE (by default zh_CN.UTF-8, whose
# ANSI code page is 936; zh_TW.UTF-8 gives 950, en_US.UTF-8 1252): the program sends GBK under
# each. ANSWERS is kesto-market's answer mode, rich (the default) or documented.
#   decorate_e2e.sh KESTO_MARKET KESTO_DECORATE_EXE TEMPLATE_FOLDER WORK_FOLDER [ANSWERS [LOCALE]]
set -euo pipefail
market=$1
program=$2
template=$3
work=$4
answers=${5:-rich}
locale=${6:-zh_CN.UTF-8}
source "$(dirname "$0")/wine_setup.sh" "$work"

fail() {
    echo "decorate_e2e: $*" >&2
    for log in "$run"/*.out "$run"/*.err; do
        [ -f "$log" ] && { echo "--- $log" >&2; tail -n 20 "$log" >&2; }
    done
    exit 1
}

# kesto-market in GBK, the marketplace's code page, which the program sends its texts in whatever
# the system's ANSI code page is.
"$market" --port 0 --charset GBK --answers "$answers" >"$run/market.out" 2>"$run/market.err" &
market_pid=$!
trap 'kill $market_pid 2>/dev/null || true; wait $market_pid 2>/dev/null || true' EXIT
port=
for _ in $(seq 50); do
    port=$(grep -oE 'proxy http://127\.0\.0\.1:[0-9]+' "$run/market.out" | grep -oE '[0-9]+$' || true)
    [ -n "$port" ] && break
    sleep 0.1
done
[ -n "$port" ] || fail "kesto-market did not start"
proxy=http://127.0.0.1:$port

# The login, as a browser would make it; curl leaves the cookies in a Netscape cookie file.
curl -sf -x "$proxy" -c "$run/cookies.txt" -d 'u=10001&p=kesto123' -o /dev/null \
    http://member.kesto.example/cgi-bin/login_submit || fail "the login was refused"
grep -q $'\tskey\t' "$run/cookies.txt" || fail "the login left no session key"

wine_locales "$locale" || fail "no $locale locale"
settings='HKCU\Software\Microsoft\Windows\CurrentVersion\Internet Settings'
"$wine" reg add "$settings" /v ProxyEnable /t REG_DWORD /d 1 /f >/dev/null 2>&1
"$wine" reg add "$settings" /v ProxyServer /t REG_SZ /d "127.0.0.1:$port" /f >/dev/null 2>&1
/usr/lib/wine/wineserver -w

# The help names where Windows users set the proxy, not a variable of other systems.
LANG=$locale LC_ALL=$locale "$wine" "$program" --help >"$run/help.out" 2>"$run/help.err" ||
    fail "kesto-decorate.exe --help failed"
grep -qE 'Internet Settings|Internet 设置' "$run/help.out" ||
    fail "--help does not name the Internet Settings proxy"
if grep -q 'http_proxy' "$run/help.out"; then
    fail "--help names http_proxy"
fi

status=0
LANG=$locale LC_ALL=$locale timeout --kill-after=10 300 "$wine" "$program" \
    --template "$(windows_path "$template")" --cookies "$(windows_path "$run/cookies.txt")" \
    --yes >"$run/decorate.out" 2>"$run/decorate.err" || status=$?
/usr/lib/wine/wineserver -k 2>/dev/null || true

[ "$status" -eq 0 ] || fail "kesto-decorate.exe ended with status $status"
grep -q '装修完成。' "$run/decorate.out" || fail "the job did not reach 装修完成。"
for area in 店招 主页面 分类; do
    grep -q "^${area}更新完成。" "$run/decorate.out" || fail "the area $area was not decorated"
done
grep -q 'http://shop.kesto.example/10001?t=' "$run/decorate.out" ||
    fail "no shop front address for shop 10001"
# Every name went out in GBK: none reached the album with '?' for a character.
shop=$(curl -sf "$proxy/control/shops/10001") || fail "kesto-market's control did not answer"
if grep -qE '"fileName" ?: ?"[^"]*[?]' <<<"$shop"; then
    fail "a picture reached the album with '?' in its name: $(grep -oE '"fileName" ?: ?"[^"]*"' <<<"$shop" | tr '\n' ' ')"
fi
violations=$(curl -sf "$proxy/control/violations") || fail "kesto-market's control did not answer"
tr -d ' \t\n' <<<"$violations" | grep -q '"violations":\[\]' ||
    fail "kesto-market refused requests: $violations"
echo "decorate_e2e: passed"
