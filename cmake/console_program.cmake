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
  install_compressed(${PROJECT_SOURCE_DIR}/man/${name}.1 ${CMAKE_INSTALL_MANDIR}/man1)
  set_property(GLOBAL APPEND PROPERTY CONSOLE_PROGRAMS ${name})

  if(BUILD_TESTING)
    add_executable(${name}_test ${arg_TESTS})
    target_link_libraries(${name}_test PRIVATE ${name}_core GTest::gtest_main)
    gtest_discover_tests(${name}_test PROPERTIES LABELS unit)
    add_e2e_cases(${name})
  endif()
endfunction()
