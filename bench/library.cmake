# bench_library: indexing a folder of records, and queries, update, cache and size of an index
# of 10,000 games.
add_executable(bench_library ${CMAKE_CURRENT_LIST_DIR}/library_bench.cpp)
target_link_libraries(bench_library PRIVATE tavrin_library benchmark::benchmark)
target_include_directories(bench_library PRIVATE ${CMAKE_SOURCE_DIR})
target_compile_options(bench_library PRIVATE ${TAVRIN_WARNINGS})
target_compile_definitions(bench_library PRIVATE TAVRIN_CORPUS_DIR="${TAVRIN_CORPUS_DIR}")
