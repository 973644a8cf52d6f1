// The modal progress window of a synchronisation: the writer thread moves its
// bar with WM_USER+43 and it closes itself half a second after 100 %. It also
// closes at once when the synchronisation reports failure (WM_USER+772),
// which otherwise would leave the user in front of a window that never goes.
#pragma once

#include <QImage>
#include <QTimer>
#include <filesystem>
#include <functional>

#include "ui/PrivateMessage.h"

namespace qx {
struct Localization;
}

namespace qx::ui {
class CPngHProgressBar;
}

namespace qx::support {

class CDlgProgress : public ui::CMessageDialog {
    Q_OBJECT
public:
    CDlgProgress(std::filesystem::path appFolder, const Localization& localization,
                 QWidget* parent = nullptr);

    // Creates the window afresh and runs it modally until it closes.
    int Run();
    // Creates the window's pictures and bar (Run does it first).
    void Initialise();
    ui::CPngHProgressBar* Bar() const { return bar_; }
    bool ClosingScheduled() const { return closeTimer_.isActive(); }
    // Called each time the window has been shown (the main window wakes the
    // writer from here, so no progress message can come before the window).
    std::function<void()> onShown;

    static inline constexpr int kBarId = 777;
    static inline constexpr int kCloseDelayMs = 500;

protected:
    void paintEvent(QPaintEvent*) override;
    void keyPressEvent(QKeyEvent*) override;
    void keyReleaseEvent(QKeyEvent*) override;
    void closeEvent(QCloseEvent*) override;
    void showEvent(QShowEvent*) override;

private:
    void OnProgress(WParam percent);
    void Finish();

    std::filesystem::path appFolder_;
    const Localization& localization_;
    QImage normal_, over_;
    ui::CPngHProgressBar* bar_ = nullptr;
    QTimer closeTimer_;
    bool closing_ = false;
};

}  // namespace qx::support
