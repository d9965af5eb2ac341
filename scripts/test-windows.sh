#!/usr/bin/env bash
# Builds the logic and its tests as Windows programs with MinGW-w64
# (cmake/mingw-w64-x86_64.cmake) and runs them under Wine, in one process.
# The tests that stay on Linux are listed, with their reasons, in
# tests/CMakeLists.txt. Run by scripts/test.sh; on its own:
#   scripts/test-windows.sh [BUILD_DIR]      (default build-windows)
set -euo pipefail
shopt -s inherit_errexit
cd "$(dirname "$0")/.."
# A relative folder is taken from the repository root, an absolute one as it is.
BUILD=$(realpath -m -- "${1:-build-windows}")
JOBS=$(nproc 2>/dev/null || echo 2)
started=$(date +%s)

# Debian ships pugixml built for Linux only. Its Debian source package is
# fetched once into the build folder with apt-get, from the machine's Debian
# archive (apt checks it against the archive's signed index), through private
# lists that leave the machine's own apt setup alone.
pugixml_source() {
  local deps="$BUILD/deps"
  local found
  found=$(ls -d "$deps"/pugixml-*/src/pugixml.cpp 2>/dev/null | head -n 1 || true)
  if [ -z "$found" ]; then
    local apt="$deps/apt" codename uri
    mkdir -p "$apt/sources" "$apt/lists/partial" "$apt/cache/archives/partial"
    codename=$(. /etc/os-release && echo "${VERSION_CODENAME:-bookworm}")
    uri=$(grep -hE '^(URIs:|deb )' /etc/apt/sources.list /etc/apt/sources.list.d/*.sources \
            /etc/apt/sources.list.d/*.list 2>/dev/null | grep -oE 'https?://[^ ]+/debian/?( |$)' |
            head -n 1 | tr -d ' ' || true)
    : > "$apt/empty.list"
    cat > "$apt/sources/debian-src.sources" <<EOF
Types: deb-src
URIs: ${uri:-http://deb.debian.org/debian}
Suites: $codename
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg
EOF
    local opts=(-o "Dir::Etc::SourceList=$apt/empty.list" -o "Dir::Etc::SourceParts=$apt/sources"
                -o "Dir::State::Lists=$apt/lists" -o "Dir::Cache=$apt/cache"
                -o "APT::Sandbox::User=root" -qq)
    apt-get "${opts[@]}" update >&2
    (cd "$deps" && apt-get "${opts[@]}" source --download-only pugixml >&2)
    tar -xzf "$deps"/pugixml_*.orig.tar.gz -C "$deps"
    found=$(ls -d "$deps"/pugixml-*/src/pugixml.cpp | head -n 1)
  fi
  echo "${found%/src/pugixml.cpp}"
}

mkdir -p "$BUILD/deps"
PUGIXML=$(pugixml_source)
cmake -S . -B "$BUILD" -G Ninja --no-warn-unused-cli -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake -DTIDEWIRE_GUI=OFF \
  -DTIDEWIRE_PUGIXML_SOURCE="$PUGIXML" -DTIDEWIRE_GTEST_SOURCE=/usr/src/googletest >/dev/null
cmake --build "$BUILD" -j"$JOBS" --target tidewire_tests
built=$(date +%s)

# The first start makes the Wine prefix under the build folder (about 15 s).
log="$BUILD/windows-tests.log"
status=0
ctest --test-dir "$BUILD" -R '_windows$' --output-on-failure -V >"$log" 2>&1 || status=$?
grep -E '^\s*[0-9]+: \[|tests passed|FAILED|Failed' "$log" | sed -E 's/^[0-9]+: //' || true
WINEPREFIX="$BUILD/wine-prefix" /usr/lib/wine/wineserver -k 2>/dev/null || true
if [ "$status" -ne 0 ]; then
  cat "$log"
  exit "$status"
fi
ran=$(date +%s)

# The Qt layer cannot be built here (no Qt 6 for Windows): its sources, the
# Windows blocks included, are only parsed and type-checked by MinGW against
# Debian's Qt 6 headers, which are made for Linux.
qt=/usr/include/x86_64-linux-gnu/qt6
if [ -d "$qt/QtWidgets" ] && [ -d "$qt/QtSerialPort" ]; then
  find src -name '[A-Z]*.cpp' -o -name main.cpp | sort |
    xargs -P"$JOBS" -n 8 x86_64-w64-mingw32-g++-posix -std=c++20 -fsyntax-only -Wall -Wextra \
      -Wno-attributes -Isrc -I"$qt" -I"$qt/QtCore" -I"$qt/QtGui" -I"$qt/QtWidgets" -I"$qt/QtSerialPort" \
      -I"$qt/QtNetwork" -I"$qt/QtSvg"
  echo "Qt layer: $(find src -name '[A-Z]*.cpp' -o -name main.cpp | wc -l) files type-checked for Windows (not built)"
fi
checked=$(date +%s)

echo "Linux only ($(grep -c . "$BUILD/linux-only-tests.txt") entries, not run under Wine):"
sed 's/^/  /' "$BUILD/linux-only-tests.txt"
echo "Windows stage: $((built - started)) s to build, $((ran - built)) s under Wine," \
  "$((checked - ran)) s to check the Qt layer"
