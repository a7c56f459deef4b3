#!/bin/bash
# kesto-design driven as a person would, against kesto-market with a shop that asks for its
# transaction password: press Login, let the login browser click "登录", type the demo account
# with real key events, see "已登录.", find the login's cookies in the user's cookie file; press
# Upload and answer the categories warning, get the password browser, type the transaction
# password and see the browser close; press Upload again (no second warning) and see "装修完成。",
# the shop front opened and the shop holding the template's sign, main page and categories; press
# Preview and the link (opened by the desktop's default program, here a recorder); leave a
# screenshot; press Exit.
# Runs under its own Xvfb (scripts/on-own-display).
#   design_e2e.sh KESTO_MARKET KESTO_DESIGN ARTIFACT_FOLDER
set -euo pipefail
market=$1
design=$2
artifacts=$3
work=$(mktemp -d)
pids=()
cleanup() {
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
    wait 2>/dev/null || true
    cp "$work/design.err" "$artifacts/design-e2e.stderr" 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT

# shellcheck source=gui_driving.sh
source "$(dirname "$0")/gui_driving.sh"

fail() {
    echo "design_e2e: $*" >&2
    import -window root "$artifacts/login-e2e-failure.png" 2>/dev/null || true
    echo "--- lines:" >&2; cat "$work/design.out" >&2 || true
    echo "--- kesto-design's errors (end):" >&2; tail -n 20 "$work/design.err" >&2 || true
    exit 1
}

# Clicks the main dialog at $1, $2 (pixels from its corner), above the browser windows.
click_dialog() {
    xdo windowraise "$dialog"
    xdo windowfocus --sync "$dialog"
    xdo mousemove --window "$dialog" "$1" "$2" click 1
}

# Waits up to $2 seconds for the program to add the line $1.
wait_for_line() {
    for _ in $(seq $(($2 * 10))); do
        grep -qxF "$1" "$work/design.out" && return 0
        sleep 0.1
    done
    fail "no line \"$1\""
}

start_market "$market" --password-required 10001

# The desktop's default program for pictures and web addresses records what it is asked to open.
opened=$work/opened.txt
mkdir -p "$work/data/applications" "$work/config"
printf '#!/bin/sh\necho "$1" >>"%s"\n' "$opened" >"$work/recorder.sh"
chmod +x "$work/recorder.sh"
printf '[Desktop Entry]\nType=Application\nName=Recorder\nExec=%s %%u\nMimeType=%s\n' \
    "$work/recorder.sh" 'image/jpeg;image/gif;x-scheme-handler/http;' \
    >"$work/data/applications/kesto-recorder.desktop"
printf '[Default Applications]\n%s=kesto-recorder.desktop\n' image/jpeg image/gif \
    x-scheme-handler/http >"$work/config/mimeapps.list"

# Waits up to $2 seconds for the recorder to be asked to open something matching $1.
wait_for_open() {
    for _ in $(seq $(($2 * 10))); do
        grep -q "$1" "$opened" 2>/dev/null && return 0
        sleep 0.1
    done
    fail "nothing opened matching $1"
}

export http_proxy=$proxy XDG_DATA_HOME=$work/data XDG_CONFIG_HOME=$work/config
export KESTO_DESIGN_ECHO_LINES=1
export WEBKIT_DISABLE_DMABUF_RENDERER=1 NO_AT_BRIDGE=1
# An earlier login's cookie file stays until this login has cookies to replace it with.
cookies=$XDG_DATA_HOME/kesto-decor/cookies.txt
mkdir -p "$(dirname "$cookies")"
printf '.kesto.example\tTRUE\t/\tFALSE\t0\tskey\tearlier\n' >"$cookies"

"$design" >"$work/design.out" 2>"$work/design.err" &
design_pid=$!
pids+=("$design_pid")

# A first start under the sanitizers on a busy machine can spend long building font caches.
dialog=$(find_window '^Kesto装修$' 90) || fail "no main dialog"
xdo windowfocus --sync "$dialog"
xdo key --clearmodifiers Return  # Enter presses Login

find_window 'login_entry' 30 >/dev/null || fail "the login browser did not reach the login page"
sleep 1
grep -q $'\tskey\tearlier$' "$cookies" || fail "the earlier login's cookie file was lost"
log_in_browser 10001 kesto123
wait_for_line "已登录." 30

[ -f "$cookies" ] || fail "no cookie file"
[ "$(stat -c %a "$cookies")" = 600 ] || fail "the cookie file is readable by others"
grep -q $'\tskey\t' "$cookies" || fail "no session key in the cookie file"
grep -q $'\tskey\tearlier$' "$cookies" && fail "the cookie file still holds the earlier login"
find_window 'login_entry|www.kesto.example/my' 1 >/dev/null && fail "the login browser is still open"

# Upload (283+26, 30+11 dialog units from the window's corner), answer the warning with Enter.
upload() {
    click_dialog 464 67
}
upload
warning=$(find_window '^提示$' 10) || fail "no categories warning"
xdo windowfocus --sync "$warning"
xdo key Return

# The shop asks for its transaction password: the password browser opens on the member host.
wait_for_line "请输入交易密码后重新上传。" 60
password=$(find_window 'login_entry' 30) || fail "no password browser"
sleep 1
xdo windowfocus --sync "$password"
xdo mousemove --window "$password" 600 500 click 1
xdo key Tab
xdo type --delay 30 888888
xdo key Return
# Taken, the password leads on to the portal, and the password browser closes by itself.
wait_for_no_window 'kesto\.example' 30 || fail "the password browser did not close"

# Upload again once the first job has ended (Upload is enabled again): no second warning, and
# the decoration completes.
started=$(grep -c '^正在更新店招...$' "$work/design.out")
for _ in $(seq 30); do
    upload
    sleep 1
    find_window '^提示$' 1 >/dev/null && fail "the categories warning was shown twice"
    [ "$(grep -c '^正在更新店招...$' "$work/design.out")" -gt "$started" ] && break
done
wait_for_line "装修完成。" 60
wait_for_open '^http://shop.kesto.example/10001?t=[0-9]*$' 10

shop=$(curl -s --noproxy '*' "$proxy/control/shops/10001")
grep -q '"fileName" : "sign.gif"' <<<"$shop" || fail "the shop sign was not replaced: $shop"
grep -q 'Deep sea deals' <<<"$shop" || fail "the main page was not saved: $shop"
grep -q 'Shop 10001' <<<"$shop" || fail "the main page text was not filled: $shop"
for category in Hats Sandals Shirts; do
    grep -q "\"name\" : \"$category\"" <<<"$shop" || fail "no category $category: $shop"
done
grep -q '旧分类' <<<"$shop" && fail "the old category is still there"

import -window "$dialog" "$artifacts/design-e2e.png"

# Preview (351+26, 29+11 dialog units) opens the selected template's picture; the link
# (its text starts at 209, 241) opens the maker's site.
click_dialog 566 65
wait_for_open '/template/.*/preview.jpg$' 10
click_dialog 330 400
wait_for_open '^http://www.kesto.example/$' 10

# Exit ends the program.
click_dialog 564 30
for _ in $(seq 100); do kill -0 "$design_pid" 2>/dev/null || break; sleep 0.1; done
kill -0 "$design_pid" 2>/dev/null && fail "Exit did not end the program"
wait "$design_pid" || true
if grep -E 'ERROR: (Address|Leak)Sanitizer|runtime error:' "$work/design.err" >&2; then
    fail "the sanitizers found faults in kesto-design"
fi
echo "design_e2e: passed"
