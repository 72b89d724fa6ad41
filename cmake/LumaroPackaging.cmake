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
# Started by lumaro (without arguments, and for a command when no tray runs); found relative to it.
foreach(exe lumaro-tray lumaro-direct)
  if(TARGET ${exe})
    install(TARGETS ${exe} RUNTIME DESTINATION ${CMAKE_INSTALL_LIBEXECDIR}/lumaro)
  endif()
endforeach()

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
install(FILES packaging/metainfo/io.github.lumaro.Lumaro.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)

# Man pages and the changelog go in compressed, as Debian policy asks; -n
# keeps the name and time out of the archive so builds are reproducible.
find_program(LUMARO_GZIP gzip REQUIRED)
set(lumaro_compressed "")
foreach(source packaging/man/lumaro.1 packaging/man/lumaro-edid.1 packaging/debian/changelog)
  get_filename_component(name ${source} NAME)
  set(compressed ${CMAKE_BINARY_DIR}/packaging/${name}.gz)
  add_custom_command(OUTPUT ${compressed}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/packaging
    COMMAND sh -c "\"$1\" -9nc \"$2\" > \"$3\"" sh ${LUMARO_GZIP} ${PROJECT_SOURCE_DIR}/${source} ${compressed}
    DEPENDS ${PROJECT_SOURCE_DIR}/${source}
    VERBATIM)
  list(APPEND lumaro_compressed ${compressed})
endforeach()
add_custom_target(lumaro_compressed_docs ALL DEPENDS ${lumaro_compressed})
install(FILES ${CMAKE_BINARY_DIR}/packaging/lumaro.1.gz ${CMAKE_BINARY_DIR}/packaging/lumaro-edid.1.gz
        DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
# The version has no Debian revision, so this is a native package: changelog.gz.
install(FILES ${CMAKE_BINARY_DIR}/packaging/changelog.gz DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/lumaro)
install(FILES packaging/completion/lumaro DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions)
install(FILES LICENSE DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/lumaro RENAME copyright)

set(CPACK_GENERATOR "DEB")
set(CPACK_PACKAGE_NAME "lumaro")
set(CPACK_PACKAGE_VENDOR "Lumaro")
set(CPACK_RESOURCE_FILE_LICENSE "${PROJECT_SOURCE_DIR}/LICENSE")
set(CPACK_PACKAGE_CONTACT "Lumaro developers <lumaro@users.noreply.github.com>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Tray brightness control for Apple Cinema Displays attached over USB")
# The extended description; CPack puts the summary above it.
set(CPACK_PACKAGE_DESCRIPTION "Lumaro puts a sun in the system tray. Clicking it shows one brightness
slider per attached Apple Cinema Display, a slider that moves them all
while keeping their differences, and each display's EDID information.
Levels chosen are remembered and put back when a display returns.
The lumaro command sets and reads brightness from scripts and keys.")
# Debian ships binaries stripped; debug symbols would go in a -dbgsym package.
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGING_INSTALL_PREFIX "/usr")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION "utils")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Plugins are loaded at run time, so shlibdeps cannot see them.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins, libqt6svg6")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "udev")
include(CPack)
