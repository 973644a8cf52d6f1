// The skinned message box: OK, or OK and Cancel, centred on the screen; and
// its notice form in the lower right corner that closes itself after a
// five-second countdown on its OK button.
#pragma once

#include <QImage>
#include <QString>
#include <QTimer>
#include <filesystem>
#include <memory>
#include <string>

#include "base/Notifier.h"
#include "ui/PrivateMessage.h"

namespace qx {
struct Localization;
}

namespace qx::ui {

class CGDIBitmapBtn;

class CDlgInfo : public CMessageDialog {
    Q_OBJECT
public:
    CDlgInfo(const std::filesystem::path& appFolder, bool chineseMode, QWidget* parent = nullptr);

    // Filled by the caller before Run.
    std::u16string text;
    int withCancel = 0;
    int notice = 0;
    int countdown = 5;

    // Runs modally; kIdOk or kIdCancel.
    int Run();
    // Loads the pictures and creates the controls (Run does it first).
    void Initialise();
    void OnTimer(int id);

    static inline constexpr int kNoticeTimer = 2321;
    static inline constexpr int kNoticePeriodMs = 1000;
    static inline constexpr int kLastMomentMs = 100;  // "OK (0s)" before the notice closes
    // Tests shorten the notice tick.
    static void SetNoticePeriodForTests(int ms);

    CGDIBitmapBtn* OkButton() const { return ok_; }
    CGDIBitmapBtn* CancelButton() const { return cancel_; }
    CGDIBitmapBtn* CloseButton() const { return close_; }
    // Where the message text is drawn, grown downwards when it needs more room.
    QRect TextRect() const;

protected:
    void paintEvent(QPaintEvent*) override;
    void keyPressEvent(QKeyEvent*) override;
    void closeEvent(QCloseEvent*) override;

private:
    QString Caption(bool ok) const;

    std::filesystem::path appFolder_;
    bool chinese_;
    QImage normal_, over_, down_;
    CGDIBitmapBtn* close_ = nullptr;
    CGDIBitmapBtn* ok_ = nullptr;
    CGDIBitmapBtn* cancel_ = nullptr;
    QTimer timer_;
    bool initialised_ = false;
};

int ShowInfoMessage(const std::filesystem::path& appFolder, bool chineseMode,
                    std::u16string_view text, bool withCancel);
int ShowInfoToast(const std::filesystem::path& appFolder, bool chineseMode,
                  std::u16string_view text);

// The notifier of the utility: the skinned box and the standard "Info" box.
// Callable from any thread; the boxes always run on the window thread.
// With QX_TEST_MESSAGE_FILE set (end-to-end tests), each message is also
// appended to that file as one line, "info: ", "toast: " or "standard: " and
// the text with its line feeds written as \n, before the box shows.
class QtNotifier final : public Notifier {
public:
    QtNotifier(std::filesystem::path appFolder, const Localization& localization);
    int ShowInfoMessage(std::u16string_view text, bool withCancel = false) override;
    int ShowInfoToast(std::u16string_view text) override;
    void ShowStandardInfo(std::u16string_view text) override;

private:
    void Record(const char* kind, std::u16string_view text) const;

    std::filesystem::path appFolder_;
    const Localization& localization_;
    std::filesystem::path messageFile_;
};

}  // namespace qx::ui
