#include "startup.h"

namespace platform {

// Windows always has its desktop.
bool displayAvailable(const char *)
{
    return true;
}

void displayOpened() {}

} // namespace platform
