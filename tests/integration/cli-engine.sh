#!/usr/bin/env bash
# End to end: `brisklet` runs capture and prefs itself and hands every other command to
# brisklet-engine, found beside it (build tree) or in ../libexec/brisklet (installed).
set -euo pipefail
brisklet="$1"
engine="$2"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

# Handed over: the engine's own usage error and exit status come back unchanged.
status=0
"$brisklet" translate > /dev/null 2> "$work/err.txt" || status=$?
[ "$status" -eq 2 ] || fail "translate without --to exited $status, not 2"
grep -q "brisklet translate: --to is required" "$work/err.txt" || fail "engine's message missing"
status=0
"$brisklet" no-such-command 2> "$work/err.txt" || status=$?
[ "$status" -eq 2 ] && grep -q "unknown command 'no-such-command'" "$work/err.txt" || fail "unknown command"

# `action` is the engine's to answer whenever no running instance takes it: here there is no bus.
status=0
DBUS_SESSION_BUS_ADDRESS="unix:path=$work/no-bus" "$brisklet" action screenshot 2> "$work/err.txt" || status=$?
[ "$status" -eq 1 ] && grep -q "brisklet action: no session bus" "$work/err.txt" || fail "action without a bus ($status)"
"$brisklet" action --list | grep -qx "  screenshot" || fail "action --list"

# The front end needs none of the engines' libraries, nor libdbus (with libsystemd behind it),
# which it opens only to send an action.
if ldd "$brisklet" | grep -E -q "libtesseract|libavcodec|libopencv|libQt6|libcurl|libdbus|libsystemd"; then
    fail "brisklet links an engine library or libdbus"
fi

# Installed layout: bin/brisklet finds libexec/brisklet/brisklet-engine.
mkdir -p "$work/prefix/bin" "$work/prefix/libexec/brisklet"
cp "$brisklet" "$work/prefix/bin/brisklet"
cp "$engine" "$work/prefix/libexec/brisklet/brisklet-engine"
status=0
"$work/prefix/bin/brisklet" translate > /dev/null 2>&1 || status=$?
[ "$status" -eq 2 ] || fail "installed layout: engine not started (status $status)"

# Without the engine: a clear error, not a crash; capture and prefs still work.
rm "$work/prefix/libexec/brisklet/brisklet-engine"
status=0
"$work/prefix/bin/brisklet" ocr x.png 2> "$work/err.txt" || status=$?
[ "$status" -eq 1 ] || fail "missing engine exited $status, not 1"
grep -q "brisklet-engine is missing" "$work/err.txt" || fail "missing engine not explained"
HOME="$work" XDG_CONFIG_HOME= XDG_DATA_HOME= "$work/prefix/bin/brisklet" prefs show | grep -q '"gifFPS"' \
    || fail "prefs needs the engine"
echo "ok"
