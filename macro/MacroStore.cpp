#include "macro/MacroStore.h"

#include <unistd.h>

#include <cstring>
#include <vector>

#include "base/DataFile.h"
#include "base/Text.h"

namespace qx {
namespace {

using namespace std::chrono_literals;

std::u16string PathText(const std::filesystem::path& path) {
    return FromUtf8(path.string());
}

bool IsMissing(FileError error) {
    return error == FileError::FileNotFound || error == FileError::PathNotFound;
}

}  // namespace

MacroStore::MacroStore(MacroTable& table, std::filesystem::path dataFolder, Notifier& notifier,
                       Sleeper& sleeper, const Localization& language, FileDialogs& dialogs)
    : table_(table),
      dataFolder_(std::move(dataFolder)),
      notifier_(notifier),
      sleeper_(sleeper),
      language_(language),
      dialogs_(dialogs) {}

bool MacroStore::LoadMacroFile() {
    const auto path = MacroFilePath();
    std::vector<std::byte> content(kMacroFileSize);
    const auto result = ReadFilePrefix(path, content);
    if (!result.ok()) {
        if (IsMissing(result.error))
            notifier_.ShowInfoMessage(FormatText(Text("str_msg2"), {PathText(path)}));
        return false;
    }
    table_.Replace(std::span(content).first(result.bytesRead));
    return true;
}

bool MacroStore::SaveMacroFile() {
    const auto path = MacroFilePath();
    std::error_code ec;
    const auto status = std::filesystem::status(path, ec);
    if (std::filesystem::exists(status)) {
        // The file is there but cannot be written: it keeps its old content,
        // and like any other failure of the normal path this is not shown.
        if (::access(path.c_str(), W_OK) != 0) return false;
        sleeper_.Sleep(100ms);
        const auto error = WriteFileAtomic(path, table_.Bytes());
        sleeper_.Sleep(100ms);
        return error == FileError::None;
    }
    const auto parent = path.parent_path();
    if (!parent.empty() && !std::filesystem::is_directory(parent, ec)) return false;

    notifier_.ShowStandardInfo(FormatText(Text("str_msg2"), {PathText(path)}));
    const auto error = WriteFileAtomic(path, table_.Bytes());
    if (error == FileError::AccessDenied) notifier_.ShowStandardInfo(Text("str_msg4"));
    return error == FileError::None;
}

bool MacroStore::StoreMacroRecord(const MacroEntry& record) {
    if (!table_.StoreRecord(record)) return false;
    SaveMacroFile();
    return true;
}

void MacroStore::ClearMacroSlot(std::uint32_t id) {
    table_.ClearSlot(id);
}

bool MacroStore::RenameMacro(std::uint32_t id, std::u16string_view name) {
    if (table_.RenameMacro(id, name) == 0) return false;
    SaveMacroFile();
    return true;
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

    const auto path = std::filesystem::absolute(*chosen);
    const auto result = ExportMacroTo(id, path);
    notifier_.ShowStandardInfo(
        FormatText(result == MacroExportResult::Written ? kMsgExportSuccess : kMsgExportFailed,
                   {PathText(path)}));
    return result;
}

MacroStore::ImportOutcome MacroStore::ImportMacroFrom(const std::filesystem::path& path) {
    std::vector<std::byte> content(sizeof(MacroEntry));
    const auto read = ReadFilePrefix(path, content);
    if (!read.ok()) return {};
    ImportOutcome outcome{true, table_.ImportRecord(content)};
    if (outcome.category) outcome.saved = SaveMacroFile();
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
    if (!outcome.opened) {
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
