#include "macro/DlgMacro.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPainter>
#include <QRegularExpressionValidator>
#include <QSignalBlocker>
#include <QtDebug>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "base/Text.h"
#include "i18n/LanguageTable.h"
#include "ui/GDIBitmapBtn.h"
#include "ui/ListBoxEx.h"
#include "ui/SkinPicture.h"
#include "ui/SkinScrollBar.h"
#include "ui/layout/SkinFiles.h"

namespace qx::macro {

namespace {

QString ToQString(std::u16string_view text) {
    return QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size()));
}

std::u16string FromQString(const QString& text) {
    return std::u16string(reinterpret_cast<const char16_t*>(text.utf16()),
                          static_cast<std::size_t>(text.size()));
}

// Windows colour values (0x00BBGGRR) of the page's lists and edits.
QColor FromColorRef(std::uint32_t value) {
    return QColor(value & 0xFF, (value >> 8) & 0xFF, (value >> 16) & 0xFF);
}
constexpr std::uint32_t kListBack = 0x000000;
constexpr std::uint32_t kListSelectedBack = 0x141414;
constexpr std::uint32_t kListText = 0x676153;
constexpr std::uint32_t kListSelectedText = 0xB98C15;
constexpr std::uint32_t kEditText = 0xB98C15;
constexpr std::uint32_t kEditBack = 0x0F0F0F;
constexpr int kListItemHeight = 18;
// The category menu's colours, as the menu library takes them.
constexpr std::uint32_t kMenuColours[3] = {0x676153, 0xFFFFFF, 0xB98C15};

// For end-to-end tests, which cannot read pixels as text: when set, the page
// writes what it shows (captions and both lists) to this file at every paint.
std::filesystem::path PaintedTextFile() {
    const char* file = std::getenv("QX_TEST_PAINTED_TEXT_FILE");
    return file && *file ? std::filesystem::path(file) : std::filesystem::path();
}

std::string HexId(std::uint32_t id) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%08X", id);
    return text;
}

void WritePaintedText(const std::filesystem::path& file, const MacroPageModel& model) {
    std::string out = "category " + ToUtf8(model.Text(kCategoryButton)) + "\n";
    out += "record " + ToUtf8(model.Text(kRecordButton)) + "\n";
    const PageList& macros = model.MacroList();
    out += "macros " + std::to_string(macros.Count()) + " selected " +
           std::to_string(macros.Selection()) + "\n";
    for (const auto& item : macros.Items())
        out += "macro " + HexId(item.data) + " " + ToUtf8(item.text) + "\n";
    const PageList& events = model.EventList();
    out += "events " + std::to_string(events.Count()) + " selected " +
           std::to_string(events.Selection()) + "\n";
    static const char* const kinds[] = {"", "", "release", "press", "delay", "position"};
    for (const auto& item : events.Items()) {
        const auto type = item.data >> 24;
        out +=
            std::string("event ") + (type < 6 ? kinds[type] : "?") + " " + ToUtf8(item.text) + "\n";
    }
    // Whole or not at all: a test may read it at any moment.
    const auto partial = std::filesystem::path(file.string() + ".part");
    {
        std::ofstream stream(partial, std::ios::binary | std::ios::trunc);
        stream << out;
    }
    std::error_code ec;
    std::filesystem::rename(partial, file, ec);
}

}  // namespace

// Mirrors one of the model's lists into its list box. The box's own signals
// are blocked meanwhile: a change the page makes is not a selection by the user.
class CDlgMacro::ListMirror final : public PageListSink {
public:
    ListMirror(CDlgMacro& page, ui::CListBoxEx* list) : page_(page), list_(list) {}

    void Cleared() override {
        Guard g(*this);
        list_->clear();
    }
    void Inserted(int index, const PageListItem& item) override {
        Guard g(*this);
        list_->InsertString(index, ToQString(item.text), static_cast<std::int32_t>(item.data));
    }
    void Replaced(int index, const PageListItem& item) override {
        Guard g(*this);
        delete list_->takeItem(index);
        list_->InsertString(index, ToQString(item.text), static_cast<std::int32_t>(item.data));
    }
    void Removed(int index) override {
        Guard g(*this);
        delete list_->takeItem(index);
    }
    void Selected(int index) override {
        Guard g(*this);
        if (index < 0) {
            list_->clearSelection();
            list_->setCurrentRow(-1);
            return;
        }
        list_->setCurrentRow(index);
        list_->scrollToItem(list_->item(index));
    }
    void RedrawSuspended(bool suspended) override { list_->setUpdatesEnabled(!suspended); }
    void EditRequested(int index) override {
        Guard g(*this);
        list_->BeginEdit(index);
    }

private:
    struct Guard {
        explicit Guard(ListMirror& m) : mirror(m), blocker(m.list_), was(m.page_.mirroring_) {
            m.page_.mirroring_ = true;
        }
        ~Guard() { mirror.page_.mirroring_ = was; }
        ListMirror& mirror;
        QSignalBlocker blocker;
        bool was;
    };

    CDlgMacro& page_;
    ui::CListBoxEx* list_;
};

CDlgMacro::CDlgMacro(QWidget* parent, const ui::PageEnvironment& environment, MacroStore& store,
                     InputHooks& hooks, const ProfileState& profiles,
                     const KeyboardLayout& keyboard, const MenuLibrary& menus, Clock& clock)
    : ui::CPageWnd(parent, environment),
      menus_(menus),
      model_(MacroPageServices{store, hooks, environment.notifier, clock, keyboard,
                               environment.language, profiles}) {
    ui::WindowPictures pictures =
        ui::LoadWindowPictures(env_.appFolder, skin::kMacroPage,
                               model_.ChineseLayout() ? &skin::kMacroPageChinese : nullptr);
    SetPictures(std::move(pictures.normal), std::move(pictures.over), std::move(pictures.down));
    CreateControls();

    model_.SetPageHandle(Handle());
    model_.SetDebugTrace([](std::u16string_view text) { qDebug("%s", ToUtf8(text).c_str()); });
    model_.SetBeforeMessage([this] { Sync(); });
    macroMirror_ = std::make_unique<ListMirror>(*this, macroList_);
    eventMirror_ = std::make_unique<ListMirror>(*this, eventList_);
    model_.MacroList().SetSink(macroMirror_.get());
    model_.EventList().SetSink(eventMirror_.get());

    messageMap_.On(kWmCommand, [this](WParam id, LParam) { OnCommand(id); })
        .On(kMsgListSelChange, [this](WParam id, LParam) { OnListSelChange(static_cast<int>(id)); })
        .On(kMsgListEditDone,
            [this](WParam id, LParam index) {
                OnListEditDone(static_cast<int>(id), static_cast<int>(index));
            })
        .On(kMsgHookKey,
            [this](WParam vk, LParam flags) {
                model_.OnHookKey(static_cast<std::uint32_t>(vk), static_cast<std::uint32_t>(flags));
                Sync();
            })
        .On(kMsgButtonMouse, [this](WParam m, LParam w) { OnPickerMouse(m, w); })
        .On(kMsgMenuChoice,
            [this](WParam, LParam id) { OnMenuChoice(static_cast<std::int32_t>(id)); })
        .On(kWmMouseMove, [this](WParam, LParam pos) {
            PostHints(QPoint(static_cast<std::int16_t>(pos & 0xFFFF),
                             static_cast<std::int16_t>((pos >> 16) & 0xFFFF)));
        });

    // The dialog's initialisation.
    model_.Initialise();
    normaliseTimer_.setInterval(kNormaliseTimerMs);
    connect(&normaliseTimer_, &QTimer::timeout, this, [this] { OnTimer(); });
    normaliseTimer_.start();

    SetTooltips();
    tooltipObserver_ = env_.tooltips.Add([this] {
        SetTooltips();
        Sync();  // the captions follow the language too
    });
    qApp->installEventFilter(this);
    Sync();
}

CDlgMacro::~CDlgMacro() {
    qApp->removeEventFilter(this);
    // The open menu knows this window as its owner.
    CloseCategoryMenu();
    if (tooltipObserver_ != 0) env_.tooltips.Remove(tooltipObserver_);
    model_.SetBeforeMessage(nullptr);
    // A recording still running is kept, and the hooks go back to the main window.
    model_.StopRecording();
    model_.ReleaseHooks();
    model_.MacroList().SetSink(nullptr);
    model_.EventList().SetSink(nullptr);
    // The controls outlive the model while the window's base deletes them;
    // nothing they signal on the way may reach it.
    for (QObject* child : findChildren<QObject*>()) disconnect(child, nullptr, this, nullptr);
}

void CDlgMacro::CreateControls() {
    const QImage& normal = NormalPicture();
    const QImage& over = OverPicture();
    const QImage& down = DownPicture();
    for (int i = 0; i < kControlCount; ++i) {
        const ControlRow& row = kControls[i];
        const layout::Rect r = ControlRect(static_cast<Control>(i), model_.ChineseLayout());
        const QRect rect(r.left, r.top, r.Width(), r.Height());
        switch (row.kind) {
            case ControlKind::Button:
            case ControlKind::CheckButton:
            case ControlKind::Picker: {
                auto* b = new ui::CGDIBitmapBtn(this, row.id);
                const QImage* looks[4] = {&normal, &over, &down, &normal};
                if (row.skin == SkinRule::Category) looks[1] = &normal;
                if (row.skin == SkinRule::Picker) looks[1] = &down;
                if (row.skin == SkinRule::Ok) looks[0] = &over;
                b->SetImages(r.left, r.top, r.right, r.bottom, looks[0], looks[1], looks[2],
                             looks[3]);
                b->SetCheckMode(row.kind == ControlKind::CheckButton);
                if (row.kind == ControlKind::Picker) {
                    connect(b, &QAbstractButton::pressed, this, [this, b] {
                        PostMessage(kMsgButtonMouse, kWmLButtonDown, ui::WindowHandle(b));
                    });
                    connect(b, &QAbstractButton::released, this, [this, b] {
                        PostMessage(kMsgButtonMouse, kWmLButtonUp, ui::WindowHandle(b));
                    });
                }
                widgets_[i] = b;
                break;
            }
            case ControlKind::List: {
                auto* list = new ui::CListBoxEx(this, row.id);
                list->setGeometry(rect);
                list->SetItemHeight(kListItemHeight);
                list->SetBackColors(FromColorRef(kListBack), FromColorRef(kListSelectedBack));
                list->SetTextColors(FromColorRef(kListText), FromColorRef(kListSelectedText));
                list->SetNotifyWindow(this);
                list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
                const int listIndex = row.id == kMacroListId ? 0 : 1;
                // What the user selects reaches the model at once; the list's
                // notification then reports it.
                connect(
                    list, &ui::CListBoxEx::UserSelectionChanged, this, [this, listIndex](int r) {
                        if (mirroring_) return;
                        PageList& model = listIndex == 0 ? model_.MacroList() : model_.EventList();
                        model.SelectedByUser(r);
                        userSelection_[listIndex] = true;
                    });
                if (row.id == kMacroListId) {
                    list->SetEditEnabled(true);
                    macroList_ = list;
                } else {
                    list->LoadEventIcons(env_.appFolder / "skins");
                    eventList_ = list;
                }
                widgets_[i] = new ui::CSkinScrollWnd(this, list);
                break;
            }
            case ControlKind::Edit: {
                auto* edit = new QLineEdit(this);
                edit->setGeometry(rect);
                edit->setFrame(false);
                edit->setFont(ui::ShellDlgFont(12, 400));
                QPalette pal = edit->palette();
                pal.setColor(QPalette::Text, FromColorRef(kEditText));
                pal.setColor(QPalette::Base, FromColorRef(kEditBack));
                pal.setColor(QPalette::Window, FromColorRef(kEditBack));
                edit->setPalette(pal);
                edit->setAutoFillBackground(true);
                const auto control = static_cast<Control>(i);
                if (control == kLoopCountEdit || control == kDelayEdit) {
                    edit->setValidator(new QRegularExpressionValidator(
                        QRegularExpression(QStringLiteral("[0-9]*")), edit));
                }
                if (control == kLoopCountEdit) {
                    edit->setAlignment(Qt::AlignCenter);
                    edit->setMaxLength(100);
                }
                // The key edit only shows the captured key's name.
                if (control == kKeyEdit) edit->setReadOnly(true);
                connect(edit, &QLineEdit::textEdited, this, [this, control](const QString& t) {
                    const std::u16string text = FromQString(t);
                    switch (control) {
                        case kLoopCountEdit:
                            model_.SetLoopCountText(text);
                            Sync();
                            break;
                        case kDelayEdit:
                            model_.SetDelayText(text);
                            break;
                        case kXEdit:
                            model_.SetXText(text);
                            break;
                        case kYEdit:
                            model_.SetYText(text);
                            break;
                        default:
                            break;
                    }
                });
                widgets_[i] = edit;
                break;
            }
            case ControlKind::Picture:
                break;  // drawn by the page's picture; its rectangle only asks for help
        }
    }
}

void CDlgMacro::SetTooltips() {
    for (int i = 0; i < kControlCount; ++i) {
        if (!widgets_[i] || kControls[i].tooltip.empty()) continue;
        widgets_[i]->setToolTip(ToQString(env_.language.table.Text(kControls[i].tooltip)));
    }
}

void CDlgMacro::Sync() {
    for (int i = 0; i < kControlCount; ++i) {
        QWidget* w = widgets_[i];
        if (!w) continue;
        const auto control = static_cast<Control>(i);
        const ControlState& state = model_.State(control);
        if (w->isVisibleTo(this) != state.visible) w->setVisible(state.visible);
        if (w->isEnabled() != state.enabled) w->setEnabled(state.enabled);
        if (auto* b = qobject_cast<ui::CGDIBitmapBtn*>(w)) {
            b->SetSelected(state.down);
            const QString caption = ToQString(model_.Text(control));
            if (b->text() != caption) b->setText(caption);
        } else if (auto* edit = qobject_cast<QLineEdit*>(w)) {
            const QString text = ToQString(model_.Text(control));
            // Setting the same text again would move the caret.
            if (edit->text() != text) edit->setText(text);
        }
    }
    if (const auto focus = model_.TakeFocusRequest())
        if (QWidget* w = widgets_[*focus]) w->setFocus();
    update();
}

void CDlgMacro::FinishRename() {
    if (!macroList_->IsEditing()) return;
    QLineEdit* editor = macroList_->Editor();
    const int index = macroList_->indexAt(editor->geometry().center()).row();
    // The edit commits when it loses the focus; the rename is taken over now,
    // while the index still names the edited macro.
    QFocusEvent out(QEvent::FocusOut, Qt::OtherFocusReason);
    QCoreApplication::sendEvent(editor, &out);
    if (index >= 0)
        model_.OnListEditDone(kMacroListId, index, FromQString(macroList_->GetText(index)));
}

void CDlgMacro::OnCommand(WParam id) {
    const Control control = ControlOfButtonId(id);
    if (control == kControlCount) return;
    FinishRename();
    if (control == kCategoryButton) {
        OpenCategoryMenu();
        return;
    }
    model_.Command(control);
    Sync();
}

void CDlgMacro::OnListSelChange(int listId) {
    const int listIndex = listId == kMacroListId ? 0 : listId == kEventListId ? 1 : -1;
    // Only a selection the user made counts: a notification left over from a
    // change the page made itself would load or store the wrong macro.
    if (listIndex < 0 || !userSelection_[listIndex]) return;
    userSelection_[listIndex] = false;
    model_.OnListSelChange(listId);
    Sync();
}

void CDlgMacro::OnListEditDone(int listId, int index) {
    if (listId != kMacroListId || index < 0 || index >= macroList_->count()) return;
    model_.OnListEditDone(listId, index, FromQString(macroList_->GetText(index)));
    Sync();
}

void CDlgMacro::OnPickerMouse(WParam message, LParam window) {
    for (const Control picker : {kPickerLeft, kPickerMiddle, kPickerRight}) {
        if (ui::WindowHandle(widgets_[picker]) != window) continue;
        model_.OnPickerMouse(message, picker);
        return;
    }
}

void CDlgMacro::OpenCategoryMenu() {
    const auto items = model_.CategoryMenuItems();
    std::array<std::string, 8> paths;
    for (int i = 0; i < 4; ++i) {
        const std::string_view file = skin::kGameMenu[i == 3 ? 0 : i];
        const std::string_view sub = skin::kSubMenu[i == 3 ? 0 : i];
        paths[i] = (env_.appFolder / "skins" / "Menu" / std::string(file)).string();
        paths[4 + i] = (env_.appFolder / "skins" / "Menu" / std::string(sub)).string();
    }
    const char* pictures[8];
    for (int i = 0; i < 8; ++i) pictures[i] = paths[i].c_str();
    QWidget* button = widgets_[kCategoryButton];
    const QPoint corner = button->mapToGlobal(QPoint(0, button->height()));
    if (menus_.CreateMenuEx)
        menus_.CreateMenuEx(Handle().get(), 24, {corner.x() + 1, corner.y() + 1}, kMenuColours[0],
                            kMenuColours[1], kMenuColours[2], pictures, items.data(),
                            static_cast<std::int32_t>(items.size()));
}

void CDlgMacro::OnMenuChoice(std::int32_t category) {
    CloseCategoryMenu();
    FinishRename();
    model_.SelectCategory(category);
    Sync();
}

void CDlgMacro::OnTimer() {
    model_.NormaliseLoopCount();
    Sync();
}

void CDlgMacro::FillMacroList(std::int32_t category) {
    FinishRename();
    model_.FillMacroList(category);
    Sync();
}

void CDlgMacro::StopRecording() {
    model_.StopRecording();
    Sync();
}

void CDlgMacro::CloseCategoryMenu() {
    if (menus_.DestroyMenuEx) menus_.DestroyMenuEx();
}

void CDlgMacro::NormaliseLoopCount() {
    model_.NormaliseLoopCount();
    Sync();
}

void CDlgMacro::PostHints(QPoint at) {
    for (const int hint : model_.HintsAt(at.x(), at.y())) PostHint(hint);
}

bool CDlgMacro::eventFilter(QObject* watched, QEvent* event) {
    // Enter, Escape and Space neither press nor close anything on the page,
    // and type nothing into its edits (the rename editor included).
    if (event->type() == QEvent::KeyPress || event->type() == QEvent::KeyRelease) {
        auto* widget = qobject_cast<QWidget*>(watched);
        if (widget && (widget == this || isAncestorOf(widget)) &&
            ui::IsDroppedKey(static_cast<QKeyEvent*>(event)->key()))
            return true;
    }
    return ui::CPageWnd::eventFilter(watched, event);
}

void CDlgMacro::paintEvent(QPaintEvent* e) {
    ui::CPageWnd::paintEvent(e);
    // The picture shows every editor; while one is closed its place is
    // dimmed, so it does not look like something that can be pressed. The
    // controls that are shown draw themselves over the veil.
    struct Area {
        Control shownWith;  // the area is clear while this control is shown
        std::initializer_list<Control> controls;
        int growLeft;  // labels of the picture left of the first control
    };
    static const Area areas[] = {
        {kKeyEdit, {kKeyTypeButton, kKeyEdit, kKeyOkButton}, 0},
        {kDelayEdit, {kDelayTypeButton, kDelayEdit, kDelayOkButton}, 0},
        {kXEdit,
         {kPositionTypeButton, kXEdit, kXUpButton, kXDownButton, kYEdit, kYUpButton, kYDownButton,
          kPositionOkButton},
         0},
        {kLoopCountEdit, {kLoopCountEdit}, 112},
    };
    QPainter p(this);
    const QColor veil(0x0B, 0x0E, 0x12, 200);
    for (const Area& area : areas) {
        if (model_.State(area.shownWith).visible) continue;
        QRect box;
        for (const Control c : area.controls) {
            const layout::Rect r = ControlRect(c, model_.ChineseLayout());
            box |= QRect(r.left, r.top, r.Width(), r.Height());
        }
        p.fillRect(box.adjusted(-3 - area.growLeft, -3, 3, 3), veil);
    }
    if (const auto file = PaintedTextFile(); !file.empty()) WritePaintedText(file, model_);
}

void CDlgMacro::mouseMoveEvent(QMouseEvent* e) {
    PostHints(e->position().toPoint());
    ui::CPageWnd::mouseMoveEvent(e);
}

void CDlgMacro::mousePressEvent(QMouseEvent* e) {
    CloseCategoryMenu();
    ui::CPageWnd::mousePressEvent(e);
}

}  // namespace qx::macro
