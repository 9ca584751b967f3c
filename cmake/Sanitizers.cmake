# Instrumented builds, each in a build folder of its own (scripts/test.sh makes them):
#   ORKA_SANITIZE=ON  AddressSanitizer + UndefinedBehaviorSanitizer over all our code; any report
#                     ends the process, so a test that triggers one fails.
#   ORKA_FUZZ=ON      the libFuzzer programs in fuzz/ (clang only), with the same sanitizers.
# Flags go on every target of this project; the Debian libraries stay uninstrumented.
option(ORKA_SANITIZE "Build with AddressSanitizer and UndefinedBehaviorSanitizer" OFF)
option(ORKA_FUZZ "Build the libFuzzer programs in fuzz/ (needs clang)" OFF)

# What a program needs to link an instrumented orka; empty otherwise.
set(ORKA_SANITIZER_LINK_FLAGS "")
if(NOT ORKA_SANITIZE AND NOT ORKA_FUZZ)
  return()
endif()

# gcc leaves float-to-int overflow out of -fsanitize=undefined; it is undefined all the same.
set(ORKA_SANITIZER_FLAGS
  -fsanitize=address,undefined,float-cast-overflow
  -fno-sanitize-recover=undefined,float-cast-overflow
  -fno-omit-frame-pointer)

if(ORKA_SANITIZE AND NOT ORKA_FUZZ)
  # Overrides the build type's -O2: compiles about a third faster, which is most of this
  # build's time, and keeps the stacks of reports closer to the source.
  list(APPEND ORKA_SANITIZER_FLAGS -O1)
endif()

if(CMAKE_CXX_COMPILER_ID MATCHES "Clang")
  # Third-party faults clang reports and gcc does not; the file names each and why.
  list(APPEND ORKA_SANITIZER_FLAGS
    -fsanitize-ignorelist=${PROJECT_SOURCE_DIR}/tests/sanitizers/ubsan-ignore.txt)
endif()

if(ORKA_FUZZ)
  if(NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
    message(FATAL_ERROR "ORKA_FUZZ needs clang: configure with -DCMAKE_CXX_COMPILER=clang++")
  endif()
  # Coverage feedback from all our code; only the fuzz programs link libFuzzer's main.
  list(APPEND ORKA_SANITIZER_FLAGS -fsanitize=fuzzer-no-link)
endif()

add_compile_options(${ORKA_SANITIZER_FLAGS})
set(ORKA_SANITIZER_LINK_FLAGS -fsanitize=address,undefined,float-cast-overflow)
add_link_options(${ORKA_SANITIZER_LINK_FLAGS})
message(STATUS "Sanitizers: ${ORKA_SANITIZER_FLAGS}")
