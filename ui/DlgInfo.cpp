#include "ui/DlgInfo.h"

#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QMessageBox>
#include <QPainter>
#include <QScreen>
#include <QThread>
#include <cstdio>
#include <cstdlib>

#include "base/Text.h"
#include "i18n/LanguageTable.h"
#include "ui/GDIBitmapBtn.h"
#include "ui/SkinPicture.h"
#include "ui/layout/SkinFiles.h"

namespace qx::ui {

namespace I = layout::info_box;

namespace {
int noticePeriodMs = CDlgInfo::kNoticePeriodMs;
const QColor kInfoText(0x53, 0x61, 0x67);
}  // namespace

void CDlgInfo::SetNoticePeriodForTests(int ms) {
    noticePeriodMs = ms;
}

CDlgInfo::CDlgInfo(const std::filesystem::path& appFolder, bool chineseMode, QWidget* parent)
    : CMessageDialog(parent), appFolder_(appFolder), chinese_(chineseMode) {
    setWindowFlags(Qt::Dialog | Qt::FramelessWindowHint);
    setWindowTitle("OrvikInfoDlg");
    timer_.setTimerType(Qt::PreciseTimer);
    timer_.setInterval(noticePeriodMs);
    connect(&timer_, &QTimer::timeout, this, [this] { OnTimer(kNoticeTimer); });
}

QString CDlgInfo::Caption(bool ok) const {
    if (ok) return chinese_ ? QString::fromUtf8("确定") : QString("OK");
    return chinese_ ? QString::fromUtf8("取消") : QString("Cancel");
}

void CDlgInfo::Initialise() {
    if (initialised_) return;
    initialised_ = true;
    const auto& files = withCancel ? skin::kInfoCancel : skin::kInfo;
    normal_ = LoadSkinPicture(SkinPath(appFolder_, files[0])).image;
    over_ = LoadSkinPicture(SkinPath(appFolder_, files[1])).image;
    down_ = LoadSkinPicture(SkinPath(appFolder_, files[2])).image;
    setFixedSize(normal_.size());
    const QRect screen = QGuiApplication::primaryScreen()
                             ? QGuiApplication::primaryScreen()->availableGeometry()
                             : QRect(0, 0, 1280, 800);
    move(screen.left() + (screen.width() - width()) / 2,
         screen.top() + (screen.height() - height()) / 2);

    auto make = [this](const layout::Rect& r, const QString& caption, int result) {
        auto* b = new CGDIBitmapBtn(this);
        b->SetImages(r.left, r.top, r.right, r.bottom, &normal_, &over_, &down_, &normal_);
        b->setText(caption);
        b->SetTextColors(kInfoText, Qt::white, Qt::white);
        connect(b, &QAbstractButton::clicked, this, [this, result] { done(result); });
        return b;
    };
    close_ = make(I::kClose, {}, kIdCancel);
    ok_ = make(withCancel ? I::kOkWithCancel : I::kOkAlone, Caption(true), kIdOk);
    if (withCancel) cancel_ = make(I::kCancel, Caption(false), kIdCancel);

    if (notice) {
        ok_->setText(chinese_ ? QString::fromUtf8("确定 (5s)") : QString("OK (5s)"));
        move(screen.left() + screen.width() - width() - 10,
             screen.top() + screen.height() - height());
        countdown = 5;
        timer_.setInterval(noticePeriodMs);
        timer_.start();
    }
}

int CDlgInfo::Run() {
    Initialise();
    return exec();
}

void CDlgInfo::OnTimer(int id) {
    if (id != kNoticeTimer) return;
    const bool last = countdown <= 0;
    if (last) timer_.stop();
    const QString format = chinese_ ? QString::fromUtf8("确定 (%1s)") : QString("OK (%1s)");
    if (ok_) ok_->setText(format.arg(countdown));
    --countdown;
    if (!last) return;
    // "OK (0s)" stays up for a last moment before the box goes.
    if (ok_) ok_->repaint();
    QTimer::singleShot(kLastMomentMs, this, [this] {
        if (isVisible()) PostMessage(kWmClose, 0, 0);
    });
}

QRect CDlgInfo::TextRect() const {
    const QRect box = ToQRect(I::kText);
    QFontMetrics fm(ShellDlgFont(14, 300));
    const QRect needed =
        fm.boundingRect(QRect(box.left(), 0, box.width(), 10000), Qt::TextWordWrap | Qt::AlignLeft,
                        QString::fromStdU16String(text));
    if (needed.height() <= box.height()) return box;
    // Too long for the box: it runs on below instead of being cut off.
    return QRect(box.left(), box.top(), box.width(), needed.height());
}

void CDlgInfo::paintEvent(QPaintEvent*) {
    QPainter p(this);
    if (!normal_.isNull()) p.drawImage(0, 0, normal_);
    p.setFont(ShellDlgFont(14, 300));
    p.setPen(kInfoText);
    p.drawText(ToQRect(I::kHeading), Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
               chinese_ ? QString::fromUtf8("提示") : QString("Tips"));
    p.drawText(TextRect(), Qt::AlignLeft | Qt::AlignVCenter | Qt::TextWordWrap,
               QString::fromStdU16String(text));
}

void CDlgInfo::keyPressEvent(QKeyEvent* e) {
    if (e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter) {
        done(kIdOk);
        return;
    }
    if (e->key() == Qt::Key_Escape) {
        done(kIdCancel);
        return;
    }
    CMessageDialog::keyPressEvent(e);
}

void CDlgInfo::closeEvent(QCloseEvent* e) {
    timer_.stop();
    e->accept();
    done(kIdCancel);
}

int ShowInfoMessage(const std::filesystem::path& appFolder, bool chineseMode,
                    std::u16string_view text, bool withCancel) {
    CDlgInfo box(appFolder, chineseMode);
    box.text = std::u16string(text);
    box.withCancel = withCancel ? 1 : 0;
    return box.Run();
}

int ShowInfoToast(const std::filesystem::path& appFolder, bool chineseMode,
                  std::u16string_view text) {
    CDlgInfo box(appFolder, chineseMode);
    box.text = std::u16string(text);
    box.withCancel = 0;
    box.notice = 1;
    return box.Run();
}

QtNotifier::QtNotifier(std::filesystem::path appFolder, const Localization& localization)
    : appFolder_(std::move(appFolder)), localization_(localization) {
    if (const char* file = std::getenv("QX_TEST_MESSAGE_FILE"); file && file[0])
        messageFile_ = file;
}

void QtNotifier::Record(const char* kind, std::u16string_view text) const {
    if (messageFile_.empty()) return;
    std::string line = kind;
    line += ": ";
    for (const char c : ToUtf8(text)) line += c == '\n' ? std::string("\\n") : std::string(1, c);
    line += '\n';
    if (std::FILE* f = std::fopen(messageFile_.c_str(), "ae")) {
        std::fwrite(line.data(), 1, line.size(), f);
        std::fclose(f);
    }
}

template <class F>
static auto OnWindowThread(F f) {
    using R = decltype(f());
    QCoreApplication* app = QCoreApplication::instance();
    if (app == nullptr || QThread::currentThread() == app->thread()) return f();
    R result{};
    QMetaObject::invokeMethod(
        app, [&] { result = f(); }, Qt::BlockingQueuedConnection);
    return result;
}

int QtNotifier::ShowInfoMessage(std::u16string_view text, bool withCancel) {
    Record("info", text);
    const std::u16string copy(text);
    return OnWindowThread([&] {
        return ui::ShowInfoMessage(appFolder_, localization_.chineseMode, copy, withCancel);
    });
}

int QtNotifier::ShowInfoToast(std::u16string_view text) {
    Record("toast", text);
    const std::u16string copy(text);
    return OnWindowThread(
        [&] { return ui::ShowInfoToast(appFolder_, localization_.chineseMode, copy); });
}

void QtNotifier::ShowStandardInfo(std::u16string_view text) {
    Record("standard", text);
    const std::u16string copy(text);
    OnWindowThread([&] {
        QMessageBox::information(nullptr, "Info", QString::fromStdU16String(copy));
        return 0;
    });
}

}  // namespace qx::ui
