# Build types: Release for use, Debug for development, and two sanitizer
# configurations for tests: asan (address + undefined behaviour) and tsan
# (thread). Chosen with -DCMAKE_BUILD_TYPE=<type>; Release is the default.
set(QUORIX_BUILD_TYPES Release Debug RelWithDebInfo asan tsan)
if(NOT CMAKE_BUILD_TYPE)
    set(CMAKE_BUILD_TYPE Release CACHE STRING "Build type" FORCE)
endif()
set_property(CACHE CMAKE_BUILD_TYPE PROPERTY STRINGS ${QUORIX_BUILD_TYPES})

set(_san_common "-O1 -g -fno-omit-frame-pointer")
set(CMAKE_CXX_FLAGS_ASAN
    "${_san_common} -fsanitize=address,undefined -fno-sanitize-recover=undefined"
    CACHE STRING "" FORCE)
set(CMAKE_C_FLAGS_ASAN "${CMAKE_CXX_FLAGS_ASAN}" CACHE STRING "" FORCE)
set(CMAKE_EXE_LINKER_FLAGS_ASAN "-fsanitize=address,undefined" CACHE STRING "" FORCE)
set(CMAKE_SHARED_LINKER_FLAGS_ASAN "-fsanitize=address,undefined" CACHE STRING "" FORCE)

set(CMAKE_CXX_FLAGS_TSAN "${_san_common} -fsanitize=thread" CACHE STRING "" FORCE)
set(CMAKE_C_FLAGS_TSAN "${CMAKE_CXX_FLAGS_TSAN}" CACHE STRING "" FORCE)
set(CMAKE_EXE_LINKER_FLAGS_TSAN "-fsanitize=thread" CACHE STRING "" FORCE)
set(CMAKE_SHARED_LINKER_FLAGS_TSAN "-fsanitize=thread" CACHE STRING "" FORCE)

mark_as_advanced(CMAKE_CXX_FLAGS_ASAN CMAKE_C_FLAGS_ASAN CMAKE_EXE_LINKER_FLAGS_ASAN
                 CMAKE_SHARED_LINKER_FLAGS_ASAN CMAKE_CXX_FLAGS_TSAN CMAKE_C_FLAGS_TSAN
                 CMAKE_EXE_LINKER_FLAGS_TSAN CMAKE_SHARED_LINKER_FLAGS_TSAN)

add_compile_options(-Wall -Wextra)
