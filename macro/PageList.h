// One list of the macro page as the page model keeps it: items of a text and
// 32-bit data, and the selection. The window mirrors every change through a
// sink, so a list of a thousand events is never rebuilt for one appended key.
// Qt-free.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace qx::macro {

struct PageListItem {
    std::u16string text;
    std::uint32_t data = 0;
    bool operator==(const PageListItem&) const = default;
};

// What a window does to its list box when the model's list changes.
class PageListSink {
public:
    virtual ~PageListSink() = default;
    virtual void Cleared() = 0;
    virtual void Inserted(int index, const PageListItem& item) = 0;
    virtual void Replaced(int index, const PageListItem& item) = 0;
    virtual void Removed(int index) = 0;
    virtual void Selected(int index) = 0;
    virtual void RedrawSuspended(bool suspended) = 0;
    // The in-place editor is to open on the item.
    virtual void EditRequested(int index) = 0;
};

class PageList {
public:
    int Count() const { return static_cast<int>(items_.size()); }
    bool Empty() const { return items_.empty(); }
    bool Valid(int index) const { return index >= 0 && index < Count(); }
    const PageListItem& Item(int index) const { return items_[index]; }
    std::uint32_t Data(int index) const { return items_[index].data; }
    // The top byte of the item's data.
    int Type(int index) const { return static_cast<int>(items_[index].data >> 24); }
    int Selection() const { return selection_; }
    const std::vector<PageListItem>& Items() const { return items_; }

    void SetSink(PageListSink* sink) { sink_ = sink; }

    // The list operations of the page. Appending, inserting and replacing
    // select the item, as the list box does.
    void Clear();
    int Append(PageListItem item);
    void Insert(int index, PageListItem item);
    void Replace(int index, PageListItem item);
    // The selection stays on the item it was on; none when that was removed.
    void Remove(int index);
    void Select(int index);
    void SuspendRedraw(bool suspended);
    void RequestEdit(int index);

    // The window's own list changed under the user's hand: taken over without
    // telling the sink again.
    void SelectedByUser(int index);
    void TextEditedByUser(int index, std::u16string text);

private:
    std::vector<PageListItem> items_;
    int selection_ = -1;
    PageListSink* sink_ = nullptr;
};

}  // namespace qx::macro
