#!/usr/bin/env bash
# Builds the packages into dist/ with CPack: taspo_<version>_amd64.deb (the game, its data, desktop
# entry, icons and manual page; Depends from the libraries it links) and
# taspo-<version>-win32.zip (the 32-bit GUI taspo.exe cross-built with mingw-w64, button.bmp and a
# README.txt). Each from a release build of its own, without the tests.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
source scripts/ensure-packages.sh
ensure_packages "${BUILD_PACKAGES[@]}" dpkg-dev g++-mingw-w64-i686-posix
jobs=$(nproc)

# package BUILD-DIR CONFIGURE-ARGS...: configures and builds the game there, runs CPack, and moves
# the package into dist/.
package() {
    local build=$1
    shift
    cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DTASPO_TESTS=OFF "$@" >/dev/null
    cmake --build "$build" -j"$jobs"
    rm -rf "$build/cpack"
    (cd "$build" && cpack -B "$root/$build/cpack" >/dev/null)
    mv "$build"/cpack/taspo[-_]*.{deb,zip} dist/ 2>/dev/null || true
}

mkdir -p dist
rm -f dist/taspo[-_]*.deb dist/taspo[-_]*.zip
package build/package-deb -DCMAKE_INSTALL_PREFIX=/usr
package build/package-win32 -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-i686.cmake"
ls -l dist/
