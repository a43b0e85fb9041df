#!/usr/bin/env bash
# End to end: the brisklet binary on a fresh home, then with a damaged defaults file.
set -euo pipefail
brisklet="$1"
home=$(mktemp -d)
trap 'rm -rf "$home"' EXIT
run() { HOME="$home" XDG_CONFIG_HOME= XDG_DATA_HOME= "$brisklet" "$@"; }
fail() { echo "FAIL: $*" >&2; exit 1; }

# A new home prints the defaults and writes nothing.
run prefs show > "$home/show.json"
grep -q '"exportDirectory": "'"$home"'/Pictures/Brisklet"' "$home/show.json" || fail "default export directory"
grep -q '"gifFPS": 20.0' "$home/show.json" || fail "default frame rate"
[ ! -e "$home/.config/Brisklet/defaults.json" ] || fail "show wrote a defaults file"

# Import, then a hand-damaged defaults file: still the defaults, the damaged file kept aside and logged.
echo '{"gifFPS": 30, "appLanguage": "de"}' > "$home/mine.json"
run prefs import "$home/mine.json" > /dev/null
run prefs show | grep -q '"appLanguage": "de"' || fail "import not applied"
printf '{"brisklet.preferences": {"data": "{}"' > "$home/.config/Brisklet/defaults.json"
run prefs show > "$home/show2.json" 2> "$home/err.txt"
cmp -s <(grep -v exportDirectory "$home/show.json") <(grep -v exportDirectory "$home/show2.json") || fail "not the defaults after damage"
grep -q "defaults file unreadable" "$home/err.txt" || fail "damage not reported"
ls "$home/.config/Brisklet/" | grep -q '^defaults.json.corrupt-' || fail "damaged file not kept aside"
grep -q "defaults file unreadable" "$home/.local/share/Brisklet/Logs/latest.log" || fail "damage not logged"

# Exports never overwrite; unusable imports change nothing.
run prefs export "$home/backup.json" > /dev/null
if run prefs export "$home/backup.json" 2> /dev/null; then fail "export overwrote"; fi
echo '{"appLanguage": "xx"}' > "$home/bad.json"
if run prefs import "$home/bad.json" 2> /dev/null; then fail "bad import accepted"; fi
echo "ok"
