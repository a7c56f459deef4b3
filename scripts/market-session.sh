# Sourced by scripts that run kesto-market for a while: start_market BUILD_FOLDER [ARGS...]
# starts it on a free loopback port, exports http_proxy for it and sets market_port; the
# market is stopped and the scratch folder $work removed when the script exits.
work=$(mktemp -d)
market_pid=
stop_market() {
    if [ -n "$market_pid" ]; then
        kill "$market_pid" 2>/dev/null && wait "$market_pid" 2>/dev/null
    fi
    rm -rf "$work"
}
trap stop_market EXIT

start_market() {
    local build=$1
    shift
    # The log exists before the market starts: the background job opens it only once it runs.
    : >"$work/market.log"
    "$build/market-sim/kesto-market" --port 0 "$@" >"$work/market.log" 2>&1 &
    market_pid=$!
    for _ in $(seq 50); do
        grep -q 'proxy http://127\.0\.0\.1:[0-9]' "$work/market.log" && break
        kill -0 "$market_pid" 2>/dev/null || break
        sleep 0.1
    done
    market_port=$(sed -n 's/.*proxy http:\/\/127\.0\.0\.1:\([0-9]*\).*/\1/p' "$work/market.log" |
        head -n 1)
    if [ -z "$market_port" ]; then
        cat "$work/market.log" >&2
        echo "kesto: kesto-market did not start" >&2
        exit 1
    fi
    export http_proxy=http://127.0.0.1:$market_port
}
