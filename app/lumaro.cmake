# lumaro: the command line's front, the launcher of lumaro-tray (the tray
# application on real hardware) and of lumaro-direct (commands on the
# hardware when no tray runs). Only the tray links Qt's GUI libraries.
add_library(lumaro_real_hardware STATIC real_hardware.cpp)
target_include_directories(lumaro_real_hardware PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})
target_link_libraries(lumaro_real_hardware PUBLIC
  lumaro_display_control lumaro_adapter_hidapi lumaro_adapter_backlight lumaro_adapter_logind
  lumaro_adapter_composite lumaro_adapter_linux lumaro_adapter_posix)
lumaro_warnings(lumaro_real_hardware)

add_executable(lumaro-tray lumaro_tray_main.cpp)
target_link_libraries(lumaro-tray PRIVATE lumaro_app_tray lumaro_real_hardware lumaro_adapter_udev)
lumaro_warnings(lumaro-tray)

# The command line on the hardware, started by lumaro when no tray runs.
add_executable(lumaro-direct lumaro_direct_main.cpp)
target_link_libraries(lumaro-direct PRIVATE lumaro_app_common lumaro_real_hardware)
lumaro_warnings(lumaro-direct)

add_executable(lumaro lumaro_main.cpp)
target_link_libraries(lumaro PRIVATE lumaro_app_front)
lumaro_warnings(lumaro)
lumaro_lean_executable(lumaro)
add_dependencies(lumaro lumaro-tray lumaro-direct)
