# Install rules and the Debian package. Included last, once every target exists.
include(GNUInstallDirs)

pkg_get_variable(LUMARO_UDEVDIR udev udevdir)
if(NOT LUMARO_UDEVDIR)
  set(LUMARO_UDEVDIR "/lib/udev")
  message(STATUS "udev.pc not found; installing the udev rule below ${LUMARO_UDEVDIR}")
endif()

foreach(exe lumaro lumaro-edid)
  if(TARGET ${exe})
    install(TARGETS ${exe} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  endif()
endforeach()
# Started by lumaro without arguments; found relative to it.
if(TARGET lumaro-tray)
  install(TARGETS lumaro-tray RUNTIME DESTINATION ${CMAKE_INSTALL_LIBEXECDIR}/lumaro)
endif()

install(FILES packaging/udev/70-lumaro.rules DESTINATION ${LUMARO_UDEVDIR}/rules.d)
# Desktop entry, icon and bus name all carry the application ID.
install(FILES packaging/desktop/io.github.lumaro.Lumaro.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES packaging/icons/io.github.lumaro.Lumaro.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
# The tray symbol that StatusNotifierItem hosts look up by name and recolour.
install(FILES packaging/icons/io.github.lumaro.Lumaro-symbolic.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/symbolic/apps)
# Opt-in autostart: users copy it into ~/.config/autostart (see README).
install(FILES packaging/desktop/autostart/io.github.lumaro.Lumaro.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/lumaro)
install(FILES packaging/man/lumaro.1 DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES packaging/completion/lumaro DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions)
install(FILES LICENSE DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/lumaro RENAME copyright)

set(CPACK_GENERATOR "DEB")
set(CPACK_PACKAGE_NAME "lumaro")
set(CPACK_PACKAGE_VENDOR "Lumaro")
set(CPACK_RESOURCE_FILE_LICENSE "${PROJECT_SOURCE_DIR}/LICENSE")
set(CPACK_PACKAGE_CONTACT "Lumaro developers <lumaro@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Tray brightness control for Apple Cinema Displays attached over USB")
set(CPACK_PACKAGING_INSTALL_PREFIX "/usr")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION "utils")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Plugins are loaded at run time, so shlibdeps cannot see them.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins, libqt6svg6")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "udev")
include(CPack)
