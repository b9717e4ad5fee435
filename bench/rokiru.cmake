# The event loop while Rokiru waits for a slow scripted engine: the largest gap between turns.
if(TARGET fake_gtp_location)
  add_executable(bench_rokiru ${CMAKE_CURRENT_LIST_DIR}/bench_rokiru.cpp)
  target_link_libraries(bench_rokiru PRIVATE tavrin_engine_ui fake_gtp_location)
  target_include_directories(bench_rokiru PRIVATE ${CMAKE_SOURCE_DIR})
  target_compile_options(bench_rokiru PRIVATE ${TAVRIN_WARNINGS})
endif()
