#include "macro/PageList.h"

#include <algorithm>

namespace qx::macro {

void PageList::Clear() {
    items_.clear();
    selection_ = -1;
    if (sink_) sink_->Cleared();
}

int PageList::Append(PageListItem item) {
    Insert(Count(), std::move(item));
    return selection_;
}

void PageList::Insert(int index, PageListItem item) {
    index = std::clamp(index, 0, Count());
    items_.insert(items_.begin() + index, std::move(item));
    selection_ = index;
    if (sink_) {
        sink_->Inserted(index, items_[index]);
        sink_->Selected(index);
    }
}

void PageList::Replace(int index, PageListItem item) {
    if (!Valid(index)) return;
    items_[index] = std::move(item);
    selection_ = index;
    if (sink_) {
        sink_->Replaced(index, items_[index]);
        sink_->Selected(index);
    }
}

void PageList::Remove(int index) {
    if (!Valid(index)) return;
    items_.erase(items_.begin() + index);
    if (selection_ == index)
        selection_ = -1;
    else if (selection_ > index)
        --selection_;
    if (sink_) {
        sink_->Removed(index);
        sink_->Selected(selection_);
    }
}

void PageList::Select(int index) {
    selection_ = Valid(index) ? index : -1;
    if (sink_) sink_->Selected(selection_);
}

void PageList::SuspendRedraw(bool suspended) {
    if (sink_) sink_->RedrawSuspended(suspended);
}

void PageList::RequestEdit(int index) {
    if (Valid(index) && sink_) sink_->EditRequested(index);
}

void PageList::SelectedByUser(int index) {
    selection_ = Valid(index) ? index : -1;
}

void PageList::TextEditedByUser(int index, std::u16string text) {
    if (Valid(index)) items_[index].text = std::move(text);
}

}  // namespace qx::macro
