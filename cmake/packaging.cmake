# Installing on Linux: the desktop entry, the logo as its icon, and the Debian package.
# The binary's own install rule sits with its target in src/gui.
if(NOT (DRAWERTEST_GUI AND CMAKE_SYSTEM_NAME STREQUAL "Linux"))
  return()
endif()

include(GNUInstallDirs)

# The icons are drawn at build time from the same code that paints the splash's logo, at the
# sizes desktops look for first.
add_subdirectory(tools/render_icon)
set(icon_dir ${CMAKE_CURRENT_BINARY_DIR}/icons)
set(icon_files)
foreach(size 16 24 32 48 64 128 256)
  set(icon ${icon_dir}/${size}x${size}/apps/drawertest.png)
  add_custom_command(OUTPUT ${icon}
                     COMMAND render_icon ${size} ${icon}
                     DEPENDS render_icon
                     COMMENT "Drawing the ${size}x${size} icon")
  list(APPEND icon_files ${icon})
  install(FILES ${icon} DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps)
endforeach()
add_custom_target(drawertest_icons ALL DEPENDS ${icon_files})

install(FILES packaging/drawertest.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)

# What Debian asks of every package: its copyright and changelog under doc/, and a manual page,
# compressed as Debian compresses them (-n: the same bytes whenever they are built).
set(doc_dir ${CMAKE_INSTALL_DATADIR}/doc/drawertest)
install(FILES packaging/copyright DESTINATION ${doc_dir})
set(gzipped)
foreach(source changelog drawertest.1)
  set(gz ${CMAKE_CURRENT_BINARY_DIR}/packaging/${source}.gz)
  add_custom_command(OUTPUT ${gz}
                     COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_CURRENT_BINARY_DIR}/packaging
                     COMMAND gzip -9n -c ${CMAKE_CURRENT_SOURCE_DIR}/packaging/${source} > ${gz}
                     DEPENDS packaging/${source}
                     COMMENT "Compressing ${source}")
  list(APPEND gzipped ${gz})
endforeach()
add_custom_target(drawertest_docs ALL DEPENDS ${gzipped})
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/packaging/changelog.gz DESTINATION ${doc_dir})
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/packaging/drawertest.1.gz
        DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

# `cmake --build <dir> --target package` writes drawertest_<version>_<arch>.deb.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME drawertest)
# The project's whole four-part version, so that dpkg orders releases correctly whichever part
# changes next; the splash shows major.minor.revision of it (1.2.3).
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Dunmere Cash Drawer Corporation")
set(CPACK_PACKAGE_CONTACT "Dunmere Cash Drawer Corporation <drawertest@dunmere.invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "test utility for point-of-sale cash drawers")
set(CPACK_PACKAGE_DESCRIPTION
    "Installers and service staff check with it that a cash drawer opens on\n"
    "command and, where the wiring allows, whether it stands open. It drives\n"
    "Dunmere's drawer interfaces on serial and parallel ports and the drawer-kick\n"
    "connector of Epson, Star, Citizen and Ithaca receipt printers, and prints a\n"
    "short test page. Run with a command (drawertest kick, status, page or\n"
    "interface; drawertest --help) it tests without a window, for scripts and SSH,\n"
    "and exits with a code that tells the result.")
string(JOIN "" CPACK_PACKAGE_DESCRIPTION ${CPACK_PACKAGE_DESCRIPTION})
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# dpkg-shlibdeps names the libraries (Qt's xcb platform plugin ships in libqt6gui6);
# Liberation Sans is the font the windows ask for as Arial.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS fonts-liberation)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_STRIP_FILES ON)
set(CPACK_SOURCE_IGNORE_FILES "/\\\\.git/" "/build[^/]*/")
include(CPack)
