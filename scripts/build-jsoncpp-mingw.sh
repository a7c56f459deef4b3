#!/usr/bin/env bash
# Builds JsonCpp for the Windows cross-build from Debian's source package (there is no MinGW
# package of it) and installs it as a static library under the given prefix. Does nothing when
# that prefix already holds it.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
prefix=$1
[ -f "$prefix/lib/cmake/jsoncpp/jsoncppConfig.cmake" ] && exit 0

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
apt-get source -qq libjsoncpp >/dev/null 2>&1
source_dir=$(find . -maxdepth 1 -type d -name 'libjsoncpp-*' | head -n 1)
[ -n "$source_dir" ] || { echo "kesto: could not unpack the libjsoncpp source package" >&2; exit 1; }

cmake -S "$source_dir" -B build -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64.cmake" \
    -DCMAKE_INSTALL_PREFIX="$prefix" \
    -DBUILD_SHARED_LIBS=OFF -DBUILD_STATIC_LIBS=ON -DBUILD_OBJECT_LIBS=OFF \
    -DJSONCPP_WITH_TESTS=OFF -DJSONCPP_WITH_POST_BUILD_UNITTEST=OFF \
    -DJSONCPP_WITH_PKGCONFIG_SUPPORT=OFF -DJSONCPP_WITH_EXAMPLE=OFF >/dev/null
cmake --build build >/dev/null
cmake --install build >/dev/null
