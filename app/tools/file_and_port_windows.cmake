# The command-file window with its runner and file format, and the port
# settings window with its model. Included from app/CMakeLists.txt.
target_sources(quorel_core PRIVATE
  tools/channel_runner_device.cpp
  tools/command_file_io.cpp
  tools/command_file_runner.cpp
  tools/file_and_port_factories.cpp
  tools/form_com.cpp
  tools/form_file.cpp
  tools/port_settings_model.cpp
)
