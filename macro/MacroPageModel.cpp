#include "macro/MacroPageModel.h"

#include <algorithm>
#include <cstring>

#include "base/KeyTables.h"
#include "base/Text.h"

namespace qx::macro {

namespace {

// Virtual keys the mouse-button pictures stand for.
constexpr std::uint32_t kVkLeftButton = 0x01;
constexpr std::uint32_t kVkRightButton = 0x02;
constexpr std::uint32_t kVkMiddleButton = 0x04;

constexpr std::uint32_t kNoMacroId = 0xFFFFFFFF;

constexpr Control kItemEditorControls[] = {kKeyTypeButton,      kKeyEdit,         kKeyOkButton,
                                           kDelayTypeButton,    kDelayEdit,       kDelayOkButton,
                                           kPositionTypeButton, kXEdit,           kXUpButton,
                                           kXDownButton,        kYEdit,           kYUpButton,
                                           kYDownButton,        kPositionOkButton};
constexpr Control kKeyEditorControls[] = {kKeyEdit, kKeyOkButton};
constexpr Control kDelayEditorControls[] = {kDelayEdit, kDelayOkButton};
constexpr Control kPositionEditorControls[] = {kXEdit,     kXUpButton,   kXDownButton,     kYEdit,
                                               kYUpButton, kYDownButton, kPositionOkButton};
// Disabled while a recording runs.
constexpr Control kRecordingLocked[] = {kNewMacroButton, kDeleteMacroButton, kInsertButton,
                                        kDeleteEventButton, kModifyButton};

}  // namespace

MacroPageModel::MacroPageModel(const MacroPageServices& services) : services_(services) {
    for (const Control c : kItemEditorControls) controls_[c].visible = false;
    // A page without a macro still shows a sensible loop choice.
    controls_[kLoopCountSwitch].down = true;
    texts_[kLoopCountEdit].assign(1, u'1');
}

// --- initialisation and the main window's calls -----------------------------

void MacroPageModel::Initialise() {
    rememberedMacro_ = macroList_.Selection();
    selectedEvent_ = eventList_.Selection();
    LoadMacroToList(rememberedMacro_);
    currentCategory_ = kMacroCategoryOwn;
}

void MacroPageModel::FillMacroList(std::int32_t category) {
    // A refill is a change of the selected macro: what was being recorded
    // or edited belongs to the macro shown until now.
    if (recording_) EndRecording();
    if (EditorOpen()) CloseEditorsForSelectionChange();

    macroList_.Clear();
    eventList_.Clear();
    macroList_.SuspendRedraw(true);
    for (const MacroEntry& slot : services_.store.Table().Slots()) {
        if (!HoldsMacro(slot) || static_cast<std::int64_t>(MacroCategory(slot.id)) != category)
            continue;
        macroList_.Append({FromBuffer(slot.name), slot.id});
    }
    macroList_.SuspendRedraw(false);
    LoadMacroToList(macroList_.Selection());
    // The remembered macro follows the list, so the next recording goes into
    // the macro the user sees selected.
    rememberedMacro_ = macroList_.Selection();
    selectedEvent_ = eventList_.Selection();
}

void MacroPageModel::StopRecording() {
    if (recording_) ToggleRecording();
}

void MacroPageModel::NormaliseLoopCount() {
    std::u16string text = texts_[kLoopCountEdit];
    const auto firstNonZero = text.find_first_not_of(u'0');
    const std::size_t zeros = firstNonZero == std::u16string::npos ? text.size() : firstNonZero;
    if (zeros > 0) {
        text.erase(0, zeros);
        SetLoopCountText(text);
    }
    const auto number = ParseWholeNumber(std::u16string_view(text).substr(0, 100));
    if (!number || *number == 0)
        SetLoopCountText(u"1");
    else if (*number > kMaxLoopCount)
        SetLoopCountText(DecimalText(kMaxLoopCount));
}

void MacroPageModel::ReleaseHooks() {
    if (recording_ || KeyEditorOpen()) services_.hooks.SetKeyForwarding(false);
}

// --- category menu -------------------------------------------------------------

std::array<QxMenuItem, kCategoryCount> MacroPageModel::CategoryMenuItems() const {
    std::array<QxMenuItem, kCategoryCount> items{};
    for (int id = 1; id <= kCategoryCount; ++id) {
        QxMenuItem& item = items[id - 1];
        item.marker = 255;
        item.value = id;
        ToBuffer(CategoryMenuText(id, Chinese()), item.text);
    }
    return items;
}

void MacroPageModel::SelectCategory(std::int32_t id) {
    currentCategory_ = id;
    FillMacroList(id);
}

// --- the macro list's buttons ---------------------------------------------------

std::uint32_t MacroPageModel::NewMacroId() const {
    // Ids come from the tick count and are not unique by themselves: a second
    // macro in the same millisecond, or one made 4.6 hours of ticks later,
    // would take over the first one's slot when stored.
    const std::uint32_t category = static_cast<std::uint32_t>(currentCategory_);
    std::uint32_t low = services_.clock.TickCount() & kMacroValueMask;
    auto taken = [this](std::uint32_t id) {
        if (id == 0 || id == kNoMacroId) return true;
        if (services_.store.Table().FindMacroById(id)) return true;
        for (const auto& item : macroList_.Items())
            if (item.data == id) return true;
        return false;
    };
    for (std::uint32_t tries = 0; tries <= kMacroValueMask; ++tries) {
        const std::uint32_t id = MakeMacroId(category, low);
        if (!taken(id)) return id;
        low = (low + 1) & kMacroValueMask;
    }
    return MakeMacroId(category, low);
}

void MacroPageModel::NewMacro() {
    HideItemEditors();
    const std::uint32_t id = NewMacroId();
    const int index = macroList_.Append({std::u16string(Pick(kNewMacroText)), id});
    macroList_.RequestEdit(index);
    rememberedMacro_ = macroList_.Selection();
    LoadMacroToList(rememberedMacro_);
    selectedEvent_ = -1;
    SetLoopCountText(u"1");
}

void MacroPageModel::DeleteMacro() {
    HideItemEditors();
    const int index = macroList_.Selection();
    if (!macroList_.Valid(index)) return;
    const std::uint32_t id = macroList_.Data(index);
    if (IsMacroInUse(id, services_.profiles)) {
        Tell(kMacroInUseText);
        FlushMessage();
        return;
    }
    services_.store.ClearMacroSlot(id);
    services_.store.SaveMacroFile();
    macroList_.Remove(index);
    macroList_.Select(-1);
    // Nothing is selected now; an index kept from before would name the
    // macro that moved up into the deleted one's place.
    rememberedMacro_ = -1;
    selectedEvent_ = -1;
    eventList_.Clear();
}

void MacroPageModel::ImportMacro() {
    if (const auto category = services_.store.ImportMacro())
        SelectCategory(static_cast<std::int32_t>(*category));
}

void MacroPageModel::ExportMacro() {
    const int index = macroList_.Selection();
    if (macroList_.Valid(index)) services_.store.ExportMacro(macroList_.Data(index));
}

// --- the event list ---------------------------------------------------------------

void MacroPageModel::LoadMacroToList(int index) {
    if (!macroList_.Valid(index)) return;
    const std::uint32_t id = macroList_.Data(index);
    eventList_.Clear();
    const MacroTable& table = services_.store.Table();
    const auto slot = table.FindMacroById(id);
    std::uint32_t loopMode = 0;
    if (slot) {
        const MacroEntry& entry = table.Slot(*slot);
        loopMode = entry.loopMode;
        eventList_.SuspendRedraw(true);
        SetLoopCountText(loopMode == kLoopWhileHeld || loopMode == kLoopToggle
                             ? std::u16string(u"1")
                             : DecimalText(loopMode));
        for (std::size_t i = 0; i < entry.UsableEventCount(); ++i) {
            auto item = ItemOfEvent(entry.events[i], services_.keyboard);
            if (!item) {
                if (debugTrace_) debugTrace_(u"LoadMacroToList:  Not a vaild item");
                break;
            }
            eventList_.Append(std::move(*item));
        }
        eventList_.SuspendRedraw(false);
    }
    SetLoopSwitches(loopMode);
}

void MacroPageModel::SetLoopSwitches(std::uint32_t loopMode) {
    SetDown(kLoopCountSwitch, false);
    SetDown(kLoopWhileHeldSwitch, false);
    SetDown(kLoopToggleSwitch, false);
    Show(kLoopCountEdit, false);
    if (loopMode == kLoopWhileHeld) {
        SetDown(kLoopWhileHeldSwitch, true);
    } else if (loopMode == kLoopToggle) {
        SetDown(kLoopToggleSwitch, true);
    } else {
        SetDown(kLoopCountSwitch, true);
        Show(kLoopCountEdit, true);
    }
}

void MacroPageModel::MergeAdjacentDelays() {
    int i = 1;
    while (i < eventList_.Count()) {
        if (eventList_.Type(i) == kItemDelay && eventList_.Type(i - 1) == kItemDelay) {
            const std::uint32_t sum =
                EventValue(eventList_.Data(i - 1)) + EventValue(eventList_.Data(i));
            eventList_.Replace(i, DelayItem(std::min(sum, kMaxMergedDelay)));
            eventList_.Remove(i - 1);
            // The merged item is now at i - 1; compare it with the next one.
            continue;
        }
        ++i;
    }
}

std::uint32_t MacroPageModel::LoopMode() const {
    if (controls_[kLoopWhileHeldSwitch].down) return kLoopWhileHeld;
    if (controls_[kLoopToggleSwitch].down) return kLoopToggle;
    return LoopCountOf(texts_[kLoopCountEdit]);
}

bool MacroPageModel::SaveEditedMacro() {
    if (eventList_.Empty()) return false;
    MergeAdjacentDelays();
    const int count = eventList_.Count();
    // The list is kept within a record's events; a longer one would have to
    // be cut, and a cut macro is never stored.
    if (count > kMaxEventItems) return false;

    const int index = recording_ ? rememberedMacro_ : macroList_.Selection();
    if (!macroList_.Valid(index)) return false;

    MacroEntry record{};
    record.byteSize = 4100 + 4 * static_cast<std::uint32_t>(count);
    record.tag = kMacroTag;
    record.reserved = 0;
    bool keyTaken = false;
    std::uint32_t events = 0;
    for (const auto& item : eventList_.Items()) {
        const int type = static_cast<int>(item.data >> 24);
        // A macro never starts with a pause.
        if (type == kItemDelay && !keyTaken) continue;
        const auto event = ListItemToMacroEvent(item.data);
        if (!event) continue;
        record.events[events++] = *event;
        if (type != kItemDelay) keyTaken = true;
    }
    record.eventCount = events;
    record.loopMode = LoopMode();
    record.id = macroList_.Data(index);
    ToBuffer(macroList_.Item(index).text, record.name);
    return services_.store.StoreMacroRecord(record);
}

// --- recording ----------------------------------------------------------------------

void MacroPageModel::ToggleRecording() {
    switch (editMode_) {
        case EditMode::InsertKey:
        case EditMode::ModifyKey:
            Tell(kRecordRefusedKeyText);
            FlushMessage();
            return;
        case EditMode::InsertDelay:
        case EditMode::ModifyDelay:
            Tell(kRecordRefusedDelayText);
            FlushMessage();
            return;
        case EditMode::InsertPosition:
        case EditMode::ModifyPosition:
            Tell(kRecordRefusedPositionText);
            FlushMessage();
            return;
        default:
            break;
    }
    services_.hooks.SetKeyForwarding(false);
    HideItemEditors();
    if (recording_) {
        EndRecording();
        return;
    }
    if (!macroList_.Valid(macroList_.Selection())) return;
    // The recording goes into the macro the user sees selected.
    rememberedMacro_ = macroList_.Selection();
    for (const Control c : kRecordingLocked) controls_[c].enabled = false;
    eventList_.Clear();
    recordedCount_ = 0;
    lastTick_.reset();
    recording_ = true;
    services_.hooks.SetHookTarget(page_);
    services_.hooks.SetKeyForwarding(true);
}

void MacroPageModel::EndRecording() {
    for (const Control c : kRecordingLocked) controls_[c].enabled = true;
    services_.hooks.SetKeyForwarding(false);
    SaveEditedMacro();  // still recording: into the remembered macro
    recording_ = false;
}

void MacroPageModel::EndRecordingAtLimit() {
    services_.hooks.SetKeyForwarding(false);
    HideItemEditors();
    EndRecording();
    Tell(kRecordingFullText);
    FlushMessage();
}

int MacroPageModel::OnHookKey(std::uint32_t virtualKey, std::uint32_t flags) {
    // Keys still on their way when a recording or a key capture ended.
    if (!recording_ && !KeyEditorOpen()) return 0;
    const bool release = (flags & kKeyFlagUp) != 0;
    if (virtualKey == lastKey_.virtualKey && release == ((lastKey_.flags & kKeyFlagUp) != 0))
        return 0;  // a held key's automatic repeat
    if (KeyEditorOpen()) {
        SetEditText(kKeyEdit, KeyName(virtualKey, services_.keyboard));
        capturedKey_ = virtualKey;
        return 1;
    }
    const bool recordDelays = !controls_[kDelaySwitch].down;
    const int needed = (recordDelays && lastTick_) ? 2 : 1;
    if (recordedCount_ >= kMaxRecordedKeys || eventList_.Count() + needed > kMaxEventItems) {
        EndRecordingAtLimit();
        return 1;
    }
    if (recordDelays) {
        const std::uint32_t now = services_.clock.TickCount();
        if (lastTick_) eventList_.Append(DelayItem(std::min(now - *lastTick_, kMaxDelay)));
        lastTick_ = now;
    }
    eventList_.Append(KeyItem(release, virtualKey, services_.keyboard));
    ++recordedCount_;
    lastKey_ = {virtualKey, flags};
    return 1;
}

void MacroPageModel::OnPickerMouse(std::uintptr_t mouseMessage, Control picker) {
    if (!recording_ && !KeyEditorOpen()) return;
    std::uint32_t virtualKey = 0;
    switch (picker) {
        case kPickerLeft:
            virtualKey = kVkLeftButton;
            break;
        case kPickerMiddle:
            virtualKey = kVkMiddleButton;
            break;
        case kPickerRight:
            virtualKey = kVkRightButton;
            break;
        default:
            return;
    }
    std::uint32_t flags = 0;
    if (mouseMessage == kWmLButtonDown)
        flags = 0;
    else if (mouseMessage == kWmLButtonUp)
        flags = kKeyFlagUp;
    else
        return;
    // Through the same handler as a key, in order behind the keys posted.
    if (page_) page_->PostMessage(kMsgHookKey, virtualKey, static_cast<LParam>(flags));
}

// --- selection and renaming -------------------------------------------------------

void MacroPageModel::CloseEditorsForSelectionChange() {
    services_.hooks.SetKeyForwarding(false);
    HideItemEditors();
    editMode_ = EditMode::None;
}

void MacroPageModel::OnListSelChange(int listId) {
    if (listId == kMacroListId) {
        const int selection = macroList_.Selection();
        if (selection == rememberedMacro_) return;
        switching_ = true;
        if (EditorOpen()) CloseEditorsForSelectionChange();
        if (recording_) EndRecording();  // into the remembered macro
        rememberedMacro_ = selection;
        LoadMacroToList(selection);
        if (eventList_.Empty()) SetLoopCountText(u"1");
        selectedEvent_ = eventList_.Selection();
        switching_ = false;
    } else if (listId == kEventListId) {
        const int selection = eventList_.Selection();
        if (selection == selectedEvent_) return;
        selectedEvent_ = selection;
        if (EditorOpen()) {
            // A recording started while Insert or Modify was chosen keeps
            // receiving its keys.
            if (!recording_) services_.hooks.SetKeyForwarding(false);
            HideItemEditors();
            editMode_ = EditMode::None;
        }
    }
}

void MacroPageModel::OnListEditDone(int listId, int index, std::u16string text) {
    // Only the macro list has an in-place editor: an event's text always
    // shows the event.
    if (listId != kMacroListId || !macroList_.Valid(index)) return;
    macroList_.TextEditedByUser(index, text);
    const std::uint32_t id = macroList_.Data(index);
    if (id == kNoMacroId) return;
    // A macro not stored yet takes its name when it is first stored.
    services_.store.RenameMacro(id, text);
}

// --- item editors ------------------------------------------------------------------

void MacroPageModel::HideItemEditors() {
    for (const Control c : {kKeyTypeButton, kDelayTypeButton, kPositionTypeButton}) {
        SetDown(c, false);
        Show(c, false);
    }
    for (const Control c : {kKeyEdit, kDelayEdit, kXEdit, kYEdit}) {
        SetEditText(c, {});
        Show(c, false);
    }
    for (const Control c : {kKeyOkButton, kDelayOkButton, kXUpButton, kXDownButton, kYUpButton,
                            kYDownButton, kPositionOkButton})
        Show(c, false);
}

bool MacroPageModel::Inserting() const {
    return editMode_ == EditMode::InsertChosen || editMode_ == EditMode::InsertKey ||
           editMode_ == EditMode::InsertDelay || editMode_ == EditMode::InsertPosition;
}

void MacroPageModel::CaptureKeys() {
    services_.hooks.SetHookTarget(page_);
    services_.hooks.SetKeyForwarding(true);
}

void MacroPageModel::Insert() {
    HideItemEditors();
    editMode_ = EditMode::InsertChosen;
    for (const Control c : {kKeyTypeButton, kDelayTypeButton, kPositionTypeButton}) Show(c, true);
}

void MacroPageModel::DeleteEvent() {
    HideItemEditors();
    const int index = eventList_.Selection();
    if (!eventList_.Valid(index)) return;
    eventList_.Remove(index);
    // The last event's removal stores nothing: the table keeps the macro's
    // events until the list holds an item again.
    if (!eventList_.Empty()) SaveEditedMacro();
    selectedEvent_ = eventList_.Selection();
}

void MacroPageModel::Modify() {
    HideItemEditors();
    services_.hooks.SetKeyForwarding(false);
    const int index = eventList_.Selection();
    if (!eventList_.Valid(index)) return;
    editMode_ = EditMode::ModifyChosen;
    switch (eventList_.Type(index)) {
        case kItemPress:
        case kItemRelease:
            editMode_ = EditMode::ModifyKey;
            CaptureKeys();
            SetDown(kKeyTypeButton, true);
            Show(kKeyTypeButton, true);
            for (const Control c : kKeyEditorControls) Show(c, true);
            focusRequest_ = kKeyEdit;
            break;
        case kItemDelay:
            editMode_ = EditMode::ModifyDelay;
            SetDown(kDelayTypeButton, true);
            Show(kDelayTypeButton, true);
            for (const Control c : kDelayEditorControls) Show(c, true);
            focusRequest_ = kDelayEdit;
            break;
        case kItemPosition: {
            editMode_ = EditMode::ModifyPosition;
            const CursorPoint p = UnpackCursorPosition(EventValue(eventList_.Data(index)));
            x_ = p.x;
            y_ = p.y;
            WritePosition();
            SetDown(kPositionTypeButton, true);
            Show(kPositionTypeButton, true);
            for (const Control c : kPositionEditorControls) Show(c, true);
            focusRequest_ = kXEdit;
            break;
        }
        default:
            break;
    }
}

void MacroPageModel::KeyTypeButton() {
    editMode_ = Inserting() ? EditMode::InsertKey : EditMode::ModifyKey;
    SetDown(kKeyTypeButton, true);
    SetEditText(kKeyEdit, {});
    for (const Control c : kKeyEditorControls) Show(c, true);
    focusRequest_ = kKeyEdit;
    SetDown(kDelayTypeButton, false);
    SetDown(kPositionTypeButton, false);
    for (const Control c : kDelayEditorControls) Show(c, false);
    for (const Control c : kPositionEditorControls) Show(c, false);
    capturedKey_ = 0;
    CaptureKeys();
}

void MacroPageModel::DelayTypeButton() {
    editMode_ = Inserting() ? EditMode::InsertDelay : EditMode::ModifyDelay;
    SetDown(kDelayTypeButton, true);
    SetEditText(kDelayEdit, {});
    for (const Control c : kDelayEditorControls) Show(c, true);
    focusRequest_ = kDelayEdit;
    SetDown(kKeyTypeButton, false);
    SetDown(kPositionTypeButton, false);
    for (const Control c : kKeyEditorControls) Show(c, false);
    for (const Control c : kPositionEditorControls) Show(c, false);
    services_.hooks.SetKeyForwarding(false);
}

void MacroPageModel::PositionTypeButton() {
    editMode_ = Inserting() ? EditMode::InsertPosition : EditMode::ModifyPosition;
    SetDown(kPositionTypeButton, true);
    for (const Control c : kPositionEditorControls) Show(c, true);
    focusRequest_ = kXEdit;
    if (editMode_ == EditMode::InsertPosition) {
        x_ = 0;
        y_ = 0;
        WritePosition();
    }
    SetDown(kKeyTypeButton, false);
    SetDown(kDelayTypeButton, false);
    for (const Control c : kKeyEditorControls) Show(c, false);
    for (const Control c : kDelayEditorControls) Show(c, false);
    services_.hooks.SetKeyForwarding(false);
}

bool MacroPageModel::RoomFor(int items) {
    if (eventList_.Count() + items <= kMaxEventItems) return true;
    Tell(kInsertFullText);
    return false;
}

void MacroPageModel::ApplyInsert() {
    const int k = eventList_.Selection();
    if (k != -1 || editMode_ == EditMode::InsertPosition) {
        switch (editMode_) {
            case EditMode::InsertKey:
                services_.hooks.SetKeyForwarding(false);
                if (capturedKey_ != 0 && RoomFor(2)) {
                    // Both come before the item that was selected.
                    eventList_.Insert(k, KeyItem(false, capturedKey_, services_.keyboard));
                    eventList_.Insert(k + 1, KeyItem(true, capturedKey_, services_.keyboard));
                }
                break;
            case EditMode::InsertDelay: {
                const auto number = ParseWholeNumber(texts_[kDelayEdit]);
                // A macro does not begin with a pause: nothing before the first item.
                if (!number || k <= 0) break;
                const std::uint32_t d = std::min(*number, kMaxDelay);
                auto merged = [&](int at) {
                    return DelayItem(
                        std::min(EventValue(eventList_.Data(at)) + d, kMaxMergedDelay));
                };
                if (eventList_.Type(k - 1) == kItemDelay)
                    eventList_.Replace(k - 1, merged(k - 1));
                else if (eventList_.Type(k) == kItemDelay)
                    eventList_.Replace(k, merged(k));
                else if (RoomFor(1))
                    eventList_.Insert(k, DelayItem(d));
                break;
            }
            case EditMode::InsertPosition:
                if (RoomFor(1)) {
                    if (k == -1)
                        eventList_.Append(PositionItem(x_, y_));
                    else
                        eventList_.Insert(k, PositionItem(x_, y_));
                }
                break;
            default:
                break;
        }
    }
    services_.hooks.SetKeyForwarding(false);
    HideItemEditors();
    selectedEvent_ = eventList_.Selection();
}

void MacroPageModel::ApplyModify() {
    const int k = eventList_.Selection();
    if (eventList_.Valid(k)) {
        switch (eventList_.Type(k)) {
            case kItemPress:
            case kItemRelease:
                // The partner press or release keeps its key.
                if (capturedKey_ != 0)
                    eventList_.Replace(k, KeyItem(eventList_.Type(k) == kItemRelease, capturedKey_,
                                                  services_.keyboard));
                break;
            case kItemDelay:
                if (const auto number = ParseWholeNumber(texts_[kDelayEdit]))
                    eventList_.Replace(k, DelayItem(std::min(*number, kMaxDelay)));
                break;
            case kItemPosition:
                eventList_.Replace(k, PositionItem(x_, y_));
                break;
            default:
                break;
        }
    }
    services_.hooks.SetKeyForwarding(false);
    HideItemEditors();
    selectedEvent_ = eventList_.Selection();
}

void MacroPageModel::KeyOk() {
    if (editMode_ == EditMode::InsertKey)
        ApplyInsert();
    else if (editMode_ == EditMode::ModifyKey)
        ApplyModify();
    SaveEditedMacro();
    editMode_ = EditMode::None;
    FlushMessage();
}

void MacroPageModel::DelayOk() {
    if (editMode_ == EditMode::InsertDelay)
        ApplyInsert();
    else if (editMode_ == EditMode::ModifyDelay)
        ApplyModify();
    SaveEditedMacro();
    editMode_ = EditMode::None;
    FlushMessage();
}

void MacroPageModel::PositionOk() {
    ReadPosition();
    if (editMode_ == EditMode::InsertPosition)
        ApplyInsert();
    else if (editMode_ == EditMode::ModifyPosition)
        ApplyModify();
    SaveEditedMacro();
    editMode_ = EditMode::None;
    FlushMessage();
}

void MacroPageModel::ReadPosition() {
    // A text that is not a number keeps the previous value, shown again.
    if (const auto x = ParseSignedNumber(texts_[kXEdit]))
        x_ = *x;
    else
        SetEditText(kXEdit, DecimalText(x_));
    if (const auto y = ParseSignedNumber(texts_[kYEdit]))
        y_ = *y;
    else
        SetEditText(kYEdit, DecimalText(y_));
}

void MacroPageModel::WritePosition() {
    SetEditText(kXEdit, DecimalText(x_));
    SetEditText(kYEdit, DecimalText(y_));
}

void MacroPageModel::XUp() {
    ReadPosition();
    x_ = x_ < kMaxCoordinate ? x_ + 1 : kMaxCoordinate;
    WritePosition();
}

void MacroPageModel::XDown() {
    ReadPosition();
    x_ = x_ > kMinCoordinate ? x_ - 1 : kMinCoordinate;
    WritePosition();
}

void MacroPageModel::YUp() {
    ReadPosition();
    y_ = y_ < kMaxCoordinate ? y_ + 1 : kMaxCoordinate;
    WritePosition();
}

void MacroPageModel::YDown() {
    ReadPosition();
    // y may step once below x's bound, then starts again from it.
    y_ = y_ > kMinCoordinate - 1 ? y_ - 1 : kMinCoordinate;
    WritePosition();
}

// --- loop controls -----------------------------------------------------------------

void MacroPageModel::LoopCountSwitch() {
    SetDown(kLoopCountSwitch, true);
    SetDown(kLoopWhileHeldSwitch, false);
    SetDown(kLoopToggleSwitch, false);
    Show(kLoopCountEdit, true);
    SaveEditedMacro();
}

void MacroPageModel::LoopWhileHeldSwitch() {
    SetDown(kLoopCountSwitch, false);
    Show(kLoopCountEdit, false);
    SetDown(kLoopWhileHeldSwitch, true);
    SetDown(kLoopToggleSwitch, false);
    SaveEditedMacro();
}

void MacroPageModel::LoopToggleSwitch() {
    SetDown(kLoopCountSwitch, false);
    Show(kLoopCountEdit, false);
    SetDown(kLoopWhileHeldSwitch, false);
    SetDown(kLoopToggleSwitch, true);
    SaveEditedMacro();
}

void MacroPageModel::DelaySwitch() {
    SetDown(kDelaySwitch, !controls_[kDelaySwitch].down);
}

void MacroPageModel::SetLoopCountText(std::u16string text) {
    if (texts_[kLoopCountEdit] == text) return;
    texts_[kLoopCountEdit] = std::move(text);
    if (!switching_) SaveEditedMacro();
}

// --- commands, texts, messages ----------------------------------------------------

bool MacroPageModel::Command(Control control) {
    switch (control) {
        case kNewMacroButton:
            NewMacro();
            return true;
        case kDeleteMacroButton:
            DeleteMacro();
            return true;
        case kImportButton:
            ImportMacro();
            return true;
        case kExportButton:
            ExportMacro();
            return true;
        case kRecordButton:
            ToggleRecording();
            return true;
        case kInsertButton:
            Insert();
            return true;
        case kDeleteEventButton:
            DeleteEvent();
            return true;
        case kModifyButton:
            Modify();
            return true;
        case kKeyTypeButton:
            KeyTypeButton();
            return true;
        case kDelayTypeButton:
            DelayTypeButton();
            return true;
        case kPositionTypeButton:
            PositionTypeButton();
            return true;
        case kKeyOkButton:
            KeyOk();
            return true;
        case kDelayOkButton:
            DelayOk();
            return true;
        case kPositionOkButton:
            PositionOk();
            return true;
        case kXUpButton:
            XUp();
            return true;
        case kXDownButton:
            XDown();
            return true;
        case kYUpButton:
            YUp();
            return true;
        case kYDownButton:
            YDown();
            return true;
        case kLoopCountSwitch:
            LoopCountSwitch();
            return true;
        case kLoopWhileHeldSwitch:
            LoopWhileHeldSwitch();
            return true;
        case kLoopToggleSwitch:
            LoopToggleSwitch();
            return true;
        case kDelaySwitch:
            DelaySwitch();
            return true;
        default:
            return false;
    }
}

std::u16string MacroPageModel::Text(Control control) const {
    switch (control) {
        case kCategoryButton:
            return std::u16string(CategoryButtonText(
                currentCategory_ == 0 ? static_cast<std::int32_t>(kMacroCategoryOwn)
                                      : currentCategory_,
                Chinese()));
        case kRecordButton:
            return std::u16string(Pick(recording_ ? kStopRecordText : kStartRecordText));
        default:
            return texts_[control];
    }
}

std::optional<Control> MacroPageModel::TakeFocusRequest() {
    auto request = focusRequest_;
    focusRequest_.reset();
    return request;
}

std::vector<int> MacroPageModel::HintsAt(int x, int y) const {
    return macro::HintsAt(x, y, recording_, [this](Control c) { return controls_[c].visible; });
}

void MacroPageModel::Tell(const PageText& text) {
    pendingMessage_ = text;
}

void MacroPageModel::FlushMessage() {
    if (!pendingMessage_) return;
    const PageText text = *pendingMessage_;
    pendingMessage_.reset();
    if (beforeMessage_) beforeMessage_();
    services_.notifier.ShowInfoMessage(Pick(text));
}

}  // namespace qx::macro
