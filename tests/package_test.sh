#!/usr/bin/env bash
# The Debian package, made as `cmake --build BUILD --target package` makes it: lintian finds no error and no
# warning that the package does not explain; the AppStream description validates; the version is the
# tool's; the dependencies name the package of every library the programs link; installed into a throw-away
# root with dpkg, it holds exactly the files a user's system needs, the installed editors open their windows
# under a virtual X server and the installed tool writes the factory file byte for byte as the build's does;
# purged, it leaves nothing behind.
set -euo pipefail

build=$(realpath "${1:?usage: package_test.sh BUILD_DIR}")
if [ -z "${DISPLAY:-}" ] && [ -z "${QUILLET_SCREEN_INNER:-}" ]; then
  export QUILLET_SCREEN_INNER=1
  # -noreset: an editor quitting as the last client would otherwise reset the server just as the next
  # one connects.
  # Its own first server number: two tests that start xvfb-run -a at one moment may both take the first
  # free one, and the second then runs on the first's server.
  exec xvfb-run -a -n 141 -s "-noreset -screen 0 1280x800x24" "$0" "$@"
fi

work=$(mktemp -d)
pids=()
cleanup() { for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done; rm -rf "$work"; }
trap cleanup EXIT
fail() { echo "package test: $*" >&2; exit 1; }

(cd "$build" && cpack -G DEB -B "$work/out") >"$work/cpack.log" 2>&1 || { cat "$work/cpack.log" >&2; fail "cpack failed"; }
deb=$(ls "$work"/out/*.deb)
echo "package test: $(basename "$deb"), $(du -k "$deb" | cut -f1) KB"

echo "lintian:"
lintian --fail-on error,warning --display-info "$deb" || fail "lintian finds fault with the package"

version=$("$build/quillet" --version | cut -d' ' -f2)
[[ "$(dpkg-deb -f "$deb" Version)" == "$version-"* ]] || fail "the package's version $(dpkg-deb -f "$deb" Version) is not $version"
depends=$(dpkg-deb -f "$deb" Depends)

root="$work/root"
mkdir -p "$root/var/lib/dpkg/info" "$root/var/lib/dpkg/updates"
touch "$root/var/lib/dpkg/status"
# The throw-away root has no other packages: the dependencies are checked below instead.
dpkg --root="$root" --force-not-root --force-depends --log=/dev/null -i "$deb" >"$work/dpkg.log" 2>&1 ||
  { cat "$work/dpkg.log" >&2; fail "dpkg cannot install the package"; }

# What a desktop system needs of the editor, and nothing else.
expected="usr/bin/quillet
usr/bin/quillet-editor
usr/bin/quillet-editor-emulated
usr/share/applications/quillet-editor.desktop
usr/share/applications/quillet-editor-emulated.desktop
usr/share/doc/quillet-editor/changelog.Debian.gz
usr/share/doc/quillet-editor/changelog.gz
usr/share/doc/quillet-editor/copyright
usr/share/lintian/overrides/quillet-editor
usr/share/icons/hicolor/scalable/apps/quillet-editor.svg
usr/share/man/man1/quillet-editor-emulated.1.gz
usr/share/man/man1/quillet-editor.1.gz
usr/share/man/man1/quillet.1.gz
usr/share/metainfo/com.morvane.quillet.metainfo.xml
usr/share/mime/packages/quillet-editor.xml"
for size in 16 24 32 48 64 128 256; do
  expected+=$'\n'"usr/share/icons/hicolor/${size}x${size}/apps/quillet-editor.png"
  [ "$(identify -format '%wx%h' "$root/usr/share/icons/hicolor/${size}x${size}/apps/quillet-editor.png")" = \
    "${size}x${size}" ] || fail "the ${size}x${size} icon is not of that size"
done
installed=$(cd "$root" && find . \( -type f -o -type l \) -not -path './var/lib/dpkg/*' | sed 's|^\./||' | sort)
diff <(sort <<<"$expected") <(echo "$installed") >&2 || fail "the package holds other files than expected (> extra, < missing)"

for program in quillet quillet-editor quillet-editor-emulated; do
  # Each library a program links comes from a package that the package depends on.
  resolved=$(ldd "$root/usr/bin/$program")
  for library in $(readelf -d "$root/usr/bin/$program" | sed -n 's/.*(NEEDED).*\[\(.*\)\]/\1/p'); do
    path=$(awk -v l="$library" '$1 == l { print $3 }' <<<"$resolved")
    # With /lib a link to /usr/lib, dpkg knows a library under the one its package names.
    owner=$({ dpkg -S "$path" || dpkg -S "${path#/usr}" || dpkg -S "/usr$path"; } 2>/dev/null | head -n 1 | cut -d: -f1)
    [ -n "$owner" ] || fail "no package holds $library ($path), which $program links"
    [[ ", $depends," == *", $owner "* || ", $depends," == *", $owner,"* ]] ||
      fail "$program links $library of $owner, which the package does not depend on: $depends"
  done
done

metainfo="$root/usr/share/metainfo/com.morvane.quillet.metainfo.xml"
# The description, and the menu entry it names, as a software centre reads them from the installed tree.
appstreamcli validate-tree --no-net "$root" || fail "the AppStream description does not validate"
grep -q "<release version=\"$version\"" "$metainfo" || fail "the AppStream description does not name version $version"
for entry in quillet-editor quillet-editor-emulated; do
  desktop-file-validate "$root/usr/share/applications/$entry.desktop" || fail "$entry.desktop does not validate"
  [ "$(sed -n 's/^Exec=\([^ ]*\).*/\1/p' "$root/usr/share/applications/$entry.desktop")" = "/usr/bin/$entry" ] ||
    fail "$entry.desktop does not start /usr/bin/$entry"
done
type=$(sed -n 's/^MimeType=\(.*\);$/\1/p' "$root/usr/share/applications/quillet-editor.desktop")
grep -q "<mediatype>$type</mediatype>" "$metainfo" || fail "the AppStream description does not name the type $type"
grep -q "type=\"$type\"" "$root/usr/share/mime/packages/quillet-editor.xml" || fail "the MIME package lacks $type"
grep -q "Try without a keyboard\|try without a keyboard" "$root/usr/share/applications/quillet-editor-emulated.desktop" ||
  fail "the emulated editor's menu entry does not say it is for trying without a keyboard"

"$root/usr/bin/quillet" defaults "$work/installed.qmv49"
"$build/quillet" defaults "$work/built.qmv49"
cmp "$work/installed.qmv49" "$work/built.qmv49" || fail "the installed tool's factory file differs from the build's"

screen_search_options=--onlyvisible
# shellcheck source=screen_helpers.sh
source "$(dirname "$0")/screen_helpers.sh"
title="Morvane - The Quillet MIDI Control Center"
for program in quillet-editor quillet-editor-emulated; do
  "$root/usr/bin/$program" >"$work/$program.log" 2>&1 </dev/null &
  pid=$!
  pids+=("$pid")
  # A machine busy with the other tests can be slow to show a window.
  find_window "^$title" 90 "$pid" >/dev/null || { cat "$work/$program.log" >&2; fail "the installed $program shows no window"; }
  kill -INT "$pid"
  wait "$pid" || true
done

dpkg --root="$root" --force-not-root --log=/dev/null --purge quillet-editor >"$work/dpkg.log" 2>&1 ||
  { cat "$work/dpkg.log" >&2; fail "dpkg cannot purge the package"; }
left=$(cd "$root" && find . -mindepth 1 -not -path './var' -not -path './var/lib' -not -path './var/lib/dpkg*')
[ -z "$left" ] || fail "the purge left behind: $left"
grep -q "^Package: quillet-editor" "$root/var/lib/dpkg/status" &&
  ! grep -A3 "^Package: quillet-editor" "$root/var/lib/dpkg/status" | grep -q "^Status: .* not-installed" &&
  fail "dpkg still knows the package after the purge"
echo "package test: lintian clean, $(wc -l <<<"$installed") files installed, editors started, factory file identical, purged"
