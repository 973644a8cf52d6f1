// The macro page: the macros by game category, recording, and the editing of
// a macro's events and loop mode. A thin window over MacroPageModel: it hands
// the model every command, message and typed text, and shows what it holds.
#pragma once

#include <QTimer>
#include <array>
#include <cstdint>
#include <memory>

#include "macro/MacroPageModel.h"
#include "ui/PageWnd.h"

class QLineEdit;

namespace qx::ui {
class CListBoxEx;
class CGDIBitmapBtn;
}  // namespace qx::ui

namespace qx::macro {

class CDlgMacro : public ui::CPageWnd {
    Q_OBJECT
public:
    CDlgMacro(QWidget* parent, const ui::PageEnvironment& environment, MacroStore& store,
              InputHooks& hooks, const ProfileState& profiles, const KeyboardLayout& keyboard,
              const MenuLibrary& menus, Clock& clock);
    ~CDlgMacro() override;

    // Lists the macros of a game category (22: the player's own).
    void FillMacroList(std::int32_t category);
    bool IsRecording() const { return model_.IsRecording(); }
    // Leaving the page ends a recording as the Stop button would.
    void StopRecording();
    void CloseCategoryMenu();
    // Brings the loop-count edit back to a number in range before Apply.
    void NormaliseLoopCount();

    MacroPageModel& Model() { return model_; }
    QWidget* ControlWidget(Control control) const { return widgets_[control]; }
    ui::CListBoxEx* MacroListBox() const { return macroList_; }
    ui::CListBoxEx* EventListBox() const { return eventList_; }

    static inline constexpr int kNormaliseTimerMs = 4000;  // timer 153

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void paintEvent(QPaintEvent*) override;
    void mouseMoveEvent(QMouseEvent*) override;
    void mousePressEvent(QMouseEvent*) override;

private:
    class ListMirror;

    void CreateControls();
    void SetTooltips();
    // Shows the model's state on every control but the lists' items.
    void Sync();
    void OnCommand(WParam id);
    void OnListSelChange(int listId);
    void OnListEditDone(int listId, int index);
    void OnPickerMouse(WParam message, LParam window);
    void OnMenuChoice(std::int32_t category);
    void OnTimer();
    void PostHints(QPoint at);
    void OpenCategoryMenu();
    // Commits an open rename before the list can change under it.
    void FinishRename();

    const MenuLibrary& menus_;
    MacroPageModel model_;
    std::unique_ptr<ListMirror> macroMirror_, eventMirror_;
    std::array<QWidget*, kControlCount> widgets_{};
    ui::CListBoxEx* macroList_ = nullptr;
    ui::CListBoxEx* eventList_ = nullptr;
    // Set while the window mirrors the model into its lists: their signals
    // are then the page's own doing, not the user's.
    bool mirroring_ = false;
    // A selection the user made that the list's notification still has to
    // report, per list (macro list, event list).
    std::array<bool, 2> userSelection_{};
    QTimer normaliseTimer_;
    int tooltipObserver_ = 0;
};

}  // namespace qx::macro
