#!/usr/bin/env bash
# Builds the libFuzzer targets with clang (AddressSanitizer and
# UndefinedBehaviorSanitizer) in build-fuzz/ and runs each for the given
# number of seconds from a copy of its committed seed corpus.  Fails when a
# target reports a crash, a broken property, a leak or a timeout; the input
# that did it is left in build-fuzz/findings/<target>/.
# Usage: scripts/fuzz.sh SECONDS [TARGET...]
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:?usage: scripts/fuzz.sh SECONDS [TARGET...]}
shift
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=(lstread render xdlegf)

scripts/install-packages.sh clang libclang-rt-14-dev
CC=clang CXX=clang++ cmake -S . -B build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DARVEN_FUZZERS=ON -DARVEN_TESTS=OFF -DARVEN_BENCHMARKS=OFF
cmake --build build-fuzz -j2 $(printf -- '--target fuzz_%s ' "${targets[@]}")

status=0
for target in "${targets[@]}"; do
  work=build-fuzz/runs/$target
  findings=build-fuzz/findings/$target
  rm -rf "$work" "$findings"
  mkdir -p "$work/corpus" "$findings"
  cp fuzz/corpus/"$target"/* "$work/corpus/"
  echo "== fuzz_$target for ${seconds}s"
  if ! ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
       build-fuzz/fuzz/fuzz_"$target" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
       -max_len=4096 -print_final_stats=1 -artifact_prefix="$findings/" "$work/corpus" \
       >"$work/log" 2>&1; then
    status=1
    echo "fuzz_$target FAILED; the input is in $findings/:"
    ls -l "$findings"
    grep -E 'PROPERTY BROKEN|ERROR: |runtime error|SUMMARY' "$work/log" | head -20 || true
    tail -40 "$work/log"
  else
    grep -E '^stat::number_of_executed_units|^Done' "$work/log" || true
  fi
done
exit $status
