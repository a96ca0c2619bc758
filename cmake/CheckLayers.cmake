cmake_minimum_required(VERSION 3.16)
# The library's layers: each folder may include its own headers and those of
# the folders listed for it, nothing else of the library. The frame (com)
# and the file layer (files) know no feature; features do not know each
# other, except that the metadata members of tovFSO extend its content class.
# The frame knows no type of the product's type library either: com/ builds
# and is tested without it, so it may not include the header widl makes
# from the library's IDL.
# The COM classes (classes) sit above every feature.
# Run with -DLIBRARY=<the library's source folder>; fails on the first
# include that breaks the order, naming the file and the line.
set(layers com files content metadata search information classes)
set(allowed_com com)
set(allowed_files com files)
set(allowed_content com files content)
set(allowed_metadata com files content metadata)
set(allowed_search com files search)
set(allowed_information com files information)
set(allowed_classes com files content metadata search information classes)

set(without_type_library com)

get_filename_component(LIBRARY "${LIBRARY}" ABSOLUTE)
file(GLOB idls "${LIBRARY}/*.idl")
set(type_library_headers "")
foreach(idl ${idls})
  get_filename_component(name "${idl}" NAME_WE)
  list(APPEND type_library_headers "${name}.h")
endforeach()
set(violations "")
foreach(layer ${layers})
  file(GLOB sources "${LIBRARY}/${layer}/*.h" "${LIBRARY}/${layer}/*.cpp")
  foreach(source ${sources})
    file(STRINGS "${source}" includes REGEX "^[ \t]*#[ \t]*include[ \t]*\"")
    foreach(line ${includes})
      string(REGEX REPLACE "^[ \t]*#[ \t]*include[ \t]*\"([^\"]+)\".*" "\\1" included "${line}")
      if(layer IN_LIST without_type_library AND included IN_LIST type_library_headers)
        file(RELATIVE_PATH shown "${LIBRARY}" "${source}")
        string(APPEND violations "  ${shown} includes \"${included}\", the type library's header; ${layer}/ knows no type of it\n")
        continue()
      endif()
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
