# The Windows download of velobridge-cli: a zip (CPack ZIP) holding the .exe,
# the README and the licence, side by side at the top of the archive:
#   build-win/velobridge-cli-VERSION-windows-x64.zip
# Included on Windows builds only; the window is not part of it.

set(CMAKE_INSTALL_BINDIR "." CACHE STRING "Where the programs go in the zip")

install(FILES ${PROJECT_SOURCE_DIR}/README.md DESTINATION .)
# The licence file, once the repository has one.
if(EXISTS ${PROJECT_SOURCE_DIR}/LICENSE)
  install(FILES ${PROJECT_SOURCE_DIR}/LICENSE DESTINATION .)
endif()

set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_NAME velobridge-cli)
set(CPACK_PACKAGE_VENDOR "the Velobridge developers")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_FILE_NAME velobridge-cli-${PROJECT_VERSION}-windows-x64)
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY ON)
set(CPACK_STRIP_FILES ON)
include(CPack)
