# Sources include each other by their path from the repository's root
# ("engine/ball_engine.h"): every target names that folder itself.
set(QUORIX_INCLUDE_DIR ${CMAKE_SOURCE_DIR})

# quorix_layer(NAME DIR [DEPS ...]): a static library of every .cpp file in DIR
# (non-recursive), linked to DEPS, with the root as its include folder for it
# and its users. Each layer folder calls it once, so adding a source file needs
# no edit of the build files.
function(quorix_layer name dir)
    file(GLOB _srcs CONFIGURE_DEPENDS ${dir}/*.cpp)
    if(_srcs)
        add_library(${name} STATIC ${_srcs})
        set(_scope PUBLIC)
    else()
        add_library(${name} INTERFACE)
        set(_scope INTERFACE)
    endif()
    target_include_directories(${name} ${_scope} ${QUORIX_INCLUDE_DIR})
    if(ARGN)
        target_link_libraries(${name} ${_scope} ${ARGN})
    endif()
endfunction()

# quorix_test_folder(NAME DIR DEPS... [EXCLUDE files...] [LABELS labels...]):
# one GoogleTest executable of every .cpp file in tests/DIR (non-recursive)
# but the excluded ones, registered with CTest test by test. The labels are
# the folder's path pieces ("platform/x11" gives platform and x11) unless
# LABELS names them.
function(quorix_test_folder name dir)
    cmake_parse_arguments(arg "" "" "EXCLUDE;LABELS" ${ARGN})
    file(GLOB _srcs CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/${dir}/*.cpp)
    foreach(f ${arg_EXCLUDE})
        list(REMOVE_ITEM _srcs ${CMAKE_SOURCE_DIR}/tests/${dir}/${f})
    endforeach()
    if(NOT _srcs)
        return()
    endif()
    set(_labels ${arg_LABELS})
    if(NOT _labels)
        string(REPLACE "/" ";" _labels ${dir})
    endif()
    add_executable(${name} ${_srcs})
    target_include_directories(${name} PRIVATE ${QUORIX_INCLUDE_DIR})
    target_link_libraries(${name} PRIVATE ${arg_UNPARSED_ARGUMENTS} GTest::gtest GTest::gtest_main)
    gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60 PROPERTIES LABELS "${_labels}")
endfunction()

# quorix_add_subfolders(): add_subdirectory for every folder below the current
# one that has a CMakeLists.txt (tests, benchmarks and tools, one per folder).
function(quorix_add_subfolders)
    file(GLOB _dirs LIST_DIRECTORIES true CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*)
    foreach(dir ${_dirs})
        if(IS_DIRECTORY ${dir} AND EXISTS ${dir}/CMakeLists.txt)
            add_subdirectory(${dir})
        endif()
    endforeach()
endfunction()
