# The button page's waits: a key typed while recording until its row shows,
# and a slot click until its menu shows. Uses the program folder's skin.
if(TARGET option_ui)
  find_package(Qt6 REQUIRED COMPONENTS Test)
  add_executable(button_page_bench ${CMAKE_CURRENT_SOURCE_DIR}/button_page_bench.cpp)
  target_link_libraries(button_page_bench PRIVATE option_ui Qt6::Test)
  target_compile_definitions(button_page_bench PRIVATE MT_DIST_DIR="${MT_DIST_DIR}/")
  foreach(t skins lang_modules)
    if(TARGET ${t})
      add_dependencies(button_page_bench ${t})
    endif()
  endforeach()
endif()
