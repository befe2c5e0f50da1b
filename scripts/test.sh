#!/usr/bin/env bash
# Builds everything and runs every test suite.
#   scripts/test.sh              regular build in build/
#   SANITIZE=1 scripts/test.sh   AddressSanitizer + UBSan build in build-sanitize/
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/ensure-packages.sh
ensure_packages "${BUILD_PACKAGES[@]}" "${TEST_PACKAGES[@]}"

if [ "${SANITIZE:-0}" = 1 ]; then
    build_dir=${BUILD_DIR:-build-sanitize}
    sanitize=ON
    export ASAN_OPTIONS=${ASAN_OPTIONS:-abort_on_error=1:detect_leaks=1}
    export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
    export LSAN_OPTIONS=${LSAN_OPTIONS:-suppressions=$PWD/tests/lsan.supp:print_suppressions=0}
    # The program draws with no GL; Qt's xcb GL integration would load Mesa,
    # whose own allocations LeakSanitizer reports at exit.
    export QT_XCB_GL_INTEGRATION=none
else
    build_dir=${BUILD_DIR:-build}
    sanitize=OFF
fi

cmake -S . -B "$build_dir" -G Ninja \
    -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DZENTROVA_WARNINGS_AS_ERRORS=ON \
    -DZENTROVA_SANITIZE=$sanitize
cmake --build "$build_dir" --parallel "$(nproc)"
cd "$build_dir"
ctest --output-on-failure --parallel "$(nproc)"
