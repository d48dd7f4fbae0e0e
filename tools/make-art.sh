#!/usr/bin/env bash
# Regenerates the committed art, photos, sounds and icons; the pictures the windows show
# are made twice, at their size and at twice it (name@2x.jpg, for dense screens).
# Usage: tools/make-art.sh [photos-dir]
#
# Needs the licensed original photos that content/CREDITS lists. They are not part of this
# repository: the project keeps them in its shared folder beside the repository, at
# ../shared/content/photos (relative to the repository root), or give their folder as the
# argument. Installs the packages it needs (as root) like tools/setup.sh, so it works on a
# fresh clone. Running it twice gives the same bytes.
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
photos="${1:-$root/../shared/content/photos}"
if [[ ! -d "$photos" ]]; then
  cat >&2 <<MSG
make-art.sh: the original photos are not there: $photos
  The dog photos and the icon are cut from licensed originals (content/CREDITS), which
  are kept outside the repository in ../shared/content/photos. Put that folder beside
  the repository, or run: tools/make-art.sh /path/to/photos
  Nothing was changed.
MSG
  exit 1
fi
photos="$(cd "$photos" && pwd)"

source "$root/tools/packages.sh"
ensure_packages "${program_packages[@]}"

build="$(mktemp -d)"
trap 'rm -rf "$build"' EXIT

cmake -S "$root/tools/make_art" -B "$build" -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build" --parallel >/dev/null
"$build/make_art" "$photos" "$root"
