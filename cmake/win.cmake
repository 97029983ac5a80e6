# The Windows build: Sonadesk.exe, its import library, the in-process test exe, probe and bench programs.
add_compile_definitions(WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0501 WINVER=0x0501 _WIN32_IE=0x0600)
add_compile_options(-Wall -Wno-unknown-pragmas -Wno-cast-function-type)
# DWARF 4, not GCC's default 5: Wine's debugger reads only up to 4, and with it a crash backtrace
# under Wine names Sonadesk's functions and lines (from Sonadesk.exe.debug through the debug link).
add_compile_options(-gdwarf-4)
# The 32-bit build computes in SSE2 as the 64-bit one does: the x87 unit's 80-bit intermediates
# gave results one pixel off the tested ones. Every Windows the manifest names needs SSE2 anyway.
# scripts/count-x87.py counts what x87 code is left.
if(CMAKE_SIZEOF_VOID_P EQUAL 4)
  add_compile_options(-msse2 -mfpmath=sse)
endif()
# Hardening: stack canaries in every function with an array or an address-taken local, and the
# checked variants of memcpy, strcpy, sprintf and the like where the size is known. Their runtime
# (libssp) is linked statically like the rest, so the exe still needs no DLL of ours. The linker's
# defaults (binutils 2.36 and later) already mark both exes ASLR (with high entropy on 64-bit) and
# DEP compatible; the flags are repeated so an older linker cannot drop them.
# SONA_HARDEN=OFF builds without canaries and checked functions, only to measure what they cost
# (./sonadesk bench startup against such a build); what ships is always hardened.
option(SONA_HARDEN "stack canaries and _FORTIFY_SOURCE" ON)
set(SONA_STATIC_LINK -static -static-libgcc -static-libstdc++ -Wl,--dynamicbase -Wl,--nxcompat)
if(SONA_HARDEN)
  add_compile_options(-fstack-protector-strong)
  add_compile_definitions(_FORTIFY_SOURCE=2)
  list(APPEND SONA_STATIC_LINK -fstack-protector-strong)
endif()
if(CMAKE_SIZEOF_VOID_P EQUAL 8)
  list(APPEND SONA_STATIC_LINK -Wl,--high-entropy-va)
endif()
set(SONA_SYSLIBS gdiplus strmiids quartz ole32 oleaut32 uuid comctl32 comdlg32 shlwapi shell32
    gdi32 user32 advapi32 msimg32 winmm)

# Each layout folder is a library that links only the folders below it (lowest first in
# SONA_LAYERS; items and dialogs stand side by side). scripts/check-layers.py checks the includes.
set(SONA_LAYER_DEPS_platform)
set(SONA_LAYER_DEPS_store platform)
set(SONA_LAYER_DEPS_controls store platform)
set(SONA_LAYER_DEPS_items controls store platform)
set(SONA_LAYER_DEPS_dialogs controls store platform)
set(SONA_LAYER_DEPS_notes items controls store platform)
set(SONA_LAYER_DEPS_app notes items dialogs controls store platform)
set(SONA_LIBS)
foreach(dir ${SONA_LAYERS})
  set(srcs ${SONA_PORTABLE} ${SONA_WIN})
  list(FILTER srcs INCLUDE REGEX "^${dir}/")
  add_library(sona_${dir} STATIC ${srcs})
  foreach(dep ${SONA_LAYER_DEPS_${dir}})
    target_link_libraries(sona_${dir} PUBLIC sona_${dep})
  endforeach()
  list(PREPEND SONA_LIBS sona_${dir})
endforeach()

# The exe takes every object of every folder, used or not: its exports (CMstRegistry) are
# referenced by nothing inside it.
set(SONA_ALL_OBJECTS)
foreach(lib ${SONA_LIBS})
  list(APPEND SONA_ALL_OBJECTS $<TARGET_OBJECTS:${lib}>)
endforeach()
add_executable(Sonadesk WIN32 app/WinMain.cpp res/Sonadesk.rc ${SONA_ALL_OBJECTS})
# The exe exports CMstRegistry: CMake makes its import library. --dynamicbase (above) keeps the
# relocations so another module can map the exe to use those exports.
set_target_properties(Sonadesk PROPERTIES OUTPUT_NAME Sonadesk SUFFIX .exe ENABLE_EXPORTS ON)
target_link_options(Sonadesk PRIVATE ${SONA_STATIC_LINK} -mwindows)
# GDI+, COM and the common controls are delay-loaded (cmake/delayload.cmake).
include(${CMAKE_SOURCE_DIR}/cmake/delayload.cmake)
set(SONA_EXE_SYSLIBS ${SONA_SYSLIBS})
list(REMOVE_ITEM SONA_EXE_SYSLIBS ${SONA_DELAYED_DLLS})
target_link_libraries(Sonadesk PRIVATE ${SONA_DELAY_LIBS} ${SONA_EXE_SYSLIBS})
if(SONA_LAZY_SOURCES)
  target_sources(Sonadesk PRIVATE platform/LazyImports.cpp ${SONA_LAZY_SOURCES})
endif()
set_source_files_properties(res/Sonadesk.rc PROPERTIES OBJECT_DEPENDS
  "${CMAKE_SOURCE_DIR}/res/resource.h;${CMAKE_SOURCE_DIR}/res/version.h;${CMAKE_SOURCE_DIR}/res/Sonadesk.exe.manifest")
# The shipped exe carries no debug information: it moves to Sonadesk.exe.debug beside it, and a
# debug link (file name and CRC) lets a debugger or a crash backtrace find it there.
include(${CMAKE_SOURCE_DIR}/cmake/debuglink.cmake)
sona_split_debug_info(Sonadesk)

# GoogleTest from Debian's sources, cross-built.
set(gtest_force_shared_crt ON CACHE BOOL "" FORCE)
set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)

file(GLOB SONA_WIN_TESTS CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/win/*.cpp)
add_executable(sonadesk_wintests ${SONA_WIN_TESTS} res/Sonadesk.rc)
target_link_options(sonadesk_wintests PRIVATE ${SONA_STATIC_LINK})
# The tests link the folders as libraries: a folder that used one above it would not link.
target_link_libraries(sonadesk_wintests PRIVATE ${SONA_LIBS} gtest ${SONA_SYSLIBS} version)

# Small helper programs: one exe per file.
file(GLOB SONA_WIN_TOOLS CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tools/win/*.cpp ${CMAKE_SOURCE_DIR}/bench/win/*.cpp)
foreach(src ${SONA_WIN_TOOLS})
  get_filename_component(name ${src} NAME_WE)
  add_executable(${name} ${src})
  target_link_options(${name} PRIVATE ${SONA_STATIC_LINK})
  target_link_libraries(${name} PRIVATE ${SONA_SYSLIBS})
endforeach()

# A program that crashes on purpose with the crash reporter installed, for the test of the reports
# (tests/e2e/test_crash_report.py); with a .debug file of its own, as the shipped exe has.
add_executable(crash_probe tests/crash/crash_probe.cpp)
target_link_options(crash_probe PRIVATE ${SONA_STATIC_LINK})
target_link_libraries(crash_probe PRIVATE ${SONA_LIBS} ${SONA_SYSLIBS})
sona_split_debug_info(crash_probe)

# A DLL that leaves a mark when loaded, planted under system DLL names by the DLL search test.
add_library(planted_dll SHARED tests/dll/planted_dll.cpp)
set_target_properties(planted_dll PROPERTIES PREFIX "")
target_link_options(planted_dll PRIVATE ${SONA_STATIC_LINK})

# Programs that link against Sonadesk.exe's exports.
file(GLOB SONA_IMPORT_TESTS CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/import/*.cpp)
foreach(src ${SONA_IMPORT_TESTS})
  get_filename_component(name ${src} NAME_WE)
  add_executable(${name} ${src})
  target_link_options(${name} PRIVATE ${SONA_STATIC_LINK})
  target_link_libraries(${name} PRIVATE Sonadesk advapi32)
endforeach()

# The resource script finds its art beside it and the language pack made by the build.
if(NOT SONA_GEN_DIR)
  set(SONA_GEN_DIR ${CMAKE_BINARY_DIR}/gen)
endif()
set(CMAKE_RC_FLAGS "${CMAKE_RC_FLAGS} -I${CMAKE_SOURCE_DIR}/res -I${SONA_GEN_DIR}")
set_property(SOURCE res/Sonadesk.rc APPEND PROPERTY OBJECT_DEPENDS ${SONA_GEN_DIR}/lang.pack)
# Ready-to-draw twins of the PNG skins the main window's first paint shows: it paints before GDI+
# is loaded (store/SkinImage.h).
set(SONA_FIRST_PAINT_SKINS IDP_TAB IDP_TAB_SELECTED IDP_ARROW_LEFT IDP_ARROW_RIGHT
    IDP_CMD_ADD_TEXT IDP_CMD_MUSIC IDP_CMD_PICTURE IDP_CMD_MOVIE IDP_CMD_CREATE_DESK IDP_CMD_DELETE
    IDP_CMD_REMOVE_DESK IDP_CMD_EXIT IDP_CMD_ADD_TEXT_HOVER IDP_CMD_EXIT_HOVER IDP_CMD_MUSIC_HOVER
    IDP_CMD_PICTURE_HOVER IDP_CMD_MOVIE_HOVER IDP_CMD_CREATE_DESK_HOVER IDP_CMD_DELETE_HOVER
    IDP_CMD_REMOVE_DESK_HOVER)
add_custom_command(OUTPUT ${SONA_GEN_DIR}/skins.rc
  COMMAND python3 ${CMAKE_SOURCE_DIR}/scripts/make-skins.py ${CMAKE_SOURCE_DIR}/res/resource.h
          ${CMAKE_SOURCE_DIR}/res/Sonadesk.rc ${SONA_GEN_DIR} ${SONA_FIRST_PAINT_SKINS}
  DEPENDS ${CMAKE_SOURCE_DIR}/scripts/make-skins.py ${CMAKE_SOURCE_DIR}/res/resource.h
          ${CMAKE_SOURCE_DIR}/res/Sonadesk.rc
  COMMENT "Skin twins for the first paint")
set_property(SOURCE res/Sonadesk.rc APPEND PROPERTY OBJECT_DEPENDS ${SONA_GEN_DIR}/skins.rc)
# The images of res/art itself; its scale folders (res/art/<percent>) are not in the exe.
file(GLOB SONA_ART CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/res/art/*.png ${CMAKE_SOURCE_DIR}/res/art/*.bmp ${CMAKE_SOURCE_DIR}/res/demo/* ${CMAKE_SOURCE_DIR}/res/*.ico ${CMAKE_SOURCE_DIR}/res/*.cur)
set_property(SOURCE res/Sonadesk.rc APPEND PROPERTY OBJECT_DEPENDS ${SONA_ART})
