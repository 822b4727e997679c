#!/usr/bin/env bash
# Installs every Debian 12 package Sorvane needs to build, run and test.
# Safe to run again: it does nothing when everything is already there.
set -euo pipefail

packages=(
    # build
    cmake ninja-build g++ pkg-config dpkg-dev
    # libraries
    qt6-base-dev qt6-svg-dev libqt6svg6 libmpv-dev libcurl4-openssl-dev ca-certificates
    libcpp-httplib-dev libx11-dev libxtst-dev libxext-dev libgl-dev libxcb-shape0-dev
    # runtime: fonts for Chinese text, X11 plugin deps
    fonts-noto-cjk libxcb-cursor0
    # demo catalogue: songs are synthesised and encoded at build time
    lame
    # tests: GoogleTest, Google Benchmark, a QR decoder as oracle, a headless X server
    # with a session bus, XTest key presses, a compositor for screenshots
    libgtest-dev libgmock-dev libbenchmark-dev zbar-tools xvfb xauth dbus dbus-x11 xdotool
    xcompmgr x11-apps imagemagick
    # scripts/measure.sh: its driver and the mpv command line it compares against
    python3 mpv
    # fuzzing and sanitizers
    clang-14 libclang-rt-14-dev
)

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q '^install ok installed$' || missing+=("$p")
done
if [ ${#missing[@]} -eq 0 ]; then
    exit 0
fi

SUDO=
[ "$(id -u)" -eq 0 ] || SUDO=sudo
echo "Installing: ${missing[*]}"
$SUDO env DEBIAN_FRONTEND=noninteractive apt-get update -qq
$SUDO env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}"
