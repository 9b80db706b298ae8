#!/usr/bin/env bash
# Installs everything the build and the tests need from Debian 12's own archive.
# Safe to run again: apt-get skips what is already there.
set -euo pipefail

packages=(
  # toolchain and build
  build-essential cmake ninja-build pkg-config
  # tests of the core and the program
  googletest libgtest-dev libgmock-dev libbenchmark-dev valgrind
  # Linux back end
  qt6-base-dev qt6-qpa-plugins libgl-dev
  # real windows for the back-end tests: a virtual X server, a window manager that draws frames,
  # and a CJK font so the captions draw as characters instead of boxes
  xvfb openbox x11-utils xdotool fonts-wqy-microhei
  # Windows back end: cross compiler and the Wine that runs its tests
  g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 mingw-w64-tools wine wine64
  # Wine's own fonts (Tahoma, Marlett for the title-bar boxes), and a locale other than Chinese
  # for the Windows tests to run under
  fonts-wine locales
  # screenshots
  imagemagick
)

sudo=""
if [ "$(id -u)" -ne 0 ]; then sudo="sudo"; fi

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done

if [ "${#missing[@]}" -gt 0 ]; then
  export DEBIAN_FRONTEND=noninteractive
  $sudo apt-get update -qq
  $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

# The Windows tests run Wine under en_US.UTF-8 too: generate that locale if it is not there yet.
if ! locale -a 2>/dev/null | grep -qi '^en_US\.utf-\?8$'; then
  $sudo sed -i 's/^# *\(en_US\.UTF-8 UTF-8\)/\1/' /etc/locale.gen
  grep -q '^en_US\.UTF-8 UTF-8' /etc/locale.gen || echo 'en_US.UTF-8 UTF-8' | $sudo tee -a /etc/locale.gen >/dev/null
  $sudo locale-gen >/dev/null
fi
