# The program: polling and connection handling, the windows, and the iomira executable.

find_package(Qt6 REQUIRED COMPONENTS Widgets)

# Polling, reconnection and Corvel's notifications, without any window.
add_library(iomira_monitor STATIC
  monitor/connection_manager.cpp
  monitor/corvel_registration.cpp
  monitor/error_text.cpp
  monitor/initial_read.cpp
  monitor/monitor_log.cpp
  monitor/notification_handler.cpp
  monitor/polling_thread.cpp
  monitor/port_change_dispatch.cpp)
target_include_directories(iomira_monitor PUBLIC monitor)
target_link_libraries(iomira_monitor PUBLIC iomira_core corvel Threads::Threads)
iomira_project_target(iomira_monitor)

# The tree's texts, edit checks, menu rules and group placement: logic without widgets.
add_library(iomira_app_logic STATIC
  app/context_menu_rules.cpp
  app/demo_store.cpp
  app/group_arranger.cpp
  app/product_pages.cpp
  app/tree_edit_rules.cpp
  app/tree_texts.cpp)
target_link_libraries(iomira_app_logic PUBLIC iomira_core corvel)
iomira_project_target(iomira_app_logic)

# The windows.
add_library(iomira_ui STATIC
  app/about_dialog.cpp
  app/add_root_dialog.cpp
  app/child_frame.cpp
  app/device_list_commands.cpp
  app/device_list_edit.cpp
  app/device_list_fill.cpp
  app/device_list_pane.cpp
  app/main_frame.cpp
  app/main_menus.cpp
  app/quorvis2_app.cpp
  app/tree_edit_delegate.cpp
  app/tree_icons.cpp
  app/user_prompts.cpp
  app/view_tree.cpp)
set_target_properties(iomira_ui PROPERTIES AUTOMOC ON)
target_link_libraries(iomira_ui PUBLIC iomira_app_logic iomira_monitor Qt6::Widgets)
target_link_libraries(iomira_ui PUBLIC iomira_alarm_dialogs)
target_link_libraries(iomira_ui PUBLIC iomira_windows)
target_link_libraries(iomira_ui PUBLIC iomira_mail_account_dialogs)
target_link_libraries(iomira_ui PUBLIC iomira_mail_queue iomira_manage_email_dialog)
iomira_project_target(iomira_ui)

add_executable(iomira app/main.cpp)
target_link_libraries(iomira PRIVATE iomira_ui)
iomira_project_target(iomira)

# Writes a store of the simulator's demo controllers (scripts/demo).
add_executable(iomira_demo_store app/demo_store_main.cpp)
target_link_libraries(iomira_demo_store PRIVATE iomira_app_logic)
iomira_project_target(iomira_demo_store)

if(EXISTS ${CMAKE_CURRENT_SOURCE_DIR}/tests/program/CMakeLists.txt)
  add_subdirectory(tests/program)
endif()
