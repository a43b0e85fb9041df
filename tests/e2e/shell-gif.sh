#!/usr/bin/env bash
# GIF recordings end to end, driven only by XTest and `brisklet action`: a region of a test window
# of known colours is chosen, recorded for about two seconds (with a drawing made on it) and
# exported, or the recording is cancelled at the options bar or at the control bar; and one
# recorded as MP4 instead.
# Usage: shell-gif.sh BRISKLET CASE TEST_WINDOW
BRISKLET="$1"
CASE="$2"
TEST_WINDOW="$3"
source "$(dirname "$0")/harness.sh"

fail() { echo "FAIL: $*" >&2; exit 1; }
for tool in xdotool convert identify; do
    command -v "$tool" >/dev/null || e2e_skip "$tool is not installed"
done
mkdir -p "$XDG_CONFIG_HOME/Brisklet"
printf '{"brisklet.didShowWelcomeWindow": {"bool": true}}\n' >"$XDG_CONFIG_HOME/Brisklet/defaults.json"
EXPORTS="$HOME/Pictures/Brisklet"
exported() { find "$EXPORTS" -name '*.gif' 2>/dev/null | sort; }
leftovers() { find "$EXPORTS" -name '.*.tmp' 2>/dev/null; }
# "r,g,b" of one pixel of an image file.
image_pixel() { convert "$1" -format '%[fx:int(255*p{'"$2,$3"'}.r)],%[fx:int(255*p{'"$2,$3"'}.g)],%[fx:int(255*p{'"$2,$3"'}.b)]' info:-; }
# Whether "r,g,b" ($1) is within 12 of "r,g,b" ($2) in every channel (GIF palettes round colours).
near() {
    local r g b R G B
    IFS=, read -r r g b <<<"$1"
    IFS=, read -r R G B <<<"$2"
    [ $(( (r - R) * (r - R) < 144 && (g - G) * (g - G) < 144 && (b - B) * (b - B) < 144 )) -eq 1 ]
}

# The application without a tray (its panel opens as a window and is closed first), a grey
# desktop and a light test window with a blue panel: 600 x 400 at (300,150), the panel its middle
# half, (450,250)-(750,450).
start() {
    e2e_start_quiet_app
    e2e_start_mapped "$E2E_ROOT/test-window.out" "$TEST_WINDOW" "Recording Target" 600 400 300 150 dfe3e8 3584e4
    sleep 0.3
}

# `brisklet action gifRegion`, a drag from (350,200) to (750,500) (a 400 x 300 region) and Return
# to confirm it: the options bar opens.
choose_region() {
    xdotool mousemove 100 700
    e2e_brisklet action gifRegion
    e2e_wait_for_log "selection overlay show" 5
    sleep 0.3
    xdotool mousemove 350 200 mousedown 1 mousemove 550 350 mousemove 750 500
    sleep 0.2
    xdotool mouseup 1
    sleep 0.3
    xdotool key Return
    e2e_wait_for_log "Recording options panel presented; forcing arrow cursor" 5
    sleep 0.5
}

# Return at the options bar; the pointer leaves the region so no cursor dot is drawn.
start_recording() {
    xdotool mousemove 100 700
    xdotool key Return
    e2e_wait_for_log "gif recording started" 5
    e2e_wait_for_log "gif control bar presented" 5
}

# The global centre of the control bar's button named $1 ("Stop", "Cancel", "Annotate",
# "gifTool-rectangle", ...), as "X Y".
bar_button() {
    grep -F "gif control bar presented" "$E2E_LOG" | tail -1 | tr ' ' '\n' | sed -n "s/^$1=\([0-9-]*\),\([0-9-]*\)$/\1 \2/p"
}

# Stop (the action), then Export in the editing window (Return) when it opens.
stop_and_export() {
    e2e_brisklet action stopActiveOperation
    e2e_wait_for_log "gif recording captured frames=" 10
    e2e_wait_for_log "gif post-processing window shown" 10
    sleep 0.8
    xdotool key Return
}

# Waits for the exported GIF and prints its name.
wait_for_gif() {
    for _ in $(seq 150); do
        [ -n "$(exported)" ] && [ -z "$(leftovers)" ] && break
        sleep 0.1
    done
    file="$(exported | tail -1)"
    [ -n "$file" ] || fail "no GIF in $EXPORTS"
    [ -z "$(leftovers)" ] || fail "a temporary file is left: $(leftovers)"
    echo "$file"
}

frames_of() { convert "$1" -coalesce "$E2E_ROOT/frame-%03d.png"; ls "$E2E_ROOT"/frame-*.png | sort; }

assert_idle() {
    e2e_brisklet action stopActiveOperation
    e2e_wait_for_log "stop active operation ignored state=idle" 5
}

case "$CASE" in
gif-record)
    start
    choose_region
    start_recording
    sleep 2
    stop_and_export
    file="$(wait_for_gif)"
    count="$(identify -format '%n\n' "$file" | head -1)"
    # About two seconds at the default 20 frames per second.
    [ "$count" -ge 30 ] && [ "$count" -le 60 ] || fail "the GIF has $count frames, not about 40"
    [ "$(identify -format '%wx%h\n' "$file" | head -1)" = "400x300" ] || fail "the GIF is $(identify -format '%wx%h\n' "$file" | head -1), not 400x300"
    frames="$(frames_of "$file")"
    first="$(echo "$frames" | head -1)"
    last="$(echo "$frames" | tail -1)"
    for frame in "$first" "$last"; do
        near "$(image_pixel "$frame" 20 20)" "223,227,232" || fail "$(basename "$frame") does not show the window's grey ($(image_pixel "$frame" 20 20))"
        near "$(image_pixel "$frame" 200 150)" "53,132,228" || fail "$(basename "$frame") does not show the blue panel ($(image_pixel "$frame" 200 150))"
    done
    grep -qF "$(basename "$file")" "$XDG_CONFIG_HOME/Brisklet/defaults.json" || fail "the recent exports do not list $(basename "$file")"
    assert_idle
    ;;
gif-annotate)
    start
    choose_region
    start_recording
    sleep 0.8
    read -r ax ay <<<"$(bar_button Annotate)"
    read -r rx ry <<<"$(bar_button gifTool-rectangle)"
    [ -n "$ax" ] && [ -n "$rx" ] || fail "the control bar's drawing buttons are not in the log"
    xdotool mousemove "$ax" "$ay" click 1
    e2e_wait_for_log "gif annotation canvas input=draw" 5
    sleep 0.2
    xdotool mousemove "$rx" "$ry" click 1
    sleep 0.3
    # A rectangle over the region's grey and blue, from (400,250) to (600,400): canvas (50,50)-(250,200).
    xdotool mousemove 400 250 mousedown 1 mousemove 500 320 mousemove 600 400
    sleep 0.2
    xdotool mouseup 1
    # A text typed in place under it: canvas (70,240).
    read -r tx ty <<<"$(bar_button gifTool-text)"
    xdotool mousemove "$tx" "$ty" click 1
    sleep 0.2
    xdotool mousemove 420 440 click 1
    sleep 0.3
    xdotool type "HH"
    xdotool key Return
    sleep 0.2
    xdotool mousemove "$ax" "$ay" click 1
    e2e_wait_for_log "gif annotation canvas input=passThrough" 5
    xdotool mousemove 100 700
    sleep 1.2
    stop_and_export
    file="$(wait_for_gif)"
    frames="$(frames_of "$file")"
    first="$(echo "$frames" | head -1)"
    last="$(echo "$frames" | tail -1)"
    # The rectangle's left edge at canvas x=50 crosses the grey at y=60..100.
    near "$(image_pixel "$first" 50 80)" "223,227,232" || fail "the first frame already shows the drawing ($(image_pixel "$first" 50 80))"
    IFS=, read -r r g b <<<"$(image_pixel "$last" 50 80)"
    [ "$r" -gt 180 ] && [ "$g" -lt 110 ] && [ "$b" -lt 110 ] || fail "the last frame does not show the red rectangle ($r,$g,$b)"
    near "$(image_pixel "$last" 150 120)" "53,132,228" || fail "the rectangle is filled ($(image_pixel "$last" 150 120))"
    red=0
    for x in $(seq 70 2 100); do
        for y in 246 250 254; do
            IFS=, read -r r g b <<<"$(image_pixel "$last" "$x" "$y")"
            [ "$r" -gt 180 ] && [ "$g" -lt 110 ] && red=$((red + 1))
        done
    done
    [ "$red" -ge 3 ] || fail "the typed text is not in the last frame"
    ;;
gif-cancel)
    start
    # At the options bar: Escape.
    choose_region
    xdotool key Escape
    e2e_wait_for_log "recording options cancelled" 5
    assert_idle
    # At the control bar: its Cancel button.
    choose_region
    start_recording
    sleep 0.5
    read -r cx cy <<<"$(bar_button Cancel)"
    [ -n "$cx" ] || fail "the control bar's Cancel is not in the log"
    xdotool mousemove "$cx" "$cy" click 1
    e2e_wait_for_log "capture session cancelled" 5
    sleep 0.5
    grep -c "stop active operation ignored state=idle" "$E2E_LOG" >/dev/null
    before="$(grep -c 'stop active operation ignored state=idle' "$E2E_LOG")"
    e2e_brisklet action stopActiveOperation
    for _ in $(seq 50); do [ "$(grep -c 'stop active operation ignored state=idle' "$E2E_LOG")" -gt "$before" ] && break; sleep 0.1; done
    [ "$(grep -c 'stop active operation ignored state=idle' "$E2E_LOG")" -gt "$before" ] || fail "not idle after cancelling at the control bar"
    # In the editing window: Escape discards the recording.
    choose_region
    start_recording
    sleep 0.5
    e2e_brisklet action stopActiveOperation
    e2e_wait_for_log "gif post-processing window shown" 10
    sleep 0.8
    xdotool key Escape
    e2e_wait_for_log "gif post-processing cancelled exporting=false" 5
    e2e_wait_for_log "gif recording discarded" 5
    before="$(grep -c 'stop active operation ignored state=idle' "$E2E_LOG")"
    e2e_brisklet action stopActiveOperation
    for _ in $(seq 50); do [ "$(grep -c 'stop active operation ignored state=idle' "$E2E_LOG")" -gt "$before" ] && break; sleep 0.1; done
    [ "$(grep -c 'stop active operation ignored state=idle' "$E2E_LOG")" -gt "$before" ] || fail "not idle after discarding in the editing window"
    sleep 1
    [ -z "$(exported)" ] || fail "a GIF was written: $(exported)"
    [ -z "$(leftovers)" ] || fail "a temporary file is left: $(leftovers)"
    ;;
video-record)
    command -v ffprobe >/dev/null && command -v ffmpeg >/dev/null || e2e_skip "ffprobe or ffmpeg is not installed"
    start
    choose_region
    e2e_wait_for_log "recording options bar formats" 5
    read -r mx my <<<"$(grep -F "recording options bar formats" "$E2E_LOG" | tail -1 | tr ' ' '\n' | sed -n 's/^mp4=\([0-9-]*\),\([0-9-]*\)$/\1 \2/p')"
    [ -n "$mx" ] || fail "the options bar's MP4 button is not in the log"
    xdotool mousemove "$mx" "$my" click 1
    sleep 0.3
    xdotool mousemove 100 700
    xdotool key Return
    e2e_wait_for_log "video recording started" 5
    e2e_wait_for_log "video control bar presented" 5
    sleep 2
    e2e_brisklet action stopActiveOperation
    e2e_wait_for_log "video post-processing window shown" 15
    sleep 0.8
    xdotool key Return
    e2e_wait_for_log "Video export verified before success url=" 15
    file="$(find "$EXPORTS" -name '*.mp4' | sort | tail -1)"
    [ -n "$file" ] || fail "no MP4 in $EXPORTS"
    [ -z "$(find "$EXPORTS" -name '.*' -type f)" ] || fail "a temporary file is left: $(find "$EXPORTS" -name '.*' -type f)"
    stream="$(ffprobe -v error -select_streams v:0 -show_entries stream=codec_name,width,height -of csv=p=0 "$file")"
    [ "$stream" = "h264,400,300" ] || fail "the video stream is '$stream', not h264,400,300"
    duration="$(ffprobe -v error -show_entries format=duration -of csv=p=0 "$file")"
    awk -v d="$duration" 'BEGIN { exit !(d >= 1.3 && d <= 3.5) }' || fail "the video lasts $duration s, not about 2 s"
    ffmpeg -v error -ss 1 -i "$file" -frames:v 1 "$E2E_ROOT/video-frame.png"
    near "$(image_pixel "$E2E_ROOT/video-frame.png" 20 20)" "223,227,232" || fail "the video does not show the window's grey ($(image_pixel "$E2E_ROOT/video-frame.png" 20 20))"
    near "$(image_pixel "$E2E_ROOT/video-frame.png" 200 150)" "53,132,228" || fail "the video does not show the blue panel ($(image_pixel "$E2E_ROOT/video-frame.png" 200 150))"
    draft="$(grep -F "video recording captured url=" "$E2E_LOG" | tail -1 | sed 's/.*url=//')"
    [ -n "$draft" ] && [ ! -e "$draft" ] || fail "the draft '$draft' was not removed"
    grep -qF "$(basename "$file")" "$XDG_CONFIG_HOME/Brisklet/defaults.json" || fail "the recent exports do not list $(basename "$file")"
    assert_idle
    ;;
*)
    echo "unknown case $CASE" >&2
    exit 2
    ;;
esac
echo "PASS: $CASE"
