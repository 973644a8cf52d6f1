// Macro.cfg and the table operations of the UI thread: loading, saving after
// every change, storing a built record, clearing a slot, the export and
// import of single macros, and whether a profile still refers to a macro.
//
// Other programs (qxctl, a second user session on the same folder) may change
// Macro.cfg while this table lives in memory. Every change is therefore made
// under the data folder's lock, after taking in what the file holds now
// (MergeMacroSlots): what this program changed wins, what others stored is
// kept.
#pragma once

#include <filesystem>
#include <functional>
#include <memory>
#include <optional>

#include "base/Clock.h"
#include "base/DataFile.h"
#include "base/FileDialogs.h"
#include "base/Notifier.h"
#include "base/ProfileRecord.h"
#include "i18n/LanguageTable.h"
#include "macro/MacroTable.h"

namespace qx {

inline constexpr char16_t kMacroFileFilter[] = u"CFG Files(*.cfg)|*.cfg||";

enum class MacroExportResult { NoSuchMacro, Cancelled, Written, Failed };

class MacroStore {
public:
    MacroStore(MacroTable& table, std::filesystem::path dataFolder, Notifier& notifier,
               Sleeper& sleeper, const Localization& language, FileDialogs& dialogs);

    std::filesystem::path MacroFilePath() const { return dataFolder_ / "Macro.cfg"; }
    MacroTable& Table() { return table_; }
    const MacroTable& Table() const { return table_; }

    // Start-up: replaces the table by the file's content. A missing file (or
    // folder) is reported with str_msg2, a name that is not a file with the
    // cannot-open message; false when the file did not open, and the table
    // then stays as it was.
    bool LoadMacroFile();
    // The same without a message: why the file could not be read, if so.
    FileError ReadMacroFile();
    // Writes the whole table, atomically, after merging what the file holds
    // now. True when the file now holds it. A failure is reported: str_msg2
    // (then the file is created), str_msg4 (access denied), else that the
    // file could not be saved; the table stays changed in memory.
    bool SaveMacroFile();
    // StoreRecord, then SaveMacroFile. True when the record was taken into
    // the table (even if the file could not be written: that was reported).
    bool StoreMacroRecord(const MacroEntry& record);
    // Zeroes the slot of the id; the caller saves the file.
    void ClearMacroSlot(std::uint32_t id);
    // Renames every stored macro with the id whose name differs, then saves
    // once. False when no name changed (nothing is written then).
    bool RenameMacro(std::uint32_t id, std::u16string_view name);

    // The dialog forms, with the messages of the standard "Info" box.
    MacroExportResult ExportMacro(std::uint32_t id);
    std::optional<std::uint32_t> ImportMacro();

    // The same without a dialog. ExportMacroTo writes the slot's 4104 bytes;
    // ImportMacroFrom reads up to 4104 bytes of the file and imports them
    // (saving the table when a slot was filled). Neither shows a message
    // beyond those of SaveMacroFile.
    MacroExportResult ExportMacroTo(std::uint32_t id, const std::filesystem::path& path);
    // Only a file whose tag carries 0xE8E8 in its top half is a macro file
    // (every record the utility writes does); anything else is refused.
    struct ImportOutcome {
        bool opened = false;
        bool valid = false;                     // opened, and tagged as a macro
        std::uint32_t id = 0;                   // the record's id, once valid
        std::optional<std::uint32_t> category;  // set when a slot was filled
        bool saved = false;                     // Macro.cfg now holds the import
    };
    ImportOutcome ImportMacroFrom(const std::filesystem::path& path);

private:
    std::u16string Text(std::string_view key) const { return language_.table.Text(key); }
    // Under the data folder's lock: takes in the file's content, applies the
    // change and, when it changed something, writes the table. False when
    // nothing changed; `saved` tells whether the file holds the table.
    bool Commit(const std::function<bool(MacroTable&)>& change, bool* saved = nullptr);
    void TakeInFile();
    void Report(const std::vector<std::u16string>& messages);

    MacroTable& table_;
    std::filesystem::path dataFolder_;
    Notifier& notifier_;
    Sleeper& sleeper_;
    const Localization& language_;
    FileDialogs& dialogs_;
    std::unique_ptr<MacroSlots> base_;  // the file as this program last read or wrote it
};

// True when any profile entry's macro ids, or a macro button of the active
// profile, refers to the id.
bool IsMacroInUse(std::uint32_t id, const ProfileTable& table, const ProfileSettings& active);
inline bool IsMacroInUse(std::uint32_t id, const ProfileState& profiles) {
    return IsMacroInUse(id, profiles.table, profiles.settings);
}

}  // namespace qx
