#include "base/ManualResetEvent.h"

namespace qx {

void ManualResetEvent::Set() {
    {
        std::lock_guard lock(mutex_);
        signalled_ = true;
    }
    changed_.notify_all();
}

void ManualResetEvent::Reset() {
    std::lock_guard lock(mutex_);
    signalled_ = false;
}

void ManualResetEvent::Close() {
    {
        std::lock_guard lock(mutex_);
        closed_ = true;
    }
    changed_.notify_all();
}

bool ManualResetEvent::IsSet() const {
    std::lock_guard lock(mutex_);
    return signalled_;
}

ManualResetEvent::WaitResult ManualResetEvent::Wait() {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return signalled_ || closed_; });
    return closed_ ? WaitResult::Closed : WaitResult::Signalled;
}

ManualResetEvent::WaitResult ManualResetEvent::WaitFor(std::chrono::milliseconds timeout) {
    std::unique_lock lock(mutex_);
    if (!changed_.wait_for(lock, timeout, [this] { return signalled_ || closed_; }))
        return WaitResult::Timeout;
    return closed_ ? WaitResult::Closed : WaitResult::Signalled;
}

}  // namespace qx
