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

// Results of exchanging a profile or a macro file, shown in the "Info" box.
inline constexpr char16_t kMsgInvalidProfile[] = u"%s is an invaild Profile!";
inline constexpr char16_t kMsgExportFailed[] = u"%s export failed!";
inline constexpr char16_t kMsgExportSuccess[] = u"%s export success!";
inline constexpr char16_t kMsgImportSuccess[] = u"%s import success!";

}  // namespace qx
