#include "ui/QtFileDialogs.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QStringList>

namespace qx::ui {
namespace {

QString ToQString(std::u16string_view text) {
    return QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size()));
}

std::filesystem::path ToPath(const QString& file) {
    return std::filesystem::path(file.toStdString());
}

void SetDefaultSuffix(QFileDialog& dialog, const FileDialogOptions& options) {
    // A name typed without an extension gets this one.
    QString suffix = ToQString(options.defaultExtension);
    if (suffix.startsWith('.')) suffix.remove(0, 1);
    dialog.setDefaultSuffix(suffix);
}

}  // namespace

QString QtNameFilters(std::u16string_view windowsFilter) {
    // Pairs of "description|pattern", ended by an empty pair.
    const QStringList parts = ToQString(windowsFilter).split('|');
    QStringList filters;
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        if (parts[i].isEmpty()) break;
        QString patterns = parts[i + 1];
        patterns.replace(';', ' ');
        filters << QString("%1 (%2)").arg(parts[i], patterns);
    }
    return filters.join(";;");
}

// The folder the caller names; else, as the desktop's own dialogs do, the one
// the last dialog ended in; else the home folder.
QString QtFileDialogs::StartFolder(const std::filesystem::path& folder) const {
    if (!folder.empty()) return QString::fromStdString(folder.string());
    return lastFolder_.isEmpty() ? QDir::homePath() : lastFolder_;
}

// The dialog lives on the heap and is watched: its owner may be destroyed
// while it runs (the utility closing under it), which takes the dialog along.
std::optional<std::filesystem::path> QtFileDialogs::Chosen(const QPointer<QFileDialog>& dialog) {
    const int answer = dialog->exec();
    if (!dialog) return std::nullopt;
    const QStringList files = dialog->selectedFiles();
    delete dialog;
    if (answer != QDialog::Accepted || files.isEmpty()) return std::nullopt;
    lastFolder_ = QFileInfo(files.front()).absolutePath();
    return ToPath(files.front());
}

std::optional<std::filesystem::path> QtFileDialogs::AskSaveFile(const FileDialogOptions& options) {
    const QPointer<QFileDialog> dialog = new QFileDialog(
        parent_, QString(), StartFolder(options.startFolder), QtNameFilters(options.filter));
    dialog->setAcceptMode(QFileDialog::AcceptSave);
    dialog->setFileMode(QFileDialog::AnyFile);
    SetDefaultSuffix(*dialog, options);
    if (!options.proposedName.empty()) dialog->selectFile(ToQString(options.proposedName));
    if (!options.promptOverwrite) dialog->setOption(QFileDialog::DontConfirmOverwrite);
    return Chosen(dialog);
}

std::optional<std::filesystem::path> QtFileDialogs::AskOpenFile(const FileDialogOptions& options) {
    const QPointer<QFileDialog> dialog = new QFileDialog(
        parent_, QString(), StartFolder(options.startFolder), QtNameFilters(options.filter));
    dialog->setAcceptMode(QFileDialog::AcceptOpen);
    dialog->setFileMode(QFileDialog::ExistingFile);
    SetDefaultSuffix(*dialog, options);
    return Chosen(dialog);
}

std::optional<std::filesystem::path> QtFileDialogs::AskFolder(
    const std::filesystem::path& startFolder) {
    const QString folder =
        QFileDialog::getExistingDirectory(parent_, QString(), StartFolder(startFolder));
    if (folder.isEmpty()) return std::nullopt;
    return ToPath(folder);
}

}  // namespace qx::ui
