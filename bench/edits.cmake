# The record's edits and their history on a 300-move record with 100 variations: each edit a
# step of the history, undo and redo; 300 edits of a record of 5,000 commented nodes.
add_executable(edits_bench ${CMAKE_CURRENT_LIST_DIR}/EditsBench.cpp)
target_link_libraries(edits_bench PRIVATE tavrin_record benchmark::benchmark benchmark::benchmark_main)
target_include_directories(edits_bench PRIVATE ${CMAKE_SOURCE_DIR})
target_compile_options(edits_bench PRIVATE ${TAVRIN_WARNINGS})
