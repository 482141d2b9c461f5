# Profile files from outside (imports, hand-edited files) through read_profile_file.
mt_fuzz_target(profile_reader ${CMAKE_CURRENT_SOURCE_DIR}/profile_reader.cpp)
target_link_libraries(profile_reader PRIVATE common)
