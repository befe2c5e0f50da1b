#!/usr/bin/env bash
# Builds the benchmarks in release mode and prints their figures.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/ensure-packages.sh
ensure_packages "${BUILD_PACKAGES[@]}" "${TEST_PACKAGES[@]}"
cmake -S . -B build-release -G Ninja -DCMAKE_BUILD_TYPE=Release -DZENTROVA_BUILD_TESTS=OFF
cmake --build build-release --parallel "$(nproc)"
export QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen}
export HOME=$(mktemp -d)
trap 'rm -rf "$HOME"' EXIT
for benchmark in build-release/bench/bench_*; do
    if [ -f "$benchmark" ] && [ -x "$benchmark" ]; then "$benchmark"; fi
done
bench/startup.sh build-release
