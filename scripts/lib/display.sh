# shellcheck shell=bash
# Sourced by the test scripts: makes sure an X display exists for the OpenGL tests and the
# atlas fuzzer. When DISPLAY is unset a private Xvfb is started and stopped again on exit.
# Needs `root` set to the repository root.

orka_ensure_display() {
  [ -n "${DISPLAY:-}" ] && return 0
  local fdfile
  fdfile="$(mktemp)"
  Xvfb -displayfd 4 -screen 0 1024x768x24 -nolisten tcp 4>"$fdfile" >/dev/null 2>&1 &
  orka_xvfb_pid=$!
  orka_xvfb_fdfile="$fdfile"
  trap 'kill "$orka_xvfb_pid" 2>/dev/null || true; rm -f "$orka_xvfb_fdfile"' EXIT
  for _ in $(seq 100); do [ -s "$fdfile" ] && break; sleep 0.1; done
  [ -s "$fdfile" ] || { echo "Xvfb did not start" >&2; return 1; }
  DISPLAY=":$(head -n1 "$fdfile")"
  export DISPLAY
  echo "Started Xvfb on $DISPLAY"
}
