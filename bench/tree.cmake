# The whole record on the board: steps with markup and variation marks, the tree pane's
# painting and the tree's layout against opening the record.
add_executable(tree_bench ${CMAKE_CURRENT_LIST_DIR}/TreeBench.cpp ${CMAKE_CURRENT_LIST_DIR}/QtBenchMain.cpp)
target_link_libraries(tree_bench PRIVATE tavrin_view_ui tavrin_formats benchmark::benchmark)
target_include_directories(tree_bench PRIVATE ${CMAKE_SOURCE_DIR})
target_compile_options(tree_bench PRIVATE ${TAVRIN_WARNINGS})
