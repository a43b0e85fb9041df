# Still-capture benchmarks against a private Xvfb; included from bench/CMakeLists.txt.
add_executable(brisklet_bench_capture
    ${CMAKE_CURRENT_LIST_DIR}/CaptureBenchmark.cpp
    ${PROJECT_SOURCE_DIR}/tests/support/PrivateXServer.cpp
)
brisklet_configure_target(brisklet_bench_capture)
target_include_directories(brisklet_bench_capture PRIVATE ${PROJECT_SOURCE_DIR}/tests)
target_link_libraries(brisklet_bench_capture PRIVATE PlatformLinuxX11Capture PlatformLinux
    PkgConfig::BRISKLET_XCB_CAPTURE benchmark::benchmark)
