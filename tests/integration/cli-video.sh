#!/usr/bin/env bash
# End to end: `brisklet record --format mp4|mov` on a private Xvfb whose screen changes colour
# every second, checked with ffprobe and by decoding every frame. Usage: cli-video.sh BRISKLET CASE
# TEST_WINDOW with CASE one of mp4, mov, audio, interrupt, cursor, refuse and TEST_WINDOW the e2e-test-window program.
# Exits 77 (skipped) when a tool it needs is missing.
set -euo pipefail
brisklet="$1"
case_name="$2"
test_window="$3"
skip() { echo "SKIP: $*" >&2; exit 77; }
fail() {
    echo "FAIL: $*" >&2
    [ ! -s "$work/err.txt" ] || { echo "--- brisklet said:" >&2; tail -n 20 "$work/err.txt" >&2; }
    exit 1
}
for tool in Xvfb ffprobe ffmpeg python3; do
    command -v "$tool" >/dev/null || skip "$tool is not installed"
done

work=$(mktemp -d)
pids=()
cleanup() {
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
    wait 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT
export HOME="$work/home" XDG_CONFIG_HOME="$work/home/.config" XDG_DATA_HOME="$work/home/.local/share"
export TMPDIR="$work/tmp" XDG_RUNTIME_DIR="$work/run"
mkdir -p "$HOME" "$TMPDIR" "$XDG_RUNTIME_DIR"
chmod 700 "$XDG_RUNTIME_DIR"
# Without a sound server of its own the test must not reach the user's.
export PULSE_SERVER="unix:$XDG_RUNTIME_DIR/pulse/native"

Xvfb -displayfd 3 -screen 0 640x480x24 -nolisten tcp 3>"$work/display" >"$work/xvfb.log" 2>&1 &
pids+=($!)
for _ in $(seq 50); do [ -s "$work/display" ] && break; sleep 0.1; done
[ -s "$work/display" ] || skip "Xvfb did not start"
export DISPLAY=":$(cat "$work/display")"

colours=(ff0000 00c000 0000ff ffff00 ff00ff 00ffff)
# Covers the screen with a window of the next colour on every whole second from now on, against
# the clock rather than by sleeping a second each time, so the changes do not drift. Returns once
# the first colour is on screen: a busy machine may take a while to start the first window, and a
# recording of the bare root would show no test colour at all.
start_colours() {
    python3 - "$test_window" "$work/colours-ready" "${colours[@]}" <<'EOF' &
import signal, subprocess, sys, time
windows = []
def end(*_):
    for window in windows:
        window.kill()
    sys.exit(0)
signal.signal(signal.SIGTERM, end)
start = time.monotonic()
for i, colour in enumerate(sys.argv[3:]):
    time.sleep(max(0.0, start + i - time.monotonic()))
    window = subprocess.Popen([sys.argv[1], "colour", "640", "480", "0", "0", colour], stdout=subprocess.PIPE, text=True)
    windows.append(window)
    if i == 0:
        line = "-"
        while line and not line.startswith("mapped"):
            line = window.stdout.readline()
        open(sys.argv[2], "w").close()
time.sleep(30)
end()
EOF
    pids+=($!)
    for _ in $(seq 100); do [ -e "$work/colours-ready" ] && break; sleep 0.1; done
    [ -e "$work/colours-ready" ] || fail "the first colour window did not map"
}

start_sound() {
    command -v pulseaudio >/dev/null && command -v paplay >/dev/null || skip "pulseaudio is not installed"
    pulseaudio --daemonize=no -n --load="module-null-sink sink_name=test" --load=module-native-protocol-unix \
        --exit-idle-time=-1 --use-pid-file=no --disallow-exit --log-target=stderr >"$work/pulse.log" 2>&1 &
    pids+=($!)
    for _ in $(seq 50); do pactl info >/dev/null 2>&1 && break; sleep 0.1; done
    pactl info >/dev/null 2>&1 || skip "the sound server cannot run here ($(tail -1 "$work/pulse.log"))"
    ffmpeg -v error -f lavfi -i "sine=frequency=440:duration=20" -ar 48000 -ac 2 "$work/tone.wav"
    paplay "$work/tone.wav" &
    pids+=($!)
    sleep 0.5
}

probe() { ffprobe -v error -select_streams "$2" -show_entries "stream=$3" -of default=nw=1:nk=1 "$1"; }

# Every decoded frame's average colour, one "R G B" line per frame.
frame_colours() {
    ffmpeg -v error -i "$1" -vf scale=1:1:flags=area -f rawvideo -pix_fmt rgb24 - |
        python3 -c 'import sys; d=sys.stdin.buffer.read(); [print(*d[i:i+3]) for i in range(0, len(d) - 2, 3)]'
}

# The file shows the colours in their order, each for one second (± one frame) between changes.
check_timeline() {
    local file="$1" fps="$2"
    frame_colours "$file" > "$work/colours.txt"
    python3 - "$work/colours.txt" "$fps" "${colours[@]}" <<'EOF' || fail "the colours are not at the right times"
import sys
rows = [tuple(map(int, line.split())) for line in open(sys.argv[1])]
fps = int(sys.argv[2])
palette = [tuple(int(c[i:i + 2], 16) for i in (0, 2, 4)) for c in sys.argv[3:]]
def nearest(rgb):
    distance, index = min((sum((a - b) ** 2 for a, b in zip(rgb, p)), i) for i, p in enumerate(palette))
    return index if distance < 40 ** 2 * 3 else None
seen = [nearest(rgb) for rgb in rows]
assert None not in seen, f"frames of no test colour: {[rows[i] for i, s in enumerate(seen) if s is None][:5]}"
changes = [i for i in range(1, len(seen)) if seen[i] != seen[i - 1]]
assert len(changes) >= 2, f"too few colour changes: {seen}"
for before, after in zip(changes, changes[1:]):
    assert abs((after - before) - fps) <= 1, f"changes at frames {changes}, not {fps} apart"
for i in changes:
    assert seen[i] == (seen[i - 1] + 1) % len(palette), f"colour {seen[i]} after {seen[i - 1]}"
print("colour changes at frames", changes)
EOF
}

record() {
    "$brisklet" record "$@" 2>"$work/err.txt" >"$work/out.txt" || { cat "$work/err.txt" >&2; fail "record $* failed"; }
}

case "$case_name" in
mp4)
    start_colours
    # An odd region becomes even; medium quality records 30 frames per second.
    record 161x121+100+50 --format mp4 --quality medium --duration 3 -o "$work/clip.mp4"
    [ "$(cat "$work/out.txt")" = "$work/clip.mp4" ] || fail "printed $(cat "$work/out.txt")"
    [ "$(probe "$work/clip.mp4" v codec_name)" = h264 ] || fail "not H.264"
    [ "$(probe "$work/clip.mp4" v pix_fmt)" = yuv420p ] || fail "not yuv420p"
    ffprobe -v error -show_entries format=format_name -of default=nw=1:nk=1 "$work/clip.mp4" | grep -q mp4 || fail "not MP4"
    [ "$(probe "$work/clip.mp4" v width)x$(probe "$work/clip.mp4" v height)" = 160x120 ] || fail "size"
    [ "$(probe "$work/clip.mp4" v r_frame_rate)" = 30/1 ] || fail "frame rate"
    frames=$(probe "$work/clip.mp4" v nb_frames)
    [ "$frames" -ge 89 ] && [ "$frames" -le 91 ] || fail "$frames frames for 3 s at 30 fps"
    [ -z "$(probe "$work/clip.mp4" a codec_name)" ] || fail "a sound track without --audio"
    # The index is at the front (+faststart): "moov" comes before "mdat".
    python3 -c 'import sys; d=open(sys.argv[1],"rb").read(); sys.exit(0 if d.find(b"moov") < d.find(b"mdat") else 1)' \
        "$work/clip.mp4" || fail "the index is not at the front"
    check_timeline "$work/clip.mp4" 30
    [ -z "$(ls -A "$TMPDIR")" ] || fail "the draft was left behind: $(ls -A "$TMPDIR")"
    ;;
mov)
    start_colours
    # Low quality: 15 frames per second; without -o the file is named in the export directory.
    record 200x100+0+0 --format mov --quality low --duration 3
    file=$(cat "$work/out.txt")
    case "$file" in "$HOME/Pictures/Brisklet/"*.mov) ;; *) fail "exported to $file" ;; esac
    ffprobe -v error -show_entries format=format_name -of default=nw=1:nk=1 "$file" | grep -q mov || fail "not MOV"
    [ "$(probe "$file" v codec_name)" = h264 ] || fail "not H.264"
    [ "$(probe "$file" v r_frame_rate)" = 15/1 ] || fail "frame rate"
    frames=$(probe "$file" v nb_frames)
    [ "$frames" -ge 44 ] && [ "$frames" -le 46 ] || fail "$frames frames for 3 s at 15 fps"
    check_timeline "$file" 15
    "$brisklet" prefs show >/dev/null
    grep -q "$(basename "$file")" "$XDG_CONFIG_HOME/Brisklet/defaults.json" || fail "not in the recent exports"
    ;;
audio)
    start_sound
    record 64x64+0+0 --format mp4 --audio --duration 3 -o "$work/sound.mp4"
    [ "$(probe "$work/sound.mp4" a codec_name)" = aac ] || fail "no AAC track"
    [ "$(probe "$work/sound.mp4" a sample_rate)" = 48000 ] || fail "sample rate"
    audio_duration=$(probe "$work/sound.mp4" a duration)
    python3 -c 'import sys; sys.exit(0 if abs(float(sys.argv[1]) - 3) < 0.1 else 1)' "$audio_duration" \
        || fail "sound lasts $audio_duration s"
    mean=$(ffmpeg -v info -i "$work/sound.mp4" -vn -af volumedetect -f null - 2>&1 |
        sed -n 's/.*mean_volume: \(-\?[0-9.]*\) dB/\1/p')
    python3 -c 'import sys; sys.exit(0 if float(sys.argv[1]) > -40 else 1)' "$mean" || fail "the tone is missing ($mean dB)"
    # Without a sound server the picture is recorded alone, and the user is told.
    kill "${pids[-2]}" "${pids[-1]}"
    for _ in $(seq 50); do pactl info >/dev/null 2>&1 || break; sleep 0.1; done
    record 64x64+0+0 --format mp4 --audio --duration 1 -o "$work/silent.mp4"
    grep -q "recorded without sound" "$work/err.txt" || fail "the missing sound was not mentioned"
    [ "$(probe "$work/silent.mp4" v codec_name)" = h264 ] || fail "no picture without a sound server"
    ;;
interrupt)
    # Ctrl+C ends the recording and keeps it.
    "$brisklet" record 64x64+0+0 --format mp4 -o "$work/stopped.mp4" 2>"$work/err.txt" >"$work/out.txt" &
    recorder=$!
    for _ in $(seq 200); do grep -q "Recording;" "$work/err.txt" && break; sleep 0.1; done
    sleep 1.5
    kill -INT "$recorder"
    status=0
    wait "$recorder" || status=$?
    [ "$status" -eq 0 ] || { cat "$work/err.txt" >&2; fail "Ctrl+C exited $status"; }
    duration=$(probe "$work/stopped.mp4" v duration)
    python3 -c 'import sys; sys.exit(0 if 1.0 < float(sys.argv[1]) < 4 else 1)' "$duration" || fail "kept $duration s"
    ;;
cursor)
    command -v xdotool >/dev/null || skip "xdotool is not installed"
    "$test_window" plain 640 480 0 0 ffffff >/dev/null &
    pids+=($!)
    sleep 0.5
    xdotool mousemove 40 40
    # The system pointer is in the picture unless --no-cursor; count the pixels far from white.
    dark_pixels() {
        ffmpeg -v error -i "$1" -frames:v 1 -f rawvideo -pix_fmt gray - |
            python3 -c 'import sys; print(sum(1 for b in sys.stdin.buffer.read() if b < 128))'
    }
    record 80x80+0+0 --format mp4 --duration 1 -o "$work/pointer.mp4"
    record 80x80+0+0 --format mp4 --duration 1 --no-cursor -o "$work/plain.mp4"
    with=$(dark_pixels "$work/pointer.mp4")
    without=$(dark_pixels "$work/plain.mp4")
    [ "$with" -gt 10 ] && [ "$without" -eq 0 ] || fail "pointer pixels: $with with it, $without without"
    ;;
refuse)
    echo "keep me" > "$work/taken.mp4"
    status=0
    "$brisklet" record 64x64+0+0 --format mp4 --duration 1 -o "$work/taken.mp4" 2>"$work/err.txt" || status=$?
    [ "$status" -eq 1 ] && grep -q "already exists" "$work/err.txt" || fail "an existing file was not refused"
    [ "$(cat "$work/taken.mp4")" = "keep me" ] || fail "the existing file was touched"
    status=0
    "$brisklet" record 64x64+0+0 --format webm 2>"$work/err.txt" || status=$?
    [ "$status" -eq 2 ] && grep -q -- "--format must be mp4 or mov" "$work/err.txt" || fail "bad format accepted"
    status=0
    "$brisklet" record 64x64+0+0 --format mp4 --quality ultra 2>"$work/err.txt" || status=$?
    [ "$status" -eq 2 ] || fail "bad quality accepted"
    ;;
*)
    fail "unknown case $case_name"
    ;;
esac
echo "ok"
