# For the command line's front, which runs on every brightness key press: its
# start-up is mostly the dynamic loader's work, so it carries the C++ runtime
# inside and records only the shared libraries it calls into. A sanitised
# build keeps the shared runtime, which its sanitiser runtime expects.
function(lumaro_lean_executable target)
  target_link_options(${target} PRIVATE -Wl,--as-needed)
  if(NOT CMAKE_CXX_FLAGS MATCHES "-fsanitize")
    target_link_options(${target} PRIVATE -static-libstdc++ -static-libgcc)
  endif()
endfunction()
