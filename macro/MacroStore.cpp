#include "macro/MacroStore.h"

#include <cstring>
#include <vector>

#include "base/DataFile.h"
#include "base/FileLock.h"
#include "base/Text.h"

namespace qx {
namespace {

using namespace std::chrono_literals;

std::u16string PathText(const std::filesystem::path& path) {
    return FromUtf8(path.string());
}

}  // namespace

MacroStore::MacroStore(MacroTable& table, std::filesystem::path dataFolder, Notifier& notifier,
                       Sleeper& sleeper, const Localization& language, FileDialogs& dialogs)
    : table_(table),
      dataFolder_(std::move(dataFolder)),
      notifier_(notifier),
      sleeper_(sleeper),
      language_(language),
      dialogs_(dialogs),
      base_(std::make_unique<MacroSlots>()) {
    std::memset(base_->data(), 0, kMacroFileSize);
}

FileError MacroStore::ReadMacroFile() {
    std::vector<std::byte> content(kMacroFileSize);
    const auto result = ReadFilePrefix(MacroFilePath(), content);
    if (!result.ok()) return result.error;
    table_.Replace(std::span(content).first(result.bytesRead));
    std::copy(table_.Slots().begin(), table_.Slots().end(), base_->begin());
    return FileError::None;
}

bool MacroStore::LoadMacroFile() {
    const auto error = ReadMacroFile();
    const auto path = MacroFilePath();
    if (IsMissing(error))
        notifier_.ShowInfoMessage(FormatText(Text("str_msg2"), {PathText(path)}));
    else if (error == FileError::NotAFile)
        notifier_.ShowInfoMessage(FormatText(kMsgFileOpenFailed, {PathText(path)}));
    return error == FileError::None;
}

void MacroStore::TakeInFile() {
    auto theirs = std::make_unique<MacroSlots>();
    std::memset(theirs->data(), 0, kMacroFileSize);
    // A file that cannot be read has nothing to take in: the table is written whole.
    if (!ReadFilePrefix(MacroFilePath(), AsWritableBytes(*theirs)).ok()) return;
    auto ours = std::make_unique<MacroSlots>();
    std::copy(table_.Slots().begin(), table_.Slots().end(), ours->begin());
    auto merged = std::make_unique<MacroSlots>();
    MergeMacroSlots(*base_, *ours, *theirs, *merged);
    table_.Replace(AsBytes(*merged));
    *base_ = *theirs;
}

bool MacroStore::Commit(const std::function<bool(MacroTable&)>& change, bool* saved) {
    const auto path = MacroFilePath();
    std::vector<std::u16string> messages;
    FileLock lock = LockDataFolder(dataFolder_);
    // Busy: the change is still made in memory; the next save takes it along.
    if (!lock.busy()) TakeInFile();
    if (!change(table_)) return false;

    FileError error = FileError::Busy;
    if (!lock.busy()) {
        const FileError present = CheckRegularFile(path);
        if (present == FileError::None) {
            sleeper_.Sleep(100ms);
            error = WriteFileAtomic(path, table_.Bytes());
            sleeper_.Sleep(100ms);
        } else {
            // Missing (or in the way): said first, as the file is about to be made.
            if (present == FileError::FileNotFound)
                messages.push_back(FormatText(Text("str_msg2"), {PathText(path)}));
            error = WriteFileAtomic(path, table_.Bytes());
        }
        if (error == FileError::None)
            std::copy(table_.Slots().begin(), table_.Slots().end(), base_->begin());
    }
    lock.Release();

    const bool chinese = language_.chineseMode;
    if (error == FileError::AccessDenied && !Text("str_msg4").empty())
        messages.push_back(Text("str_msg4"));
    else if (IsMissing(error) && !Text("str_msg2").empty())
        messages.push_back(FormatText(Text("str_msg2"), {PathText(path)}));
    else if (error == FileError::Busy)
        messages.push_back(FormatText(kMsgDataFolderBusy.In(chinese), {PathText(path)}));
    else if (error != FileError::None)
        messages.push_back(FormatText(kMsgSaveFailed.In(chinese), {PathText(path)}));
    // A missing file reported once is enough.
    if (messages.size() == 2 && messages[0] == messages[1]) messages.pop_back();
    Report(messages);
    if (saved) *saved = error == FileError::None;
    return true;
}

void MacroStore::Report(const std::vector<std::u16string>& messages) {
    for (const auto& text : messages) notifier_.ShowStandardInfo(text);
}

bool MacroStore::SaveMacroFile() {
    bool saved = false;
    Commit([](MacroTable&) { return true; }, &saved);
    return saved;
}

bool MacroStore::StoreMacroRecord(const MacroEntry& record) {
    return Commit([&record](MacroTable& table) { return table.StoreRecord(record); });
}

void MacroStore::ClearMacroSlot(std::uint32_t id) {
    table_.ClearSlot(id);
}

bool MacroStore::RenameMacro(std::uint32_t id, std::u16string_view name) {
    return Commit([&](MacroTable& table) { return table.RenameMacro(id, name) > 0; });
}

MacroExportResult MacroStore::ExportMacroTo(std::uint32_t id, const std::filesystem::path& path) {
    const auto index = table_.FindMacroById(id);
    if (!index) return MacroExportResult::NoSuchMacro;
    const auto error = WriteFileAtomic(path, AsBytes(table_.Slot(*index)));
    return error == FileError::None ? MacroExportResult::Written : MacroExportResult::Failed;
}

MacroExportResult MacroStore::ExportMacro(std::uint32_t id) {
    const auto index = table_.FindMacroById(id);
    if (!index) return MacroExportResult::NoSuchMacro;
    FileDialogOptions options;
    options.defaultExtension = u".cfg";
    options.proposedName = FromBuffer(table_.Slot(*index).name);
    options.filter = kMacroFileFilter;
    const auto chosen = dialogs_.AskSaveFile(options);
    if (!chosen) return MacroExportResult::Cancelled;

    std::error_code error;  // the non-throwing form: the working folder may be gone
    auto path = std::filesystem::absolute(*chosen, error);
    if (error) path = *chosen;
    const auto result = ExportMacroTo(id, path);
    notifier_.ShowStandardInfo(
        FormatText(result == MacroExportResult::Written ? kMsgExportSuccess : kMsgExportFailed,
                   {PathText(path)}));
    return result;
}

MacroStore::ImportOutcome MacroStore::ImportMacroFrom(const std::filesystem::path& path) {
    ImportOutcome outcome;
    auto record = std::make_unique<MacroEntry>();
    std::memset(record.get(), 0, sizeof(MacroEntry));
    if (!ReadFilePrefix(path, AsWritableBytes(*record)).ok()) return outcome;
    outcome.opened = true;
    if ((record->tag & kMacroTagMask) != (kMacroTag & kMacroTagMask)) return outcome;
    outcome.valid = true;
    outcome.id = record->id;
    Commit(
        [&](MacroTable& table) {
            outcome.category = table.ImportRecord(AsBytes(*record));
            return outcome.category.has_value();
        },
        &outcome.saved);
    return outcome;
}

std::optional<std::uint32_t> MacroStore::ImportMacro() {
    FileDialogOptions options;
    options.defaultExtension = u".cfg";
    options.filter = kMacroFileFilter;
    options.keepCurrentDirectory = true;
    const auto chosen = dialogs_.AskOpenFile(options);
    if (!chosen) return std::nullopt;
    const auto outcome = ImportMacroFrom(*chosen);
    if (!outcome.valid) {
        notifier_.ShowStandardInfo(FormatText(kMsgInvalidProfile, {PathText(*chosen)}));
        return std::nullopt;
    }
    return outcome.category;
}

bool IsMacroInUse(std::uint32_t id, const ProfileTable& table, const ProfileSettings& active) {
    for (const auto& entry : table.entries)
        for (const auto macroId : entry.macroIds)
            if (static_cast<std::uint32_t>(macroId) == id) return true;
    for (const auto& button : active.buttons)
        if (button.function == kFunctionMacro && static_cast<std::uint32_t>(button.macroId) == id)
            return true;
    return false;
}

}  // namespace qx
