# The command-file window and the port settings window: their logic alone
# (label app), and the windows offscreen on the real library against the
# in-process simulator (label gui). The library is built first and bound by
# name from its build folder; the program never links it.
vantor_add_gtest(quorel_file_port_logic_tests
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/command_file_runner_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/command_file_io_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/port_settings_model_test.cpp
  LIBS quorel_core quorel_test_support
  LABELS app)
target_include_directories(quorel_file_port_logic_tests PRIVATE ${CMAKE_CURRENT_LIST_DIR}/..)

vantor_add_gtest(quorel_file_port_gui_tests
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/../support/gui_test_main.cpp
    ${CMAKE_CURRENT_LIST_DIR}/form_file_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/form_com_test.cpp
  LIBS quorel_core quorel_test_support vantor_sim Qt6::Test
  LABELS gui)
target_include_directories(quorel_file_port_gui_tests PRIVATE ${CMAKE_CURRENT_LIST_DIR}/.. ${CMAKE_CURRENT_LIST_DIR}/../channel)
add_dependencies(quorel_file_port_gui_tests vantor)
target_compile_definitions(quorel_file_port_gui_tests PRIVATE QUOREL_LIBRARY_DIR="$<TARGET_FILE_DIR:vantor>")

# Both windows as the main window opens them: the start procedure in this
# process on a scratch folder, the real library linked into it, the simulator.
vantor_add_gtest(quorel_file_port_main_tests
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/../support/gui_test_main.cpp
    ${CMAKE_CURRENT_LIST_DIR}/main_window_tools_test.cpp
  LIBS quorel_core quorel_test_support vantor_sim Qt6::Test
  LABELS gui)
target_include_directories(quorel_file_port_main_tests PRIVATE ${CMAKE_CURRENT_LIST_DIR}/.. ${CMAKE_CURRENT_LIST_DIR}/../main)
target_compile_definitions(quorel_file_port_main_tests PRIVATE VANTOR_LIBRARY="$<TARGET_FILE:vantor>")
add_dependencies(quorel_file_port_main_tests vantor)
