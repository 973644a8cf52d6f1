#include "ui/ListBoxEx.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPainter>
#include <QStyledItemDelegate>

#include "ui/GDIBitmapBtn.h"
#include "ui/PrivateMessage.h"
#include "ui/SkinPicture.h"
#include "ui/layout/SkinFiles.h"

namespace qx::ui {

namespace {
// The one in-place edit of the whole program.
QPointer<CListBoxEx> openEditor;
constexpr int kDataRole = Qt::UserRole;
}  // namespace

class ListBoxExDelegate final : public QStyledItemDelegate {
public:
    explicit ListBoxExDelegate(CListBoxEx* list) : QStyledItemDelegate(list), list_(list) {}

    QSize sizeHint(const QStyleOptionViewItem&, const QModelIndex&) const override {
        return QSize(list_->viewport()->width(), list_->itemHeight_);
    }

    void paint(QPainter* p, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        const bool selected = option.state & QStyle::State_Selected;
        const bool hovered = index.row() == list_->hover_ && !list_->IsEditing();
        QColor back = selected ? list_->selectedBack_ : list_->back_;
        if (hovered && !selected) back = back.lighter(130);
        p->fillRect(option.rect, back);
        const auto data = index.data(kDataRole).toInt();
        int textLeft = option.rect.left() + 5;
        if (const QImage* icon = list_->IconFor(data, selected)) {
            p->drawImage(
                QRect(QPoint(option.rect.left() + 5, option.rect.top() + 1), list_->iconSize_),
                *icon);
            textLeft = option.rect.left() + 5 + list_->iconSize_.width() + 10;
        }
        p->setFont(ShellDlgFont(14, 400));
        p->setPen(selected ? list_->selectedText_ : list_->text_);
        const QRect textRect(textLeft, option.rect.top(), option.rect.right() - textLeft,
                             option.rect.height());
        const QString text =
            p->fontMetrics().elidedText(index.data().toString(), Qt::ElideRight, textRect.width());
        p->drawText(textRect, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, text);
    }

private:
    CListBoxEx* list_;
};

CListBoxEx::CListBoxEx(QWidget* parent, int id)
    : QListWidget(parent),
      id_(id),
      back_(QApplication::palette().color(QPalette::Base)),
      selectedBack_(QApplication::palette().color(QPalette::Highlight)),
      text_(QApplication::palette().color(QPalette::WindowText)),
      selectedText_(QApplication::palette().color(QPalette::HighlightedText)) {
    setItemDelegate(new ListBoxExDelegate(this));
    setFrameShape(QFrame::NoFrame);
    setMouseTracking(true);
    viewport()->setMouseTracking(true);
    setUniformItemSizes(true);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    connect(this, &QListWidget::currentRowChanged, this, &CListBoxEx::OnCurrentRowChanged);
}

void CListBoxEx::OnCurrentRowChanged(int row) {
    if (userInput_ == 0 || ownChange_ > 0) return;
    // What a receiver changes in return is its own doing, not the user's.
    Scope own(ownChange_);
    PostWindowMessage(notify_ ? notify_ : parentWidget(), kMsgListSelChange,
                      static_cast<WParam>(id_), row);
    emit UserSelectionChanged(row);
}

void CListBoxEx::SetBackColors(QColor back, QColor selectedBack) {
    back_ = back;
    selectedBack_ = selectedBack;
    QPalette pal = palette();
    pal.setColor(QPalette::Base, back);
    setPalette(pal);
    viewport()->update();
}

void CListBoxEx::SetTextColors(QColor text, QColor selectedText) {
    text_ = text;
    selectedText_ = selectedText;
    viewport()->update();
}

void CListBoxEx::SetItemHeight(int height) {
    itemHeight_ = height;
    doItemsLayout();
}

void CListBoxEx::SetIconSize(int width, int height) {
    iconSize_ = QSize(width, height);
}

void CListBoxEx::LoadEventIcons(const std::filesystem::path& skinsFolder) {
    for (int type = 0; type < 4; ++type)
        for (int sel = 0; sel < 2; ++sel)
            icons_[type][sel] =
                LoadSkinPicture(skinsFolder / std::string(skin::kEventIcons[type][sel])).image;
    iconsLoaded_ = true;
}

const QImage* CListBoxEx::IconFor(std::int32_t data, bool selected) const {
    if (!iconsLoaded_) return nullptr;
    const int type = ItemType(data);
    if (type < 2 || type > 5) return nullptr;
    const QImage& icon = icons_[type - 2][selected ? 1 : 0];
    return icon.isNull() ? nullptr : &icon;
}

int CListBoxEx::AddString(const QString& text, std::int32_t data) {
    auto* item = new QListWidgetItem(text);
    item->setData(kDataRole, data);
    addItem(item);
    return count() - 1;
}

int CListBoxEx::AddTypedString(const QString& text, int type, std::int32_t value) {
    const auto data = static_cast<std::int32_t>((static_cast<std::uint32_t>(type) << 24) |
                                                (static_cast<std::uint32_t>(value) & 0xFFFFFF));
    return AddString(text, data);
}

void CListBoxEx::InsertString(int index, const QString& text, std::int32_t data) {
    auto* item = new QListWidgetItem(text);
    item->setData(kDataRole, data);
    insertItem(index, item);
}

std::int32_t CListBoxEx::GetItemData(int index) const {
    const QListWidgetItem* it = item(index);
    return it ? it->data(kDataRole).toInt() : 0;
}

QString CListBoxEx::GetText(int index) const {
    const QListWidgetItem* it = item(index);
    return it ? it->text() : QString();
}

void CListBoxEx::BeginEdit(int index) {
    if (index < 0 || index >= count()) return;
    if (openEditor && openEditor->IsEditing()) openEditor->CommitEdit();
    edit_ = new QLineEdit(viewport());
    editIndex_ = index;
    edit_->setGeometry(visualItemRect(item(index)));
    edit_->setMaxLength(kEditLimit);
    edit_->setFont(ShellDlgFont(14, 400));
    edit_->setText(item(index)->text().left(kEditLimit));
    edit_->selectAll();
    edit_->installEventFilter(this);
    edit_->show();
    edit_->setFocus();
    openEditor = this;
    viewport()->update();
}

void CListBoxEx::CloseEdit() {
    closingEdit_ = true;
    if (edit_) {
        edit_->removeEventFilter(this);
        edit_->hide();
        edit_->deleteLater();
    }
    edit_ = nullptr;
    if (openEditor == this) openEditor = nullptr;
    closingEdit_ = false;
    viewport()->update();
}

void CListBoxEx::CommitEdit() {
    if (!edit_) return;
    Scope own(ownChange_);
    const int index = editIndex_;
    const QString text = edit_->text();
    CloseEdit();
    // Replaced by an item with the edited text and the same data, then selected.
    const std::int32_t data = GetItemData(index);
    delete takeItem(index);
    InsertString(index, text, data);
    setCurrentRow(index);
    PostWindowMessage(notify_ ? notify_ : parentWidget(), kMsgListEditDone,
                      static_cast<WParam>(id_), index);
}

void CListBoxEx::DiscardEdit() {
    if (!edit_) return;
    Scope own(ownChange_);
    const int index = editIndex_;
    CloseEdit();
    setCurrentRow(index);
}

bool CListBoxEx::eventFilter(QObject* watched, QEvent* event) {
    if (watched == edit_ && !closingEdit_) {
        if (event->type() == QEvent::KeyRelease) {
            const int key = static_cast<QKeyEvent*>(event)->key();
            if (key == Qt::Key_Return || key == Qt::Key_Enter) {
                CommitEdit();
                return true;
            }
            if (key == Qt::Key_Escape) {
                DiscardEdit();
                return true;
            }
        } else if (event->type() == QEvent::KeyPress) {
            // The keys act on release; their presses must not reach the dialog.
            const int key = static_cast<QKeyEvent*>(event)->key();
            if (key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Escape) return true;
        } else if (event->type() == QEvent::FocusOut) {
            CommitEdit();
            return false;
        }
    }
    return QListWidget::eventFilter(watched, event);
}

void CListBoxEx::mousePressEvent(QMouseEvent* e) {
    Scope user(userInput_);
    QListWidget::mousePressEvent(e);
}

void CListBoxEx::mouseReleaseEvent(QMouseEvent* e) {
    Scope user(userInput_);
    QListWidget::mouseReleaseEvent(e);
}

void CListBoxEx::keyPressEvent(QKeyEvent* e) {
    Scope user(userInput_);
    QListWidget::keyPressEvent(e);
}

void CListBoxEx::mouseDoubleClickEvent(QMouseEvent* e) {
    {
        Scope user(userInput_);
        QListWidget::mouseDoubleClickEvent(e);
    }
    if (!editEnabled_) return;
    const QModelIndex index = indexAt(e->position().toPoint());
    if (index.isValid()) BeginEdit(index.row());
}

void CListBoxEx::mouseMoveEvent(QMouseEvent* e) {
    {
        Scope user(userInput_);  // dragging over the items selects them
        QListWidget::mouseMoveEvent(e);
    }
    if (IsEditing()) return;
    const int row = indexAt(e->position().toPoint()).row();
    if (row != hover_) {
        const int old = hover_;
        hover_ = row;
        if (old >= 0 && item(old)) viewport()->update(visualItemRect(item(old)));
        if (row >= 0 && item(row)) viewport()->update(visualItemRect(item(row)));
    }
}

void CListBoxEx::leaveEvent(QEvent* e) {
    QListWidget::leaveEvent(e);
    if (hover_ >= 0 && item(hover_)) viewport()->update(visualItemRect(item(hover_)));
    hover_ = -1;
}

}  // namespace qx::ui
