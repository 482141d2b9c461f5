# Device events: any sequence of words from the mouse applied to a record.
mt_fuzz_target(event_decoder ${CMAKE_CURRENT_SOURCE_DIR}/event_decoder.cpp)
target_link_libraries(event_decoder PRIVATE monitor_device)
