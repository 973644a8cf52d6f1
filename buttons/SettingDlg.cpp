#include "buttons/SettingDlg.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QWindow>

#include "buttons/Setting_AdvanceDlg.h"
#include "buttons/Setting_BaseDlg.h"
#include "buttons/Setting_MacroDlg.h"
#include "buttons/Setting_SingleComboDlg.h"
#include "i18n/LanguageTable.h"
#include "ui/GDIBitmapBtn.h"
#include "ui/SkinPicture.h"
#include "ui/layout/SkinFiles.h"

namespace qx::buttons {

namespace E = layout::editor;

namespace {

QString ToQString(std::u16string_view text) {
    return QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size()));
}

QImage Picture(const std::filesystem::path& appFolder, std::string_view file) {
    return ui::LoadSkinPicture(ui::SkinPath(appFolder, file)).image;
}

bool IsDroppedKeyEvent(QEvent* event) {
    return (event->type() == QEvent::KeyPress || event->type() == QEvent::KeyRelease) &&
           ui::IsDroppedKey(static_cast<QKeyEvent*>(event)->key());
}

}  // namespace

CSettingDlg::CSettingDlg(QWidget* parent, const ui::PageEnvironment& environment,
                         const ButtonsPageServices& services, int buttonIndex,
                         std::u16string currentName)
    : ui::CMessageDialog(parent),
      env_(environment),
      services_(services),
      currentName_(std::move(currentName)),
      model_(std::make_unique<SettingEditorModel>(buttonIndex, services.hooks)) {
    setWindowFlags(Qt::Dialog | Qt::FramelessWindowHint);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setWindowTitle(ToQString(env_.language.table.Text("str_panel")));
    normal_ = Picture(env_.appFolder, skin::kEditorFrame[0]);
    over_ = Picture(env_.appFolder, skin::kEditorFrame[1]);
    down_ = Picture(env_.appFolder, skin::kEditorFrame[2]);
    setFixedSize(normal_.isNull() ? QSize(E::kFrameSize.width, E::kFrameSize.height)
                                  : normal_.size());

    // Centred on the page that opens it.
    if (parent) {
        const QRect owner(parent->mapToGlobal(QPoint(0, 0)), parent->size());
        move(owner.center() - QPoint(width() / 2, height() / 2));
    }
    CreateControls();
    messageMap_.On(kWmCommand, [this](WParam, LParam control) { OnCommand(control); });
    SelectTab(1);
}

CSettingDlg::~CSettingDlg() {
    // However the editor went away, no tab captures keys any more.
    services_.hooks.SetKeyForwarding(false);
}

void CSettingDlg::CreateControls() {
    auto button = [this](const layout::Rect& r, bool check) {
        auto* b = new ui::CGDIBitmapBtn(this);
        b->SetImages(r.left, r.top, r.right, r.bottom, &normal_, &over_, &down_, &normal_);
        b->SetCheckMode(check);
        return b;
    };
    const LanguageTable& t = env_.language.table;
    close_ = button(E::kClose, false);
    const std::string_view tabKeys[kEditorTabCount] = {"str_key_com", "str_macro_set", "str_basic",
                                                       "str_advance"};
    for (int i = 0; i < kEditorTabCount; ++i) {
        tabButtons_[i] = button(E::kTabs[static_cast<std::size_t>(i)], true);
        tabButtons_[i]->setText(ToQString(t.Text(tabKeys[i])));
    }
    disable_ = button(E::kDisableBox, true);
    disable_->SetTooltip(ToQString(t.Text("str_disable")));
    default_ = button(E::kDefaultButton, false);
    default_->setText(ToQString(t.Text("str_default_setting")));
    ok_ = button(E::kOkButton, false);
    ok_->setText(ToQString(t.Text("str_ok")));

    const int buttonIndex = model_->Result().buttonIndex;
    combo_ = new CSetting_SingleComboDlg(this, env_, *model_, services_.keyboardLayout);
    macro_ = new CSetting_MacroDlg(this, env_, services_.macros);
    base_ = new CSetting_BaseDlg(this, env_);
    advance_ = new CSetting_AdvanceDlg(this, env_, *model_, buttonIndex, services_.fileDialogs);
    model_->SetComboTarget(combo_->Handle());
    for (int tab = 1; tab <= kEditorTabCount; ++tab) {
        QWidget* w = TabWindow(tab);
        w->move(E::kTabOrigin.x, E::kTabOrigin.y);
        if (w->size().isEmpty()) w->resize(E::kTabSize.width, E::kTabSize.height);
        w->hide();
    }
    // Enter, Escape and Space reach no control of the editor, whichever has
    // the focus; the key combination tab takes them from the keyboard hook.
    for (QWidget* child : findChildren<QWidget*>()) child->installEventFilter(this);
}

QWidget* CSettingDlg::TabWindow(int tab) const {
    switch (tab) {
        case 1:
            return combo_;
        case 2:
            return macro_;
        case 3:
            return base_;
        case 4:
            return advance_;
        default:
            return nullptr;
    }
}

int CSettingDlg::Run() {
    const int answer = exec();
    return answer == kIdOk ? kIdOk : kIdCancel;
}

void CSettingDlg::SelectTab(int tab) {
    model_->SelectTab(tab);
    ShowTabs();
}

void CSettingDlg::ShowTabs() {
    disable_->SetSelected(model_->Disabled());
    for (int tab = 1; tab <= kEditorTabCount; ++tab) {
        tabButtons_[tab - 1]->SetSelected(model_->SelectedTabButton() == tab);
        TabWindow(tab)->setVisible(static_cast<int>(model_->VisibleTab()) == tab);
    }
}

void CSettingDlg::OnCommand(LParam control) {
    auto is = [control](const QObject* widget) { return control == ui::WindowHandle(widget); };
    for (int tab = 1; tab <= kEditorTabCount; ++tab)
        if (is(tabButtons_[tab - 1])) {
            SelectTab(tab);
            return;
        }
    if (is(close_)) {
        End(model_->Close());
    } else if (is(disable_)) {
        model_->ToggleDisable();
        ShowTabs();
    } else if (is(default_)) {
        End(model_->DefaultSetting());
    } else if (is(ok_)) {
        // The lists are read as they stand when OK is pressed.
        model_->selectedMacro = macro_->SelectedMacro();
        model_->selectedBasic = base_->SelectedFunction();
        End(model_->Ok(env_.language.currentLanguage));
    }
}

void CSettingDlg::End(int code) {
    done(code);
}

void CSettingDlg::paintEvent(QPaintEvent* e) {
    QPainter p(this);
    if (normal_.isNull())
        p.fillRect(e->rect(), QColor(0x0F, 0x0F, 0x0F));
    else
        p.drawImage(e->rect(), normal_, e->rect());
    p.setFont(ui::ShellDlgFont(14, 300));
    const LanguageTable& t = env_.language.table;
    auto text = [&p](const layout::Rect& r, const QString& s, QColor colour, Qt::Alignment align) {
        const QRect box = ui::ToQRect(r);
        p.setPen(colour);
        p.drawText(box, align | Qt::AlignVCenter | Qt::TextSingleLine,
                   p.fontMetrics().elidedText(s, Qt::ElideRight, box.width()));
    };
    text(E::kPanelTitle, ToQString(t.Text("str_panel")), QColor(0x58, 0x5F, 0x69),
         Qt::AlignHCenter);
    text(E::kCurrentFunction, ToQString(t.Text("str_cur_function")) + ToQString(currentName_),
         QColor(0xBD, 0xBD, 0xC8), Qt::AlignLeft);
    text(E::kDisableLabel, ToQString(t.Text("str_disable")), QColor(0xBD, 0xBD, 0xC8),
         Qt::AlignLeft);
}

void CSettingDlg::mousePressEvent(QMouseEvent* e) {
    if (e->button() != Qt::LeftButton) return;
    // The background is the caption: it drags the window; without a window
    // manager, by hand.
    if (windowHandle() && windowHandle()->startSystemMove()) return;
    dragging_ = true;
    dragOffset_ = e->globalPosition().toPoint() - frameGeometry().topLeft();
}

void CSettingDlg::mouseMoveEvent(QMouseEvent* e) {
    if (dragging_) move(e->globalPosition().toPoint() - dragOffset_);
}

void CSettingDlg::mouseReleaseEvent(QMouseEvent*) {
    dragging_ = false;
}

void CSettingDlg::keyPressEvent(QKeyEvent* e) {
    if (ui::IsDroppedKey(e->key())) {
        e->accept();
        return;
    }
    ui::CMessageDialog::keyPressEvent(e);
}

void CSettingDlg::keyReleaseEvent(QKeyEvent* e) {
    if (ui::IsDroppedKey(e->key())) {
        e->accept();
        return;
    }
    ui::CMessageDialog::keyReleaseEvent(e);
}

bool CSettingDlg::eventFilter(QObject* watched, QEvent* event) {
    if (IsDroppedKeyEvent(event)) return true;
    return ui::CMessageDialog::eventFilter(watched, event);
}

}  // namespace qx::buttons
