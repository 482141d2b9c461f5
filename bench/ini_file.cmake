# Load and save of a full settings set through the ini layer.
add_executable(ini_file_bench ${CMAKE_CURRENT_SOURCE_DIR}/ini_file_bench.cpp)
target_link_libraries(ini_file_bench PRIVATE platform)
