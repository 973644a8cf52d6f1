// Builders of macro records as the macro page makes them, and scripted file
// dialogs, for the tests of everything that handles macros.
#pragma once

#include <cstring>
#include <deque>
#include <initializer_list>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "base/FileDialogs.h"
#include "base/Text.h"
#include "macro/MacroEntry.h"

namespace qx::test {

inline MacroEvent Press(std::uint32_t vk) {
    return MakeEvent(MacroEventKind::KeyPress, vk);
}
inline MacroEvent Release(std::uint32_t vk) {
    return MakeEvent(MacroEventKind::KeyRelease, vk);
}
inline MacroEvent Pause(std::uint32_t ms) {
    return MakeEvent(MacroEventKind::Delay, ms);
}
inline MacroEvent Position(int x, int y) {
    return MakeEvent(MacroEventKind::CursorPosition, PackCursorPosition(x, y));
}

// A record as the macro page builds it.
inline std::unique_ptr<MacroEntry> Record(std::uint32_t id, std::vector<MacroEvent> events,
                                          std::u16string_view name = u"macro",
                                          std::uint32_t loopMode = 1) {
    auto r = std::make_unique<MacroEntry>();
    std::memset(r.get(), 0, sizeof(MacroEntry));
    r->byteSize = 4100 + 4 * static_cast<std::uint32_t>(events.size());
    if (r->byteSize < kMacroRecordSize) r->byteSize = kMacroRecordSize;
    r->tag = kMacroTag;
    r->id = id;
    r->loopMode = loopMode;
    r->eventCount = static_cast<std::uint32_t>(events.size());
    for (std::size_t i = 0; i < events.size() && i < kMacroEventCapacity; ++i)
        r->events[i] = events[i];
    ToBuffer(name, r->name);
    return r;
}

// Answers the dialogs from a queue and keeps what was asked.
class FakeFileDialogs final : public FileDialogs {
public:
    std::optional<std::filesystem::path> AskSaveFile(const FileDialogOptions& options) override {
        asked.push_back(options);
        return Next();
    }
    std::optional<std::filesystem::path> AskOpenFile(const FileDialogOptions& options) override {
        asked.push_back(options);
        return Next();
    }
    std::optional<std::filesystem::path> AskFolder(const std::filesystem::path& start) override {
        askedFolders.push_back(start);
        return Next();
    }
    std::deque<std::optional<std::filesystem::path>> answers;
    std::vector<FileDialogOptions> asked;
    std::vector<std::filesystem::path> askedFolders;

private:
    std::optional<std::filesystem::path> Next() {
        if (answers.empty()) return std::nullopt;
        auto answer = answers.front();
        answers.pop_front();
        return answer;
    }
};

}  // namespace qx::test
