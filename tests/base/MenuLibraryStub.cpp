// A stand-in for the menu library with (or without) all three entry points.
#include <cstdint>

extern "C" {
#ifndef QX_STUB_LACKS_PRETRANSLATE
__attribute__((visibility("default"))) int DllPreTranslateMessage(void*) {
    return 0;
}
#endif
__attribute__((visibility("default"))) void CreateMenuEx() {}
__attribute__((visibility("default"))) void DestroyMenuEx() {}
}
