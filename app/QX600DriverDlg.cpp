#include "app/QX600DriverDlg.h"

#include <QApplication>
#include <QCloseEvent>
#include <QCursor>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QScreen>
#include <QSocketNotifier>
#include <QSystemTrayIcon>
#include <QWindow>

#include "app/DlgModel.h"
#include "app/SoftwareFunctions.h"
#include "base/Text.h"
#include "buttons/DlgMainSet.h"
#include "buttons/MouseDlg.h"
#include "lighting/DlgLEDSet.h"
#include "macro/DlgMacro.h"
#include "stats/DlgSts.h"
#include "support/DlgProgress.h"
#include "support/DlgSupport.h"
#include "ui/GDIBitmapBtn.h"
#include "ui/IrrButton.h"
#include "ui/MenuEx.h"
#include "ui/SkinPicture.h"
#include "ui/layout/SkinFiles.h"
#include "ui/layout/SkinLayout.h"

namespace qx::app {

namespace L = layout::main_window;

namespace {

QString ToQString(std::u16string_view text) {
    return QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size()));
}

// The Windows virtual key of the Qt keys the main window filters.
std::uint32_t FilteredVirtualKey(int key) {
    switch (key) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
            return kVkReturn;
        case Qt::Key_Escape:
            return kVkEscape;
        case Qt::Key_Space:
            return kVkSpace;
        case Qt::Key_F4:
            return kVkF4;
        default:
            return 0;
    }
}

constexpr int kUpdaterDelayMs = 3000;

}  // namespace

CQX600DriverDlg::CQX600DriverDlg(DriverContext& context)
    : ctx_(context),
      profile_(std::make_unique<ProfileState>()),
      macros_(std::make_unique<MacroTable>()),
      driver_(context.hidBackend, context.sleeper),
      sync_(context.syncEvent),
      fileDialogs_(this),
      updateControl_(context.updateCheckEvent) {
    setWindowFlags(Qt::Window | Qt::FramelessWindowHint | Qt::WindowMinimizeButtonHint);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);

    files_ = std::make_unique<ProfileFiles>(*profile_, ctx_.folders.dataFolder, ctx_.notifier,
                                            ctx_.language);
    files_->onSelectionShown = [this] { ShowProfileSelection(); };
    files_->onSettingsReplaced = [this] { RefreshPages(); };
    macroStore_ = std::make_unique<MacroStore>(*macros_, ctx_.folders.dataFolder, ctx_.notifier,
                                               ctx_.sleeper, ctx_.language, fileDialogs_);
    downloader_ = std::make_unique<UpdateDownloader>(updateControl_, ctx_.http,
                                                     UpdatePathsFor(ctx_.folders.appFolder));

    updaterTimer_.setSingleShot(true);
    updaterTimer_.setInterval(kUpdaterDelayMs);
    connect(&updaterTimer_, &QTimer::timeout, this, [this] {
        // Whether the updater starts is not looked at.
        ctx_.programs.StartProgram(SoftwareUpdaterPath(ctx_.folders.appFolder), {});
    });
    arrivalRetryTimer_.setInterval(static_cast<int>(DevicePresence::kArrivalRetryPeriod.count()));
    connect(&arrivalRetryTimer_, &QTimer::timeout, this, [this] {
        if (presence_) presence_->OnArrivalRetry();
    });

    messageMap_.On(kMsgApplyLanguage, [this](WParam w, LParam l) { OnApplyLanguage(w, l); })
        .On(kMsgTrayCallback, [this](WParam, LParam l) { OnTrayCallback(l); })
        .On(kMsgSyncSucceeded, [this](WParam, LParam l) { OnSyncSucceededMessage(l); })
        .On(kMsgSyncFailed, [this](WParam, LParam l) { OnSyncFailedMessage(l); })
        .On(kMsgHookButton,
            [this](WParam w, LParam l) {
                OnButtonReport(w, l, profile_->settings,
                               statsPage_ ? statsPage_->Handle() : TargetHandle(), ctx_.actions);
            })
        .On(kMsgHint, [this](WParam, LParam l) { OnHint(l); })
        .On(kMsgRestoreDefaults, [this](WParam, LParam) { OnRestoreDefaults(); })
        .On(kWmClose, [this](WParam, LParam) { OnClose(); })
        .On(kWmCommand, [this](WParam w, LParam) {
            if (w == kTrayCommandConfig) {
                RefreshPages();
                ShowAndRaise();
            } else if (w == kTrayCommandExit) {
                PostMessage(kWmClose, 0, 0);
            }
        });
}

CQX600DriverDlg::~CQX600DriverDlg() {
    Shutdown();
    if (tooltipObserver_ != 0) tooltips_.Remove(tooltipObserver_);
}

bool CQX600DriverDlg::OnInitDialog() {
    setWindowIcon(QIcon(QPixmap::fromImage(ui::LoadResourcePicture(skin::kAppIcon).image)));
    const int label = LoadStartupLanguage(ctx_.language, ctx_.folders.appFolder);

    if (!IsValidModel(ctx_.folders.deviceModel)) {
        CDlgModel chooser(ctx_.folders.appFolder, ctx_.folders.modelIniPath,
                          ctx_.folders.deviceModel, ctx_.menuLibrary, ctx_.language.chineseMode);
        if (chooser.Run() != kIdOk) {
            ctx_.syncEvent.Close();
            ctx_.updateCheckEvent.Close();
            closing_ = true;
            return false;
        }
    }
    setWindowTitle(ToQString(kMainWindowTitle));
    // A missing Macro.cfg is reported by the load; the first start laid one down.
    macroStore_->LoadMacroFile();

    CreateControls();
    SetLanguageLabel(label);
    CreatePages();
    CreateTray();
    files_->LoadProfileTable();

    if (ctx_.hotPlug && ctx_.hotPlug->Descriptor() >= 0) {
        hotPlugNotifier_ =
            new QSocketNotifier(ctx_.hotPlug->Descriptor(), QSocketNotifier::Read, this);
        connect(hotPlugNotifier_, &QSocketNotifier::activated, this, [this] { ReadHotPlug(); });
    }
    if (ctx_.instance) {
        wakeNotifier_ =
            new QSocketNotifier(ctx_.instance->ListenDescriptor(), QSocketNotifier::Read, this);
        connect(wakeNotifier_, &QSocketNotifier::activated, this, [this] { ReadWakeMessages(); });
    }
    macroPage_->FillMacroList(22);
    PostStoredLanguage(*this, ctx_.folders.dataFolder, ctx_.notifier);

    writer_ = std::make_unique<DeviceWriter>(sync_, driver_, *profile_, *macros_, ctx_.language,
                                             ctx_.hooks, ctx_.pointer, ctx_.sleeper);
    sync_.mainWindow = Handle();
    presence_ = std::make_unique<DevicePresence>(
        DevicePresenceParts{
            driver_, ctx_.usbDevices, ctx_.sleeper, ctx_.notifier, ctx_.hooks, ctx_.programs,
            firmwareVersion_, profile_->settings, ctx_.folders.appFolder, ctx_.folders.deviceModel,
            [this] { return ctx_.language.chineseMode; }, [this] { return Handle(); }},
        static_cast<DeviceHost&>(*this));
    presence_->ConnectDevice();
    return true;
}

int CQX600DriverDlg::Run() {
    // A close decided during the initialisation (no mouse, firmware mode)
    // ends the utility without the window ever being shown.
    if (closing_) {
        QCoreApplication::sendPostedEvents(this);
        Shutdown();
        return 0;
    }
    return runLoop_.exec();
}

void CQX600DriverDlg::CreateControls() {
    const bool chinese = ctx_.language.chineseMode;
    normal_ = ui::LoadResourcePicture(chinese ? skin::kMainChineseNormal : skin::kMainEnglishNormal)
                  .image;
    over_ =
        ui::LoadResourcePicture(chinese ? skin::kMainChineseOver : skin::kMainEnglishOver).image;
    down_ =
        ui::LoadResourcePicture(chinese ? skin::kMainChineseDown : skin::kMainEnglishDown).image;
    setFixedSize(normal_.isNull() ? QSize(L::kSize.width, L::kSize.height) : normal_.size());
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->availableGeometry();
        move(area.left() + (area.width() - width()) / 2,
             area.top() + (area.height() - height()) / 2);
    }

    auto picture = [this](const layout::Rect& r) {
        auto* b = new ui::CGDIBitmapBtn(this);
        b->SetImages(r.left, r.top, r.right, r.bottom, &normal_, &over_, &down_, &normal_);
        return b;
    };
    minimise_ = picture(L::kMinimise);
    hide_ = picture(L::kHide);
    language_ = picture(L::kLanguageButton);
    connect(minimise_, &QAbstractButton::clicked, this, [this] {
        showMinimized();
        ctx_.hooks.SetKeyForwarding(false);
    });
    connect(hide_, &QAbstractButton::clicked, this, [this] { HideToTray(); });
    connect(language_, &QAbstractButton::clicked, this, [this] { OnLanguageButton(); });

    languageLabel_ = new QLabel(this);
    languageLabel_->setGeometry(ui::ToQRect(L::kLanguageLabel));
    languageLabel_->setAttribute(Qt::WA_TransparentForMouseEvents);

    auto region = [this](const layout::Quad& quad) {
        auto* b = new ui::CIrrButton(this, quad);
        b->SetImages(normal_, down_, over_, normal_);
        return b;
    };
    for (int i = 0; i < 5; ++i) {
        tabs_[i] = region(L::kTabs[i]);
        tabs_[i]->SetCheckMode(true);
        connect(tabs_[i], &QAbstractButton::clicked, this, [this, i] { SwitchPage(i + 1); });
    }
    for (int i = 0; i < 5; ++i) {
        profiles_[i] = region(L::kProfiles[i]);
        profiles_[i]->SetCheckMode(true);
        connect(profiles_[i], &QAbstractButton::clicked, this, [this, i] { OnProfile(i + 1); });
    }
    apply_ = region(L::kApply);
    connect(apply_, &QAbstractButton::clicked, this, [this] { OnApply(); });
    // Every control has cut its images; the window paints from the normal
    // picture alone.
    over_ = QImage();
    down_ = QImage();
    SetTooltips();
    tooltipObserver_ = tooltips_.Add([this] { SetTooltips(); });
    // Enter, Escape and Space never reach a control; Alt+F4 hides.
    qApp->installEventFilter(this);
}

void CQX600DriverDlg::SetTooltips() {
    for (int i = 0; i < 5; ++i) {
        tabs_[i]->setToolTip(ToQString(ctx_.language.table.TextAt(kHintFirstTab + i)));
        profiles_[i]->setToolTip(ToQString(ctx_.language.table.TextAt(kHintFirstProfile + i)));
    }
    apply_->setToolTip(ToQString(ctx_.language.table.TextAt(kHintApply)));
}

void CQX600DriverDlg::CreatePages() {
    pageEnvironment_ = std::make_unique<ui::PageEnvironment>(
        ui::PageEnvironment{ctx_.folders.appFolder, ctx_.folders.SkinFolder(), ctx_.language,
                            ctx_.notifier, tooltips_, Handle()});
    const auto& env = *pageEnvironment_;
    buttonsPage_ = new buttons::CDlgMainSet(this, env, *profile_,
                                            {*macros_, ctx_.hooks, ctx_.keyboardLayout, nullptr});
    mousePage_ = new buttons::CMouseDlg(this, env, ctx_.folders.deviceModel);
    lightingPage_ = new lighting::CDlgLEDSet(this, env, *profile_);
    macroPage_ = new macro::CDlgMacro(this, env, *macroStore_, ctx_.hooks, *profile_,
                                      ctx_.keyboardLayout, ctx_.menuLibrary, DefaultClock());
    statsPage_ = new stats::CDlgSts(this, env, ctx_.folders.dataFolder, ctx_.pointerPosition);
    supportPage_ =
        new support::CDlgSupport(this, env,
                                 {firmwareVersion_, ctx_.folders.deviceModel, *files_, fileDialogs_,
                                  ctx_.actions, updateControl_, ctx_.burner});
    pages_ = {buttonsPage_, mousePage_, lightingPage_, macroPage_, statsPage_, supportPage_};
    for (QWidget* page : pages_) static_cast<ui::CPageWnd*>(page)->ReleaseStatePictures();
    for (QWidget* page : pages_) page->move(L::kPages.left, L::kPages.top);
    mousePage_->move(L::kMousePicture.left, L::kMousePicture.top);
    // The mouse picture lies on top of the buttons page.
    mousePage_->raise();
    SwitchPage(1);
}

void CQX600DriverDlg::CreateTray() {
    if (!QSystemTrayIcon::isSystemTrayAvailable()) return;
    tray_ = new QSystemTrayIcon(this);
    tray_->setIcon(windowIcon());
    tray_->setToolTip(ToQString(kMainWindowTitle));
    connect(tray_, &QSystemTrayIcon::activated, this,
            [this](QSystemTrayIcon::ActivationReason reason) {
                if (reason == QSystemTrayIcon::DoubleClick)
                    PostMessage(kMsgTrayCallback, 0, kWmLButtonDblClk);
                else if (reason == QSystemTrayIcon::Context)
                    PostMessage(kMsgTrayCallback, 0, kWmRButtonUp);
            });
    tray_->show();
    tray_->showMessage("Running", ToQString(kMainWindowTitle), QSystemTrayIcon::Information, 5000);
}

bool CQX600DriverDlg::HasTray() const {
    return tray_ != nullptr && tray_->isVisible() && QSystemTrayIcon::isSystemTrayAvailable();
}

void CQX600DriverDlg::SwitchPage(int tab) {
    const PageSwitch s = SwitchPageTable(tab);
    if (!s.valid) return;
    if (s.leavesMacroPage && macroPage_) {
        macroPage_->CloseCategoryMenu();
        if (macroPage_->IsRecording()) macroPage_->StopRecording();
    }
    activeTab_ = tab;
    for (int i = 0; i < 5; ++i) tabs_[i]->SetSelected(i + 1 == tab);
    for (int i = 0; i < kPageCount; ++i) pages_[i]->setVisible(s.shown[i]);
    for (auto* p : profiles_) p->setEnabled(s.profileButtonsEnabled);
    apply_->setEnabled(s.profileButtonsEnabled);
    if (s.refreshButtonsPage) buttonsPage_->RefreshFromProfile();
    if (s.refreshLightingPage) {
        lightingPage_->Refresh();
        lightingPage_->update();
    }
}

void CQX600DriverDlg::RefreshPages() {
    if (buttonsPage_) buttonsPage_->RefreshFromProfile();
    if (lightingPage_) {
        lightingPage_->Refresh();
        lightingPage_->update();
    }
}

void CQX600DriverDlg::HideToTray() {
    if (macroPage_) macroPage_->CloseCategoryMenu();
    // Without a tray there would be no way back to a hidden window.
    if (HasTray())
        hide();
    else
        showMinimized();
    ctx_.hooks.SetKeyForwarding(false);
}

void CQX600DriverDlg::ShowProfileSelection() {
    for (int i = 0; i < 5; ++i)
        if (profiles_[i]) profiles_[i]->SetSelected(files_->IsShownSelected(i));
}

void CQX600DriverDlg::OnProfile(int profile) {
    for (int i = 0; i < 5; ++i) profiles_[i]->SetSelected(i + 1 == profile);
    files_->SelectProfile(profile - 1);
    ShowProfileSelection();
}

void CQX600DriverDlg::OnApply() {
    if (macroPage_) macroPage_->NormaliseLoopCount();
    if (profile_->settings.scrollLines != -1 && buttonsPage_) buttonsPage_->NormalizeLinesEdit();
    RunSynchronisation();
}

void CQX600DriverDlg::RunSynchronisation() {
    // A pass under way refuses a second one: the click or restore is not lost
    // in memory, but nothing is signalled again.
    if (!sync_.syncReady.load() || presence_ == nullptr ||
        presence_->CurrentState() != DevicePresence::State::Connected)
        return;
    if (!progress_)
        progress_ =
            std::make_unique<support::CDlgProgress>(ctx_.folders.appFolder, ctx_.language, this);
    sync_.progressWindow = progress_->Handle();
    // The window exists and shows before the writer is woken, so the first
    // progress message has somewhere to go.
    progress_->onShown = [this] { sync_.RequestSync(); };
    progress_->Run();
    progress_->onShown = nullptr;
}

void CQX600DriverDlg::OnSyncSucceededMessage(LParam warnings) {
    // A save that fails is reported by the profile files; the settings stay
    // in memory, so the next Apply saves them again.
    OnSyncSucceeded(sync_, *profile_, *files_, ctx_.hooks, Handle());
    // The pass went on past these, but the user must know which one the
    // mouse did not take.
    if (const std::u16string text = SyncWarningText(warnings); !text.empty())
        ctx_.notifier.ShowInfoMessage(text);
}

void CQX600DriverDlg::OnSyncFailedMessage(LParam code) {
    if (progress_) progress_->PostMessage(kMsgSyncFailed, 0, code);
    OnSyncFailed(sync_, code, ctx_.notifier);
}

void CQX600DriverDlg::OnRestoreDefaults() {
    MakeDefaultProfile(profile_->settings, ctx_.language.chineseMode);
    profile_->macroIds.fill(0);
    RefreshPages();
    RunSynchronisation();
}

void CQX600DriverDlg::OnLanguageButton() {
    if (languageMenu_) return;
    languageMenu_ = new ui::CMenuExA(this);
    languageMenu_->OpenAtButton(QRect(language_->mapToGlobal(QPoint(0, 0)), language_->size()));
}

void CQX600DriverDlg::OnApplyLanguage(WParam reason, LParam number) {
    const ApplyLanguageOutcome outcome =
        ApplyLanguage(ctx_.language, ctx_.folders.appFolder, ctx_.folders.dataFolder, ctx_.notifier,
                      tooltips_, reason, number, !languageMenu_.isNull());
    if (outcome.labelPicture != 0) SetLanguageLabel(outcome.labelPicture);
    if (outcome.closeMenu && languageMenu_) {
        languageMenu_->close();
        languageMenu_->deleteLater();
        languageMenu_ = nullptr;
    }
    update();
}

void CQX600DriverDlg::SetLanguageLabel(int picture) {
    if (languageLabel_)
        languageLabel_->setPixmap(QPixmap::fromImage(ui::LoadResourcePicture(picture).image));
}

void CQX600DriverDlg::OnTrayCallback(LParam mouseMessage) {
    switch (TrayCallbackAction(mouseMessage)) {
        case TrayAction::RefreshAndShow:
            RefreshPages();
            ShowAndRaise();
            break;
        case TrayAction::ShowMenu:
            ShowTrayMenu();
            break;
        case TrayAction::Nothing:
            break;
    }
}

void CQX600DriverDlg::ShowTrayMenu() {
    ui::CXPMenu menu(this);
    menu.AddItem(kTrayCommandConfig, "Config", skin::kTrayConfig);
    menu.AddItem(kTrayCommandExit, "Exit", skin::kTrayExit);
    activateWindow();
    if (QAction* chosen = menu.exec(QCursor::pos()))
        PostMessage(kWmCommand, static_cast<WParam>(chosen->data().toInt()), 0);
}

void CQX600DriverDlg::OnHint(LParam code) {
    SetHint(qx::HintText(ctx_.language, static_cast<int>(code)));
}

void CQX600DriverDlg::SetHint(std::u16string text) {
    if (text == hint_) return;
    hint_ = std::move(text);
    update(ui::ToQRect(L::kHintArea));
}

void CQX600DriverDlg::paintEvent(QPaintEvent* e) {
    QPainter p(this);
    if (!normal_.isNull()) p.drawImage(e->rect(), normal_, e->rect());
    if (!hint_.empty()) {
        p.setFont(ui::ShellDlgFont(14, 300));
        p.setPen(QColor(0xBE, 0xBE, 0xBE));
        const QRect box = ui::ToQRect(L::kHintArea);
        const QFontMetrics fm(p.font());
        // Word-wrapped; what does not fit ends with an ellipsis.
        QString text = ToQString(hint_);
        QRect needed = fm.boundingRect(box, Qt::TextWordWrap, text);
        while (needed.height() > box.height() && text.size() > 1) {
            text.chop(2);
            text += QChar(0x2026);
            needed = fm.boundingRect(box, Qt::TextWordWrap, text);
        }
        p.drawText(box, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextWordWrap, text);
    }
    QFont model = ui::ShellDlgFont(16, 800);
    p.setFont(model);
    p.setPen(QColor(0x40, 0xC4, 0xDD));
    const QRect modelBox = ui::ToQRect(L::kModelName);
    p.drawText(modelBox, Qt::AlignCenter | Qt::TextSingleLine,
               QFontMetrics(model).elidedText(ToQString(ctx_.folders.deviceModel), Qt::ElideRight,
                                              modelBox.width()));
}

void CQX600DriverDlg::mousePressEvent(QMouseEvent* e) {
    if (e->button() != Qt::LeftButton) return;
    // Dragged by its background; without a window manager, by hand.
    if (windowHandle() && windowHandle()->startSystemMove()) return;
    dragging_ = true;
    dragOffset_ = e->globalPosition().toPoint() - frameGeometry().topLeft();
}

void CQX600DriverDlg::mouseMoveEvent(QMouseEvent* e) {
    if (dragging_) {
        move(e->globalPosition().toPoint() - dragOffset_);
        return;
    }
    if (!hint_.empty()) SetHint({});
    const QPoint at = e->position().toPoint();
    if (const int code = MainHintCodeAt(at.x(), at.y())) PostMessage(kMsgHint, 0, code);
}

void CQX600DriverDlg::mouseReleaseEvent(QMouseEvent*) {
    dragging_ = false;
}

bool CQX600DriverDlg::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseMove) {
        // Pointing at one of the window's own buttons shows its hint.
        for (int i = 0; i < 5; ++i) {
            if (watched == tabs_[i]) PostMessage(kMsgHint, 0, kHintFirstTab + i);
            if (watched == profiles_[i]) PostMessage(kMsgHint, 0, kHintFirstProfile + i);
        }
        if (watched == apply_) PostMessage(kMsgHint, 0, kHintApply);
    }
    if ((event->type() == QEvent::KeyPress || event->type() == QEvent::KeyRelease) &&
        IsOwnKeyTarget(watched)) {
        auto* key = static_cast<QKeyEvent*>(event);
        const KeyVerdict verdict =
            FilterMainWindowKey(FilteredVirtualKey(key->key()), key->modifiers() & Qt::AltModifier);
        if (verdict == KeyVerdict::Drop) return true;
        if (verdict == KeyVerdict::HideToTray) {
            if (event->type() == QEvent::KeyPress) HideToTray();
            return true;
        }
    }
    return ui::CMessageWidget::eventFilter(watched, event);
}

bool CQX600DriverDlg::IsOwnKeyTarget(QObject* object) const {
    // The window and its pages and controls; popups (menus, the language
    // list) handle their own keys.
    auto* widget = qobject_cast<QWidget*>(object);
    if (widget == nullptr || (widget->windowFlags() & Qt::Popup) == Qt::Popup) return false;
    return widget == this || isAncestorOf(widget);
}

void CQX600DriverDlg::closeEvent(QCloseEvent* e) {
    if (shutDown_) {
        ui::CMessageWidget::closeEvent(e);
        return;
    }
    // Closing the window (the window manager's close, Alt+F4) hides it; only
    // WM_CLOSE ends the utility.
    e->ignore();
    HideToTray();
}

// DeviceHost

void CQX600DriverDlg::StartWorkerThreads() {
    if (!writerThread_.joinable())
        writerThread_ = std::thread([this] { writer_->DeviceWriterThread(); });
    if (!updateThread_.joinable()) updateThread_ = downloader_->StartThread();
}

void CQX600DriverDlg::ShowAndRaise() {
    if (isMinimized())
        showNormal();
    else
        show();
    raise();
    activateWindow();
}

void CQX600DriverDlg::StartUpdaterTimer() {
    updaterTimer_.start();
}

void CQX600DriverDlg::PostClose() {
    closing_ = true;
    PostMessage(kWmClose, 0, 0);
}

void CQX600DriverDlg::SetArrivalRetry(bool on) {
    if (on)
        arrivalRetryTimer_.start();
    else
        arrivalRetryTimer_.stop();
}

void CQX600DriverDlg::ReadHotPlug() {
    if (!ctx_.hotPlug) return;
    // Always drained: events left waiting would keep the notifier firing.
    const auto events = ctx_.hotPlug->TakeEvents();
    if (!presence_) return;
    for (const HotPlugEvent& event : events) {
        if (event.kind == HotPlugEvent::Kind::Arrival)
            presence_->OnDeviceArrival(event.identifier);
        else
            presence_->OnDeviceRemoval(event.identifier);
    }
}

void CQX600DriverDlg::ReadWakeMessages() {
    if (!ctx_.instance) return;
    for (const WakeMessage& message : ctx_.instance->TakeMessages())
        if (message.message == kMsgTrayCallback) PostMessage(message.message, 0, message.lParam);
}

void CQX600DriverDlg::OnQueryEndSession() {
    if (statsPage_) statsPage_->SaveCounters();
}

void CQX600DriverDlg::OnClose() {
    if (shutDown_) return;
    closing_ = true;
    // A box still open (a message, the progress window) runs a loop of its
    // own, and whoever opened it carries on once it returns: close the boxes
    // first and shut down when the stack has unwound to this window's loop.
    if (CloseOtherDialogs()) {
        PostMessage(kWmClose, 0, 0);
        return;
    }
    if (tray_) tray_->hide();
    Shutdown();
    hide();
    runLoop_.exit(0);
}

bool CQX600DriverDlg::CloseOtherDialogs() {
    bool closed = false;
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        auto* dialog = qobject_cast<QDialog*>(widget);
        if (dialog == nullptr || !dialog->isVisible()) continue;
        dialog->done(kIdCancel);
        closed = true;
    }
    if (languageMenu_) languageMenu_->close();
    return closed;
}

void CQX600DriverDlg::Shutdown() {
    if (shutDown_) return;
    shutDown_ = true;
    closing_ = true;
    updaterTimer_.stop();
    arrivalRetryTimer_.stop();
    if (languageMenu_) languageMenu_->close();
    delete hotPlugNotifier_;
    hotPlugNotifier_ = nullptr;
    delete wakeNotifier_;
    wakeNotifier_ = nullptr;
    qApp->removeEventFilter(this);
    ctx_.hooks.RemoveInputHooks();
    // The pages go first, in creation order.
    for (QWidget*& page : pages_) {
        delete page;
        page = nullptr;
    }
    buttonsPage_ = nullptr;
    mousePage_ = nullptr;
    lightingPage_ = nullptr;
    macroPage_ = nullptr;
    statsPage_ = nullptr;
    supportPage_ = nullptr;
    driver_.DestroyChannel();
    // The threads end at their next wake-up; they are waited for so that
    // nothing runs on while the process tears down.
    sync_.writerRunning = false;
    ctx_.syncEvent.Set();
    // Also cuts a running download short.
    updateControl_.Stop();
    if (writerThread_.joinable()) writerThread_.join();
    if (updateThread_.joinable()) updateThread_.join();
    sync_.mainWindow = TargetHandle();
    sync_.progressWindow = TargetHandle();
    driver_.CloseDevice();
}

}  // namespace qx::app
