# Native Linux build: unit tests and benchmarks of the portable core.
find_package(GTest REQUIRED)
find_package(benchmark REQUIRED)
find_package(Threads REQUIRED)

file(GLOB NATIVE_TEST_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/native/*.cpp)
add_executable(core_tests ${NATIVE_TEST_SOURCES})
target_link_libraries(core_tests PRIVATE hexcore GTest::gtest GTest::gtest_main Threads::Threads)

file(GLOB NATIVE_BENCH_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/bench/native/*.cpp)
add_executable(core_bench ${NATIVE_BENCH_SOURCES})
target_link_libraries(core_bench PRIVATE hexcore benchmark::benchmark benchmark::benchmark_main)

enable_testing()
add_test(NAME core_tests COMMAND core_tests)
