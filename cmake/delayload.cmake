# Delay-loaded system DLLs: GDI+, COM and the common controls are bound on first use, not before
# WinMain. The main window's first paint needs only USER32 and GDI; the others load after it (and
# only from the system folder, since the DLL search is restricted before they are first called).
#
# MinGW ships ordinary import libraries only. From each one's function list we write a .def and
# let dlltool make the delay-import library; the delay-load helper itself is in libmingwex.
set(SONA_DELAYED_DLLS gdiplus ole32 comctl32)

get_filename_component(_sona_bin_dir ${CMAKE_CXX_COMPILER} DIRECTORY)
string(REGEX REPLACE "-g\\+\\+(-posix)?$" "" _sona_triplet_prefix ${CMAKE_CXX_COMPILER})
set(SONA_DLLTOOL ${_sona_triplet_prefix}-dlltool)
set(SONA_OBJCOPY ${_sona_triplet_prefix}-objcopy)
set(SONA_NM ${_sona_triplet_prefix}-nm)

set(SONA_DELAY_LIBS)
foreach(dll ${SONA_DELAYED_DLLS})
  find_file(_sona_implib_${dll} lib${dll}.a PATHS ${CMAKE_FIND_ROOT_PATH}/lib NO_DEFAULT_PATH)
  set(def ${CMAKE_BINARY_DIR}/delay/${dll}.def)
  set(lib ${CMAKE_BINARY_DIR}/delay/lib${dll}_didat.a)
  if(NOT EXISTS ${lib} OR ${_sona_implib_${dll}} IS_NEWER_THAN ${lib})
    execute_process(COMMAND ${SONA_NM} ${_sona_implib_${dll}} OUTPUT_VARIABLE syms RESULT_VARIABLE rc)
    if(rc)
      message(FATAL_ERROR "cannot list the functions of ${_sona_implib_${dll}}")
    endif()
    # Function thunks only ("T"); data exports have just an __imp_ symbol and stay out.
    string(REGEX MATCHALL "[0-9a-f]+ T [^\n]+" thunks "${syms}")
    set(text "LIBRARY ${dll}.dll\nEXPORTS\n")
    foreach(t ${thunks})
      string(REGEX REPLACE "^[0-9a-f]+ T " "" name "${t}")
      # 32-bit C names carry one leading underscore (only one: _TrackMouseEvent is __TrackMouseEvent@4).
      # REGEX REPLACE would take every leading one, its ^ matching again after each replacement.
      if(CMAKE_SIZEOF_VOID_P EQUAL 4 AND name MATCHES "^_")
        string(SUBSTRING "${name}" 1 -1 name)
      endif()
      string(APPEND text "${name}\n")
    endforeach()
    file(WRITE ${def} "${text}")
    # 32-bit stdcall names carry @n in the library but not in the DLL's export table (--kill-at).
    set(kill)
    if(CMAKE_SIZEOF_VOID_P EQUAL 4)
      set(kill -k)
    endif()
    execute_process(COMMAND ${SONA_DLLTOOL} ${kill} -d ${def} -y ${lib} RESULT_VARIABLE rc)
    if(rc)
      message(FATAL_ERROR "dlltool could not make ${lib}")
    endif()
    # dlltool puts the delay tables in the .idata$ sections of ordinary imports. The 32-bit ld
    # then treats the delayed address slots as ordinary imports without a DLL and writes zeros
    # over their stubs, so the first call of a delayed function jumps to address 0. In sections
    # of their own (.didat$, sorted by the same $ rule) the slots keep their stubs.
    if(CMAKE_SIZEOF_VOID_P EQUAL 4)
      set(renames)
      foreach(n 2 4 5 6 7)
        list(APPEND renames --rename-section ".idata$${n}=.didat$${n},alloc,load,data,contents")
      endforeach()
      execute_process(COMMAND ${SONA_OBJCOPY} ${renames} ${lib} RESULT_VARIABLE rc)
      if(rc)
        message(FATAL_ERROR "objcopy could not move the delay tables of ${lib}")
      endif()
    endif()
  endif()
  list(APPEND SONA_DELAY_LIBS ${lib})
endforeach()
