# The visual-memory library at 1,000 and 20,000 items: upsert, search and storage clean-up.
add_executable(brisklet_bench_memory ${CMAKE_CURRENT_LIST_DIR}/MemoryBenchmark.cpp)
brisklet_configure_target(brisklet_bench_memory)
target_link_libraries(brisklet_bench_memory PRIVATE ZelvorCore benchmark::benchmark)
