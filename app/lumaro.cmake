# lumaro: the tray application on real hardware.
add_executable(lumaro lumaro_main.cpp)
target_link_libraries(lumaro PRIVATE
  lumaro_ui lumaro_platform_hidapi lumaro_platform_backlight lumaro_platform_logind lumaro_platform_composite
  lumaro_platform_udev lumaro_platform_linux lumaro_platform_posix lumaro_platform_qt)
lumaro_warnings(lumaro)
