# Precompiled headers, built once per tree and reused by the C++ targets of ours:
# natively the standard library headers most sources include, and for the test
# programs GoogleTest beside them; in the Windows tree windows.h with the COM and
# common-controls headers, for the targets that reach the Windows API. Parsing those
# is most of a small source's compile time, and each tree compiles them in some
# eighty sources.

if(WIN32)
  # Only the Windows headers, in the order a source includes them: with a standard
  # header in the precompiled one, mingw-w64's g++ no longer takes its inlined
  # string copies for system code and warns about them (-Warray-bounds at -O3).
  set(TAVISK_PCH_HEADERS <windows.h> <ole2.h> <oleauto.h> <olectl.h> <commctrl.h> <wrl/client.h>)
else()
  set(TAVISK_PCH_HEADERS
      <algorithm> <chrono> <cstdint> <filesystem> <functional> <map> <memory> <optional> <stdexcept> <string>
      <string_view> <utility> <vector>)
endif()

# tavisk_add_pch(<name> [LIBS <lib>...] [HEADERS <header>...]): an object library
# holding nothing but the precompiled header of TAVISK_PCH_HEADERS and HEADERS, with
# the usage requirements of LIBS (their include folders and definitions).
function(tavisk_add_pch name)
  cmake_parse_arguments(P "" "" "LIBS;HEADERS" ${ARGN})
  set(source ${CMAKE_BINARY_DIR}/pch/${name}.cpp)
  if(NOT EXISTS ${source})
    file(WRITE ${source} "// The precompiled header's own translation unit.\n")
  endif()
  add_library(${name} OBJECT ${source})
  target_link_libraries(${name} PRIVATE ${P_LIBS})
  target_precompile_headers(${name} PRIVATE ${TAVISK_PCH_HEADERS} ${P_HEADERS})
endfunction()

# tavisk_links_win32(<target> <out>): whether <target> reaches the Windows API: it
# lives in a win32 folder or is named so, or links the Windows plumbing (tavisk_base_win32)
# directly or through our other libraries.
function(tavisk_links_win32 target out)
  set(${out} OFF PARENT_SCOPE)
  get_target_property(dir ${target} SOURCE_DIR)
  if(dir MATCHES "/win32$" OR target MATCHES "_win32$")
    set(${out} ON PARENT_SCOPE)
    return()
  endif()
  get_target_property(type ${target} TYPE)
  get_target_property(libs ${target} INTERFACE_LINK_LIBRARIES)
  if(NOT type STREQUAL "INTERFACE_LIBRARY")
    get_target_property(own ${target} LINK_LIBRARIES)
    list(APPEND libs ${own})
  endif()
  foreach(lib IN LISTS libs)
    if(lib STREQUAL "tavisk_base_win32")
      set(${out} ON PARENT_SCOPE)
      return()
    endif()
    if(lib MATCHES "^tavisk_" AND TARGET ${lib})
      tavisk_links_win32(${lib} found)
      if(found)
        set(${out} ON PARENT_SCOPE)
        return()
      endif()
    endif()
  endforeach()
endfunction()

# Gives every C++ target defined under <dir> (and its subfolders) that has no
# precompiled header yet the precompiled header of <pch> (in the Windows tree, only
# the targets that reach the Windows API), unless its compile options differ from
# the header's (a precompiled header is only valid under the options it was built
# with).
function(tavisk_reuse_pch pch dir)
  get_target_property(pch_options ${pch} COMPILE_OPTIONS)
  get_property(targets DIRECTORY ${dir} PROPERTY BUILDSYSTEM_TARGETS)
  foreach(target IN LISTS targets)
    get_target_property(type ${target} TYPE)
    if(NOT type MATCHES "^(EXECUTABLE|STATIC_LIBRARY|SHARED_LIBRARY|MODULE_LIBRARY|OBJECT_LIBRARY)$"
       OR target STREQUAL pch)
      continue()
    endif()
    get_target_property(reuse ${target} PRECOMPILE_HEADERS_REUSE_FROM)
    get_target_property(own ${target} PRECOMPILE_HEADERS)
    get_target_property(options ${target} COMPILE_OPTIONS)
    get_target_property(sources ${target} SOURCES)
    list(FILTER sources INCLUDE REGEX "\\.(cpp|cc|cxx)$")
    if(reuse OR own OR NOT options STREQUAL pch_options OR NOT sources)
      continue()
    endif()
    if(WIN32)
      tavisk_links_win32(${target} win32)
      if(NOT win32)
        continue()
      endif()
    endif()
    target_precompile_headers(${target} REUSE_FROM ${pch})
  endforeach()
  get_property(subdirs DIRECTORY ${dir} PROPERTY SUBDIRECTORIES)
  foreach(subdir IN LISTS subdirs)
    # Only our own folders: GoogleTest's sources build as they come.
    cmake_path(IS_PREFIX CMAKE_SOURCE_DIR ${subdir} NORMALIZE ours)
    if(ours)
      tavisk_reuse_pch(${pch} ${subdir})
    endif()
  endforeach()
endfunction()
