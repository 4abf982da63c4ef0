# The bench's "Sensor / Temp" and "Jitter" tabs and its device settings
# and counters, kept apart from the window shell's own list.
target_sources(quorel_core PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/bench_eeprom_page.cpp
  ${CMAKE_CURRENT_LIST_DIR}/bench_eeprom_tab.cpp
  ${CMAKE_CURRENT_LIST_DIR}/bench_tab_placeholders.cpp
  ${CMAKE_CURRENT_LIST_DIR}/jitter_tab_page.cpp
  ${CMAKE_CURRENT_LIST_DIR}/jitter_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/sensor_tab_page.cpp
  ${CMAKE_CURRENT_LIST_DIR}/sensor_test.cpp
)
