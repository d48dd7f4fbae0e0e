#!/usr/bin/env bash
# Checks the desktop install: builds, installs into a staging folder (DESTDIR), validates
# the desktop entry and the AppStream metadata, checks every installed file, then starts
# the installed launcher on a virtual display (Xvfb) and makes sure the program reaches
# its main window; then what a lost user sees: the launcher with its content folder gone,
# the program started from a folder without content; last, removes the install again
# (target uninstall) and checks that no file is left.
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
  bash "$root/tools/start-on-display.sh" / "$tmp" "$bindir/psograf" >"$tmp/launch.out"
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

  step "the launcher with its content folder gone"
  # Without a display the launcher names the folder itself; with one the program does, on
  # stderr and in a message box (a window of the program's title that is no main window).
  mv "$content" "$content.away"
  status=0
  env -u DISPLAY -u WAYLAND_DISPLAY "$bindir/psograf" >/dev/null 2>"$tmp/lost.err" || status=$?
  sed 's/^/  /' "$tmp/lost.err"
  [ "$status" = 1 ] || bad "launcher without content and display: status $status, expected 1"
  grep -qF "$(readlink -m "$content")" "$tmp/lost.err" || bad "launcher did not name $content"
  env -u DISPLAY -u WAYLAND_DISPLAY "$bindir/psograf" --help >"$tmp/help.out" 2>&1 ||
    bad "launcher --help without content and display failed"
  grep -q -- "--version" "$tmp/help.out" || bad "launcher --help without content: no help"
  bash "$root/tools/start-on-display.sh" / "$tmp" "$bindir/psograf" >"$tmp/launch.out"
  sed 's/^/  /' "$tmp/launch.out" "$tmp/run.err"
  [ "$(value windows)" = 1 ] && [ "$(value size)" != 624x474 ] ||
    bad "no message box for the missing content folder"
  grep -qF "Папка содержимого не найдена: $(readlink -m "$content")" "$tmp/run.err" ||
    bad "the program did not name the missing content folder on stderr"
  mv "$content.away" "$content"

  step "the program started from a folder without content"
  mkdir "$tmp/empty"
  bash "$root/tools/start-on-display.sh" "$tmp/empty" "$tmp" "$private/psograf" >"$tmp/launch.out"
  sed 's/^/  /' "$tmp/run.err"
  # The start-up failure as ever, and the folder that was searched.
  grep -q "^psograf: Ошибка 53 Файл не найден: " "$tmp/run.err" ||
    bad "start-up failure message changed"
  grep -qF "в рабочей папке $tmp/empty, а в ней нет папки text" "$tmp/run.err" ||
    bad "the working directory searched is not named"
fi

step "removing the install (target uninstall)"
DESTDIR=$stage cmake --build "$build" --target uninstall >"$tmp/uninstall.log"
# Only the prefix's common folders may stay, empty.
left=$(find "$stage" -mindepth 1 \( -type f -o -type l \) -print)
[ -z "$left" ] || bad "left after uninstall: $left"
echo "$(grep -c '^-- Removing' "$tmp/uninstall.log") files and folders removed; left:" \
  $(cd "$stage" && find . -mindepth 1 -type d | sort)

if [ "$failures" -gt 0 ]; then
  echo "check-install: $failures failure(s)" >&2
  exit 1
fi
echo "check-install: all checks passed"
