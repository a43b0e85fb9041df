#!/usr/bin/env bash
# The tray application end to end: start, second start, actions, SIGTERM, the autostart entry.
# Usage: app-lifecycle.sh BRISKLET CASE
BRISKLET="$1"
CASE="$2"
source "$(dirname "$0")/harness.sh"

fail() { echo "FAIL: $*" >&2; exit 1; }

case "$CASE" in
start)
    e2e_start_app
    grep -qF "log file: $E2E_LOG" "$E2E_LOG" || fail "the start line does not name the log file"
    kill -0 "$E2E_BRISKLET_PID" || fail "the application ended by itself"
    ;;
second-start)
    e2e_start_app
    timeout 10 "$BRISKLET" --config-dir "$XDG_CONFIG_HOME" --data-dir "$XDG_DATA_HOME" \
        || fail "the second start exited with $?"
    e2e_wait_for_log "second start handed over arguments="
    kill -0 "$E2E_BRISKLET_PID" || fail "the first instance ended"
    e2e_brisklet action stopActiveOperation || fail "the first instance no longer answers"
    ;;
action)
    e2e_start_app
    timeout 10 "$BRISKLET" --config-dir "$XDG_CONFIG_HOME" --data-dir "$XDG_DATA_HOME" action screenshot \
        || fail "brisklet action screenshot exited with $?"
    e2e_wait_for_log "command channel action name=screenshot" 5
    e2e_wait_for_log "selection overlay show" 5
    # A running instance gets the action from the front end alone: a copy with no engine beside
    # it still delivers, silently.
    mkdir -p "$E2E_ROOT/bare"
    cp "$BRISKLET" "$E2E_ROOT/bare/brisklet"
    bare=("$E2E_ROOT/bare/brisklet" --config-dir "$XDG_CONFIG_HOME" --data-dir "$XDG_DATA_HOME")
    out="$(timeout 10 "${bare[@]}" action stopActiveOperation 2>&1)" \
        || fail "without the engine, a delivered action exited with $?: $out"
    [ -z "$out" ] || fail "a delivered action printed: $out"
    e2e_wait_for_log "command channel action name=stopActiveOperation" 5
    # What the instance does not run is the engine's to answer.
    set +e
    timeout 10 "${bare[@]}" action noSuchAction 2>"$E2E_ROOT/err"
    status=$?
    set -e
    [ "$status" -eq 1 ] && grep -q "brisklet-engine is missing" "$E2E_ROOT/err" \
        || fail "an unknown action was not handed to the engine (status $status)"
    set +e
    e2e_brisklet action noSuchAction 2>"$E2E_ROOT/err"
    status=$?
    set -e
    [ "$status" -eq 2 ] || fail "an unknown action exited with $status"
    grep -q "unknown action 'noSuchAction'" "$E2E_ROOT/err" || fail "the engine's usage error is missing"
    grep -q "screenshot" "$E2E_ROOT/err" || fail "the usage error does not list the names"
    # An instance that does not answer: the front end gives up after the engine's 5 s and does not
    # send the action a second time, which the instance would run once it catches up.
    kill -STOP "$E2E_BRISKLET_PID"
    set +e
    timeout 20 "$BRISKLET" --config-dir "$XDG_CONFIG_HOME" --data-dir "$XDG_DATA_HOME" action reloadPreferences \
        2>"$E2E_ROOT/err"
    status=$?
    set -e
    kill -CONT "$E2E_BRISKLET_PID"
    [ "$status" -eq 1 ] || fail "an action to a stopped instance exited with $status"
    grep -q "did not answer" "$E2E_ROOT/err" || fail "an unanswered action is not explained"
    # A call made after the instance resumed is answered after every call queued before it.
    e2e_brisklet action stopActiveOperation || fail "the resumed instance does not answer"
    runs="$(grep -c "command channel action name=reloadPreferences" "$E2E_LOG" || true)"
    [ "$runs" -eq 1 ] || fail "the unanswered action ran $runs times"
    ;;
action-starts-app)
    # With no instance to take it, the front end hands the action to the engine.
    mkdir -p "$E2E_ROOT/bare"
    cp "$BRISKLET" "$E2E_ROOT/bare/brisklet"
    set +e
    timeout 10 "$E2E_ROOT/bare/brisklet" --config-dir "$XDG_CONFIG_HOME" --data-dir "$XDG_DATA_HOME" \
        action openSettings 2>"$E2E_ROOT/err"
    status=$?
    set -e
    [ "$status" -eq 1 ] && grep -q "brisklet-engine is missing" "$E2E_ROOT/err" \
        || fail "with no instance, the action was not handed to the engine (status $status)"
    timeout 30 "$BRISKLET" --config-dir "$XDG_CONFIG_HOME" --data-dir "$XDG_DATA_HOME" action openSettings \
        || fail "brisklet action with no instance exited with $?"
    e2e_wait_for_log "command channel action name=openSettings" 5
    pid="$(pgrep -f -- "--config-dir $XDG_CONFIG_HOME --data-dir $XDG_DATA_HOME$" | head -1)"
    [ -n "$pid" ] || fail "no application instance runs"
    E2E_BRISKLET_ALL+=("$pid")
    e2e_brisklet action quit
    e2e_wait_for_exit "$pid" 10
    ;;
sigterm)
    e2e_start_app
    kill -TERM "$E2E_BRISKLET_PID"
    e2e_wait_for_exit "$E2E_BRISKLET_PID" 10
    wait "$E2E_BRISKLET_PID" && status=0 || status=$?
    [ "$status" -eq 0 ] || fail "SIGTERM ended the application with $status"
    e2e_wait_for_log "applicationWillTerminate" 1
    e2e_wait_for_log "tearDown" 1
    ! pgrep -f -- "--config-dir $XDG_CONFIG_HOME" >/dev/null || fail "a brisklet process is left"
    E2E_BRISKLET_PID=""
    ;;
autostart)
    entry="$XDG_CONFIG_HOME/autostart/brisklet.desktop"
    e2e_start_app
    [ -f "$entry" ] || fail "no autostart entry with the default preference"
    grep -q '^Exec=".*/brisklet"$' "$entry" || fail "the entry does not start brisklet"
    e2e_brisklet prefs show | sed 's/"launchAtLoginEnabled": true/"launchAtLoginEnabled": false/' >"$E2E_ROOT/off.json"
    e2e_brisklet prefs import "$E2E_ROOT/off.json"
    e2e_brisklet action reloadPreferences
    e2e_wait_for_log "preferences reloaded changed=true" 5
    [ ! -e "$entry" ] || fail "the entry stayed after switching launch at login off"
    # An entry someone else wrote is never taken over.
    mkdir -p "$(dirname "$entry")"
    printf '[Desktop Entry]\nType=Application\nName=Mine\nExec=mine\n' >"$entry"
    e2e_brisklet prefs show | sed 's/"launchAtLoginEnabled": false/"launchAtLoginEnabled": true/' >"$E2E_ROOT/on.json"
    e2e_brisklet prefs import "$E2E_ROOT/on.json"
    e2e_brisklet action reloadPreferences
    e2e_wait_for_log "launch at login sync failed enabled=true" 5
    grep -q "Name=Mine" "$entry" || fail "a foreign autostart entry was overwritten"
    ;;
*)
    fail "unknown case $CASE"
    ;;
esac
echo "PASS: $CASE"
