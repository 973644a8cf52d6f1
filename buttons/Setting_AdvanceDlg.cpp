#include "buttons/Setting_AdvanceDlg.h"

#include <QDir>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>

#include "i18n/LanguageTable.h"
#include "ui/GDIBitmapBtn.h"
#include "ui/QtFileDialogs.h"
#include "ui/SkinPicture.h"
#include "ui/layout/SkinFiles.h"

namespace qx::buttons {

namespace E = layout::editor;

namespace {

constexpr std::string_view kRowLabels[kAdvancedRowCount] = {
    "str_advanced_sound", "str_advanced_exe", "str_advanced_file", "str_advanced_dir"};

QString ToQString(std::u16string_view text) {
    return QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace

CSetting_AdvanceDlg::CSetting_AdvanceDlg(QWidget* parent, const ui::PageEnvironment& environment,
                                         SettingEditorModel& model, int buttonIndex,
                                         FileDialogs* dialogs)
    : ui::CPageWnd(parent, environment), model_(model), dialogs_(dialogs) {
    SetPictures(ui::LoadSkinPicture(ui::SkinPath(env_.appFolder, skin::kAdvancedTab[0])).image,
                ui::LoadSkinPicture(ui::SkinPath(env_.appFolder, skin::kAdvancedTab[1])).image,
                ui::LoadSkinPicture(ui::SkinPath(env_.appFolder, skin::kAdvancedTab[2])).image);
    if (!dialogs_) {
        ownDialogs_ = std::make_unique<ui::QtFileDialogs>(this);
        dialogs_ = ownDialogs_.get();
    }
    auto button = [this](const layout::Rect& r, bool check) {
        auto* b = new ui::CGDIBitmapBtn(this);
        b->SetImages(r.left, r.top, r.right, r.bottom, &NormalPicture(), &OverPicture(),
                     &DownPicture(), &NormalPicture());
        b->SetCheckMode(check);
        return b;
    };
    for (int row = 0; row < kAdvancedRowCount; ++row) {
        const auto& r = E::kAdvancedRows[static_cast<std::size_t>(row)];
        auto* choice = button(r.choice, true);
        choice->SetValue(AdvancedChoiceValue(row, buttonIndex));
        choices_[static_cast<std::size_t>(row)] = choice;
        // The path boxes only show a path; a double click browses.
        auto* path = button(r.path, false);
        path->SetHoverEnabled(false);
        path->installEventFilter(this);
        paths_[static_cast<std::size_t>(row)] = path;
        browse_[static_cast<std::size_t>(row)] = button(r.browse, false);
    }
    SetTexts();
    tooltipObserver_ = env_.tooltips.Add([this] { SetTexts(); });

    messageMap_.On(kWmCommand, [this](WParam, LParam control) {
        for (int row = 0; row < kAdvancedRowCount; ++row) {
            const auto i = static_cast<std::size_t>(row);
            if (control == ui::WindowHandle(choices_[i])) {
                model_.SelectAdvancedRow(row);
                ShowRows();
            } else if (control == ui::WindowHandle(browse_[i])) {
                BrowseRow(row);
            }
        }
    });
}

CSetting_AdvanceDlg::~CSetting_AdvanceDlg() {
    if (tooltipObserver_ != 0) env_.tooltips.Remove(tooltipObserver_);
}

void CSetting_AdvanceDlg::SetTexts() {
    for (auto* b : browse_) b->setText(ToQString(env_.language.table.Text("str_browse")));
    update();
}

void CSetting_AdvanceDlg::ShowRows() {
    for (int row = 0; row < kAdvancedRowCount; ++row) {
        const auto i = static_cast<std::size_t>(row);
        choices_[i]->SetSelected(model_.advanced.selectedRow == row);
        paths_[i]->setText(ToQString(model_.advanced.paths[i]));
        paths_[i]->setToolTip(ToQString(model_.advanced.paths[i]));
    }
}

void CSetting_AdvanceDlg::BrowseRow(int row) {
    model_.SelectAdvancedRow(row);
    ShowRows();
    const PathRequest request =
        AdvancedPathRequest(row, std::filesystem::path(QDir::homePath().toStdString()));
    const QPointer<CSetting_AdvanceDlg> alive(this);
    const std::optional<std::filesystem::path> chosen =
        request.folder ? dialogs_->AskFolder(request.options.startFolder)
                       : dialogs_->AskOpenFile(request.options);
    // The editor may have gone while the dialog was open.
    if (!alive || !chosen) return;
    const QString path = QString::fromStdString(chosen->string());
    model_.SetAdvancedPath(row, path.toStdU16String(), env_.notifier, env_.language.chineseMode);
    ShowRows();
}

void CSetting_AdvanceDlg::paintEvent(QPaintEvent* e) {
    ui::CPageWnd::paintEvent(e);
    QPainter p(this);
    p.setFont(ui::ShellDlgFont(14, 300));
    p.setPen(QColor(0x58, 0x5F, 0x69));
    for (int row = 0; row < kAdvancedRowCount; ++row) {
        const QRect box = ui::ToQRect(E::kAdvancedRows[static_cast<std::size_t>(row)].label);
        const QString text = ToQString(env_.language.table.Text(kRowLabels[row]));
        p.drawText(box, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
                   p.fontMetrics().elidedText(text, Qt::ElideRight, box.width()));
    }
}

bool CSetting_AdvanceDlg::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseButtonDblClick &&
        static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
        for (int row = 0; row < kAdvancedRowCount; ++row)
            if (watched == paths_[static_cast<std::size_t>(row)]) {
                BrowseRow(row);
                return true;
            }
    }
    return ui::CPageWnd::eventFilter(watched, event);
}

}  // namespace qx::buttons
