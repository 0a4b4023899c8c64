# Mail accounts: the records, the stored password, the verification and its dialogs.

find_package(Qt6 REQUIRED COMPONENTS Widgets)

# Everything without a window: records, password cipher, store mapping, verification, rules.
add_library(iomira_mail_accounts STATIC
  notify/mail_account.cpp
  notify/mail_account_password.cpp
  notify/mail_account_rules.cpp
  notify/mail_account_store.cpp
  notify/mail_account_verifier.cpp
  notify/mail_account_verify.cpp)
set_target_properties(iomira_mail_accounts PROPERTIES AUTOMOC ON)
target_include_directories(iomira_mail_accounts PUBLIC notify monitor)
target_link_libraries(iomira_mail_accounts PUBLIC iomira_core iomira_smtp nexoltlib Threads::Threads)
iomira_project_target(iomira_mail_accounts)

# The account dialog and the two steps of the add wizard.
add_library(iomira_mail_account_dialogs STATIC
  notify/mail_account_add_step1_dialog.cpp
  notify/mail_account_add_step2_dialog.cpp
  notify/mail_account_busy.cpp
  notify/mail_account_fields.cpp
  notify/mail_account_prompts.cpp
  notify/mail_account_setting_dialog.cpp
  notify/mail_account_step_dialog.cpp)
set_target_properties(iomira_mail_account_dialogs PROPERTIES AUTOMOC ON)
target_link_libraries(iomira_mail_account_dialogs PUBLIC iomira_mail_accounts Qt6::Widgets)
iomira_project_target(iomira_mail_account_dialogs)

add_subdirectory(tests/mail)
