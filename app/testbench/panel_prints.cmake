# The bench's panel and DIP-switch checks and its two card test prints
# (erase margin, print position), kept apart from the window shell's list.
target_sources(quorel_core PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/dip_switch_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/erase_margin_print.cpp
  ${CMAKE_CURRENT_LIST_DIR}/erase_margin_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/panel_tab_page.cpp
  ${CMAKE_CURRENT_LIST_DIR}/panel_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/print_position_print.cpp
  ${CMAKE_CURRENT_LIST_DIR}/print_position_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/print_test_button.cpp
  ${CMAKE_CURRENT_LIST_DIR}/print_tests_page.cpp
)
