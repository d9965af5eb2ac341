#!/usr/bin/env bash
# Installs the Debian packages Tidewire needs to build, run and test.
# Quick when everything is there already.
set -euo pipefail

PACKAGES=(
  cmake ninja-build g++ pkg-config
  qt6-base-dev qt6-serialport-dev qt6-qpa-plugins libxcb1-dev
  qt6-svg-dev  # "Save Image..." as SVG (QSvgGenerator)
  libgtest-dev libgmock-dev libbenchmark-dev libpugixml-dev
  xvfb xauth socat fonts-dejavu-core locales
  clang-14 libclang-rt-14-dev python3 strace
  dpkg-dev  # dpkg-shlibdeps: the Debian package's dependencies
  gpsd  # a real reader of the UDP broadcast (tests/udp/UdpGpsdTest.cpp)
  help2man  # the manual page, made from tidewire --help
  # scripts/compare-screens.sh
  faketime imagemagick xdotool x11-utils
  # The Windows build of the logic and its tests (scripts/test-windows.sh).
  g++-mingw-w64-x86-64-posix wine64 googletest
)

missing=()
for p in "${PACKAGES[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
SUDO=""
[ "$(id -u)" -ne 0 ] && SUDO="sudo"
# "env" keeps the setting across sudo, which resets the environment.
$SUDO env DEBIAN_FRONTEND=noninteractive apt-get update -qq
$SUDO env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "${missing[@]}"
