# The host (Linux) build: portable code, its unit tests, tools, benchmarks and fuzz targets.
add_compile_options(-Wall -Wextra -Wno-unused-parameter)
find_package(GTest REQUIRED)
find_package(PkgConfig)
if(PkgConfig_FOUND)
  pkg_check_modules(CRYPTOPP IMPORTED_TARGET libcrypto++)
endif()

add_library(sona_core STATIC ${SONA_PORTABLE} ${CMAKE_SOURCE_DIR}/tests/host/empty.cpp)

file(GLOB SONA_HOST_TESTS CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/host/*_test.cpp)
add_executable(sonadesk_hosttests ${SONA_HOST_TESTS})
target_link_libraries(sonadesk_hosttests PRIVATE sona_core GTest::gtest GTest::gtest_main)
if(CRYPTOPP_FOUND)
  target_link_libraries(sonadesk_hosttests PRIVATE PkgConfig::CRYPTOPP)
  target_compile_definitions(sonadesk_hosttests PRIVATE HAVE_CRYPTOPP=1)
endif()

file(GLOB SONA_HOST_TOOLS CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tools/*.cpp ${CMAKE_SOURCE_DIR}/bench/*.cpp)
foreach(src ${SONA_HOST_TOOLS})
  get_filename_component(name ${src} NAME_WE)
  add_executable(${name} ${src})
  target_link_libraries(${name} PRIVATE sona_core)
  if(CRYPTOPP_FOUND)
    target_link_libraries(${name} PRIVATE PkgConfig::CRYPTOPP)
    target_compile_definitions(${name} PRIVATE HAVE_CRYPTOPP=1)
  endif()
endforeach()

# Fuzz targets: built here with a small driver that replays a corpus under ASan and UBSan
# (what the tests run); scripts/fuzz-long builds the same files with clang's libFuzzer.
file(GLOB SONA_FUZZ CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/fuzz/*_fuzz.cpp)
foreach(src ${SONA_FUZZ})
  get_filename_component(name ${src} NAME_WE)
  add_executable(${name} ${src} ${CMAKE_SOURCE_DIR}/tests/fuzz/replay_main.cpp ${SONA_PORTABLE})
  target_compile_options(${name} PRIVATE -fsanitize=address,undefined -fno-sanitize-recover=all -g)
  target_link_options(${name} PRIVATE -fsanitize=address,undefined)
endforeach()
