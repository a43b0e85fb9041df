# Background benchmarks: composing a large screenshot on a blurred wallpaper and the per-frame
# cost of GIF backgrounds (included from bench/CMakeLists.txt).
add_executable(brisklet_bench_background ${CMAKE_CURRENT_LIST_DIR}/BackgroundBenchmark.cpp)
brisklet_configure_target(brisklet_bench_background)
target_link_libraries(brisklet_bench_background PRIVATE PlatformLinuxQtRender PlatformLinux Qt6::Gui benchmark::benchmark)
