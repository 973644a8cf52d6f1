// Runs the start-up sequence and reports what happened, one line each:
// "ready", "second", "menu-missing"; once ready it waits up to the given
// seconds for a wake message and prints "wake <message> <wParam> <lParam>".
#include <poll.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "app/Startup.h"

int main(int argc, char** argv) {
    qx::StartupOptions options;
    int waitSeconds = 0;
    for (int i = 1; i + 1 < argc; i += 2) {
        if (!std::strcmp(argv[i], "--app-folder")) options.appFolderOverride = argv[i + 1];
        if (!std::strcmp(argv[i], "--data-dir")) options.dataFolderOverride = argv[i + 1];
        if (!std::strcmp(argv[i], "--instance-folder")) options.instanceFolder = argv[i + 1];
        if (!std::strcmp(argv[i], "--wait")) waitSeconds = std::atoi(argv[i + 1]);
    }
    qx::ConsoleNotifier notifier;
    auto result = qx::RunStartup(notifier, options);
    using Outcome = qx::StartupResult::Outcome;
    if (result.outcome == Outcome::SecondInstance) {
        std::printf("second\n");
        return 0;
    }
    if (result.outcome == Outcome::MenuLibraryMissing) {
        std::printf("menu-missing\n");
        return 3;
    }
    std::printf("ready\n");
    std::fflush(stdout);
    if (!result.instance) return 0;  // started without a lock
    // As the window's socket notifier does: a connection may come before its
    // message, so take again at every wake-up until one arrives.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(waitSeconds);
    while (std::chrono::steady_clock::now() < deadline) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        pollfd p{result.instance->ListenDescriptor(), POLLIN, 0};
        if (::poll(&p, 1, static_cast<int>(left.count()) + 1) <= 0) break;
        const auto messages = result.instance->TakeMessages();
        for (const auto& m : messages)
            std::printf("wake %u %lu %ld\n", m.message, static_cast<unsigned long>(m.wParam),
                        static_cast<long>(m.lParam));
        if (!messages.empty()) break;
    }
    return 0;
}
