// The standard open and save file dialogs, as the macro and profile exchange
// use them. The desktop implementation lives with the windows; tests answer
// with a fake.
#pragma once

#include <filesystem>
#include <optional>
#include <string>

namespace qx {

struct FileDialogOptions {
    std::u16string defaultExtension;  // ".cfg"
    std::u16string proposedName;      // empty: none
    std::u16string filter;            // "CFG Files(*.cfg)|*.cfg||"
    bool hideReadOnly = true;
    bool promptOverwrite = true;
    bool keepCurrentDirectory = false;
    std::filesystem::path startFolder;  // empty: the home folder
};

class FileDialogs {
public:
    virtual ~FileDialogs() = default;
    // The chosen file, or nullopt when the user cancels.
    virtual std::optional<std::filesystem::path> AskSaveFile(const FileDialogOptions& options) = 0;
    virtual std::optional<std::filesystem::path> AskOpenFile(const FileDialogOptions& options) = 0;
    // A folder; nullopt when the user cancels or no one can be asked.
    virtual std::optional<std::filesystem::path> AskFolder(
        const std::filesystem::path& startFolder) {
        (void)startFolder;
        return std::nullopt;
    }
};

// Where no one can be asked (command-line tools): every dialog is cancelled.
class NoFileDialogs final : public FileDialogs {
public:
    std::optional<std::filesystem::path> AskSaveFile(const FileDialogOptions&) override {
        return {};
    }
    std::optional<std::filesystem::path> AskOpenFile(const FileDialogOptions&) override {
        return {};
    }
};

}  // namespace qx
