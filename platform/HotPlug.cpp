#include "platform/HotPlug.h"

#include <libudev.h>
#include <poll.h>
#include <sys/epoll.h>
#include <sys/inotify.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/timerfd.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <set>
#include <utility>

#include "platform/HidrawBackend.h"
#include "platform/SystemHidBackend.h"
#include "platform/UsbDevices.h"
#include "platform/VirtualHidBackend.h"
#include "platform/VirtualHidProtocol.h"

namespace qx {
namespace {

namespace fs = std::filesystem;
using SteadyClock = std::chrono::steady_clock;
using std::chrono::milliseconds;

// epoll keys; connections to virtual mice take fresh keys from kFirstConnectionKey
// on, so a stale readiness of a closed connection can never reach a new one.
constexpr std::uint64_t kUdevKey = 1;
constexpr std::uint64_t kInotifyKey = 2;
constexpr std::uint64_t kTimerKey = 3;
constexpr std::uint64_t kFirstConnectionKey = 16;

// A socket file appears at bind() and is served only after listen(): a refused
// connection is retried, at growing intervals, for kListenWait. A socket that
// still refuses then was left behind by a mouse that died.
constexpr milliseconds kFirstRetry{5};
constexpr milliseconds kLongestRetry{200};
constexpr milliseconds kListenWait{3000};
// As long as the HID layer waits for an answer (VirtualHidBackend).
constexpr milliseconds kAnswerWait{2000};

constexpr std::uint32_t kFolderMask = IN_CREATE | IN_DELETE | IN_MOVED_FROM | IN_MOVED_TO |
                                      IN_DELETE_SELF | IN_MOVE_SELF | IN_ONLYDIR;
constexpr std::uint32_t kAncestorMask =
    IN_CREATE | IN_MOVED_TO | IN_DELETE_SELF | IN_MOVE_SELF | IN_ONLYDIR;

class OwnedFd {
public:
    explicit OwnedFd(int fd = -1) : fd_(fd) {}
    ~OwnedFd() { Reset(); }
    OwnedFd(OwnedFd&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}
    OwnedFd& operator=(OwnedFd&& other) noexcept {
        if (this != &other) {
            Reset();
            fd_ = std::exchange(other.fd_, -1);
        }
        return *this;
    }
    int get() const { return fd_; }
    void Reset() {
        if (fd_ >= 0) ::close(fd_);
        fd_ = -1;
    }

private:
    int fd_;
};

bool IsSocket(const fs::path& path) {
    struct stat info {};
    return ::lstat(path.c_str(), &info) == 0 && S_ISSOCK(info.st_mode);
}

std::vector<std::string> SplitPath(std::string_view path) {
    std::vector<std::string> parts;
    std::size_t start = 0;
    while (start <= path.size()) {
        const std::size_t end = std::min(path.find('/', start), path.size());
        if (end > start) parts.emplace_back(path.substr(start, end - start));
        start = end + 1;
    }
    return parts;
}

// "1-2:1.1" or "3-1.4.2:1.10": a USB interface, whose number is the last field
// (decimal, the kernel names it from bInterfaceNumber).
std::optional<unsigned> UsbInterfaceNumber(const std::string& name) {
    const auto colon = name.find(':');
    if (colon == std::string::npos || colon == 0 || name.find('-') > colon) return std::nullopt;
    unsigned configuration = 0, number = 0;
    int consumed = 0;
    if (std::sscanf(name.c_str() + colon + 1, "%u.%u%n", &configuration, &number, &consumed) != 2 ||
        colon + 1 + static_cast<std::size_t>(consumed) != name.size())
        return std::nullopt;
    return number;
}

// "0003:7D3A:6E41.0006": the HID device folder that holds a hidraw node.
std::optional<HidAttributes> HidDeviceIds(const std::string& name) {
    unsigned bus = 0, vendor = 0, product = 0, instance = 0;
    int consumed = 0;
    if (std::sscanf(name.c_str(), "%4x:%4x:%4x.%x%n", &bus, &vendor, &product, &instance,
                    &consumed) != 4 ||
        static_cast<std::size_t>(consumed) != name.size())
        return std::nullopt;
    return HidAttributes{static_cast<std::uint16_t>(vendor), static_cast<std::uint16_t>(product),
                         0};
}

std::string Property(const UdevProperties& properties, const std::string& name) {
    const auto it = properties.find(name);
    return it == properties.end() ? std::string() : it->second;
}

// PRODUCT=4d9/8022/100 of a USB device's uevent; udev's ID_* as a fallback.
std::optional<std::string> UsbDeviceHardwareId(const UdevProperties& properties) {
    unsigned vendor = 0, product = 0, revision = 0;
    const std::string text = Property(properties, "PRODUCT");
    bool found = std::sscanf(text.c_str(), "%x/%x/%x", &vendor, &product, &revision) == 3;
    if (!found) {
        const std::string ids = Property(properties, "ID_VENDOR_ID") + " " +
                                Property(properties, "ID_MODEL_ID") + " " +
                                Property(properties, "ID_REVISION");
        found = std::sscanf(ids.c_str(), "%x %x %x", &vendor, &product, &revision) == 3;
    }
    if (!found || vendor > 0xFFFF || product > 0xFFFF || revision > 0xFFFF) return std::nullopt;
    return UsbHardwareId(static_cast<std::uint16_t>(vendor), static_cast<std::uint16_t>(product),
                         static_cast<std::uint16_t>(revision));
}

class SystemHotPlugSource final : public HotPlugSource {
public:
    explicit SystemHotPlugSource(const fs::path& virtualFolder);
    ~SystemHotPlugSource() override;

    int Descriptor() const override { return epoll_.get(); }
    std::vector<HotPlugEvent> TakeEvents() override;

private:
    // One socket file of the folder, on its way to being known or known.
    struct VirtualSocket {
        enum class State { Connecting, Asking, Present };
        State state = State::Connecting;
        OwnedFd connection;  // kept once connected: its end is the mouse's end
        std::uint64_t key = 0;
        bool announce = true;
        vhid::FrameReader reader;
        std::string identifier;
        SteadyClock::time_point due;     // Connecting: next try; Asking: give up
        SteadyClock::time_point giveUp;  // Connecting only
        milliseconds retry = kFirstRetry;
    };

    void StartUdev();
    void ReadUdev();

    void Watch(bool announce);
    void ReadInotify();
    void Resync(bool announce);
    void Forget(const std::string& name, bool reportRemoval);
    void ForgetAll();

    void StartQuery(const std::string& name, bool announce);
    void TryConnect(const std::string& name, VirtualSocket& socket, SteadyClock::time_point now);
    void OnConnection(std::uint64_t key);
    void OnDeadlines(SteadyClock::time_point now);
    void SettleInitialQueries();
    void ArmTimer();

    void Report(HotPlugEvent::Kind kind, const std::string& identifier) {
        events_.push_back({kind, identifier});
    }

    OwnedFd epoll_;
    udev* udev_ = nullptr;
    udev_monitor* monitor_ = nullptr;

    fs::path folder_;  // absolute; empty when no virtual mice are watched
    OwnedFd inotify_;
    OwnedFd timer_;
    int watch_ = -1;
    bool watchingFolder_ = false;  // otherwise an ancestor, waiting for nextName_
    std::string nextName_;
    std::map<std::string, VirtualSocket> sockets_;      // by file name
    std::map<std::uint64_t, std::string> connections_;  // epoll key -> file name
    std::uint64_t nextKey_ = kFirstConnectionKey;

    std::vector<HotPlugEvent> events_;
};

SystemHotPlugSource::SystemHotPlugSource(const fs::path& virtualFolder)
    : epoll_(::epoll_create1(EPOLL_CLOEXEC)) {
    if (epoll_.get() < 0) return;
    StartUdev();
    if (virtualFolder.empty()) return;
    std::error_code error;
    folder_ = fs::absolute(virtualFolder, error).lexically_normal();
    if (error || folder_.empty()) return;
    if (!folder_.has_filename()) folder_ = folder_.parent_path();  // a trailing slash
    inotify_ = OwnedFd(::inotify_init1(IN_NONBLOCK | IN_CLOEXEC));
    timer_ = OwnedFd(::timerfd_create(CLOCK_MONOTONIC, TFD_NONBLOCK | TFD_CLOEXEC));
    if (inotify_.get() < 0 || timer_.get() < 0) return;
    epoll_event inotifyEvent{EPOLLIN, {.u64 = kInotifyKey}};
    epoll_event timerEvent{EPOLLIN, {.u64 = kTimerKey}};
    ::epoll_ctl(epoll_.get(), EPOLL_CTL_ADD, inotify_.get(), &inotifyEvent);
    ::epoll_ctl(epoll_.get(), EPOLL_CTL_ADD, timer_.get(), &timerEvent);
    Watch(false);
    SettleInitialQueries();
    ArmTimer();
}

SystemHotPlugSource::~SystemHotPlugSource() {
    if (monitor_) udev_monitor_unref(monitor_);
    if (udev_) udev_unref(udev_);
}

void SystemHotPlugSource::StartUdev() {
    // Without a udev daemon (containers) the monitor exists but stays silent.
    udev_ = udev_new();
    if (!udev_) return;
    monitor_ = udev_monitor_new_from_netlink(udev_, "udev");
    if (!monitor_) return;
    udev_monitor_filter_add_match_subsystem_devtype(monitor_, "hidraw", nullptr);
    udev_monitor_filter_add_match_subsystem_devtype(monitor_, "usb", "usb_device");
    const int fd =
        udev_monitor_enable_receiving(monitor_) == 0 ? udev_monitor_get_fd(monitor_) : -1;
    epoll_event event{EPOLLIN, {.u64 = kUdevKey}};
    if (fd < 0 || ::epoll_ctl(epoll_.get(), EPOLL_CTL_ADD, fd, &event) != 0) {
        udev_monitor_unref(monitor_);
        monitor_ = nullptr;
    }
}

void SystemHotPlugSource::ReadUdev() {
    while (udev_device* device = udev_monitor_receive_device(monitor_)) {
        UdevProperties properties;
        for (udev_list_entry* entry = udev_device_get_properties_list_entry(device); entry;
             entry = udev_list_entry_get_next(entry)) {
            const char* value = udev_list_entry_get_value(entry);
            properties[udev_list_entry_get_name(entry)] = value ? value : "";
        }
        if (const char* action = udev_device_get_action(device)) properties["ACTION"] = action;
        if (const char* devpath = udev_device_get_devpath(device)) properties["DEVPATH"] = devpath;
        if (auto event = TranslateUdevEvent(properties)) events_.push_back(std::move(*event));
        udev_device_unref(device);
    }
}

std::vector<HotPlugEvent> SystemHotPlugSource::TakeEvents() {
    if (epoll_.get() < 0) return {};
    epoll_event ready[32];
    const int count = std::max(::epoll_wait(epoll_.get(), ready, 32, 0), 0);
    // The folder's changes before the connections' answers: a socket's removal
    // and re-creation are queued before its new server can answer (bind comes
    // before listen), so a connection a retry made to the new server is
    // dropped with the old name before that answer could announce anything.
    std::sort(ready, ready + count,
              [](const epoll_event& a, const epoll_event& b) { return a.data.u64 < b.data.u64; });
    for (int i = 0; i < count; ++i) {
        const std::uint64_t key = ready[i].data.u64;
        if (key == kUdevKey) {
            ReadUdev();
        } else if (key == kInotifyKey) {
            ReadInotify();
        } else if (key == kTimerKey) {
            std::uint64_t expirations = 0;
            [[maybe_unused]] const auto ignored =
                ::read(timer_.get(), &expirations, sizeof expirations);
        } else {
            OnConnection(key);
        }
    }
    if (!folder_.empty()) {
        OnDeadlines(SteadyClock::now());
        ArmTimer();
    }
    return std::exchange(events_, {});
}

// Watches the folder itself, or while it does not exist the deepest ancestor
// that does, for the next component to appear.
void SystemHotPlugSource::Watch(bool announce) {
    while (true) {
        if (watch_ >= 0) ::inotify_rm_watch(inotify_.get(), watch_);
        watch_ = -1;
        watchingFolder_ = false;
        std::error_code error;
        fs::path existing = folder_;
        while (existing != existing.root_path() && !fs::is_directory(existing, error))
            existing = existing.parent_path();
        if (existing == folder_) {
            watch_ = ::inotify_add_watch(inotify_.get(), folder_.c_str(), kFolderMask);
            watchingFolder_ = watch_ >= 0;
            if (watchingFolder_) Resync(announce);
            return;
        }
        nextName_ = folder_.lexically_relative(existing).begin()->string();
        watch_ = ::inotify_add_watch(inotify_.get(), existing.c_str(), kAncestorMask);
        // The next component may have appeared before the watch was in place.
        if (watch_ < 0 || !fs::is_directory(existing / nextName_, error)) return;
    }
}

void SystemHotPlugSource::ReadInotify() {
    alignas(inotify_event) char buffer[4096];
    bool rewatch = false, resync = false;
    while (true) {
        const ssize_t length = ::read(inotify_.get(), buffer, sizeof buffer);
        if (length <= 0) break;
        for (ssize_t at = 0; at < length;) {
            const auto* event = reinterpret_cast<const inotify_event*>(buffer + at);
            at += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
            const std::string name = event->len ? event->name : "";
            if (event->mask & IN_Q_OVERFLOW) {
                resync = true;
                continue;
            }
            if (event->wd != watch_ || rewatch) continue;
            if (!watchingFolder_) {
                rewatch = (event->mask & (IN_DELETE_SELF | IN_MOVE_SELF | IN_IGNORED)) ||
                          name == nextName_;
                continue;
            }
            if (event->mask & (IN_DELETE_SELF | IN_MOVE_SELF | IN_IGNORED | IN_UNMOUNT)) {
                ForgetAll();
                rewatch = true;
            } else if (event->mask & (IN_DELETE | IN_MOVED_FROM)) {
                Forget(name, true);
            } else if (event->mask & (IN_CREATE | IN_MOVED_TO)) {
                // A socket seen by the first scan shows up here again: keep it.
                if (!sockets_.contains(name) && IsSocket(folder_ / name)) StartQuery(name, true);
            }
        }
    }
    if (rewatch) {
        Watch(true);
    } else if (resync && watchingFolder_) {
        Resync(true);
    }
}

// Brings the known sockets in line with the folder's content.
void SystemHotPlugSource::Resync(bool announce) {
    std::set<std::string> names;
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(folder_, error))
        if (IsSocket(entry.path())) names.insert(entry.path().filename().string());
    std::vector<std::string> gone;
    for (const auto& [name, socket] : sockets_)
        if (!names.contains(name)) gone.push_back(name);
    for (const auto& name : gone) Forget(name, true);
    for (const auto& name : names)
        if (!sockets_.contains(name)) StartQuery(name, announce);
}

void SystemHotPlugSource::Forget(const std::string& name, bool reportRemoval) {
    const auto it = sockets_.find(name);
    if (it == sockets_.end()) return;
    if (reportRemoval && it->second.state == VirtualSocket::State::Present)
        Report(HotPlugEvent::Kind::Removal, it->second.identifier);
    connections_.erase(it->second.key);
    sockets_.erase(it);  // closing the connection takes it out of the epoll set
}

void SystemHotPlugSource::ForgetAll() {
    while (!sockets_.empty()) Forget(sockets_.begin()->first, true);
}

void SystemHotPlugSource::StartQuery(const std::string& name, bool announce) {
    auto& socket = sockets_[name];
    socket.announce = announce;
    const auto now = SteadyClock::now();
    socket.giveUp = now + kListenWait;
    TryConnect(name, socket, now);
}

// Connects and asks the device who it is, without waiting for the answer.
void SystemHotPlugSource::TryConnect(const std::string& name, VirtualSocket& socket,
                                     SteadyClock::time_point now) {
    const std::string path = (folder_ / name).string();
    sockaddr_un address{};
    if (path.size() >= sizeof address.sun_path) {
        Forget(name, false);
        return;
    }
    address.sun_family = AF_UNIX;
    std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
    OwnedFd fd(::socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0));
    if (fd.get() < 0) return Forget(name, false);
    const auto request = vhid::EncodeFrame(static_cast<std::uint8_t>(vhid::Operation::Info), {});
    if (::connect(fd.get(), reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0 ||
        ::send(fd.get(), request.data(), request.size(), MSG_NOSIGNAL) !=
            static_cast<ssize_t>(request.size())) {
        if (now >= socket.giveUp) return Forget(name, false);
        socket.due = now + socket.retry;
        socket.retry = std::min(socket.retry * 2, kLongestRetry);
        return;
    }
    socket.key = nextKey_++;
    epoll_event event{EPOLLIN | EPOLLRDHUP, {.u64 = socket.key}};
    if (::epoll_ctl(epoll_.get(), EPOLL_CTL_ADD, fd.get(), &event) != 0) return Forget(name, false);
    connections_[socket.key] = name;
    socket.connection = std::move(fd);
    socket.state = VirtualSocket::State::Asking;
    socket.due = now + kAnswerWait;
}

void SystemHotPlugSource::OnConnection(std::uint64_t key) {
    const auto known = connections_.find(key);
    if (known == connections_.end()) return;  // forgotten earlier in this batch
    const std::string name = known->second;
    auto& socket = sockets_.at(name);
    std::uint8_t buffer[1024];
    while (true) {
        const ssize_t n = ::recv(socket.connection.get(), buffer, sizeof buffer, MSG_DONTWAIT);
        if (n < 0 && (errno == EAGAIN || errno == EINTR)) return;
        if (n <= 0) {
            // The mouse closed its end: it stopped, possibly leaving its socket behind.
            Forget(name, true);
            return;
        }
        if (socket.state != VirtualSocket::State::Asking) continue;  // nothing more is owed
        socket.reader.Append(std::span(buffer, static_cast<std::size_t>(n)));
        const auto body = socket.reader.Next();
        if (!body) {
            if (socket.reader.Broken()) return Forget(name, false);
            continue;
        }
        std::optional<vhid::DeviceInfo> info;
        if (!body->empty() && (*body)[0] == static_cast<std::uint8_t>(vhid::Status::Ok))
            info = vhid::DecodeInfo(std::span(*body).subspan(1));
        if (!info) return Forget(name, false);  // something else listens there
        socket.identifier = VirtualHidIdentifier(*info, name);
        socket.state = VirtualSocket::State::Present;
        if (socket.announce) Report(HotPlugEvent::Kind::Arrival, socket.identifier);
    }
}

void SystemHotPlugSource::OnDeadlines(SteadyClock::time_point now) {
    std::vector<std::string> due;
    for (const auto& [name, socket] : sockets_)
        if (socket.state != VirtualSocket::State::Present && socket.due <= now) due.push_back(name);
    for (const auto& name : due) {
        auto& socket = sockets_.at(name);
        if (socket.state == VirtualSocket::State::Asking)
            Forget(name, false);  // connected but never answered: not a virtual mouse
        else
            TryConnect(name, socket, now);
    }
}

// Learns who serves the sockets that exist at start, so that their removal can
// be named. A socket that refuses now may be a mouse between bind and listen:
// it is announced once it answers.
void SystemHotPlugSource::SettleInitialQueries() {
    for (auto& [name, socket] : sockets_)
        if (socket.state == VirtualSocket::State::Connecting) socket.announce = true;
    const auto end = SteadyClock::now() + kAnswerWait;
    while (true) {
        std::vector<pollfd> waiting;
        std::vector<std::uint64_t> keys;
        for (const auto& [name, socket] : sockets_) {
            if (socket.announce || socket.state != VirtualSocket::State::Asking) continue;
            waiting.push_back({socket.connection.get(), POLLIN, 0});
            keys.push_back(socket.key);
        }
        const auto left =
            std::chrono::duration_cast<milliseconds>(end - SteadyClock::now()).count();
        if (waiting.empty() || left <= 0) break;
        if (::poll(waiting.data(), waiting.size(), static_cast<int>(left)) < 0 && errno != EINTR)
            break;
        for (std::size_t i = 0; i < waiting.size(); ++i)
            if (waiting[i].revents) OnConnection(keys[i]);
    }
    std::vector<std::string> silent;
    for (const auto& [name, socket] : sockets_)
        if (!socket.announce && socket.state == VirtualSocket::State::Asking)
            silent.push_back(name);
    for (const auto& name : silent) Forget(name, false);
}

void SystemHotPlugSource::ArmTimer() {
    std::optional<SteadyClock::time_point> next;
    for (const auto& [name, socket] : sockets_)
        if (socket.state != VirtualSocket::State::Present && (!next || socket.due < *next))
            next = socket.due;
    itimerspec spec{};
    if (next) {
        // steady_clock is CLOCK_MONOTONIC; zero would disarm, so never below 1 ns.
        const auto since = std::max(next->time_since_epoch(), SteadyClock::duration(1));
        const auto seconds = std::chrono::duration_cast<std::chrono::seconds>(since);
        spec.it_value.tv_sec = seconds.count();
        spec.it_value.tv_nsec =
            std::chrono::duration_cast<std::chrono::nanoseconds>(since - seconds).count();
    }
    ::timerfd_settime(timer_.get(), TFD_TIMER_ABSTIME, &spec, nullptr);
}

}  // namespace

std::optional<HotPlugEvent> TranslateUdevEvent(const UdevProperties& properties) {
    const std::string action = Property(properties, "ACTION");
    HotPlugEvent event;
    if (action == "add")
        event.kind = HotPlugEvent::Kind::Arrival;
    else if (action == "remove")
        event.kind = HotPlugEvent::Kind::Removal;
    else
        return std::nullopt;

    const auto parts = SplitPath(Property(properties, "DEVPATH"));
    if (parts.empty()) return std::nullopt;
    const std::string subsystem = Property(properties, "SUBSYSTEM");
    if (subsystem == "hidraw") {
        // .../1-2:1.1/0003:7D3A:6E41.0006/hidraw/hidraw4
        const std::size_t n = parts.size();
        if (!parts[n - 1].starts_with("hidraw")) return std::nullopt;
        std::optional<HidAttributes> ids;
        std::optional<unsigned> interfaceNumber;
        if (n >= 3 && parts[n - 2] == "hidraw") {
            ids = HidDeviceIds(parts[n - 3]);
            if (n >= 4) interfaceNumber = UsbInterfaceNumber(parts[n - 4]);
        }
        event.identifier = HidrawIdentifier(ids, interfaceNumber, parts[n - 1]);
        return event;
    }
    if (subsystem == "usb" && Property(properties, "DEVTYPE") == "usb_device") {
        const auto hardwareId = UsbDeviceHardwareId(properties);
        if (!hardwareId) return std::nullopt;
        event.identifier = *hardwareId + "\\" + parts.back();
        return event;
    }
    return std::nullopt;
}

std::unique_ptr<HotPlugSource> MakeHotPlugSource(const std::filesystem::path& virtualFolder) {
    return std::make_unique<SystemHotPlugSource>(virtualFolder);
}

std::unique_ptr<HotPlugSource> MakeSystemHotPlugSource() {
    return MakeHotPlugSource(VirtualHidFolder());
}

}  // namespace qx
