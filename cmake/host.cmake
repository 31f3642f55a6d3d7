# Host build: the logic against the simulated machine, unit-tested with GoogleTest.
file(GLOB platform_sim_sources CONFIGURE_DEPENDS platform/sim/*.cpp)
add_library(platform_sim STATIC ${platform_sim_sources})
target_link_libraries(platform_sim PUBLIC setup_core)

file(GLOB host_test_sources CONFIGURE_DEPENDS tests/host/*.cpp)
add_executable(host_tests ${host_test_sources})
target_link_libraries(host_tests PRIVATE platform_sim GTest::gtest_main)

include(GoogleTest)
gtest_discover_tests(host_tests DISCOVERY_TIMEOUT 60)

# The payload tests load the real package archives into the simulated machine's resources.
add_dependencies(host_tests driver_package)
target_compile_definitions(host_tests PRIVATE
  SETUP_DRIVER_PACKAGE_129="${DRIVER_PACKAGE_129}" SETUP_DRIVER_PACKAGE_138="${DRIVER_PACKAGE_138}"
  SETUP_DRIVER_PACKAGE_DIR="${DRIVER_PACKAGE_DIR}")
