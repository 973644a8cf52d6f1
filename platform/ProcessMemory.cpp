#include "platform/ProcessMemory.h"

#include <malloc.h>

namespace qx {

void ReturnLargeBlocksToTheSystem() {
    // Fixed, so that freeing a big picture does not raise it.
    mallopt(M_MMAP_THRESHOLD, 256 * 1024);
}

}  // namespace qx
