#include "lighting/DlgLEDSet.h"

#include <QIntValidator>
#include <QMouseEvent>
#include <QPainter>

#include "i18n/LanguageTable.h"
#include "ui/BitmapEdit.h"
#include "ui/ColorBtn.h"
#include "ui/GDIBitmapBtn.h"
#include "ui/PngHSlider.h"
#include "ui/SkinPicture.h"
#include "ui/layout/SkinFiles.h"

namespace qx::lighting {
namespace {

// Command ids of the page's own buttons (WM_COMMAND wParam): the row of the
// control table, or the preset number, above a base each.
constexpr WParam kControlCommandBase = 1000;
constexpr WParam kPresetCommandBase = 1100;

QColor ToQColor(ColourValue c) {
    return QColor(RedOf(c), GreenOf(c), BlueOf(c));
}

QString ToQString(const std::u16string& text) {
    return QString::fromStdU16String(text);
}

// The selected slot's swatch is framed in the colour of pressed controls.
const QColor kSelectedFrame(0xF0, 0xB8, 0x3C);

}  // namespace

CDlgLEDSet::CDlgLEDSet(QWidget* parent, const ui::PageEnvironment& environment,
                       ProfileState& profile)
    : ui::CPageWnd(parent, environment),
      model_(profile.settings),
      chinese_(environment.language.chineseMode) {
    ui::WindowPictures pictures = ui::LoadWindowPictures(
        env_.appFolder, skin::kLighting, chinese_ ? &skin::kLightingChinese : nullptr);
    SetPictures(std::move(pictures.normal), std::move(pictures.over), std::move(pictures.down));
    CreateControls();
    SetTooltips();
    tooltipObserver_ = env_.tooltips.Add([this] { SetTooltips(); });

    messageMap_.On(kWmCommand, [this](WParam id, LParam) { OnCommand(id); })
        .On(kMsgSliderPos,
            [this](WParam position, LParam id) {
                model_.SliderMoved(static_cast<int>(id), static_cast<int>(position));
                ShowControls();
            })
        .On(kWmMouseMove, [this](WParam, LParam at) {
            // Reported by the picture buttons and swatches, in page pixels.
            OnPointerAt(QPoint(static_cast<std::int16_t>(at & 0xFFFF),
                               static_cast<std::int16_t>((at >> 16) & 0xFFFF)));
        });
    Refresh();
}

CDlgLEDSet::~CDlgLEDSet() {
    env_.tooltips.Remove(tooltipObserver_);
}

QRect CDlgLEDSet::ControlRect(Control control) const {
    return ui::ToQRect(kControls[control].Rect(chinese_));
}

void CDlgLEDSet::CreateControls() {
    const QImage& normal = NormalPicture();
    const QImage& over = OverPicture();
    const QImage& down = DownPicture();
    const std::filesystem::path thumbPath =
        env_.appFolder / "skins" / std::string(skin::kSliderThumb);

    auto pictureButton = [&](const layout::Rect& r, WParam command) {
        auto* b = new ui::CGDIBitmapBtn(this, static_cast<int>(command));
        b->SetImages(r.left, r.top, r.right, r.bottom, &normal, &over, &down, &normal);
        b->SetCheckMode(true);
        return b;
    };
    // Sliders and number boxes do not report the pointer themselves; the page
    // watches them for its hints.
    auto watched = [this](QWidget* w) {
        w->setMouseTracking(true);
        w->installEventFilter(this);
        return w;
    };

    for (int i = 0; i < kControlCount; ++i) {
        const auto control = static_cast<Control>(i);
        const ControlRow& row = kControls[i];
        const QRect r = ControlRect(control);
        switch (row.kind) {
            case ControlKind::CheckButton: {
                auto* b = pictureButton(row.Rect(chinese_), kControlCommandBase + i);
                if (control == kOwnColoursButton)
                    ownColours_ = b;
                else if (control == kBodyOnButton)
                    bodyOn_ = b;
                else if (control == kBodyOffButton)
                    bodyOff_ = b;
                else
                    for (int mode = 1; mode <= 6; ++mode)
                        if (ModeButton(mode) == control) modeButtons_[mode - 1] = b;
                break;
            }
            case ControlKind::Slider: {
                auto* s = new ui::CPngHSliderBar(thumbPath, r, this, row.id, normal);
                s->SetRange(row.minimum, row.maximum);
                watched(s);
                if (control == kBreathingSpeedSlider) breathingSpeed_ = s;
                if (control == kBrightnessSlider) brightness_ = s;
                if (control == kMode5SpeedSlider) mode5Speed_ = s;
                if (control >= kRedSlider && control <= kBlueSlider) {
                    s->SetTrackShortening(layout::lighting_page::kColourTrackShortening);
                    colourSliders_[control - kRedSlider] = s;
                }
                break;
            }
            case ControlKind::ColourSwatch: {
                // Only the multicolour swatches select a slot; slot 3 just shows.
                const bool slot3 = control == kSlot3Swatch;
                auto* sw =
                    new ui::CColorBtn(this, slot3 ? 0 : static_cast<int>(kControlCommandBase) + i);
                sw->setGeometry(r);
                swatches_[slot3 ? kSingleColourSlot : control - kSlot0Swatch] = sw;
                break;
            }
            case ControlKind::NumberBox: {
                auto* box = new ui::CBitmapEdit(this, r, normal);
                box->setValidator(new QIntValidator(row.minimum, row.maximum, box));
                box->setMaxLength(3);
                box->setAlignment(Qt::AlignCenter);
                // Three digits must fit the 25-pixel box beside the edit's margins.
                box->setFont(ui::ShellDlgFont(11, 400));
                // They only show the selected slot's components.
                box->setEnabled(false);
                QPalette palette = box->palette();
                palette.setColor(QPalette::Disabled, QPalette::Text, QColor(0xC1, 0xD2, 0xEE));
                box->setPalette(palette);
                watched(box);
                numberBoxes_[control - kRedValue] = box;
                break;
            }
            case ControlKind::LabelArea: {
                auto* label = pictureButton(row.Rect(chinese_), 0);
                label->SetCheckMode(false);
                break;
            }
        }
    }
    for (int n = 0; n < kPresetColourCount; ++n) {
        presets_[n] =
            pictureButton(layout::lighting_page::PresetRect(n, chinese_), kPresetCommandBase + n);
    }
}

void CDlgLEDSet::SetTooltips() {
    const Localization& language = env_.language;
    auto tip = [&language](Control control) {
        return ToQString(language.table.Text(kControls[control].tooltip));
    };
    for (int mode = 1; mode <= 6; ++mode) modeButtons_[mode - 1]->SetTooltip(tip(ModeButton(mode)));
    for (int slot = 0; slot < 3; ++slot)
        swatches_[slot]->SetTooltip(tip(static_cast<Control>(kSlot0Swatch + slot)));
    swatches_[kSingleColourSlot]->SetTooltip(tip(kSlot3Swatch));
    bodyOn_->SetTooltip(tip(kBodyOnButton));
    bodyOff_->SetTooltip(tip(kBodyOffButton));
}

void CDlgLEDSet::Refresh() {
    model_.Refresh();
    ShowControls();
}

void CDlgLEDSet::ShowControls() {
    const LightingControls& c = model_.Controls();
    for (int mode = 1; mode <= 6; ++mode) modeButtons_[mode - 1]->SetSelected(c.modeDown == mode);
    breathingSpeed_->Enable(c.breathingSpeedEnabled);
    breathingSpeed_->SetPos(c.breathingSpeed);
    brightness_->Enable(c.brightnessEnabled);
    brightness_->SetPos(c.brightness);
    mode5Speed_->Enable(c.mode5SpeedEnabled);
    mode5Speed_->SetPos(c.mode5Speed);
    ownColours_->setEnabled(c.ownColoursEnabled);
    ownColours_->SetSelected(c.ownColoursOn);
    for (int slot = 0; slot < kColourSlots; ++slot) {
        if (slot != kSingleColourSlot) swatches_[slot]->setEnabled(c.slotSwatchesEnabled);
        swatches_[slot]->SetColor(ToQColor(c.swatches[slot]));
    }
    for (int n = 0; n < kPresetColourCount; ++n) {
        presets_[n]->setEnabled(c.presetsEnabled);
        presets_[n]->SetSelected(c.presetDown == n);
    }
    for (int i = 0; i < 3; ++i) {
        colourSliders_[i]->Enable(c.colourSlidersEnabled);
        colourSliders_[i]->SetPos(c.colourSliders[i]);
        numberBoxes_[i]->setText(QString::number(c.numberBoxes[i]));
    }
    bodyOn_->SetSelected(c.bodyOnDown);
    bodyOff_->SetSelected(c.bodyOffDown);
    update();  // the frame of the selected slot
}

void CDlgLEDSet::OnCommand(WParam id) {
    if (id >= kPresetCommandBase && id < kPresetCommandBase + kPresetColourCount) {
        model_.ChoosePreset(static_cast<int>(id - kPresetCommandBase));
    } else if (id >= kControlCommandBase && id < kControlCommandBase + kControlCount) {
        const auto control = static_cast<Control>(id - kControlCommandBase);
        switch (control) {
            case kMode1Button:
            case kMode2Button:
            case kMode3Button:
            case kMode4Button:
            case kMode5Button:
            case kMode6Button:
                for (int mode = 1; mode <= 6; ++mode)
                    if (ModeButton(mode) == control) model_.ChooseMode(mode);
                break;
            case kOwnColoursButton:
                model_.ToggleOwnColours();
                break;
            case kSlot0Swatch:
            case kSlot1Swatch:
            case kSlot2Swatch:
                model_.ChooseSlot(control - kSlot0Swatch);
                break;
            case kBodyOnButton:
            case kBodyOffButton:
                model_.SetBodyLight(control == kBodyOnButton);
                break;
            default:
                return;
        }
    } else {
        return;
    }
    ShowControls();
}

void CDlgLEDSet::paintEvent(QPaintEvent* e) {
    ui::CPageWnd::paintEvent(e);
    const int slot = model_.State().selectedSlot;
    if (slot < 0 || slot >= kColourSlots) return;
    const QRect r = swatches_[slot]->geometry();
    QPainter p(this);
    p.fillRect(QRect(r.left() - 2, r.top() - 2, r.width() + 4, 2), kSelectedFrame);
    p.fillRect(QRect(r.left() - 2, r.bottom() + 1, r.width() + 4, 2), kSelectedFrame);
    p.fillRect(QRect(r.left() - 2, r.top(), 2, r.height()), kSelectedFrame);
    p.fillRect(QRect(r.right() + 1, r.top(), 2, r.height()), kSelectedFrame);
}

void CDlgLEDSet::mousePressEvent(QMouseEvent* e) {
    // The page keeps its presses: the main window would start a drag.
    e->accept();
    if (e->button() != Qt::LeftButton) return;
    const QPoint at = e->position().toPoint();
    const QImage& picture = NormalPicture();
    const PixelLookup pixelAt = [&picture](int x, int y) -> std::optional<ColourValue> {
        if (!picture.valid(x, y)) return std::nullopt;
        const QColor c = picture.pixelColor(x, y);
        return MakeColour(c.red(), c.green(), c.blue());
    };
    if (model_.PressWheel(at.x(), at.y(), pixelAt)) {
        setCursor(Qt::CrossCursor);
        ShowControls();
    }
}

void CDlgLEDSet::mouseMoveEvent(QMouseEvent* e) {
    OnPointerAt(e->position().toPoint());
}

void CDlgLEDSet::mouseReleaseEvent(QMouseEvent* e) {
    e->accept();
    UpdateCursor(e->position().toPoint());
}

bool CDlgLEDSet::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseMove) {
        auto* w = static_cast<QWidget*>(watched);
        const auto* move = static_cast<QMouseEvent*>(event);
        OnPointerAt(w->mapTo(this, move->position().toPoint()));
    }
    return ui::CPageWnd::eventFilter(watched, event);
}

void CDlgLEDSet::OnPointerAt(QPoint at) {
    UpdateCursor(at);
    // A move over a control reaches the page twice: reported by the control
    // and passed on by Qt.
    if (at == lastPointer_) return;
    lastPointer_ = at;
    for (int code : HintsAt(at.x(), at.y(), chinese_, model_.Controls().ownColoursOn))
        PostHint(code);
}

void CDlgLEDSet::UpdateCursor(QPoint at) {
    if (model_.ShowsCrossAt(at.x(), at.y()))
        setCursor(Qt::CrossCursor);
    else
        unsetCursor();
}

}  // namespace qx::lighting
