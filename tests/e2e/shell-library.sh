#!/usr/bin/env bash
# The visual-memory library window end to end: pictures recorded with `brisklet library add`
# are listed by `brisklet action visualLibrary` with their counts, typing in the search narrows
# the grid, and a card deleted with the Delete key (after the confirmation) leaves the library
# and the disk; a card dragged onto another application hands it the file and its PNG.
# Usage: shell-library.sh BRISKLET CASE [DROP_TARGET]
BRISKLET="$1"
CASE="$2"
DROP_TARGET="${3:-}"
source "$(dirname "$0")/harness.sh"

fail() { echo "FAIL: $*" >&2; exit 1; }
for tool in xdotool convert; do
    command -v "$tool" >/dev/null || e2e_skip "$tool is not installed"
done
mkdir -p "$XDG_CONFIG_HOME/Brisklet"
printf '{"brisklet.didShowWelcomeWindow": {"bool": true}}\n' >"$XDG_CONFIG_HOME/Brisklet/defaults.json"
PICTURES="$HOME/Pictures"
mkdir -p "$PICTURES"

# Three pictures of different proportions, recorded before the application starts.
add_pictures() {
    convert -size 640x360 xc:'#3584e4' "$PICTURES/invoice-march.png"
    convert -size 300x600 xc:'#e66100' "$PICTURES/poster.png"
    convert -size 500x500 xc:'#26a269' "$PICTURES/diagram.png"
    for file in invoice-march poster diagram; do
        e2e_brisklet library add "$PICTURES/$file.png" >/dev/null
    done
}

open_library() {
    e2e_start_quiet_app
    e2e_brisklet action visualLibrary
    e2e_wait_for_log "visualLibrary presented items=3 displayed=3" 10
    sleep 0.5
    window="$(xdotool search --onlyvisible --name 'Visual Memory' 2>/dev/null | head -1 || true)"
    [ -n "$window" ] || fail "no library window on screen"
    xdotool windowactivate --sync "$window" 2>/dev/null || true
    sleep 0.3
}

case "$CASE" in
library-list)
    add_pictures
    open_library
    grep -qF "openVisualLibrary items=3" "$E2E_LOG" || fail "the controller did not see the three items"
    e2e_wait_for_log "visualMemory postPresent cleanup completed items=3" 5
    ;;
library-search)
    add_pictures
    open_library
    xdotool key ctrl+f
    sleep 0.2
    xdotool type --delay 60 "invoice"
    e2e_wait_for_log "visualLibrary search query=invoice items=1" 5
    xdotool key Escape
    e2e_wait_for_log "visualLibrary search query= items=3" 5
    ;;
library-delete)
    add_pictures
    open_library
    # Home selects the newest card; Delete asks, Return confirms (Delete is the default button).
    xdotool key Home
    sleep 0.2
    xdotool key Delete
    e2e_wait_for_log "alert shown title=Delete from Visual Memory?" 5
    sleep 0.5
    xdotool key Return
    e2e_wait_for_log "visualLibrary delete items=1" 5
    e2e_wait_for_log "asset deleted url=$PICTURES/diagram.png" 5
    [ ! -e "$PICTURES/diagram.png" ] || fail "the deleted picture is still on disk"
    [ "$(e2e_brisklet library list | grep -c 'png')" -eq 2 ] || fail "the library does not hold two items: $(e2e_brisklet library list)"
    ;;
library-drag)
    [ -n "$DROP_TARGET" ] || e2e_skip "no drop target"
    add_pictures
    open_library
    # Side by side: a click raises the window it lands in, so the two must not overlap.
    xdotool windowmove --sync "$window" 0 0 windowsize --sync "$window" 990 700
    sleep 0.5
    eval "$(xwininfo -id "$window" | sed -n 's/ *Absolute upper-left X: *\([0-9]*\)/LX=\1/p; s/ *Absolute upper-left Y: *\([0-9]*\)/LY=\1/p')"
    "$DROP_TARGET" "Drop Here" 260 200 1010 300 >"$E2E_ROOT/drop.out" 2>&1 &
    E2E_PIDS+=($!)
    target=""
    for _ in $(seq 100); do
        target="$(xdotool search --onlyvisible --name 'Drop Here' 2>/dev/null | head -1 || true)"
        [ -n "$target" ] && break
        sleep 0.1
    done
    [ -n "$target" ] || fail "the drop target is not on screen: $(cat "$E2E_ROOT/drop.out")"
    sleep 0.5
    eval "$(xwininfo -id "$target" | sed -n 's/ *Absolute upper-left X: *\([0-9]*\)/AX=\1/p; s/ *Absolute upper-left Y: *\([0-9]*\)/AY=\1/p')"
    # The newest card (the square diagram) is the first one, at the grid's top-left corner: the
    # sidebar is 220 points wide, the toolbar 52 high, the grid's margin 16.
    sx=$((LX + 220 + 16 + 60)) sy=$((LY + 52 + 16 + 60))
    tx=$((AX + 130)) ty=$((AY + 100))
    xdotool mousemove "$sx" "$sy" mousedown 1
    sleep 0.2
    xdotool mousemove $((sx + 20)) $((sy + 10))
    e2e_wait_for_log "visualLibrary drag started id=$PICTURES/diagram.png" 5
    e2e_drag_to "$sx" "$sy" "$tx" "$ty"
    for _ in $(seq 50); do grep -q '^file ' "$E2E_ROOT/drop.out" && break; sleep 0.1; done
    grep -qxF "file $PICTURES/diagram.png" "$E2E_ROOT/drop.out" || fail "the drop did not deliver the picture: $(cat "$E2E_ROOT/drop.out")"
    grep -q '^png [1-9]' "$E2E_ROOT/drop.out" || fail "the drop carried no PNG"
    e2e_wait_for_log "visualLibrary drag ended dropped=true" 5
    ;;
*)
    fail "unknown case $CASE"
    ;;
esac
echo "PASS: $CASE"
