# Precompiled headers, built once per tree and reused by every C++ target of ours:
# the standard library headers most sources include and, in the Windows tree,
# windows.h with the COM and common-controls headers; the test programs' one adds
# GoogleTest. Parsing those is most of a small source's compile time, and this
# tree compiles each of them in some eighty sources.

set(TAVISK_PCH_HEADERS
    <algorithm> <chrono> <cstdint> <filesystem> <functional> <map> <memory> <optional> <stdexcept> <string>
    <string_view> <utility> <vector>)
if(WIN32)
  # In the order a source would include them: windows.h first.
  list(APPEND TAVISK_PCH_HEADERS <windows.h> <ole2.h> <oleauto.h> <olectl.h> <commctrl.h> <wrl/client.h>)
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

# Gives every C++ target defined under <dir> (and its subfolders) that has no
# precompiled header yet the precompiled header of <pch>, unless its compile options
# differ from the header's (a precompiled header is only valid under the options it
# was built with).
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
