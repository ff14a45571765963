#!/usr/bin/env bash
# Installs the Debian packages the build, the tests and the editor need, with those that make and check the
# Debian package (dpkg-dev, which apt-get also unpacks sources with; file; lintian; appstream; groff-base for
# the manual page; libxml2-utils, whose xmllint checks the MIDI Name Documents); with --windows also those
# of the Windows cross build, its installer and its tests under Wine (scripts/windows-test.sh).
# Idempotent: packages already present are left alone.
set -euo pipefail

packages=(
  cmake ninja-build g++ pkg-config ccache git
  juce-modules-source
  libx11-dev libxext-dev libxrandr-dev libxinerama-dev libxcursor-dev libxrender-dev
  libfreetype-dev libpng-dev libjpeg-dev zlib1g-dev libasound2-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  fontconfig-config fonts-dejavu-core
  clang clang-format libclang-rt-14-dev
  xvfb xauth x11-utils x11-apps xdotool imagemagick openbox
  zenity
  desktop-file-utils xdg-utils shared-mime-info libfile-mimeinfo-perl binutils
  dpkg-dev file lintian appstream groff-base
  libxml2-utils python3
)
case "${1:-}" in
  "") ;;
  # MinGW-w64 with POSIX threads, its zlib, Wine, GoogleTest's sources (built for the target) and
  # NSIS, which makes the installer.
  --windows) packages+=(g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix libz-mingw-w64-dev wine64 googletest
    nsis) ;;
  *) echo "usage: $0 [--windows]" >&2; exit 64 ;;
esac

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

echo "install-deps.sh: installing ${#missing[@]} missing Debian packages (the first time about 250 with what" \
  "they pull in: a few minutes, depending on the network)"
SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update
$SUDO apt-get install -y --no-install-recommends "${missing[@]}"
