# Cross build: the Win32 back-end, Setup.exe and the Windows tests that run under Wine.
# The prefix's architecture follows the build's: a 32-bit prefix for the i686 build.
if(CMAKE_SIZEOF_VOID_P EQUAL 8)
  file(WRITE ${CMAKE_BINARY_DIR}/wine-arch.txt "win64\n")
else()
  file(WRITE ${CMAKE_BINARY_DIR}/wine-arch.txt "win32\n")
endif()
add_link_options(-static -static-libgcc -static-libstdc++)
enable_language(RC)

file(GLOB platform_win32_sources CONFIGURE_DEPENDS platform/win32/*.cpp)
add_library(platform_win32 STATIC ${platform_win32_sources})
target_link_libraries(platform_win32 PUBLIC setup_core)

# Windows tests: one program per file, each run under Wine in the build folder's private prefix.
set(CMAKE_CROSSCOMPILING_EMULATOR env WINE_BUILD_DIR=${CMAKE_BINARY_DIR} ${CMAKE_SOURCE_DIR}/tools/wine-run.sh)
file(GLOB win32_test_support CONFIGURE_DEPENDS tests/win32/support/*.cpp tests/support/*.cpp)
file(GLOB win32_test_sources CONFIGURE_DEPENDS tests/win32/*_test.cpp)
foreach(source ${win32_test_sources})
  get_filename_component(name ${source} NAME_WE)
  add_executable(${name} ${source} ${win32_test_support})
  # A test program with resources of its own has an .rc file of the same name beside it.
  string(REGEX REPLACE "\\.cpp$" ".rc" test_rc ${source})
  if(EXISTS ${test_rc})
    target_sources(${name} PRIVATE ${test_rc})
    setup_embed_driver_package(${name} ${test_rc})
  endif()
  target_link_libraries(${name} PRIVATE platform_win32 GTest::gtest_main winspool setupapi)
  target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR}/tests/win32/support ${CMAKE_SOURCE_DIR}/tests/support)
  target_compile_definitions(${name} PRIVATE SETUP_SOURCE_DIR="${CMAKE_SOURCE_DIR}" SETUP_BINARY_DIR="${CMAKE_BINARY_DIR}")
  add_test(NAME win32.${name} COMMAND ${name})
  set_tests_properties(win32.${name} PROPERTIES RUN_SERIAL TRUE TIMEOUT 600)
endforeach()
