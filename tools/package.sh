#!/usr/bin/env bash
# Builds the Debian package build/psograf_<version>_amd64.deb with CPack from the install
# rules: prefix /usr, Debian's hardening flags, only the program, its sound module and the
# content checker built (in build/deb/), the shipped content checked first. The binaries'
# debug symbols are left in build/psograf-debug/ (gdb: set debug-file-directory there).
#
#   bash tools/package.sh      (Debian 12, as root; installs what it needs)
set -euo pipefail
cd "$(dirname "$0")/.."

source tools/packages.sh
# dpkg-dev: dpkg-buildflags and dpkg-shlibdeps; file and binutils: what CPack and the
# stripping use.
ensure_packages "${program_packages[@]}" dpkg-dev file binutils

# Debian's flags with every hardening feature: PIE, relro, bindnow, _FORTIFY_SOURCE=2,
# the strong stack protector.
export DEB_BUILD_MAINT_OPTIONS=hardening=+all
cxxflags="$(dpkg-buildflags --get CPPFLAGS) $(dpkg-buildflags --get CXXFLAGS) -DNDEBUG"
ldflags=$(dpkg-buildflags --get LDFLAGS)

build=build/deb
rm -rf "$build"
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=None -DCMAKE_INSTALL_PREFIX=/usr \
  -DCMAKE_INSTALL_LIBDIR=lib -DCMAKE_SKIP_INSTALL_ALL_DEPENDENCY=ON \
  -DCMAKE_CXX_FLAGS="$cxxflags" -DCMAKE_EXE_LINKER_FLAGS="$ldflags" \
  -DCMAKE_MODULE_LINKER_FLAGS="$ldflags" -DCMAKE_SHARED_LINKER_FLAGS="$ldflags" >/dev/null
cmake --build "$build" --target psograf psograf_sound ssu-check
# The checker's summary; everything it says when it finds a fault.
report=$("$build/tools/ssu-check/ssu-check" content) || { echo "$report"; exit 1; }
echo "${report##*$'\n'}"

rm -f build/psograf_*.deb
(cd "$build" && cpack -G DEB -B "$PWD/..")
rm -rf build/_CPack_Packages
deb=$(ls build/psograf_*.deb)
echo "package: $deb ($(du -k "$deb" | cut -f1) KiB)"
