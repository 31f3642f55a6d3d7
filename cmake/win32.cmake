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
target_link_libraries(platform_win32 PUBLIC setup_core gdi32 user32)

# The dialog templates and the bitmaps they show, as resources (the script is in code page 936).
enable_language(RC)
add_library(dialog_resources OBJECT ${dialog_template_rc})
target_compile_options(dialog_resources PRIVATE -c 936)
set_source_files_properties(${dialog_template_rc} PROPERTIES
  OBJECT_DEPENDS ${CMAKE_SOURCE_DIR}/resources/logo_banner.bmp)

# Windows tests: one program per file, each run under Wine in the build folder's private prefix.
set(CMAKE_CROSSCOMPILING_EMULATOR env WINE_BUILD_DIR=${CMAKE_BINARY_DIR} ${CMAKE_SOURCE_DIR}/tools/wine-run.sh)
file(GLOB win32_test_support CONFIGURE_DEPENDS tests/win32/support/*.cpp tests/support/*.cpp)
file(GLOB win32_test_sources CONFIGURE_DEPENDS tests/win32/*_test.cpp)
foreach(source ${win32_test_sources})
  get_filename_component(name ${source} NAME_WE)
  add_executable(${name} ${source} ${win32_test_support} $<TARGET_OBJECTS:dialog_resources>)
  # A test program with resources of its own has an .rc file of the same name beside it.
  string(REGEX REPLACE "\\.cpp$" ".rc" test_rc ${source})
  if(EXISTS ${test_rc})
    target_sources(${name} PRIVATE ${test_rc})
    setup_embed_driver_package(${name} ${test_rc})
  endif()
  target_link_libraries(${name} PRIVATE platform_win32 GTest::gtest_main winspool setupapi)
  target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR}/tests/win32/support ${CMAKE_SOURCE_DIR}/tests/support)
  target_compile_definitions(${name} PRIVATE SETUP_SOURCE_DIR="${CMAKE_SOURCE_DIR}" SETUP_BINARY_DIR="${CMAKE_BINARY_DIR}")
  # The contract's cases are listed one by one below, under the names the host gives them.
  if(NOT name STREQUAL "contract_test")
    add_test(NAME win32.${name} COMMAND ${name})
    set_tests_properties(win32.${name} PROPERTIES RUN_SERIAL TRUE TIMEOUT 600)
  endif()
endforeach()

# The platform contract's cases, run here against the real calls (the host runs them against the
# simulated machine); the program carries the resource they load.
if(TARGET contract_test)
  file(GLOB contract_sources CONFIGURE_DEPENDS tests/contract/*.cpp)
  target_sources(contract_test PRIVATE ${contract_sources})
  target_include_directories(contract_test PRIVATE ${CMAKE_SOURCE_DIR}/tests/contract)
  set_property(SOURCE ${CMAKE_SOURCE_DIR}/tests/win32/contract_test.rc APPEND PROPERTY INCLUDE_DIRECTORIES
               ${CMAKE_SOURCE_DIR}/tests/contract)
  set_property(SOURCE ${CMAKE_SOURCE_DIR}/tests/win32/contract_test.rc APPEND PROPERTY OBJECT_DEPENDS
               ${CMAKE_SOURCE_DIR}/tests/contract/contract_resource.bin)
  # One test per case, named as the host's test discovery names it ("Machine/Suite.Case/0"), so
  # that a case on which the two back-ends disagree shows as one name failing on one side.
  foreach(source ${contract_sources})
    file(STRINGS ${source} cases REGEX "^TEST_P\\([A-Za-z0-9_]+, [A-Za-z0-9_]+\\)")
    foreach(case ${cases})
      string(REGEX REPLACE "^TEST_P\\(([A-Za-z0-9_]+), ([A-Za-z0-9_]+)\\).*" "Machine/\\1.\\2/0" test_name "${case}")
      add_test(NAME ${test_name} COMMAND contract_test --gtest_filter=${test_name})
      set_tests_properties(${test_name} PROPERTIES RUN_SERIAL TRUE TIMEOUT 120)
    endforeach()
  endforeach()
endif()

# A planted "net.exe" for the tests that make sure only the system's own net command is run; it
# lives in the folder "fake-net" beside the tests, so that nothing finds it by accident.
add_executable(fake_net tests/win32/fake_net/net.cpp)
set_target_properties(fake_net PROPERTIES OUTPUT_NAME net RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/fake-net)
foreach(source ${win32_test_sources})
  get_filename_component(name ${source} NAME_WE)
  add_dependencies(${name} fake_net)
endforeach()
# The page that test_page_test prints through Wine is checked and pictured on the host afterwards.
if(TARGET test_page_test)
  set_tests_properties(win32.test_page_test PROPERTIES FIXTURES_SETUP printed_test_page)
  add_test(NAME win32.test_page_output
           COMMAND ${CMAKE_SOURCE_DIR}/tests/win32/check_test_page.sh ${CMAKE_BINARY_DIR}/test-page)
  set_tests_properties(win32.test_page_output PROPERTIES FIXTURES_REQUIRED printed_test_page RUN_SERIAL TRUE)
endif()

# The dialog once more in Chinese: the UI language 2052 and the ANSI code page 936 come from the
# locale Wine starts in.
add_test(NAME win32.dialog_test.chinese
  COMMAND ${CMAKE_COMMAND} -E env LC_ALL=zh_CN.UTF-8 WINE_BUILD_DIR=${CMAKE_BINARY_DIR}
          ${CMAKE_SOURCE_DIR}/tools/wine-run.sh $<TARGET_FILE:dialog_test>)
set_tests_properties(win32.dialog_test.chinese PROPERTIES RUN_SERIAL TRUE TIMEOUT 600)

# Setup.exe: the installer itself, a GUI program with every resource of its own.
add_executable(Setup WIN32 platform/win32/entry/setup_main.cpp resources/setup.rc
               $<TARGET_OBJECTS:dialog_resources>)
target_link_libraries(Setup PRIVATE platform_win32)
set_property(SOURCE resources/setup.rc APPEND PROPERTY INCLUDE_DIRECTORIES
             ${CMAKE_SOURCE_DIR}/resources/app ${CMAKE_SOURCE_DIR}/resources/title_bitmap)
set_property(SOURCE resources/setup.rc APPEND PROPERTY OBJECT_DEPENDS
             ${CMAKE_SOURCE_DIR}/resources/app/setup.ico ${CMAKE_SOURCE_DIR}/resources/app/setup.manifest
             ${CMAKE_SOURCE_DIR}/resources/title_bitmap/title.bmp)
setup_embed_driver_package(Setup ${CMAKE_SOURCE_DIR}/resources/setup.rc)

# Setup.exe itself, started and driven from outside under Wine by setup_e2e_test, in English and
# once more in Chinese; the test page it prints in each language is checked on the host afterwards.
if(TARGET setup_e2e_test)
  add_dependencies(setup_e2e_test Setup)
  add_test(NAME win32.setup_e2e_test.chinese
    COMMAND ${CMAKE_COMMAND} -E env LC_ALL=zh_CN.UTF-8 WINE_BUILD_DIR=${CMAKE_BINARY_DIR}
            ${CMAKE_SOURCE_DIR}/tools/wine-run.sh $<TARGET_FILE:setup_e2e_test>)
  set_tests_properties(win32.setup_e2e_test.chinese PROPERTIES RUN_SERIAL TRUE TIMEOUT 600)
  set_tests_properties(win32.setup_e2e_test PROPERTIES FIXTURES_SETUP setup_page_en)
  set_tests_properties(win32.setup_e2e_test.chinese PROPERTIES FIXTURES_SETUP setup_page_zh)
  foreach(language en zh)
    add_test(NAME win32.setup_e2e_page_output.${language}
             COMMAND ${CMAKE_SOURCE_DIR}/tests/win32/check_test_page.sh ${CMAKE_BINARY_DIR}/setup-e2e/${language}
                     "printer RT5140" no-paper-size)
    set_tests_properties(win32.setup_e2e_page_output.${language} PROPERTIES
                         FIXTURES_REQUIRED setup_page_${language} RUN_SERIAL TRUE)
  endforeach()
  # The comparison of texts itself, on samples of both kinds of extraction of the Chinese page.
  add_test(NAME win32.check_test_page_texts
           COMMAND ${CMAKE_SOURCE_DIR}/tests/win32/check_test_page_test.sh
                   ${CMAKE_BINARY_DIR}/setup-e2e/zh/page_text.txt ${CMAKE_BINARY_DIR}/check-test-page)
  set_tests_properties(win32.check_test_page_texts PROPERTIES FIXTURES_REQUIRED setup_page_zh)
endif()

# The helper of `make run` that waits for the dialog and closes it (tools/run-setup.sh).
add_executable(setup_window tools/win32/setup_window.cpp)

# Every library the program imports must be one that Windows loads from the system directory.
add_test(NAME setup.imports COMMAND ${CMAKE_SOURCE_DIR}/tools/check-imports.sh $<TARGET_FILE:Setup>)

# The release made from this build's Setup.exe (tools/make-release.sh). The checks of the shipped
# 32-bit program need no Wine: its header, debug file, checksums and imports; the same bytes from a
# copy of the sources in another folder; a signature by a throwaway certificate.
if(CMAKE_SIZEOF_VOID_P EQUAL 4)
  add_test(NAME release.dist COMMAND ${CMAKE_SOURCE_DIR}/tests/release/dist.sh ${CMAKE_BINARY_DIR} ${CMAKE_SOURCE_DIR})
  add_test(NAME release.signature COMMAND ${CMAKE_SOURCE_DIR}/tests/release/signature.sh ${CMAKE_BINARY_DIR})
  add_test(NAME release.reproducible
           COMMAND ${CMAKE_SOURCE_DIR}/tests/release/reproducible.sh ${CMAKE_BINARY_DIR} ${CMAKE_SOURCE_DIR})
  set_tests_properties(release.reproducible PROPERTIES RUN_SERIAL TRUE TIMEOUT 1800)
endif()
# The signed release still opens its dialog under Wine.
add_test(NAME win32.release_dialog COMMAND ${CMAKE_SOURCE_DIR}/tests/release/dialog.sh ${CMAKE_BINARY_DIR})
set_tests_properties(win32.release_dialog PROPERTIES RUN_SERIAL TRUE TIMEOUT 600)
