# GIF recording benchmarks; included from bench/CMakeLists.txt.
add_executable(brisklet_bench_gif ${CMAKE_CURRENT_LIST_DIR}/GifBenchmark.cpp)
brisklet_configure_target(brisklet_bench_gif)
target_link_libraries(brisklet_bench_gif PRIVATE ZelvorAppRecording PlatformLinuxGif benchmark::benchmark)
