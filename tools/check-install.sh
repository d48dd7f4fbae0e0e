#!/usr/bin/env bash
# Checks the desktop install: builds, installs into a staging folder (DESTDIR), validates
# the desktop entry and the AppStream metadata, checks every installed file, then starts
# the installed launcher on a virtual display (Xvfb) and makes sure the program reaches
# its main window.
#
#   bash tools/check-install.sh [BUILD_DIR]      (default: build/; Debian 12, as root)
set -euo pipefail

build=${1:-build}
case $build in /*) ;; *) build=$PWD/$build ;; esac
cd "$(dirname "$0")/.."
root=$PWD

step() { printf '== %s\n' "$*"; }
failures=0
bad() {
  printf 'FAIL: %s\n' "$*" >&2
  failures=$((failures + 1))
}

source "$root/tools/packages.sh"
ensure_packages desktop-file-utils appstream xvfb xauth xdotool

step "configuring and building in $build"
generator=()
[ -f "$build/CMakeCache.txt" ] || generator=(-G Ninja)
cmake -S "$root" -B "$build" "${generator[@]}" >/dev/null
cmake --build "$build" --target psograf ssu-check

tmp=$(mktemp -d)
cleanup() { rm -rf "$tmp"; }
trap cleanup EXIT

step "installing into a staging folder"
stage=$tmp/stage
DESTDIR=$stage cmake --install "$build" >"$tmp/install.log"

# Where the install put things, as the build configured it.
cached() { sed -n "s/^$1:[A-Z]*=//p" "$build/CMakeCache.txt"; }
prefix=$(cached CMAKE_INSTALL_PREFIX)
under_prefix() {
  case $1 in /*) printf '%s' "$1" ;; *) printf '%s/%s' "$prefix" "$1" ;; esac
}
bindir=$stage$(under_prefix "$(cached CMAKE_INSTALL_BINDIR)")
libdir=$stage$(under_prefix "$(cached CMAKE_INSTALL_LIBDIR)")
# An empty DATADIR stands for DATAROOTDIR, an empty DATAROOTDIR for share.
datarootdir=$(cached CMAKE_INSTALL_DATAROOTDIR)
datadir=$(cached CMAKE_INSTALL_DATADIR)
datadir=$stage$(under_prefix "${datadir:-${datarootdir:-share}}")
private=$libdir/psograf
content=$datadir/psograf

step "checking installed files"
[ -x "$bindir/psograf" ] || bad "launcher $bindir/psograf missing or not executable"
[ -x "$private/psograf" ] || bad "executable $private/psograf missing or not executable"
# Without it the program runs silent: no sound can be played.
[ -f "$private/libpsograf_sound.so" ] || bad "sound module $private/libpsograf_sound.so missing"
# The files the program reads by fixed name, as the content checker lists them.
ssu_check=$build/tools/ssu-check/ssu-check
while read -r f; do
  [ -f "$private/$f" ] || bad "sound $private/$f missing"
done < <("$ssu_check" --list-sounds)
while read -r f; do
  [ -f "$content/$f" ] || bad "content file $content/$f missing"
done < <("$ssu_check" --list-content)
[ -f "$content/CREDITS" ] || bad "$content/CREDITS missing"
desktop=$datadir/applications/psograf.desktop
metainfo=$datadir/metainfo/org.example.psograf.metainfo.xml
[ -f "$desktop" ] || bad "$desktop missing"
[ -f "$metainfo" ] || bad "$metainfo missing"
for size in 48 64 128 256; do
  icon=$datadir/icons/hicolor/${size}x$size/apps/psograf.png
  if [ ! -f "$icon" ]; then
    bad "icon $icon missing"
  elif ! file -b "$icon" 2>/dev/null | grep -q "PNG image data, $size x $size"; then
    # 'file' may be absent; then only the presence is checked.
    command -v file >/dev/null && bad "icon $icon is not a ${size}x$size PNG"
  fi
done
# The launcher must not depend on the build tree.
if grep -qF "$build" "$bindir/psograf" 2>/dev/null; then
  bad "launcher refers to the build directory"
fi

step "desktop-file-validate"
if [ -f "$desktop" ]; then
  desktop-file-validate "$desktop" || bad "desktop-file-validate"
fi

step "appstreamcli validate --no-net"
if [ -f "$metainfo" ]; then
  appstreamcli validate --no-net "$metainfo" || bad "appstreamcli validate"
fi

step "starting the installed launcher on a virtual display"
if [ -x "$bindir/psograf" ]; then
  # From a neutral folder: the launcher has to find its content by itself. The program
  # runs until the main window is on the display, then it is stopped.
  cat >"$tmp/launch.sh" <<'LAUNCH'
cd /
"$1" >"$2/run.out" 2>"$2/run.err" &
pid=$!
shown=
for _ in $(seq 50); do
  kill -0 "$pid" 2>/dev/null || break
  shown=$(xdotool search --onlyvisible --name '^Пёсограф$' 2>/dev/null || true)
  [ -n "$shown" ] && break
  sleep 0.2
done
echo "exe=$(readlink "/proc/$pid/exe" 2>/dev/null)"
echo "cwd=$(readlink "/proc/$pid/cwd" 2>/dev/null)"
echo "windows=$(printf '%s\n' $shown | grep -c .)"
for w in $shown; do xdotool getwindowgeometry "$w" | sed -n 's/ *Geometry: /size=/p'; done
kill "$pid" 2>/dev/null
wait "$pid" 2>/dev/null
exit 0
LAUNCH
  xvfb-run -a -s "-screen 0 1024x768x24" bash "$tmp/launch.sh" "$bindir/psograf" "$tmp" \
    >"$tmp/launch.out" 2>&1 || true
  sed 's/^/  /' "$tmp/launch.out"
  value() { sed -n "s/^$1=//p" "$tmp/launch.out" | head -n 1; }
  # The launcher execs the program: the process is the staged executable, running in the
  # staged content folder (not a copy installed elsewhere).
  [ "$(value exe)" = "$(readlink -f "$private/psograf")" ] || bad "not the staged executable running"
  [ "$(value cwd)" = "$(readlink -f "$content")" ] || bad "working directory not the staged content"
  # Exactly one window on the display: the main window, 624 by 474 pixels.
  [ "$(value windows)" = 1 ] || bad "$(value windows) windows shown, expected the main window alone"
  [ "$(value size)" = 624x474 ] || bad "main window size $(value size), expected 624x474"
  if [ -s "$tmp/run.err" ]; then
    echo "stderr of the program:"
    sed 's/^/  /' "$tmp/run.err"
  fi
fi

if [ "$failures" -gt 0 ]; then
  echo "check-install: $failures failure(s)" >&2
  exit 1
fi
echo "check-install: all checks passed"
