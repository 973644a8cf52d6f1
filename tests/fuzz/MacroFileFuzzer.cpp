// Macro.cfg of arbitrary bytes: loaded, then every slot that holds anything is
// looked up and encoded as the device writer would.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "base/Clock.h"
#include "base/Notifier.h"
#include "macro/MacroImage.h"
#include "macro/MacroStore.h"

namespace {

class NoDialogs final : public qx::FileDialogs {
public:
    std::optional<std::filesystem::path> AskSaveFile(const qx::FileDialogOptions&) override {
        return {};
    }
    std::optional<std::filesystem::path> AskOpenFile(const qx::FileDialogOptions&) override {
        return {};
    }
};

std::filesystem::path Folder() {
    static const std::filesystem::path folder = [] {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "qx-fuzz-macro-XXXXXX").string();
        if (!::mkdtemp(pattern.data())) std::abort();
        return std::filesystem::path(pattern);
    }();
    return folder;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace qx;
    static MacroTable table;
    static RecordingNotifier notifier;
    static RecordingSleeper sleeper;
    static Localization language;
    static NoDialogs dialogs;
    static MacroStore store(table, Folder(), notifier, sleeper, language, dialogs);

    FILE* file = std::fopen(store.MacroFilePath().c_str(), "wb");
    if (!file) std::abort();
    if (size) std::fwrite(data, 1, size, file);
    std::fclose(file);
    if (!store.LoadMacroFile()) std::abort();

    for (std::size_t i = 0; i < kMacroSlotCount; ++i) {
        const auto& slot = table.Slot(i);
        if (slot.id == 0 && !HoldsMacro(slot)) continue;
        const auto index = table.FindMacroById(slot.id);
        if (!index || *index > i) __builtin_trap();
        EncodeMacroById(table, slot.id, static_cast<int>(i % 9), 0);
    }
    return 0;
}
