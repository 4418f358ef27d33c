# Installing orvane like any other program: the launcher in bin, the runtime, the game
# plug-in and compat in a private library folder, the bundled game under share, a desktop
# entry and icons; and the Debian package made from that layout with CPack (make deb).
include(GNUInstallDirs)

# The libraries find compat beside themselves, the launcher finds it from bin.
set_target_properties(orvane PROPERTIES INSTALL_RPATH "$ORIGIN/${ORVANE_LIB_FROM_BIN}")
set_target_properties(runtime core wincompat PROPERTIES INSTALL_RPATH "$ORIGIN")
install(TARGETS orvane RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(TARGETS runtime core wincompat LIBRARY DESTINATION ${ORVANE_INSTALL_LIBDIR})
# The bundled game as built, without what playing it from the build folder left there.
install(DIRECTORY ${ORVANE_GAME_DIR}/ DESTINATION ${ORVANE_INSTALL_GAMEDIR}
        PATTERN ".assetgen.stamp" EXCLUDE
        PATTERN "*.sav" EXCLUDE
        PATTERN "*.ini" EXCLUDE
        PATTERN "screenshot-*.png" EXCLUDE)

# The icon is drawn at build time in the sizes desktops ask for most.
find_package(PkgConfig REQUIRED)
pkg_check_modules(ORVANE_ICON_DEPS REQUIRED IMPORTED_TARGET sdl2 SDL2_image)
add_executable(orvane_icon ${CMAKE_CURRENT_LIST_DIR}/icon.cpp)
target_link_libraries(orvane_icon PRIVATE PkgConfig::ORVANE_ICON_DEPS)
set(icon_dir ${CMAKE_BINARY_DIR}/packaging)
set_target_properties(orvane_icon PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${icon_dir})
set(icons)
foreach(size 48 128 256)
  set(icon ${icon_dir}/icons/${size}/orvane.png)
  add_custom_command(
    OUTPUT ${icon}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${icon_dir}/icons/${size}
    COMMAND orvane_icon ${icon} ${size}
    DEPENDS orvane_icon
    VERBATIM)
  install(FILES ${icon} DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps)
  list(APPEND icons ${icon})
endforeach()
add_custom_target(orvane_icons ALL DEPENDS ${icons})
install(FILES ${CMAKE_CURRENT_LIST_DIR}/orvane.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)

# The Debian package: installs under /usr; dpkg-shlibdeps finds the libraries the launcher,
# the runtime and core link against, and the Japanese fonts the game's text needs are added.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME orvane)
set(CPACK_PACKAGE_VERSION 0.1.0)
set(CPACK_PACKAGE_CONTACT "The Orvane developers")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "courtroom adventure game engine, with a bundled game")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "Orvane plays courtroom adventure games: scenario scripts, testimonies and\n cross-examinations, evidence, music and sound. It comes with a short game of its own.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-ipafont-gothic, fonts-ipafont-mincho")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR}/package)
include(CPack)
