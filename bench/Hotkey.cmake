# Global hotkey latency on a private Xvfb; included from bench/CMakeLists.txt.
add_executable(brisklet_bench_hotkey
    ${CMAKE_CURRENT_LIST_DIR}/HotkeyBenchmark.cpp
    ${PROJECT_SOURCE_DIR}/tests/support/PrivateXServer.cpp
)
brisklet_configure_target(brisklet_bench_hotkey)
target_include_directories(brisklet_bench_hotkey PRIVATE ${PROJECT_SOURCE_DIR}/tests)
target_link_libraries(brisklet_bench_hotkey PRIVATE ZelvorAppShellModels PlatformLinuxX11Hotkeys PlatformLinux
    PkgConfig::BRISKLET_XCB_KEYS PkgConfig::BRISKLET_XCB_XTEST Qt6::Core)
