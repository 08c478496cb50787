# tavisk_public_headers(<target> <folder> [HEADERS <name>...])
#
# Makes the headers of <folder> (a folder of the tree, e.g. "host/win32") the
# public headers of <target>: they are reachable as "<folder>/<name>.h" only from
# the target itself and from targets that link it. Each target gets an include
# root of its own in the build folder, holding links to just those headers (all of
# the folder's .h and .inc files, not its subfolders', unless HEADERS names them),
# so including a header of a library one does not link fails to compile.
function(tavisk_public_headers target folder)
  cmake_parse_arguments(P "" "" "HEADERS" ${ARGN})
  set(root ${CMAKE_BINARY_DIR}/include/${target})
  set(dir ${root}/${folder})
  if(P_HEADERS)
    list(TRANSFORM P_HEADERS PREPEND ${CMAKE_SOURCE_DIR}/${folder}/ OUTPUT_VARIABLE headers)
  else()
    file(GLOB headers CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/${folder}/*.h ${CMAKE_SOURCE_DIR}/${folder}/*.inc)
  endif()
  # Links of headers deleted or moved since the last configuration go first.
  file(GLOB old ${dir}/*)
  foreach(link IN LISTS old)
    if(IS_SYMLINK ${link})
      file(REMOVE ${link})
    endif()
  endforeach()
  file(MAKE_DIRECTORY ${dir})
  foreach(header IN LISTS headers)
    get_filename_component(name ${header} NAME)
    file(CREATE_LINK ${header} ${dir}/${name} SYMBOLIC)
  endforeach()
  target_include_directories(${target} PUBLIC ${root})
endfunction()

# tavisk_system_headers(<target> <folder> <header>)
#
# An INTERFACE library <target> for a header-only Debian package whose headers sit
# in /usr/include/<folder> (e.g. "tsl" of robin-map-dev). Its include root holds a
# link to just that folder, so the cross build, which must not see the rest of the
# build machine's /usr/include, finds "<folder>/<header>" and nothing else.
function(tavisk_system_headers target folder header)
  find_path(${target}_DIR ${folder}/${header} PATHS /usr/include NO_DEFAULT_PATH NO_CMAKE_FIND_ROOT_PATH REQUIRED)
  set(root ${CMAKE_BINARY_DIR}/include/${target})
  file(MAKE_DIRECTORY ${root})
  if(NOT EXISTS ${root}/${folder})
    file(CREATE_LINK ${${target}_DIR}/${folder} ${root}/${folder} SYMBOLIC)
  endif()
  add_library(${target} INTERFACE)
  target_include_directories(${target} SYSTEM INTERFACE ${root})
endfunction()
