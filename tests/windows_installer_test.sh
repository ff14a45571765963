#!/usr/bin/env bash
# The Windows installer under Wine, in a private prefix: a silent install for the current user puts the
# programs, the uninstaller and the Start menu entries where it says, registers .qmv49 files as the editor's,
# lists itself with the tool's version and puts the tool on the PATH when asked; the installed tool runs; the silent uninstall then leaves the prefix's files and the
# user's registry as they were before.
set -euo pipefail

installer=${1:?usage: windows_installer_test.sh INSTALLER WINE}
wine=${2:?usage: windows_installer_test.sh INSTALLER WINE}
wineserver="$(dirname "$wine")/wineserver"
work=$(mktemp -d)
warm=${WINEPREFIX:-}
# Without Wine's menu builder, which would copy the Start menu entries into this machine's desktop menu.
export WINEPREFIX="$work/prefix" WINEDEBUG=-all WINEDLLOVERRIDES="winemenubuilder.exe=d"
cleanup() { "$wineserver" -k 2>/dev/null || true; rm -rf "$work"; }
trap cleanup EXIT
fail() { echo "windows installer test: $*" >&2; exit 1; }

# A copy of the build's prefix when there is one (a new prefix takes a minute to make), else a new one.
if [ -n "$warm" ] && [ -f "$warm/system.reg" ]; then
  cp -a "$warm" "$WINEPREFIX"
else
  "$wine" wineboot -i >/dev/null 2>&1 </dev/null || true
fi
run() { "$wine" "$@" </dev/null 2>/dev/null | tr -d '\r'; }
# Everything the prefix holds, once its server has written the registry out.
settle() { "$wineserver" -w; }
snapshot() {
  settle
  # The uninstaller runs from a copy of itself in the user's temporary folder, which it cannot delete while
  # it runs (NSIS's way): the temporary folder's cleaning takes it.
  (cd "$WINEPREFIX/drive_c" && find . -not -path './users/*/Temp/~nsu*.tmp*' | sort) >"$work/$1.files"
  # The user's registry without its time stamps.
  grep -v -e '^#time=' -e '^;; All keys relative' "$WINEPREFIX/user.reg" | sed -E 's/^(\[.*\]) [0-9]+$/\1/' \
    >"$work/$1.reg"
}
windows_path() { run winepath -u "$1"; }

local_app_data=$(run cmd /c echo %LOCALAPPDATA%)
start_menu=$(run cmd /c echo %APPDATA%)'\Microsoft\Windows\Start Menu\Programs'
snapshot before

"$wine" "$installer" /S /ADDTOPATH </dev/null >/dev/null 2>&1 || fail "the silent install failed ($?)"
settle
folder="$local_app_data\\Programs\\Quillet MIDI Control Center"
dir=$(windows_path "$folder")
for file in quillet-editor.exe quillet-editor-emulated.exe quillet.exe uninstall.exe README.txt; do
  [ -f "$dir/$file" ] || fail "no $file in $dir"
done
menu=$(windows_path "$start_menu")
for entry in "Quillet MIDI Control Center" "Quillet MIDI Control Center (try without a keyboard)"; do
  [ -f "$menu/$entry.lnk" ] || fail "no Start menu entry '$entry'"
done

# Windows reads the user's file types under HKCU\Software\Classes (Wine's assoc and ftype do not look there).
classes='HKCU\Software\Classes'
value() { { run reg query "$1" "${@:2}" || true; } | sed -n 's/.*REG_[A-Z_]*SZ[[:space:]]*//p'; }
type=$(value "$classes\\.qmv49" /ve)
[ -n "$type" ] || fail ".qmv49 files are not registered"
opener=$(value "$classes\\$type\\shell\\open\\command" /ve)
[ "$opener" = "\"$folder\\quillet-editor.exe\" \"%1\"" ] || fail ".qmv49 files open with '$opener'"
icon=$(value "$classes\\$type\\DefaultIcon" /ve)
[ "$icon" = "$folder\\quillet-editor.exe,0" ] || fail ".qmv49 files are shown with the icon '$icon'"
path=$(value 'HKCU\Environment' /v Path)
[[ ";$path;" == *";$folder;"* ]] || fail "the tool is not on the user's PATH: '$path'"

# The installed tool runs, and the installer carries its version.
tool_version=$(run "$dir/quillet.exe" --version || true)
uninstall_key='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Quillet MIDI Control Center'
listed=$(value "$uninstall_key" /v DisplayVersion)
uninstaller=$(value "$uninstall_key" /v UninstallString)
[ "$uninstaller" = "\"$folder\\uninstall.exe\"" ] || fail "Apps & features would uninstall with '$uninstaller'"
[ -n "$listed" ] && [ "$tool_version" = "quillet $listed" ] ||
  fail "the installed tool says '$tool_version', the installer lists version '$listed'"
run "$dir/quillet.exe" defaults 'C:\factory.qmv49' >/dev/null
run "$dir/quillet.exe" check 'C:\factory.qmv49' >/dev/null || fail "the installed tool's factory file does not check"
rm -f "$WINEPREFIX/drive_c/factory.qmv49"

"$wine" "$dir/uninstall.exe" /S </dev/null >/dev/null 2>&1 || fail "the silent uninstall failed ($?)"
snapshot after
diff "$work/before.files" "$work/after.files" >&2 || fail "the uninstall left files behind or took some away"
diff "$work/before.reg" "$work/after.reg" >&2 || fail "the uninstall left the user's registry changed"
echo "windows installer test: $(du -k "$installer" | cut -f1) KB installer; installed, registered, ran" \
  "'$tool_version' and uninstalled without a trace"
