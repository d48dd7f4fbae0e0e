#!/usr/bin/env bash
# Builds everything and runs the whole test suite headless.
set -euo pipefail
cd "$(dirname "$0")/.."
source tools/packages.sh
ensure_packages "${test_packages[@]}" # before configuring: it looks for them
bash tools/setup.sh
cd build
QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j"$(nproc)"
