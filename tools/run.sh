#!/usr/bin/env bash
# Builds the program and starts it on the content shipped in content/: pictures and texts
# are found under the working directory, sounds beside the executable (the build copies
# content/Sound there).
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/setup.sh
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "No display. Start it under a virtual X server instead:" >&2
  echo "  apt-get install -y xvfb xauth && cd content && xvfb-run -a ../build/app/psograf" >&2
  exit 1
fi
cd content
exec ../build/app/psograf
