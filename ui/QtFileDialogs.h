// The desktop's standard open and save dialogs behind the FileDialogs the
// macro and profile exchange use.
#pragma once

#include <QPointer>
#include <QString>
#include <QWidget>

#include "base/FileDialogs.h"

class QFileDialog;

namespace qx::ui {

// "CFG Files(*.cfg)|*.cfg||" as a Qt name filter: "CFG Files(*.cfg) (*.cfg)".
QString QtNameFilters(std::u16string_view windowsFilter);

class QtFileDialogs final : public FileDialogs {
public:
    explicit QtFileDialogs(QWidget* parent = nullptr) : parent_(parent) {}
    void SetParent(QWidget* parent) { parent_ = parent; }
    std::optional<std::filesystem::path> AskSaveFile(const FileDialogOptions& options) override;
    std::optional<std::filesystem::path> AskOpenFile(const FileDialogOptions& options) override;
    std::optional<std::filesystem::path> AskFolder(
        const std::filesystem::path& startFolder) override;

private:
    QString StartFolder(const std::filesystem::path& folder) const;
    std::optional<std::filesystem::path> Chosen(const QPointer<QFileDialog>& dialog);

    QPointer<QWidget> parent_;
    QString lastFolder_;  // where the last dialog ended; empty: the home folder
};

}  // namespace qx::ui
