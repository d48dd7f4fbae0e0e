#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Fails when a C++ source file differs from what clang-format (14, .clang-format) makes of
# it, naming the file and the lines.
set -euo pipefail
cd "$(dirname "$0")/.."
source tools/packages.sh
ensure_packages clang-format
mapfile -t files < <(git ls-files '*.cpp' '*.h')
clang-format --dry-run --Werror "${files[@]}"
echo "clang-format: ${#files[@]} files formatted"
