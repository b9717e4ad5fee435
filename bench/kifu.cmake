# Kifu figures: every figure of a 300-move record to PDF, one figure painted at the window's
# size, and the window following a played move.
add_executable(kifu_bench ${CMAKE_CURRENT_LIST_DIR}/KifuBench.cpp ${CMAKE_CURRENT_LIST_DIR}/QtBenchMain.cpp)
target_link_libraries(kifu_bench PRIVATE tavrin_view_ui benchmark::benchmark)
target_include_directories(kifu_bench PRIVATE ${CMAKE_SOURCE_DIR})
target_compile_options(kifu_bench PRIVATE ${TAVRIN_WARNINGS})
