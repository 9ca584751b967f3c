#!/usr/bin/env bash
# Installs the dependencies, builds everything in build/ and runs every test.
# GL tests need an X display: when DISPLAY is unset, a private Xvfb is started.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${BUILD_DIR:-$root/build}"

"$root/scripts/install-deps.sh"
cmake -S "$root" -B "$build" -G Ninja ${CMAKE_ARGS:-}
cmake --build "$build"

if [ -z "${DISPLAY:-}" ]; then
  fdfile="$(mktemp)"
  Xvfb -displayfd 4 -screen 0 1024x768x24 -nolisten tcp 4>"$fdfile" >/dev/null 2>&1 &
  xvfb_pid=$!
  trap 'kill $xvfb_pid 2>/dev/null || true; rm -f "$fdfile"' EXIT
  for _ in $(seq 100); do [ -s "$fdfile" ] && break; sleep 0.1; done
  [ -s "$fdfile" ] || { echo "Xvfb did not start" >&2; exit 1; }
  export DISPLAY=":$(head -n1 "$fdfile")"
  echo "Started Xvfb on $DISPLAY"
fi

cd "$build"
ctest --output-on-failure -j"$(nproc)" "$@"
