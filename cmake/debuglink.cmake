# sona_split_debug_info(target): after each link, copies the target's debug sections into
# <exe>.debug, strips them from the exe and adds a .gnu_debuglink section naming the copy.
# Runs in the exe's folder because the link stores the debug file's name, not its path.
find_program(SONA_OBJCOPY NAMES ${CMAKE_OBJCOPY} i686-w64-mingw32-objcopy objcopy REQUIRED)

function(sona_split_debug_info target)
  set(exe $<TARGET_FILE_NAME:${target}>)
  add_custom_command(TARGET ${target} POST_BUILD
    COMMAND ${SONA_OBJCOPY} --only-keep-debug ${exe} ${exe}.debug
    COMMAND ${SONA_OBJCOPY} --strip-debug --add-gnu-debuglink=${exe}.debug ${exe}
    WORKING_DIRECTORY $<TARGET_FILE_DIR:${target}>
    COMMENT "Moving ${target}'s debug information to ${exe}.debug"
    VERBATIM)
endfunction()
