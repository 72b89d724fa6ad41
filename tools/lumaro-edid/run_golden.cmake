# Runs `TOOL MODE INPUT` and checks what it printed.
#   EXPECTED         golden file for standard output (with UPDATE=ON it is rewritten instead)
#   ACTUAL           where to keep the output for a diff
#   EXPECTED_EXIT    exit status, 0 unless given
#   EXPECTED_STDERR  regular expression standard error must match
if(NOT DEFINED EXPECTED_EXIT)
  set(EXPECTED_EXIT 0)
endif()
if(NOT DEFINED ACTUAL)
  string(RANDOM LENGTH 8 suffix)
  set(ACTUAL ${CMAKE_CURRENT_BINARY_DIR}/lumaro-edid-${suffix}.actual)
endif()
get_filename_component(actual_dir ${ACTUAL} DIRECTORY)
file(MAKE_DIRECTORY ${actual_dir})

execute_process(COMMAND ${TOOL} ${MODE} ${INPUT}
  OUTPUT_FILE ${ACTUAL} ERROR_VARIABLE stderr RESULT_VARIABLE status)

if(NOT status STREQUAL EXPECTED_EXIT)
  message(FATAL_ERROR "${TOOL} ${MODE} ${INPUT}: exit status ${status}, expected ${EXPECTED_EXIT}\n${stderr}")
endif()
if(DEFINED EXPECTED_STDERR AND NOT stderr MATCHES "${EXPECTED_STDERR}")
  message(FATAL_ERROR "standard error does not match '${EXPECTED_STDERR}':\n${stderr}")
endif()
if(DEFINED EXPECTED)
  if(UPDATE)
    file(COPY_FILE ${ACTUAL} ${EXPECTED} ONLY_IF_DIFFERENT)
    return()
  endif()
  if(NOT EXISTS ${EXPECTED})
    message(FATAL_ERROR "no golden file ${EXPECTED}; build the update-golden target to create it")
  endif()
  execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files ${EXPECTED} ${ACTUAL} RESULT_VARIABLE differs)
  if(differs)
    execute_process(COMMAND diff -u ${EXPECTED} ${ACTUAL} OUTPUT_VARIABLE difference)
    message(FATAL_ERROR "output differs from ${EXPECTED}:\n${difference}")
  endif()
endif()
file(REMOVE ${ACTUAL})
