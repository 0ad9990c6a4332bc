# Shared helpers for the folder CMakeLists.
#
# Every folder's sources are picked up by glob, and the platform pairs
# (name_win32.cpp / name_posix.cpp) are chosen here, so adding a file never
# needs an edit elsewhere and no function body needs an #ifdef.

if(WIN32)
  set(KELVARO_PLATFORM_SUFFIX win32)
  set(KELVARO_OTHER_SUFFIX posix)
else()
  set(KELVARO_PLATFORM_SUFFIX posix)
  set(KELVARO_OTHER_SUFFIX win32)
endif()

set(KELVARO_WARNINGS -Wall -Wextra -Wpedantic -Wshadow -Wnon-virtual-dtor -Wcast-align
    -Woverloaded-virtual -Wno-missing-field-initializers)
# GCC 12 reports impossible overlaps inside libstdc++'s own string concatenation
# (GCC bug 105329), in optimised builds only.
if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU" AND CMAKE_CXX_COMPILER_VERSION VERSION_LESS 13)
  list(APPEND KELVARO_WARNINGS -Wno-restrict)
endif()

# kelvaro_sources(<out-var> <dir>): the .cpp files of <dir> for this platform.
function(kelvaro_sources out dir)
  file(GLOB files CONFIGURE_DEPENDS "${dir}/*.cpp")
  list(FILTER files EXCLUDE REGEX "_${KELVARO_OTHER_SUFFIX}\\.cpp$")
  list(FILTER files EXCLUDE REGEX "_test\\.cpp$")
  set(${out} ${files} PARENT_SCOPE)
endfunction()

function(kelvaro_warnings target)
  target_compile_options(${target} PRIVATE ${KELVARO_WARNINGS})
  if(WIN32)
    # Wide W APIs everywhere; never the A variants that use the system's code page.
    target_compile_definitions(${target} PRIVATE UNICODE _UNICODE WIN32_LEAN_AND_MEAN NOMINMAX
                               _WIN32_WINNT=0x0601)
  endif()
endfunction()

# kelvaro_library(<name> <dir> [DEPS ...]): a static library of <dir>'s sources,
# with the repository root on the include path ("engine/text.h").
function(kelvaro_library name dir)
  cmake_parse_arguments(ARG "" "" "DEPS" ${ARGN})
  kelvaro_sources(srcs ${dir})
  if(NOT srcs)  # a folder with headers only so far
    add_library(${name} INTERFACE)
    target_include_directories(${name} INTERFACE ${PROJECT_SOURCE_DIR})
    target_link_libraries(${name} INTERFACE ${ARG_DEPS} Threads::Threads)
    return()
  endif()
  add_library(${name} STATIC ${srcs})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
  target_link_libraries(${name} PUBLIC ${ARG_DEPS} Threads::Threads)
  kelvaro_warnings(${name})
endfunction()

find_package(Threads REQUIRED)
