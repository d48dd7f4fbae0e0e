#!/usr/bin/env bash
# Builds the whole program with AddressSanitizer and UndefinedBehaviorSanitizer (gcc) into
# build-asan/ and runs the test suite there headless. Any leak, memory error or undefined
# behaviour fails the run; leaks inside system libraries we cannot fix are listed in
# tools/lsan.supp.
set -euo pipefail
cd "$(dirname "$0")/.."
repo=$(pwd)

source tools/packages.sh
ensure_packages "${program_packages[@]}"

cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DPSOGRAF_SANITIZE=ON >/dev/null
cmake --build build-asan

export QT_QPA_PLATFORM=offscreen
# Full stacks, so that a suppression names the library that really allocated; Qt's own
# event loop instead of glib's, whose frames would stand under every allocation.
export ASAN_OPTIONS=detect_leaks=1:fast_unwind_on_malloc=0
export QT_NO_GLIB=1
export LSAN_OPTIONS="suppressions=$repo/tools/lsan.supp:print_suppressions=0"
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
cd build-asan
# The screen reader test runs the program under system libraries (D-Bus, AT-SPI) whose
# one-time set-up LeakSanitizer would report; the rest of the suite covers our code.
ctest --output-on-failure -j"$(nproc)" -E test_atspi
