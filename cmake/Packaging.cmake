# The Debian package (`make package`, or `cmake --build build --target
# package`): both programs, the desktop entry, the icon, the ride file types,
# the AppStream metainfo, the manual pages, and the copyright and changelog
# files Debian wants. The files that fit the program into the desktop are
# installed by `cmake --install` too.
#
# Publishing the project sets the variables below; until then the contact is
# a placeholder on the reserved .invalid domain and no web address is named.

include(GNUInstallDirs)

set(VELOBRIDGE_MAINTAINER "Velobridge developers <developers@velobridge.invalid>"
    CACHE STRING "Maintainer and contact address of the package")
set(VELOBRIDGE_APPSTREAM_ID "invalid.velobridge.Velobridge"
    CACHE STRING "AppStream component id (reverse domain name)")
set(VELOBRIDGE_HOMEPAGE "" CACHE STRING "Web address of the project (none when empty)")
set(VELOBRIDGE_SCREENSHOT_URL "" CACHE STRING "Web address of the window's picture (none when empty)")
set(VELOBRIDGE_RELEASE_DATE "2026-12-07")

set(pkg_dir ${PROJECT_BINARY_DIR}/packaging)
set(doc_dir ${CMAKE_INSTALL_DATADIR}/doc/velobridge)
file(MAKE_DIRECTORY ${pkg_dir})

# Desktop entry, file types and icon, for the desktop program only.
if(TARGET velobridge)
  install(FILES ${PROJECT_SOURCE_DIR}/data/velobridge.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
  install(FILES ${PROJECT_SOURCE_DIR}/data/velobridge-mime.xml
          DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages RENAME velobridge.xml)
  install(FILES ${PROJECT_SOURCE_DIR}/data/velobridge.svg DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
  install(DIRECTORY ${VELOBRIDGE_ICON_DIR}/ DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor)

  set(VELOBRIDGE_METAINFO_URLS "")
  if(VELOBRIDGE_HOMEPAGE)
    string(APPEND VELOBRIDGE_METAINFO_URLS "  <url type=\"homepage\">${VELOBRIDGE_HOMEPAGE}</url>\n")
  endif()
  if(VELOBRIDGE_SCREENSHOT_URL)
    string(APPEND VELOBRIDGE_METAINFO_URLS
           "  <screenshots>\n    <screenshot type=\"default\">\n"
           "      <caption>The window with a stretch of a climb chosen</caption>\n"
           "      <image>${VELOBRIDGE_SCREENSHOT_URL}</image>\n    </screenshot>\n  </screenshots>\n")
  endif()
  configure_file(${PROJECT_SOURCE_DIR}/data/velobridge.metainfo.xml.in
                 ${pkg_dir}/${VELOBRIDGE_APPSTREAM_ID}.metainfo.xml @ONLY)
  install(FILES ${pkg_dir}/${VELOBRIDGE_APPSTREAM_ID}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
endif()

# Manual pages from the programs' own --help and --version, dated by the
# release so that the same sources give the same pages. Builds with
# sanitizers or fuzzing are not packaged, and their programs are not run here.
if(NOT VELOBRIDGE_SANITIZE AND NOT VELOBRIDGE_FUZZ)
  find_program(VELOBRIDGE_HELP2MAN help2man REQUIRED)
  execute_process(COMMAND date -u -d ${VELOBRIDGE_RELEASE_DATE} +%s
                  OUTPUT_VARIABLE release_epoch OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)
  set(man_pages "")
  foreach(program velobridge-cli velobridge)
    if(NOT TARGET ${program})
      continue()
    endif()
    if(program STREQUAL "velobridge")
      set(summary "turn rides recorded outdoors into indoor trainer programs (window)")
    else()
      set(summary "turn rides recorded outdoors into indoor trainer programs (command line)")
    endif()
    set(page ${pkg_dir}/${program}.1)
    add_custom_command(OUTPUT ${page}.gz
      COMMAND ${CMAKE_COMMAND} -E env SOURCE_DATE_EPOCH=${release_epoch} QT_QPA_PLATFORM=offscreen
              ${VELOBRIDGE_HELP2MAN} --no-info --name ${summary} --include ${PROJECT_SOURCE_DIR}/data/velobridge.h2m
              --output ${page} $<TARGET_FILE:${program}>
      COMMAND gzip -9nf ${page}
      DEPENDS ${program} ${PROJECT_SOURCE_DIR}/data/velobridge.h2m VERBATIM)
    list(APPEND man_pages ${page}.gz)
  endforeach()
  add_custom_target(velobridge_man ALL DEPENDS ${man_pages})
  install(FILES ${man_pages} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
endif()

# copyright: Debian's machine-readable form of LICENSE (the MIT licence,
# which Debian calls Expat).
file(READ ${PROJECT_SOURCE_DIR}/LICENSE license)
if(NOT license MATCHES "Copyright \\(c\\) ([^\n]*)\n+(.*[^\n])\n*$")
  message(FATAL_ERROR "LICENSE: no \"Copyright (c)\" line before the licence text")
endif()
set(copyright_holder "${CMAKE_MATCH_1}")
string(REGEX REPLACE "\n\n+" "\n.\n" license_body "${CMAKE_MATCH_2}")
string(REPLACE "\n" "\n " license_body " ${license_body}")
set(copyright_source "")
if(VELOBRIDGE_HOMEPAGE)
  set(copyright_source "Source: ${VELOBRIDGE_HOMEPAGE}\n")
endif()
file(WRITE ${pkg_dir}/copyright
     "Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/\n"
     "Upstream-Name: Velobridge\n"
     "Upstream-Contact: ${VELOBRIDGE_MAINTAINER}\n"
     "${copyright_source}"
     "\n"
     "Files: *\n"
     "Copyright: ${copyright_holder}\n"
     "License: Expat\n"
     "${license_body}\n")
install(FILES ${pkg_dir}/copyright DESTINATION ${doc_dir})

# changelog: a native package's changelog, compressed as Debian wants it
# (gzip -9n: no name, no time stamp).
execute_process(COMMAND date -u -R -d ${VELOBRIDGE_RELEASE_DATE}
                OUTPUT_VARIABLE VELOBRIDGE_CHANGELOG_DATE OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)
configure_file(${PROJECT_SOURCE_DIR}/data/changelog.in ${pkg_dir}/changelog @ONLY)
execute_process(COMMAND gzip -9n -c ${pkg_dir}/changelog OUTPUT_FILE ${pkg_dir}/changelog.gz COMMAND_ERROR_IS_FATAL ANY)
install(FILES ${pkg_dir}/changelog.gz DESTINATION ${doc_dir})

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME velobridge)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT ${VELOBRIDGE_MAINTAINER})
set(CPACK_PACKAGE_VENDOR "The Velobridge developers")
set(CPACK_PACKAGE_DIRECTORY ${PROJECT_BINARY_DIR})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "turn rides recorded outdoors into indoor trainer programs")
# The synopsis comes from the summary; this is the long description below it.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "Velobridge reads rides recorded outdoors (Polar HRM and HAC4 files), lets\n"
    "you choose a stretch, cuts it into sections of equal length with one\n"
    "slope each and writes a program an indoor cycling trainer replays\n"
    "(Catalyst V1.0 and Catalyst V2.0 / Fortius programs). It also converts\n"
    "V1.0 programs to V2.0, writes trainer run files as HRM files and builds\n"
    "RealLife Video files from a small text script.\n"
    ".\n"
    "This package holds the desktop program velobridge and the command-line\n"
    "tool velobridge-cli.")
string(REPLACE ";" "" CPACK_DEBIAN_PACKAGE_DESCRIPTION "${CPACK_DEBIAN_PACKAGE_DESCRIPTION}")
set(CPACK_DEBIAN_PACKAGE_MAINTAINER ${VELOBRIDGE_MAINTAINER})
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
if(VELOBRIDGE_HOMEPAGE)
  set(CPACK_DEBIAN_PACKAGE_HOMEPAGE ${VELOBRIDGE_HOMEPAGE})
endif()
include(CPack)
