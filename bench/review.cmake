# 棋譜解析 with GNU Go: a 250-move game reviewed in two processes, and the event loop's largest
# gap meanwhile.
add_executable(bench_review ${CMAKE_CURRENT_LIST_DIR}/bench_review.cpp)
target_link_libraries(bench_review PRIVATE tavrin_engine_ui tavrin_formats)
target_include_directories(bench_review PRIVATE ${CMAKE_SOURCE_DIR})
target_compile_options(bench_review PRIVATE ${TAVRIN_WARNINGS})
target_compile_definitions(bench_review PRIVATE TAVRIN_CORPUS_DIR="${TAVRIN_CORPUS_DIR}")
