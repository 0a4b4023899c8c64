#include "core/freed_memory.h"

#include <malloc.h>

namespace iomira {

void returnFreedMemory() {
    malloc_trim(0);
}

} // namespace iomira
