# The language standard, the warnings and the debug format are set on the project's own targets
# only, so that they reach neither the libraries found nor a project that includes this one.
set(PROJECT_WARNINGS -Wall -Wextra -Wpedantic -Wshadow -Wconversion -Wsign-conversion
                     $<$<BOOL:${WARNINGS_AS_ERRORS}>:-Werror>)
# Debug information that valgrind reads: valgrind 3.19 (Debian 12) gives up on the DWARF 5 that
# clang writes by default, and the memcheck tests run on whatever compiler built the programs.
set(PROJECT_DEBUG_FORMAT
    $<$<AND:$<CXX_COMPILER_ID:Clang>,$<CONFIG:Debug,RelWithDebInfo>>:-gdwarf-4>)

# The protections every program Debian ships has, given by the compiler and linker flags that
# dpkg-buildflags gives a package with hardening=+all: position-independent executables, stack
# protector and stack clash probes, checked copies of the C library's functions where the
# sizes are known (which needs optimisation, hence only in optimised builds), control-flow
# protection where the target has it, and relocations read-only and bound at start.
set(PROJECT_HARDENING_COMPILE "")
set(PROJECT_HARDENING_LINK "")
if(HARDENING)
  include(CheckCXXCompilerFlag)
  list(APPEND PROJECT_HARDENING_COMPILE -fPIE -fstack-protector-strong
       $<$<CONFIG:Release,RelWithDebInfo,MinSizeRel>:-U_FORTIFY_SOURCE -D_FORTIFY_SOURCE=2>)
  foreach(flag -fstack-clash-protection -fcf-protection)
    string(MAKE_C_IDENTIFIER "HAVE${flag}" have_flag)
    check_cxx_compiler_flag(${flag} ${have_flag})
    if(${have_flag})
      list(APPEND PROJECT_HARDENING_COMPILE ${flag})
    endif()
  endforeach()
  set(PROJECT_HARDENING_LINK -pie LINKER:-z,relro LINKER:-z,now)
endif()

# Applied once, after every folder was added, to each compiled target of a folder and of the
# folders below it: the programs, their libraries, tests, benchmarks and fuzzers alike.
function(apply_project_options directory)
  get_property(targets DIRECTORY ${directory} PROPERTY BUILDSYSTEM_TARGETS)
  foreach(target IN LISTS targets)
    get_target_property(type ${target} TYPE)
    if(type MATCHES "^(EXECUTABLE|STATIC_LIBRARY|SHARED_LIBRARY|OBJECT_LIBRARY)$")
      target_compile_features(${target} PRIVATE cxx_std_20)
      set_target_properties(${target} PROPERTIES CXX_EXTENSIONS OFF)
      target_compile_options(${target} PRIVATE ${PROJECT_WARNINGS} ${PROJECT_DEBUG_FORMAT}
                                               ${PROJECT_HARDENING_COMPILE})
      if(type STREQUAL "EXECUTABLE")
        target_link_options(${target} PRIVATE ${PROJECT_HARDENING_LINK})
      endif()
      # Debug builds check every index into a standard container, so that a step past the end
      # aborts the test that makes it instead of passing unseen.
      target_compile_definitions(${target} PRIVATE $<$<CONFIG:Debug>:_GLIBCXX_ASSERTIONS>)
    endif()
  endforeach()
  get_property(folders DIRECTORY ${directory} PROPERTY SUBDIRECTORIES)
  foreach(folder IN LISTS folders)
    apply_project_options(${folder})
  endforeach()
endfunction()
