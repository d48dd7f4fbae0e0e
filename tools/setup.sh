#!/usr/bin/env bash
# Installs what building and testing need on Debian 12 (as root), then configures and
# builds into build/.
set -euo pipefail
cd "$(dirname "$0")/.."

source tools/packages.sh
ensure_packages "${program_packages[@]}"

cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build
