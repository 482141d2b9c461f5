# Skin placements: any value, as UTF-8 and as raw UTF-16 units.
mt_fuzz_target(skin_placement ${CMAKE_CURRENT_SOURCE_DIR}/skin_placement.cpp)
target_link_libraries(skin_placement PRIVATE option_skin)
