# The performance and lighting pages: first switch to each, colour field drag.
if(TARGET option_ui)
  find_package(Qt6 REQUIRED COMPONENTS Widgets)
  add_executable(option_pages_bench ${CMAKE_CURRENT_SOURCE_DIR}/option_pages_bench.cpp)
  target_include_directories(option_pages_bench PRIVATE ${CMAKE_SOURCE_DIR}/tests/option)
  target_link_libraries(option_pages_bench PRIVATE option_ui)
endif()
