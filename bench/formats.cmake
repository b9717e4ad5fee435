# bench_formats: opening every record of a folder (read, decode, scan, replay or refuse)
# against only reading the same files.
add_executable(bench_formats ${CMAKE_CURRENT_LIST_DIR}/formats_bench.cpp)
target_link_libraries(bench_formats PRIVATE tavrin_formats benchmark::benchmark)
target_include_directories(bench_formats PRIVATE ${CMAKE_SOURCE_DIR})
target_compile_options(bench_formats PRIVATE ${TAVRIN_WARNINGS})
target_compile_definitions(bench_formats PRIVATE TAVRIN_CORPUS_DIR="${TAVRIN_CORPUS_DIR}")
