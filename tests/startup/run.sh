#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Starts the program in a content folder on a virtual X server, as a user would, and
# prints what the user met: a line "window: <type>" for each window the program put on
# the screen ("dialog" for a message box, "normal" for one of its own windows), and how
# it ended ("exit: <status>", or "exit: none" when it still ran after 60 s). A message box
# is answered with Enter once it is seen. The program's standard error passes through;
# when it is still running at the end, where its threads stand is added to it, so that a
# failure on a busy machine tells a slow start from a hang.
# usage: run.sh PROGRAM CONTENT_DIR
set -euo pipefail
program=$(realpath "$1")
export QT_QPA_PLATFORM=xcb QT_SCALE_FACTOR=1
unset QT_FONT_DPI QT_ENABLE_HIGHDPI_SCALING WAYLAND_DISPLAY
cd "$2"
# -noreset: xdotool's polls are the server's only client until the program connects, and
# the reset that follows each one refuses or stalls a connection arriving meanwhile (on a
# busy machine about 1 in 100: the program then could not open the display, or hung).
# -e: the server's own complaints go to standard error with the program's.
exec xvfb-run -a -e /dev/stderr -s "-screen 0 1024x768x24 -noreset" bash -c '
  "$1" & pid=$!
  seen=" " answered=0
  until [ $SECONDS -ge 60 ]; do
    kill -0 $pid 2>/dev/null || break
    for w in $(xdotool search --onlyvisible --pid $pid 2>/dev/null || true); do
      type=$(xprop -id "$w" _NET_WM_WINDOW_TYPE 2>/dev/null |
             sed -n "s/.*= _NET_WM_WINDOW_TYPE_\([A-Z]*\).*/\1/p" | tr A-Z a-z)
      case "$seen" in *" $w "*) continue ;; esac
      seen="$seen$w "
      echo "window: ${type:-unknown}"
      if [ "$type" = dialog ] && [ $answered = 0 ]; then
        answered=1
        xdotool windowfocus --sync "$w" key Return 2>/dev/null || true
      fi
    done
    sleep 0.1
  done
  if kill -0 $pid 2>/dev/null; then
    echo "run.sh: still running after $SECONDS s; windows seen:$seen" >&2
    if command -v gdb >/dev/null; then
      gdb -p $pid -batch -ex "thread apply all bt" >&2 2>/dev/null || true
    fi
    kill $pid; wait $pid 2>/dev/null || true
    echo "exit: none"
  else
    status=0; wait $pid || status=$?
    echo "exit: $status"
  fi' run "$program"
