#!/usr/bin/env bash
# Checks a built Debian package: every installed file is in it, its fields name the dependencies
# the libraries cannot, and the unpacked programs find each other and their data.
# Skipped (77) unless BRISKLET_PACKAGE_DEB names the .deb (scripts/package prints it).
set -euo pipefail

deb="${BRISKLET_PACKAGE_DEB:-}"
if [ -z "$deb" ]; then
    echo "SKIP: BRISKLET_PACKAGE_DEB does not name a package"
    exit 77
fi
[ -f "$deb" ] || { echo "FAIL: $deb does not exist" >&2; exit 1; }

failures=0
fail() {
    echo "FAIL: $*" >&2
    failures=$((failures + 1))
}

listing="$(dpkg-deb -c "$deb" | awk '{print $NF}' | sed 's|^\./|/|')"
expected=(
    /usr/bin/brisklet
    /usr/libexec/brisklet/brisklet-engine
    /usr/share/applications/com.brisklet.Brisklet.desktop
    /usr/share/metainfo/com.brisklet.Brisklet.metainfo.xml
    /usr/share/icons/hicolor/scalable/apps/brisklet.svg
    /usr/share/brisklet/autostart/brisklet.desktop
    /usr/share/brisklet/update-info.json
    /usr/share/man/man1/brisklet.1.gz
    /usr/share/doc/brisklet/copyright
    /usr/share/doc/brisklet/changelog.Debian.gz
)
for size in 16 22 24 32 48 64 128 256 512; do
    expected+=("/usr/share/icons/hicolor/${size}x${size}/apps/brisklet.png")
done
for language in en zh-Hans zh-Hant ja ko fr de es bo; do
    expected+=("/usr/share/brisklet/resources/$language.lproj/Localizable.strings")
done
for path in "${expected[@]}"; do
    grep -qxF "$path" <<<"$listing" || fail "$path is not in the package"
done

field() { dpkg-deb -f "$deb" "$1"; }
[ "$(field Package)" = brisklet ] || fail "the package is called $(field Package)"
[ "$(field Section)" = graphics ] || fail "the section is $(field Section)"
for dependency in at-spi2-core tesseract-ocr-eng tesseract-ocr-chi-sim xdg-utils pkexec qt6-qpa-plugins libdbus-1-3 'libc6 '; do
    grep -qF "$dependency" <<<"$(field Depends)" || fail "Depends lacks $dependency: $(field Depends)"
done
grep -qF apertium <<<"$(field Recommends)" || fail "Recommends lacks apertium"
[[ "$(basename "$deb")" == "brisklet_$(field Version)_$(field Architecture).deb" ]] ||
    fail "$(basename "$deb") is not named after its version and architecture"

root="$(mktemp -d)"
trap 'rm -rf "$root"' EXIT
dpkg-deb -x "$deb" "$root/unpacked"
usr="$root/unpacked/usr"

info="$(cat "$usr/share/brisklet/update-info.json")"
python3 - "$info" "$(field Architecture)" <<'PY' || fail "update-info.json is not what the updater reads: $info"
import json, sys
info = json.loads(sys.argv[1])
assert set(info) == {"BriskletUpdateRepository", "BriskletUpdateFeedURL", "BriskletUpdateAssetNameSuffix",
                     "CFBundleShortVersionString", "BriskletPackageName"}, info
assert info["BriskletUpdateAssetNameSuffix"] == "_" + sys.argv[2] + ".deb", info
assert info["BriskletPackageName"] == "brisklet", info
PY

for size in 16 48 512; do
    png="$usr/share/icons/hicolor/${size}x${size}/apps/brisklet.png"
    [ "$(python3 -c 'import struct,sys; d=open(sys.argv[1],"rb").read(24); print("%dx%d" % struct.unpack(">II", d[16:24]))' "$png")" = "${size}x${size}" ] ||
        fail "the ${size}x${size} icon has another size"
done
zcat "$usr/share/man/man1/brisklet.1.gz" | grep -q '^\.SH EXAMPLES' || fail "the man page has no examples"
grep -qx 'Exec="/usr/bin/brisklet"' "$usr/share/brisklet/autostart/brisklet.desktop" ||
    fail "the autostart template does not start /usr/bin/brisklet"

# The unpacked tree behaves as the installed one: brisklet hands the command to the engine in
# ../libexec/brisklet, and both read the texts from ../share/brisklet.
home="$root/home"
mkdir -p "$home"
run() { env -u DISPLAY HOME="$home" "$usr/bin/brisklet" --config-dir "$home/config" --data-dir "$home/data" "$@"; }
[ "$(run --version)" = "brisklet $(field Version | sed 's/-[^-]*$//')" ] || fail "brisklet --version says $(run --version)"
classified="$(echo "https://example.com" | run library classify 2>&1)" || true
grep -q '^kind=link' <<<"$classified" || fail "the engine did not answer library classify: $classified"
run --language ja --help | head -n 1 | grep -q '^使い方:' || fail "the installed texts are not found: $(run --language ja --help | head -n 1)"

if [ "$failures" -ne 0 ]; then
    echo "FAIL: $failures problems in $deb" >&2
    exit 1
fi
echo "PASS: $deb holds ${#expected[@]} expected files"
