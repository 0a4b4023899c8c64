# The sound and schedule dialogs and the rules behind them (the rules need no window).

find_package(Qt6 REQUIRED COMPONENTS Widgets)

add_library(iomira_alarm_rules STATIC
  notify/alarm_rules_schedule.cpp
  notify/alarm_rules_sound.cpp)
target_link_libraries(iomira_alarm_rules PUBLIC iomira_core)
iomira_project_target(iomira_alarm_rules)

add_library(iomira_alarm_dialogs STATIC
  notify/schedule_edit_dialog.cpp
  notify/schedule_list_dialog.cpp
  notify/sound_dialog_list.cpp
  notify/sound_file_add_dialog.cpp
  notify/sound_file_dialog.cpp
  notify/sound_file_setting_dialog.cpp
  notify/sound_notification_dialog.cpp)
set_target_properties(iomira_alarm_dialogs PROPERTIES AUTOMOC ON)
# The monitor brings the controller table as the polling thread shares it.
target_link_libraries(iomira_alarm_dialogs PUBLIC iomira_alarm_rules iomira_monitor Qt6::Widgets)
iomira_project_target(iomira_alarm_dialogs)

add_subdirectory(tests/alarms)
