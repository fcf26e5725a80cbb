# add_console_program(<name> SOURCES <source>... TESTS <test source>...)
#
# One program of the project, from its folder: the core library <name>_core of SOURCES over the
# console layer, the executable <name> from main.cc, its installation with man/<name>.1
# (compressed) and, when tests are built, the unit test binary of TESTS and the end-to-end cases
# of tests/e2e/<name>/. The name is added to the global property CONSOLE_PROGRAMS, the one list of
# the programs built that tests, benchmarks, fuzzers and scripts take.
function(add_console_program name)
  cmake_parse_arguments(PARSE_ARGV 1 arg "" "" "SOURCES;TESTS")
  add_library(${name}_core STATIC ${arg_SOURCES})
  target_link_libraries(${name}_core PUBLIC console)

  add_executable(${name} main.cc)
  target_link_libraries(${name} PRIVATE ${name}_core)
  install(TARGETS ${name})
  # The page's header names the version the program prints.
  file(STRINGS ${PROJECT_SOURCE_DIR}/man/${name}.1 page_header LIMIT_COUNT 1)
  if(NOT page_header MATCHES "\"${PROJECT_NAME} ${PROJECT_VERSION}\"")
    message(FATAL_ERROR "man/${name}.1: its .TH line must name \"${PROJECT_NAME} "
                        "${PROJECT_VERSION}\", the version in debian/changelog")
  endif()
  install_compressed(${PROJECT_SOURCE_DIR}/man/${name}.1 ${CMAKE_INSTALL_MANDIR}/man1)
  set_property(GLOBAL APPEND PROPERTY CONSOLE_PROGRAMS ${name})

  if(BUILD_TESTING)
    add_executable(${name}_test ${arg_TESTS})
    target_link_libraries(${name}_test PRIVATE ${name}_core GTest::gtest_main)
    gtest_discover_tests(${name}_test PROPERTIES LABELS unit)
    add_e2e_cases(${name})
  endif()
endfunction()

# install_compressed(<file> <destination>): <file> installed compressed, at the highest level and
# with no name or time in it, as Debian has its manual pages.
function(install_compressed file destination)
  get_filename_component(name ${file} NAME)
  set(copy ${PROJECT_BINARY_DIR}/compressed/${name})
  add_custom_command(OUTPUT ${copy}.gz
                     COMMAND ${CMAKE_COMMAND} -E copy ${file} ${copy}
                     COMMAND gzip -9nf ${copy}
                     DEPENDS ${file} VERBATIM)
  add_custom_target(compressed_${name} ALL DEPENDS ${copy}.gz)
  install(FILES ${copy}.gz DESTINATION ${destination})
endfunction()
