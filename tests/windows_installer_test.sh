#!/usr/bin/env bash
# The Windows installer under Wine, in a private prefix, for the current user and then, with /ALLUSERS, for
# every user: a silent install puts the programs, the uninstaller and the Start menu entries where it says,
# registers .qmv49 files as the editor's, lists itself with the tool's version and puts the tool on the PATH
# when asked; the installed tool runs; the silent uninstall then leaves the prefix's files and registry as
# they were before.
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
fail() {
  echo "windows installer test: $*" >&2
  [ ! -s "$work/reg.err" ] || { echo "the last registry query's errors:" >&2; cat "$work/reg.err" >&2; }
  exit 1
}

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
  # The user's registry without its time stamps; of the machine's, where Wine keeps changing values of its
  # own, the keys and the PATH.
  grep -v -e '^#time=' -e '^;; All keys relative' "$WINEPREFIX/user.reg" | sed -E 's/^(\[.*\]) [0-9]+$/\1/' \
    >"$work/$1.user.reg"
  awk '/^\[/ { key = $0; sub(/\] [0-9]+$/, "]", key); print key; next }
       key ~ /Session Manager\\\\Environment\]$/ && tolower($0) ~ /^"path"=/' "$WINEPREFIX/system.reg" \
    >"$work/$1.system.reg"
}
windows_path() { run winepath -u "$1"; }

# On a loaded machine Wine once answered one query with nothing, between queries of the same install that
# found their values: a query that finds nothing is asked again twice, and what the last attempt printed on
# its error stream goes into the failure's message. A value that is really missing still fails.
value() {
  local answer attempt
  for attempt in 1 2 3; do
    answer=$({ "$wine" reg query "$1" "${@:2}" </dev/null 2>"$work/reg.err" || true; } | tr -d '\r' |
      sed -n 's/.*REG_[A-Z_]*SZ[[:space:]]*//p')
    [ -z "$answer" ] || break
    sleep 1
  done
  printf '%s\n' "$answer"
}

# One silent install and uninstall: for the user (HKCU) or, with /ALLUSERS, for the machine (HKLM).
try_install() { # root, programs folder, Start menu folder, environment key[, /ALLUSERS]
  local root=$1 folder="$2\\Quillet MIDI Control Center" start_menu=$3 environment=$4 all_users=${5:-}
  snapshot before
  # shellcheck disable=SC2086
  "$wine" "$installer" /S $all_users /ADDTOPATH </dev/null >/dev/null 2>&1 || fail "the silent install failed ($?)"
  settle
  local dir menu
  dir=$(windows_path "$folder")
  for file in quillet-editor.exe quillet-editor-emulated.exe quillet.exe uninstall.exe README.txt; do
    [ -f "$dir/$file" ] || fail "no $file in $dir"
  done
  menu=$(windows_path "$start_menu")
  for entry in "Quillet MIDI Control Center" "Quillet MIDI Control Center (try without a keyboard)"; do
    [ -f "$menu/$entry.lnk" ] || fail "no Start menu entry '$entry' in $start_menu"
  done

  # Windows reads the file types under $root\Software\Classes (Wine's assoc and ftype look at HKLM's alone).
  local classes="$root\\Software\\Classes" type opener icon path
  type=$(value "$classes\\.qmv49" /ve)
  [ -n "$type" ] || fail ".qmv49 files are not registered in $classes"
  opener=$(value "$classes\\$type\\shell\\open\\command" /ve)
  [ "$opener" = "\"$folder\\quillet-editor.exe\" \"%1\"" ] || fail ".qmv49 files open with '$opener'"
  icon=$(value "$classes\\$type\\DefaultIcon" /ve)
  [ "$icon" = "$folder\\quillet-editor.exe,0" ] || fail ".qmv49 files are shown with the icon '$icon'"
  path=$(value "$root\\$environment" /v Path)
  [[ ";$path;" == *";$folder;"* ]] || fail "the tool is not on the PATH in $root: '$path'"

  # The installed tool runs, and the installer carries its version.
  local tool_version uninstall_key listed uninstaller
  tool_version=$(run "$dir/quillet.exe" --version || true)
  uninstall_key="$root\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Quillet MIDI Control Center"
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
  for hive in user system; do
    diff "$work/before.$hive.reg" "$work/after.$hive.reg" >&2 || fail "the uninstall left the $hive registry changed"
  done
  echo "windows installer test: ${all_users:-/CURRENTUSER}: installed, registered, ran '$tool_version'," \
    "uninstalled without a trace"
}

try_install HKCU "$(run cmd /c echo %LOCALAPPDATA%)\\Programs" \
  "$(run cmd /c echo %APPDATA%)\\Microsoft\\Windows\\Start Menu\\Programs" Environment
try_install HKLM "$(run cmd /c echo %ProgramFiles%)" \
  "$(run cmd /c echo %ProgramData%)\\Microsoft\\Windows\\Start Menu\\Programs" \
  'SYSTEM\\CurrentControlSet\\Control\\Session Manager\\Environment' /ALLUSERS
echo "windows installer test: $(du -k "$installer" | cut -f1) KB installer"
