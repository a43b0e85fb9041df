#!/usr/bin/env bash
# The settings window end to end, driven only by XTest: it opens from `brisklet action
# openSettings`, a new export directory typed into it receives the next screenshot, and a
# combination recorded in it with the keyboard grab becomes the screenshot hotkey.
# Usage: shell-settings.sh BRISKLET CASE [GRAB_KEY_CLIENT]
BRISKLET="$1"
CASE="$2"
GRAB_KEY_CLIENT="${3:-}"
source "$(dirname "$0")/harness.sh"

fail() { echo "FAIL: $*" >&2; exit 1; }
for tool in xdotool; do
    command -v "$tool" >/dev/null || e2e_skip "$tool is not installed"
done
mkdir -p "$XDG_CONFIG_HOME/Brisklet"
printf '{"brisklet.didShowWelcomeWindow": {"bool": true}}\n' >"$XDG_CONFIG_HOME/Brisklet/defaults.json"

pref() { e2e_brisklet prefs export "$E2E_ROOT/prefs.json" >/dev/null && python3 -c \
    "import json,sys; print(json.dumps(json.load(open(sys.argv[1]))[sys.argv[2]]))" "$E2E_ROOT/prefs.json" "$1"; }

open_settings() {
    e2e_brisklet action openSettings
    e2e_wait_for_log "settings window presented" 10
    for _ in $(seq 100); do
        SETTINGS="$(xdotool search --onlyvisible --name "Brisklet Settings" 2>/dev/null | head -1 || true)"
        [ -n "$SETTINGS" ] && break
        sleep 0.1
    done
    [ -n "$SETTINGS" ] || fail "no settings window on the screen"
    focus_settings
}

focus_settings() {
    for _ in $(seq 20); do
        xdotool windowactivate --sync "$SETTINGS" 2>/dev/null || true
        [ "$(xdotool getactivewindow 2>/dev/null)" = "$SETTINGS" ] && break
        sleep 0.2
    done
    sleep 0.3
}

# Searches the settings for $1 and moves the keyboard to the first control of the first card.
search_and_enter() {
    xdotool key ctrl+f
    xdotool type --delay 20 "$1"
    # The cards are filtered on the next turn of the event loop; a loaded machine needs longer.
    sleep 0.8
    xdotool key Tab
    sleep 0.4
}

case "$CASE" in
settings-open)
    e2e_start_quiet_app
    open_settings
    e2e_wait_for_log "settings window shown category=overview" 5
    # Escape closes it; the action brings it back where it was.
    focus_settings
    xdotool key Escape
    for _ in $(seq 50); do xdotool search --onlyvisible --name "Brisklet Settings" >/dev/null 2>&1 || break; sleep 0.1; done
    xdotool search --onlyvisible --name "Brisklet Settings" >/dev/null 2>&1 && fail "Escape left the settings open"
    open_settings
    ;;
settings-export-directory)
    e2e_start_quiet_app
    open_settings
    target="$HOME/Shots/from settings"
    search_and_enter "Save location"
    xdotool key ctrl+a
    xdotool type --delay 10 "$target"
    xdotool key Return
    e2e_wait_for_log "settings directory changed control=export.directory path=$target" 5
    [ -d "$target" ] || fail "the new export directory was not made"
    [ "$(pref exportDirectory)" = "\"$target\"" ] || fail "the preference is $(pref exportDirectory)"
    xdotool key Escape Escape
    sleep 0.5
    # The next screenshot goes there.
    xdotool mousemove 250 100
    e2e_brisklet action screenshot
    e2e_wait_for_log "selection overlay show" 5
    sleep 0.3
    xdotool mousedown 1 mousemove 400 250 mousemove 650 400
    sleep 0.2
    xdotool mouseup 1
    e2e_wait_for_log "screenshot editor window shown" 5
    sleep 0.5
    xdotool key Return
    e2e_wait_for_log "screenshot editor finish outcome=success" 5
    file="$(find "$target" -name '*.png' | head -1)"
    [ -n "$file" ] || fail "no PNG in $target"
    [ -z "$(find "$HOME/Pictures" -name '*.png' 2>/dev/null)" ] || fail "a PNG still went to ~/Pictures"
    ;;
settings-hotkey)
    e2e_start_quiet_app
    open_settings
    search_and_enter "While selecting"
    # Space presses the focused field (the screenshot's); the whole keyboard is ours meanwhile,
    # so a bare letter is refused and Ctrl+Alt+9 is taken.
    xdotool key space
    e2e_wait_for_log "settings hotkey recording started target=global.screenshot" 5
    sleep 0.3
    xdotool key q
    xdotool key ctrl+alt+9
    e2e_wait_for_log "settings hotkey recorded target=global.screenshot" 5
    [ "$(pref screenshotHotkey)" = '{"key": "9", "modifiers": 5}' ] || fail "the screenshot hotkey is $(pref screenshotHotkey)"
    e2e_wait_for_log "hotkey registered action=screenshot key=⌥⌘9" 5
    xdotool key Escape Escape
    sleep 0.5
    xdotool key ctrl+alt+9
    e2e_wait_for_log "selection overlay show" 5
    xdotool key Escape
    ;;
settings-hotkey-taken)
    # Another client holds Ctrl+Alt+9: the recording still receives it (the keyboard is ours
    # while recording), the combination is stored, and the window says who has it.
    "$GRAB_KEY_CLIENT" 0x39 12 >"$E2E_ROOT/grab.out" 2>&1 &
    E2E_PIDS+=($!)
    for _ in $(seq 50); do grep -q grabbed "$E2E_ROOT/grab.out" && break; sleep 0.1; done
    grep -q grabbed "$E2E_ROOT/grab.out" || fail "the other client could not grab Ctrl+Alt+9"
    e2e_start_quiet_app
    open_settings
    search_and_enter "While selecting"
    xdotool key space
    e2e_wait_for_log "settings hotkey recording started target=global.screenshot" 5
    sleep 0.3
    xdotool key ctrl+alt+9
    e2e_wait_for_log "settings hotkey recorded target=global.screenshot" 5
    e2e_wait_for_log "hotkey register failed action=screenshot key=⌥⌘9 status=10" 5
    e2e_wait_for_log "settings hotkey held by another application target=global.screenshot status=10" 5
    ;;
*)
    fail "unknown case $CASE"
    ;;
esac
echo "PASS: $CASE"
