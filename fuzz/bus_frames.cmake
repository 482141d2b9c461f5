# The window bus frame reader, fed outside bytes in arbitrary pieces.
mt_fuzz_target(bus_frames ${CMAKE_CURRENT_SOURCE_DIR}/bus_frames.cpp)
target_link_libraries(bus_frames PRIVATE platform)
