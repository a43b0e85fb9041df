# A super screenshot without text recognition: the 2,000-element accessibility text and the whole
# knowledge package at 1920x1080 (driven by scripts/bench superscreenshot).
add_executable(brisklet_bench_superscreenshot ${CMAKE_CURRENT_LIST_DIR}/SuperScreenshotBenchmark.cpp)
brisklet_configure_target(brisklet_bench_superscreenshot)
target_compile_definitions(brisklet_bench_superscreenshot PRIVATE BRISKLET_SOURCE_DIR="${PROJECT_SOURCE_DIR}")
target_link_libraries(brisklet_bench_superscreenshot PRIVATE ZelvorAppSuperScreenshot PlatformLinux)
