# Real-time profile write through the simulated plug-in to the virtual mouse:
# total time, fixed pauses, and the gaps between transfers as the mouse saw them.
if(TARGET monitor_device AND TARGET hiddriver_sim AND TARGET virtual-mouse)
  add_executable(write_timing ${CMAKE_CURRENT_SOURCE_DIR}/write_timing.cpp)
  target_link_libraries(write_timing PRIVATE monitor_device virtual_mouse_process)
  target_compile_definitions(write_timing PRIVATE
    MT_BENCH_SIM_PLUGIN="$<TARGET_FILE:hiddriver_sim>"
    MT_BENCH_VIRTUAL_MOUSE="$<TARGET_FILE:virtual-mouse>")
  add_dependencies(write_timing hiddriver_sim virtual-mouse)
endif()
