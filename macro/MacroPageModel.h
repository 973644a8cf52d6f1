// The macro page without its window: the macro list by game category, the
// recorder, the event list with its item editors, and the loop controls.
// Every command of the page is a call here; the window shows what the model
// holds (the lists through their sinks, the rest through ControlState and
// the texts) and hands over what the user typed or selected.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "base/Clock.h"
#include "base/KeyboardLayout.h"
#include "base/MenuLibrary.h"
#include "base/Messages.h"
#include "base/Notifier.h"
#include "base/ProfileRecord.h"
#include "i18n/LanguageTable.h"
#include "macro/InputHooks.h"
#include "macro/MacroEventList.h"
#include "macro/MacroPageLayout.h"
#include "macro/MacroStore.h"
#include "macro/PageList.h"

namespace qx::macro {

// The page's editing state: which item editor is open and what its OK does.
enum class EditMode : int {
    None = 0,
    InsertChosen = 1,  // Insert pressed, kind not chosen yet
    ModifyChosen = 2,  // Modify pressed on an item of no known type
    InsertKey = 3,
    InsertDelay = 4,
    InsertPosition = 5,
    ModifyKey = 6,
    ModifyDelay = 7,
    ModifyPosition = 8,
};

struct ControlState {
    bool visible = true;
    bool enabled = true;
    bool down = false;  // check buttons
};

// A text in the page's two languages.
struct PageText {
    std::u16string_view english, chinese;
};

inline constexpr PageText kStartRecordText{u"Start Record", u"开始录制"};
inline constexpr PageText kStopRecordText{u"Stop Record", u"停止录制"};
inline constexpr PageText kNewMacroText{u"New Macro", u"新建宏"};
inline constexpr PageText kMacroInUseText{u"The macro is being applied and cannot be deleted!",
                                          u"当前宏正在被使用，不能删除！"};
inline constexpr PageText kRecordRefusedKeyText{
    u"It is Modifying or inserting a button,you can not record", u"正在修改/插入一个键，无法录制"};
inline constexpr PageText kRecordRefusedDelayText{
    u"It is Modifying or inserting a delay,you can not record", u"正在修改/插入一个延时，无法录制"};
inline constexpr PageText kRecordRefusedPositionText{
    u"It is Modifying or inserting a mouse cursor,you can not record",
    u"正在修改/插入一个鼠标位置，无法录制"};
inline constexpr PageText kRecordingFullText{u"The macro is full; the recording is saved.",
                                             u"宏已满：录制已停止并已保存。"};
inline constexpr PageText kInsertFullText{u"A macro holds at most 1000 events.",
                                          u"一个宏最多只能包含1000个事件。"};

// What the page works with besides its own state.
struct MacroPageServices {
    MacroStore& store;
    InputHooks& hooks;
    Notifier& notifier;
    Clock& clock;
    const KeyboardLayout& keyboard;
    const Localization& language;
    const ProfileState& profiles;
};

class MacroPageModel {
public:
    explicit MacroPageModel(const MacroPageServices& services);

    // The page's window: the hook target while recording or capturing a key,
    // and where a mouse-button picture's key is posted.
    void SetPageHandle(TargetHandle page) { page_ = std::move(page); }
    // Where the debug trace of a damaged macro goes (none by default).
    void SetDebugTrace(std::function<void(std::u16string_view)> trace) {
        debugTrace_ = std::move(trace);
    }
    // Runs before a message box opens, so the window shows the new state
    // behind it.
    void SetBeforeMessage(std::function<void()> callback) { beforeMessage_ = std::move(callback); }

    PageList& MacroList() { return macroList_; }
    PageList& EventList() { return eventList_; }
    const PageList& MacroList() const { return macroList_; }
    const PageList& EventList() const { return eventList_; }

    // --- the page's initialisation and the main window's calls
    void Initialise();
    void FillMacroList(std::int32_t category);
    bool IsRecording() const { return recording_; }
    // Ends a recording as the Stop button would; nothing when none runs.
    void StopRecording();
    void NormaliseLoopCount();
    // The page goes away: key forwarding off if the page holds it.
    void ReleaseHooks();

    // --- the category menu
    std::array<QxMenuItem, kCategoryCount> CategoryMenuItems() const;
    void SelectCategory(std::int32_t id);

    // --- the buttons
    void NewMacro();
    void DeleteMacro();
    void ImportMacro();
    void ExportMacro();
    void ToggleRecording();
    void Insert();
    void DeleteEvent();
    void Modify();
    void KeyTypeButton();
    void DelayTypeButton();
    void PositionTypeButton();
    void KeyOk();
    void DelayOk();
    void PositionOk();
    void XUp();
    void XDown();
    void YUp();
    void YDown();
    void LoopCountSwitch();
    void LoopWhileHeldSwitch();
    void LoopToggleSwitch();
    void DelaySwitch();
    // A button's command by its control; false for a control that has none.
    bool Command(Control control);

    // --- the messages
    // WM_USER+101: the list's selection (as the model holds it) changed.
    void OnListSelChange(int listId);
    // WM_USER+112: the item's text was edited in place.
    void OnListEditDone(int listId, int index, std::u16string text);
    // WM_USER+10: 1 when the key was used.
    int OnHookKey(std::uint32_t virtualKey, std::uint32_t flags);
    // WM_USER+781 from a mouse-button picture.
    void OnPickerMouse(std::uintptr_t mouseMessage, Control picker);

    // --- the edit fields, as typed (or set by the page)
    void SetLoopCountText(std::u16string text);
    void SetDelayText(std::u16string text) { texts_[kDelayEdit] = std::move(text); }
    void SetXText(std::u16string text) { texts_[kXEdit] = std::move(text); }
    void SetYText(std::u16string text) { texts_[kYEdit] = std::move(text); }

    // --- what the window shows
    const ControlState& State(Control control) const { return controls_[control]; }
    // The text of an edit field or the caption of a button.
    std::u16string Text(Control control) const;
    // The edit that is to take the keyboard focus, once.
    std::optional<Control> TakeFocusRequest();
    std::vector<int> HintsAt(int x, int y) const;

    // --- state, for the window and the tests
    EditMode editMode() const { return editMode_; }
    std::uint32_t capturedKey() const { return capturedKey_; }
    int rememberedMacro() const { return rememberedMacro_; }
    int selectedEvent() const { return selectedEvent_; }
    std::int32_t currentCategory() const { return currentCategory_; }
    int recordedCount() const { return recordedCount_; }
    bool switching() const { return switching_; }
    // The loop mode a store would give the macro now.
    std::uint32_t LoopMode() const;

    // --- the steps the Parts name, public for the tests
    void LoadMacroToList(int index);
    void MergeAdjacentDelays();
    bool SaveEditedMacro();
    void HideItemEditors();

private:
    struct LastKey {
        std::uint32_t virtualKey = 0;
        std::uint32_t flags = 0;
    };

    bool Chinese() const { return services_.language.chineseMode; }
    std::u16string_view Pick(const PageText& text) const {
        return Chinese() ? text.chinese : text.english;
    }
    void Show(Control c, bool visible) { controls_[c].visible = visible; }
    void SetDown(Control c, bool down) { controls_[c].down = down; }
    void SetEditText(Control c, std::u16string text) { texts_[c] = std::move(text); }
    void Tell(const PageText& text);
    void FlushMessage();

    void SetLoopSwitches(std::uint32_t loopMode);
    void EndRecording();
    void EndRecordingAtLimit();
    void CloseEditorsForSelectionChange();
    bool EditorOpen() const { return editMode_ != EditMode::None; }
    bool KeyEditorOpen() const {
        return editMode_ == EditMode::InsertKey || editMode_ == EditMode::ModifyKey;
    }
    bool Inserting() const;
    void CaptureKeys();
    void ApplyInsert();
    void ApplyModify();
    bool RoomFor(int items);
    void ReadPosition();
    void WritePosition();
    std::uint32_t NewMacroId() const;

    MacroPageServices services_;
    TargetHandle page_;
    std::function<void(std::u16string_view)> debugTrace_;
    std::function<void()> beforeMessage_;

    PageList macroList_;
    PageList eventList_;
    std::array<ControlState, kControlCount> controls_{};
    std::array<std::u16string, kControlCount> texts_{};
    std::optional<Control> focusRequest_;
    std::optional<PageText> pendingMessage_;

    std::int32_t currentCategory_ = 0;
    int rememberedMacro_ = -1;
    int selectedEvent_ = -1;
    bool switching_ = false;
    EditMode editMode_ = EditMode::None;
    std::uint32_t capturedKey_ = 0;
    bool recording_ = false;
    int recordedCount_ = 0;
    std::optional<std::uint32_t> lastTick_;
    // The last key appended by any recording: a held key's repeats are
    // dropped across recordings too.
    LastKey lastKey_;
    // The position editor's values as last read or written; a text that is
    // not a number falls back to them.
    int x_ = 0;
    int y_ = 0;
};

}  // namespace qx::macro
