#!/usr/bin/env bash
# The shell end to end: global hotkeys pressed through XTest, a combination another client holds,
# the tray icon's menu and click under an XEmbed tray, and the main panel where no tray runs.
# Usage: shell-tray.sh BRISKLET CASE GRAB_KEY_CLIENT TEST_WINDOW
BRISKLET="$1"
CASE="$2"
GRAB_KEY_CLIENT="$3"
TEST_WINDOW="${4:-}"
source "$(dirname "$0")/harness.sh"

fail() { echo "FAIL: $*" >&2; exit 1; }
for tool in xdotool trayer import; do
    command -v "$tool" >/dev/null || e2e_skip "$tool is not installed"
done

# A returning user: no welcome alert in front of what the test looks at.
mkdir -p "$XDG_CONFIG_HOME/Brisklet"
printf '{"brisklet.didShowWelcomeWindow": {"bool": true}}\n' >"$XDG_CONFIG_HOME/Brisklet/defaults.json"

start_tray() {
    trayer --edge top --align right --widthtype request --height 28 --transparent false --tint 0x303030 \
        >"$E2E_ROOT/trayer.log" 2>&1 &
    E2E_PIDS+=($!)
    for _ in $(seq 50); do
        xdotool search --classname trayer >/dev/null 2>&1 && return 0
        sleep 0.1
    done
    e2e_skip "trayer did not start"
}

# Where the tray shows our icon (the tray holds only ours): sets ICON_X and ICON_Y.
find_icon() {
    local window=""
    for _ in $(seq 50); do
        window="$(xdotool search --onlyvisible --class trayer 2>/dev/null | tail -1)" || true
        [ -n "$window" ] && break
        sleep 0.1
    done
    [ -n "$window" ] || fail "the tray shows no window"
    eval "$(xdotool getwindowgeometry --shell "$window")"
    ICON_X=$((X + WIDTH / 2))
    ICON_Y=$((Y + HEIGHT / 2))
    echo "tray icon at $ICON_X,$ICON_Y (tray window $window: ${WIDTH}x${HEIGHT}+$X+$Y)"
}

# Opens an undecorated window of another client: title, size, place, colour. Sets TEST_WINDOW_ID.
open_test_window() {
    [ -x "$TEST_WINDOW" ] || e2e_skip "no test window program"
    "$TEST_WINDOW" "$@" >"$E2E_ROOT/test-window.out" 2>&1 &
    E2E_PIDS+=($!)
    for _ in $(seq 100); do
        TEST_WINDOW_ID="$(sed -n 's/^mapped //p' "$E2E_ROOT/test-window.out")"
        [ -n "$TEST_WINDOW_ID" ] && return 0
        sleep 0.1
    done
    fail "the test window did not map: $(cat "$E2E_ROOT/test-window.out")"
}

# Waits for the editor to open for the Nth time in this run and cancels it with Escape.
dismiss_editor() {
    for _ in $(seq 50); do [ "$(count_lines 'screenshot editor window shown')" -ge "$1" ] && break; sleep 0.1; done
    [ "$(count_lines 'screenshot editor window shown')" -ge "$1" ] || fail "the editor did not open"
    sleep 0.3
    # On a loaded machine the window manager may hand the editor the keyboard a moment after it
    # shows, so Escape is pressed again until the editor answers.
    local attempt
    for attempt in $(seq 10); do
        xdotool key Escape
        for _ in $(seq 10); do [ "$(count_lines 'screenshot editor cancel')" -ge "$1" ] && break 2; sleep 0.1; done
    done
    [ "$(count_lines 'screenshot editor cancel')" -ge "$1" ] || fail "Escape did not cancel the editor"
    sleep 0.3
}

count_lines() { grep -cF -- "$1" "$E2E_LOG" || true; }


case "$CASE" in
hotkey)
    start_tray
    e2e_start_app
    e2e_wait_for_log "hotkey reload actions=10"
    # Once the start-up panel is up, the window manager has settled (it may hold the keyboard
    # for a moment while it starts, and keys pressed then reach no one).
    e2e_wait_for_log "showPopover shown" 5
    xdotool key ctrl+alt+4
    e2e_wait_for_log "selection overlay show" 5
    # The open overlay has the keyboard, and still hears the hotkeys: pressed again, the
    # screenshot hotkey cancels the selection.
    sleep 0.3
    xdotool key ctrl+alt+4
    e2e_wait_for_log "screenshot hotkey cancels active selection" 5
    xdotool key ctrl+alt+l
    e2e_wait_for_log "openVisualLibrary items=" 5
    # NumLock lit must not switch the hotkeys off.
    xdotool key Num_Lock
    xdotool key ctrl+alt+1
    for _ in $(seq 50); do [ "$(count_lines 'selection overlay show')" -ge 2 ] && break; sleep 0.1; done
    [ "$(count_lines 'selection overlay show')" -ge 2 ] || fail "Ctrl+Alt+1 with NumLock on did not open the longshot selection"
    ;;
hotkey-taken)
    "$GRAB_KEY_CLIENT" 0x35 12 >"$E2E_ROOT/grab.out" 2>&1 &
    E2E_PIDS+=($!)
    for _ in $(seq 50); do grep -q grabbed "$E2E_ROOT/grab.out" && break; sleep 0.1; done
    grep -q grabbed "$E2E_ROOT/grab.out" || fail "the other client could not grab Ctrl+Alt+5"
    start_tray
    e2e_start_app
    e2e_wait_for_log "hotkey register failed action=textRecognitionScreenshot key=⌥⌘5 status=10"
    e2e_wait_for_log "hotkey reload actions=9"
    e2e_wait_for_log "showPopover shown" 5
    xdotool key ctrl+alt+4
    e2e_wait_for_log "selection overlay show" 5
    ;;
tray-menu)
    start_tray
    e2e_start_app
    e2e_wait_for_log "status item shown trayAvailable=true"
    find_icon
    xdotool mousemove "$ICON_X" "$ICON_Y" click 3
    e2e_wait_for_log "showContextMenu state=idle" 5
    sleep 0.5
    # From the bottom: Quit, Check for Updates…, Settings….
    xdotool key Up Up Up Return
    e2e_wait_for_log "settings window presented" 5
    kill -0 "$E2E_BRISKLET_PID" || fail "the application ended"
    ;;
tray-click)
    start_tray
    e2e_start_app
    e2e_wait_for_log "showPopover shown" 5
    find_icon
    xdotool mousemove "$ICON_X" "$ICON_Y" click 1
    e2e_wait_for_log "status item tapped state=idle" 5
    sleep 0.5
    [ -z "$(xdotool search --onlyvisible --name '^Brisklet$' 2>/dev/null)" ] || fail "a click did not close the panel"
    xdotool mousemove "$ICON_X" "$ICON_Y" click 1
    for _ in $(seq 30); do [ "$(count_lines 'showPopover shown')" -ge 2 ] && break; sleep 0.1; done
    [ "$(count_lines 'showPopover shown')" -ge 2 ] || fail "a second click did not open the panel"
    sleep 0.5
    frame="$(grep -F 'alignPopoverWindow reason=show' "$E2E_LOG" | tail -1 | sed 's/.*frame={{\([0-9]*\), \([0-9]*\)}.*/\1 \2/')"
    read -r px py <<<"$frame"
    # Inside the panel, below its border: the light panel background, not the black desktop.
    colour="$(pixel $((px + 8)) $((py + 8)))"
    [ "$colour" = "250,250,251" ] || fail "the panel is not on screen (pixel $colour at $((px + 8)),$((py + 8)))"
    ;;
panel-rows)
    command -v xclip >/dev/null || e2e_skip "xclip is not installed"
    start_tray
    e2e_start_app
    e2e_wait_for_log "showPopover shown" 5
    printf 'Quarterly report draft' | xclip -selection clipboard
    e2e_wait_for_log "clipboard text recorded" 5
    printf 'https://example.com/changelog' | xclip -selection clipboard
    for _ in $(seq 50); do [ "$(count_lines 'clipboard text recorded')" -ge 2 ] && break; sleep 0.1; done
    [ "$(count_lines 'clipboard text recorded')" -ge 2 ] || fail "the second copy was not recorded"
    shown="$(count_lines 'showPopover shown')"
    e2e_brisklet action appPanel
    for _ in $(seq 30); do [ "$(count_lines 'showPopover shown')" -gt "$shown" ] && break; sleep 0.1; done
    sleep 0.5
    read -r px py <<<"$(grep -F 'alignPopoverWindow reason=' "$E2E_LOG" | tail -1 | sed 's/.*frame={{\([0-9]*\), \([0-9]*\)}.*/\1 \2/')"
    # The second row is the older copy; its copy button sits right of the title once hovered.
    xdotool mousemove $((px + 150)) $((py + 363))
    sleep 0.4
    xdotool mousemove $((px + 254)) $((py + 363)) click 1
    e2e_wait_for_log "visualMemory copied id=" 5
    [ "$(xclip -selection clipboard -o)" = "Quarterly report draft" ] || fail "the row's copy put '$(xclip -selection clipboard -o)' on the clipboard"
    # Dragging the first row out steps the panel aside and brings it back after the drop.
    xdotool mousemove $((px + 120)) $((py + 311)) mousedown 1
    xdotool mousemove $((px + 100)) $((py + 330))
    sleep 0.2
    xdotool mousemove 300 400
    sleep 0.3
    xdotool mousemove 310 410 mouseup 1
    e2e_wait_for_log "visualMemory drag started id=" 5
    e2e_wait_for_log "status popover hidden for visual memory drag" 5
    e2e_wait_for_log "visualMemory drag ended" 5
    e2e_wait_for_log "status popover restored after visual memory drag" 5
    kill -0 "$E2E_BRISKLET_PID" || fail "the application ended"
    ;;
overlay-drag)
    command -v xsetroot >/dev/null || e2e_skip "xsetroot is not installed"
    xsetroot -solid '#5e6875'
    start_tray
    e2e_start_app
    e2e_wait_for_log "showPopover shown" 5
    xdotool key Escape
    sleep 0.3
    [ "$(pixel 50 400)" = "94,104,117" ] || fail "the desktop is not the grey it was set to ($(pixel 50 400))"
    xdotool mousemove 640 400
    xdotool key ctrl+alt+4
    e2e_wait_for_log "selection overlay show" 5
    sleep 0.5
    # Off the crosshair, which starts at the pointer (640,400).
    IFS=, read -r r g b <<<"$(pixel 50 420)"
    [ "$r" -lt 80 ] && [ "$g" -lt 88 ] && [ "$b" -lt 100 ] || fail "the screen is not dimmed under the overlay ($r,$g,$b)"
    xdotool mousemove 300 250 mousedown 1
    xdotool mousemove 450 350
    xdotool mousemove 700 500
    sleep 0.3
    [ "$(pixel 500 400)" = "94,104,117" ] || fail "the selection does not show the screen undimmed ($(pixel 500 400))"
    xdotool mouseup 1
    e2e_wait_for_log "selection confirm action=completeWithAvailableSnapshot" 5
    dismiss_editor 1
    sleep 0.5
    [ "$(pixel 50 400)" = "94,104,117" ] || fail "the overlay stayed on screen ($(pixel 50 400))"
    # Escape cancels the next one and gives the screen back.
    xdotool key ctrl+alt+4
    for _ in $(seq 50); do [ "$(count_lines 'selection overlay show')" -ge 2 ] && break; sleep 0.1; done
    sleep 0.3
    xdotool key Escape
    e2e_wait_for_log "screenshot selection cancelled" 5
    sleep 0.3
    [ "$(pixel 50 400)" = "94,104,117" ] || fail "the overlay stayed after Escape"
    ;;
overlay-snap)
    # A click on another application's window selects exactly its bounds, also where the window's
    # outline is found in the picture; a click on a panel inside it selects the panel; a drag
    # from beside it selects what was dragged.
    command -v xsetroot >/dev/null || e2e_skip "xsetroot is not installed"
    xsetroot -solid '#5e6875'
    start_tray
    e2e_start_app
    e2e_wait_for_log "showPopover shown" 5
    xdotool key Escape
    # Now that the window manager has settled (a window mapped while it starts may stay unmapped).
    open_test_window "Snap Target" 500 300 400 200 dfe3e8 3584e4
    xdotool mousemove 430 230
    e2e_brisklet action screenshot
    e2e_wait_for_log "selection snap windows candidates=" 5
    e2e_wait_for_log "selection snap rectangles candidates=" 5
    grep -q "selection snap windows candidates=0" "$E2E_LOG" && fail "the test window is no snap target"
    sleep 0.2
    xdotool click 1
    e2e_wait_for_log "selection snap confirmed source=window(windowID: $TEST_WINDOW_ID) rect={{400, 300}, {500, 300}}" 5
    e2e_wait_for_log "selection confirmed rect={{400, 300}, {500, 300}} source=window(windowID: $TEST_WINDOW_ID)" 5
    dismiss_editor 1
    # The blue panel in the middle: 250 x 150 at (525,275), found in the picture.
    xdotool mousemove 650 350
    e2e_brisklet action screenshot
    for _ in $(seq 50); do [ "$(count_lines 'selection snap rectangles candidates=')" -ge 2 ] && break; sleep 0.1; done
    sleep 0.2
    xdotool click 1
    e2e_wait_for_log "selection snap confirmed source=detectedRectangle(index: " 5
    line="$(grep -F 'selection confirmed rect=' "$E2E_LOG" | tail -1)"
    [[ "$line" =~ rect=\{\{(52[3-7]),\ (37[3-7])\},\ \{(24[8-9]|25[0-2]),\ (14[8-9]|15[0-2])\}\}\ source=region ]] ||
        fail "the panel was not selected: $line"
    dismiss_editor 2
    xdotool mousemove 200 150
    e2e_brisklet action screenshot
    for _ in $(seq 50); do [ "$(count_lines 'selection overlay show')" -ge 3 ] && break; sleep 0.1; done
    sleep 0.3
    xdotool mousedown 1 mousemove 400 300 mousemove 600 450
    sleep 0.2
    xdotool mouseup 1
    e2e_wait_for_log "selection confirmed rect={{200, 350}, {400, 300}} source=region" 5
    ;;
overlay-hidpi)
    # At a device pixel ratio of 2 the overlay works in points: a click on a window selects its
    # bounds halved, a drag selects the points dragged over.
    xsetroot -solid '#5e6875'
    start_tray
    QT_SCALE_FACTOR=2 e2e_start_app
    e2e_wait_for_log "showPopover shown" 5
    xdotool key Escape
    open_test_window "Snap Target" 500 300 400 200 5e6875
    xdotool mousemove 650 350
    e2e_brisklet action screenshot
    e2e_wait_for_log "selection snap windows candidates=" 5
    sleep 0.3
    xdotool click 1
    e2e_wait_for_log "selection confirmed rect={{200, 150}, {250, 150}} source=window(windowID: $TEST_WINDOW_ID)" 5
    dismiss_editor 1
    xdotool mousemove 200 150
    e2e_brisklet action screenshot
    for _ in $(seq 50); do [ "$(count_lines 'selection overlay show')" -ge 2 ] && break; sleep 0.1; done
    sleep 0.3
    xdotool mousedown 1 mousemove 400 300 mousemove 600 450
    sleep 0.2
    xdotool mouseup 1
    e2e_wait_for_log "selection confirmed rect={{100, 175}, {200, 150}} source=region" 5
    ;;
overlay-keys)
    # Ctrl+C copies the colour under the pointer, Ctrl+A takes the whole screen, Escape cancels.
    command -v xclip >/dev/null || e2e_skip "xclip is not installed"
    xsetroot -solid '#5e6875'
    start_tray
    e2e_start_app
    e2e_wait_for_log "showPopover shown" 5
    xdotool key Escape
    xdotool mousemove 300 500
    e2e_brisklet action screenshot
    e2e_wait_for_log "selection overlay show" 5
    e2e_key_until ctrl+c "selection color copied value=#5E6875"
    [ "$(xclip -selection clipboard -o 2>/dev/null)" = "#5E6875" ] || fail "the clipboard does not hold the colour"
    xdotool key shift ctrl+c
    e2e_wait_for_log "selection color copied value=RGB(94, 104, 117)" 5
    xdotool key Escape
    e2e_wait_for_log "screenshot selection cancelled" 5
    # Back to idle: the next request opens a new overlay.
    e2e_brisklet action screenshot
    for _ in $(seq 50); do [ "$(count_lines 'selection overlay show')" -ge 2 ] && break; sleep 0.1; done
    e2e_key_until ctrl+a "selection full screen source=registeredHotkey"
    e2e_wait_for_log "selection confirmed rect={{0, 0}, {1280, 800}} source=region" 5
    ;;
no-tray)
    e2e_start_app
    e2e_wait_for_log "status item unavailable reason=noTrayHost" 5
    e2e_wait_for_log "welcome not needed; showing popover" 5
    for _ in $(seq 30); do
        xdotool search --onlyvisible --name '^Brisklet$' >/dev/null 2>&1 && break
        sleep 0.1
    done
    xdotool search --onlyvisible --name '^Brisklet$' >/dev/null 2>&1 || fail "the main panel did not open as a window"
    xdotool key ctrl+alt+4
    e2e_wait_for_log "selection overlay show" 5
    ;;
*)
    fail "unknown case $CASE"
    ;;
esac
echo "PASS: $CASE"
