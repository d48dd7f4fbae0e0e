#!/usr/bin/env bash
# Builds the program (only the program: no tests, no benchmarks) and starts it on the
# content shipped in content/: pictures and texts are found under the working directory,
# sounds beside the executable (the build copies content/Sound there).
set -euo pipefail
cd "$(dirname "$0")/.."
source tools/packages.sh
ensure_packages "${program_packages[@]}"
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build --target psograf
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "No display. Start it under a virtual X server instead:" >&2
  echo "  apt-get install -y xvfb xauth && cd content && xvfb-run -a ../build/app/psograf" >&2
  exit 1
fi
cd content
exec ../build/app/psograf
