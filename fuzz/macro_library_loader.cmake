# Macro library files through load_macro_library.
mt_fuzz_target(macro_library_loader ${CMAKE_CURRENT_SOURCE_DIR}/macro_library_loader.cpp)
target_link_libraries(macro_library_loader PRIVATE common)
