// How the system talks to the user. Two kinds of box exist: the skinned
// message box (ShowInfoMessage / ShowInfoToast) and the standard box captioned
// "Info" used for file save and exchange results.
#pragma once

#include <mutex>
#include <string>
#include <string_view>
#include <vector>

namespace qx {

inline constexpr int kIdOk = 1;
inline constexpr int kIdCancel = 2;

class Notifier {
public:
    virtual ~Notifier() = default;
    // Skinned box, modal; OK only, or OK and Cancel. Returns kIdOk or kIdCancel.
    virtual int ShowInfoMessage(std::u16string_view text, bool withCancel = false) = 0;
    // Skinned box in its self-closing form (five-second countdown).
    virtual int ShowInfoToast(std::u16string_view text) = 0;
    // Standard message box, caption "Info", one OK button.
    virtual void ShowStandardInfo(std::u16string_view text) = 0;
};

// Keeps every message for tests; answers with a chosen result.
class RecordingNotifier final : public Notifier {
public:
    enum class Kind { Info, Toast, Standard };
    struct Message {
        Kind kind;
        std::u16string text;
        bool operator==(const Message&) const = default;
    };

    int ShowInfoMessage(std::u16string_view text, bool withCancel = false) override;
    int ShowInfoToast(std::u16string_view text) override;
    void ShowStandardInfo(std::u16string_view text) override;

    std::vector<Message> Messages() const;
    void Clear();
    int answer = kIdOk;

private:
    mutable std::mutex mutex_;
    std::vector<Message> messages_;
};

// Prints each message as one line on stderr (command-line tools).
class ConsoleNotifier final : public Notifier {
public:
    int ShowInfoMessage(std::u16string_view text, bool withCancel = false) override;
    int ShowInfoToast(std::u16string_view text) override;
    void ShowStandardInfo(std::u16string_view text) override;
};

// A data file that cannot be opened (missing, or not a file at all). English
// in every language: it may be shown before any language is loaded.
inline constexpr char16_t kMsgFileOpenFailed[] =
    u"Failed to open file, check whether there is a %s path?";

// Results of exchanging a profile or a macro file, shown in the "Info" box.
inline constexpr char16_t kMsgInvalidProfile[] = u"%s is an invaild Profile!";
inline constexpr char16_t kMsgExportFailed[] = u"%s export failed!";
inline constexpr char16_t kMsgExportSuccess[] = u"%s export success!";
inline constexpr char16_t kMsgImportSuccess[] = u"%s import success!";

// A built-in text in its English and Chinese versions, chosen when shown.
struct BuiltInText {
    std::u16string_view english, chinese;
    std::u16string_view In(bool chineseMode) const { return chineseMode ? chinese : english; }
};

// A save that failed for a reason the language file has no text for (a full
// disk, a file too large, a name that is not a file); the old file is whole.
inline constexpr BuiltInText kMsgSaveFailed{u"%s could not be saved.", u"无法保存 %s。"};
// Another program kept the data folder (or the file) locked for the whole wait.
inline constexpr BuiltInText kMsgDataFolderBusy{
    u"%s was not saved: another program is changing the data folder.",
    u"%s 未保存：另一个程序正在修改数据文件夹。"};

}  // namespace qx
