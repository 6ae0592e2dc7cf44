# SPDX-License-Identifier: MIT
# Fails when a file includes a higher floor or a sibling area, or when an
# area's logic includes widget code.
# Floors, from the ground up: platform -> settings -> imagelist ->
# folders | enlarge -> app; converter/ includes nothing of ours. An area's
# widget adapters live in its widgets/ folder, a library of their own that
# may include the area itself; nothing else of the area includes them.
# Usage: cmake -DSOURCE_DIR=<checkout> -P scripts/check-floors.cmake
cmake_minimum_required(VERSION 3.25)
if(NOT SOURCE_DIR)
  get_filename_component(SOURCE_DIR ${CMAKE_CURRENT_LIST_DIR}/.. ABSOLUTE)
endif()

set(floor_platform 0)
set(floor_settings 1)
set(floor_imagelist 2)
set(floor_folders 3)
set(floor_enlarge 3)
set(floor_app 4)
set(areas platform settings imagelist folders enlarge app)

set(faults "")
foreach(area ${areas} converter)
  file(GLOB_RECURSE sources RELATIVE ${SOURCE_DIR}
    ${SOURCE_DIR}/${area}/*.h ${SOURCE_DIR}/${area}/*.cpp)
  foreach(source ${sources})
    file(STRINGS ${SOURCE_DIR}/${source} includes REGEX "^[ \t]*#[ \t]*include[ \t]*\"")
    foreach(line ${includes})
      string(REGEX REPLACE "^[^\"]*\"([^\"]*)\".*$" "\\1" included "${line}")
      if(included MATCHES "^\\.\\./")
        list(APPEND faults "${source}: reaches out of its folder: ${included}")
        continue()
      endif()
      if(included MATCHES "(^|/)widgets/" AND NOT source MATCHES "^[^/]+/widgets/"
         AND NOT area STREQUAL "app")
        list(APPEND faults "${source}: logic includes widget code: ${included}")
        continue()
      endif()
      if(NOT included MATCHES "^([^/]+)/")
        continue() # its own folder
      endif()
      set(target ${CMAKE_MATCH_1})
      if(NOT target IN_LIST areas OR target STREQUAL area)
        continue()
      endif()
      if(area STREQUAL "converter")
        list(APPEND faults "${source}: the converter includes ${included}")
      elseif(NOT floor_${target} LESS floor_${area})
        list(APPEND faults "${source}: ${area}/ includes ${included} (same floor or higher)")
      endif()
    endforeach()
  endforeach()
endforeach()

if(faults)
  list(JOIN faults "\n  " text)
  message(FATAL_ERROR "Includes across floors:\n  ${text}")
endif()
message(STATUS "Every include stays on its own floor or below.")
