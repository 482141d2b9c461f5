# Load and save of a full settings set: median times and file opens.
add_executable(settings_io_bench ${CMAKE_CURRENT_SOURCE_DIR}/settings_io.cpp)
target_link_libraries(settings_io_bench PRIVATE common)
