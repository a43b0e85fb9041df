# Annotation editor benchmarks: 4K flattening and hit testing (included from bench/CMakeLists.txt).
add_executable(brisklet_bench_editor ${CMAKE_CURRENT_LIST_DIR}/EditorBenchmark.cpp)
brisklet_configure_target(brisklet_bench_editor)
target_link_libraries(brisklet_bench_editor PRIVATE PlatformLinuxQtRender Qt6::Gui benchmark::benchmark)
