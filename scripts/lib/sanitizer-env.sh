# shellcheck shell=bash
# Sourced by the test scripts: the run-time settings of AddressSanitizer, LeakSanitizer and
# UndefinedBehaviorSanitizer for the instrumented builds. Any report ends the process with a
# failure. Needs `root` set to the repository root.

export ASAN_OPTIONS="halt_on_error=1:detect_leaks=1:check_initialization_order=1:strict_init_order=1:detect_stack_use_after_return=1:verify_asan_link_order=0"
export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1"
# Only leaks whose whole stack lies in the libraries named there are ignored.
export LSAN_OPTIONS="suppressions=${root:?}/tests/sanitizers/lsan.supp:print_suppressions=0"

# Mesa unloads its llvmpipe driver (swrast_dri.so) when the X display closes, before the leak
# check at exit; the driver's own allocations, until then held by its globals, would show up
# as leaks from an unknown module that no suppression can name. Keeping it loaded lets the leak
# check see those references. (verify_asan_link_order=0 above allows the preload with g++'s
# shared ASan runtime.) Prints the LD_PRELOAD value to use, empty when the driver is not found.
orka_gl_driver_preload() {
  local dir
  for dir in "/usr/lib/$(gcc -print-multiarch 2>/dev/null)/dri" /usr/lib64/dri /usr/lib/dri; do
    if [ -f "$dir/swrast_dri.so" ]; then
      echo "$dir/swrast_dri.so"
      return 0
    fi
  done
  echo "Mesa's swrast_dri.so not found: driver leaks may be reported" >&2
}
