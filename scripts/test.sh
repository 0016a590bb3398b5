#!/usr/bin/env bash
# Installs what is missing and runs every leg of the tests, each a CMake workflow preset
# (configure, build, CTest) that leaves one JUnit file in its build tree:
#   dev        the sanitized build: unit, game, soak, window (Xvfb) and hostile tests
#   shuffle    the dev build's unit and game programs whole, shuffled and repeated three times
#   windows    the 32-bit Windows build: its PE file, and under Wine its tests and the game; where
#              32-bit Wine cannot run, windows64 (the 64-bit build under 64-bit Wine) follows it
#   linux32    the engine's tests as 32-bit Linux programs, natively or under qemu-i386
#   web        the engine's tests as wasm32 under node, and the game in headless Chromium
#   checks     shellcheck, clang-tidy and the packages
# `scripts/test.sh` runs them all, `scripts/test.sh LEG...` only those. The closing line sums the
# JUnit files; the exit code is non-zero when anything failed or a leg left no JUnit file.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/ensure-packages.sh
export CMAKE_BUILD_PARALLEL_LEVEL=${CMAKE_BUILD_PARALLEL_LEVEL:-$(nproc)}

# install LEG: what the leg needs, beyond what every leg needs. It runs where `set -e` does not
# stop it (a leg that cannot be set up must not stop the others), so each step is chained.
install() {
    case $1 in
        dev | shuffle) ensure_packages libgtest-dev xvfb xauth xdotool libx11-dev libxml2-utils ;;
        windows)
            # 32-bit Wine runs the 32-bit build; without it windows64 runs the programs.
            ensure_packages g++-mingw-w64-i686-posix wine wine64 xvfb xauth xdotool libx11-dev &&
                ensure_optional_packages wine32:i386
            ;;
        windows64) ensure_packages g++-mingw-w64-x86-64-posix wine64 xvfb xauth xdotool libx11-dev ;;
        linux32)
            ensure_packages g++-multilib && { runs_32bit_code || ensure_packages qemu-user; }
            ;;
        web)
            # A machine without node gets Debian's (18 on Debian 12), which the browser checks run on.
            { command -v node >/dev/null || ensure_packages nodejs npm; } || return 1
            local node_major
            node_major=$(node --version 2>/dev/null | sed -n 's/^v\([0-9]*\)\..*/\1/p')
            if [ "${node_major:-0}" -lt 18 ]; then
                echo "test: the browser checks need node 18 or later on PATH (found ${node_major:-none})" >&2
                return 1
            fi
            ensure_packages "${WEB_PACKAGES[@]}" chromium &&
                PLAYWRIGHT_SKIP_BROWSER_DOWNLOAD=1 npm ci --no-audit --no-fund --silent
            ;;
        checks)
            ensure_packages shellcheck clang-tidy libx11-dev xvfb xauth dpkg-dev lintian \
                desktop-file-utils man-db groff-base g++-mingw-w64-i686-posix unzip zip \
                appstream python3-debian
            ;;
        *) echo "test: unknown leg $1" >&2 && return 1 ;;
    esac
}

legs=("$@")
[ ${#legs[@]} -gt 0 ] || legs=(dev shuffle windows linux32 web checks)
ensure_packages "${BUILD_PACKAGES[@]}" googletest python3
status=0
junit=()
for ((i = 0; i < ${#legs[@]}; i++)); do
    leg=${legs[i]}
    echo "== $leg"
    file=build/$leg/junit.xml
    [ "$leg" != shuffle ] || file=build/dev/junit-shuffle.xml
    rm -f "$file"
    junit+=("$file")
    { install "$leg" && cmake --workflow --preset "$leg"; } || status=1
    if [ "$leg" = windows ] && ! /usr/lib/wine/wine --version >/dev/null 2>&1; then
        echo "No 32-bit Wine here: the Windows tests run as the 64-bit build under 64-bit Wine"
        legs+=(windows64)
    fi
done
python3 tests/junit_total.py "${junit[@]}" || status=1
exit $status
