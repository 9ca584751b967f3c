# shellcheck shell=bash
# Sourced by the test scripts: the run-time settings of AddressSanitizer, LeakSanitizer and
# UndefinedBehaviorSanitizer for the instrumented builds. Any report ends the process with a
# failure. Needs `root` set to the repository root.

export ASAN_OPTIONS="halt_on_error=1:detect_leaks=1:check_initialization_order=1:strict_init_order=1:detect_stack_use_after_return=1:verify_asan_link_order=0"
export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1"
# Only leaks whose whole stack lies in the libraries named there are ignored.
# The path is quoted for the sanitizers' own parser: the checkout's folder may hold spaces.
export LSAN_OPTIONS="suppressions='${root:?}/tests/sanitizers/lsan.supp':print_suppressions=0"

# Mesa unloads its llvmpipe driver (swrast_dri.so) when the X display closes, before the leak
# check at exit; the driver's own allocations, until then held by its globals, would show up
# as leaks from an unknown module that no suppression can name. Keeping it loaded lets the leak
# check see those references. The same holds for the EGL loader (libEGL.so.1), which SDL opens
# and closes again for its offscreen driver and when it looks for a display that is not there.
# (verify_asan_link_order=0 above allows the preload with g++'s shared ASan runtime.) Prints the
# LD_PRELOAD value to use; a library that is not found is left out with a warning.
orka_gl_driver_preload() {
  local multiarch dir driver="" egl=""
  multiarch="$(gcc -print-multiarch 2>/dev/null || true)"
  for dir in "/usr/lib/$multiarch/dri" /usr/lib64/dri /usr/lib/dri; do
    if [ -f "$dir/swrast_dri.so" ]; then
      driver="$dir/swrast_dri.so"
      break
    fi
  done
  for dir in "/usr/lib/$multiarch" /usr/lib64 /usr/lib; do
    if [ -f "$dir/libEGL.so.1" ]; then
      egl="$dir/libEGL.so.1"
      break
    fi
  done
  [ -n "$driver" ] || echo "Mesa's swrast_dri.so not found: driver leaks may be reported" >&2
  [ -n "$egl" ] || echo "libEGL.so.1 not found: EGL loader leaks may be reported" >&2
  local preload="$driver${driver:+${egl:+:}}$egl"
  echo "$preload"
}
