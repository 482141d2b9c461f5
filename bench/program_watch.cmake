# One tick of the running-program watch with 500 processes running.
add_executable(bench_program_watch ${CMAKE_CURRENT_SOURCE_DIR}/program_watch.cpp)
if(TARGET monitor_core)
  target_link_libraries(bench_program_watch PRIVATE monitor_core)
else()
  target_sources(bench_program_watch PRIVATE ${CMAKE_SOURCE_DIR}/monitor/program_watch.cpp)
  target_include_directories(bench_program_watch PRIVATE ${CMAKE_SOURCE_DIR})
  target_link_libraries(bench_program_watch PRIVATE common platform)
endif()
