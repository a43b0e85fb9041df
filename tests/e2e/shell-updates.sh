#!/usr/bin/env bash
# The update offer end to end: a release feed served on this machine names a newer version; the
# manual check from the command channel opens the Software Update window with its notes, and
# Escape there answers "remind me later", which is remembered. No package is downloaded.
# Usage: shell-updates.sh BRISKLET CASE
BRISKLET="$1"
CASE="$2"
source "$(dirname "$0")/harness.sh"
export LANGUAGE=en

fail() { echo "FAIL: $*" >&2; exit 1; }
for tool in xdotool python3; do
    command -v "$tool" >/dev/null || e2e_skip "$tool is not installed"
done
mkdir -p "$XDG_CONFIG_HOME/Brisklet"
printf '{"brisklet.didShowWelcomeWindow": {"bool": true}}\n' >"$XDG_CONFIG_HOME/Brisklet/defaults.json"

# A feed on a free local port with release 9.9.9 and its package.
serve_release() {
    mkdir -p "$E2E_ROOT/www"
    PORT="$(python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')"
    head -c 4096 /dev/urandom >"$E2E_ROOT/www/brisklet_9.9.9_amd64.deb"
    cat >"$E2E_ROOT/www/release.json" <<JSON
{"tag_name": "v9.9.9", "body": "- Faster scrolling captures\n- A window for updates",
 "assets": [{"name": "brisklet_9.9.9_amd64.deb", "size": 4096,
             "browser_download_url": "http://127.0.0.1:$PORT/brisklet_9.9.9_amd64.deb"}]}
JSON
    python3 -m http.server "$PORT" --bind 127.0.0.1 --directory "$E2E_ROOT/www" >"$E2E_ROOT/http.log" 2>&1 &
    E2E_PIDS+=($!)
    for _ in $(seq 50); do
        python3 -c "import urllib.request; urllib.request.urlopen('http://127.0.0.1:$PORT/release.json')" 2>/dev/null && break
        sleep 0.1
    done
    cat >"$E2E_ROOT/update-info.json" <<JSON
{"BriskletUpdateFeedURL": "http://127.0.0.1:$PORT/release.json", "CFBundleShortVersionString": "0.1.0",
 "BriskletPackageName": "brisklet", "BriskletUpdateAssetNameSuffix": "_amd64.deb"}
JSON
    export BRISKLET_UPDATE_INFO_FILE="$E2E_ROOT/update-info.json"
}

case "$CASE" in
update-remind)
    serve_release
    e2e_start_quiet_app
    e2e_brisklet action checkForUpdates
    e2e_wait_for_log "update prompt presented version=v9.9.9" 15
    window=""
    for _ in $(seq 50); do
        window="$(xdotool search --onlyvisible --name '^Software Update$' 2>/dev/null | head -1)" || true
        [ -n "$window" ] && break
        sleep 0.1
    done
    [ -n "$window" ] || fail "the Software Update window did not open"
    grep -q 'GET /release.json' "$E2E_ROOT/http.log" || fail "the feed was never asked"
    ! grep -q 'GET /brisklet_9.9.9_amd64.deb' "$E2E_ROOT/http.log" || fail "the package was downloaded before the user chose"
    if [ -n "${BRISKLET_UPDATE_SCREENSHOT:-}" ]; then
        sleep 0.8
        import -window "$window" "$BRISKLET_UPDATE_SCREENSHOT"
    fi
    xdotool windowactivate --sync "$window" 2>/dev/null || true
    sleep 0.3
    xdotool key Escape
    e2e_wait_for_log "update prompt action=remindLater version=v9.9.9" 5
    sleep 0.3
    [ -z "$(xdotool search --onlyvisible --name '^Software Update$' 2>/dev/null)" ] || fail "the window stayed open"
    grep -q '"brisklet.updater.remindedVersion"' "$XDG_CONFIG_HOME/Brisklet/defaults.json" ||
        fail "remind later was not remembered: $(cat "$XDG_CONFIG_HOME/Brisklet/defaults.json")"
    ! grep -q 'GET /brisklet_9.9.9_amd64.deb' "$E2E_ROOT/http.log" || fail "remind later downloaded the package"
    ;;
*)
    fail "unknown case $CASE"
    ;;
esac
echo "PASS: $CASE"
