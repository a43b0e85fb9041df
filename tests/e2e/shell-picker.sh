#!/usr/bin/env bash
# The window picker end to end: two windows of another application, `brisklet action gifWindow`,
# the picker listing them and taking the keyboard; Escape cancels back to idle, Down and Return
# pick the second row and the recording flow goes on with that window, and windows opened or
# closed while the picker is up come and go from its list.
# The super screenshot of a window goes through the same picker and ends in a knowledge package.
# Usage: shell-picker.sh BRISKLET CASE [FORM_WINDOW]
BRISKLET="$1"
CASE="$2"
FORM_WINDOW="${3:-}"
source "$(dirname "$0")/harness.sh"
# The picker is found by its English title.
export LANGUAGE=en

fail() { echo "FAIL: $*" >&2; exit 1; }
for tool in xdotool xmessage; do
    command -v "$tool" >/dev/null || e2e_skip "$tool is not installed"
done

# A returning user: no welcome alert in front of what the test looks at.
mkdir -p "$XDG_CONFIG_HOME/Brisklet"
printf '{"brisklet.didShowWelcomeWindow": {"bool": true}}\n' >"$XDG_CONFIG_HOME/Brisklet/defaults.json"

count_lines() { grep -cF -- "$1" "$E2E_LOG" || true; }

# Opens a window of another process titled `$1` at `$2` (WxH+X+Y) and waits until it is mapped.
open_test_window() {
    xmessage -title "$1" -geometry "$2" "$1" >/dev/null 2>>"$E2E_ROOT/xmessage.log" &
    TEST_WINDOW_PID=$!
    E2E_PIDS+=("$TEST_WINDOW_PID")
    for _ in $(seq 50); do
        xdotool search --onlyvisible --name "^$1\$" >/dev/null 2>&1 && return 0
        sleep 0.1
    done
    cat "$E2E_ROOT/xmessage.log" >&2
    fail "the test window '$1' did not map"
}

# The controller's state, as it reports it when there is nothing to stop.
expect_state() {
    local before
    before="$(count_lines "stop active operation ignored state=$1")"
    e2e_brisklet action stopActiveOperation
    for _ in $(seq 50); do
        [ "$(count_lines "stop active operation ignored state=$1")" -gt "$before" ] && return 0
        sleep 0.1
    done
    fail "the application is not in state $1 ($(grep -F 'stop active operation ignored' "$E2E_LOG" | tail -1))"
}

open_picker() {
    e2e_start_app
    # With no tray, the main panel opens as a window at start-up; once it is up the window
    # manager has settled (windows mapped while it starts may stay unmapped).
    e2e_wait_for_log "welcome not needed; showing popover" 5
    open_test_window "Picker Test Alpha" 360x180+60+80
    open_test_window "Picker Test Beta" 360x180+480+300
    BETA_PID="$TEST_WINDOW_PID"
    sleep 0.3
    e2e_brisklet action gifWindow
    e2e_wait_for_log "window picker shown count=" 5
    for title in "Picker Test Alpha" "Picker Test Beta"; do
        grep -qE "window picker row id=[0-9]+ owner=.* title=$title\$" "$E2E_LOG" || fail "the picker does not list '$title'"
    done
    # Our own main panel is open as a window too, and is never offered.
    ! grep -qE "window picker row .* title=Brisklet\$" "$E2E_LOG" || fail "the picker lists Brisklet's own window"
    for _ in $(seq 30); do
        xdotool search --onlyvisible --name '^Record a Window$' >/dev/null 2>&1 && break
        sleep 0.1
    done
    PICKER="$(xdotool search --onlyvisible --name '^Record a Window$' 2>/dev/null | head -1 || true)"
    [ -n "$PICKER" ] || fail "the picker window is not mapped"
    expect_state selectingGifWindow
    # The keys below go to whichever window has the keyboard: it must be the picker.
    wait_for_keyboard || fail "the picker does not have the keyboard"
}

# Waits up to 3 s for the picker to be the active window.
wait_for_keyboard() {
    for _ in $(seq 30); do
        [ "$(xdotool getactivewindow 2>/dev/null)" = "$PICKER" ] && return 0
        sleep 0.1
    done
    return 1
}

case "$CASE" in
picker-lists)
    open_picker
    xdotool key Escape
    e2e_wait_for_log "window picker cancelled" 5
    e2e_wait_for_log "gif window selection cancelled" 5
    sleep 0.3
    [ -z "$(xdotool search --onlyvisible --name '^Record a Window$' 2>/dev/null)" ] || fail "the picker stayed open after Escape"
    expect_state idle
    ;;
picker-pick)
    open_picker
    # The front window starts selected; Down moves to the second row.
    second="$(grep -F 'window picker row id=' "$E2E_LOG" | sed -n 2p | sed 's/.* title=//')"
    xdotool key Down Return
    e2e_wait_for_log "window picker picked " 5
    grep -F "window picker picked " "$E2E_LOG" | grep -qF "title=$second" || fail "Return did not pick the second row ($second)"
    picked_id="$(grep -F 'window picker picked ' "$E2E_LOG" | sed 's/.*picked id=\([0-9]*\).*/\1/')"
    # A search can trip over a window that closes while it walks the tree; it is tried again.
    wid=""
    for _ in 1 2 3 4 5; do
        wid="$(xdotool search --name "^$second\$" 2>/dev/null | head -1)" || true
        [ -n "$wid" ] && break
        sleep 0.2
    done
    [ "$picked_id" = "$wid" ] || fail "the picked id $picked_id is not the window '$second' ($wid)"
    # The flow goes on to the recording options for the window; Escape there ends it, back at idle.
    e2e_wait_for_log "Recording options panel presented; forcing arrow cursor" 5
    sleep 0.3
    xdotool key Escape
    e2e_wait_for_log "recording options cancelled" 5
    [ "$(count_lines 'gif window selection cancelled')" -eq 0 ] || fail "picking a window cancelled the flow"
    [ "$(count_lines 'reason=offScreen')" -eq 0 ] || fail "the picked window was taken as off screen"
    [ -z "$(xdotool search --onlyvisible --name '^Record a Window$' 2>/dev/null)" ] || fail "the picker stayed open after Return"
    expect_state idle
    ;;
picker-refresh)
    open_picker
    # A window opened while the picker is up joins the list, at its end.
    open_test_window "Picker Test Gamma" 300x160+940+40
    e2e_wait_for_log "window picker row id=" 5
    for _ in $(seq 30); do grep -qF "title=Picker Test Gamma" "$E2E_LOG" && break; sleep 0.1; done
    grep -qE "window picker row id=[0-9]+ owner=.* title=Picker Test Gamma\$" "$E2E_LOG" || fail "the new window was not listed"
    e2e_wait_for_log "window picker list changed count=3" 5
    # The front window (Beta, opened last) was the suggestion; once it closes the picker suggests
    # the new first row, so Return records Alpha.
    kill -TERM "$BETA_PID"
    e2e_wait_for_log "window picker list changed count=2" 5
    # The window manager gave the new window the keyboard; the user clicks back into the picker.
    xdotool windowactivate "$PICKER" 2>/dev/null || true
    wait_for_keyboard || fail "the picker did not take the keyboard back"
    xdotool key Return
    e2e_wait_for_log "window picker picked " 5
    grep -F "window picker picked " "$E2E_LOG" | grep -qF "title=Picker Test Alpha" ||
        fail "Return picked $(grep -F 'window picker picked ' "$E2E_LOG" | sed 's/.*title=//'), not Picker Test Alpha"
    ;;
super-window)
    # A Qt window with two labels, a text field and a password field, picked for a super
    # screenshot: the package has the window's picture, its labels and the field's text as
    # accessibility text, never the password, and the library records it as an app shot.
    [ -x "$FORM_WINDOW" ] || e2e_skip "no accessible test window"
    dbus-send --session --print-reply --dest=org.a11y.Bus /org/a11y/bus org.freedesktop.DBus.Properties.Set \
        string:org.a11y.Status string:IsEnabled variant:boolean:true >/dev/null 2>"$E2E_ROOT/a11y.err" ||
        e2e_skip "no AT-SPI bus in this session ($(head -1 "$E2E_ROOT/a11y.err"))"
    e2e_start_app
    e2e_wait_for_log "welcome not needed; showing popover" 5
    e2e_start_mapped "$E2E_ROOT/form.out" "$FORM_WINDOW" "Quarterly Form" "hunter2secret"
    sleep 0.5
    e2e_brisklet action superScreenshotWindow
    e2e_wait_for_log "super screenshot window picker presented windows=" 5
    e2e_wait_for_log "window picker shown count=" 5
    PICKER=""
    for _ in $(seq 30); do
        PICKER="$(xdotool search --onlyvisible --name '^Super Screenshot of a Window$' 2>/dev/null | head -1)" || true
        [ -n "$PICKER" ] && break
        sleep 0.1
    done
    [ -n "$PICKER" ] || fail "the picker is not titled for a super screenshot"
    expect_state capturingSuperScreenshot
    wait_for_keyboard || fail "the picker does not have the keyboard"
    first="$(grep -F 'window picker row id=' "$E2E_LOG" | sed -n 1p | sed 's/.* title=//')"
    [ "$first" = "Quarterly Form" ] || fail "the form is not the picker's first row ($first)"
    xdotool key Return
    e2e_wait_for_log "super screenshot recorded package=" 60
    package="$(grep -hF 'super screenshot recorded package=' "$E2E_LOG" | tail -1 | sed 's/.*package=//')"
    case "$(basename "$package")" in *-Quarterly-Form) ;; *) fail "the package is not named after the window: $package" ;; esac
    for file in screenshot.png context.md metadata.json; do
        [ -s "$package/$file" ] || fail "the package has no $file"
    done
    [ "$(identify -format '%wx%h' "$package/screenshot.png")" = "360x200" ] ||
        fail "the screenshot is $(identify -format '%wx%h' "$package/screenshot.png"), not the 360x200 window"
    grep -q '^# Quarterly Form$' "$package/context.md" || fail "context.md is not titled after the window"
    for text in "Quarterly revenue report" "Prepared by the finance team" "Forecast draft for March"; do
        grep -qF "$text" "$package/context.md" || fail "context.md lacks '$text': $(cat "$package/context.md")"
    done
    ! grep -rqF "hunter2secret" "$package" "$XDG_DATA_HOME/Brisklet/VisualMemory" || fail "the password reached the package or the library"
    python3 - "$package/metadata.json" <<'PY' || fail "metadata.json is not what the capture was: $(cat "$package/metadata.json")"
import json, sys
m = json.load(open(sys.argv[1]))
assert m["schemaVersion"] == 1 and m["capture"]["mode"] == "window", m
# The window's bounds as the window manager frames it: the 360 x 200 client and its decorations.
w, h = m["capture"]["rect"][1]
assert 360 <= w <= 380 and 200 <= h <= 260, m["capture"]
assert m["source"]["windowTitle"] == "Quarterly Form" and m["source"]["processIdentifier"] > 0, m["source"]
assert "browser" not in m, m
assert m["text"]["accessibilityNodeCount"] > 3 and m["text"]["accessibilityTextLength"] > 0, m["text"]
assert list(m) == sorted(m), list(m)
PY
    e2e_brisklet library list | grep -F "$package" | grep -qP "\tappshot\t" || fail "the library did not record the package"
    expect_state idle
    ;;
super-region)
    # A region drawn over the form in the overlay: the package is the region's picture, its text
    # recognised, and the accessibility text of the application in front.
    [ -x "$FORM_WINDOW" ] || e2e_skip "no accessible test window"
    dbus-send --session --print-reply --dest=org.a11y.Bus /org/a11y/bus org.freedesktop.DBus.Properties.Set \
        string:org.a11y.Status string:IsEnabled variant:boolean:true >/dev/null 2>"$E2E_ROOT/a11y.err" ||
        e2e_skip "no AT-SPI bus in this session ($(head -1 "$E2E_ROOT/a11y.err"))"
    e2e_start_app
    e2e_wait_for_log "welcome not needed; showing popover" 5
    e2e_start_mapped "$E2E_ROOT/form.out" "$FORM_WINDOW" "Region Form" "hunter2secret"
    sleep 0.5
    form="$(xdotool search --name '^Region Form$' | head -1 || true)"
    xdotool windowactivate --sync "$form" 2>/dev/null || true
    e2e_brisklet action superScreenshotRegion
    e2e_wait_for_log "selection overlay show" 5
    sleep 0.3
    xdotool mousemove 30 50 mousedown 1 mousemove 200 150 mousemove 430 300
    sleep 0.2
    xdotool mouseup 1
    e2e_wait_for_log "super screenshot recorded package=" 60
    package="$(grep -hF 'super screenshot recorded package=' "$E2E_LOG" | tail -1 | sed 's/.*package=//')"
    [ "$(identify -format '%wx%h' "$package/screenshot.png")" = "400x250" ] ||
        fail "the screenshot is $(identify -format '%wx%h' "$package/screenshot.png"), not the 400x250 region"
    grep -qiF "revenue" "$package/context.md" || fail "context.md lacks the region's text: $(cat "$package/context.md")"
    ! grep -rqF "hunter2secret" "$package" || fail "the password reached the package"
    python3 - "$package/metadata.json" <<'PY' || fail "metadata.json is not the region: $(cat "$package/metadata.json")"
import json, sys
m = json.load(open(sys.argv[1]))
assert m["capture"] == {"mode": "region", "rect": [[30.0, 500.0], [400.0, 250.0]]}, m["capture"]
assert "windowID" not in m["source"], m["source"]
assert m["source"]["processIdentifier"] > 0 and m["text"]["accessibilityNodeCount"] > 3, m
PY
    expect_state idle
    ;;
*)
    fail "unknown case $CASE"
    ;;
esac
echo "PASS: $CASE"
