#!/usr/bin/env bash
# How long an ordinary request waits while many slow clients hold connections to kesto-market:
# half of them send nothing, half send the start of a request and one more byte every two
# seconds: a header byte (PART heads, the default) or a body byte after a whole head announcing
# a 100,000-byte body (PART bodies). Prints the answer times of one request a second (a request
# not answered within 10 s counts as lost).
# usage: bench/slow_clients_bench.sh BUILD_FOLDER [CONNECTIONS] [SECONDS] [PART]   (needs python3)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "$1" && pwd)
connections=${2:-500}
seconds=${3:-20}
part=${4:-heads}
source "$root/scripts/market-session.sh"

start_market "$build"
python3 - "$market_port" "$connections" "$seconds" "$part" <<'PY'
import socket, statistics, sys, time

port, count, seconds = (int(a) for a in sys.argv[1:4])
if sys.argv[4] == "bodies":
    start = (b"POST http://www.kesto.example/ HTTP/1.1\r\nHost: www.kesto.example\r\n"
             b"Content-Length: 100000\r\n\r\n")
else:
    start = b"GET http://www.kesto.example/ HTTP/1.1\r\nHost: www.kesto.example\r\nX-Slow: "
slow = []
for i in range(count):
    s = socket.create_connection(("127.0.0.1", port))
    if i % 2:
        s.sendall(start)
    slow.append((s, i % 2 == 1))

def probe():
    began = time.monotonic()
    try:
        with socket.create_connection(("127.0.0.1", port), timeout=10) as s:
            s.sendall(b"GET http://www.kesto.example/ HTTP/1.1\r\nHost: www.kesto.example\r\n"
                      b"Connection: close\r\n\r\n")
            if not s.recv(12).startswith(b"HTTP/1.1 200"):
                return None
    except OSError:
        return None
    return time.monotonic() - began

times, lost, last_drip = [], 0, 0.0
end = time.monotonic() + seconds
while time.monotonic() < end:
    if time.monotonic() - last_drip >= 2:
        for s, dripping in slow:
            if dripping:
                try:
                    s.send(b"s")
                except OSError:
                    pass
        last_drip = time.monotonic()
    took = probe()
    if took is None:
        lost += 1
    else:
        times.append(took)
    time.sleep(max(0.0, 1 - (took or 0)))
for s, _ in slow:
    s.close()
if times:
    print(f"{count} slow connections: {len(times)} answers, median {statistics.median(times)*1000:.1f} ms, "
          f"max {max(times)*1000:.1f} ms; {lost} lost")
else:
    print(f"{count} slow connections: no answer at all; {lost} lost")
PY
