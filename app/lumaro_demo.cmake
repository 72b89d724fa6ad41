# lumaro-demo: the same application wired to simulated hardware.
# lumaro-demo-tray is its tray application, lumaro-demo-direct its command line
# on the simulated displays, lumaro-demo the command line's front and launcher.

# Real Apple EDIDs from the test fixtures, compiled in as byte arrays so the
# binary runs anywhere and its command path loads no Qt.
set(demo_edid_names apple-led-cinema-9226 apple-cinema-hd-921e)
set(demo_edid_source ${CMAKE_CURRENT_BINARY_DIR}/demo_edids.cpp)
set(demo_edid_text "// Generated from tests/fixtures/edid by app/lumaro_demo.cmake.\n#include \"demo/demo_hardware.hpp\"\n\nnamespace lumaro::demo {\n\nstd::vector<std::uint8_t> demoEdid(std::string_view name) {\n")
foreach(name ${demo_edid_names})
  set(file ${PROJECT_SOURCE_DIR}/tests/fixtures/edid/${name}.bin)
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${file})
  file(READ ${file} hex HEX)
  string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
  string(APPEND demo_edid_text "  if (name == \"${name}\") return {${bytes}};\n")
endforeach()
string(APPEND demo_edid_text "  return {};\n}\n\n}  // namespace lumaro::demo\n")
file(CONFIGURE OUTPUT ${demo_edid_source} CONTENT "${demo_edid_text}")

# The simulated machine, a library of its own so the UI tests can drive the
# very wiring the demo runs.
add_library(lumaro_demo_hardware STATIC demo/demo_hardware.cpp ${demo_edid_source})
set_target_properties(lumaro_demo_hardware PROPERTIES LINKER_LANGUAGE CXX)
target_include_directories(lumaro_demo_hardware PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})
target_link_libraries(lumaro_demo_hardware PUBLIC lumaro_display_control lumaro_adapter_simulated)
lumaro_warnings(lumaro_demo_hardware)

add_executable(lumaro-demo-tray lumaro_demo_tray_main.cpp)
target_link_libraries(lumaro-demo-tray PRIVATE lumaro_demo_hardware lumaro_app_tray)
lumaro_warnings(lumaro-demo-tray)

# The command line on the simulated displays, started by lumaro-demo when no
# demo tray runs.
add_executable(lumaro-demo-direct lumaro_demo_direct_main.cpp)
target_link_libraries(lumaro-demo-direct PRIVATE lumaro_demo_hardware lumaro_app_common)
lumaro_warnings(lumaro-demo-direct)

# The command line's front, and the launcher of lumaro-demo-tray.
add_executable(lumaro-demo lumaro_demo_main.cpp)
target_link_libraries(lumaro-demo PRIVATE lumaro_app_front)
lumaro_warnings(lumaro-demo)
lumaro_lean_executable(lumaro-demo)
add_dependencies(lumaro-demo lumaro-demo-tray lumaro-demo-direct)
