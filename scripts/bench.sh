#!/usr/bin/env bash
# Builds the benchmarks in release mode and prints their figures.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/ensure-packages.sh
ensure_packages "${BUILD_PACKAGES[@]}" "${TEST_PACKAGES[@]}"
cmake -S . -B build-release -G Ninja -DCMAKE_BUILD_TYPE=Release -DZENTROVA_BUILD_TESTS=OFF
cmake --build build-release --parallel "$(nproc)"
export HOME=$(mktemp -d)
trap 'rm -rf "$HOME"' EXIT
# The computation and the table's reads need no display; the window is timed
# on a real X server, where painting costs what it costs on a desktop.
QT_QPA_PLATFORM=offscreen build-release/bench/bench_calibration
QT_QPA_PLATFORM=offscreen build-release/bench/bench_inputwidget
xvfb-run -a -s "-screen 0 1920x1080x24 -nolisten tcp" env QT_QPA_PLATFORM=xcb \
    build-release/bench/bench_zentrovadialog
xvfb-run -a -s "-screen 0 1920x1080x24 -nolisten tcp" env QT_QPA_PLATFORM=xcb \
    build-release/bench/bench_history
bench/startup.sh build-release
