#!/usr/bin/env bash
# Fuzzes the topic and the catalogue reader with libFuzzer (clang, ASan, UBSan) for the
# given number of seconds each (default 60), both at once. Builds only the readers, into
# build-fuzz/. Each run starts from a copy of fuzz/corpus/, so the committed seeds stay as
# they are. Fails if a crash, leak, timeout or broken promise is found; the input that
# caused it is kept in build-fuzz/run-<target>/ and named in the output.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}

source tools/packages.sh
# llvm-14 brings the symbolizer, so a finding's stack names files and lines.
ensure_packages cmake ninja-build clang-14 libclang-rt-14-dev llvm-14 qt6-base-dev

cmake -S fuzz -B build-fuzz -G Ninja -DCMAKE_CXX_COMPILER=clang++-14 \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build-fuzz

export ASAN_SYMBOLIZER_PATH=/usr/lib/llvm-14/bin/llvm-symbolizer
targets=(topics catalogue)
pids=()
for t in "${targets[@]}"; do
  run=build-fuzz/run-$t
  rm -rf "$run"
  mkdir -p "$run/corpus" "$run/findings"
  cp fuzz/corpus/"$t"/* "$run/corpus/"
  echo "fuzz_$t: ${seconds}s"
  build-fuzz/fuzz_"$t" -max_total_time="$seconds" -max_len=65536 -rss_limit_mb=2048 \
    -timeout=10 -print_final_stats=1 -artifact_prefix="$run/findings/" "$run/corpus" \
    >"$run/log" 2>&1 &
  pids+=($!)
done

failed=0
for i in "${!targets[@]}"; do
  t=${targets[$i]}
  run=build-fuzz/run-$t
  status=0
  wait "${pids[$i]}" || status=$?
  if [ "$status" -ne 0 ] || [ -n "$(ls -A "$run/findings")" ]; then
    failed=1
    echo "fuzz_$t FAILED (status $status); log: $run/log"
    # From the report on, without the shadow memory dump.
    report=$(sed -n '/ERROR: \|runtime error\|broken promise\|deadly signal/,$p' "$run/log" |
             grep -v '^  0x\|^Shadow\|^  [A-Z].*: ' | head -n 80 || true)
    if [ -n "$report" ]; then echo "$report"; else tail -n 40 "$run/log"; fi
    ls -l "$run/findings"
  else
    echo "fuzz_$t passed: $(grep -E '^stat::number_of_executed_units' "$run/log" | awk '{print $2}') runs," \
      "corpus $(ls "$run/corpus" | wc -l) inputs"
  fi
done
exit "$failed"
