// The macro page: the macros by game category, recording, and the editing of
// a macro's events and loop mode.
#pragma once

#include <cstdint>

#include "ui/PageWnd.h"

namespace qx {
class MacroStore;
class InputHooks;
}  // namespace qx

namespace qx::macro {

class CDlgMacro : public ui::CPageWnd {
    Q_OBJECT
public:
    CDlgMacro(QWidget* parent, const ui::PageEnvironment& environment, MacroStore& store,
              InputHooks& hooks);

    // Lists the macros of a game category (22: all).
    void FillMacroList(std::int32_t category);
    bool IsRecording() const { return recording_; }
    // Leaving the page ends a recording as the Stop button would.
    void StopRecording();
    void CloseCategoryMenu();
    // Brings the loop-count edit back to a number in range before Apply.
    void NormaliseLoopCount();

private:
    MacroStore& store_;
    InputHooks& hooks_;
    bool recording_ = false;
};

}  // namespace qx::macro
