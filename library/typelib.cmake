# Builds a type library and its C/C++ bindings with widl: Ormelin0105's,
# and the small one the frame's tests embed.
#
#   include(typelib.cmake)
#   tovrin_typelib(<idl> <outdir> <arch> [PREDECLARED <clsid>])
#
# <arch> is i686 or x86_64 (TOVRIN_ARCH). PREDECLARED names the coclass that
# hosts create as a global instance (Ormelin0105's tovFSO). The function adds
# custom commands that produce, in <outdir>:
#
#   <name>.h      widl -h: the interfaces, coclasses and enumerations for C++
#   <name>_i.c    widl -u: the IID/CLSID/LIBID definitions
#   <name>.tlb    widl -t (with PREDECLARED, then tools/typelib_flags.py): the
#                 type library that the DLL embeds as its TYPELIB resource
#
# and sets TOVRIN_TYPELIB_HEADER, TOVRIN_TYPELIB_IID_SOURCE, TOVRIN_TYPELIB_TLB
# and TOVRIN_TYPELIB_INCLUDE_DIR (= <outdir>) in the caller's scope. List the
# header and the _i.c among a target's sources, and make the resource script
# depend on the .tlb (OBJECT_DEPENDS), so that the commands run.
#
# Steps:
# 1. The IDL (kept in UTF-8) is recoded to code page 1251. widl copies
#    help-string bytes verbatim into the .tlb and the platform reads them back
#    through the ANSI code page, so the Cyrillic help strings must be stored in
#    1251 to read back intact on a 1251 system. A character that 1251 cannot
#    hold fails the build.
# 2. widl compiles the recoded IDL. -I names the folder of oaidl.idl (Debian:
#    libwine-dev; MSYS2: the MinGW headers), -L the folder of stdole2.tlb for
#    importlib (Debian: Wine's libraries), --win32/--win64 the target.
# 3. With PREDECLARED, tools/typelib_flags.py adds what widl cannot express:
#    the predeclared-id flag of that coclass (widl refuses `predeclid`,
#    accepts `appobject`) and the VT_I4 type of the defaults of by-reference
#    VARIANT parameters.

find_package(Python3 REQUIRED COMPONENTS Interpreter)

set(TOVRIN_TYPELIB_FLAGS_SCRIPT "${CMAKE_CURRENT_LIST_DIR}/../tools/typelib_flags.py")

# Files a Debian package installs, for find_path hints.
function(_tovrin_package_dirs out file)
  set(dirs "")
  find_program(_TOVRIN_DPKG dpkg)
  if(_TOVRIN_DPKG)
    foreach(package ${ARGN})
      execute_process(COMMAND ${_TOVRIN_DPKG} -L ${package} OUTPUT_VARIABLE listing ERROR_QUIET
                      RESULT_VARIABLE failed)
      if(NOT failed)
        string(REPLACE "\n" ";" listing "${listing}")
        foreach(path ${listing})
          if(path MATCHES "/${file}$")
            get_filename_component(dir "${path}" DIRECTORY)
            list(APPEND dirs "${dir}")
          endif()
        endforeach()
      endif()
    endforeach()
  endif()
  set(${out} ${dirs} PARENT_SCOPE)
endfunction()

function(tovrin_typelib idl outdir arch)
  cmake_parse_arguments(PARSE_ARGV 3 typelib "" "PREDECLARED" "")
  if(typelib_UNPARSED_ARGUMENTS)
    message(FATAL_ERROR "tovrin_typelib: unknown arguments '${typelib_UNPARSED_ARGUMENTS}'")
  endif()
  if(arch STREQUAL "i686")
    set(target_flag --win32)
    set(stdole_packages libwine:i386 wine32:i386 libwine:amd64 wine64)
    set(stdole_paths /usr/lib/i386-linux-gnu/wine/i386-windows /usr/lib/x86_64-linux-gnu/wine/x86_64-windows)
  elseif(arch STREQUAL "x86_64")
    set(target_flag --win64)
    set(stdole_packages libwine:amd64 wine64 libwine:i386 wine32:i386)
    set(stdole_paths /usr/lib/x86_64-linux-gnu/wine/x86_64-windows /usr/lib/i386-linux-gnu/wine/i386-windows)
  else()
    message(FATAL_ERROR "tovrin_typelib: unknown architecture '${arch}' (i686 or x86_64)")
  endif()

  find_program(TOVRIN_WIDL NAMES ${arch}-w64-mingw32-widl i686-w64-mingw32-widl widl REQUIRED)

  _tovrin_package_dirs(oaidl_hints oaidl.idl libwine-dev)
  find_path(TOVRIN_OAIDL_IDL_DIR oaidl.idl
            HINTS ${oaidl_hints}
            PATHS /usr/include/wine/wine/windows /usr/include/wine/windows
                  /mingw32/include /mingw64/include /ucrt64/include
            NO_CMAKE_FIND_ROOT_PATH NO_DEFAULT_PATH)
  if(NOT TOVRIN_OAIDL_IDL_DIR)
    message(FATAL_ERROR "tovrin_typelib: oaidl.idl not found (Debian: install libwine-dev)")
  endif()

  _tovrin_package_dirs(stdole_hints stdole2.tlb ${stdole_packages})
  find_path(TOVRIN_STDOLE2_TLB_DIR_${arch} stdole2.tlb
            HINTS ${stdole_hints}
            PATHS ${stdole_paths} /usr/lib/wine/${arch}-windows "$ENV{SystemRoot}/System32"
            NO_CMAKE_FIND_ROOT_PATH NO_DEFAULT_PATH)
  set(stdole_dir ${TOVRIN_STDOLE2_TLB_DIR_${arch}})
  if(NOT stdole_dir)
    message(FATAL_ERROR "tovrin_typelib: stdole2.tlb not found (Debian: install wine64 or wine32)")
  endif()

  get_filename_component(name "${idl}" NAME_WE)
  get_filename_component(idl_dir "${idl}" DIRECTORY)
  set(recoded "${outdir}/cp1251/${name}.idl")
  set(header "${outdir}/${name}.h")
  set(iids "${outdir}/${name}_i.c")
  set(widl_tlb "${outdir}/${name}.widl.tlb")
  set(tlb "${outdir}/${name}.tlb")
  set(widl ${TOVRIN_WIDL} ${target_flag} -I${TOVRIN_OAIDL_IDL_DIR} -I${idl_dir})

  add_custom_command(
    OUTPUT "${recoded}"
    COMMAND ${CMAKE_COMMAND} -E make_directory "${outdir}/cp1251"
    COMMAND ${Python3_EXECUTABLE} -c
            "import sys; open(sys.argv[2], 'wb').write(open(sys.argv[1], 'rb').read().decode('utf-8').encode('cp1251'))"
            "${idl}" "${recoded}"
    DEPENDS "${idl}"
    COMMENT "Recoding ${name}.idl to code page 1251"
    VERBATIM)

  add_custom_command(
    OUTPUT "${header}"
    COMMAND ${widl} -h -o "${header}" "${recoded}"
    DEPENDS "${recoded}"
    COMMENT "widl: ${name}.h"
    VERBATIM)

  add_custom_command(
    OUTPUT "${iids}"
    COMMAND ${widl} -u -o "${iids}" "${recoded}"
    DEPENDS "${recoded}"
    COMMENT "widl: ${name}_i.c"
    VERBATIM)

  if(typelib_PREDECLARED)
    set(finish ${Python3_EXECUTABLE} "${TOVRIN_TYPELIB_FLAGS_SCRIPT}" "${widl_tlb}" "${tlb}"
               --guid ${typelib_PREDECLARED} --set 0x8 --fix-variant-defaults)
  else()
    set(finish ${CMAKE_COMMAND} -E copy "${widl_tlb}" "${tlb}")
  endif()
  add_custom_command(
    OUTPUT "${tlb}"
    COMMAND ${widl} -L${stdole_dir} -t -o "${widl_tlb}" "${recoded}"
    COMMAND ${finish}
    DEPENDS "${recoded}" "${TOVRIN_TYPELIB_FLAGS_SCRIPT}"
    BYPRODUCTS "${widl_tlb}"
    COMMENT "widl: ${name}.tlb"
    VERBATIM)

  set(TOVRIN_TYPELIB_HEADER "${header}" PARENT_SCOPE)
  set(TOVRIN_TYPELIB_IID_SOURCE "${iids}" PARENT_SCOPE)
  set(TOVRIN_TYPELIB_TLB "${tlb}" PARENT_SCOPE)
  set(TOVRIN_TYPELIB_INCLUDE_DIR "${outdir}" PARENT_SCOPE)
endfunction()
