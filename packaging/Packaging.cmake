# Install rules, desktop integration (menu entry, icons, AppStream metainfo), the Debian package
# and, on Windows, the program's resources. Included at the end of the top-level CMakeLists.txt.
#
# Installed layout, relative to the prefix:
#   lib/velsmoor/velsmoor, lib/velsmoor/libbassmod.so, lib/velsmoor/mods/   the program's folder
#   bin/velsmoor -> ../lib/velsmoor/velsmoor                               what the menu starts
#   share/applications, share/icons/hicolor, share/metainfo                desktop integration
# The program finds the module library and mods/ beside its own file, following the symlink.

set(VELSMOOR_APP_ID org.drelkin.Velsmoor)
set(VELSMOOR_PACKAGING_DIR ${CMAKE_CURRENT_LIST_DIR})
set(VELSMOOR_PACKAGING_BINARY_DIR ${CMAKE_BINARY_DIR}/packaging)
# The release date of 1.0.0.1, fixed so that the metainfo does not change from build to build.
set(VELSMOOR_RELEASE_DATE 2024-05-01)

# --- The program's folder ---------------------------------------------------------------------

if(TARGET velsmoor)
  install(TARGETS velsmoor RUNTIME DESTINATION ${VELSMOOR_INSTALL_DIR})
endif()

# The module library (bassmod/) and mods/ (tools/composer/) install themselves into the same
# folder.

# bin/velsmoor is a relative symlink, made in the build tree and installed as a link, so that it
# stays right under any prefix, in a DESTDIR staging and inside the package.
file(RELATIVE_PATH velsmoor_link_target
  /prefix/${CMAKE_INSTALL_BINDIR} /prefix/${VELSMOOR_INSTALL_DIR}/velsmoor)
file(MAKE_DIRECTORY ${VELSMOOR_PACKAGING_BINARY_DIR}/bin)
file(CREATE_LINK ${velsmoor_link_target} ${VELSMOOR_PACKAGING_BINARY_DIR}/bin/velsmoor SYMBOLIC)
install(FILES ${VELSMOOR_PACKAGING_BINARY_DIR}/bin/velsmoor DESTINATION ${CMAKE_INSTALL_BINDIR})

# --- Desktop integration ----------------------------------------------------------------------

configure_file(${VELSMOOR_PACKAGING_DIR}/${VELSMOOR_APP_ID}.desktop
  ${VELSMOOR_PACKAGING_BINARY_DIR}/${VELSMOOR_APP_ID}.desktop COPYONLY)
configure_file(${VELSMOOR_PACKAGING_DIR}/${VELSMOOR_APP_ID}.metainfo.xml.in
  ${VELSMOOR_PACKAGING_BINARY_DIR}/${VELSMOOR_APP_ID}.metainfo.xml @ONLY)

install(FILES ${VELSMOOR_PACKAGING_BINARY_DIR}/${VELSMOOR_APP_ID}.desktop
  DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${VELSMOOR_PACKAGING_BINARY_DIR}/${VELSMOOR_APP_ID}.metainfo.xml
  DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
foreach(size 16 24 32 48 64 128 256)
  install(FILES ${PROJECT_SOURCE_DIR}/assets/icon-${size}.png
    DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
    RENAME ${VELSMOOR_APP_ID}.png)
endforeach()
# The cover the desktop's media controls show, found beside the program.
install(FILES ${PROJECT_SOURCE_DIR}/assets/cover.png DESTINATION ${VELSMOOR_INSTALL_DIR})

# --- Manual page, copyright and changelog -----------------------------------------------------

# Compressed as Debian wants them: gzip -9 without a name or time stamp, so every build writes
# the same bytes.
if(NOT WIN32)
  find_program(VELSMOOR_GZIP gzip REQUIRED)
  set(velsmoor_gzipped)
  foreach(pair "velsmoor.6|velsmoor.6.gz" "debian/changelog|changelog.Debian.gz")
    string(REPLACE "|" ";" pair ${pair})
    list(GET pair 0 source)
    list(GET pair 1 gzipped)
    add_custom_command(OUTPUT ${VELSMOOR_PACKAGING_BINARY_DIR}/${gzipped}
      COMMAND ${VELSMOOR_GZIP} -9n -c ${VELSMOOR_PACKAGING_DIR}/${source} > ${VELSMOOR_PACKAGING_BINARY_DIR}/${gzipped}
      DEPENDS ${VELSMOOR_PACKAGING_DIR}/${source}
      COMMENT "Compressing ${source}")
    list(APPEND velsmoor_gzipped ${VELSMOOR_PACKAGING_BINARY_DIR}/${gzipped})
  endforeach()
  add_custom_target(velsmoor_docs ALL DEPENDS ${velsmoor_gzipped})
  install(FILES ${VELSMOOR_PACKAGING_BINARY_DIR}/velsmoor.6.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man6)
  install(FILES ${VELSMOOR_PACKAGING_DIR}/debian/copyright ${VELSMOOR_PACKAGING_BINARY_DIR}/changelog.Debian.gz
    DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/velsmoor)
  install(FILES ${VELSMOOR_PACKAGING_DIR}/debian/lintian-overrides
    DESTINATION ${CMAKE_INSTALL_DATADIR}/lintian/overrides RENAME velsmoor)
endif()

# --- Windows resources ------------------------------------------------------------------------

# The resource script is configured on every platform so that its compilation can be checked
# with a cross resource compiler; only a Windows build links it into the program.
set(VELSMOOR_ICON_ICO ${PROJECT_SOURCE_DIR}/assets/icon.ico)
string(REPLACE "." "," VELSMOOR_VERSION_COMMAS ${PROJECT_VERSION})
configure_file(${VELSMOOR_PACKAGING_DIR}/velsmoor.rc.in
  ${VELSMOOR_PACKAGING_BINARY_DIR}/velsmoor.rc @ONLY)
if(WIN32 AND TARGET velsmoor)
  enable_language(RC)
  target_sources(velsmoor PRIVATE ${VELSMOOR_PACKAGING_BINARY_DIR}/velsmoor.rc)
  set_target_properties(velsmoor PROPERTIES WIN32_EXECUTABLE ON)
endif()

# --- Debian package (cpack -G DEB in the build folder) ----------------------------------------

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME velsmoor)
set(CPACK_PACKAGE_VENDOR Drelkin)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
# The first packaging of this version: its number in debian/changelog.
set(CPACK_DEBIAN_PACKAGE_RELEASE 1)
set(CPACK_PACKAGE_CONTACT "Drelkin <disks@drelkin.example.org>")
# Debian reads the summary after the package name, so it does not repeat it; description lines
# stay within 80 columns.
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "music disk by Drelkin: Velsmoor, Part I [Orvantis]")
set(CPACK_PACKAGE_DESCRIPTION
  "Velsmoor, Part I [Orvantis] is the first music disk of the group Drelkin: a\n\
small skinned, borderless desktop program that plays a fixed collection of\n\
seventeen Impulse Tracker and Scream Tracker 3 modules one after another, with\n\
a scrolling title, a message ticker and an NFO window.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION sound)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# The dependencies come from the shared libraries that the program and the module library link,
# found by dpkg-shlibdeps when cpack starts (DebianDepends.cmake). CPack's own run of it comes
# with ldconfig calls in postinst and postrm for any library under /usr/lib, although the
# module library lives in the program's folder, where the dynamic linker never looks.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS OFF)
if(TARGET velsmoor AND TARGET bassmod)
  set(VELSMOOR_DEB_BINARIES "$<TARGET_FILE:velsmoor>;$<TARGET_FILE:bassmod>")
  configure_file(${VELSMOOR_PACKAGING_DIR}/DebianDepends.cmake.in
    ${VELSMOOR_PACKAGING_BINARY_DIR}/DebianDepends.cmake.in @ONLY)
  file(GENERATE OUTPUT ${VELSMOOR_PACKAGING_BINARY_DIR}/DebianDepends.cmake
    INPUT ${VELSMOOR_PACKAGING_BINARY_DIR}/DebianDepends.cmake.in)
  set(CPACK_PROJECT_CONFIG_FILE ${VELSMOOR_PACKAGING_BINARY_DIR}/DebianDepends.cmake)
endif()
# Qt's Wayland client is a plugin no library links: without it a Wayland session runs the disk
# through Xwayland, or not at all where there is none.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS qt6-wayland)
include(CPack)

# --- The README's picture ---------------------------------------------------------------------

if(TARGET velsmoor AND TARGET bassmod AND TARGET mods)
  add_custom_target(screenshot
    COMMAND ${CMAKE_COMMAND} -E env BUILD_DIR=${CMAKE_BINARY_DIR}
      ${PROJECT_SOURCE_DIR}/scripts/screenshot.sh ${PROJECT_SOURCE_DIR}/docs/screenshot.png
    COMMENT "Taking docs/screenshot.png"
    USES_TERMINAL VERBATIM)
  add_dependencies(screenshot velsmoor bassmod mods)
endif()
