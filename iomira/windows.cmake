# Controller windows of the shown group, the digital window, the notification window,
# output-switch warnings, the busy window and the log settings dialog.

add_library(iomira_windows STATIC
  app/controller_windows.cpp
  app/controller_windows_placeholder.cpp
  app/controller_windows_plan.cpp
  app/controller_windows_wiring.cpp
  app/in_place_edit.cpp
  monitor/digital_view.cpp
  monitor/digital_view_commands.cpp
  monitor/lamp_images.cpp
  monitor/port_state.cpp
  monitor/pulse_rules.cpp
  notify/busy_window.cpp
  notify/manage_log_dialog.cpp
  notify/notification_window.cpp
  notify/notification_window_model.cpp
  notify/manage_log_dialog_lists.cpp
  notify/warning_question.cpp
  notify/warning_settings_dialog.cpp
  notify/warning_settings_form.cpp)
set_target_properties(iomira_windows PROPERTIES AUTOMOC ON)
# The windows use the frame and tree helpers of iomira_ui, which in turn creates them.
target_link_libraries(iomira_windows PUBLIC iomira_app_logic iomira_monitor iomira_ui Qt6::Widgets)
iomira_project_target(iomira_windows)

if(EXISTS ${CMAKE_CURRENT_SOURCE_DIR}/tests/windows/CMakeLists.txt)
  add_subdirectory(tests/windows)
endif()
