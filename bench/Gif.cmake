# GIF recording benchmarks; included from bench/CMakeLists.txt.
add_executable(brisklet_bench_gif ${CMAKE_CURRENT_LIST_DIR}/GifBenchmark.cpp)
brisklet_configure_target(brisklet_bench_gif)
target_link_libraries(brisklet_bench_gif PRIVATE ZelvorAppRecording PlatformLinuxGif benchmark::benchmark)

# Reproducible UI frames for comparing our GIFs with ffmpeg's in scripts/bench.
add_executable(brisklet_bench_gif_ui_frames ${CMAKE_CURRENT_LIST_DIR}/GifUiFrames.cpp)
brisklet_configure_target(brisklet_bench_gif_ui_frames)
target_link_libraries(brisklet_bench_gif_ui_frames PRIVATE Qt6::Gui)
