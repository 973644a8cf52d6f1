#include "support/SupportPageModel.h"

#include <utility>

#include "support/UpdateServer.h"

namespace qx::support {

std::u16string_view RestoreQuestionText(bool chineseMode) {
    return chineseMode ? kRestoreQuestionChinese : kRestoreQuestionEnglish;
}

std::string MakerWebAddress() {
    return std::string("https://") + kMakerHost;
}

int SupportHintAt(int x, int y) {
    for (const auto& row : kSupportControls) {
        const layout::Rect& r = row.rect;
        if (layout::Rect{r.left - 1, r.top - 1, r.right + 1, r.bottom + 1}.Contains(x, y))
            return row.hint;
    }
    return 0;
}

namespace {

FileDialogOptions ProfileDialogOptions(bool save) {
    FileDialogOptions options;
    options.defaultExtension = kProfileFileExtension;
    options.filter = kProfileFileFilter;
    options.hideReadOnly = true;
    options.promptOverwrite = save;
    options.keepCurrentDirectory = !save;
    return options;
}

}  // namespace

FileDialogOptions ProfileOpenDialogOptions() {
    return ProfileDialogOptions(false);
}

FileDialogOptions ProfileSaveDialogOptions() {
    return ProfileDialogOptions(true);
}

SupportPageModel::SupportPageModel(ProfileFiles& files, FileDialogs& dialogs, Notifier& notifier,
                                   const Localization& language, DesktopActions& desktop,
                                   TargetHandle mainWindow)
    : files_(files),
      dialogs_(dialogs),
      notifier_(notifier),
      language_(language),
      desktop_(desktop),
      mainWindow_(std::move(mainWindow)) {}

void SupportPageModel::OpenWebSite() {
    // Whether a browser came up is not looked at.
    desktop_.OpenUrl(MakerWebAddress());
}

bool SupportPageModel::ImportFromChosenFile() {
    const auto path = dialogs_.AskOpenFile(ProfileOpenDialogOptions());
    return path && files_.ImportProfile(*path);
}

bool SupportPageModel::ExportToChosenFile() {
    const auto path = dialogs_.AskSaveFile(ProfileSaveDialogOptions());
    return path && files_.ExportProfile(*path);
}

bool SupportPageModel::ConfirmRestoreDefaults() {
    if (notifier_.ShowInfoMessage(RestoreQuestionText(language_.chineseMode), true) != kIdOk)
        return false;
    if (mainWindow_) mainWindow_->PostMessage(kMsgRestoreDefaults, 0, 0);
    return true;
}

}  // namespace qx::support
