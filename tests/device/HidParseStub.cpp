// A HidParse.so without the export the channel looks for.
extern "C" __attribute__((visibility("default"))) int ParseNothing() {
    return 0;
}
