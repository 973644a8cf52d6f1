#include "stats/DlgSts.h"

#include <QMouseEvent>
#include <QPainter>
#include <cstdio>

#include "i18n/LanguageTable.h"
#include "ui/GDIBitmapBtn.h"
#include "ui/SkinPicture.h"
#include "ui/layout/SkinFiles.h"
#include "ui/layout/SkinLayout.h"

namespace qx::stats {
namespace {

namespace T = layout::trophies_page;

constexpr WParam kResetCommand = 1;

const QColor kValueColour(220, 220, 220);

QImage LoadTrophyPicture(const std::filesystem::path& appFolder, int level) {
    char name[64];
    std::snprintf(name, sizeof name, "skins/trophy/trophy%dDown.bmp", level);
    return ui::LoadSkinPicture(ui::SkinPath(appFolder, name)).image;
}

QString ToQString(const std::u16string& text) {
    return QString::fromStdU16String(text);
}

}  // namespace

CDlgSts::CDlgSts(QWidget* parent, const ui::PageEnvironment& environment,
                 const std::filesystem::path& dataFolder, PointerPositionSource& pointer,
                 StatsPageOptions options)
    : ui::CPageWnd(parent, environment),
      model_(dataFolder, environment.notifier, environment.language,
             options.clock ? *options.clock : DefaultClock(), options.saveInterval),
      chinese_(environment.language.startupChinese) {
    model_.Load();
    ui::WindowPictures pictures = ui::LoadWindowPictures(
        env_.appFolder, skin::kTrophies, chinese_ ? &skin::kTrophiesChinese : nullptr);
    SetPictures(std::move(pictures.normal), std::move(pictures.over), std::move(pictures.down));
    CreateControls();
    SetTooltips();
    tooltipObserver_ = env_.tooltips.Add([this] { SetTooltips(); });

    messageMap_
        .On(kMsgStatsButton,
            [this](WParam code, LParam) {
                if (model_.CountButtonEvent(static_cast<std::uint32_t>(code))) DrawStatistics();
                model_.SaveIfDue();
            })
        .On(kMsgStatsSample,
            [this](WParam, LParam) {
                model_.CountSample(samplePoint_.Load());
                model_.SaveIfDue();
            })
        .On(kWmCommand,
            [this](WParam id, LParam) {
                if (id == kResetCommand) OnReset();
            })
        .On(kWmMouseMove, [this](WParam, LParam at) {
            // Reported by the picture buttons, in page pixels.
            OnPointerAt(QPoint(static_cast<std::int16_t>(at & 0xFFFF),
                               static_cast<std::int16_t>((at >> 16) & 0xFFFF)));
        });
    DrawStatistics();

    travelTimer_.setInterval(static_cast<int>(kTravelRedrawInterval.count()));
    connect(&travelTimer_, &QTimer::timeout, this, [this] {
        DrawStatistics();
        model_.SaveIfDue();
    });
    travelTimer_.start();

    sampler_ =
        std::make_unique<PointerSampler>(pointer, samplePoint_, *Handle(), options.sampleInterval);
    sampler_->Start();
}

CDlgSts::~CDlgSts() {
    sampler_->Stop();
    travelTimer_.stop();
    env_.tooltips.Remove(tooltipObserver_);
    model_.Save();
}

void CDlgSts::SaveCounters() {
    model_.Save();
}

void CDlgSts::CreateControls() {
    const QImage& normal = NormalPicture();
    const QImage& over = OverPicture();
    const QImage& down = DownPicture();

    // The trophy and the bar only show; they look pressed throughout.
    trophy_ = new ui::CGDIBitmapBtn(this);
    trophy_->setGeometry(ui::ToQRect(T::kTrophy));
    trophy_->SetCheckMode(true);
    trophy_->SetSelected(true);

    levelBar_ = new ui::CGDIBitmapBtn(this);
    levelBar_->SetCheckMode(true);
    levelBar_->SetSelected(true);

    // Lamps: unlit from the normal picture, lit (and hovered) from the down one.
    for (int i = 0; i < kTrophyLevels; ++i) {
        const layout::Rect r = T::LampRect(i);
        lamps_[i] = new ui::CGDIBitmapBtn(this);
        lamps_[i]->SetImages(r.left, r.top, r.right, r.bottom, &normal, &down, &down, &normal);
        lamps_[i]->SetCheckMode(true);
    }

    reset_ = new ui::CGDIBitmapBtn(this, static_cast<int>(kResetCommand));
    reset_->SetImages(T::kReset.left, T::kReset.top, T::kReset.right, T::kReset.bottom, &normal,
                      &over, &down, &normal);
}

void CDlgSts::SetTooltips() {
    trophy_->SetTooltip(ToQString(env_.language.table.Text("str_cups")));
    reset_->SetTooltip(ToQString(env_.language.table.Text("str_resetSts")));
}

QRect CDlgSts::ValueRect(int row) const {
    return ui::ToQRect(T::ValueRect(row, chinese_));
}

void CDlgSts::DrawStatistics() {
    view_ = model_.DrawStatistics();
    if (view_.reloadTrophy) {
        // The trophy picture is loaded only when the level changes.
        const QImage trophy = LoadTrophyPicture(env_.appFolder, view_.level);
        trophy_->SetImages(0, 0, trophy.width(), trophy.height(), &trophy, &trophy, &trophy,
                           &trophy);
        trophy_->setGeometry(ui::ToQRect(T::kTrophy));
        for (int i = 0; i < kTrophyLevels; ++i) lamps_[i]->SetSelected(view_.lampsLit[i]);
        update();
    }
    if (view_.barWidth != barWidth_) {
        barWidth_ = view_.barWidth;
        const layout::Rect bar = T::kLevelBarFull;
        levelBar_->SetImages(bar.left, bar.top, bar.left + barWidth_, bar.bottom, &NormalPicture(),
                             &OverPicture(), &DownPicture(), &NormalPicture());
    }
    QRect values = ValueRect(0);
    for (int row = 1; row < kValueTextCount; ++row) values |= ValueRect(row);
    update(values);
}

void CDlgSts::OnReset() {
    if (!model_.ConfirmAndReset()) return;
    DrawStatistics();
    update();
}

void CDlgSts::paintEvent(QPaintEvent* e) {
    ui::CPageWnd::paintEvent(e);
    QPainter p(this);
    p.setFont(ui::ShellDlgFont(14, 300));
    p.setPen(kValueColour);
    const QFontMetrics metrics = p.fontMetrics();
    for (int row = 0; row < kValueTextCount; ++row) {
        const QRect r = ValueRect(row);
        if (!e->rect().intersects(r)) continue;
        const QString text =
            metrics.elidedText(ToQString(view_.values[row]), Qt::ElideRight, r.width());
        p.drawText(r, Qt::AlignRight | Qt::AlignVCenter | Qt::TextSingleLine, text);
    }
}

void CDlgSts::mousePressEvent(QMouseEvent* e) {
    // The page keeps its presses: the main window would start a drag.
    e->accept();
}

void CDlgSts::mouseMoveEvent(QMouseEvent* e) {
    OnPointerAt(e->position().toPoint());
}

void CDlgSts::OnPointerAt(QPoint at) {
    // A move over a control reaches the page twice: reported by the control
    // and passed on by Qt.
    if (at == lastPointer_) return;
    lastPointer_ = at;
    if (const int code = TrophiesHintAt(at.x(), at.y())) PostHint(code);
}

}  // namespace qx::stats
