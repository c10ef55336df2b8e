# Where `cmake --install` puts Dotlane, and the Debian package CPack makes of it
# (`cpack -G DEB` in the build folder).
include(GNUInstallDirs)

install(TARGETS dotlane-cli RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${PROJECT_SOURCE_DIR}/docs/dotlane-cli.1 DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
if(TARGET dotlane)
  install(TARGETS dotlane RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  install(FILES ${PROJECT_SOURCE_DIR}/resources/dotlane.desktop
          DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
  install(FILES ${PROJECT_SOURCE_DIR}/resources/dotlane.png
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/16x16/apps)
endif()

# find_package(Dotlane) for firmware builds: dotlane-cli as an imported program, and
# dotlane_add_bitmaps(). The files find the program relative to where they are installed.
include(CMakePackageConfigHelpers)
set(DOTLANE_CMAKE_DIR ${CMAKE_INSTALL_LIBDIR}/cmake/Dotlane)
configure_package_config_file(${PROJECT_SOURCE_DIR}/cmake/DotlaneConfig.cmake.in
                              ${PROJECT_BINARY_DIR}/DotlaneConfig.cmake
                              INSTALL_DESTINATION ${DOTLANE_CMAKE_DIR}
                              PATH_VARS CMAKE_INSTALL_BINDIR)
# A program, not a library: a project for any processor may use it.
write_basic_package_version_file(${PROJECT_BINARY_DIR}/DotlaneConfigVersion.cmake
                                 COMPATIBILITY SameMajorVersion ARCH_INDEPENDENT)
install(FILES ${PROJECT_BINARY_DIR}/DotlaneConfig.cmake
              ${PROJECT_BINARY_DIR}/DotlaneConfigVersion.cmake
              ${PROJECT_SOURCE_DIR}/cmake/DotlaneBitmaps.cmake
              ${PROJECT_SOURCE_DIR}/cmake/DotlaneFonts.cmake
        DESTINATION ${DOTLANE_CMAKE_DIR})

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME dotlane)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "Dotlane developers <dotlane@example.invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "1-bit BMP pictures to hex listings for monochrome graphic LCD modules")
set(CPACK_PACKAGE_DESCRIPTION
    "Dotlane lists a 1-bit BMP picture for T6963C (row-major) and SED1565 (page-major)\n\
controllers and paints a page-major listing back into a picture. dotlane-cli does the\n\
same without a window, and writes the layouts of ST7565, SSD1306, KS0108 and similar\n\
modules, or C arrays, for firmware builds.")
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
# Configure with -DCMAKE_INSTALL_PREFIX=/usr for a Debian package.
set(CPACK_PACKAGING_INSTALL_PREFIX ${CMAKE_INSTALL_PREFIX})
set(CPACK_STRIP_FILES ON)
# dpkg-shlibdeps turns the libraries the programs link (Qt, the C++ runtime) into the
# package's dependencies; dotlane-cli carries its picture decoders (libpng, libjpeg, giflib,
# libwebp, zlib) inside, built from libpng-dev, libjpeg62-turbo-dev, libgif-dev and
# libwebp-dev. The window's layout wants metric-compatible faces.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS fonts-liberation)
include(CPack)
