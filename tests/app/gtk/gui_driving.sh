# Helpers for the scripts that drive kesto-design's windows with xdotool under Xvfb against
# kesto-market; sourced. The sourcing script defines fail MESSAGE and sets work to its scratch
# folder, and adds each program it starts to the array pids.

# xdotool, never waiting for ever.
xdo() {
    timeout 10 xdotool "$@"
}

# The id of the first visible window whose name matches $1, waiting up to $2 seconds.
find_window() {
    for _ in $(seq $(($2 * 10))); do
        local id
        id=$(xdotool search --onlyvisible --name "$1" 2>/dev/null | head -n 1) || true
        [ -n "$id" ] && { echo "$id"; return 0; }
        sleep 0.1
    done
    return 1
}

# Waits up to $2 seconds until no visible window's name matches $1; false if one still does.
wait_for_no_window() {
    for _ in $(seq $(($2 * 10))); do
        [ -z "$(xdotool search --onlyvisible --name "$1" 2>/dev/null)" ] && return 0
        sleep 0.1
    done
    return 1
}

# Asks the window $1 to close as a window manager's close button does (Xvfb runs none): a
# WM_DELETE_WINDOW message, which the program handles as the user closing it. (xdotool's
# windowclose destroys the window under the program instead, which GTK takes for a fault.)
close_window() {
    python3 - "$1" <<'PYTHON'
import ctypes
import sys

x11 = ctypes.cdll.LoadLibrary("libX11.so.6")
x11.XOpenDisplay.restype = ctypes.c_void_p
x11.XOpenDisplay.argtypes = [ctypes.c_char_p]
x11.XInternAtom.restype = ctypes.c_ulong
x11.XInternAtom.argtypes = [ctypes.c_void_p, ctypes.c_char_p, ctypes.c_int]
x11.XSendEvent.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int, ctypes.c_long,
                           ctypes.c_void_p]
x11.XFlush.argtypes = [ctypes.c_void_p]
x11.XCloseDisplay.argtypes = [ctypes.c_void_p]


class ClientMessage(ctypes.Structure):
    _fields_ = [("type", ctypes.c_int), ("serial", ctypes.c_ulong),
                ("send_event", ctypes.c_int), ("display", ctypes.c_void_p),
                ("window", ctypes.c_ulong), ("message_type", ctypes.c_ulong),
                ("format", ctypes.c_int), ("data", ctypes.c_long * 5),
                ("pad", ctypes.c_long * 12)]  # an XEvent is 24 longs


display = x11.XOpenDisplay(None)
if not display:
    sys.exit("cannot open the display")
window = int(sys.argv[1])
event = ClientMessage()
event.type = 33  # ClientMessage
event.window = window
event.message_type = x11.XInternAtom(display, b"WM_PROTOCOLS", 0)
event.format = 32
event.data[0] = x11.XInternAtom(display, b"WM_DELETE_WINDOW", 0)
if not x11.XSendEvent(display, window, 0, 0, ctypes.byref(event)):
    sys.exit("cannot send the close request")
x11.XFlush(display)
x11.XCloseDisplay(display)
PYTHON
}

# Starts kesto-market ($1) with the further arguments on a free port and sets proxy to its
# address.
start_market() {
    local market=$1
    shift
    "$market" --port 0 "$@" >"$work/market.out" 2>&1 &
    pids+=($!)
    for _ in $(seq 100); do [ -s "$work/market.out" ] && break; sleep 0.1; done
    proxy=$(head -n 1 "$work/market.out" | grep -o 'http://[0-9.:]*' | head -n 1)
    [ -n "$proxy" ] || fail "kesto-market did not start"
}

# Logs in as $1 with the password $2 in the login browser once it shows the member host's
# login page (the login browser clicks the portal's "登录" link by itself), typing as a person
# would.
log_in_browser() {
    local browser
    browser=$(find_window 'login_entry' 30) || fail "the login browser did not reach the login page"
    sleep 1
    xdo windowfocus --sync "$browser"
    xdo mousemove --window "$browser" 600 500 click 1  # into the page, then to its first field
    xdo key Tab
    xdo type --delay 30 "$1"
    xdo key Tab
    xdo type --delay 30 "$2"
    xdo key Return
}
