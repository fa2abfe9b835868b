# Packages for users, made with cpack from a Release build:
#   Linux:   a Debian package (cpack -G DEB): the program, the xscreensaver
#            wrapper and its configuration, the manual page.
#   Windows: a zip (cpack -G ZIP, or the target windows-zip) with quorix.scr
#            and its install text.
# What goes in is what dist/CMakeLists.txt installs.
set(CPACK_PACKAGE_NAME quorix)
set(CPACK_PACKAGE_VENDOR Ostrevane)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "screen saver with shaded green balls over a dark violet background")
set(CPACK_PACKAGE_CHECKSUM SHA256)
set(CPACK_SOURCE_GENERATOR "")
set(CPACK_STRIP_FILES ON)
# cpack packs what the build made: it builds only the program and the manual
# page (targets deb and windows-zip), not every test and benchmark first.
set(CMAKE_SKIP_INSTALL_ALL_DEPENDENCY ON)

set(QUORIX_PACKAGE_MAINTAINER "quorix developers <quorix@ostrevane.invalid>"
    CACHE STRING "The Maintainer field of the Debian package")

if(WIN32)
    set(CPACK_GENERATOR ZIP)
    set(CPACK_PACKAGE_FILE_NAME quorix-${PROJECT_VERSION}-windows-x64)
    set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY ON)
    include(CPack)
    # One command for the zip, next to the build: cmake --build DIR --target windows-zip
    add_custom_target(
        windows-zip
        COMMAND ${CMAKE_CPACK_COMMAND} -G ZIP --config ${CMAKE_BINARY_DIR}/CPackConfig.cmake
        WORKING_DIRECTORY ${CMAKE_BINARY_DIR}
        COMMENT "Packing quorix-${PROJECT_VERSION}-windows-x64.zip"
        VERBATIM)
    if(TARGET quorix)
        add_dependencies(windows-zip quorix)
    endif()
    return()
endif()

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_NAME quorix)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${QUORIX_PACKAGE_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_SECTION x11)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# The libraries come from what the program links (dpkg-shlibdeps); the fonts
# are looked up by name at run time, so they are named here.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS fonts-dejavu-core)
set(CPACK_DEBIAN_PACKAGE_SUGGESTS xscreensaver)
set(CPACK_DEBIAN_PACKAGE_ENHANCES xscreensaver)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
# The summary line comes from CPACK_PACKAGE_DESCRIPTION_SUMMARY.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "Shaded balls, mostly green, appear, grow, drift, change shape and shrink
away over a dark violet background that keeps their imprints. Every run
opens with one glowing ball that draws a figure of lines, arcs and a
spiral; then crowds of balls burst, ring, blow in the wind, run in trains
and paint the figure again.
.
The package holds the program quorix, which takes the Windows screen-saver
command line (/s, /p, /c, /w), and the hack quorix-xscreensaver with its
configuration. xscreensaver lists it as Quorix once the user's programs
list names it (see quorix(6)).")
include(CPack)
add_custom_target(
    deb
    COMMAND ${CMAKE_CPACK_COMMAND} -G DEB --config ${CMAKE_BINARY_DIR}/CPackConfig.cmake
    WORKING_DIRECTORY ${CMAKE_BINARY_DIR}
    COMMENT "Packing quorix_${PROJECT_VERSION}"
    VERBATIM)
add_dependencies(deb quorix_manual)
if(TARGET quorix)
    add_dependencies(deb quorix)
endif()
