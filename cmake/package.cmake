# The Debian package: `cpack` in a build folder after the build. Beside the programs and their
# pages it carries what lintian asks of a package: the licence in machine-readable form and a
# changelog (cmake/package/changelog), under usr/share/doc/consoletools. Those two go in the
# package only: `cmake --install` leaves them out, so that its manifest lists all it installed.

# install_compressed(<file> <destination> [<install option>...]): <file> installed compressed, at
# the highest level and with no name or time in it, as Debian has its pages and changelogs.
function(install_compressed file destination)
  get_filename_component(name ${file} NAME)
  set(copy ${PROJECT_BINARY_DIR}/compressed/${name})
  add_custom_command(OUTPUT ${copy}.gz
                     COMMAND ${CMAKE_COMMAND} -E copy ${file} ${copy}
                     COMMAND gzip -9nf ${copy}
                     DEPENDS ${file} VERBATIM)
  add_custom_target(compressed_${name} ALL DEPENDS ${copy}.gz)
  install(FILES ${copy}.gz DESTINATION ${destination} ${ARGN})
endfunction()

# The changelog's version is the project's.
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS
             ${PROJECT_SOURCE_DIR}/LICENSE ${PROJECT_SOURCE_DIR}/cmake/package/changelog)
file(STRINGS ${PROJECT_SOURCE_DIR}/cmake/package/changelog changelog_top LIMIT_COUNT 1)
if(NOT changelog_top MATCHES "^${PROJECT_NAME} \\(${PROJECT_VERSION}\\) ")
  message(FATAL_ERROR "cmake/package/changelog: the latest entry, at the top, must be for "
                      "${PROJECT_NAME} (${PROJECT_VERSION}), the project's version")
endif()
install_compressed(${PROJECT_SOURCE_DIR}/cmake/package/changelog ${CMAKE_INSTALL_DOCDIR}
                   COMPONENT package EXCLUDE_FROM_ALL)

# The copyright file in Debian's machine-readable format, from LICENSE: its copyright line and
# its terms, each line indented and each empty line a lone dot.
file(READ ${PROJECT_SOURCE_DIR}/LICENSE licence)
string(REGEX MATCH "Copyright \\(c\\) ([^\n]+)" _ "${licence}")
set(holders "${CMAKE_MATCH_1}")
string(FIND "${licence}" "Permission is hereby granted" start)
string(SUBSTRING "${licence}" ${start} -1 terms)
string(STRIP "${terms}" terms)
string(REPLACE "\n\n" "\n.\n" terms "${terms}")
string(REPLACE "\n" "\n " terms "${terms}")
file(WRITE ${PROJECT_BINARY_DIR}/copyright
     "Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/\n"
     "Upstream-Name: ${PROJECT_NAME}\n\nFiles: *\nCopyright: ${holders}\nLicense: Expat\n"
     " ${terms}\n")
install(FILES ${PROJECT_BINARY_DIR}/copyright DESTINATION ${CMAKE_INSTALL_DOCDIR}
        COMPONENT package EXCLUDE_FROM_ALL)

set(CPACK_PACKAGE_NAME consoletools)
set(CPACK_PACKAGE_VENDOR "Console tools team")
set(CPACK_PACKAGE_CONTACT "Console tools team <consoletools@example.org>")
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "Console tools team <consoletools@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "interactive console tools: date calculator, array editor, matrix statistics")
# lintian wants each line of the description, with the space that starts it in the package, to
# be at most 80 characters long.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "Three small interactive console programs with fixed messages in transliterated
Russian: datemenu, a date calculator in a 365-day calendar; arraymenu, an
editor for an array of pseudo-random doubles; gridstat, a random matrix with
its mean and sample variance.")
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_GENERATOR DEB)
set(CPACK_STRIP_FILES ON)
# The programs and pages (the component of every install() that names none), then the package's
# own files. Naming the components also keeps cpack's install from overwriting the build
# folder's install_manifest.txt, which a `sudo cmake --install` may have left owned by root.
set(CPACK_INSTALL_CMAKE_PROJECTS ${PROJECT_BINARY_DIR} ${PROJECT_NAME} Unspecified /
                                 ${PROJECT_BINARY_DIR} ${PROJECT_NAME} package /)
include(CPack)
