// HidParse.so: the parser library the channel checks for at start-up. The
// utility only requires its export OpenHidDevice; this one opens a hidraw node
// so the library is of use to other tools too.
#include <fcntl.h>

extern "C" __attribute__((visibility("default"))) int OpenHidDevice(const char* path) {
    return path ? ::open(path, O_RDWR | O_CLOEXEC) : -1;
}
