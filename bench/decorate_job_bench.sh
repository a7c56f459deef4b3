#!/usr/bin/env bash
# How long a large decoration takes against a marketplace that answers each request after a
# delay: a template with 60 main-page pictures and 12 categories of 5 pictures each, decorated
# by kesto-decorate against kesto-market --delay. The floor is the number of requests times the
# delay, since the protocol sends one request at a time.
# usage: bench/decorate_job_bench.sh BUILD_FOLDER [DELAY_MS]   (needs /usr/bin/time and curl)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "$1" && pwd)
delay=${2:-20}
source "$root/scripts/market-session.sh"

sample=$root/template/spring-garden
t=$work/template
mkdir -p "$t/head" "$t/main" "$t/class"
cp "$sample/head/sign.jpg" "$t/head/"
for i in $(seq 60); do
    cp "$sample/main/welcome.jpg" "$t/main/picture$i.jpg"
    echo "<p><img src=\"picture$i.jpg\"></p>" >>"$t/main/page.txt"
done
for c in $(seq 12); do
    mkdir -p "$t/class/category$c"
    cp "$sample/class/bags/包包.jpg" "$t/class/category$c/category$c.jpg"
    for s in $(seq 4); do
        cp "$sample/class/shoes/鞋子.jpg" "$t/class/category$c/category$c-kind$s.jpg"
    done
done

start_market "$build" --delay "$delay"
curl -sf -o /dev/null -c "$work/cookies.txt" --data 'u=10001&p=kesto123' \
    "http://member.kesto.example/cgi-bin/login_submit"
curl -sf -o /dev/null --noproxy '*' --data '' "http://127.0.0.1:$market_port/control/requests/clear"

/usr/bin/time -f '%e %U %S %M' -o "$work/time.txt" "$build/cli/kesto-decorate" \
    --template "$t" --cookies "$work/cookies.txt" --yes >"$work/progress.txt"
tail -n 2 "$work/progress.txt" | head -n 1
requests=$(curl -sf --noproxy '*' "http://127.0.0.1:$market_port/control/requests" |
    python3 -c 'import json, sys; print(len(json.load(sys.stdin)["requests"]))')
read -r wall user system rss <"$work/time.txt"
# The server's own CPU time (user + system clock ticks), which also lies between request and answer.
server_ticks=$(awk '{ print $14 + $15 }' "/proc/$market_pid/stat")
python3 - "$wall" "$user" "$system" "$rss" "$requests" "$delay" "$server_ticks" "$(getconf CLK_TCK)" <<'PY'
import sys
wall, user, system, rss, requests, delay, server_ticks, ticks = sys.argv[1:]
floor = int(requests) * int(delay) / 1000
print(f"requests {requests}, delay {delay} ms each: floor {floor:.2f} s")
print(f"wall {float(wall):.2f} s = {float(wall) / floor:.3f} x floor")
print(f"client CPU {float(user) + float(system):.2f} s, peak memory {int(rss) / 1024:.1f} MiB")
print(f"server CPU {int(server_ticks) / int(ticks):.2f} s (kesto-market, login included)")
PY
