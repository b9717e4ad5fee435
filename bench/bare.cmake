# The bare Qt main window that bench/startup.sh measures Tavrin's start-up against.
add_executable(bare_window ${CMAKE_CURRENT_LIST_DIR}/BareWindow.cpp)
target_link_libraries(bare_window PRIVATE Qt6::Widgets)
target_compile_options(bare_window PRIVATE ${TAVRIN_WARNINGS})
