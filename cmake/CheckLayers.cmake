# Fails when a core folder includes a folder above it or any Qt header.
# Run as: cmake -DSOURCE_DIR=<src> -P CheckLayers.cmake
#
# The layers, lowest first. A folder may include itself and the folders
# listed for it, nothing else of src/:
#   astro     the theories, dates and mathematics
#   stream    the tagged value stream and its byte-level helpers
#   bodies    astro, stream
#   scene     astro, stream, bodies
#   database  astro, stream, bodies            (beside the scene)
#   document  astro, stream, bodies, scene, database
# Only src/app (and the tools) may use Qt.
cmake_minimum_required(VERSION 3.25)

set(allowed_astro    astro)
set(allowed_stream   stream)
set(allowed_bodies   bodies astro stream)
set(allowed_scene    scene bodies astro stream)
set(allowed_database database bodies astro stream)
set(allowed_document document scene database bodies astro stream)
set(core_folders astro stream bodies scene database document)

if(NOT SOURCE_DIR)
  message(FATAL_ERROR "CheckLayers: SOURCE_DIR is not set")
endif()
file(GLOB src_folders RELATIVE ${SOURCE_DIR} ${SOURCE_DIR}/*)

set(faults "")
foreach(folder IN LISTS core_folders)
  file(GLOB_RECURSE files ${SOURCE_DIR}/${folder}/*.h ${SOURCE_DIR}/${folder}/*.cpp
       ${SOURCE_DIR}/${folder}/*.inc)
  foreach(file IN LISTS files)
    file(STRINGS ${file} includes REGEX "^[ \t]*#[ \t]*include[ \t]*[<\"]")
    foreach(line IN LISTS includes)
      string(REGEX REPLACE "^[ \t]*#[ \t]*include[ \t]*[<\"]([^>\"]+)[>\"].*" "\\1" header "${line}")
      file(RELATIVE_PATH where ${SOURCE_DIR} ${file})
      if(header MATCHES "^Q[A-Za-z]*(/|$)" OR header MATCHES "^qt[a-z]*\\.h$")
        string(APPEND faults "  ${where}: includes the Qt header ${header}\n")
      elseif(header MATCHES "^(\\.\\./)*([^/.][^/]*)/")
        set(target ${CMAKE_MATCH_2})
        if(target IN_LIST src_folders AND NOT target IN_LIST allowed_${folder})
          string(APPEND faults "  ${where}: ${folder} includes ${header}, a layer above it\n")
        endif()
      endif()
    endforeach()
  endforeach()
endforeach()

if(faults)
  message(FATAL_ERROR "Layer check failed:\n${faults}")
endif()
message(STATUS "Layer check passed")
