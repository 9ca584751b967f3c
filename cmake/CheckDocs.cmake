# Run by ctest (check_docs): writes the reference and fails when Doxygen warned, printing the
# warnings: a public class or member without a comment, or a comment Doxygen cannot read.
#   cmake -DDOXYGEN=<doxygen> -DDOXYFILE=<Doxyfile> -DWARNINGS=<its WARN_LOGFILE> -P CheckDocs.cmake
file(REMOVE ${WARNINGS})
execute_process(COMMAND ${DOXYGEN} ${DOXYFILE} RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "Doxygen failed (${result})")
endif()
if(NOT EXISTS ${WARNINGS})
  message(FATAL_ERROR "Doxygen wrote no warnings file at ${WARNINGS}")
endif()
file(STRINGS ${WARNINGS} warnings REGEX "warning:|error:")
list(LENGTH warnings count)
if(count GREATER 0)
  file(READ ${WARNINGS} text)
  # Printed as written (a fatal error's text would be re-wrapped), then the failure.
  message("${text}")
  message(FATAL_ERROR "Doxygen warnings in the public headers: ${count} (listed above)")
endif()
message(STATUS "Every public class and member is documented")
