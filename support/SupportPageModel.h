// What the support page's buttons do, without the window: the maker's web
// site, profile import and export through the file dialogs, and the confirmed
// restore of the default profile. The firmware check is UpdateCheck's.
#pragma once

#include <array>
#include <string>
#include <string_view>

#include "base/FileDialogs.h"
#include "base/Messages.h"
#include "base/Notifier.h"
#include "i18n/LanguageTable.h"
#include "platform/DesktopActions.h"
#include "profile/ProfileFiles.h"
#include "ui/layout/SkinLayout.h"

namespace qx::support {

inline constexpr char16_t kRestoreQuestionChinese[] = u"确定要恢复默认设置?";
inline constexpr char16_t kRestoreQuestionEnglish[] =
    u"Do you want to restore the default setting?";
std::u16string_view RestoreQuestionText(bool chineseMode);

inline constexpr char16_t kProfileFileFilter[] = u"CFG Files(*.cfg)|*.cfg||";
inline constexpr char16_t kProfileFileExtension[] = u".cfg";

// The maker's site, opened in the desktop's browser.
std::string MakerWebAddress();

enum class SupportControl { Update, WebSite, Import, Export, Restore, DriverLabel, FirmwareLabel };

struct SupportControlRow {
    SupportControl control;
    layout::Rect rect;            // page client pixels
    std::string_view tooltipKey;  // empty: no tooltip
    int hint;
};

inline constexpr std::array<SupportControlRow, 7> kSupportControls = {{
    {SupportControl::Update, layout::support_page::kUpdate, "str_update", 59},
    {SupportControl::WebSite, layout::support_page::kWebSite, "str_orvikWeb", 60},
    {SupportControl::Import, layout::support_page::kImport, "str_importFile", 61},
    {SupportControl::Export, layout::support_page::kExport, "str_exportFile", 62},
    {SupportControl::Restore, layout::support_page::kRestore, "str_defaultname", 63},
    {SupportControl::DriverLabel, layout::support_page::kDriverLabel, "", 92},
    {SupportControl::FirmwareLabel, layout::support_page::kFirmwareLabel, "", 93},
}};

// Hint code for a pointer at (x, y) on the page: the code of the control whose
// rectangle, one pixel larger on every side, holds the point; else 0.
int SupportHintAt(int x, int y);

// The dialogs' settings: ".cfg" added to a bare name, the profile filter, the
// read-only box hidden; the save dialog asks before it overwrites.
FileDialogOptions ProfileOpenDialogOptions();
FileDialogOptions ProfileSaveDialogOptions();

class SupportPageModel {
public:
    // Everything given must outlive the model.
    SupportPageModel(ProfileFiles& files, FileDialogs& dialogs, Notifier& notifier,
                     const Localization& language, DesktopActions& desktop,
                     TargetHandle mainWindow);

    void OpenWebSite();
    // True when a profile was taken over. ImportProfile reports in the "Info"
    // box and has the pages refreshed; a cancelled dialog does nothing.
    bool ImportFromChosenFile();
    // True when the file was written; the result is reported in the "Info" box.
    bool ExportToChosenFile();
    // Asks in the skinned box; on OK the main window is asked to restore the
    // default profile (WM_USER+1030) and write it to the mouse.
    bool ConfirmRestoreDefaults();

private:
    ProfileFiles& files_;
    FileDialogs& dialogs_;
    Notifier& notifier_;
    const Localization& language_;
    DesktopActions& desktop_;
    TargetHandle mainWindow_;
};

}  // namespace qx::support
