#pragma once

namespace iomira {

// Gives the memory the process has freed back to the system. Reading a plant's store builds
// every key's values at once and frees them again; without this the program would keep that
// peak for the rest of its run.
void returnFreedMemory();

} // namespace iomira
