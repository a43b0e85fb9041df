# A super screenshot without text recognition: the 2,000-element accessibility text and the whole
# knowledge package at 1920x1080 (driven by scripts/bench superscreenshot).
add_executable(brisklet_bench_superscreenshot ${CMAKE_CURRENT_LIST_DIR}/SuperScreenshotBenchmark.cpp)
brisklet_configure_target(brisklet_bench_superscreenshot)
target_compile_definitions(brisklet_bench_superscreenshot PRIVATE BRISKLET_SOURCE_DIR="${PROJECT_SOURCE_DIR}")
target_link_libraries(brisklet_bench_superscreenshot PRIVATE ZelvorAppSuperScreenshot PlatformLinux)

# The same tree read over AT-SPI from a real Qt window (scripts/bench superscreenshot starts it on a
# private X server and session bus).
add_executable(brisklet_bench_accessibility ${CMAKE_CURRENT_LIST_DIR}/AccessibilitySnapshotBenchmark.cpp)
brisklet_configure_target(brisklet_bench_accessibility)
target_link_libraries(brisklet_bench_accessibility PRIVATE ZelvorAppSuperScreenshot PlatformLinuxDesktopIntegration
                      PlatformLinuxX11Capture Qt6::DBus)
