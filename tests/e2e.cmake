# End-to-end transcripts: every tests/e2e/<program>/<case>.in becomes the ctest test
# e2e.<program>.<case>, run by tests/run_e2e.py against the built program.
set(E2E_RUNNER ${CMAKE_CURRENT_LIST_DIR}/run_e2e.py)

function(add_e2e_cases program)
  set(case_dir ${PROJECT_SOURCE_DIR}/tests/e2e/${program})
  file(GLOB inputs CONFIGURE_DEPENDS ${case_dir}/*.in)
  if(NOT inputs)
    message(FATAL_ERROR "no end-to-end cases in ${case_dir}")
  endif()
  foreach(input IN LISTS inputs)
    get_filename_component(case ${input} NAME_WE)
    add_test(NAME e2e.${program}.${case}
             COMMAND ${Python3_EXECUTABLE} ${E2E_RUNNER} $<TARGET_FILE:${program}> ${case_dir}/${case})
    # Exit 77: the case cannot run here (a fake machine without root), and says why.
    set_tests_properties(e2e.${program}.${case} PROPERTIES LABELS e2e TIMEOUT 60
                         SKIP_RETURN_CODE 77)
  endforeach()
endfunction()
