# Fails when levelimport_lib hands RapidJSON, zlib, pugixml or zstd on to its users: its public
# headers name none of them, so a program linking it must not be built against them on its
# account.
# USAGE: file written at generate time, "links=<INTERFACE_LINK_LIBRARIES>" and
# "includes=<INTERFACE_SYSTEM_INCLUDE_DIRECTORIES>" on one line each. RAPIDJSON: its include dir.
file(STRINGS "${USAGE}" lines)
set(problems "")
foreach(line IN LISTS lines)
  # Link-only entries are what a static library needs at link time; users compile without them.
  string(REGEX REPLACE "\\$<LINK_ONLY:[^>]*>" "" line "${line}")
  if(line MATCHES "^links=.*(ZLIB|PUGIXML|ZSTD)")
    list(APPEND problems "zlib, pugixml or zstd is a usage requirement: ${line}")
  endif()
  string(FIND "${line}" "${RAPIDJSON}" rapidjsonAt)
  if(RAPIDJSON AND line MATCHES "^includes=" AND NOT rapidjsonAt EQUAL -1)
    list(APPEND problems "RapidJSON's include directory is a usage requirement: ${line}")
  endif()
endforeach()
if(problems)
  list(JOIN problems "\n" text)
  message(FATAL_ERROR "levelimport_lib passes its own dependencies on:\n${text}")
endif()
message(STATUS "levelimport_lib keeps RapidJSON, zlib, pugixml and zstd to itself")
