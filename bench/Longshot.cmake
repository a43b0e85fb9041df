# Scrolling-capture benchmarks; included from bench/CMakeLists.txt. The synthetic pages come from
# the test support sources, compiled in so the benchmarks build without the tests.
add_executable(brisklet_bench_longshot
    ${CMAKE_CURRENT_LIST_DIR}/LongshotBenchmark.cpp
    ${PROJECT_SOURCE_DIR}/tests/ZelvorApp/Longshot/SyntheticPage.cpp
)
brisklet_configure_target(brisklet_bench_longshot)
target_include_directories(brisklet_bench_longshot PRIVATE ${PROJECT_SOURCE_DIR}/tests/ZelvorApp/Longshot)
target_link_libraries(brisklet_bench_longshot PRIVATE ZelvorAppLongshot PlatformLinuxOpenCV benchmark::benchmark)
