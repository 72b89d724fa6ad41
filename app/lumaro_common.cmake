# The command line's front, shared by lumaro and lumaro-demo: it parses the
# arguments and makes one call to the running instance over the session bus,
# or hands the command to the direct command line. No Qt, no D-Bus library,
# no hardware libraries.
add_library(lumaro_app_front STATIC common/command_front.cpp common/sibling_launcher.cpp)
set_target_properties(lumaro_app_front PROPERTIES LINKER_LANGUAGE CXX)
target_include_directories(lumaro_app_front PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})
target_link_libraries(lumaro_app_front PUBLIC lumaro_cli lumaro_adapter_buswire)
target_compile_definitions(lumaro_app_front PRIVATE LUMARO_VERSION="${PROJECT_VERSION}")
lumaro_warnings(lumaro_app_front)

# The command line on the hardware itself (no Qt: the commands pump their own
# queues), and what the tray shares with it.
add_library(lumaro_app_common STATIC common/direct_command_line.cpp common/remembered_levels.cpp)
set_target_properties(lumaro_app_common PROPERTIES LINKER_LANGUAGE CXX)
target_include_directories(lumaro_app_common PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})
target_link_libraries(lumaro_app_common PUBLIC lumaro_cli lumaro_adapter_simulated lumaro_adapter_posix)
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
