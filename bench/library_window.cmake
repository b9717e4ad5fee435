# The window's event loop while the library is indexed in the background.
add_executable(bench_library_window ${CMAKE_CURRENT_LIST_DIR}/bench_library_window.cpp)
target_link_libraries(bench_library_window PRIVATE tavrin_app_ui Qt6::Test)
target_include_directories(bench_library_window PRIVATE ${CMAKE_SOURCE_DIR})
target_compile_definitions(bench_library_window PRIVATE TAVRIN_SOURCE_DIR="${CMAKE_SOURCE_DIR}")
target_compile_options(bench_library_window PRIVATE ${TAVRIN_WARNINGS})
