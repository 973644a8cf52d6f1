// MenuEx.so: the outside menu library. CreateMenuEx opens a skinned popup list
// under a point; a chosen item is posted to the owner as WM_USER+257 with the
// item's value; DestroyMenuEx closes the open list.
#include <QApplication>
#include <QImage>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>
#include <QWidget>
#include <vector>

#include "base/MenuLibrary.h"

namespace {

QColor FromColorRef(std::uint32_t c) {
    return QColor(static_cast<int>(c & 0xFF), static_cast<int>((c >> 8) & 0xFF),
                  static_cast<int>((c >> 16) & 0xFF));
}

class MenuList final : public QWidget {
public:
    MenuList(qx::MessageTarget* owner, const QColor& text, const QColor& hotText,
             const QColor& edge, const char* const pictures[8], const QxMenuItem* items, int count)
        : QWidget(nullptr, Qt::Popup | Qt::FramelessWindowHint),
          owner_(owner),
          text_(text),
          hotText_(hotText),
          edge_(edge) {
        setMouseTracking(true);
        for (int i = 0; i < 3; ++i)
            if (pictures && pictures[i]) looks_[i] = QImage(QString::fromUtf8(pictures[i]));
        for (int i = 0; i < count; ++i) {
            const auto& item = items[i];
            std::u16string text;
            for (int k = 0; k < 39 && item.text[k]; ++k) text.push_back(item.text[k]);
            entries_.push_back({item.value, QString::fromStdU16String(text)});
        }
        const int w = looks_[0].isNull() ? 164 : looks_[0].width();
        resize(w + 2, static_cast<int>(entries_.size()) * kRow + 2);
    }

    int RowAt(const QPoint& p) const {
        if (p.x() < 1 || p.x() >= width() - 1 || p.y() < 1) return -1;
        const int row = (p.y() - 1) / kRow;
        return row < static_cast<int>(entries_.size()) ? row : -1;
    }
    static constexpr int kRow = 22;

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        p.fillRect(rect(), QColor(0x0B, 0x0D, 0x11));
        QFont f;
        f.setFamilies({"DejaVu Sans", "WenQuanYi Micro Hei"});
        f.setPixelSize(12);
        p.setFont(f);
        for (int i = 0; i < static_cast<int>(entries_.size()); ++i) {
            const QRect r(1, 1 + i * kRow, width() - 2, kRow);
            const int look = i == pressed_ ? 2 : (i == hover_ ? 1 : 0);
            if (!looks_[look].isNull()) p.drawImage(r, looks_[look]);
            p.setPen(look == 0 ? text_ : (look == 1 ? hotText_ : QColor(0x26, 0x1D, 0x05)));
            p.drawText(r.adjusted(10, 0, -6, 0), Qt::AlignLeft | Qt::AlignVCenter,
                       entries_[i].text);
        }
        p.setPen(edge_);
        p.drawRect(rect().adjusted(0, 0, -1, -1));
    }
    void mouseMoveEvent(QMouseEvent* e) override {
        const int row = RowAt(e->position().toPoint());
        if (row != hover_) {
            hover_ = row;
            update();
        }
    }
    void mousePressEvent(QMouseEvent* e) override {
        if (!rect().contains(e->position().toPoint())) {
            close();
            return;
        }
        pressed_ = RowAt(e->position().toPoint());
        update();
    }
    void mouseReleaseEvent(QMouseEvent* e) override {
        const int row = RowAt(e->position().toPoint());
        pressed_ = -1;
        if (row >= 0 && row < static_cast<int>(entries_.size()) && owner_) {
            owner_->PostMessage(qx::kMsgMenuChoice, 0, entries_[row].value);
            hide();  // the owner answers with DestroyMenuEx
        }
        update();
    }

private:
    struct Entry {
        std::int32_t value;
        QString text;
    };
    qx::MessageTarget* owner_;
    QColor text_, hotText_, edge_;
    QImage looks_[3];
    std::vector<Entry> entries_;
    int hover_ = -1, pressed_ = -1;
};

QPointer<MenuList> openList;

}  // namespace

extern "C" {

__attribute__((visibility("default"))) void CreateMenuEx(
    qx::MessageTarget* owner, std::int32_t /*style: 24, the row pitch of the original lists*/,
    QxMenuPoint point, std::uint32_t colour1, std::uint32_t colour2, std::uint32_t colour3,
    const char* const pictures[8], const QxMenuItem* items, std::int32_t itemCount) {
    if (qobject_cast<QApplication*>(QCoreApplication::instance()) == nullptr) return;
    delete openList.data();
    auto* list =
        new MenuList(owner, FromColorRef(colour1), FromColorRef(colour2), FromColorRef(colour3),
                     pictures, items, itemCount < 0 ? 0 : itemCount);
    list->move(point.x, point.y);
    list->show();
    openList = list;
}

__attribute__((visibility("default"))) void DestroyMenuEx() {
    // Deleted at once: the library may be unloaded before a deferred delete runs.
    delete openList.data();
}

__attribute__((visibility("default"))) int DllPreTranslateMessage(void*) {
    return 0;
}
}

// The declared types and these definitions must agree.
static_assert(std::is_same_v<decltype(&CreateMenuEx), QxCreateMenuExFn>);
static_assert(std::is_same_v<decltype(&DestroyMenuEx), QxDestroyMenuExFn>);
static_assert(std::is_same_v<decltype(&DllPreTranslateMessage), QxDllPreTranslateMessageFn>);
