#include "buttons/Setting_SingleComboDlg.h"

#include <QPainter>

#include "base/KeyTables.h"
#include "ui/GDIBitmapBtn.h"
#include "ui/SkinPicture.h"
#include "ui/layout/SkinFiles.h"

namespace qx::buttons {

namespace E = layout::editor;

namespace {
// The painted key sits in the first rectangle; the second, a little wider,
// is what a new key repaints.
const QRect kKeyText = ui::ToQRect(E::kCapturedKey);
const QRect kKeyRepaint(168, 77, 326 - 168, 100 - 77);
}  // namespace

CSetting_SingleComboDlg::CSetting_SingleComboDlg(QWidget* parent,
                                                 const ui::PageEnvironment& environment,
                                                 SettingEditorModel& model,
                                                 const KeyboardLayout& layout)
    : ui::CPageWnd(parent, environment), model_(model), layout_(layout) {
    SetPictures(ui::LoadSkinPicture(ui::SkinPath(env_.appFolder, skin::kComboTab[0])).image,
                ui::LoadSkinPicture(ui::SkinPath(env_.appFolder, skin::kComboTab[1])).image,
                ui::LoadSkinPicture(ui::SkinPath(env_.appFolder, skin::kComboTab[2])).image);
    for (int i = 0; i < 4; ++i) {
        const layout::Rect& r = E::kModifierBoxes[static_cast<std::size_t>(i)];
        auto* box = new ui::CGDIBitmapBtn(this, i);
        box->SetImages(r.left, r.top, r.right, r.bottom, &NormalPicture(), &OverPicture(),
                       &DownPicture(), &NormalPicture());
        box->SetCheckMode(true);
        boxes_[static_cast<std::size_t>(i)] = box;
    }

    messageMap_
        .On(kWmCommand,
            [this](WParam, LParam control) {
                ComboTabState& c = model_.combo;
                bool* flags[4] = {&c.ctrl, &c.alt, &c.shift, &c.win};
                for (int i = 0; i < 4; ++i)
                    if (control == ui::WindowHandle(boxes_[static_cast<std::size_t>(i)]))
                        *flags[i] = !*flags[i];
                ShowBoxes();
            })
        .On(kMsgHookKey, [this](WParam virtualKey, LParam flags) {
            switch (OnComboHookKey(model_.combo, static_cast<std::uint32_t>(virtualKey),
                                   static_cast<std::uint32_t>(flags))) {
                case ComboKeyEffect::ModifierToggled:
                    ShowBoxes();
                    break;
                case ComboKeyEffect::KeyCaptured:
                    update(kKeyRepaint);
                    break;
                case ComboKeyEffect::None:
                    break;
            }
        });
}

void CSetting_SingleComboDlg::ShowBoxes() {
    const ComboTabState& c = model_.combo;
    const bool states[4] = {c.ctrl, c.alt, c.shift, c.win};
    for (int i = 0; i < 4; ++i) boxes_[static_cast<std::size_t>(i)]->SetSelected(states[i]);
}

QString CSetting_SingleComboDlg::KeyText() const {
    if (model_.combo.capturedKey == 0) return {};
    const std::u16string name = ComboKeyName(model_.combo.capturedKey, layout_);
    return QString::fromStdU16String(name);
}

void CSetting_SingleComboDlg::paintEvent(QPaintEvent* e) {
    ui::CPageWnd::paintEvent(e);
    const QString text = KeyText();
    if (text.isEmpty()) return;
    QPainter p(this);
    p.setFont(ui::ShellDlgFont(14, 300));
    p.setPen(QColor(0x17, 0x94, 0xC3));
    p.drawText(kKeyText, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
               p.fontMetrics().elidedText(text, Qt::ElideRight, kKeyText.width()));
}

}  // namespace qx::buttons
