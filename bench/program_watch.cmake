# One tick of the running-program watch with 500 processes running.
add_executable(bench_program_watch ${CMAKE_CURRENT_SOURCE_DIR}/program_watch.cpp)
target_link_libraries(bench_program_watch PRIVATE monitor_logic)
