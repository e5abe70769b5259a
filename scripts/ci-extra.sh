#!/usr/bin/env bash
# The extra CI pass, after the normal suite: every test once more under AddressSanitizer and
# UndefinedBehaviorSanitizer, then a short libFuzzer run of each fuzz harness on its seeds.
#   ./scripts/ci-extra.sh
#   SANITIZE_BUILD_DIR  build folder of the sanitized suite (default build-sanitize)
#   FUZZ_BUILD_DIR      build folder of the harnesses, built with clang (default build-fuzz)
#   FUZZ_SECONDS        seconds per harness (default 20)
set -euo pipefail
cd "$(dirname "$0")/.."
# clang with its sanitizer and libFuzzer runtimes.
./scripts/setup.sh clang libclang-rt-14-dev

build=${SANITIZE_BUILD_DIR:-build-sanitize}
fuzz_build=${FUZZ_BUILD_DIR:-build-fuzz}
fuzz_seconds=${FUZZ_SECONDS:-20}
launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
# The suite with the usual compiler; the fuzz harnesses and the few libraries they test with
# clang, which has libFuzzer.
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKINETRA_SANITIZE=ON "${launcher[@]}" >/dev/null
cmake --build "$build" -j"$(nproc)"
cmake -S . -B "$fuzz_build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ \
  -DKINETRA_SANITIZE=ON -DKINETRA_FUZZ=ON -DBUILD_TESTING=OFF "${launcher[@]}" >/dev/null
harnesses=(fuzz_answer fuzz_language_file fuzz_parameter_file)
cmake --build "$fuzz_build" -j"$(nproc)" --target "${harnesses[@]}"

# Any finding ends the run. Leak checking is off: Qt and fontconfig keep caches to the end of
# the process, which would drown the program's own leaks in noise.
export ASAN_OPTIONS=detect_leaks=0:abort_on_error=1:strict_string_checks=1
export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1
echo "== the test suite under AddressSanitizer and UndefinedBehaviorSanitizer"
(cd "$build" && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j"$(nproc)" --timeout 600)

echo "== fuzzing, ${fuzz_seconds} s per harness"
for pair in fuzz_answer:answer fuzz_language_file:language fuzz_parameter_file:parameter; do
  harness=${pair%%:*}
  seeds=fuzz/corpus/${pair#*:}
  # New inputs go to a corpus in the build folder; the seeds in the repository stay as they are.
  work="$fuzz_build/fuzz-corpus/$harness"
  artifacts="$fuzz_build/fuzz-findings"
  mkdir -p "$work" "$artifacts"
  echo "-- $harness"
  "$fuzz_build/bin/$harness" -max_total_time="$fuzz_seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
    -artifact_prefix="$artifacts/$harness-" "$work" "$seeds" 2>"$fuzz_build/$harness.log" || {
    tail -n 60 "$fuzz_build/$harness.log"
    echo "$harness found a crash: the input is in $artifacts" >&2
    exit 1
  }
  grep -E "^stat::number_of_executed_units|^stat::new_units_added" "$fuzz_build/$harness.log" || true
done
echo "== sanitizers and fuzzing passed"
