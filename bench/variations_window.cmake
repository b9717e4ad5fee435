# Opening a record of 1,000 variations in the window, with and without 変化図.
add_executable(bench_variations_window ${CMAKE_CURRENT_LIST_DIR}/bench_variations_window.cpp)
target_link_libraries(bench_variations_window PRIVATE tavrin_app_ui)
target_include_directories(bench_variations_window PRIVATE ${CMAKE_SOURCE_DIR})
target_compile_options(bench_variations_window PRIVATE ${TAVRIN_WARNINGS})
