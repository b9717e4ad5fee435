# bench_scoring: counting a finished 19 x 19 game and the rough position judgement.
add_executable(bench_scoring ${CMAKE_CURRENT_LIST_DIR}/scoring_bench.cpp)
target_link_libraries(bench_scoring PRIVATE tavrin_engine benchmark::benchmark)
target_include_directories(bench_scoring PRIVATE ${CMAKE_SOURCE_DIR})
target_compile_options(bench_scoring PRIVATE ${TAVRIN_WARNINGS})
