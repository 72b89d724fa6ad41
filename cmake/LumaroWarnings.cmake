# Warnings for Lumaro's own targets; third-party headers come in as SYSTEM.
function(lumaro_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic -Wconversion -Wsign-conversion)
  if(LUMARO_WERROR)
    target_compile_options(${target} PRIVATE -Werror)
  endif()
endfunction()
