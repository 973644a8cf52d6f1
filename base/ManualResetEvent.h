// A manual-reset event: once set it stays set (every waiter passes) until it
// is reset. Closing it wakes every waiter for good, so a worker thread blocked
// in Wait() can always be stopped.
#pragma once

#include <chrono>
#include <condition_variable>
#include <mutex>

namespace qx {

class ManualResetEvent {
public:
    enum class WaitResult { Signalled, Timeout, Closed };

    void Set();
    void Reset();
    void Close();
    bool IsSet() const;

    WaitResult Wait();
    WaitResult WaitFor(std::chrono::milliseconds timeout);

private:
    mutable std::mutex mutex_;
    std::condition_variable changed_;
    bool signalled_ = false;
    bool closed_ = false;
};

}  // namespace qx
