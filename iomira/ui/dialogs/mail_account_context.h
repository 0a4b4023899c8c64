#pragma once

#include "core/user_prompts.h"
#include "notify/mail_account.h"

#include <functional>

namespace iomira {

class MailAccountVerifier;
class SharedControllers;
class Store;

// What the account dialogs work on: the program's account map, the store it is written
// to, the controllers a deletion may touch, and where their messages go.
struct MailAccountContext {
    Store& store;
    CMailAccountMap& accounts;
    SharedControllers& controllers;
    UserPrompts& prompts;
    // Tests point the verification at loopback servers; unset, it goes to the real server.
    std::function<void(MailAccountVerifier&)> prepareVerifier;
};

} // namespace iomira
