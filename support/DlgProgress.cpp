#include "support/DlgProgress.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QPainter>
#include <QScreen>

#include "i18n/LanguageTable.h"
#include "ui/PngHProgressBar.h"
#include "ui/SkinPicture.h"
#include "ui/layout/SkinFiles.h"
#include "ui/layout/SkinLayout.h"

namespace qx::support {

namespace P = layout::progress_window;

CDlgProgress::CDlgProgress(std::filesystem::path appFolder, const Localization& localization,
                           QWidget* parent)
    : ui::CMessageDialog(parent), appFolder_(std::move(appFolder)), localization_(localization) {
    setWindowFlags(Qt::Dialog | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint);
    setWindowTitle("OrvikProcessDlg");
    closeTimer_.setSingleShot(true);
    closeTimer_.setTimerType(Qt::PreciseTimer);
    closeTimer_.setInterval(kCloseDelayMs);
    connect(&closeTimer_, &QTimer::timeout, this, [this] { PostMessage(kWmClose, 0, 0); });
    messageMap_.On(kMsgProgress, [this](WParam w, LParam) { OnProgress(w); })
        .On(kMsgSyncFailed, [this](WParam, LParam) { Finish(); })
        .On(kWmClose, [this](WParam, LParam) { Finish(); });
}

void CDlgProgress::Initialise() {
    closing_ = false;
    closeTimer_.stop();
    const auto folder = ui::SkinPath(appFolder_, "skins/ProgressBar");
    normal_ = ui::LoadSkinPicture(folder / std::string(skin::kProgress[0])).image;
    over_ = ui::LoadSkinPicture(folder / std::string(skin::kProgress[1])).image;
    setFixedSize(normal_.isNull() ? QSize(0, 0) : normal_.size());
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->availableGeometry();
        move(area.left() + static_cast<int>(static_cast<unsigned>(area.width() - width()) / 2),
             area.top() + static_cast<int>(static_cast<unsigned>(area.height() - height()) / 2));
    }
    delete bar_;
    bar_ = new ui::CPngHProgressBar(this, kBarId, ui::ToQRect(P::kBar), normal_, over_);
    bar_->SetReadOnly(true);
    bar_->SetRange(0, 100);
    bar_->SetPos(0);
}

int CDlgProgress::Run() {
    Initialise();
    return exec();
}

void CDlgProgress::showEvent(QShowEvent* e) {
    ui::CMessageDialog::showEvent(e);
    raise();
    activateWindow();
    if (onShown) onShown();
}

void CDlgProgress::OnProgress(WParam percent) {
    if (bar_) bar_->SetPos(static_cast<int>(percent));
    repaint();
    if (percent == 100) closeTimer_.start();
}

void CDlgProgress::Finish() {
    closing_ = true;
    closeTimer_.stop();
    // The pictures are released with the window; the object stays for the next run.
    normal_ = QImage();
    over_ = QImage();
    done(Accepted);
}

void CDlgProgress::paintEvent(QPaintEvent*) {
    QPainter p(this);
    if (!normal_.isNull()) p.drawImage(rect(), normal_);
    QFont f;
    f.setFamilies({"DejaVu Sans", "WenQuanYi Micro Hei"});
    f.setPointSize(8);
    p.setFont(f);
    p.setPen(QColor(128, 128, 128));
    p.drawText(QRect(35, 20, 310, 40), Qt::AlignLeft | Qt::AlignTop,
               localization_.chineseMode
                   ? QString::fromUtf8("更新进行中，请稍候...")
                   : QString::fromUtf8("Updating is in progress, please wait…"));
}

void CDlgProgress::keyPressEvent(QKeyEvent* e) {
    switch (e->key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
        case Qt::Key_Escape:
        case Qt::Key_Space:
            e->accept();
            return;
        case Qt::Key_F4:
            if (e->modifiers() & Qt::AltModifier) {
                e->accept();
                return;
            }
            break;
        default:
            break;
    }
    ui::CMessageDialog::keyPressEvent(e);
}

void CDlgProgress::keyReleaseEvent(QKeyEvent* e) {
    e->accept();
}

void CDlgProgress::closeEvent(QCloseEvent* e) {
    // Only the window itself ends the run; the user cannot dismiss it.
    if (!closing_) e->ignore();
}

}  // namespace qx::support
