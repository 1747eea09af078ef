# Fails when a source file includes a header of a layer above its own.
#
#   cmake -DROOT=<source tree> [-DTABLE=<layer table>] -P cmake/CheckLayers.cmake
#
# TABLE (default: cmake/Layers.txt beside this script) lists each folder and the folders it may
# include from. Every #include "FOLDER/..." of every file below a listed folder of ROOT is checked;
# each one that breaks the table is printed as "FILE:LINE: A/ may not include B/ (#include ...)".

cmake_minimum_required(VERSION 3.25)

if(NOT ROOT)
  message(FATAL_ERROR "CheckLayers: ROOT is not set")
endif()
if(NOT TABLE)
  set(TABLE ${CMAKE_CURRENT_LIST_DIR}/Layers.txt)
endif()

file(STRINGS ${TABLE} rows)
set(layers)
foreach(row IN LISTS rows)
  if(row MATCHES "^[ \t]*(#|$)")
    continue()
  endif()
  if(NOT row MATCHES "^([A-Za-z0-9_]+):(.*)$")
    message(FATAL_ERROR "CheckLayers: ${TABLE}: cannot read the line \"${row}\"")
  endif()
  set(layer ${CMAKE_MATCH_1})
  string(STRIP "${CMAKE_MATCH_2}" allowed)
  separate_arguments(allowed UNIX_COMMAND "${allowed}")
  list(APPEND layers ${layer})
  set(ALLOWED_${layer} ${layer} ${allowed})
endforeach()

set(violations 0)
set(checked 0)
foreach(layer IN LISTS layers)
  if(NOT IS_DIRECTORY ${ROOT}/${layer})
    continue()
  endif()
  file(GLOB_RECURSE sources LIST_DIRECTORIES false RELATIVE ${ROOT}
       ${ROOT}/${layer}/*.h ${ROOT}/${layer}/*.hpp ${ROOT}/${layer}/*.cpp ${ROOT}/${layer}/*.cc ${ROOT}/${layer}/*.inc)
  foreach(source IN LISTS sources)
    math(EXPR checked "${checked} + 1")
    file(STRINGS ${ROOT}/${source} lines)
    set(number 0)
    foreach(line IN LISTS lines)
      math(EXPR number "${number} + 1")
      if(NOT line MATCHES "^[ \t]*#[ \t]*include[ \t]*\"([^\"/]+)/[^\"]*\"")
        continue()
      endif()
      set(target ${CMAKE_MATCH_1})
      if(NOT target IN_LIST layers OR target IN_LIST ALLOWED_${layer})
        continue()
      endif()
      string(STRIP "${line}" shown)
      message("${source}:${number}: ${layer}/ may not include ${target}/ (${shown})")
      math(EXPR violations "${violations} + 1")
    endforeach()
  endforeach()
endforeach()

if(violations GREATER 0)
  message(FATAL_ERROR "CheckLayers: ${violations} include(s) break the layer table ${TABLE}")
endif()
message("CheckLayers: ${checked} files follow the layer table")
