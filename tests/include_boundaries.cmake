# Fails when a file below src/ includes what its floor must not see.
#
# The floors, lowest first; each may include its own folder and the floors
# listed for it, nothing above:
#
#   ports            the small interfaces the core calls (line sink, HID, display
#                    services, dispatch, timer, device events, ...): standard C++ only
#   text             Unicode text rules
#   diagnostics      formatting of diagnostic values
#   edid             registry-dump parser, EDID decoder
#   display_control  records and the controller
#   model            the observable model
#   cli              the command line and the model behind it
#   ui, adapters     side by side on the top floor: the Qt interface, and one folder
#                    per technology implementing the ports (and the command port of cli)
#
# Platform headers (hidapi, libudev, Qt, D-Bus, POSIX and Linux system headers)
# appear only in src/adapters/ and src/ui/. tools/ and app/ wire everything and
# sit above the house.
# Run as: cmake -DPROJECT_DIR=<project root> [-DSOURCE_ROOT=<dir>] -P include_boundaries.cmake
cmake_minimum_required(VERSION 3.25)
if(NOT PROJECT_DIR)
  message(FATAL_ERROR "PROJECT_DIR is not set")
endif()
if(NOT SOURCE_ROOT)
  set(SOURCE_ROOT ${PROJECT_DIR}/src)
endif()

set(floors ports text diagnostics edid display_control model cli ui adapters)
set(below_ports "")
set(below_text "ports")
set(below_diagnostics "ports|text")
set(below_edid "ports|text|diagnostics")
set(below_display_control "ports|text|diagnostics|edid")
set(below_model "ports|text|diagnostics|edid|display_control")
set(below_cli "ports|text|diagnostics|edid|display_control|model")
set(below_ui "ports|text|diagnostics|edid|display_control|model")
set(below_adapters "ports|text|diagnostics|edid|display_control|model|cli")
string(JOIN "|" any_floor ${floors})

set(platform_header
  "^(hidapi/|libudev|systemd/|Q[A-Za-z]|Qt[A-Za-z]+/|dbus/|sys/|linux/|asm/|arpa/|net/|netinet/|unistd\\.h|fcntl\\.h|poll\\.h|spawn\\.h|signal\\.h|dirent\\.h|pthread\\.h|dlfcn\\.h|termios\\.h|syslog\\.h|pwd\\.h|grp\\.h)")

file(GLOB_RECURSE sources RELATIVE ${SOURCE_ROOT} ${SOURCE_ROOT}/*.hpp ${SOURCE_ROOT}/*.cpp ${SOURCE_ROOT}/*.h)
set(violations "")
foreach(source ${sources})
  string(REGEX MATCH "^[^/]+" floor "${source}")
  if(NOT floor IN_LIST floors)
    string(APPEND violations "  src/${source}: src/${floor}/ is not a floor of the house\n")
    continue()
  endif()
  set(allowed "${floor}")
  if(below_${floor})
    set(allowed "${floor}|${below_${floor}}")
  endif()
  file(STRINGS ${SOURCE_ROOT}/${source} includes REGEX "^[ \t]*#[ \t]*include[ \t]*[<\"]")
  foreach(line ${includes})
    string(REGEX REPLACE "^[ \t]*#[ \t]*include[ \t]*[<\"]([^>\"]+)[>\"].*" "\\1" header "${line}")
    if(header MATCHES "${platform_header}" AND NOT floor MATCHES "^(adapters|ui)$")
      string(APPEND violations "  src/${source}: platform header <${header}> outside src/adapters and src/ui\n")
    endif()
    if(header MATCHES "^(${any_floor})/" AND NOT header MATCHES "^(${allowed})/")
      string(APPEND violations "  src/${source}: ${floor}/ must not include \"${header}\"\n")
    endif()
  endforeach()
endforeach()

if(violations)
  message(FATAL_ERROR "Include boundaries crossed:\n${violations}")
endif()
list(LENGTH sources count)
message(STATUS "${count} files keep their include boundaries")
