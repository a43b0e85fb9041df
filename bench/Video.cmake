# The changing screen `scripts/bench video` records; included from bench/CMakeLists.txt.
add_executable(brisklet_bench_video_slides ${CMAKE_CURRENT_LIST_DIR}/VideoSlides.cpp)
brisklet_configure_target(brisklet_bench_video_slides)
target_link_libraries(brisklet_bench_video_slides PRIVATE PkgConfig::BRISKLET_XCB)
