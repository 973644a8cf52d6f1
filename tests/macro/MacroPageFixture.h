// A macro page model over a real store in a temporary data folder, with the
// hooks, clock and notifier the tests look at.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "base/DataFile.h"
#include "base/FunctionCatalogue.h"
#include "macro/MacroPageModel.h"
#include "tests/common/MacroBuilder.h"
#include "tests/common/RecordingTarget.h"
#include "tests/common/TempDir.h"

namespace qx::macro::test {

using namespace qx::test;

// Virtual keys used below.
inline constexpr std::uint32_t kVkA = 0x41;
inline constexpr std::uint32_t kVkB = 0x42;
inline constexpr std::uint32_t kVkShift = 0x10;

class MacroPageFixture : public ::testing::Test {
protected:
    MacroPageFixture() {
        language.table.Set("str_msg2", u"Cannot find %s.");
        language.table.Set("str_msg4", u"No access.");
        clock.Set(50000);
    }

    // Stores the records, writes Macro.cfg, then builds the page as the main
    // window does: initialisation, then the own category's list.
    void Open(std::vector<std::unique_ptr<MacroEntry>> records = {}) {
        for (const auto& r : records) ASSERT_TRUE(table.StoreRecord(*r));
        ASSERT_TRUE(store.SaveMacroFile());
        notifier.Clear();
        model = std::make_unique<MacroPageModel>(
            MacroPageServices{store, hooks, notifier, clock, keyboard, language, profiles});
        model->SetPageHandle(Unowned(page));
        model->SetDebugTrace([this](std::u16string_view t) { traces.emplace_back(t); });
        model->Initialise();
        model->FillMacroList(kMacroCategoryOwn);
    }

    std::vector<MacroEvent> Stored(std::uint32_t id) const {
        const auto slot = table.FindMacroById(id);
        if (!slot) return {};
        const MacroEntry& e = table.Slot(*slot);
        return {e.events, e.events + e.UsableEventCount()};
    }
    const MacroEntry* Entry(std::uint32_t id) const {
        const auto slot = table.FindMacroById(id);
        return slot ? &table.Slot(*slot) : nullptr;
    }
    // The event list as events (items converted back).
    std::vector<MacroEvent> Shown() const {
        std::vector<MacroEvent> out;
        for (const auto& item : model->EventList().Items())
            out.push_back(ListItemToMacroEvent(item.data).value_or(0));
        return out;
    }
    std::vector<std::u16string> ShownTexts() const {
        std::vector<std::u16string> out;
        for (const auto& item : model->EventList().Items()) out.push_back(item.text);
        return out;
    }
    std::vector<std::uint32_t> ListedIds() const {
        std::vector<std::uint32_t> out;
        for (const auto& item : model->MacroList().Items()) out.push_back(item.data);
        return out;
    }
    // A click on an item, as the window hands it over, and its notification.
    void ClickMacro(int index) {
        model->MacroList().SelectedByUser(index);
        model->OnListSelChange(kMacroListId);
    }
    void ClickEvent(int index) {
        model->EventList().SelectedByUser(index);
        model->OnListSelChange(kEventListId);
    }
    int Key(std::uint32_t vk, bool up) { return model->OnHookKey(vk, up ? kKeyFlagUp : 0); }
    // Every save writes the whole file between two 100 ms pauses.
    std::size_t Saves() const { return sleeper.Pauses().size() / 2; }
    std::vector<std::u16string> InfoMessages() const {
        std::vector<std::u16string> out;
        for (const auto& m : notifier.Messages())
            if (m.kind == RecordingNotifier::Kind::Info) out.push_back(m.text);
        return out;
    }

    TempDir dir;
    RecordingNotifier notifier;
    RecordingSleeper sleeper;
    Localization language;
    FakeFileDialogs dialogs;
    MacroTable table;
    MacroStore store{table, dir.path(), notifier, sleeper, language, dialogs};
    InputHooks hooks;
    FakeClock clock;
    UsKeyboardLayout keyboard;
    ProfileState profiles;
    RecordingTarget page;
    std::vector<std::u16string> traces;
    std::unique_ptr<MacroPageModel> model;
};

}  // namespace qx::macro::test
