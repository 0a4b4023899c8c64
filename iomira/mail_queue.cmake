# Notification mails: composing, the queue, the mail thread, and their settings dialog.

find_package(Qt6 REQUIRED COMPONENTS Widgets)

# Everything without a window: templates, the queue, the thread and its reports.
add_library(iomira_mail_queue STATIC
  notify/mail_queue.cpp
  notify/notification_mail.cpp
  notify/notification_mailer.cpp
  notify/send_mail_thread.cpp
  notify/send_mail_thread_smtp.cpp)
set_target_properties(iomira_mail_queue PROPERTIES AUTOMOC ON)
target_include_directories(iomira_mail_queue PUBLIC notify notify/smtp)
target_link_libraries(iomira_mail_queue PUBLIC iomira_mail_accounts iomira_monitor Threads::Threads)
iomira_project_target(iomira_mail_queue)

# The e-mail notification settings dialog.
add_library(iomira_manage_email_dialog STATIC
  notify/manage_email_dialog.cpp
  notify/manage_email_dialog_actions.cpp
  notify/manage_email_dialog_form.cpp)
set_target_properties(iomira_manage_email_dialog PROPERTIES AUTOMOC ON)
target_link_libraries(iomira_manage_email_dialog PUBLIC iomira_mail_queue Qt6::Widgets)
iomira_project_target(iomira_manage_email_dialog)

add_subdirectory(tests/mailqueue)
