# What both applications share: the command-line path (no Qt: the client side
# of the bus is sd-bus, and the hardware path pumps its own queues) and the
# launcher of the tray.
add_library(lumaro_app_common STATIC
  common/command_line_app.cpp common/tray_launcher.cpp common/remembered_levels.cpp)
set_target_properties(lumaro_app_common PROPERTIES LINKER_LANGUAGE CXX)
target_include_directories(lumaro_app_common PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})
target_link_libraries(lumaro_app_common PUBLIC
  lumaro_cli lumaro_adapter_sdbus lumaro_adapter_simulated lumaro_adapter_posix)
target_compile_definitions(lumaro_app_common PRIVATE LUMARO_VERSION="${PROJECT_VERSION}")
lumaro_warnings(lumaro_app_common)

# The tray application around the shell, for lumaro-tray and lumaro-demo-tray,
# with its place on the session bus.
add_library(lumaro_app_tray STATIC
  common/tray_app.cpp common/tray_instance.cpp common/main_queue.cpp common/tray_presence.cpp
  common/tray_level_restoring.cpp common/level_feedback_commands.cpp)
set_target_properties(lumaro_app_tray PROPERTIES LINKER_LANGUAGE CXX)
target_link_libraries(lumaro_app_tray PUBLIC
  lumaro_app_common lumaro_ui lumaro_adapter_dbus lumaro_adapter_posix lumaro_adapter_qt lumaro_adapter_logind)
lumaro_warnings(lumaro_app_tray)
