# Sourced by the end-to-end tests: a private X server with a window manager, a private session
# bus and a fresh home for one test, and helpers to drive and observe the real application.
# Everything started here is killed when the test ends, whether it passed or not.
set -euo pipefail

e2e_skip() { echo "SKIP: $*"; exit 77; }

for tool in Xvfb openbox dbus-daemon; do
    command -v "$tool" >/dev/null || e2e_skip "$tool is not installed"
done

E2E_ROOT="$(mktemp -d "${TMPDIR:-/tmp}/brisklet-e2e.XXXXXX")"
E2E_PIDS=()

e2e_cleanup() {
    local status=$?
    if [ -n "${E2E_BRISKLET_PID:-}" ]; then
        kill -KILL "$E2E_BRISKLET_PID" 2>/dev/null || true
    fi
    # Applications this test started (found by their private home) go first, then the servers.
    pkill -KILL -f -- "--config-dir $E2E_ROOT" 2>/dev/null || true
    for pid in "${E2E_BRISKLET_ALL[@]:-}"; do [ -n "$pid" ] && kill -KILL "$pid" 2>/dev/null || true; done
    for pid in "${E2E_PIDS[@]}"; do kill -TERM "$pid" 2>/dev/null || true; done
    if [ "$status" -ne 0 ] && [ -f "$E2E_LOG" ]; then
        echo "---- latest.log"; cat "$E2E_LOG"
    fi
    if [ "$status" -ne 0 ] && [ -s "$E2E_ROOT/app.out" ]; then
        echo "---- application output"; cat "$E2E_ROOT/app.out"
    fi
    rm -rf "$E2E_ROOT"
    exit "$status"
}
trap e2e_cleanup EXIT

export HOME="$E2E_ROOT/home"
export XDG_CONFIG_HOME="$HOME/.config"
export XDG_DATA_HOME="$HOME/.local/share"
export XDG_RUNTIME_DIR="$E2E_ROOT/runtime"
mkdir -p "$HOME" "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"
unset XDG_CURRENT_DESKTOP BRISKLET_DEBUG_BYPASS_SCREEN_RECORDING_PERMISSION ZELVOR_DEBUG_BYPASS_SCREEN_RECORDING_PERMISSION
E2E_LOG="$XDG_DATA_HOME/Brisklet/Logs/latest.log"
E2E_BRISKLET_ALL=()

# Xvfb picks a free display and writes its number once it accepts connections. E2E_SCREEN sets
# its size (WIDTHxHEIGHTxDEPTH) for a run that needs another one.
Xvfb -displayfd 3 -screen 0 ${E2E_SCREEN:-1280x800x24} -nolisten tcp 3>"$E2E_ROOT/display" >"$E2E_ROOT/xvfb.log" 2>&1 &
E2E_PIDS+=($!)
for _ in $(seq 150); do
    [ -s "$E2E_ROOT/display" ] && break
    sleep 0.1
done
[ -s "$E2E_ROOT/display" ] || e2e_skip "Xvfb did not start"
export DISPLAY=":$(tr -d '[:space:]' <"$E2E_ROOT/display")"

openbox >"$E2E_ROOT/openbox.log" 2>&1 &
E2E_PIDS+=($!)
# Openbox paints the root black while it takes over the screen, so a desktop colour set before it
# has announced itself is lost; on a loaded machine that moment comes well after the launch.
for _ in $(seq 100); do
    xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && break
    sleep 0.1
done

bus_info="$(dbus-daemon --session --fork --print-address=1 --print-pid=1)"
export DBUS_SESSION_BUS_ADDRESS="$(echo "$bus_info" | sed -n 1p)"
E2E_PIDS+=("$(echo "$bus_info" | sed -n 2p)")

# Waits up to `$2` seconds (default 15) for a line containing `$1` in the running log.
# Presses KEY until the log shows TEXT: a window that has just been shown may not have the
# keyboard yet on a loaded machine, and the first press goes nowhere. e2e_key_until KEY TEXT
e2e_key_until() {
    local key="$1" text="$2" attempt
    for attempt in 1 2 3; do
        xdotool key "$key"
        for _ in $(seq 20); do
            grep -qF -- "$text" "$E2E_LOG" 2>/dev/null && return 0
            sleep 0.1
        done
    done
    e2e_wait_for_log "$text" 1
}

e2e_wait_for_log() {
    local text="$1" limit="${2:-15}" waited=0
    while [ "$waited" -lt $((limit * 10)) ]; do
        if grep -qF -- "$text" "$E2E_LOG" 2>/dev/null || grep -qF -- "$text" "$XDG_DATA_HOME"/Brisklet/Logs/session-*.log 2>/dev/null; then
            return 0
        fi
        sleep 0.1
        waited=$((waited + 1))
    done
    echo "FAIL: no log line containing '$text' within ${limit}s" >&2
    return 1
}

# Waits up to `$2` seconds for the process `$1` to end.
e2e_wait_for_exit() {
    local pid="$1" limit="${2:-10}" waited=0
    while kill -0 "$pid" 2>/dev/null; do
        [ "$waited" -ge $((limit * 10)) ] && { echo "FAIL: process $pid still running" >&2; return 1; }
        sleep 0.1
        waited=$((waited + 1))
    done
}

# Starts the application in the background; E2E_BRISKLET_PID is the engine's pid (the front end
# execs it in its place, so the pid stays the same).
e2e_start_app() {
    "$BRISKLET" --config-dir "$XDG_CONFIG_HOME" --data-dir "$XDG_DATA_HOME" >"$E2E_ROOT/app.out" 2>&1 &
    E2E_BRISKLET_PID=$!
    E2E_BRISKLET_ALL+=("$E2E_BRISKLET_PID")
    e2e_wait_for_log "applicationDidFinishLaunching complete; log file: "
    e2e_wait_for_log "command channel ready"
}

# The application over a grey desktop with its start-up popover closed, ready for a flow.
e2e_start_quiet_app() {
    xsetroot -solid '#5e6875'
    e2e_start_app
    e2e_wait_for_log "welcome not needed; showing popover" 5
    sleep 0.5
    xdotool key Escape
}

# Runs a test program in the background, its output in OUT, and waits until it prints "mapped"
# (its window is up): e2e_start_mapped OUT COMMAND...
e2e_start_mapped() {
    local out="$1"
    shift
    "$@" >"$out" 2>&1 &
    E2E_PIDS+=($!)
    for _ in $(seq 100); do grep -q '^mapped' "$out" && break; sleep 0.1; done
    grep -q '^mapped' "$out" || { echo "FAIL: $(basename "$1") did not map: $(head -3 "$out")" >&2; exit 1; }
}

# Carries a drag that has started at (SX,SY) over to (TX,TY) in small steps and lets it go
# there, wiggling on the target so the drop target sees the pointer arrive:
# e2e_drag_to SX SY TX TY
e2e_drag_to() {
    local sx="$1" sy="$2" tx="$3" ty="$4"
    for step in 1 2 3 4 5 6 7 8 9 10; do
        xdotool mousemove $((sx + (tx - sx) * step / 10)) $((sy + (ty - sy) * step / 10))
        sleep 0.15
    done
    sleep 0.8
    xdotool mousemove $((tx + 5)) $((ty + 3))
    sleep 1
    xdotool mousemove $((tx + 8)) $((ty + 5))
    sleep 0.5
    xdotool mouseup 1
}

e2e_brisklet() {
    "$BRISKLET" --config-dir "$XDG_CONFIG_HOME" --data-dir "$XDG_DATA_HOME" "$@"
}

# "r,g,b" from ImageMagick's txt: output.
# Grey and black pixels are named (gray(94), black), so the numbers are taken from the
# "(r,g,b" column every line starts with.
rgb_of_txt() { sed -n 's/^[0-9]*,[0-9]*: *(\([0-9]*\),\([0-9]*\),\([0-9]*\)[,)].*/\1,\2,\3/p' | head -1; }

# The colour of one screen pixel as "r,g,b".
pixel() {
    local value=""
    # `import` now and then fails to read the root window while it is being redrawn; ask again.
    for _ in 1 2 3 4 5 6 7 8; do
        value="$(import -window root -crop "1x1+$1+$2" -depth 8 txt:- 2>>"$E2E_ROOT/import.err" | rgb_of_txt)"
        [ -n "$value" ] && break
        # Our own capture reads the same root window.
        if e2e_brisklet capture full -o "$E2E_ROOT/pixel.png" >/dev/null 2>>"$E2E_ROOT/import.err"; then
            value="$(convert "$E2E_ROOT/pixel.png" -crop "1x1+$1+$2" -depth 8 txt:- 2>>"$E2E_ROOT/import.err" | rgb_of_txt)"
            rm -f "$E2E_ROOT/pixel.png"
            [ -n "$value" ] && break
        fi
        sleep 0.3
    done
    [ -n "$value" ] || { echo "pixel read failed at $1,$2:" >&2; tail -5 "$E2E_ROOT/import.err" >&2; }
    echo "$value"
}
