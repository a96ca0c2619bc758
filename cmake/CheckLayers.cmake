cmake_minimum_required(VERSION 3.16)
# The library's layers: each folder may include its own headers and those of
# the folders listed for it, nothing else of the library. The frame (com)
# and the file layer (files) know no feature; features do not know each
# other; the COM classes (classes) stand above them all. tovFSO's
# description members are still defined beside tovDescriptIon, in
# metadata, and so reach up to their class's header.
# Run with -DLIBRARY=<the library's source folder>; fails on the first
# include that breaks the order, naming the file and the line.
set(layers com files content metadata search information classes)
set(allowed_com com)
set(allowed_files com files)
set(allowed_content com files content)
set(allowed_metadata com files metadata classes)
set(allowed_search com files search)
set(allowed_information com files information)
set(allowed_classes com files content metadata search information classes)

get_filename_component(LIBRARY "${LIBRARY}" ABSOLUTE)
set(violations "")
foreach(layer ${layers})
  file(GLOB sources "${LIBRARY}/${layer}/*.h" "${LIBRARY}/${layer}/*.cpp")
  foreach(source ${sources})
    file(STRINGS "${source}" includes REGEX "^[ \t]*#[ \t]*include[ \t]*\"")
    foreach(line ${includes})
      string(REGEX REPLACE "^[ \t]*#[ \t]*include[ \t]*\"([^\"]+)\".*" "\\1" included "${line}")
      if(included MATCHES "^([A-Za-z]+)/")
        set(target_layer "${CMAKE_MATCH_1}")
      elseif(EXISTS "${LIBRARY}/${layer}/${included}")
        set(target_layer "${layer}")
      elseif(EXISTS "${LIBRARY}/${included}")
        set(target_layer "the library's root")
      else()
        continue() # generated or outside the library
      endif()
      if(NOT target_layer IN_LIST layers AND NOT target_layer STREQUAL "the library's root")
        continue()
      endif()
      if(NOT target_layer IN_LIST allowed_${layer})
        file(RELATIVE_PATH shown "${LIBRARY}" "${source}")
        string(APPEND violations "  ${shown} includes \"${included}\" (${target_layer}); ${layer}/ may include only: ${allowed_${layer}}\n")
      endif()
    endforeach()
  endforeach()
endforeach()
if(violations)
  message(FATAL_ERROR "The library's layers are broken:\n${violations}")
endif()
