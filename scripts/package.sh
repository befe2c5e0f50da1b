#!/usr/bin/env bash
# Builds the Debian package zentrova-calibrator_*.deb into build-package/.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/ensure-packages.sh
ensure_packages "${BUILD_PACKAGES[@]}" dpkg-dev file
cmake -S . -B build-package -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DZENTROVA_BUILD_TESTS=OFF -DZENTROVA_BUILD_BENCHMARKS=OFF
cmake --build build-package --parallel "$(nproc)"
(cd build-package && cpack)
ls build-package/*.deb
