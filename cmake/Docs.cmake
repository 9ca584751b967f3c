# `cmake --build build --target docs` writes the engine's reference with Doxygen to
# build/docs/html/index.html; ctest's check_docs fails while a public class or member of it
# has no comment. Both exist only when Doxygen is found (Debian's doxygen package) and
# ORKA_DOCS is on (the default for the top-level project).
find_program(ORKA_DOXYGEN doxygen)
if(NOT ORKA_DOXYGEN)
  message(STATUS "Doxygen not found: no docs target and no check of the reference")
  return()
endif()

set(ORKA_GENERATED_INCLUDE_DIR ${PROJECT_BINARY_DIR}/src/orka/include)
# Every path in double quotes: the checkout's folder may hold spaces.
list(JOIN ORKA_PUBLIC_HEADERS "\" \"" ORKA_DOXYGEN_INPUT)
set(ORKA_DOXYGEN_INPUT "\"${ORKA_DOXYGEN_INPUT}\" \"${PROJECT_SOURCE_DIR}/docs/reference.md\"")
# The 2D page, reached from the start page.
string(APPEND ORKA_DOXYGEN_INPUT " \"${PROJECT_SOURCE_DIR}/docs/2d.md\"")

# One template, two configurations: the reference itself, with warnings on the console, and
# the check's run in a folder of its own, with warnings in a file the check reads.
set(ORKA_DOXYGEN_OUTPUT_DIR ${PROJECT_BINARY_DIR}/docs)
set(ORKA_DOXYGEN_WARN_LOGFILE "")
configure_file(cmake/Doxyfile.in ${PROJECT_BINARY_DIR}/docs/Doxyfile @ONLY)

set(ORKA_DOXYGEN_OUTPUT_DIR ${PROJECT_BINARY_DIR}/docs-check)
set(ORKA_DOCS_WARNINGS ${PROJECT_BINARY_DIR}/docs-check/warnings.txt)
set(ORKA_DOXYGEN_WARN_LOGFILE "\"${ORKA_DOCS_WARNINGS}\"")
configure_file(cmake/Doxyfile.in ${PROJECT_BINARY_DIR}/docs-check/Doxyfile @ONLY)

add_custom_command(
  OUTPUT ${PROJECT_BINARY_DIR}/docs/html/index.html
  COMMAND ${ORKA_DOXYGEN} ${PROJECT_BINARY_DIR}/docs/Doxyfile
  DEPENDS ${ORKA_PUBLIC_HEADERS} ${PROJECT_SOURCE_DIR}/docs/reference.md
    ${PROJECT_SOURCE_DIR}/docs/2d.md
    ${PROJECT_SOURCE_DIR}/examples/minimal/main.cpp ${PROJECT_BINARY_DIR}/docs/Doxyfile
  COMMENT "Writing the engine reference to ${PROJECT_BINARY_DIR}/docs/html/index.html"
  VERBATIM)
add_custom_target(docs DEPENDS ${PROJECT_BINARY_DIR}/docs/html/index.html)

if(ORKA_BUILD_TESTS)
  add_test(NAME check_docs COMMAND ${CMAKE_COMMAND}
    -DDOXYGEN=${ORKA_DOXYGEN}
    -DDOXYFILE=${PROJECT_BINARY_DIR}/docs-check/Doxyfile
    -DWARNINGS=${ORKA_DOCS_WARNINGS}
    -P ${PROJECT_SOURCE_DIR}/cmake/CheckDocs.cmake)
endif()
