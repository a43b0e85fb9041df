#!/usr/bin/env bash
# Scrolling captures and recordings end to end, driven only by XTest: a region of a test window is
# selected and captured while it scrolls, or recorded, and the file (or its absence) is checked.
# Usage: shell-recording.sh BRISKLET CASE SCROLL_TARGET
BRISKLET="$1"
CASE="$2"
SCROLL_TARGET="${3:-}"
source "$(dirname "$0")/harness.sh"

fail() { echo "FAIL: $*" >&2; exit 1; }
for tool in xdotool xwininfo convert dbus-send python3; do
    command -v "$tool" >/dev/null || e2e_skip "$tool is not installed"
done
mkdir -p "$XDG_CONFIG_HOME/Brisklet"
printf '{"brisklet.didShowWelcomeWindow": {"bool": true}}\n' >"$XDG_CONFIG_HOME/Brisklet/defaults.json"
EXPORTS="$HOME/Pictures/Brisklet"
SCREEN_HEIGHT=800

exported() { find "$EXPORTS" -name "${1:-*}" -type f 2>/dev/null | sort; }

# Synthetic scrolling needs accessibility turned on, as a user does in the desktop's settings:
# the session's AT-SPI bus (started on demand) gets its IsEnabled switch set.
enable_accessibility() {
    dbus-send --session --print-reply --dest=org.a11y.Bus /org/a11y/bus org.freedesktop.DBus.Properties.Set \
        string:org.a11y.Status string:IsEnabled variant:boolean:true >/dev/null 2>"$E2E_ROOT/a11y.err" ||
        e2e_skip "no AT-SPI bus in this session ($(head -1 "$E2E_ROOT/a11y.err"))"
}

# The application without a tray (its panel opens as a window; it is closed first), a grey
# desktop and the scrolling page, whose client area's top-left corner ends up in PAGE_X/PAGE_Y.
start() {
    e2e_start_quiet_app
    e2e_start_mapped "$E2E_ROOT/scroll-target.out" "$SCROLL_TARGET" "Scroll Target" 300 120 "$E2E_ROOT/picture.png"
    sleep 0.5
    local id
    id="$(xdotool search --name 'Scroll Target' | head -1 || true)"
    [ -n "$id" ] || fail "the scrolling page has no window"
    # xwininfo reports the client area's own top-left, below the title bar.
    eval "$(xwininfo -id "$id" | sed -n 's/ *Absolute upper-left X: *\([0-9]*\)/PAGE_X=\1/p;
        s/ *Absolute upper-left Y: *\([0-9]*\)/PAGE_Y=\1/p; s/ *Width: *\([0-9]*\)/PAGE_W=\1/p;
        s/ *Height: *\([0-9]*\)/PAGE_H=\1/p')"
    [ -n "${PAGE_H:-}" ] || fail "no geometry for the scrolling page"
}

# `brisklet action longshot` and a drag 10 points inside the page's viewport.
select_viewport() {
    e2e_brisklet action longshot
    e2e_wait_for_log "selection overlay show" 5
    sleep 0.3
    xdotool mousemove $((PAGE_X + 10)) $((PAGE_Y + 10)) mousedown 1
    xdotool mousemove $((PAGE_X + 200)) $((PAGE_Y + 200)) mousemove $((PAGE_X + PAGE_W - 10)) $((PAGE_Y + PAGE_H - 10))
    sleep 0.2
    xdotool mouseup 1
    e2e_wait_for_log "longshot session started rect=" 5
}

# The selected region from the log, as "left top bottom" insets inside the page's viewport.
region_insets() {
    grep -h "longshot session started rect=" "$E2E_LOG" | tail -1 |
        python3 -c '
import re, sys
x, y, w, h = (float(v) for v in re.findall(r"-?[0-9.]+", sys.stdin.read().split("rect=")[1])[:4])
top = '"$SCREEN_HEIGHT"' - (y + h)
print(int(x - '"$PAGE_X"'), int(top - '"$PAGE_Y"'), int('"$PAGE_H"' - (top - '"$PAGE_Y"' + h)))'
}

# Clicks the control bar's button at `$1` points from its right edge.
click_bar_button() {
    local frame bx by bw bh
    frame="$(grep -h "longshot control bar shown frame=" "$E2E_LOG" | tail -1 | sed 's/.*frame=//')"
    IFS=',x' read -r bx by bw bh <<<"$frame"
    [ -n "$bh" ] || fail "no control bar frame in the log"
    xdotool mousemove $((bx + bw - $1)) $((by + bh / 2)) click 1
}

case "$CASE" in
longshot-auto)
    # Auto-scrolling runs to the bottom of the page by itself and the stitched PNG is the page.
    enable_accessibility
    start
    select_viewport
    e2e_wait_for_log "longshot control bar shown frame=" 5
    e2e_wait_for_log "longshot auto scroll started rect=" 10
    e2e_wait_for_log "longshot auto scroll reached bottom; finalizing" 90
    e2e_wait_for_log "longshot session finished url=" 30
    grep -q '^offset ' "$E2E_ROOT/scroll-target.out" || fail "the page never scrolled"
    file="$(exported '*.png' | head -1)"
    [ -n "$file" ] || fail "no PNG in $EXPORTS"
    read -r left top bottom <<<"$(region_insets)"
    if ! "$SCROLL_TARGET" --compare "$E2E_ROOT/picture.png" "$file" "$left" "$top" "$bottom"; then
        # Kept for a look: the page and what was stitched from it.
        mkdir -p "${TMPDIR:-/tmp}/brisklet-e2e-longshot" && cp "$E2E_ROOT/picture.png" "$file" "${TMPDIR:-/tmp}/brisklet-e2e-longshot/"
        fail "the scrolling capture is not the page (insets $left $top $bottom; both in ${TMPDIR:-/tmp}/brisklet-e2e-longshot)"
    fi
    ;;
longshot-pause)
    # Pause and play on the bar go through the application (its state and tray follow) and back to
    # the scroller; stop on the bar then writes what was captured.
    enable_accessibility
    start
    select_viewport
    e2e_wait_for_log "longshot auto scroll started rect=" 10
    # The buttons sit 10 points from the bar's right edge, 34 wide with 6 between.
    click_bar_button 107
    e2e_wait_for_log "longshot auto scroll paused; manual scrolling remains active" 5
    offset="$(grep '^offset ' "$E2E_ROOT/scroll-target.out" | tail -1)"
    sleep 2
    [ "$(grep '^offset ' "$E2E_ROOT/scroll-target.out" | tail -1)" = "$offset" ] || fail "the page kept scrolling while paused"
    click_bar_button 107
    for _ in $(seq 50); do [ "$(grep -c "longshot auto scroll started" "$E2E_LOG")" -ge 2 ] && break; sleep 0.1; done
    [ "$(grep -c "longshot auto scroll started" "$E2E_LOG")" -ge 2 ] || fail "play did not start auto-scrolling again"
    sleep 0.6
    click_bar_button 67
    e2e_wait_for_log "longshot session finished url=" 30
    ! grep -q "longshot auto scroll reached bottom" "$E2E_LOG" || fail "the page reached its bottom before stop"
    [ -n "$(exported '*.png')" ] || fail "stop wrote no PNG"
    ;;
longshot-cancel)
    # Cancel on the control bar: nothing is written and the application is idle again.
    enable_accessibility
    start
    select_viewport
    e2e_wait_for_log "longshot control bar shown frame=" 5
    sleep 1
    click_bar_button 27 # cancel, the last button
    e2e_wait_for_log "longshot session cancelled" 5
    e2e_wait_for_log "capture session cancelled" 5
    sleep 2
    [ -z "$(exported)" ] || fail "a cancelled scrolling capture wrote $(exported)"
    ! grep -q "longshot session finished" "$E2E_LOG" || fail "the cancelled capture still finished"
    # Idle: a new scrolling capture can start, and Escape ends its selection.
    lines_before="$(grep -c "selection overlay show" "$E2E_LOG")"
    e2e_brisklet action longshot
    for _ in $(seq 50); do
        [ "$(grep -c "selection overlay show" "$E2E_LOG")" -gt "$lines_before" ] && break
        sleep 0.1
    done
    [ "$(grep -c "selection overlay show" "$E2E_LOG")" -gt "$lines_before" ] || fail "the application is not idle after cancel"
    ! grep -q "capture start ignored" "$E2E_LOG" || fail "a new capture was refused after cancel"
    sleep 0.3
    xdotool key Escape
    e2e_wait_for_log "capture selection cancelled" 5
    ;;
*)
    fail "unknown case $CASE"
    ;;
esac
echo "PASS: $CASE"
