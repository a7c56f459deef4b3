#!/usr/bin/env bash
# How long a large decoration takes against a marketplace that answers each request after a
# delay: a template with 60 main-page pictures and 12 categories of 5 pictures each, decorated
# by kesto-decorate against kesto-market --delay. The floor is the number of requests of a run
# with one upload at a time, times the delay: what a client that sends one request at a time
# and spends no time of its own would take.
# usage: bench/decorate_job_bench.sh BUILD_FOLDER [DELAY_MS] [--parallel N | --side-by-side]
#            [--fault SETTING]...
#   --parallel N    one run with kesto-decorate --parallel N (default 1)
#   --side-by-side  a run with --parallel 1, then one with --parallel 4, against the same
#                   kesto-market, each as a ratio to the floor of the first
#   --fault SETTING a kesto-market fault for every run, for example UploadPicActivex=429:0%5
# Each run prints its requests, wall time as a ratio to the floor, client CPU, peak memory
# (maximum resident set size), and how many picture uploads kesto-market took and refused (a
# picture taken twice would show more taken than the template has pictures).
# (needs /usr/bin/time, curl and python3)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "$1" && pwd)
shift
delay=20
if [ $# -gt 0 ] && [[ $1 != --* ]]; then
    delay=$1
    shift
fi
runs=(1)
faults=()
while [ $# -gt 0 ]; do
    case $1 in
    --parallel) runs=("$2"); shift 2 ;;
    --side-by-side) runs=(1 4); shift ;;
    --fault) faults+=(--fault "$2"); shift 2 ;;
    *) echo "usage: $0 BUILD_FOLDER [DELAY_MS] [--parallel N | --side-by-side] [--fault SETTING]..." >&2
       exit 2 ;;
    esac
done
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
pictures=120

start_market "$build" --delay "$delay" "${faults[@]}"
curl -sf -o /dev/null -c "$work/cookies.txt" --data 'u=10001&p=kesto123' \
    "http://member.kesto.example/cgi-bin/login_submit"
control="http://127.0.0.1:$market_port/control"

floor=
for parallel in "${runs[@]}"; do
    curl -sf -o /dev/null --noproxy '*' --data '' "$control/requests/clear"
    /usr/bin/time -f '%e %U %S %M' -o "$work/time.txt" "$build/cli/kesto-decorate" \
        --template "$t" --cookies "$work/cookies.txt" --yes --parallel "$parallel" \
        >"$work/progress.txt" || echo "kesto-decorate failed (exit $?)"
    echo "--parallel $parallel: $(tail -n 2 "$work/progress.txt" | head -n 1)"
    curl -sf --noproxy '*' "$control/requests" >"$work/requests.json"
    read -r wall user system rss <"$work/time.txt"
    floor=$(python3 - "$work/requests.json" "$wall" "$user" "$system" "$rss" "$delay" \
        "$pictures" "$floor" <<'PY'
import json, sys
path, wall, user, system, rss, delay, pictures, floor = sys.argv[1:]
requests = json.load(open(path))["requests"]
uploads = [r for r in requests if r["path"].endswith("/album/UploadPicActivex")]
taken = sum(1 for r in uploads if r["status"] == 200)
refused = sum(1 for r in uploads if r["status"] == 429)
# The floor counts the requests a run takes without refusals, from the first run.
if not floor:
    floor = f"{(len(requests) - sum(1 for r in requests if r['status'] == 429)) * int(delay) / 1000:.3f}"
ratio = float(wall) / float(floor)
print(f"  requests {len(requests)}, delay {delay} ms each; floor {float(floor):.2f} s", file=sys.stderr)
print(f"  wall {float(wall):.2f} s = {ratio:.3f} x floor", file=sys.stderr)
print(f"  client CPU {float(user) + float(system):.2f} s, peak memory {int(rss) / 1024:.1f} MiB",
      file=sys.stderr)
print(f"  picture uploads taken {taken} of {pictures} pictures, refused {refused}", file=sys.stderr)
print(floor)
PY
    )
done 2>&1
# The server's own CPU time (user + system clock ticks), which also lies between request and answer.
server_ticks=$(awk '{ print $14 + $15 }' "/proc/$market_pid/stat")
echo "server CPU $(python3 -c "print(f'{$server_ticks / $(getconf CLK_TCK):.2f}')") s (kesto-market, all runs, login included)"
