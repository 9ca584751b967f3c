#!/usr/bin/env bash
# Runs every libFuzzer program of the fuzz build for a bounded time each; any crash, hang,
# leak or sanitizer report fails. scripts/test.sh calls it after building build-fuzz/; by hand:
#
#   ORKA_FUZZ_SECONDS=600 bash scripts/fuzz.sh [NAME...]     (NAME: atlas, png, font, level, tiledmap, tmxmap, ldtkproject, fileloaders)
#
# Environment: ORKA_FUZZ_SECONDS (per program, default 45), ORKA_FUZZ_TIMEOUT (seconds one
# input may take before it counts as a hang, default 10), FUZZ_BUILD_DIR (default build-fuzz).
# Each program starts from its seed corpus fuzz/corpus/NAME/ (never written to) plus the inputs
# earlier runs found, kept in FUZZ_BUILD_DIR/fuzz-corpus/NAME/. A failing input is saved as
# FUZZ_BUILD_DIR/fuzz-artifacts/NAME-crash-* (or -timeout-, -leak-, -oom-); run the program on
# that file alone to see the report again. Full logs: FUZZ_BUILD_DIR/fuzz-logs/NAME.log.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${FUZZ_BUILD_DIR:-$root/build-fuzz}"
seconds="${ORKA_FUZZ_SECONDS:-45}"
input_timeout="${ORKA_FUZZ_TIMEOUT:-10}"
# libFuzzer's own limit, also the largest single allocation it lets an input make.
rss_limit_mb=2048
# Beyond the fuzzing time: start-up, running the corpus and writing reports.
grace_seconds=120

# shellcheck source=scripts/lib/display.sh
source "$root/scripts/lib/display.sh"
# shellcheck source=scripts/lib/sanitizer-env.sh
source "$root/scripts/lib/sanitizer-env.sh"

run_fuzzer() {
  local name="$1"
  local program="$build/fuzz/${name}_fuzzer"
  local seeds="$root/fuzz/corpus/$name"
  local corpus="$build/fuzz-corpus/$name"
  local log="$build/fuzz-logs/$name.log"
  [ -x "$program" ] || { echo "fuzz $name: $program is not built" >&2; return 1; }
  [ -d "$seeds" ] || { echo "fuzz $name: no seed corpus $seeds" >&2; return 1; }
  mkdir -p "$corpus" "$build/fuzz-artifacts" "$(dirname "$log")"
  local options=(-max_total_time="$seconds" -timeout="$input_timeout" -rss_limit_mb="$rss_limit_mb"
    -print_final_stats=1 -close_fd_mask=3 -artifact_prefix="$build/fuzz-artifacts/$name-")
  [ -f "$root/fuzz/$name.dict" ] && options+=(-dict="$root/fuzz/$name.dict")

  local status=0
  LD_PRELOAD="$(orka_gl_driver_preload)" timeout $((seconds + grace_seconds)) \
    "$program" "${options[@]}" "$corpus" "$seeds" >"$log" 2>&1 || status=$?
  local runs
  runs="$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")"
  if [ "$status" -ne 0 ]; then
    echo "fuzz $name: FAILED (exit $status) after ${runs:-?} executions; last lines of $log:" >&2
    tail -n 60 "$log" >&2
    return 1
  fi
  echo "fuzz $name: ${runs:-?} executions in ${seconds} s, no findings" \
    "(corpus: $(find "$corpus" -type f | wc -l) found + $(find "$seeds" -type f | wc -l) seeds)"
}

names=("$@")
if [ ${#names[@]} -eq 0 ]; then
  for program in "$build"/fuzz/*_fuzzer; do
    [ -x "$program" ] || continue
    base="$(basename "$program")"
    names+=("${base%_fuzzer}")
  done
fi
[ ${#names[@]} -gt 0 ] || { echo "No fuzz programs in $build/fuzz" >&2; exit 1; }

orka_ensure_display  # the atlas fuzzer makes a GL context
failed=0
for name in "${names[@]}"; do
  run_fuzzer "$name" || failed=$((failed + 1))
done
echo "fuzz: $((${#names[@]} - failed)) passed, $failed failed"
[ "$failed" -eq 0 ]
