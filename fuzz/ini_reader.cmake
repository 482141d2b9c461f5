# Ini reader: arbitrary bytes parsed, queried, written back and parsed again.
mt_fuzz_target(ini_reader ${CMAKE_CURRENT_SOURCE_DIR}/ini_reader.cpp)
target_link_libraries(ini_reader PRIVATE platform)
