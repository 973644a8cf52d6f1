// Owner-drawn list: colours, item height, typed item data, the event icons of
// the macro event list, hover redraw and in-place editing of an item's text.
#pragma once

#include <QColor>
#include <QImage>
#include <QLineEdit>
#include <QListWidget>
#include <QPointer>
#include <array>
#include <cstdint>
#include <filesystem>

namespace qx::ui {

class CListBoxEx : public QListWidget {
    Q_OBJECT
public:
    CListBoxEx(QWidget* parent, int id);

    int Id() const { return id_; }
    void SetBackColors(QColor back, QColor selectedBack);
    void SetTextColors(QColor text, QColor selectedText);
    void SetItemHeight(int height);
    int ItemHeight() const { return itemHeight_; }
    void SetIconSize(int width, int height);
    // Loads the eight event icons from the skins folder once.
    void LoadEventIcons(const std::filesystem::path& skinsFolder);
    void SetNotifyWindow(QObject* window) { notify_ = window; }
    void SetEditEnabled(bool on) { editEnabled_ = on; }

    int AddString(const QString& text, std::int32_t data = 0);
    // Item data = type in the top byte, the low 24 bits of value below it.
    int AddTypedString(const QString& text, int type, std::int32_t value);
    void InsertString(int index, const QString& text, std::int32_t data);
    std::int32_t GetItemData(int index) const;
    QString GetText(int index) const;
    static int ItemType(std::int32_t data) { return static_cast<std::uint32_t>(data) >> 24; }

    // Opens an edit of 20 characters at most over the item.
    void BeginEdit(int index);
    bool IsEditing() const { return edit_ != nullptr; }
    QLineEdit* Editor() const { return edit_; }
    int HoverIndex() const { return hover_; }

    static inline constexpr int kEditLimit = 20;

signals:
    // The user moved the selection (mouse or keys); WM_USER+101 (control id,
    // index) is posted to the notify window with it. Changes the program
    // makes (adding, removing, selecting, committing an edit) notify nobody,
    // as a Windows list box sends LBN_SELCHANGE for the user's changes only.
    void UserSelectionChanged(int row);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void mousePressEvent(QMouseEvent*) override;
    void mouseReleaseEvent(QMouseEvent*) override;
    void mouseDoubleClickEvent(QMouseEvent*) override;
    void mouseMoveEvent(QMouseEvent*) override;
    void keyPressEvent(QKeyEvent*) override;
    void leaveEvent(QEvent*) override;

private:
    friend class ListBoxExDelegate;
    // Marks a stretch of user input, or of the list's own changes.
    struct Scope {
        explicit Scope(int& depth) : depth_(depth) { ++depth_; }
        ~Scope() { --depth_; }
        int& depth_;
    };
    void OnCurrentRowChanged(int row);
    void CommitEdit();
    void DiscardEdit();
    void CloseEdit();
    const QImage* IconFor(std::int32_t data, bool selected) const;

    int id_;
    QColor back_, selectedBack_, text_, selectedText_;
    int itemHeight_ = 20;
    QSize iconSize_{16, 16};
    std::array<std::array<QImage, 2>, 4> icons_;  // types 2-5, normal / selected
    bool iconsLoaded_ = false;
    QObject* notify_ = nullptr;
    bool editEnabled_ = false;
    QPointer<QLineEdit> edit_;
    int editIndex_ = -1;
    bool closingEdit_ = false;
    int hover_ = -1;
    int userInput_ = 0;
    int ownChange_ = 0;
};

}  // namespace qx::ui
