// What the hooks cost per event: the desktop's input waits while they run.
#include <benchmark/benchmark.h>

#include <atomic>

#include "macro/InputHooks.h"

namespace qx {
namespace {

class CountingTarget final : public MessageTarget {
public:
    void PostMessage(std::uint32_t, WParam, LParam) override {
        posted.fetch_add(1, std::memory_order_relaxed);
    }
    std::atomic<std::uint64_t> posted{0};
};

// The worst search: every entry used, none matching.
void FillTable(InputHooks& hooks) {
    for (std::uint32_t code = 1; code <= kInterceptTableSize; ++code)
        hooks.SetButtonIntercept(code, true);
}

void BM_MousePressReported(benchmark::State& state) {
    CountingTarget target;
    InputHooks hooks;
    hooks.InstallInputHooks(Unowned(target));
    if (state.range(0) != 0) FillTable(hooks);
    for (auto _ : state) benchmark::DoNotOptimize(hooks.MouseHookProc({kWmRButtonDown, 0}));
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_MousePressReported)->Arg(0)->Arg(1)->ArgName("fullTable");

void BM_MouseHeldPressAndRelease(benchmark::State& state) {
    CountingTarget target;
    InputHooks hooks;
    hooks.InstallInputHooks(Unowned(target));
    hooks.SetButtonIntercept(kEventForward, true);
    for (auto _ : state) {
        benchmark::DoNotOptimize(hooks.MouseHookProc({kWmXButtonDown, kMouseDataXButton2}));
        benchmark::DoNotOptimize(hooks.MouseHookProc({kWmXButtonUp, kMouseDataXButton2}));
    }
    state.SetItemsProcessed(2 * state.iterations());
}
BENCHMARK(BM_MouseHeldPressAndRelease);

void BM_MouseReleasePasses(benchmark::State& state) {
    CountingTarget target;
    InputHooks hooks;
    hooks.InstallInputHooks(Unowned(target));
    FillTable(hooks);
    for (auto _ : state) benchmark::DoNotOptimize(hooks.MouseHookProc({kWmLButtonUp, 0}));
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_MouseReleasePasses);

void BM_KeyForwarded(benchmark::State& state) {
    CountingTarget target;
    InputHooks hooks;
    hooks.InstallInputHooks(Unowned(target));
    hooks.SetKeyForwarding(state.range(0) != 0);
    for (auto _ : state) hooks.KeyboardHookProc({0x41, kKeyFlagUp});
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_KeyForwarded)->Arg(0)->Arg(1)->ArgName("forwarding");

}  // namespace
}  // namespace qx

BENCHMARK_MAIN();
