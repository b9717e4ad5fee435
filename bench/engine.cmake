add_executable(bench_engine ${CMAKE_CURRENT_LIST_DIR}/bench_engine.cpp)
target_link_libraries(bench_engine PRIVATE tavrin_record benchmark::benchmark)
target_compile_options(bench_engine PRIVATE ${TAVRIN_WARNINGS})
