#include "buttons/DlgMainSet.h"

#include <QApplication>
#include <QCursor>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPointer>
#include <QRegularExpressionValidator>

#include "buttons/MouseDlg.h"
#include "buttons/SettingDlg.h"
#include "buttons/SettingsPageModel.h"
#include "i18n/LanguageTable.h"
#include "ui/BitmapEdit.h"
#include "ui/GDIBitmapBtn.h"
#include "ui/IrrButton.h"
#include "ui/PngHSlider.h"
#include "ui/SkinPicture.h"
#include "ui/layout/SkinFiles.h"

namespace qx::buttons {

namespace P = layout::settings_page;

namespace {

constexpr int kPointerSpeedId = 2560;
constexpr int kSensorHeightId = 2562;
constexpr int kLinesEditId = 2563;

QString ToQString(std::u16string_view text) {
    return QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size()));
}

std::u16string FromQString(const QString& text) {
    return text.toStdU16String();
}

}  // namespace

CDlgMainSet::CDlgMainSet(QWidget* parent, const ui::PageEnvironment& environment,
                         ProfileState& profile, const ButtonsPageServices& services)
    : ui::CPageWnd(parent, environment),
      profile_(profile),
      services_(services),
      chineseLayout_(environment.language.chineseMode) {
    // The lettering of the pictures follows the language at creation.
    const bool chinese = chineseLayout_;
    SetPictures(
        ui::LoadResourcePicture(chinese ? skin::kSettingsChineseNormal
                                        : skin::kSettingsEnglishNormal)
            .image,
        ui::LoadResourcePicture(chinese ? skin::kSettingsChineseOver : skin::kSettingsEnglishOver)
            .image,
        ui::LoadResourcePicture(chinese ? skin::kSettingsChineseDown : skin::kSettingsEnglishDown)
            .image);
    CreateControls();
    SetTooltips();
    tooltipObserver_ = env_.tooltips.Add([this] { SetTooltips(); });

    messageMap_.On(kWmCommand, [this](WParam, LParam control) { OnCommand(control); })
        .On(kMsgSliderPos, [this](WParam position, LParam id) { OnSlider(position, id); })
        .On(kWmMouseMove, [this](WParam, LParam at) {
            // Moves the bitmap buttons pass on, in page coordinates.
            OnMouseMoveAt(static_cast<std::int16_t>(at & 0xFFFF),
                          static_cast<std::int16_t>((at >> 16) & 0xFFFF));
        });

    spotTimer_.setInterval(kSpotPeriodMs);
    connect(&spotTimer_, &QTimer::timeout, this, [this] { OnTimer(kSpotTimer); });
    linesTimer_.setInterval(kLinesPeriodMs);
    connect(&linesTimer_, &QTimer::timeout, this, [this] { OnTimer(kLinesTimer); });
    linesTimer_.start();
}

// The hot spots follow the pointer only while someone can see them; a page
// hidden behind another tab or in the tray costs no pointer queries.
void CDlgMainSet::showEvent(QShowEvent* e) {
    ui::CPageWnd::showEvent(e);
    OnTimer(kSpotTimer);
    spotTimer_.start();
}

void CDlgMainSet::hideEvent(QHideEvent* e) {
    spotTimer_.stop();
    ui::CPageWnd::hideEvent(e);
}

CDlgMainSet::~CDlgMainSet() {
    if (tooltipObserver_ != 0) env_.tooltips.Remove(tooltipObserver_);
}

void CDlgMainSet::CreateControls() {
    const QImage* normal = &NormalPicture();
    const QImage* over = &OverPicture();
    const QImage* down = &DownPicture();
    auto button = [&](const layout::Rect& r, bool check) {
        auto* b = new ui::CGDIBitmapBtn(this);
        b->SetImages(r.left, r.top, r.right, r.bottom, normal, over, down, normal);
        b->SetCheckMode(check);
        return b;
    };

    for (int i = 0; i < kDpiListSize; ++i) {
        dpiBoxes_[i] = button(P::kDpiBoxes[i], true);
        dpiBoxes_[i]->SetValue(kDpiBoxValues[i]);
    }
    const auto thumb = ui::SkinPath(env_.appFolder, "skins") / std::string(skin::kSliderThumb);
    pointerSpeed_ = new ui::CPngHSliderBar(thumb, ui::ToQRect(P::kPointerSpeedSlider), this,
                                           kPointerSpeedId, NormalPicture());
    pointerSpeed_->SetRange(kPointerSpeedMin, kPointerSpeedMax);
    accuracy_ = button(P::kAccuracyBox, true);
    sensorHeight_ = new ui::CPngHSliderBar(thumb, ui::ToQRect(P::kSensorHeightSlider), this,
                                           kSensorHeightId, NormalPicture());
    sensorHeight_->SetRange(kSensorHeightMin, kSensorHeightMax);
    // The sliders pass their moves on for the hints, as the bitmap buttons do.
    for (auto* slider : {pointerSpeed_, sensorHeight_}) {
        slider->setMouseTracking(true);
        slider->installEventFilter(this);
    }
    for (int i = 0; i < kReportRateButtons; ++i) {
        reportRates_[i] = button(P::kReportRateButtons[i], true);
        reportRates_[i]->SetValue(kReportRatesHz[i]);
    }

    const int w = WheelLayoutIndex(chineseLayout_);
    wheelLines_ = button(P::kWheelLines[w], true);
    wheelScreen_ = button(P::kWheelScreen[w], true);
    linesEdit_ = new ui::CBitmapEdit(this, ui::ToQRect(P::kLinesEdit[w]), NormalPicture());
    linesEdit_->setObjectName(QString::number(kLinesEditId));
    linesEdit_->setAlignment(Qt::AlignCenter);
    linesEdit_->setValidator(
        new QRegularExpressionValidator(QRegularExpression("[0-9]*"), linesEdit_));
    linesEdit_->installEventFilter(this);
    linesUp_ = button(P::kLinesUp[w], false);
    linesDown_ = button(P::kLinesDown[w], false);

    for (int i = 0; i < kButtonCount; ++i) {
        auto* tab = new ui::CIrrButton(this, P::TabQuad(i), i);
        tab->SetImages(NormalPicture(), DownPicture(), OverPicture(), NormalPicture());
        tab->SetCheckMode(true);
        tabs_[i] = tab;
    }
    for (std::size_t i = 0; i < headings_.size(); ++i)
        headings_[i] = button(P::kHeadings[i], false);
}

void CDlgMainSet::SetTooltips() {
    const LanguageTable& t = env_.language.table;
    for (auto* box : dpiBoxes_) box->SetTooltip(ToQString(t.Text("str_dpiwant")));
    accuracy_->SetTooltip(ToQString(t.Text("str_improveAccuracy")));
    for (auto* rate : reportRates_) rate->SetTooltip(ToQString(t.Text("str_rollingrate")));
    wheelLines_->SetTooltip(ToQString(t.Text("str_rollerColumn")));
    wheelScreen_->SetTooltip(ToQString(t.Text("str_rollerScreen")));
}

void CDlgMainSet::RefreshFromProfile() {
    const SettingsPageView view = ViewOfProfile(profile_.settings);
    for (int i = 0; i < kDpiListSize; ++i) dpiBoxes_[i]->SetSelected(view.dpiBoxes[i]);
    pointerSpeed_->SetPos(view.pointerSpeed);
    accuracy_->SetSelected(view.accuracy);
    sensorHeight_->SetPos(view.sensorHeight);
    for (int i = 0; i < kReportRateButtons; ++i)
        reportRates_[i]->SetSelected(i == view.reportRateButton);
    wheel_ = view.wheel;
    ShowWheel();
    for (int i = 0; i < kButtonCount; ++i) tabs_[i]->SetSelected(view.tabMarks[i]);
    linesEdit_->setText(ToQString(wheel_.editText));
    update();
}

void CDlgMainSet::NormalizeLinesEdit() {
    wheel_.editText = FromQString(linesEdit_->text());
    qx::NormalizeLinesEdit(profile_.settings, wheel_);
    linesEdit_->setText(ToQString(wheel_.editText));
    linesEdit_->setCursorPosition(static_cast<int>(wheel_.caret));
}

void CDlgMainSet::ShowDpiBoxes() {
    const auto selected = SelectedDpiBoxes(profile_.settings);
    for (int i = 0; i < kDpiListSize; ++i) dpiBoxes_[i]->SetSelected(selected[i]);
}

void CDlgMainSet::ShowWheel() {
    wheelLines_->SetSelected(wheel_.linesChosen);
    wheelScreen_->SetSelected(!wheel_.linesChosen);
    linesEdit_->setEnabled(wheel_.linesChosen);
    linesUp_->setEnabled(wheel_.linesChosen);
    linesDown_->setEnabled(wheel_.linesChosen);
}

void CDlgMainSet::OnCommand(LParam control) {
    ProfileSettings& s = profile_.settings;
    auto is = [control](const QObject* widget) { return control == ui::WindowHandle(widget); };
    for (int i = 0; i < kDpiListSize; ++i)
        if (is(dpiBoxes_[i])) {
            ClickDpiBox(s, i);
            ShowDpiBoxes();
            return;
        }
    for (int i = 0; i < kReportRateButtons; ++i)
        if (is(reportRates_[i])) {
            ClickReportRate(s, i);
            for (int j = 0; j < kReportRateButtons; ++j) reportRates_[j]->SetSelected(i == j);
            return;
        }
    for (int i = 0; i < kButtonCount; ++i)
        if (is(tabs_[i])) {
            OnTab(i);
            return;
        }
    if (is(accuracy_)) {
        ToggleEnhancePrecision(s);
        accuracy_->SetSelected(s.enhancePrecision == 1);
    } else if (is(wheelLines_)) {
        ChooseLines(s, wheel_);
        ShowWheel();
    } else if (is(wheelScreen_)) {
        ChooseWholeScreen(s, wheel_);
        ShowWheel();
    } else if (is(linesUp_) || is(linesDown_)) {
        if (is(linesUp_))
            qx::LinesUp(s, wheel_);
        else
            qx::LinesDown(s, wheel_);
        linesEdit_->setText(ToQString(wheel_.editText));
    }
}

void CDlgMainSet::OnSlider(WParam position, LParam id) {
    const auto pos = static_cast<std::int32_t>(position);
    if (id == kPointerSpeedId)
        SetPointerSpeed(profile_.settings, pos);
    else if (id == kSensorHeightId)
        SetSensorHeight(profile_.settings, pos);
}

void CDlgMainSet::OnTab(int button) {
    // One editor at a time; a second press queued behind the first finds it open.
    if (openButton_ != -1) return;
    openButton_ = button;
    const std::u16string name =
        PrepareButtonEditor(button, profile_.settings, env_.language.chineseMode);
    // The main window may close (the mouse unplugged, Exit) and take the page
    // with it while the editor or a refusal message runs modally: nothing of
    // the page is touched once it is gone.
    const QPointer<CDlgMainSet> alive(this);
    std::optional<SettingResult> result;
    const QPointer<CSettingDlg> editor = new CSettingDlg(this, env_, services_, button, name);
    const int answer = editor->Run();
    if (!alive) return;
    if (editor && answer == kIdOk) result = editor->Result();
    delete editor;
    const AssignmentContext context{env_.language, services_.keyboardLayout, services_.macros,
                                    env_.notifier};
    const EditorOutcome outcome = FinishButtonEditor(button, result, profile_, context);
    if (!alive) return;
    ui::CIrrButton* tab = tabs_[static_cast<std::size_t>(button)];
    tab->SetSelected(outcome.tabMark);
    // The press that opened the editor never saw its release.
    tab->setDown(false);
    openButton_ = -1;
}

CMouseDlg* CDlgMainSet::MousePicture() const {
    QWidget* parent = parentWidget();
    return parent ? parent->findChild<CMouseDlg*>(QString(), Qt::FindDirectChildrenOnly) : nullptr;
}

void CDlgMainSet::OnTimer(int id) {
    if (id == kLinesTimer) {
        if (wheel_.linesChosen) NormalizeLinesEdit();
        return;
    }
    if (id != kSpotTimer) return;
    CMouseDlg* mouse = MousePicture();
    if (!mouse) return;
    const QPoint cursor = mapFromGlobal(QCursor::pos());
    const bool active = QApplication::activeWindow() == window();
    for (int i = 0; i < kButtonCount; ++i) {
        const QRect g = tabs_[i]->geometry();
        const layout::Rect box{g.left(), g.top(), g.left() + g.width(), g.top() + g.height()};
        switch (TabSpotChange(box, cursor.x(), cursor.y(), active)) {
            case SpotChange::Select:
                mouse->SetSpotSelected(i, true);
                break;
            case SpotChange::Clear:
                mouse->SetSpotSelected(i, false);
                break;
            case SpotChange::Keep:
                break;
        }
    }
}

void CDlgMainSet::OnMouseMoveAt(int x, int y) {
    for (int code : SettingsHintCodesAt(x, y, chineseLayout_)) PostHint(code);
}

void CDlgMainSet::mouseMoveEvent(QMouseEvent* e) {
    const QPoint at = e->position().toPoint();
    OnMouseMoveAt(at.x(), at.y());
    e->accept();
}

bool CDlgMainSet::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseMove &&
        (watched == pointerSpeed_ || watched == sensorHeight_)) {
        const QPoint at = static_cast<QWidget*>(watched)->mapToParent(
            static_cast<QMouseEvent*>(event)->position().toPoint());
        OnMouseMoveAt(at.x(), at.y());
        return false;
    }
    // The lines edit must not take Enter, Escape or Space either.
    if (watched == linesEdit_ &&
        (event->type() == QEvent::KeyPress || event->type() == QEvent::KeyRelease) &&
        ui::IsDroppedKey(static_cast<QKeyEvent*>(event)->key()))
        return true;
    return ui::CPageWnd::eventFilter(watched, event);
}

}  // namespace qx::buttons
