// What the text routines and one tick cost. Run: bash bench/run.sh
#include "runtime/sim/sim_platform.h"
#include "runtime/testing.h"
#include "timing/control.h"
#include "timing/counter.h"
#include "timing/texts.h"
#include "ui/main_window.h"

#include <benchmark/benchmark.h>

#include <cstring>

namespace {

// A heap text of n GBK bytes (full-width colons) at a word boundary, plus the NUL.
Text gbkText(std::int32_t n) {
    Text t = allocText(n + 1);
    for (std::int32_t i = 0; i < n; ++i) {
        t[i] = static_cast<char>(i % 2 == 0 ? 0xA3 : 0xBA);
    }
    t[n] = '\0';
    return t;
}

void BM_TextLengthWordScan(benchmark::State& state) {
    Text t = gbkText(static_cast<std::int32_t>(state.range(0)));
    for (auto _ : state) {
        benchmark::DoNotOptimize(textLength(t));
    }
    state.SetBytesProcessed(state.iterations() * state.range(0));
    freeText(t);
}

// For scale: the C library's own strlen (vectorised). A plain byte loop compiles to this call.
void BM_CLibraryStrlen(benchmark::State& state) {
    Text t = gbkText(static_cast<std::int32_t>(state.range(0)));
    for (auto _ : state) {
        benchmark::DoNotOptimize(std::strlen(t));
    }
    state.SetBytesProcessed(state.iterations() * state.range(0));
    freeText(t);
}

void BM_JoinFiveFields(benchmark::State& state) {
    Text h = intToText(12), m = intToText(34), s = intToText(56);
    for (auto _ : state) {
        Text r = joinTexts(5, h, kSeparator, m, kSeparator, s);
        benchmark::DoNotOptimize(r);
        freeText(r);
    }
    freeText(h);
    freeText(m);
    freeText(s);
}

// One whole tick of the program on the simulated platform: counter, three field texts, the
// readout, the content write.
void BM_OneTick(benchmark::State& state) {
    rt::sim::SimPlatform sim;
    rt::testing::resetRuntime();
    rt::attachPlatform(&sim);
    initRuntime();
    loadStartupWindow(kMainWindowId);
    onStartClicked();
    for (auto _ : state) {
        onTick();
        sim.clearCalls();
    }
    releaseTexts();
    secondsText = minutesText = hoursText = nullptr;
    rt::testing::resetRuntime();
    rt::attachPlatform(nullptr);
}

} // namespace

BENCHMARK(BM_TextLengthWordScan)->Arg(10)->Arg(64)->Arg(1024);
BENCHMARK(BM_CLibraryStrlen)->Arg(10)->Arg(64)->Arg(1024);
BENCHMARK(BM_JoinFiveFields);
BENCHMARK(BM_OneTick);
BENCHMARK_MAIN();
