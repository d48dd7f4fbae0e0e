# Sourced by the scripts in tools/: installs the Debian packages given that are missing
# (as root), quietly, and does nothing when all are there.
ensure_packages() {
  local missing=() p
  for p in "$@"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  echo "installing ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
}

# What building and running the program need. qt6-translations-l10n: Qt's own texts in
# Russian; libstemmer-dev: the search's Russian word forms; libfontconfig-dev: start-up
# reads the font configuration ahead on another core (without it, Qt reads it later).
program_packages=(cmake ninja-build g++ qt6-base-dev qt6-multimedia-dev libqt6multimedia6
                  libstemmer-dev libfontconfig-dev fonts-dejavu-core fonts-liberation2
                  qt6-translations-l10n)

# What the screen reader test (tests/atspi) needs besides: a virtual X server, a session
# bus, the accessibility bus, Python's AT-SPI, and xdotool to give a window the keyboard;
# the start-up test (tests/startup) also reads a window's type with xprop (x11-utils); the
# print test reads its PDFs back with poppler-utils (pdftotext, pdfinfo, pdfimages).
test_packages=(xvfb xauth xdotool x11-utils dbus-daemon at-spi2-core python3-gi
               gir1.2-atspi-2.0 poppler-utils)
