#!/usr/bin/env bash
# Regenerates the committed art, photos, sounds and icons.
# Usage: tools/make-art.sh [photos-dir]
# photos-dir defaults to ../shared/content/photos relative to the repository root.
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
photos="${1:-$root/../shared/content/photos}"
[[ -d "$photos" ]] || { echo "make-art.sh: no photos directory: $photos" >&2; exit 1; }
photos="$(cd "$photos" && pwd)"

build="$(mktemp -d)"
trap 'rm -rf "$build"' EXIT

cmake -S "$root/tools/make_art" -B "$build" -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build" --parallel >/dev/null
QT_QPA_PLATFORM=offscreen "$build/make_art" "$photos" "$root"
