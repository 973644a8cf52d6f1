// Helpers of the widget tests: a window that records the private messages it
// receives, and the installation folder with the generated skins.
#pragma once

#include <QApplication>
#include <QElapsedTimer>
#include <QTest>
#include <filesystem>
#include <vector>

#include "ui/PrivateMessage.h"

namespace qx::test {

struct Posted {
    std::uint32_t message;
    WParam wParam;
    LParam lParam;
    bool operator==(const Posted&) const = default;
};

class RecordingWindow : public ui::CMessageWidget {
public:
    explicit RecordingWindow(QWidget* parent = nullptr) : ui::CMessageWidget(parent) {
        messageMap_.OnOther([this](std::uint32_t m, WParam w, LParam l) {
            posted.push_back({m, w, l});
        });
    }
    std::vector<Posted> Of(std::uint32_t message) const {
        std::vector<Posted> out;
        for (const auto& p : posted)
            if (p.message == message) out.push_back(p);
        return out;
    }
    std::vector<Posted> posted;
};

// Delivers posted events.
inline void Pump() {
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents();
}

inline std::filesystem::path AppFolder() {
    return QX_APP_DIR;
}

}  // namespace qx::test
