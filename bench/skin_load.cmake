# Loading and cutting the whole skin: descriptions, pictures, masks, cuts.
if(TARGET option_skin)
  add_executable(skin_load_bench ${CMAKE_CURRENT_SOURCE_DIR}/skin_load_bench.cpp)
  target_link_libraries(skin_load_bench PRIVATE option_skin)
endif()
