#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Runs test_atspi.py (with Debian's Python, which has gi) on a copy of the shipped content
# under a virtual X server, a private session bus and its own accessibility bus.
# usage: run.sh PROGRAM CONTENT_DIR
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
program=$(realpath "$1")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp -r "$2" "$work/content"
export QT_QPA_PLATFORM=xcb QT_SCALE_FACTOR=1 XDG_CONFIG_HOME="$work/config"
unset QT_FONT_DPI QT_ENABLE_HIGHDPI_SCALING WAYLAND_DISPLAY
# -noreset: a server that resets whenever its last client leaves can refuse or stall a
# client connecting at that moment.
exec dbus-run-session -- xvfb-run -a -s "-screen 0 1024x768x24 -noreset" bash -c '
  /usr/libexec/at-spi-bus-launcher --launch-immediately & launcher=$!
  /usr/bin/python3 "$1" "$2" "$3"; status=$?
  kill $launcher 2>/dev/null; wait $launcher 2>/dev/null
  exit $status' run "$here/test_atspi.py" "$program" "$work/content"
