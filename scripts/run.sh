#!/usr/bin/env bash
# Installs what is missing, builds the game optimised and starts it in its build folder, where
# button.bmp (and an optional taspo.cfg) is read from.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/ensure-packages.sh
ensure_packages "${BUILD_PACKAGES[@]}"
cmake --preset release >/dev/null
cmake --build --preset release -j"$(nproc)"
cd build/release
exec ./taspo
