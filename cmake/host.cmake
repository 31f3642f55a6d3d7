# Host build: the logic against the simulated machine, unit-tested with GoogleTest.
file(GLOB platform_sim_sources CONFIGURE_DEPENDS platform/sim/*.cpp)
add_library(platform_sim STATIC ${platform_sim_sources})
target_link_libraries(platform_sim PUBLIC setup_core)

# Helpers shared by the host and the Windows tests (archives built byte by byte, ...).
file(GLOB test_support_sources CONFIGURE_DEPENDS tests/support/*.cpp)

# The platform contract: cases written once, run here against the simulated machine
# (tests/host/contract_sim_test.cpp) and under Wine against the real calls (tests/win32/contract_test.cpp).
file(GLOB contract_sources CONFIGURE_DEPENDS tests/contract/*.cpp)

file(GLOB host_test_sources CONFIGURE_DEPENDS tests/host/*.cpp)
add_executable(host_tests ${host_test_sources} ${test_support_sources} ${contract_sources})
target_link_libraries(host_tests PRIVATE platform_sim GTest::gtest_main)
target_compile_definitions(host_tests PRIVATE SETUP_SOURCE_DIR="${CMAKE_SOURCE_DIR}")
target_include_directories(host_tests PRIVATE ${CMAKE_SOURCE_DIR}/tests/support ${CMAKE_SOURCE_DIR}/tests/contract)

include(GoogleTest)
# Parameterised cases keep their index in the name (the contract cases take a factory, whose
# printed value is an address that differs from run to run).
gtest_discover_tests(host_tests DISCOVERY_TIMEOUT 60 NO_PRETTY_VALUES)

# The payload tests load the real package archives into the simulated machine's resources.
add_dependencies(host_tests driver_package)
target_compile_definitions(host_tests PRIVATE
  SETUP_DRIVER_PACKAGE_129="${DRIVER_PACKAGE_129}" SETUP_DRIVER_PACKAGE_138="${DRIVER_PACKAGE_138}"
  SETUP_DRIVER_PACKAGE_DIR="${DRIVER_PACKAGE_DIR}")

# unpack ARCHIVE DIR: the program's ZIP reader on host files.
file(GLOB unpack_sources CONFIGURE_DEPENDS tools/unpack/*.cpp)
add_executable(unpack ${unpack_sources})
target_link_libraries(unpack PRIVATE setup_core)
add_dependencies(host_tests unpack)
target_compile_definitions(host_tests PRIVATE UNPACK_PATH="$<TARGET_FILE:unpack>"
                                              ZIP_FIXTURE_DIR="${CMAKE_BINARY_DIR}/zip-fixtures")

# Fuzz targets (the fuzz preset): tests/fuzz/*_fuzz.cpp, one program each.
if(SETUP_FUZZ)
  file(GLOB fuzz_sources CONFIGURE_DEPENDS tests/fuzz/*_fuzz.cpp)
  foreach(source ${fuzz_sources})
    get_filename_component(name ${source} NAME_WE)
    add_executable(${name} ${source})
    target_link_libraries(${name} PRIVATE platform_sim)
    target_link_options(${name} PRIVATE -fsanitize=fuzzer)
  endforeach()
endif()

# The bare inflate loop that the unpacking benchmark measures against (tools/zip-bench.sh).
add_executable(inflate_loop tools/bench/inflate_loop.cpp tools/unpack/mapped_file.cpp)
target_link_libraries(inflate_loop PRIVATE project_options ZLIB::ZLIB)
