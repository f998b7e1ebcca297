# Installation layout and the Debian package.
#
#   scripts/package      # hardened build in build-package, .deb, lintian
#
# Installs the program, its desktop entry, its AppStream metadata, its icon
# at 32, 64 and 128 px and scalable, the gzipped manual page, the
# copyright file and changelog where Debian wants them, and the README with
# its screenshot. No udev rule:
# Debian's default rules already give group lp the parallel-port devices.

include(GNUInstallDirs)

set(QX_PACKAGING_DIR ${PROJECT_SOURCE_DIR}/packaging)
set(QX_ASSETS_DIR ${PROJECT_SOURCE_DIR}/assets)

# Qt's project setup gives installed programs a $ORIGIN/../lib search path,
# but the program links only our static libraries and the system's Qt, so
# the path would only let a stray library in ../lib be picked up.
set_property(TARGET qx5180 PROPERTY INSTALL_RPATH "")
install(TARGETS qx5180 RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
# A plain strip (cmake --install --strip, CPACK_STRIP_FILES) leaves the
# compiler's .comment and .note sections behind; drop them as dh_strip does.
install(CODE "
  if(CMAKE_INSTALL_DO_STRIP)
    execute_process(COMMAND \"${CMAKE_STRIP}\" --remove-section=.comment --remove-section=.note
      \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}/qx5180\"
      COMMAND_ERROR_IS_FATAL ANY)
  endif()")

install(FILES ${QX_PACKAGING_DIR}/qx5180.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${QX_PACKAGING_DIR}/invalid.qx5180.panel.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
set(QX_ICON_DIR ${CMAKE_INSTALL_DATADIR}/icons/hicolor)
install(FILES ${QX_ASSETS_DIR}/qx5180.png DESTINATION ${QX_ICON_DIR}/32x32/apps)
install(FILES ${QX_ASSETS_DIR}/qx5180-64.png DESTINATION ${QX_ICON_DIR}/64x64/apps
        RENAME qx5180.png)
install(FILES ${QX_ASSETS_DIR}/qx5180-128.png DESTINATION ${QX_ICON_DIR}/128x128/apps
        RENAME qx5180.png)
install(FILES ${QX_ASSETS_DIR}/qx5180.svg DESTINATION ${QX_ICON_DIR}/scalable/apps)

# Debian policy wants manual pages and changelogs compressed with gzip -9n
# (-n keeps the name and time stamp out, so the output is reproducible).
find_program(QX_GZIP gzip REQUIRED)
set(QX_GZ_DIR ${CMAKE_CURRENT_BINARY_DIR}/gz)
function(qx_gzip source name)
  set(out ${QX_GZ_DIR}/${name}.gz)
  add_custom_command(
    OUTPUT ${out}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${QX_GZ_DIR}
    COMMAND ${CMAKE_COMMAND} -E copy ${source} ${QX_GZ_DIR}/${name}
    COMMAND ${QX_GZIP} -9nf ${QX_GZ_DIR}/${name}
    DEPENDS ${source}
    COMMENT "Compressing ${name}"
    VERBATIM)
  set(QX_GZ_OUTPUTS ${QX_GZ_OUTPUTS} ${out} PARENT_SCOPE)
endfunction()
qx_gzip(${QX_PACKAGING_DIR}/qx5180.1 qx5180.1)
qx_gzip(${QX_PACKAGING_DIR}/changelog changelog)
add_custom_target(qx5180_gzipped ALL DEPENDS ${QX_GZ_OUTPUTS})
install(FILES ${QX_GZ_DIR}/qx5180.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

# The version carries no Debian revision, so to dpkg this is a native
# package: its changelog is changelog.gz, not changelog.Debian.gz.
set(QX_DOC_DIR ${CMAKE_INSTALL_DATADIR}/doc/qx5180)
install(FILES ${QX_GZ_DIR}/changelog.gz ${QX_PACKAGING_DIR}/copyright
        DESTINATION ${QX_DOC_DIR})
# The README is the user's guide too: keys, screen readers, reaching the port. Its
# screenshot goes beside it, where its relative link (docs/panel.png) finds it.
install(FILES ${PROJECT_SOURCE_DIR}/README.md DESTINATION ${QX_DOC_DIR})
install(FILES ${PROJECT_SOURCE_DIR}/docs/panel.png DESTINATION ${QX_DOC_DIR}/docs)

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
