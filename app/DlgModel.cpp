#include "app/DlgModel.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QPainter>
#include <QScreen>
#include <QWindow>
#include <array>
#include <string>

#include "app/Folders.h"
#include "base/MenuLibrary.h"
#include "base/Notifier.h"
#include "ui/GDIBitmapBtn.h"
#include "ui/PageWnd.h"
#include "ui/SkinPicture.h"
#include "ui/layout/SkinFiles.h"

namespace qx::app {

namespace M = layout::model_chooser;

namespace {
const QColor kGrey(0xA0, 0xA0, 0xA0);

QString ToQString(std::u16string_view text) {
    return QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size()));
}
}  // namespace

const char16_t* ModelOfCommand(std::int32_t command) {
    for (const auto& choice : kModelChoices)
        if (choice.command == command) return choice.name;
    return nullptr;
}

CDlgModel::CDlgModel(std::filesystem::path appFolder, std::filesystem::path modelIniPath,
                     std::u16string& deviceModel, const MenuLibrary& menuLibrary, bool chineseMode,
                     QWidget* parent)
    : ui::CMessageDialog(parent),
      appFolder_(std::move(appFolder)),
      modelIniPath_(std::move(modelIniPath)),
      deviceModel_(deviceModel),
      menuLibrary_(menuLibrary),
      chinese_(chineseMode) {
    // A window of its own in the task bar, without a frame.
    setWindowFlags(Qt::Window | Qt::FramelessWindowHint);
    setWindowTitle(chinese_ ? QString::fromUtf8("选择Orvik设备型号")
                            : QString("Select Orvik device model"));
    normal_ = ui::LoadSkinPicture(ui::SkinPath(appFolder_, skin::kModelChooser[0])).image;
    over_ = ui::LoadSkinPicture(ui::SkinPath(appFolder_, skin::kModelChooser[1])).image;
    down_ = ui::LoadSkinPicture(ui::SkinPath(appFolder_, skin::kModelChooser[2])).image;
    setFixedSize(normal_.isNull() ? QSize(0, 0) : normal_.size());
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->availableGeometry();
        move(area.left() + (area.width() - width()) / 2,
             area.top() + (area.height() - height()) / 2);
    }
    auto make = [this](const layout::Rect& r) {
        auto* b = new ui::CGDIBitmapBtn(this);
        b->SetImages(r.left, r.top, r.right, r.bottom, &normal_, &over_, &down_, &normal_);
        b->SetTextColors(kGrey, Qt::white, Qt::white);
        return b;
    };
    close_ = make(M::kClose);
    ok_ = make(M::kOk);
    ok_->setText(chinese_ ? QString::fromUtf8("确定") : QString("OK"));
    selector_ = make(M::kSelector);
    connect(close_, &QAbstractButton::clicked, this, [this] {
        deviceModel_ = kNoModel;
        WriteDeviceModel(modelIniPath_, deviceModel_);
        Finish(kIdCancel);
    });
    connect(ok_, &QAbstractButton::clicked, this, [this] {
        WriteDeviceModel(modelIniPath_, deviceModel_);
        Finish(kIdOk);
    });
    connect(selector_, &QAbstractButton::clicked, this, [this] { OpenList(); });
    messageMap_.On(kMsgMenuChoice, [this](WParam, LParam value) {
        OnMenuChoice(static_cast<std::int32_t>(value));
    });

    deviceModel_ = kModelChoices[0].name;
    selector_->setText(ToQString(deviceModel_));
}

CDlgModel::~CDlgModel() {
    if (menuLibrary_.DestroyMenuEx) menuLibrary_.DestroyMenuEx();
}

int CDlgModel::Run() {
    return exec();
}

void CDlgModel::OpenList() {
    std::array<QxMenuItem, 6> items{};
    for (std::size_t i = 0; i < items.size(); ++i) {
        items[i].marker = 255;
        items[i].value = kModelChoices[i].command;
        const std::u16string_view name = kModelChoices[i].name;
        std::copy(name.begin(), name.end(), items[i].text);
    }
    std::array<std::string, 8> paths;
    for (int i = 0; i < 4; ++i) {
        const std::string_view file = skin::kModelMenu[i == 3 ? 0 : i];
        const std::string_view sub = skin::kSubMenu[i == 3 ? 0 : i];
        paths[i] = (appFolder_ / "skins" / "Menu" / std::string(file)).string();
        paths[4 + i] = (appFolder_ / "skins" / "Menu" / std::string(sub)).string();
    }
    const char* pictures[8];
    for (int i = 0; i < 8; ++i) pictures[i] = paths[i].c_str();
    const QPoint corner = selector_->mapToGlobal(QPoint(0, selector_->height()));
    menuLibrary_.CreateMenuEx(this->Handle().get(), 24, {corner.x() + 1, corner.y() + 1}, 0xA0A0A0,
                              0xFFFFFF, 0xB98C15, pictures, items.data(),
                              static_cast<std::int32_t>(items.size()));
}

void CDlgModel::OnMenuChoice(std::int32_t command) {
    menuLibrary_.DestroyMenuEx();
    if (const char16_t* model = ModelOfCommand(command)) deviceModel_ = model;
    selector_->setText(ToQString(deviceModel_));
}

void CDlgModel::Finish(int result) {
    finished_ = true;
    done(result);
}

void CDlgModel::paintEvent(QPaintEvent*) {
    QPainter p(this);
    if (!normal_.isNull()) p.drawImage(0, 0, normal_);
    p.setFont(ui::ShellDlgFont(14, 300));
    p.setPen(kGrey);
    const int flags = Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine;
    p.drawText(ui::ToQRect(M::kHeading), flags,
               chinese_ ? QString::fromUtf8("提示") : QString("Tips"));
    // The prompt's box is lower than a line; the text is centred on it.
    p.drawText(ui::ToQRect(M::kPrompt).adjusted(0, -4, 0, 4), flags,
               chinese_ ? QString::fromUtf8("请选择设备型号：")
                        : QString("Please select the device model:"));
}

void CDlgModel::mousePressEvent(QMouseEvent* e) {
    if (e->button() != Qt::LeftButton) return;
    if (windowHandle() && windowHandle()->startSystemMove()) return;
    dragging_ = true;
    dragOffset_ = e->globalPosition().toPoint() - frameGeometry().topLeft();
}

void CDlgModel::mouseMoveEvent(QMouseEvent* e) {
    if (dragging_) move(e->globalPosition().toPoint() - dragOffset_);
}

void CDlgModel::mouseReleaseEvent(QMouseEvent*) {
    dragging_ = false;
}

void CDlgModel::keyPressEvent(QKeyEvent* e) {
    if (ui::IsDroppedKey(e->key())) {
        e->accept();
        return;
    }
    ui::CMessageDialog::keyPressEvent(e);
}

void CDlgModel::closeEvent(QCloseEvent* e) {
    // Closed from outside (the window manager): as the close button.
    if (!finished_) {
        e->ignore();
        deviceModel_ = kNoModel;
        WriteDeviceModel(modelIniPath_, deviceModel_);
        Finish(kIdCancel);
        return;
    }
    ui::CMessageDialog::closeEvent(e);
}

}  // namespace qx::app
