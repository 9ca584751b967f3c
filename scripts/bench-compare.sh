#!/usr/bin/env bash
# Compares a benchmark of the working tree with the same benchmark at an earlier revision.
#
#   scripts/bench-compare.sh [options] REV [BENCH] [bench args...]
#
#   REV          any commit git knows (c65c63d, main, HEAD~3)
#   BENCH        a program of bench/ (sprite_bench, shape_bench, text_bench, ...); default
#                sprite_bench. Everything after it goes to the benchmark unchanged.
#   --rounds K   runs each side K times (default 5), alternating which goes first, so load
#                from other processes falls on both alike
#   --callgrind  also runs each side once under callgrind (LP_NUM_THREADS=0, so llvmpipe draws
#                on the main thread) and prints its instruction counts: slow, but free of noise
#   --build DIR  the working tree's build folder (default build/, configured if missing)
#
# REV's benchmark is built in a temporary git worktree and build folder, removed on exit (the
# shared ccache makes this quick after the first time). Every output line of the benchmark that
# carries key=value figures is matched between the two sides by its first word and N=; for each
# numeric figure the median of the rounds is printed for both, with the ratio working / REV
# (below 1: the working tree is faster or smaller). Needs a display; without DISPLAY a private
# Xvfb is started.
#
# Example: scripts/bench-compare.sh c65c63d 50000 40 5
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"

usage() {
  sed -n '4,13p' "${BASH_SOURCE[0]}" | sed 's/^# \{0,1\}//'
}

rounds=5
callgrind=0
work_build="$root/build"
while [ $# -gt 0 ]; do
  case "$1" in
    --rounds) rounds="${2:?--rounds needs a number}"; shift 2 ;;
    --callgrind) callgrind=1; shift ;;
    --build) work_build="${2:?--build needs a folder}"; shift 2 ;;
    -h | --help) usage; exit 0 ;;
    --) shift; break ;;
    -*) echo "bench-compare.sh: unknown option '$1'" >&2; usage >&2; exit 2 ;;
    *) break ;;
  esac
done
if [ $# -lt 1 ]; then
  usage >&2
  exit 2
fi
case "$rounds" in
  '' | *[!0-9]* | 0) echo "bench-compare.sh: --rounds needs a positive number" >&2; exit 2 ;;
esac
rev="$1"
shift
bench=sprite_bench
if [ $# -gt 0 ] && [ -f "$root/bench/$1.cpp" ]; then
  bench="$1"
  shift
fi
bench_args=("$@")

sha="$(git -C "$root" rev-parse --verify --quiet "$rev^{commit}")" || {
  echo "bench-compare.sh: '$rev' is not a commit of this repository" >&2
  exit 2
}
if ! git -C "$root" cat-file -e "$sha:bench/$bench.cpp" 2>/dev/null; then
  echo "bench-compare.sh: bench/$bench.cpp does not exist at $rev" >&2
  exit 2
fi

tmp="$(mktemp -d)"
cleanup() {
  git -C "$root" worktree remove --force "$tmp/src" >/dev/null 2>&1 || true
  rm -rf "$tmp"
  [ -n "${xvfb_pid:-}" ] && kill "$xvfb_pid" 2>/dev/null || true
}
trap cleanup EXIT

configure() {  # source folder, build folder
  cmake -S "$1" -B "$2" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache >/dev/null
}

echo "Building $bench at $rev (${sha:0:10}) in a temporary worktree ..."
git -C "$root" worktree add --detach "$tmp/src" "$sha" >/dev/null 2>&1
configure "$tmp/src" "$tmp/build"
nice cmake --build "$tmp/build" -j2 --target "$bench" >"$tmp/build-rev.log" 2>&1 || {
  tail -n 30 "$tmp/build-rev.log" >&2
  echo "bench-compare.sh: building $bench at $rev failed" >&2
  exit 1
}
echo "Building $bench of the working tree in $work_build ..."
[ -f "$work_build/build.ninja" ] || configure "$root" "$work_build"
nice cmake --build "$work_build" -j2 --target "$bench" >"$tmp/build-work.log" 2>&1 || {
  tail -n 30 "$tmp/build-work.log" >&2
  echo "bench-compare.sh: building $bench of the working tree failed" >&2
  exit 1
}
rev_bin="$tmp/build/bench/$bench"
work_bin="$work_build/bench/$bench"

if [ -z "${DISPLAY:-}" ]; then
  Xvfb -displayfd 4 -screen 0 1024x768x24 -nolisten tcp 4>"$tmp/display" >/dev/null 2>&1 &
  xvfb_pid=$!
  for _ in $(seq 100); do [ -s "$tmp/display" ] && break; sleep 0.1; done
  [ -s "$tmp/display" ] || { echo "bench-compare.sh: Xvfb did not start" >&2; exit 1; }
  export DISPLAY=":$(head -n1 "$tmp/display")"
fi

# One run: the figures lines, each prefixed with the side ("rev" or "work").
run_side() {  # side, program
  local out="$tmp/run.out"
  if ! "$2" "${bench_args[@]}" >"$out" 2>"$tmp/run.err"; then
    cat "$tmp/run.err" >&2
    echo "bench-compare.sh: $1 side failed: $2 ${bench_args[*]}" >&2
    exit 1
  fi
  grep '=' "$out" | sed "s/^/$1 /" | tee -a "$tmp/figures"
}

: >"$tmp/figures"
for round in $(seq "$rounds"); do
  echo "-- round $round of $rounds"
  if [ $((round % 2)) -eq 1 ]; then
    run_side rev "$rev_bin"
    run_side work "$work_bin"
  else
    run_side work "$work_bin"
    run_side rev "$rev_bin"
  fi
done

echo
echo "Medians of $rounds rounds: $bench ${bench_args[*]}"
printf '%-52s %14s %14s %8s\n' "figure" "${rev:0:14}" "working tree" "ratio"
awk '
  function median(list,    n, values, i, j, t) {
    n = split(list, values, " ")
    for (i = 2; i <= n; i++) {  # insertion sort: a handful of rounds
      t = values[i] + 0
      for (j = i - 1; j >= 1 && values[j] + 0 > t; j--) values[j + 1] = values[j]
      values[j + 1] = t
    }
    if (n % 2 == 1) return values[(n + 1) / 2]
    return (values[n / 2] + values[n / 2 + 1]) / 2
  }
  {
    side = $1; label = $2
    for (i = 3; i <= NF; i++) if ($i ~ /^N=/) label = label " " $i
    for (i = 3; i <= NF; i++) {
      eq = index($i, "=")
      if (eq == 0) continue
      key = substr($i, 1, eq - 1); value = substr($i, eq + 1)
      if (value !~ /^-?[0-9]+(\.[0-9]+)?$/ || key == "N" || key == "frames" || key == "runs") continue
      figure = label " " key
      if (!(figure in seen)) { seen[figure] = 1; order[++count] = figure }
      values[side, figure] = values[side, figure] " " value
    }
  }
  END {
    for (k = 1; k <= count; k++) {
      f = order[k]
      if (!((("rev", f) in values) && (("work", f) in values))) continue
      a = median(values["rev", f]); b = median(values["work", f])
      ratio = (a == 0) ? "-" : sprintf("%.3f", b / a)
      printf "%-52s %14.3f %14.3f %8s\n", f, a, b, ratio
    }
  }' "$tmp/figures"

[ "$callgrind" = 1 ] || exit 0
echo
echo "Instructions under callgrind (one run each, llvmpipe on the main thread):"
for side in rev work; do
  bin="$rev_bin"
  [ "$side" = work ] && bin="$work_bin"
  LP_NUM_THREADS=0 valgrind --tool=callgrind --callgrind-out-file="$tmp/callgrind.$side" \
    "$bin" "${bench_args[@]}" >/dev/null 2>"$tmp/callgrind.$side.log" || {
    tail -n 20 "$tmp/callgrind.$side.log" >&2
    echo "bench-compare.sh: callgrind run of the $side side failed" >&2
    exit 1
  }
  instructions[$([ "$side" = rev ] && echo 0 || echo 1)]="$(
    awk '/^(summary|totals):/ { print $2; exit }' "$tmp/callgrind.$side")"
done
printf '%-52s %14s %14s %8s\n' "instructions (Ir)" "${instructions[0]}" "${instructions[1]}" \
  "$(awk -v a="${instructions[0]}" -v b="${instructions[1]}" 'BEGIN { printf "%.3f", b / a }')"
