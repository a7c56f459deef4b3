#!/bin/bash
# kesto-decorate --login driven as a person would, against kesto-market: kesto-decorate starts
# kesto-design --login from beside itself, the login window alone opens, the demo account is
# typed in with real key events, the window closes and kesto-decorate ends with 0, naming the
# cookie file; the file holds the login, and kesto-decorate --plan with it reads the shop.
# Then the user closing the login window before logging in, and a machine without a display,
# each end with the usage status and say why.
# Runs under its own Xvfb (scripts/on-own-display).
#   login_e2e.sh KESTO_MARKET KESTO_DECORATE ARTIFACT_FOLDER
set -euo pipefail
market=$1
decorate=$2
artifacts=$3
work=$(mktemp -d)
pids=()
cleanup() {
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
    wait 2>/dev/null || true
    cat "$work"/login*.err >"$artifacts/login-e2e.stderr" 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT

# shellcheck source=gui_driving.sh
source "$(dirname "$0")/gui_driving.sh"

fail() {
    echo "login_e2e: $*" >&2
    import -window root "$artifacts/login-e2e-failure.png" 2>/dev/null || true
    echo "--- kesto-decorate's output:" >&2; cat "$work/login.out" >&2 || true
    echo "--- its errors (end):" >&2; tail -n 20 "$work"/login*.err >&2 || true
    exit 1
}

# Waits up to $2 seconds for the process $1 to end and sets status to its exit status.
wait_for_end() {
    for _ in $(seq $(($2 * 10))); do
        kill -0 "$1" 2>/dev/null || break
        sleep 0.1
    done
    kill -0 "$1" 2>/dev/null && fail "kesto-decorate --login did not end"
    status=0
    wait "$1" || status=$?
}

start_market "$market"
export http_proxy=$proxy XDG_DATA_HOME=$work/data
export WEBKIT_DISABLE_DMABUF_RENDERER=1 NO_AT_BRIDGE=1
cookies=$XDG_DATA_HOME/kesto-decor/cookies.txt

# The login made in the login window alone.
"$decorate" --login >"$work/login.out" 2>"$work/login1.err" &
login_pid=$!
pids+=("$login_pid")
find_window 'login_entry' 60 >/dev/null || fail "the login window did not reach the login page"
find_window '^Kesto装修$' 1 >/dev/null && fail "the main dialog opened"
log_in_browser 10001 kesto123
wait_for_end "$login_pid" 60
[ "$status" = 0 ] || fail "kesto-decorate --login ended with $status"
grep -qxF "logged in; the login is in $cookies" "$work/login.out" || fail "no success line"
wait_for_no_window 'kesto\.example' 5 || fail "the login window is still open"
[ "$(stat -c %a "$cookies")" = 600 ] || fail "the cookie file is readable by others"
grep -q $'\tskey\t' "$cookies" || fail "no session key in the cookie file"
grep -q $'\tptui_loginuin\t10001$' "$cookies" || fail "no user number in the cookie file"

# The login serves the command line: --plan reads the shop with it.
"$decorate" --plan --template spring-garden >"$work/plan.out" 2>"$work/plan.err" ||
    fail "kesto-decorate --plan with the login failed: $(cat "$work/plan.err")"
grep -qxF 'a run could go ahead' "$work/plan.out" || fail "no plan: $(cat "$work/plan.out")"

# The window closed before the login: no login, the usage status and why.
rm -f "$cookies"
"$decorate" --login >"$work/login.out" 2>"$work/login2.err" &
login_pid=$!
pids+=("$login_pid")
browser=$(find_window 'login_entry' 30) || fail "the second login window did not open"
close_window "$browser" || fail "cannot close the login window"
wait_for_end "$login_pid" 30
[ "$status" = 2 ] || fail "closing the login window ended kesto-decorate --login with $status"
grep -q 'closed before the login completed' "$work/login2.err" || fail "no reason for the failure"
[ -e "$cookies" ] && fail "a cookie file was left without a login"

# No display: no window is tried, and the way to bring a login from elsewhere is named.
status=0
env -u DISPLAY -u WAYLAND_DISPLAY "$decorate" --login >"$work/login.out" 2>"$work/login3.err" ||
    status=$?
[ "$status" = 2 ] || fail "kesto-decorate --login without a display ended with $status"
grep -qF "$cookies" "$work/login3.err" || fail "the advice does not name the cookie file"
grep -qF -- '--cookies FILE' "$work/login3.err" || fail "the advice does not name --cookies"

if grep -E 'ERROR: (Address|Leak)Sanitizer|runtime error:' "$work"/login*.err "$work/plan.err" >&2; then
    fail "the sanitizers found faults"
fi
echo "login_e2e: passed"
