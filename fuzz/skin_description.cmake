# Skin description files: any bytes read as a description of either form.
mt_fuzz_target(skin_description ${CMAKE_CURRENT_SOURCE_DIR}/skin_description.cpp)
target_link_libraries(skin_description PRIVATE option_skin)
