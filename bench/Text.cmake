# Text recognition and Markdown benchmarks (run with QT_QPA_PLATFORM=offscreen).
add_executable(brisklet_bench_text ${CMAKE_CURRENT_LIST_DIR}/TextBenchmark.cpp)
brisklet_configure_target(brisklet_bench_text)
target_link_libraries(brisklet_bench_text PRIVATE ZelvorAppText PlatformLinuxText PlatformLinux Qt6::Gui
    benchmark::benchmark)
