# The library window with 20,000 items: first complete paint, search keystroke, scrolling, memory.
find_package(Qt6 REQUIRED COMPONENTS Test)
add_executable(brisklet_bench_library ${CMAKE_CURRENT_LIST_DIR}/LibraryBenchmark.cpp)
brisklet_configure_target(brisklet_bench_library)
target_include_directories(brisklet_bench_library PRIVATE ${PROJECT_SOURCE_DIR}/tests)
target_link_libraries(brisklet_bench_library PRIVATE BriskletShell PlatformFake PlatformLinux Qt6::Test)
