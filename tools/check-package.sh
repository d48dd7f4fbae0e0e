#!/usr/bin/env bash
# Checks the Debian package that tools/package.sh built: lintian finds no error and no
# warning, every photo is named in the copyright file, apt installs it, the installed
# /usr/bin/psograf started from another folder reaches its main window on a virtual
# display, and apt's purge leaves none of the package's files behind.
#
#   bash tools/check-package.sh      (Debian 12, as root; installs and removes psograf)
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD

step() { printf '== %s\n' "$*"; }
failures=0
bad() {
  printf 'FAIL: %s\n' "$*" >&2
  failures=$((failures + 1))
}

source tools/packages.sh
ensure_packages lintian xvfb xauth xdotool

debs=(build/psograf_*_amd64.deb)
[ -f "${debs[0]}" ] || { echo "no build/psograf_*_amd64.deb: run tools/package.sh" >&2; exit 1; }
deb=${debs[0]}
echo "$deb: $(stat -c %s "$deb") bytes"
dpkg-deb -f "$deb" Depends | sed 's/^/Depends: /'

tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

step "lintian --pedantic -I -E"
# Lintian warns that it runs as root; that is CI's way.
lintian --pedantic -I -E --show-overrides "$deb" 2>&1 | grep -v 'running with root privileges' |
  tee "$tmp/lintian" || true
if grep -q '^[EW]: ' "$tmp/lintian"; then bad "lintian reports errors or warnings"; fi

step "the copyright file names every photo"
dpkg-deb --fsys-tarfile "$deb" | tar -xO ./usr/share/doc/psograf/copyright >"$tmp/copyright"
for photo in content/dog/*; do
  grep -Eq "^(Files:)? +$photo\$" "$tmp/copyright" || bad "$photo is not in packaging/debian/copyright"
done

step "installing with apt"
# A psograf already installed (of the same version) would not be replaced.
if dpkg-query -W -f='${Status}' psograf 2>/dev/null | grep -q installed; then
  apt-get purge -y -qq psograf >/dev/null
fi
export DEBIAN_FRONTEND=noninteractive
apt-get update -qq
apt-get install -y -qq "./$deb" >"$tmp/apt.log" 2>&1 || { cat "$tmp/apt.log"; exit 1; }
dpkg -L psograf >"$tmp/files"
echo "$(wc -l <"$tmp/files") paths installed"

step "/usr/bin/psograf from another folder, on a virtual display"
mkdir "$tmp/elsewhere"
bash tools/start-on-display.sh "$tmp/elsewhere" "$tmp" /usr/bin/psograf >"$tmp/launch.out"
sed 's/^/  /' "$tmp/launch.out" "$tmp/run.err"
value() { sed -n "s/^$1=//p" "$tmp/launch.out" | head -n 1; }
[ "$(value exe)" = /usr/lib/psograf/psograf ] || bad "not /usr/lib/psograf/psograf running"
[ "$(value cwd)" = /usr/share/psograf ] || bad "working directory not /usr/share/psograf"
[ "$(value windows)" = 1 ] && [ "$(value size)" = 624x474 ] || bad "the main window did not show"
[ "$(/usr/bin/psograf --version)" = "Пёсограф $(dpkg-deb -f "$deb" Version)" ] ||
  bad "psograf --version does not give the package's version"

step "apt-get purge"
apt-get purge -y -qq psograf >/dev/null
left=0
while read -r path; do
  # Folders other packages share (/usr/share/icons/...) stay; the package's own go.
  if [ -d "$path" ]; then
    case $path in /usr/lib/psograf | /usr/share/psograf* | /usr/share/doc/psograf) ;; *) continue ;; esac
  fi
  if [ -e "$path" ] || [ -L "$path" ]; then
    bad "left after the purge: $path"
    left=$((left + 1))
  fi
done <"$tmp/files"
echo "left after the purge: $left"

if [ "$failures" -gt 0 ]; then
  echo "check-package: $failures failure(s)" >&2
  exit 1
fi
echo "check-package: all checks passed"
