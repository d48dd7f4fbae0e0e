#!/usr/bin/env bash
# Starts a command from a given folder on a virtual display (Xvfb), waits until a window
# named «Пёсограф» shows (the main window, or a message box of that title; at most 30 s),
# then stops the program and prints what it found:
#   exe=<the process's executable>   cwd=<its working directory>
#   windows=<how many such windows>  size=<width>x<height> for each
# The command's stdout and stderr are left in OUT/run.out and OUT/run.err.
#
#   bash tools/start-on-display.sh FOLDER OUT COMMAND [ARGUMENT...]
# (checks of the installed program; needs xvfb, xauth and xdotool)
set -euo pipefail
from=$1 out=$2
shift 2
cat >"$out/launch.sh" <<'LAUNCH'
from=$1 out=$2
shift 2
cd "$from"
"$@" >"$out/run.out" 2>"$out/run.err" &
pid=$!
shown=
until [ $SECONDS -ge 30 ]; do
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
# A display number of its own: two checks starting at once would both take :99.
# -noreset: a server that resets whenever its last client leaves (the window polls) can
# refuse or stall the program connecting at that moment.
xvfb-run -a -n $((100 + RANDOM % 800)) -s "-screen 0 1024x768x24 -noreset" bash "$out/launch.sh" "$from" "$out" "$@" 2>&1 || true
