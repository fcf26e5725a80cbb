# The Debian package: `cpack -G DEB` in a build folder after the build.

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

set(CPACK_PACKAGE_NAME consoletools)
set(CPACK_PACKAGE_VENDOR "Console tools team")
set(CPACK_PACKAGE_CONTACT "Console tools team <consoletools@example.org>")
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "Console tools team <consoletools@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "interactive console tools: date calculator, array editor, matrix statistics")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "Three small interactive console programs with fixed messages in transliterated Russian:
datemenu, a date calculator in a 365-day calendar; arraymenu, an editor for an array
of pseudo-random doubles; gridstat, a random matrix with its mean and sample variance.")
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_GENERATOR DEB)
set(CPACK_STRIP_FILES ON)
include(CPack)
