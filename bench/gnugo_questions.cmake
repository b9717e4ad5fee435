# What the engine's questions cost with GNU Go: the judgement of a second process while the first
# thinks, and the dead stones at the end of a resigned game as counting asks them.
add_executable(bench_gnugo_questions ${CMAKE_CURRENT_LIST_DIR}/bench_gnugo_questions.cpp)
target_link_libraries(bench_gnugo_questions PRIVATE tavrin_engine_ui tavrin_formats)
target_include_directories(bench_gnugo_questions PRIVATE ${CMAKE_SOURCE_DIR})
target_compile_options(bench_gnugo_questions PRIVATE ${TAVRIN_WARNINGS})
target_compile_definitions(bench_gnugo_questions PRIVATE TAVRIN_CORPUS_DIR="${TAVRIN_CORPUS_DIR}")
