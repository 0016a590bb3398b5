#!/usr/bin/env bash
# Installs what is missing, builds the benchmarks optimised (the `bench` preset) and runs them:
# Google Benchmark's table, then each of our figures as a ratio to its peer with its target.
# Arguments go to the benchmark program, e.g. --benchmark_filter=blit.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/ensure-packages.sh
ensure_packages "${BUILD_PACKAGES[@]}" libbenchmark-dev
cmake --preset bench >/dev/null
cmake --build --preset bench -j"$(nproc)" --target taspo_bench >/dev/null
exec build/bench/bench/taspo_bench "$@"
