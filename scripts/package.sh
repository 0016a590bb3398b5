#!/usr/bin/env bash
# Builds the packages into dist/ with CPack: taspo_<version>_amd64.deb (the game, its data, desktop
# entry, icons, manual page, AppStream listing and licence; Depends from the libraries it links)
# and taspo-<version>-win32.zip (the 32-bit GUI taspo.exe cross-built with mingw-w64, button.bmp,
# README.txt and LICENSE.txt). Each from a release build of its own, without the tests.
# dist/SHA256SUMS lists both. The same commit gives the same bytes wherever and whenever it is
# built: every time recorded is the last commit's, no build folder is recorded, and the zip is
# rewritten in name order without the builder's user, time zone or permissions.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
source scripts/ensure-packages.sh
ensure_packages "${BUILD_PACKAGES[@]}" dpkg-dev g++-mingw-w64-i686-posix zip unzip
jobs=$(nproc)

if [ -z "${SOURCE_DATE_EPOCH:-}" ]; then
    SOURCE_DATE_EPOCH=$(git log -1 --format=%ct 2>/dev/null) || {
        echo "scripts/package.sh: $root is no git checkout; set SOURCE_DATE_EPOCH to the release's time" >&2
        exit 1
    }
fi
export SOURCE_DATE_EPOCH
umask 022

# package BUILD-DIR CONFIGURE-ARGS...: configures and builds the game there, runs CPack, and moves
# the package into dist/.
package() {
    local build=$1
    shift
    cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DTASPO_TESTS=OFF -DTASPO_REPRODUCIBLE=ON \
        "$@" >/dev/null
    cmake --build "$build" -j"$jobs"
    rm -rf "$build/cpack"
    (cd "$build" && cpack -B "$root/$build/cpack" >/dev/null)
    mv "$build"/cpack/taspo[-_]*.{deb,zip} dist/ 2>/dev/null || true
}

# normalize_zip ZIP: rewrites the zip CPack made. CPack adds the entries in the order the file
# system lists them and records the builder's user and local time; here every entry is dated
# SOURCE_DATE_EPOCH, in UTC, in name order, as 0644 (0755 for the program), with no extra fields.
normalize_zip() {
    local zip=$1 unpacked
    unpacked=$(mktemp -d)
    unzip -q "$zip" -d "$unpacked"
    find "$unpacked" -type f -exec chmod 0644 {} +
    find "$unpacked" -type f -name '*.exe' -exec chmod 0755 {} +
    find "$unpacked" -exec touch -h -d "@$SOURCE_DATE_EPOCH" {} +
    rm "$zip"
    (cd "$unpacked" && find . -type f -printf '%P\n' | LC_ALL=C sort | TZ=UTC0 zip -q -X -9 "$root/$zip" -@)
    rm -rf "$unpacked"
}

mkdir -p dist
rm -f dist/taspo[-_]*.deb dist/taspo[-_]*.zip dist/SHA256SUMS
package build/package-deb -DCMAKE_INSTALL_PREFIX=/usr
package build/package-win32 -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-i686.cmake"
for zip in dist/taspo-*.zip; do
    normalize_zip "$zip"
done
(cd dist && sha256sum taspo[-_]*.deb taspo[-_]*.zip >SHA256SUMS)
ls -l dist/
