#!/usr/bin/env bash
# Installs the dependencies, then runs the test stages in order, stopping at the first failure:
#
#   quick     build/ (the normal build), every test with ctest
#   sanitize  build-asan/ (AddressSanitizer + UndefinedBehaviorSanitizer), every test again;
#             any sanitizer report fails the test that caused it
#   fuzz      build-fuzz/ (clang, libFuzzer), each fuzz program for ORKA_FUZZ_SECONDS (45)
#
# Environment: ORKA_STAGES picks stages (default all three; "quick" while developing),
# ORKA_FUZZ_SECONDS as above, BUILD_DIR and CMAKE_ARGS for the quick stage's build.
# Arguments go to both ctest runs (e.g. -R Texture). GL tests need an X display: when DISPLAY is
# unset, a private Xvfb is started.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${BUILD_DIR:-$root/build}"
asan_build="$root/build-asan"
fuzz_build="$root/build-fuzz"
stages="${ORKA_STAGES:-quick sanitize fuzz}"
# One compile or test process per core (the machine has two, shared while developing).
jobs="$(nproc)"
# Sanitized processes need more memory and time per test; two at once fit the machine.
sanitize_jobs=2

# shellcheck source=scripts/lib/display.sh
source "$root/scripts/lib/display.sh"
# The sanitizer settings only affect instrumented programs; the quick stage ignores them.
# shellcheck source=scripts/lib/sanitizer-env.sh
source "$root/scripts/lib/sanitizer-env.sh"

passed=0

# run_ctest DIR PRELOAD [ctest arguments]: runs the tests of DIR (with LD_PRELOAD=PRELOAD when
# not empty) and adds their number to `passed` when all pass. Stage functions return non-zero
# on any failure themselves: `set -e` does not reach into a function called by `if`.
run_ctest() {
  local dir="$1" preload="$2"
  shift 2
  local log status=0
  log="$(mktemp)"
  (cd "$dir" && env ${preload:+LD_PRELOAD="$preload"} ctest --output-on-failure "$@") 2>&1 |
    tee "$log" || status=$?
  local count
  count="$(sed -n 's/^100% tests passed, 0 tests failed out of \([0-9]*\)$/\1/p' "$log")"
  rm -f "$log"
  [ "$status" -eq 0 ] && [ -n "$count" ] || return 1
  passed=$((passed + count))
}

stage_quick() {
  # CMAKE_ARGS may hold several arguments: split on purpose.
  # shellcheck disable=SC2086
  cmake -S "$root" -B "$build" -G Ninja ${CMAKE_ARGS:-} || return 1
  cmake --build "$build" -j"$jobs" || return 1
  run_ctest "$build" "" -j"$jobs" "$@"
}

stage_sanitize() {
  # Benchmarks are no tests; they stay out of this build.
  cmake -S "$root" -B "$asan_build" -G Ninja -DORKA_SANITIZE=ON -DORKA_BUILD_BENCHMARKS=OFF ||
    return 1
  cmake --build "$asan_build" -j"$jobs" || return 1
  run_ctest "$asan_build" "$(orka_gl_driver_preload)" -j"$sanitize_jobs" "$@"
}

stage_fuzz() {
  # Only the libraries and the fuzz programs: no tests, tools or benchmarks.
  CXX=clang++ cmake -S "$root" -B "$fuzz_build" -G Ninja -DORKA_FUZZ=ON \
    -DORKA_BUILD_TESTS=OFF -DORKA_BUILD_BENCHMARKS=OFF || return 1
  cmake --build "$fuzz_build" -j"$jobs" --target fuzzers || return 1
  local count
  count="$(find "$fuzz_build/fuzz" -maxdepth 1 -name '*_fuzzer' -type f | wc -l)"
  FUZZ_BUILD_DIR="$fuzz_build" bash "$root/scripts/fuzz.sh" || return 1
  passed=$((passed + count))
}

"$root/scripts/install-deps.sh"
orka_ensure_display

failed_stage=""
summary=()
for stage in $stages; do
  if ! declare -F "stage_$stage" >/dev/null; then
    echo "Unknown stage '$stage' in ORKA_STAGES (known: quick sanitize fuzz)" >&2
    exit 2
  fi
  echo "=== stage $stage"
  started=$SECONDS
  if ! "stage_$stage" "$@"; then
    failed_stage="$stage"
  fi
  summary+=("$stage $((SECONDS - started)) s${failed_stage:+ (FAILED)}")
  [ -z "$failed_stage" ] || break
done

echo "=== stage times: $(printf '%s, ' "${summary[@]}" | sed 's/, $//')"
if [ -n "$failed_stage" ]; then
  echo "total: $passed passed, 1 failed (stage $failed_stage)"
  exit 1
fi
echo "total: $passed passed, 0 failed"
