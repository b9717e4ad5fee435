# Board view: complete re-layout and single-point drawing.
add_executable(board_bench ${CMAKE_CURRENT_LIST_DIR}/BoardBench.cpp ${CMAKE_CURRENT_LIST_DIR}/QtBenchMain.cpp)
target_link_libraries(board_bench PRIVATE tavrin_view_ui benchmark::benchmark)
target_compile_options(board_bench PRIVATE ${TAVRIN_WARNINGS})
