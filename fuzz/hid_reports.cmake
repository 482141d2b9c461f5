# What reaches the HID plug-ins and the virtual mouse from outside: report
# descriptors and input reports from the device, and the socket stream from a
# plug-in run through the virtual mouse's checks.
mt_fuzz_target(hid_reports ${CMAKE_CURRENT_SOURCE_DIR}/hid_reports.cpp)
target_link_libraries(hid_reports PRIVATE hiddriver_formats virtual_mouse_core)
