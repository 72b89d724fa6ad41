# Fails when a file below src/ or tools/ includes what its place must not see:
#  - platform libraries (hidapi, libudev, Qt, D-Bus, POSIX and Linux system
#    headers) anywhere but in an adapter folder (src/platform/<adapter>/) or src/ui;
#  - a higher layer from a lower one (ui, cli -> model -> display_control -> edid -> text).
# app/ wires the adapters and may include anything.
# Run as: cmake -DPROJECT_DIR=<project root> -P include_boundaries.cmake
if(NOT PROJECT_DIR)
  message(FATAL_ERROR "PROJECT_DIR is not set")
endif()

# Platform headers: hidapi, libudev, Qt classes and modules, D-Bus, and the
# POSIX/Linux system headers (the C and C++ standard headers stay allowed).
set(platform_header
  "^(hidapi/|libudev|Q[A-Za-z]|Qt[A-Za-z]+/|dbus/|sys/|linux/|asm/|arpa/|net/|netinet/|unistd\\.h|fcntl\\.h|poll\\.h|spawn\\.h|signal\\.h|dirent\\.h|pthread\\.h|dlfcn\\.h|termios\\.h|syslog\\.h|pwd\\.h|grp\\.h)")

# Each layer and the project folders it must not include.
set(forbidden_text "diagnostics/|edid/|display_control/|model/|ui/")
set(forbidden_diagnostics "edid/|display_control/|model/|ui/")
set(forbidden_edid "display_control/|model/|ui/")
set(forbidden_display_control "model/|ui/|cli/")
set(forbidden_model "ui/|cli/")
set(forbidden_cli "ui/")
set(forbidden_platform "display_control/|model/|ui/")

set(sources "")
foreach(root src tools)
  file(GLOB_RECURSE found RELATIVE ${PROJECT_DIR} ${PROJECT_DIR}/${root}/*.hpp ${PROJECT_DIR}/${root}/*.cpp
       ${PROJECT_DIR}/${root}/*.h)
  list(APPEND sources ${found})
endforeach()
set(violations "")
foreach(source ${sources})
  # The layer is the folder below src/; everything in tools/ is one place.
  string(REGEX REPLACE "^src/" "" inside "${source}")
  string(REGEX MATCH "^[^/]+" layer "${inside}")
  # Adapters live one folder below src/platform; the ports beside them do not.
  set(adapter OFF)
  if(source MATCHES "^src/platform/[^/]+/")
    set(adapter ON)
  endif()
  file(STRINGS ${PROJECT_DIR}/${source} includes REGEX "^[ \t]*#[ \t]*include[ \t]*[<\"]")
  foreach(line ${includes})
    string(REGEX REPLACE "^[ \t]*#[ \t]*include[ \t]*[<\"]([^>\"]+)[>\"].*" "\\1" header "${line}")
    if(header MATCHES "${platform_header}" AND NOT adapter AND NOT layer STREQUAL "ui")
      string(APPEND violations "  ${source}: platform header <${header}> outside the adapters and src/ui\n")
    endif()
    set(forbidden "${forbidden_${layer}}")
    if(forbidden AND header MATCHES "^(${forbidden})")
      string(APPEND violations "  ${source}: ${layer}/ must not include \"${header}\"\n")
    endif()
  endforeach()
endforeach()

if(violations)
  message(FATAL_ERROR "Include boundaries crossed:\n${violations}")
endif()
list(LENGTH sources count)
message(STATUS "${count} files keep their include boundaries")
