#include "support/DlgSupport.h"

#include <QMouseEvent>
#include <QPainter>
#include <cstdlib>

#include "base/DataFile.h"
#include "base/Text.h"
#include "support/FirmwareVersionText.h"
#include "ui/GDIBitmapBtn.h"
#include "ui/SkinPicture.h"
#include "ui/layout/SkinFiles.h"

namespace qx::support {

namespace P = layout::support_page;

namespace {

QString ToQString(std::u16string_view text) {
    return QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size()));
}

// "MS Shell Dlg", 12 points at 96 dots per inch.
constexpr int kVersionFontPixels = 16;
const QColor kVersionColour(193, 210, 238);

// The five buttons in the order of SupportControl.
constexpr int kButtonCount = 5;

// For end-to-end tests, which cannot read pixels as text: when set, the page
// writes the version texts it draws to this file at every paint.
std::filesystem::path PaintedTextFile() {
    const char* file = std::getenv("QX_TEST_PAINTED_TEXT_FILE");
    return file && *file ? std::filesystem::path(file) : std::filesystem::path();
}

}  // namespace

CDlgSupport::CDlgSupport(QWidget* parent, const ui::PageEnvironment& environment,
                         SupportPageParts parts)
    : ui::CPageWnd(parent, environment),
      firmwareVersion_(parts.firmwareVersion),
      updateControl_(parts.updateControl),
      model_(parts.files, parts.dialogs, env_.notifier, env_.language, parts.desktop,
             env_.mainWindow),
      check_(parts.updateControl, UpdatePathsFor(env_.appFolder), std::move(parts.deviceModel),
             env_.language, env_.notifier, parts.burner, *this, env_.mainWindow) {
    auto picture = [this](int i) {
        return ui::LoadSkinPicture(ui::SkinPath(env_.appFolder, skin::kSupport[i])).image;
    };
    SetPictures(picture(0), picture(1), picture(2));
    if (NormalPicture().isNull()) resize(P::kSize.width, P::kSize.height);
    CreateButtons();
    SetTooltips();
    tooltipObserver_ = env_.tooltips.Add([this] { SetTooltips(); });

    connect(&updateTimer_, &QTimer::timeout, this, [this] { check_.OnUpdateTimer(); });
    messageMap_
        .On(kMsgUpdateCheckDone, [this](WParam w, LParam l) { check_.OnUpdateCheckDone(w, l); })
        .On(kMsgFirmwareDownloaded, [this](WParam w, LParam) { check_.OnFirmwareDownloaded(w); });
    // The update check thread posts its results here from now on.
    updateControl_.page.store(Handle());
}

CDlgSupport::~CDlgSupport() {
    updateControl_.page.store(TargetHandle());
    env_.tooltips.Remove(tooltipObserver_);
}

void CDlgSupport::CreateButtons() {
    for (int i = 0; i < kButtonCount; ++i) {
        const SupportControlRow& row = kSupportControls[i];
        const layout::Rect& r = row.rect;
        auto* button = new ui::CGDIBitmapBtn(this, i);
        button->SetImages(r.left, r.top, r.right, r.bottom, &NormalPicture(), &OverPicture(),
                          &DownPicture(), &NormalPicture());
        connect(button, &QAbstractButton::clicked, this,
                [this, control = row.control] { OnButton(control); });
        buttons_[i] = button;
    }
}

void CDlgSupport::SetTooltips() {
    for (int i = 0; i < kButtonCount; ++i)
        buttons_[i]->SetTooltip(
            ToQString(env_.language.table.Text(kSupportControls[i].tooltipKey)));
}

ui::CGDIBitmapBtn* CDlgSupport::Button(SupportControl control) const {
    const int i = static_cast<int>(control);
    return i < kButtonCount ? buttons_[i] : nullptr;
}

std::u16string CDlgSupport::FirmwareVersionShown() const {
    return FirmwareVersionDisplay(firmwareVersion_.Text());
}

void CDlgSupport::OnButton(SupportControl control) {
    switch (control) {
        case SupportControl::Update:
            check_.CheckForUpdate(firmwareVersion_.Text());
            break;
        case SupportControl::WebSite:
            model_.OpenWebSite();
            break;
        case SupportControl::Import:
            model_.ImportFromChosenFile();
            break;
        case SupportControl::Export:
            model_.ExportToChosenFile();
            break;
        case SupportControl::Restore:
            model_.ConfirmRestoreDefaults();
            break;
        case SupportControl::DriverLabel:
        case SupportControl::FirmwareLabel:
            break;
    }
}

void CDlgSupport::StartUpdateTimer(std::chrono::milliseconds period) {
    updateTimer_.start(static_cast<int>(period.count()));
}

void CDlgSupport::StopUpdateTimer() {
    updateTimer_.stop();
}

void CDlgSupport::paintEvent(QPaintEvent* e) {
    ui::CPageWnd::paintEvent(e);
    const std::u16string firmware = FirmwareVersionShown();
    QPainter p(this);
    p.setFont(ui::ShellDlgFont(kVersionFontPixels, 400));
    p.setPen(kVersionColour);
    const auto draw = [&p](const layout::Rect& box, std::u16string_view text) {
        p.drawText(ui::ToQRect(box), Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine,
                   ToQString(text));
    };
    draw(P::kDriverVersionBox, kDriverVersionText);
    draw(P::kFirmwareVersionBox, firmware);

    static const std::filesystem::path dump = PaintedTextFile();
    if (!dump.empty()) {
        const std::string text =
            "driver " + ToUtf8(kDriverVersionText) + "\nfirmware " + ToUtf8(firmware) + "\n";
        WriteFileAtomic(dump, std::as_bytes(std::span(text)));
    }
}

// Movements over a button reach the page too: the buttons leave them to their
// parent.
void CDlgSupport::mouseMoveEvent(QMouseEvent* e) {
    const QPoint at = e->position().toPoint();
    if (const int code = SupportHintAt(at.x(), at.y())) PostHint(code);
    ui::CPageWnd::mouseMoveEvent(e);
}

}  // namespace qx::support
