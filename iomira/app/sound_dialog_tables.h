#pragma once

namespace iomira {

class SharedControllers;
class SoundLibrary;
class Store;
class UserPrompts;

// What the sound dialogs work on: the application's tables, the store they are written
// through to, and the message boxes.
struct SoundDialogTables {
    Store& store;
    SoundLibrary& sounds;
    SharedControllers& controllers;
    UserPrompts& prompts;
};

} // namespace iomira
