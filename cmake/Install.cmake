# `cmake --install build --prefix P` puts the engine where other projects find it:
#   P/include/orka/*.hpp             the public headers
#   P/<libdir>/liborka.a             the library
#   P/<libdir>/cmake/orka/           orkaConfig.cmake, its version file and the target orka::orka
#   P/<libdir>/pkgconfig/orka.pc     for pkg-config
# Every installed path is relative to P, so the tree can be moved as a whole.
include(GNUInstallDirs)
include(CMakePackageConfigHelpers)

set(ORKA_CMAKE_INSTALL_DIR ${CMAKE_INSTALL_LIBDIR}/cmake/orka)

install(TARGETS orka EXPORT orkaTargets ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR})
install(FILES ${ORKA_PUBLIC_HEADERS} DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/orka)
install(EXPORT orkaTargets NAMESPACE orka:: DESTINATION ${ORKA_CMAKE_INSTALL_DIR})

configure_package_config_file(cmake/orkaConfig.cmake.in
  ${PROJECT_BINARY_DIR}/install/orkaConfig.cmake
  INSTALL_DESTINATION ${ORKA_CMAKE_INSTALL_DIR})
# Before 1.0 a minor version may change the interface: 0.9.x satisfies a request for 0.9 only.
write_basic_package_version_file(${PROJECT_BINARY_DIR}/install/orkaConfigVersion.cmake
  COMPATIBILITY SameMinorVersion)
install(FILES
  ${PROJECT_BINARY_DIR}/install/orkaConfig.cmake
  ${PROJECT_BINARY_DIR}/install/orkaConfigVersion.cmake
  DESTINATION ${ORKA_CMAKE_INSTALL_DIR})

# orka.pc finds the prefix from its own place (pkg-config's ${pcfiledir}), not from the
# prefix this build was configured with.
set(ORKA_PC_DIR ${CMAKE_INSTALL_LIBDIR}/pkgconfig)
file(RELATIVE_PATH ORKA_PC_TO_PREFIX /${ORKA_PC_DIR} /)
string(REGEX REPLACE "/$" "" ORKA_PC_TO_PREFIX "${ORKA_PC_TO_PREFIX}")
list(JOIN ORKA_SANITIZER_LINK_FLAGS " " ORKA_PC_SANITIZER_LIBS)
configure_file(cmake/orka.pc.in ${PROJECT_BINARY_DIR}/install/orka.pc @ONLY)
install(FILES ${PROJECT_BINARY_DIR}/install/orka.pc DESTINATION ${ORKA_PC_DIR})
