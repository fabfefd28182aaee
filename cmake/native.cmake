# Native Linux build: unit tests and benchmarks of the portable core.
find_package(GTest REQUIRED)
find_package(benchmark REQUIRED)
find_package(Threads REQUIRED)

# The core tests run the core built with AddressSanitizer and UndefinedBehaviorSanitizer: a read
# past a block, into a freed one, or an overflow fails the test that made it.
set(SANITIZERS -fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
add_library(hexcore_checked STATIC ${CORE_SOURCES})
target_include_directories(hexcore_checked PUBLIC ${CMAKE_SOURCE_DIR})
target_compile_options(hexcore_checked PUBLIC ${SANITIZERS})
target_link_options(hexcore_checked PUBLIC ${SANITIZERS})

file(GLOB NATIVE_TEST_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/native/*.cpp)
add_executable(core_tests ${NATIVE_TEST_SOURCES})
target_link_libraries(core_tests PRIVATE hexcore_checked GTest::gtest GTest::gtest_main
    Threads::Threads)

file(GLOB NATIVE_BENCH_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/bench/native/*.cpp)
add_executable(core_bench ${NATIVE_BENCH_SOURCES})
target_link_libraries(core_bench PRIVATE hexcore benchmark::benchmark benchmark::benchmark_main)

enable_testing()
add_test(NAME core_tests COMMAND core_tests)
