# Installation layout and the Debian package.
#
#   cmake --build build && cd build && cpack -G DEB
#
# Installs the program, its desktop entry, its 32x32 icon, the gzipped
# manual page and a udev rule that lets group lp use /dev/parport*.
# The package is built with the /usr prefix, so the rule lands in
# /usr/lib/udev/rules.d, which udev reads on Debian 12 (a plain
# "cmake --install" to /usr/local puts it where udev does not look).

include(GNUInstallDirs)

set(QX_PACKAGING_DIR ${PROJECT_SOURCE_DIR}/packaging)
set(QX_ASSETS_DIR ${PROJECT_SOURCE_DIR}/assets)

if(TARGET qx5180)
  install(TARGETS qx5180 RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
endif()

install(FILES ${QX_PACKAGING_DIR}/qx5180.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${QX_ASSETS_DIR}/qx5180.png
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/32x32/apps)
install(FILES ${QX_PACKAGING_DIR}/60-qx5180-parport.rules
        DESTINATION lib/udev/rules.d)

# Debian policy wants manual pages compressed with gzip -9n (-n keeps the
# name and time stamp out, so the output is reproducible).
find_program(QX_GZIP gzip REQUIRED)
set(QX_MAN_DIR ${CMAKE_CURRENT_BINARY_DIR}/man)
set(QX_MAN_GZ ${QX_MAN_DIR}/qx5180.1.gz)
add_custom_command(
  OUTPUT ${QX_MAN_GZ}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${QX_MAN_DIR}
  COMMAND ${CMAKE_COMMAND} -E copy ${QX_PACKAGING_DIR}/qx5180.1 ${QX_MAN_DIR}/qx5180.1
  COMMAND ${QX_GZIP} -9nf ${QX_MAN_DIR}/qx5180.1
  DEPENDS ${QX_PACKAGING_DIR}/qx5180.1
  COMMENT "Compressing the manual page"
  VERBATIM)
add_custom_target(qx5180_manpage ALL DEPENDS ${QX_MAN_GZ})
install(FILES ${QX_MAN_GZ} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME qx5180)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "QX5180 panel developers <dev@qx5180.invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "control panel for the QX5180 audio amplifier board")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_PACKAGE_MAINTAINER "QX5180 panel developers <dev@qx5180.invalid>")
set(CPACK_DEBIAN_PACKAGE_SECTION electronics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# The summary above becomes the first line; this is the extended text.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "A window whose sliders and option buttons program the five registers of
the amplifier chip on a QX5180 board over I2C, bit-banged on the data
lines of the first parallel port. The port is reached through ppdev
(/dev/parport0, group lp) or, as root, by direct I/O at 0x378; without
a port the panel drives a simulated board that prints what it receives.")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)

include(CPack)
