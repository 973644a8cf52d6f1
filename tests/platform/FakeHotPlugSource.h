// A hot-plug source the test feeds by hand. Its descriptor behaves like the
// real one: readable exactly while pushed events wait.
#pragma once

#include <sys/eventfd.h>
#include <unistd.h>

#include <cstdint>
#include <ostream>
#include <utility>

#include "platform/HotPlug.h"

namespace qx {

// How GoogleTest shows an event in a failure.
inline void PrintTo(const HotPlugEvent& event, std::ostream* out) {
    *out << (event.kind == HotPlugEvent::Kind::Arrival ? "Arrival " : "Removal ")
         << event.identifier;
}

namespace test {

class FakeHotPlugSource final : public HotPlugSource {
public:
    FakeHotPlugSource() : fd_(::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC)) {}
    ~FakeHotPlugSource() override { ::close(fd_); }
    FakeHotPlugSource(const FakeHotPlugSource&) = delete;
    FakeHotPlugSource& operator=(const FakeHotPlugSource&) = delete;

    void Push(HotPlugEvent::Kind kind, std::string identifier) {
        events_.push_back({kind, std::move(identifier)});
        const std::uint64_t one = 1;
        [[maybe_unused]] const auto n = ::write(fd_, &one, sizeof one);
    }
    void Arrive(std::string identifier) {
        Push(HotPlugEvent::Kind::Arrival, std::move(identifier));
    }
    void Remove(std::string identifier) {
        Push(HotPlugEvent::Kind::Removal, std::move(identifier));
    }

    int Descriptor() const override { return fd_; }
    std::vector<HotPlugEvent> TakeEvents() override {
        std::uint64_t count = 0;
        [[maybe_unused]] const auto n = ::read(fd_, &count, sizeof count);
        return std::exchange(events_, {});
    }

private:
    int fd_;
    std::vector<HotPlugEvent> events_;
};

}  // namespace test
}  // namespace qx
