# lumaro-demo: the same application wired to simulated hardware.
# lumaro-demo-tray is its tray application, lumaro-demo the command line and launcher.

# The simulated machine, a library of its own so the UI tests can drive the
# very wiring the demo runs.
add_library(lumaro_demo_hardware STATIC demo/demo_hardware.cpp)
set_target_properties(lumaro_demo_hardware PROPERTIES LINKER_LANGUAGE CXX)
target_include_directories(lumaro_demo_hardware PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})
target_link_libraries(lumaro_demo_hardware PUBLIC lumaro_display_control lumaro_adapter_simulated Qt6::Core)
lumaro_warnings(lumaro_demo_hardware)
# Real Apple EDIDs from the test fixtures, embedded so the binary runs anywhere.
qt_add_resources(lumaro_demo_hardware lumaro_demo_edids
  PREFIX /demo/edid
  BASE ${PROJECT_SOURCE_DIR}/tests/fixtures/edid
  FILES
    ${PROJECT_SOURCE_DIR}/tests/fixtures/edid/apple-led-cinema-9226.bin
    ${PROJECT_SOURCE_DIR}/tests/fixtures/edid/apple-cinema-hd-921e.bin)

add_executable(lumaro-demo-tray lumaro_demo_tray_main.cpp)
target_link_libraries(lumaro-demo-tray PRIVATE lumaro_demo_hardware lumaro_app_tray)
lumaro_warnings(lumaro-demo-tray)

# The command line, and the launcher of lumaro-demo-tray.
add_executable(lumaro-demo lumaro_demo_main.cpp)
target_link_libraries(lumaro-demo PRIVATE lumaro_demo_hardware lumaro_app_common)
lumaro_warnings(lumaro-demo)
add_dependencies(lumaro-demo lumaro-demo-tray)
