# Fails when the executable EXE would load a shared library matching the
# regular expression FORBIDDEN (ldd lists what the loader maps, transitively).
execute_process(COMMAND ldd ${EXE} OUTPUT_VARIABLE loaded RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "ldd ${EXE} failed:\n${loaded}")
endif()
string(REGEX MATCHALL "[^\n]*(${FORBIDDEN})[^\n]*" found "${loaded}")
if(found)
  string(REPLACE ";" "\n" found "${found}")
  message(FATAL_ERROR "${EXE} loads libraries a command through the running instance does not need:\n${found}")
endif()
message(STATUS "${EXE} loads:\n${loaded}")
