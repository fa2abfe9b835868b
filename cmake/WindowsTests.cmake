# Unit tests in the Windows build. GoogleTest is built from Debian's source
# package (/usr/src/googletest) with the cross compiler; each test program is
# one CTest test, run through Wine (the tool chain's emulator).
set(QUORIX_GTEST_SOURCE /usr/src/googletest CACHE PATH "GoogleTest's source tree")
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
set(gtest_disable_pthreads OFF CACHE BOOL "" FORCE)
add_subdirectory(${QUORIX_GTEST_SOURCE} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
if(NOT TARGET GTest::gtest)
    add_library(GTest::gtest ALIAS gtest)
    add_library(GTest::gtest_main ALIAS gtest_main)
endif()

# quorix_windows_tests(NAME DIR DEPS... [EXCLUDE files...]): one program of
# every .cpp file in tests/DIR but the excluded ones.
function(quorix_windows_tests name dir)
    cmake_parse_arguments(arg "" "" "DEPS;EXCLUDE" ${ARGN})
    file(GLOB _srcs CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/${dir}/*.cpp)
    foreach(f ${arg_EXCLUDE})
        list(REMOVE_ITEM _srcs ${CMAKE_SOURCE_DIR}/tests/${dir}/${f})
    endforeach()
    if(NOT _srcs)
        return()
    endif()
    add_executable(${name} ${_srcs})
    target_link_libraries(${name} PRIVATE ${arg_DEPS} GTest::gtest GTest::gtest_main)
    add_test(NAME ${name} COMMAND ${name})
    set_tests_properties(${name} PROPERTIES LABELS "${dir};windows" TIMEOUT 600)
endfunction()

# The ball tool's test needs libpng, which the Windows build goes without.
quorix_windows_tests(quorix_render_tests render DEPS quorix_render EXCLUDE ball_cli_test.cpp)
quorix_windows_tests(quorix_timing_tests timing DEPS quorix_timing)
quorix_windows_tests(quorix_engine_tests engine DEPS quorix_engine)
# The version reader's hand-made blocks shadow the program's resource through
# the POSIX layer's resource table; on Windows the real resource is read
# (program_version_test.cpp).
quorix_windows_tests(quorix_app_tests app DEPS quorix_app EXCLUDE version_reader_test.cpp)
# The dialog pieces that need no window; the About box test with the
# configuration dialog runs on the X layer, the sanitizer options are for the
# Linux leak checker.
quorix_windows_tests(quorix_ui_tests ui DEPS quorix_ui EXCLUDE settings_about_test.cpp
                     sanitizer_options.cpp)
