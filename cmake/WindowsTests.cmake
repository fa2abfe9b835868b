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

option(QUORIX_REALTIME_TESTS
       "Run the tests that count frames against the wall clock (label realtime) by default" OFF)

# quorix_windows_tests(NAME DIR DEPS... [EXCLUDE files...] [FILES files...]
#                      [LABELS labels...]): one program of every .cpp file in
# tests/DIR but the excluded ones, or of the FILES named. A program labelled
# realtime is built but its test is disabled unless QUORIX_REALTIME_TESTS is on.
# The labels are the folder's path pieces, windows and LABELS.
function(quorix_windows_tests name dir)
    cmake_parse_arguments(arg "" "" "DEPS;EXCLUDE;FILES;LABELS" ${ARGN})
    if(arg_FILES)
        list(TRANSFORM arg_FILES PREPEND ${CMAKE_SOURCE_DIR}/tests/${dir}/ OUTPUT_VARIABLE _srcs)
    else()
        file(GLOB _srcs CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/${dir}/*.cpp)
    endif()
    foreach(f ${arg_EXCLUDE})
        list(REMOVE_ITEM _srcs ${CMAKE_SOURCE_DIR}/tests/${dir}/${f})
    endforeach()
    if(NOT _srcs)
        return()
    endif()
    add_executable(${name} ${_srcs})
    target_include_directories(${name} PRIVATE ${QUORIX_INCLUDE_DIR})
    target_link_libraries(${name} PRIVATE ${arg_DEPS} GTest::gtest GTest::gtest_main)
    add_test(NAME ${name} COMMAND ${name})
    string(REPLACE "/" ";" _labels ${dir})
    list(APPEND _labels windows ${arg_LABELS})
    set_tests_properties(${name} PROPERTIES LABELS "${_labels}" TIMEOUT 300)
    if("realtime" IN_LIST arg_LABELS AND NOT QUORIX_REALTIME_TESTS)
        set_tests_properties(${name} PROPERTIES DISABLED TRUE)
    endif()
endfunction()

quorix_windows_tests(quorix_render_tests render DEPS quorix_render)
# The worker against the real timer counts frames per second of wall clock.
# Wine delivers the 20 ms timer late in some runs even on an idle machine (30
# to 40 frames a second instead of 50), and Windows itself keeps WM_TIMER to
# the system clock's granule (commonly 15.6 ms, so 20 ms ticks come about
# every 31 ms): the counts hold for our POSIX layer only. The program is
# built; its test runs on request (-DQUORIX_REALTIME_TESTS=ON).
quorix_windows_tests(quorix_timing_tests timing DEPS quorix_timing
                     EXCLUDE paced_worker_realtime_test.cpp)
quorix_windows_tests(quorix_timing_realtime_tests timing DEPS quorix_timing
                     FILES paced_worker_realtime_test.cpp LABELS realtime)
quorix_windows_tests(quorix_engine_tests engine DEPS quorix_engine)
quorix_windows_tests(quorix_app_tests app DEPS quorix_app)
# The program's resources as the resource compiler made them. The version
# reader's hand-made blocks shadow the program's resource through the POSIX
# layer's resource table, and the .res comparison is of the POSIX build's
# embedded bytes; on Windows the real resource is read.
quorix_windows_tests(quorix_res_tests res DEPS quorix_app FILES dialog_resource_test.cpp
                     icon_resource_test.cpp program_version_test.cpp)
target_sources(quorix_res_tests PRIVATE ${CMAKE_SOURCE_DIR}/tests/support/res_file.cpp)
# The dialog pieces that need no window; the saver windows and the About box
# with the configuration dialog run on the X layer's test display.
quorix_windows_tests(quorix_ui_tests ui DEPS quorix_ui EXCLUDE settings_about_test.cpp
                     saver_wnd_test.cpp)
# The subset's rectangle helpers and basic types, which the engine's arithmetic
# rests on, checked against the real Win32. The POSIX layer's tests expect its
# deliberate limits (no named events, no executable pages, handle values never
# reused), which the real system does not share.
quorix_windows_tests(quorix_win32_tests platform/win32 DEPS quorix_framework)
